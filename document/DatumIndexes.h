#pragma once

#include "geodesy/DatumTables.h"

#include <QHash>
#include <QString>
#include <cstdint>

namespace document {

// DatumIndex of the DATUM codes a walk meets, each looked up once: a walk over a million rows meets
// a handful of codes.
class DatumIndexes {
public:
    std::int16_t of(const QString& code) {
        const auto it = known_.constFind(code);
        if (it != known_.constEnd()) {
            return *it;
        }
        const std::int16_t index = geodesy::DatumIndex(code.toStdString());
        known_.insert(code, index);
        return index;
    }

private:
    QHash<QString, std::int16_t> known_;
};

} // namespace document

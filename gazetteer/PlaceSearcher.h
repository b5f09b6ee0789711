#pragma once

#include "gazetteer/PlaceRows.h"

#include <QString>
#include <memory>
#include <vector>

namespace platform {
struct ProgramSettings;
}

namespace gazetteer {

class GazetteerSource;

// A place as the record editor receives it from a listed row.
struct PickedPlace {
    float latitude = 0.0F;
    float longitude = 0.0F;
    QString name;
    QString fips;
    QString designation;
};

PickedPlace PlaceOfRow(const PlaceRow& row);

// The searches of the place search window over the gazetteer the settings describe. The opened
// database, with its working copy and indexes, is kept from one search to the next while the
// settings and the file stay the same.
class PlaceSearcher {
public:
    PlaceSearcher();
    ~PlaceSearcher();
    PlaceSearcher(const PlaceSearcher&) = delete;
    PlaceSearcher& operator=(const PlaceSearcher&) = delete;

    // The rows for `typed` (exact or prefix search), in the database's order. Errors of the
    // database (3024/3044 for a missing file or folder) and 94 for a hit without coordinates.
    std::vector<PlaceRow> search(const platform::ProgramSettings& mapping, const QString& typed,
                                 bool exact);

    // Opens (or reuses) the database of the mapping.
    GazetteerSource& source(const platform::ProgramSettings& mapping);

private:
    std::unique_ptr<GazetteerSource> source_;
};

} // namespace gazetteer

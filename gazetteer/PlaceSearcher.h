#pragma once

#include "gazetteer/PlaceQuery.h"
#include "gazetteer/PlaceRows.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {
struct ProgramSettings;
}

namespace gazetteer {

class GazetteerSource;
class PlaceIndex;

// A place as the record editor receives it from a listed row.
struct PickedPlace {
    float latitude = 0.0F;
    float longitude = 0.0F;
    QString name;
    QString fips;
    QString designation;
};

PickedPlace PlaceOfRow(const PlaceRow& row);

// The hits of one search: their record ids in listing order, and the reader of their rows.
struct PlaceHits {
    std::shared_ptr<PlaceReader> reader;
    std::vector<std::int64_t> ids;
};

// The searches of the place search window over the gazetteer the settings describe. The opened
// database, with its working copy and the index of its search field, is kept from one search to
// the next while the settings and the file stay the same.
class PlaceSearcher {
public:
    PlaceSearcher();
    ~PlaceSearcher();
    PlaceSearcher(const PlaceSearcher&) = delete;
    PlaceSearcher& operator=(const PlaceSearcher&) = delete;

    // The hits for `typed` (exact or prefix search), in the database's order. Errors of the
    // database (3024/3044 for a missing file or folder) and 94 for a hit without coordinates.
    PlaceHits search(const platform::ProgramSettings& mapping, const QString& typed, bool exact);

    // Opens (or reuses) the database of the mapping.
    GazetteerSource& source(const platform::ProgramSettings& mapping);

private:
    std::shared_ptr<GazetteerSource> source_;
    std::unique_ptr<PlaceIndex> index_;
    PlaceColumns indexed_; // what index_ was read from
    std::shared_ptr<PlaceReader> reader_;
};

// Every row of `hits`, read in listing order.
std::vector<PlaceRow> RowsOf(const PlaceHits& hits);

} // namespace gazetteer

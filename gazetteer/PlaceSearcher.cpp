#include "gazetteer/PlaceSearcher.h"

#include "gazetteer/GazetteerSource.h"
#include "gazetteer/PlaceQuery.h"
#include "platform/ProgramSettings.h"

namespace gazetteer {

PickedPlace PlaceOfRow(const PlaceRow& row) {
    PickedPlace place;
    place.latitude = RowCoordinate(row[kLatitude]);
    place.longitude = RowCoordinate(row[kLongitude]);
    place.name = row[0];
    place.fips = row[kFips];
    place.designation = row[kDesignation];
    return place;
}

PlaceSearcher::PlaceSearcher() = default;
PlaceSearcher::~PlaceSearcher() = default;

GazetteerSource& PlaceSearcher::source(const platform::ProgramSettings& mapping) {
    if (!source_ || !source_->isSameAs(mapping.File, mapping.DbType)) {
        source_.reset();
        source_ = std::make_unique<GazetteerSource>(mapping.File, mapping.DbType);
    }
    return *source_;
}

std::vector<PlaceRow> PlaceSearcher::search(const platform::ProgramSettings& mapping,
                                            const QString& typed, bool exact) {
    GazetteerSource& database = source(mapping);
    const std::vector<PlaceRecord> records =
        FindPlaces(database, mapping, SearchKey(typed, mapping.Table), exact);
    const RowFormat format = FormatOf(mapping);
    std::vector<PlaceRow> rows;
    rows.reserve(records.size());
    for (const PlaceRecord& record : records) {
        rows.push_back(MakeRow(record, format));
    }
    return rows;
}

} // namespace gazetteer

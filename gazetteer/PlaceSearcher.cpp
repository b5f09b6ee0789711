#include "gazetteer/PlaceSearcher.h"

#include "gazetteer/GazetteerSource.h"
#include "gazetteer/PlaceIndex.h"
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
        index_.reset();
        reader_.reset();
        source_.reset();
        source_ = std::make_shared<GazetteerSource>(mapping.File, mapping.DbType);
    }
    return *source_;
}

PlaceHits PlaceSearcher::search(const platform::ProgramSettings& mapping, const QString& typed,
                                bool exact) {
    GazetteerSource& database = source(mapping);
    const PlaceColumns columns = ResolveColumns(database, mapping);
    if (!index_ || !(indexed_ == columns)) {
        index_.reset();
        index_ = std::make_unique<PlaceIndex>(database.database(), columns);
        indexed_ = columns;
    }
    const RowFormat format = FormatOf(mapping);
    if (!reader_ || !reader_->reads(source_.get(), columns, format)) {
        reader_ = std::make_shared<PlaceReader>(source_, columns, format);
    }
    return {reader_, index_->find(SearchKey(typed, mapping.Table), exact)};
}

std::vector<PlaceRow> RowsOf(const PlaceHits& hits) {
    std::vector<PlaceRow> rows;
    rows.reserve(hits.ids.size());
    for (const std::int64_t id : hits.ids) {
        rows.push_back(hits.reader->row(id));
    }
    return rows;
}

} // namespace gazetteer

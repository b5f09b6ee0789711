#include "gazetteer/PlaceSearcher.h"

#include "gazetteer/GazetteerSource.h"
#include "gazetteer/PlaceIndex.h"
#include "gazetteer/PlaceQuery.h"
#include "platform/ProgramSettings.h"

#include <SQLiteCpp/Database.h>
#include <chrono>
#include <sqlite3.h>

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

namespace {

// The settings the database, its working copy and the index are read for.
QStringList IndexedSettings(const platform::ProgramSettings& m) {
    return {m.File,
            m.DbType,
            m.Table,
            m.ResearchField,
            m.FullNameField,
            m.LatitudeField,
            m.LongitudeField,
            m.FipsField,
            m.ProvinceField,
            m.FeatureField,
            m.CountryName,
            m.ProvinceName,
            QString::number(m.Sort)};
}

// How many engine steps pass between two looks at the stop flag of a preparation.
constexpr int kStepsPerStopCheck = 10000;

// The engine's progress callback of a preparation: non-zero stops the statement under way.
int StopRequested(void* stop) {
    return static_cast<const std::atomic<bool>*>(stop)->load(std::memory_order_relaxed) ? 1 : 0;
}

} // namespace

PlaceSearcher::PlaceSearcher() = default;

PlaceSearcher::~PlaceSearcher() {
    stopPreparing();
}

void PlaceSearcher::prepare(const platform::ProgramSettings& mapping) {
    const QStringList wanted = IndexedSettings(mapping);
    if (preparing_.valid() && preparingFor_ == wanted) {
        return;
    }
    if (index_ && indexedFor_ == wanted && source_->isSameAs(mapping.File, mapping.DbType)) {
        return;
    }
    stopPreparing();
    if (!OpensInProcess(mapping.File, mapping.DbType)) {
        return;
    }
    preparingFor_ = wanted;
    stop_ = false;
    // The thread has its own connection and copies of the settings: nothing of the window's.
    preparing_ = std::async(std::launch::async, [mapping, stop = &stop_] {
        Prepared prepared;
        prepared.source = std::make_shared<GazetteerSource>(mapping.File, mapping.DbType);
        // The engine's own long steps (a table copied, its index made, a scan) stop too once
        // `stop` is set, so that a window closing or set up anew waits for no more of them.
        sqlite3* const handle = prepared.source->database().getHandle();
        sqlite3_progress_handler(handle, kStepsPerStopCheck, StopRequested, stop);
        prepared.columns = ResolveColumns(*prepared.source, mapping);
        prepared.index =
            std::make_unique<PlaceIndex>(prepared.source->database(), prepared.columns, stop);
        sqlite3_progress_handler(handle, 0, nullptr, nullptr);
        return prepared;
    });
}

void PlaceSearcher::stopPreparing() {
    if (!preparing_.valid()) {
        return;
    }
    stop_ = true;
    try {
        preparing_.get();
    } catch (...) {
        // Stopped, or failed: nothing of it is kept.
    }
}

void PlaceSearcher::adopt(const platform::ProgramSettings& mapping) {
    if (!preparing_.valid()) {
        return;
    }
    if (preparingFor_ != IndexedSettings(mapping)) {
        stopPreparing();
        return;
    }
    Prepared prepared;
    try {
        prepared = preparing_.get();
    } catch (...) {
        // The search opens the gazetteer again and reports what fails.
        return;
    }
    if (!prepared.source->isSameAs(mapping.File, mapping.DbType)) {
        return;
    }
    reader_.reset();
    index_ = std::move(prepared.index);
    indexed_ = prepared.columns;
    indexedFor_ = preparingFor_;
    source_ = std::move(prepared.source);
}

bool PlaceSearcher::stillPreparing(const platform::ProgramSettings& mapping) const {
    return preparing_.valid() &&
           preparing_.wait_for(std::chrono::seconds(0)) != std::future_status::ready &&
           preparingFor_ == IndexedSettings(mapping);
}

void PlaceSearcher::open(const platform::ProgramSettings& mapping) {
    if (stillPreparing(mapping)) {
        const GazetteerSource opened(mapping.File, mapping.DbType);
        return;
    }
    source(mapping);
}

std::optional<PlaceHits> PlaceSearcher::searchNarrowed(const platform::ProgramSettings& mapping,
                                                       const QString& key, bool exact) {
    std::shared_ptr<GazetteerSource> opened;
    PlaceColumns columns;
    std::optional<PlaceIndex> narrowed;
    try {
        opened = std::make_shared<GazetteerSource>(mapping.File, mapping.DbType);
        // A table that needs a working copy is left to the preparation, which makes it; so is
        // a field that would turn the bounds of the part into numbers.
        if (!opened->searchesInPlace(mapping.Table, mapping.ResearchField) ||
            !opened->comparesAsText(mapping.Table, mapping.ResearchField)) {
            return std::nullopt;
        }
        columns = ResolveColumns(*opened, mapping);
        narrowed = PlaceIndex::Narrowed(opened->database(), columns, key);
    } catch (...) {
        // The search that waits for the preparation reports what fails.
        return std::nullopt;
    }
    if (!narrowed) {
        return std::nullopt;
    }
    return PlaceHits{std::make_shared<PlaceReader>(opened, columns, FormatOf(mapping)),
                     narrowed->find(key, exact)};
}

GazetteerSource& PlaceSearcher::source(const platform::ProgramSettings& mapping) {
    adopt(mapping);
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
    const QString key = SearchKey(typed, mapping.Table);
    // An empty key finds every place: its part is the whole index, which the preparation reads.
    if (!key.isEmpty() && stillPreparing(mapping)) {
        if (std::optional<PlaceHits> hits = searchNarrowed(mapping, key, exact)) {
            return *std::move(hits);
        }
    }
    GazetteerSource& database = source(mapping);
    const PlaceColumns columns = ResolveColumns(database, mapping);
    if (!index_ || !(indexed_ == columns)) {
        index_.reset();
        index_ = std::make_unique<PlaceIndex>(database.database(), columns);
        indexed_ = columns;
    }
    indexedFor_ = IndexedSettings(mapping);
    const RowFormat format = FormatOf(mapping);
    if (!reader_ || !reader_->reads(source_.get(), columns, format)) {
        reader_ = std::make_shared<PlaceReader>(source_, columns, format);
    }
    return {reader_, index_->find(key, exact)};
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

#pragma once

#include "gazetteer/PlaceQuery.h"
#include "gazetteer/PlaceRows.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
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
// the next while the settings and the file stay the same. They can be made ready in another
// thread while the user types: the search then waits only for what is left.
class PlaceSearcher {
public:
    PlaceSearcher();
    // Stops a preparation under way and waits for its thread.
    ~PlaceSearcher();
    PlaceSearcher(const PlaceSearcher&) = delete;
    PlaceSearcher& operator=(const PlaceSearcher&) = delete;

    // Starts opening the gazetteer of `mapping` and reading its index in another thread, unless
    // they are ready or under way for the same settings; a preparation for other settings is
    // stopped. A gazetteer read by a child process (Access, Paradox) is left to the search. What
    // fails here is dropped: the search tries again and reports it.
    void prepare(const platform::ProgramSettings& mapping);

    // The hits for `typed` (exact or prefix search), in the database's order. Errors of the
    // database (3024/3044 for a missing file or folder) and 94 for a hit without coordinates.
    // While the index is still being read for these settings, a text is searched in the part
    // of the index that begins with it, read apart, rather than waited for.
    PlaceHits search(const platform::ProgramSettings& mapping, const QString& typed, bool exact);

    // Opens (or reuses) the database of the mapping, so that what fails shows before any
    // search. A database being opened in another thread is opened once more here to show that,
    // without waiting for the reading of its index.
    void open(const platform::ProgramSettings& mapping);

private:
    // A gazetteer opened, and its index read, in another thread.
    struct Prepared {
        std::shared_ptr<GazetteerSource> source;
        PlaceColumns columns;
        std::unique_ptr<PlaceIndex> index;
    };
    // Takes over the preparation for `mapping` when it is the one under way, once it is done.
    void adopt(const platform::ProgramSettings& mapping);
    // Whether the preparation for `mapping` is still under way.
    bool stillPreparing(const platform::ProgramSettings& mapping) const;
    // The hits for `key`, read from the part of the index it begins, in a database opened for
    // them alone; none when that part cannot be read apart from the rest.
    std::optional<PlaceHits> searchNarrowed(const platform::ProgramSettings& mapping,
                                            const QString& key, bool exact);
    GazetteerSource& source(const platform::ProgramSettings& mapping);
    void stopPreparing();

    std::shared_ptr<GazetteerSource> source_;
    std::unique_ptr<PlaceIndex> index_;
    PlaceColumns indexed_;   // what index_ was read from
    QStringList indexedFor_; // the settings index_ was read for
    std::shared_ptr<PlaceReader> reader_;

    std::future<Prepared> preparing_;
    QStringList preparingFor_;
    std::atomic<bool> stop_{false}; // read by the preparing thread
};

// Every row of `hits`, read in listing order.
std::vector<PlaceRow> RowsOf(const PlaceHits& hits);

} // namespace gazetteer

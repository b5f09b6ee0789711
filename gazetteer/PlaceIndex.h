#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace SQLite {
class Database;
}

namespace gazetteer {

struct PlaceColumns;

// The search field of every record of a gazetteer table, held in memory in the order the hits
// are listed in, so that a search finds its hits by bisection and lists them without reading
// the records themselves. Keys compare as SQLite's NOCASE collation does: bytewise on UTF-8,
// ASCII letters without regard to case.
class PlaceIndex {
public:
    // Raised by the constructor when `stop` is set before it is done.
    struct Stopped {};

    // Reads the search field of every record of `columns.table`, the records whose coordinates
    // are not both numbers, and the order of the FIPS field when the hits are listed in it. A
    // record whose search field is null is never found, as no comparison with it holds. `stop`,
    // when given, is looked at as the records are read, for a reading in another thread.
    PlaceIndex(SQLite::Database& database, const PlaceColumns& columns,
               const std::atomic<bool>* stop = nullptr);

    // The index of only the places whose search field begins with `prefix` (ASCII letters
    // without regard to case), read along the field's case-free index: what a search of a key
    // beginning with `prefix` finds in it is what it finds in the whole index, read in a small
    // part of the time. Empty when the field holds anything but texts, which that index does not
    // order as their text. The field must compare texts as texts (TEXT affinity or none): another
    // affinity would compare the bounds as numbers.
    static std::optional<PlaceIndex> Narrowed(SQLite::Database& database,
                                              const PlaceColumns& columns, const QString& prefix);

    // The record ids of the places whose search field equals `key` (`exact`) or begins with
    // it, in listing order: by the search field, or by the FIPS field then the search field;
    // equal keys by record id. Error 94 or 13 when a coordinate of one of them is null or no
    // number, as listing that row would raise.
    std::vector<std::int64_t> find(const QString& key, bool exact) const;

    std::size_t size() const { return entries_.size(); }

private:
    // The folded search fields read: from `low` on, and before `high` when it is set.
    struct Range {
        std::string low;
        std::optional<std::string> high;
    };
    PlaceIndex(SQLite::Database& database, const PlaceColumns& columns,
               const std::atomic<bool>* stop, const Range* range);
    static QString RangeCondition(const PlaceColumns& columns, const Range* range);
    template <typename Statement> static void BindRange(Statement& statement, const Range* range);

    struct Entry {
        std::int64_t id;
        std::uint32_t keyStart;
        std::uint32_t keyLength;
    };
    std::string_view keyOf(const Entry& entry) const;
    void readKeys(SQLite::Database& database, const PlaceColumns& columns,
                  const std::atomic<bool>* stop, const Range* range);
    void readCoordinateErrors(SQLite::Database& database, const PlaceColumns& columns,
                              const Range* range);
    void readFipsOrder(SQLite::Database& database, const PlaceColumns& columns,
                       const std::atomic<bool>* stop, const Range* range);
    // 0, or the error that listing the row of record `id` raises.
    int coordinateError(std::int64_t id) const;

    std::string keys_;           // the folded search fields, one after another
    std::vector<Entry> entries_; // by folded key, then record id
    std::vector<std::pair<std::int64_t, int>> errors_; // by record id: rows that cannot be listed
    std::vector<std::uint32_t> listing_; // entry positions in FIPS order; empty for key order
};

} // namespace gazetteer

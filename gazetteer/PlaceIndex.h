#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
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
    // Reads the search field and the coordinates of every record of `columns.table` (and the
    // order of the FIPS field when the hits are listed in it). A record whose search field is
    // null is never found, as no comparison with it holds.
    PlaceIndex(SQLite::Database& database, const PlaceColumns& columns);

    // The record ids of the places whose search field equals `key` (`exact`) or begins with
    // it, in listing order: by the search field, or by the FIPS field then the search field;
    // equal keys by record id. Error 94 or 13 when a coordinate of one of them is null or no
    // number, as listing that row would raise.
    std::vector<std::int64_t> find(const QString& key, bool exact) const;

    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        std::int64_t id;
        std::uint32_t keyStart;
        std::uint32_t keyLength;
        int coordinateError; // 0, or the error that listing the row raises
    };
    std::string_view keyOf(const Entry& entry) const;

    std::string keys_;                   // the folded search fields, one after another
    std::vector<Entry> entries_;         // by folded key, then record id
    std::vector<std::uint32_t> listing_; // entry positions in FIPS order; empty for key order
};

} // namespace gazetteer

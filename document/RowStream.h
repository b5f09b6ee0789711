#pragma once

// The one way to read rows of DOVAZOV by bookmark. Anything that goes through the records of a
// record set (the current row, the grid's pages, saves, recomputes, walks, exports, maps) reads
// them through a RowStream rather than with a query of its own, so that every reader gets the
// same order, the same handling of rows deleted behind its back and the same speed.
//
// Rows are read a block at a time with prepared statements, and only the fields asked for:
// - a block of ascending bookmarks that lie close together (the table's own order, the usual
//   case) is read as one range of the table;
// - any other block is looked up by its bookmarks and put back in bookmark order.
// A bookmark whose row no longer exists is passed over; one listed twice gives its row twice.

#include "document/Record.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace document {

class BookmarkList;
class RecordSet;

// The fields a stream reads. Counter is always read; the fields left out stay Null in the
// records given, so that a walk needing two texts does not pay for the other eight fields.
class RowFields {
public:
    // Every field.
    RowFields() = default;
    // Only these fields, named as in the table ("DATUM"); std::invalid_argument for a name that
    // is not one of the ten stored fields.
    RowFields(std::initializer_list<std::string_view> names);

    // Whether the field of that index in table order (1 = PERIOD ... 10 = COMMENT) is read.
    bool has(int field) const { return (bits_ >> field & 1U) != 0; }

private:
    std::uint16_t bits_ = 0x7FE; // bits 1 to 10: PERIOD to COMMENT
};

// The records of a list of bookmarks, in the list's order. The list is not copied: it must
// outlive the stream and not change while the stream reads it.
class RowStream {
public:
    RowStream(SQLite::Database& db, std::span<const std::int64_t> bookmarks, RowFields fields = {});
    // Over the bookmarks of a record set, all of them as they stand now. The stream shares the
    // record set's list, which it reads a block at a time without writing it out.
    explicit RowStream(const RecordSet& records, RowFields fields = {});

    // Gives the next record of the walk; false at the end. When a block cannot be read the error
    // is raised once and the walk goes on with the next block.
    bool next(Record& record);

    // The rows of bookmarks [first, first + count) for a reader that goes by position: row k of
    // the result is bookmark first + k, so the result stops short at the first bookmark whose row
    // is gone. Does not move the walk of next().
    std::vector<Record> window(std::ptrdiff_t first, std::ptrdiff_t count);

    // Bookmarks read together in one statement.
    static constexpr std::ptrdiff_t kBlock = 500;

private:
    std::ptrdiff_t size() const { return size_; }
    // The bookmarks [first, first + count) of the list, cut short where a shared list has
    // shrunk since the stream began.
    std::span<const std::int64_t> marksAt(std::ptrdiff_t first, std::ptrdiff_t count);
    // Appends the rows of `marks` (at most kBlock of them) to `out` in bookmark order.
    void readBlock(std::span<const std::int64_t> marks, std::vector<Record>& out);
    void readRange(std::span<const std::int64_t> marks, std::vector<Record>& out);
    void readListed(std::span<const std::int64_t> marks, std::vector<Record>& out);
    Record recordFrom(SQLite::Statement& statement) const;

    SQLite::Database& db_;
    std::span<const std::int64_t> marks_;        // a list given as a span
    std::shared_ptr<const BookmarkList> shared_; // or a record set's list
    std::ptrdiff_t size_ = 0;
    std::vector<std::int64_t> copied_; // the block of a record set's list being read
    std::vector<int> fields_;          // the field index of each column after Counter
    std::string columns_;              // "SELECT Counter, ... FROM DOVAZOV "
    std::unique_ptr<SQLite::Statement> range_;
    std::unique_ptr<SQLite::Statement> fullList_; // a whole block of bookmarks
    std::unique_ptr<SQLite::Statement> tailList_; // the shorter last block
    std::ptrdiff_t walked_ = 0;                   // bookmarks the walk has taken into blocks
    std::vector<Record> block_;
    std::size_t given_ = 0; // records of block_ already given
    std::vector<Record> found_;
};

// Reads the current row of a statement whose columns are the table's eleven fields in order.
Record RecordFromRow(SQLite::Statement& statement, int firstColumn = 0);

} // namespace document

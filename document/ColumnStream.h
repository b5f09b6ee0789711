#pragma once

// The rows of a list of bookmarks with their columns left as SQLite holds them, for the walks over
// a whole document that turn each row straight into bytes or numbers (the save, the recompute)
// and would spend most of their time building Records. Same order and rules as RowStream: the
// list's order, a bookmark whose row is gone passed over, one listed twice given twice, and a
// block of RowStream::kBlock bookmarks that cannot be read raised once and passed over.
//
// The table is read along its Counter order with one statement, so a list in that order (the
// usual case) costs one pass over the table; any other bookmark costs one lookup.

#include <SQLiteCpp/SQLiteCpp.h>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <sqlite3.h>
#include <string_view>
#include <vector>

namespace document {

class RecordSet;

class ColumnStream {
public:
    // Gives the bookmarks of positions [first, first + count) of a list, replacing `out`: a list
    // kept in any form (BookmarkList::copy) is read a block at a time, never written out whole.
    using BlockSource = std::function<void(std::ptrdiff_t first, std::ptrdiff_t count,
                                           std::vector<std::int64_t>& out)>;

    // `columns` are the columns read after Counter, as SQL ("DATUM, ORIGINAL"). The list of
    // `size` bookmarks must not change while the stream reads it.
    ColumnStream(SQLite::Database& db, std::ptrdiff_t size, BlockSource bookmarks,
                 std::string_view columns);
    // Over a list held whole, which must outlive the stream.
    ColumnStream(SQLite::Database& db, std::span<const std::int64_t> bookmarks,
                 std::string_view columns);
    // Over the bookmarks of a record set, all of them as they stand now, read a block at a time.
    ColumnStream(const RecordSet& records, std::string_view columns);
    ~ColumnStream();
    ColumnStream(const ColumnStream&) = delete;
    ColumnStream& operator=(const ColumnStream&) = delete;

    // Moves to the next row of the walk; false at the end. A read that fails raises
    // SQLite::Exception; the next call goes on with the next block.
    bool next();
    // The current row: column 0 is Counter, then the columns asked for. Valid until the next
    // call to next() or pause().
    sqlite3_stmt* row() const { return statement_.get(); }
    std::int64_t counter() const { return current_; }
    // Lets go of the table before the caller writes to it; the walk goes on where it was.
    void pause();

private:
    void seek(std::int64_t counter);
    void step();

    SQLite::Database& db_;
    std::ptrdiff_t size_;
    BlockSource source_;
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement_;
    std::vector<std::int64_t> block_; // the bookmarks of the current block
    std::ptrdiff_t blockStart_ = 0;   // the list position of block_[0]
    std::size_t inBlock_ = 0;         // the next bookmark of block_ to give
    bool onRow_ = false;              // the statement stands on the row of Counter current_
    std::int64_t current_ = 0;
};

// A text column of the current row as SQLite holds it (UTF-8); nothing for Null. Read through the
// column's value, for one thread only, as the program reads its table.
std::optional<std::string_view> ColumnText(sqlite3_stmt* row, int column);

} // namespace document

#include "document/ColumnStream.h"

#include "document/RecordSet.h"
#include "document/RowStream.h"

#include <algorithm>
#include <string>
#include <utility>

namespace document {

namespace {

// A bookmark this far ahead of the row the statement stands on is reached by stepping over the
// rows between (deleted ones, or rows the list leaves out); further ones are looked up.
constexpr std::int64_t kStepAhead = 8;

std::string SelectFrom(std::string_view columns) {
    std::string sql = "SELECT Counter";
    if (!columns.empty()) {
        sql += ", ";
        sql += columns;
    }
    sql += " FROM DOVAZOV WHERE Counter >= ? ORDER BY Counter";
    return sql;
}

sqlite3_stmt* Prepare(SQLite::Database& db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(db.getHandle(), sql.c_str(), -1, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw SQLite::Exception(db.getHandle(), rc);
    }
    return statement;
}

} // namespace

ColumnStream::ColumnStream(SQLite::Database& db, std::ptrdiff_t size, BlockSource bookmarks,
                           std::string_view columns)
    : db_(db), size_(size), source_(std::move(bookmarks)),
      statement_(Prepare(db, SelectFrom(columns)), &sqlite3_finalize) {}

ColumnStream::ColumnStream(SQLite::Database& db, std::span<const std::int64_t> bookmarks,
                           std::string_view columns)
    : ColumnStream(
          db, static_cast<std::ptrdiff_t>(bookmarks.size()),
          [bookmarks](std::ptrdiff_t first, std::ptrdiff_t count, std::vector<std::int64_t>& out) {
              const auto from = bookmarks.begin() + first;
              out.assign(from, from + count);
          },
          columns) {}

ColumnStream::ColumnStream(const RecordSet& records, std::string_view columns)
    : ColumnStream(
          records.database(), records.bookmarkList()->size(),
          [list = records.bookmarkList()](std::ptrdiff_t first, std::ptrdiff_t count,
                                          std::vector<std::int64_t>& out) {
              list->copy(first, count, out);
          },
          columns) {}

ColumnStream::~ColumnStream() {
    pause();
}

void ColumnStream::pause() {
    sqlite3_reset(row());
    onRow_ = false;
}

void ColumnStream::seek(std::int64_t counter) {
    sqlite3_reset(row());
    sqlite3_bind_int64(row(), 1, counter);
    step();
}

void ColumnStream::step() {
    const int rc = sqlite3_step(row());
    if (rc == SQLITE_ROW) {
        onRow_ = true;
        current_ = sqlite3_column_int64(row(), 0);
        return;
    }
    onRow_ = false;
    if (rc != SQLITE_DONE) {
        // The rest of the block goes with it, as a failed block of RowStream does.
        inBlock_ = block_.size();
        const SQLite::Exception error(db_.getHandle(), rc);
        sqlite3_reset(row());
        throw error;
    }
}

bool ColumnStream::next() {
    for (;;) {
        if (inBlock_ >= block_.size()) {
            blockStart_ += static_cast<std::ptrdiff_t>(block_.size());
            if (blockStart_ >= size_) {
                return false;
            }
            source_(blockStart_, std::min(RowStream::kBlock, size_ - blockStart_), block_);
            inBlock_ = 0;
            if (block_.empty()) {
                return false; // a list that gives no more than it has
            }
        }
        const std::int64_t mark = block_[inBlock_++];
        if (onRow_ && current_ == mark) {
            return true; // listed twice in a row
        }
        if (onRow_ && current_ < mark && mark - current_ <= kStepAhead) {
            while (onRow_ && current_ < mark) {
                step();
            }
        } else {
            seek(mark);
        }
        if (onRow_ && current_ == mark) {
            return true;
        }
    }
}

std::optional<std::string_view> ColumnText(sqlite3_stmt* row, int column) {
    sqlite3_value* value = sqlite3_column_value(row, column); // one call that takes the lock
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    if (text == nullptr) {
        return std::nullopt; // Null (a text of no bytes is "", never null)
    }
    return std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

} // namespace document

#pragma once

#include "document/Record.h"
#include "document/RecordSetBookmarks.h"
#include "document/RowStream.h"

#include <QString>
#include <SQLiteCpp/SQLiteCpp.h>
#include <cstdint>
#include <memory>
#include <vector>

namespace document {

// The records of a query over DOVAZOV: the ordered list of their Counter values (the bookmarks)
// and a current position. Rows are read on demand, a block at a time through a RowStream, so a
// record set costs only its bookmark list, and a list in the table's own order costs next to
// nothing (see BookmarkList). A clone is another cursor on the same list: rows added through any
// cursor appear at the end of the list for all of them.
class RecordSet {
public:
    // Runs `recordSource` on `db`: a table name ("DOVAZOV") or a SELECT over the table whose
    // result holds the column Counter. Errors of the query raise AppError 3075 with SQLite's text.
    static RecordSet open(SQLite::Database& db, const QString& recordSource);

    RecordSet clone() const;

    bool bof() const { return position_ < 0 || list_->empty(); }
    bool eof() const { return position_ >= list_->size() || list_->empty(); }
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    int recordCount() const { return static_cast<int>(list_->size()); }
    // The 0-based position of the current row; -1 before the first, recordCount() after the last.
    std::ptrdiff_t absolutePosition() const { return position_; }
    void setAbsolutePosition(std::ptrdiff_t position);

    // The Counter of the current row; error 3021 when there is none.
    std::int64_t bookmark() const;
    // Makes the row with that Counter current; error 3159 when it is not in the list.
    void setBookmark(std::int64_t counter);
    // The bookmark at a position, without moving the cursor; error 3021 outside the list.
    std::int64_t bookmarkAt(std::ptrdiff_t position) const;
    // The position of a bookmark; -1 when the list does not hold it.
    std::ptrdiff_t positionOf(std::int64_t counter) const { return list_->find(counter); }
    // The whole list row by row. A list kept implicit in the table's order is written out for
    // this, eight bytes a row, and stays so: walks go through a RowStream over the record set and
    // lookups through bookmarkAt and positionOf instead.
    const std::vector<std::int64_t>& bookmarks() const { return list_->rows(); }
    // The list itself, shared by the record set's clones.
    std::shared_ptr<const BookmarkList> bookmarkList() const { return list_; }

    // The current row as stored now; error 3021 when there is none.
    Record current() const;
    // Writes every field of `record` into the current row (its Counter is ignored).
    void update(const Record& record);
    // Adds a row holding `record`'s fields; it gets the next Counter and goes to the end of the
    // list. The current position does not move. Returns the new Counter.
    std::int64_t addNew(const Record& record);
    // Adds `count` rows each holding `record`'s fields through one prepared statement, in the
    // caller's transaction; they go to the end of the list in the order added. Returns the Counter
    // of the last row added, 0 when `count` is not above 0.
    std::int64_t addNewRecords(const Record& record, int count);
    // Deletes the current row; the cursor then stands on the row that followed it.
    void remove();

    SQLite::Database& database() const { return *db_; }

private:
    // A block of rows read together while a cursor walks the list.
    struct Cache {
        std::ptrdiff_t first = -1;
        std::vector<Record> rows;
    };

    RecordSet(SQLite::Database& db, std::shared_ptr<BookmarkList> list);
    void requireCurrent() const;
    void invalidate() const { cache_->first = -1; }

    SQLite::Database* db_;
    std::shared_ptr<BookmarkList> list_;
    std::ptrdiff_t position_ = 0;
    std::shared_ptr<Cache> cache_ = std::make_shared<Cache>();
};

// Binds a record's ten stored fields (PERIOD to COMMENT) from parameter `firstIndex` on.
void BindRecord(SQLite::Statement& statement, const Record& record, int firstIndex = 1);

// "INSERT INTO DOVAZOV (PERIOD, ..., COMMENT) VALUES (?, ...)": ten parameters, PERIOD first.
extern const char* const kInsertRecordSql;

} // namespace document

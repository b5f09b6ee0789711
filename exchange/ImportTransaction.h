#pragma once

#include "document/Record.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <cstdint>
#include <memory>

namespace exchange {

// All or nothing: the records of one import go into the working table in one transaction with one
// prepared statement, and `commit` computes the positions of the new rows inside that same
// transaction before making them permanent; the rows already there are not touched. Anything that
// ends the import before `commit` leaves the table as it was.
class ImportTransaction {
public:
    ImportTransaction();
    ~ImportTransaction();
    ImportTransaction(const ImportTransaction&) = delete;
    ImportTransaction& operator=(const ImportTransaction&) = delete;

    // Checks the record against the table's rules (its errors) and adds it.
    void add(const document::Record& record);
    int added() const { return added_; }

    // Computes LATITUDE and LONGITUDE of the new rows (no snapping), commits, refreshes the grid's
    // record set and marks the document changed.
    void commit();

private:
    SQLite::Database& db_;
    std::unique_ptr<SQLite::Transaction> transaction_;
    SQLite::Statement insert_;
    std::int64_t firstNew_ = 0;
    int added_ = 0;
};

} // namespace exchange

#pragma once

#include <SQLiteCpp/SQLiteCpp.h>

namespace commands {

// The one transaction of a walk over the rows: a savepoint, so that it also nests inside a
// transaction already open. Everything is rolled back unless commit() was reached, so a failure
// or a cancel leaves the table as it was.
class WalkTransaction {
public:
    explicit WalkTransaction(SQLite::Database& db);
    ~WalkTransaction();
    WalkTransaction(const WalkTransaction&) = delete;
    WalkTransaction& operator=(const WalkTransaction&) = delete;

    void commit();

private:
    SQLite::Database& db_;
    bool done_ = false;
};

} // namespace commands

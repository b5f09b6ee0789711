#pragma once

#include <SQLiteCpp/SQLiteCpp.h>

namespace document {

// The one transaction of a walk over the rows: a savepoint, so that it also nests inside a
// transaction already open (the reader's). Everything is rolled back unless release() was
// reached, so a failure or a cancel leaves the table as it was.
class WalkSavepoint {
public:
    explicit WalkSavepoint(SQLite::Database& db);
    ~WalkSavepoint();
    WalkSavepoint(const WalkSavepoint&) = delete;
    WalkSavepoint& operator=(const WalkSavepoint&) = delete;

    void release();

private:
    SQLite::Database& db_;
    bool released_ = false;
};

} // namespace document

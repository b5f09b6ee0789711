#include "commands/WalkTransaction.h"

namespace commands {

WalkTransaction::WalkTransaction(SQLite::Database& db) : db_(db) {
    db_.exec("SAVEPOINT command_walk");
}

WalkTransaction::~WalkTransaction() {
    if (done_) {
        return;
    }
    try {
        db_.exec("ROLLBACK TO command_walk");
        db_.exec("RELEASE command_walk");
    } catch (const SQLite::Exception&) {
        // Nothing more can be undone from a destructor.
    }
}

void WalkTransaction::commit() {
    db_.exec("RELEASE command_walk");
    done_ = true;
}

} // namespace commands

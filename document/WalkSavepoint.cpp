#include "document/WalkSavepoint.h"

namespace document {

WalkSavepoint::WalkSavepoint(SQLite::Database& db) : db_(db) {
    db_.exec("SAVEPOINT walk");
}

WalkSavepoint::~WalkSavepoint() {
    if (released_) {
        return;
    }
    try {
        db_.exec("ROLLBACK TO walk");
        db_.exec("RELEASE walk");
    } catch (const SQLite::Exception&) {
        // Nothing more can be undone from a destructor.
    }
}

void WalkSavepoint::release() {
    db_.exec("RELEASE walk");
    released_ = true;
}

} // namespace document

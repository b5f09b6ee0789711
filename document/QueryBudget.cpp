#include "document/QueryBudget.h"

#include "platform/Feedback.h"

#include <algorithm>
#include <sqlite3.h>
#include <utility>

namespace document {

QueryBudget::QueryBudget(SQLite::Database& db, QString waitText, QueryLimits limits)
    : db_(db.getHandle()), waitText_(std::move(waitText)), limits_(limits),
      previousLength_(sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, limits.maxLength)),
      previousPatternLength_(
          sqlite3_limit(db_, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, limits.maxPatternLength)),
      previousSoftHeapLimit_(sqlite3_soft_heap_limit64(-1)) {
    // Setting a hard limit may lower the soft one: both are put back at the end.
    std::int64_t heapLimit = sqlite3_memory_used() + limits.heapHeadroom;
    const std::int64_t current = sqlite3_hard_heap_limit64(-1);
    if (current > 0) {
        heapLimit = std::min(heapLimit, current);
    }
    previousHeapLimit_ = sqlite3_hard_heap_limit64(heapLimit);
    sqlite3_progress_handler(db_, std::max(1, limits.stepsPerCheck), OnProgress, this);
}

QueryBudget::~QueryBudget() {
    sqlite3_progress_handler(db_, 0, nullptr, nullptr);
    sqlite3_hard_heap_limit64(previousHeapLimit_);
    sqlite3_soft_heap_limit64(previousSoftHeapLimit_);
    sqlite3_limit(db_, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, previousPatternLength_);
    sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, previousLength_);
    if (shown_) {
        try {
            platform::FermeMessage();
        } catch (...) {
            // A window that fails to close must not hide the query's own outcome.
        }
    }
}

int QueryBudget::OnProgress(void* budget) {
    return static_cast<QueryBudget*>(budget)->stop() ? 1 : 0;
}

// Called by the engine every few thousand steps; a non-zero answer stops the query.
bool QueryBudget::stop() {
    if (cancelled_) {
        return true;
    }
    // The events of the wait window may run another query on the connection: that one goes on
    // without a second round of events.
    if (polling_) {
        return false;
    }
    const Clock::time_point now = Clock::now();
    if (now - lastPoll_ < limits_.pollEvery) {
        return false;
    }
    lastPoll_ = now;
    polling_ = true;
    try {
        if (!shown_ && now - start_ >= limits_.showAfter) {
            shown_ = true;
            platform::ShowCancellableMessage(waitText_);
        }
        cancelled_ = platform::CancelRequested();
    } catch (...) {
        // Nothing may cross the engine's frames; the query goes on.
    }
    polling_ = false;
    return cancelled_;
}

} // namespace document

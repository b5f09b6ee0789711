#pragma once

#include <QString>
#include <SQLiteCpp/SQLiteCpp.h>
#include <chrono>
#include <cstdint>

struct sqlite3;

namespace document {

// What a query typed by the user may cost, and how often it looks up from its work.
struct QueryLimits {
    // Bytes of any one text or blob the query builds.
    int maxLength = 10'000'000;
    // Bytes of a LIKE or GLOB pattern.
    int maxPatternLength = 10'000;
    // Bytes of engine memory the query may take beyond what the program holds when it starts.
    std::int64_t heapHeadroom = std::int64_t{256} << 20;
    // Engine steps between two looks at the clock. Few, because one step may cost milliseconds
    // (a function building a text of several megabytes); a look costs a few nanoseconds.
    int stepsPerCheck = 100;
    // How often the user's Cancel is looked at; the wait window takes its events then.
    std::chrono::milliseconds pollEvery{100};
    // When the wait window with its Cancel button appears: a quick query shows none.
    std::chrono::milliseconds showAfter{300};
};

// Holds the queries of a connection to a budget while it lives: no text, blob or pattern above
// the limits, no more engine memory than the headroom (the engine then fails with "out of
// memory"), and a Cancel button in the wait window that stops the query (it then fails with
// "interrupted"). Everything is put back as it was when the budget ends, the wait window closed.
// The memory limit is the engine's, shared by every connection of the program.
class QueryBudget {
public:
    QueryBudget(SQLite::Database& db, QString waitText, QueryLimits limits = {});
    ~QueryBudget();
    QueryBudget(const QueryBudget&) = delete;
    QueryBudget& operator=(const QueryBudget&) = delete;

    // Whether the user stopped the query.
    bool cancelled() const { return cancelled_; }

private:
    using Clock = std::chrono::steady_clock;

    static int OnProgress(void* budget);
    bool stop();

    sqlite3* db_;
    QString waitText_;
    QueryLimits limits_;
    int previousLength_;
    int previousPatternLength_;
    std::int64_t previousSoftHeapLimit_;
    std::int64_t previousHeapLimit_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastPoll_ = start_;
    bool shown_ = false;
    bool polling_ = false;
    bool cancelled_ = false;
};

} // namespace document

#pragma once

// New values of a few columns of many rows, written many rows a statement: one UPDATE per row
// would cost more than a whole walk around it. Values wait until flush(), which the caller runs
// once its read has let go of the table.
//
// The rows waiting are written in Counter order, one statement for each run of nearby Counters:
// the statement walks the run's range of the table and takes each listed row's new values from
// this object through an SQL function, so that SQLite neither parses nor stores a list of values.

#include <SQLiteCpp/SQLiteCpp.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <variant>
#include <vector>

namespace document {

class BatchUpdate {
public:
    // Null, an integer, a REAL or a text.
    using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

    // `columns` of the table DOVAZOV, set for each row by its Counter.
    BatchUpdate(SQLite::Database& db, std::vector<std::string> columns);
    BatchUpdate(const BatchUpdate&) = delete;
    BatchUpdate& operator=(const BatchUpdate&) = delete;

    // The values of row `counter`, one per column, in their order. A row given twice before a
    // flush keeps the values it was given last.
    void add(std::int64_t counter, std::vector<Value> values);
    std::size_t pending() const { return rows_.size(); }
    void flush();

    // The row of Counter `counter` among those being written, or null when it is not one of them.
    const std::vector<Value>* valuesOf(std::int64_t counter);

private:
    struct Row {
        std::int64_t counter;
        std::vector<Value> values;
    };

    void write(std::int64_t first, std::int64_t last);

    SQLite::Database& db_;
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> update_;
    std::vector<Row> rows_;
    std::vector<std::int64_t> counters_; // rows_'s Counters while a flush writes them, ascending
    std::size_t hint_ = 0;               // where the last look-up in counters_ found its row
};

} // namespace document

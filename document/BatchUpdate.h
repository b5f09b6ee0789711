#pragma once

// New values of a few columns of many rows, written many rows a statement: one UPDATE per row
// would cost more than a whole walk around it. Values wait until flush(), which the caller runs
// once its read has let go of the table.

#include <SQLiteCpp/SQLiteCpp.h>
#include <cstddef>
#include <cstdint>
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

    // The values of row `counter`, one per column, in their order.
    void add(std::int64_t counter, std::vector<Value> values);
    std::size_t pending() const { return rows_.size(); }
    void flush();

private:
    struct Row {
        std::int64_t counter;
        std::vector<Value> values;
    };
    std::string Sql(std::size_t rows) const;
    void write(SQLite::Statement& update, std::size_t first, std::size_t count);

    std::vector<std::string> columns_;
    SQLite::Statement batch_;
    SQLite::Statement single_;
    std::vector<Row> rows_;
};

} // namespace document

#include "document/BatchUpdate.h"

#include <utility>

namespace document {

namespace {

constexpr std::size_t kBatchRows = 64;

std::string UpdateSql(const std::vector<std::string>& columns, std::size_t rows) {
    std::string sql = "UPDATE DOVAZOV SET ";
    for (std::size_t c = 0; c < columns.size(); ++c) {
        sql += (c == 0 ? "" : ", ") + columns[c] + " = v.column" + std::to_string(c + 2);
    }
    sql += " FROM (VALUES ";
    std::string row = "(?";
    for (std::size_t c = 0; c < columns.size(); ++c) {
        row += ", ?";
    }
    row += ")";
    for (std::size_t i = 0; i < rows; ++i) {
        sql += (i == 0 ? "" : ", ") + row;
    }
    sql += ") AS v WHERE DOVAZOV.Counter = v.column1";
    return sql;
}

} // namespace

BatchUpdate::BatchUpdate(SQLite::Database& db, std::vector<std::string> columns)
    : columns_(std::move(columns)), batch_(db, UpdateSql(columns_, kBatchRows)),
      single_(db, UpdateSql(columns_, 1)) {}

void BatchUpdate::add(std::int64_t counter, std::vector<Value> values) {
    rows_.push_back({counter, std::move(values)});
}

void BatchUpdate::flush() {
    std::size_t i = 0;
    for (; i + kBatchRows <= rows_.size(); i += kBatchRows) {
        write(batch_, i, kBatchRows);
    }
    for (; i < rows_.size(); ++i) {
        write(single_, i, 1);
    }
    rows_.clear();
}

void BatchUpdate::write(SQLite::Statement& update, std::size_t first, std::size_t count) {
    update.reset();
    const int perRow = static_cast<int>(columns_.size()) + 1;
    for (std::size_t k = 0; k < count; ++k) {
        const Row& row = rows_[first + k];
        int index = static_cast<int>(k) * perRow + 1;
        update.bind(index++, row.counter);
        for (const Value& value : row.values) {
            if (const auto* number = std::get_if<std::int64_t>(&value)) {
                update.bind(index, *number);
            } else if (const auto* real = std::get_if<double>(&value)) {
                update.bind(index, *real);
            } else if (const auto* text = std::get_if<std::string>(&value)) {
                update.bindNoCopy(index, *text);
            } else {
                update.bind(index);
            }
            ++index;
        }
    }
    update.exec();
}

} // namespace document

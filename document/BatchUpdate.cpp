#include "document/BatchUpdate.h"

#include <algorithm>
#include <optional>
#include <sqlite3.h>
#include <utility>

namespace document {

namespace {

// The SQL function through which the statement reads the values waiting:
// kValueFunction(batch, Counter, column) gives the value of `column` of that row, and with
// column -1 whether the row is one of those waiting.
constexpr const char* kValueFunction = "dovazov_batch_value";
constexpr const char* kPointerType = "document::BatchUpdate";

// Rows this far apart in Counter order are written by one statement, which passes over the rows
// between: cheaper than a statement of its own while the gap is short.
constexpr std::int64_t kRunGap = 32;

void BatchValue(sqlite3_context* context, int, sqlite3_value** argv) {
    auto* batch = static_cast<BatchUpdate*>(sqlite3_value_pointer(argv[0], kPointerType));
    const std::vector<BatchUpdate::Value>* values =
        batch == nullptr ? nullptr : batch->valuesOf(sqlite3_value_int64(argv[1]));
    const int column = sqlite3_value_int(argv[2]);
    if (column < 0) {
        sqlite3_result_int(context, values != nullptr ? 1 : 0);
        return;
    }
    if (values == nullptr || static_cast<std::size_t>(column) >= values->size()) {
        sqlite3_result_error(context, "no value waits for this row", -1);
        return;
    }
    const BatchUpdate::Value& value = (*values)[static_cast<std::size_t>(column)];
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        sqlite3_result_int64(context, *number);
    } else if (const auto* real = std::get_if<double>(&value)) {
        sqlite3_result_double(context, *real);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        // The text lives until the flush that runs this statement returns.
        sqlite3_result_text64(context, text->data(), text->size(), SQLITE_STATIC, SQLITE_UTF8);
    } else {
        sqlite3_result_null(context);
    }
}

// Installs the function on the connection; an install already there (the only case in which
// SQLite refuses while statements run) is the same function.
void InstallValueFunction(SQLite::Database& db) {
    const int rc = sqlite3_create_function_v2(db.getHandle(), kValueFunction, 3,
                                              SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr, &BatchValue,
                                              nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK && rc != SQLITE_BUSY) {
        throw SQLite::Exception(db.getHandle(), rc);
    }
}

std::string UpdateSql(const std::vector<std::string>& columns) {
    const std::string function = std::string(kValueFunction) + "(?3, Counter, ";
    std::string sql = "UPDATE DOVAZOV SET ";
    for (std::size_t c = 0; c < columns.size(); ++c) {
        sql += (c == 0 ? "" : ", ") + columns[c] + " = " + function + std::to_string(c) + ")";
    }
    sql += " WHERE Counter BETWEEN ?1 AND ?2 AND " + function + "-1)";
    return sql;
}

sqlite3_stmt* PrepareUpdate(SQLite::Database& db, const std::vector<std::string>& columns) {
    InstallValueFunction(db);
    sqlite3_stmt* statement = nullptr;
    const int rc =
        sqlite3_prepare_v2(db.getHandle(), UpdateSql(columns).c_str(), -1, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw SQLite::Exception(db.getHandle(), rc);
    }
    return statement;
}

} // namespace

BatchUpdate::BatchUpdate(SQLite::Database& db, std::vector<std::string> columns)
    : db_(db), update_(PrepareUpdate(db, columns), &sqlite3_finalize) {}

void BatchUpdate::add(std::int64_t counter, std::vector<Value> values) {
    rows_.push_back({counter, std::move(values)});
}

const std::vector<BatchUpdate::Value>* BatchUpdate::valuesOf(std::int64_t counter) {
    // The statement asks in Counter order: the row is nearly always at the hint or just after.
    for (std::size_t i = hint_; i < counters_.size() && i < hint_ + 2; ++i) {
        if (counters_[i] == counter) {
            hint_ = i;
            return &rows_[i].values;
        }
    }
    const auto found = std::lower_bound(counters_.begin(), counters_.end(), counter);
    if (found == counters_.end() || *found != counter) {
        return nullptr;
    }
    hint_ = static_cast<std::size_t>(found - counters_.begin());
    return &rows_[hint_].values;
}

void BatchUpdate::flush() {
    // Counter order, the last values given for a row kept.
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const Row& a, const Row& b) { return a.counter < b.counter; });
    const auto last = std::unique(rows_.rbegin(), rows_.rend(), [](const Row& a, const Row& b) {
        return a.counter == b.counter;
    });
    rows_.erase(rows_.begin(), last.base());
    counters_.clear();
    for (const Row& row : rows_) {
        counters_.push_back(row.counter);
    }
    hint_ = 0;
    std::size_t first = 0;
    while (first < rows_.size()) {
        std::size_t end = first + 1;
        while (end < rows_.size() && counters_[end] - counters_[end - 1] <= kRunGap) {
            ++end;
        }
        write(counters_[first], counters_[end - 1]);
        first = end;
    }
    rows_.clear();
    counters_.clear();
}

void BatchUpdate::write(std::int64_t first, std::int64_t last) {
    sqlite3_stmt* update = update_.get();
    sqlite3_bind_int64(update, 1, first);
    sqlite3_bind_int64(update, 2, last);
    sqlite3_bind_pointer(update, 3, this, kPointerType, nullptr);
    const int rc = sqlite3_step(update);
    std::optional<SQLite::Exception> error;
    if (rc != SQLITE_DONE) {
        error.emplace(db_.getHandle(), rc);
    }
    // The pointer goes with the step: no later step of the statement can reach this object.
    sqlite3_reset(update);
    sqlite3_clear_bindings(update);
    if (error) {
        throw *error;
    }
}

} // namespace document

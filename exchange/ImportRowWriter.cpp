#include "exchange/ImportRowWriter.h"

#include "document/RecordSet.h"

#include <cstring>

namespace exchange {

namespace {

// Rows a statement: one INSERT per row costs more in SQLite's statement machinery than the row.
constexpr std::size_t kRowsPerInsert = 64;
constexpr int kColumnsPerRow = 10;

// The record INSERT with `rows` rows of values.
std::string InsertSql(std::size_t rows) {
    const std::string one = document::kInsertRecordSql;
    const std::string::size_type values = one.find("VALUES ") + std::strlen("VALUES ");
    const std::string tuple = one.substr(values);
    std::string sql = one;
    for (std::size_t i = 1; i < rows; ++i) {
        sql += ", " + tuple;
    }
    return sql;
}

template <typename T> void Bind(SQLite::Statement& s, int index, const std::optional<T>& v) {
    if (!v) {
        s.bind(index);
    } else if constexpr (std::is_same_v<T, std::string>) {
        s.bindNoCopy(index, *v);
    } else if constexpr (std::is_same_v<T, double>) {
        s.bind(index, *v);
    } else {
        s.bind(index, static_cast<int>(*v));
    }
}

} // namespace

ImportRowWriter::ImportRowWriter(SQLite::Database& db)
    : insertMany_(db, InsertSql(kRowsPerInsert)), insertOne_(db, document::kInsertRecordSql),
      // the blocks waiting and the one being written
      queue_(
          kMaxWaiting + 1, [this](std::vector<ImportRow>& rows) { writeAll(rows); },
          [](std::vector<ImportRow>& rows) { rows.clear(); }) {}

void ImportRowWriter::writeAll(const std::vector<ImportRow>& rows) {
    std::size_t i = 0;
    for (; i + kRowsPerInsert <= rows.size(); i += kRowsPerInsert) {
        insert(insertMany_, rows, i, kRowsPerInsert);
    }
    for (; i < rows.size(); ++i) {
        insert(insertOne_, rows, i, 1);
    }
}

void ImportRowWriter::insert(SQLite::Statement& statement, const std::vector<ImportRow>& rows,
                             std::size_t first, std::size_t count) {
    statement.reset();
    for (std::size_t k = 0; k < count; ++k) {
        const ImportRow& row = rows[first + k];
        const int base = static_cast<int>(k) * kColumnsPerRow;
        Bind(statement, base + 1, row.period);
        Bind(statement, base + 2, row.latitude);
        Bind(statement, base + 3, row.longitude);
        Bind(statement, base + 4, row.n1);
        Bind(statement, base + 5, row.n2);
        for (std::size_t t = 0; t < row.texts.size(); ++t) {
            Bind(statement, base + 6 + static_cast<int>(t), row.texts[t]);
        }
    }
    statement.exec();
}

} // namespace exchange

#pragma once

// The fields of the records as the exports that write bytes straight from the table read them
// through document::ColumnStream: every field after Counter, in table order, so that the columns
// of document::column name them.

#include "document/ColumnStream.h"
#include "exchange/ExportColumns.h"

#include <QByteArray>
#include <QByteArrayView>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sqlite3.h>
#include <string_view>

namespace exchange {

inline constexpr const char* kStreamColumns =
    "PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, ORIGINAL, DATE, COMMENT";

// Walks the records through `rows` (add() for each row of the stream, finish() at the end).
template <typename Rows> void StreamRecords(const document::RecordSet& records, Rows& rows) {
    document::ColumnStream stream(records, kStreamColumns);
    while (stream.next()) {
        rows.add(stream.row());
    }
    rows.finish();
}

// Rows converted and written together: the Lambert 72 columns of a block go through the batch
// conversions at once.
inline constexpr std::size_t kBlockRows = 4096;

inline bool IsNull(sqlite3_stmt* row, int column) {
    return sqlite3_column_type(row, column) == SQLITE_NULL;
}

// A stored position as the record holds it: single precision.
inline float SingleOf(sqlite3_stmt* row, int column) {
    return static_cast<float>(sqlite3_column_double(row, column));
}

// A stored position as TableRow gives it: 0 for Null. Read through the column's value, which
// takes the connection's lock once.
inline float SingleOrZero(sqlite3_stmt* row, int column) {
    sqlite3_value* value = sqlite3_column_value(row, column);
    return sqlite3_value_type(value) == SQLITE_NULL
               ? 0.0F
               : static_cast<float>(sqlite3_value_double(value));
}

// A count as TableRow gives it: 0 for Null.
inline std::int32_t IntOrZero(sqlite3_stmt* row, int column) {
    sqlite3_value* value = sqlite3_column_value(row, column);
    return sqlite3_value_type(value) == SQLITE_NULL
               ? 0
               : static_cast<std::int32_t>(sqlite3_value_int(value));
}

// ASCII, nearly every text, is the same in UTF-8 and Windows-1252.
inline bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The stored position of the current row as the Lambert 72 columns take it: nothing for a row
// without a datum (it has no entered position to carry over) or without a position.
std::optional<std::array<float, 2>> StoredPosition(sqlite3_stmt* row);

// The table column that holds a text field (DATUM, ORIGINAL, DATE, SEX, COMMENT).
int TextColumnOf(ExportField field);

// Whether TableRow trims the field's text (DATE, SEX and COMMENT).
inline bool TrimsText(ExportField field) {
    return field == ExportField::Date || field == ExportField::Sex || field == ExportField::Comment;
}

// The period of the current row as TableRow gives it (its digits; empty for Null), in `digits`.
std::string_view PeriodText(sqlite3_stmt* row, char (&digits)[8]);

// The text of a text column as TableRow gives it and CheckRow takes it (trimmed when `trim`),
// refused when longer than the column. ASCII, nearly every text, is read in place; any other text
// goes through a QString and `encode`, into `scratch`.
QByteArrayView TextCell(const ExportColumn& column, std::optional<std::string_view> utf8, bool trim,
                        std::int64_t rowNumber, QByteArray& scratch,
                        QByteArray (*encode)(QStringView));

} // namespace exchange

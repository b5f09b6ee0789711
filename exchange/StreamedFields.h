#pragma once

// The fields of the records as the exports that write bytes straight from the table read them
// through document::ColumnStream: every field after Counter, in table order, so that the columns
// of document::column name them.

#include <algorithm>
#include <cstddef>
#include <sqlite3.h>
#include <string_view>

namespace exchange {

inline constexpr const char* kStreamColumns =
    "PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, ORIGINAL, DATE, COMMENT";

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

// ASCII, nearly every text, is the same in UTF-8 and Windows-1252.
inline bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace exchange

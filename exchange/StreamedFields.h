#pragma once

// The fields of the records as the exports that write bytes straight from the table read them
// through document::ColumnStream: every field after Counter, in table order, so that the columns
// of document::column name them.

#include "document/ColumnStream.h"
#include "exchange/ExportColumns.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sqlite3.h>
#include <string_view>
#include <vector>

namespace document {
class RecordSet;
}

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

// The bytes an export gathers before it hands them to the file in one write.
inline constexpr qsizetype kFlushBytes = 1 << 20;

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

// The cells of one record for a database table, read from the streamed columns as TableRow gives
// them: Nulls as 0 or an empty text, DATE, SEX and COMMENT trimmed, texts in Windows-1252.
class TableCells {
public:
    explicit TableCells(const std::vector<ExportColumn>& columns);

    // Takes the next record and checks its texts against their columns as CheckRow does:
    // RefuseValue naming the record (1 for the first) and the column otherwise.
    void read(sqlite3_stmt* row);
    std::int64_t number() const { return number_; }
    // The bytes of text column i of the current record.
    QByteArrayView text(std::size_t i) const { return texts_[i]; }
    // N1 or N2 of column i.
    std::int32_t whole(std::size_t i) const;
    // Latitude or longitude of column i.
    float single(std::size_t i) const;

private:
    const std::vector<ExportColumn>& columns_;
    sqlite3_stmt* row_ = nullptr;
    std::int64_t number_ = 0;
    char period_[8] = {}; // the digits of the current record's period
    std::vector<QByteArrayView> texts_;
    std::vector<QByteArray> scratch_; // where a text not read in place is encoded
};

// The Lambert 72 X and Y of records laid out ahead of them: each record's stored position waits,
// with where its X and Y go, until a block of them goes through the batch conversions.
class Lambert72Block {
public:
    // `needsDatum`: a record without a datum has no entered position to carry over (TableRow).
    explicit Lambert72Block(bool needsDatum);

    // Takes the position of the current record; `at` is where its X and Y go. True when the
    // block is full.
    bool add(sqlite3_stmt* row, qsizetype at);
    bool empty() const { return at_.empty(); }

    // Converts the waiting positions and gives each to put(at, xy), in the order they came, with
    // nothing for a record without Lambert 72 coordinates (see Lambert72Of).
    template <typename Put> void finish(Put&& put) {
        Lambert72OfBlock(positions_, xy_);
        for (std::size_t i = 0; i < at_.size(); ++i) {
            put(at_[i], xy_[i]);
        }
        positions_.clear();
        at_.clear();
    }

private:
    bool needsDatum_;
    std::vector<std::optional<std::array<float, 2>>> positions_;
    std::vector<qsizetype> at_;
    std::vector<std::optional<std::array<std::int32_t, 2>>> xy_;
};

// Writes the records of `records` straight from the table's columns into `table`, as TableRow
// would give them to its addRow; returns the number of records found. With the Lambert 72
// columns, the records of a block wait in the table's buffer until the block's conversion fills in
// their X and Y. `Table` lays each field out where newRecord() put the record:
// putSingle (Latitude, Longitude), putWhole (N1, N2), putText (the texts), putMemo (the same
// memo on every record), putLambert (X and Y); then rowDone(), and flushIfFull() when no record
// waits.
template <typename Table>
std::int64_t WriteStreamedRecords(Table& table, const document::RecordSet& records,
                                  const std::vector<ExportColumn>& columns, const QString& memo) {
    const bool lambert = !columns.empty() && columns.front().field == ExportField::X;
    TableCells cells(columns);
    Lambert72Block block(true);
    const auto finish = [&] {
        if (!block.empty()) {
            block.finish(
                [&](qsizetype record, const std::optional<std::array<std::int32_t, 2>>& xy) {
                    table.putLambert(record, xy);
                });
            table.flushIfFull();
        }
    };
    document::ColumnStream stream(records, kStreamColumns);
    std::int64_t found = 0;
    while (stream.next()) {
        sqlite3_stmt* row = stream.row();
        // Every text is checked before a byte of the record is laid out, as CheckRow does.
        cells.read(row);
        const qsizetype record = table.newRecord();
        const bool full = lambert && block.add(row, record);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            switch (columns[i].field) {
            case ExportField::X:
            case ExportField::Y:
                break; // filled in by finish()
            case ExportField::Latitude:
            case ExportField::Longitude:
                table.putSingle(record, i, cells.single(i));
                break;
            case ExportField::N1:
            case ExportField::N2:
                table.putWhole(record, i, cells.whole(i));
                break;
            case ExportField::Memo:
                table.putMemo(record, i, memo);
                break;
            default:
                table.putText(record, i, cells.text(i));
                break;
            }
        }
        table.rowDone();
        ++found;
        if (!lambert) {
            table.flushIfFull();
        } else if (full) {
            finish();
        }
    }
    finish();
    return found;
}

} // namespace exchange

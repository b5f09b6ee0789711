#include "exchange/StreamedFields.h"

#include "document/ColumnStream.h"
#include "document/Record.h"
#include "platform/Windows1252.h"

#include <charconv>

namespace exchange {

namespace {

using namespace document::column;

// The blanks QString::trimmed takes off an ASCII text.
bool IsAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view TrimmedAscii(std::string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsAsciiSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::optional<std::array<float, 2>> StoredPosition(sqlite3_stmt* row) {
    const std::optional<std::string_view> datum = document::ColumnText(row, kDatum);
    if (datum && !datum->empty() && !IsNull(row, kLatitude) && !IsNull(row, kLongitude)) {
        return std::array<float, 2>{SingleOf(row, kLatitude), SingleOf(row, kLongitude)};
    }
    return std::nullopt;
}

int TextColumnOf(ExportField field) {
    switch (field) {
    case ExportField::Datum:
        return kDatum;
    case ExportField::Original:
        return kOriginal;
    case ExportField::Date:
        return kDate;
    case ExportField::Sex:
        return kSex;
    default:
        return kComment;
    }
}

std::string_view PeriodText(sqlite3_stmt* row, char (&digits)[8]) {
    sqlite3_value* value = sqlite3_column_value(row, kPeriod);
    if (sqlite3_value_type(value) == SQLITE_NULL) {
        return {};
    }
    const auto end = std::to_chars(digits, digits + sizeof digits,
                                   static_cast<std::int16_t>(sqlite3_value_int(value)))
                         .ptr;
    return std::string_view(digits, static_cast<std::size_t>(end - digits));
}

QByteArrayView TextCell(const ExportColumn& column, std::optional<std::string_view> utf8, bool trim,
                        std::int64_t rowNumber, QByteArray& scratch,
                        QByteArray (*encode)(QStringView)) {
    const std::string_view text = utf8.value_or(std::string_view());
    if (IsAscii(text)) {
        const std::string_view kept = trim ? TrimmedAscii(text) : text;
        if (std::ssize(kept) <= column.size) {
            return QByteArrayView(kept.data(), std::ssize(kept));
        }
    }
    QString value = QString::fromUtf8(text.data(), std::ssize(text));
    if (trim) {
        value = value.trimmed();
    }
    CheckRow({column}, {value}, rowNumber);
    scratch = encode(value);
    return scratch;
}

TableCells::TableCells(const std::vector<ExportColumn>& columns)
    : columns_(columns), texts_(columns.size()), scratch_(columns.size()) {}

void TableCells::read(sqlite3_stmt* row) {
    row_ = row;
    ++number_;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const ExportField field = columns_[i].field;
        if (field == ExportField::Period) {
            texts_[i] = TextCell(columns_[i], PeriodText(row, period_), false, number_, scratch_[i],
                                 platform::EncodeWindows1252);
        } else if (columns_[i].type == ColumnType::Text) {
            texts_[i] =
                TextCell(columns_[i], document::ColumnText(row, TextColumnOf(field)),
                         TrimsText(field), number_, scratch_[i], platform::EncodeWindows1252);
        }
    }
}

std::int32_t TableCells::whole(std::size_t i) const {
    return IntOrZero(row_, columns_[i].field == ExportField::N1 ? kN1 : kN2);
}

float TableCells::single(std::size_t i) const {
    return SingleOrZero(row_, columns_[i].field == ExportField::Latitude ? kLatitude : kLongitude);
}

Lambert72Block::Lambert72Block(bool needsDatum) : needsDatum_(needsDatum) {
    positions_.reserve(kBlockRows);
    at_.reserve(kBlockRows);
}

bool Lambert72Block::add(sqlite3_stmt* row, qsizetype at) {
    if (needsDatum_) {
        positions_.push_back(StoredPosition(row));
    } else if (!IsNull(row, kLatitude) && !IsNull(row, kLongitude)) {
        positions_.push_back(
            std::array<float, 2>{SingleOf(row, kLatitude), SingleOf(row, kLongitude)});
    } else {
        positions_.emplace_back();
    }
    at_.push_back(at);
    return at_.size() == kBlockRows;
}

} // namespace exchange

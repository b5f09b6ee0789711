// The Excel export: an .xlsx workbook with one worksheet named after the table, written by
// XlsxWorkbook as the rows come. Row 1 holds the column names; numbers are number cells, texts
// string cells (an empty text leaves its cell empty).

#include "document/ColumnStream.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "exchange/ExportTable.h"
#include "exchange/StreamedFields.h"
#include "exchange/XlsxWorkbook.h"

#include <array>
#include <string>

namespace exchange {

namespace {

QByteArray Utf8Of(QStringView text) {
    return text.toUtf8();
}

QStringList NamesOf(const std::vector<ExportColumn>& columns) {
    QStringList names;
    for (const ExportColumn& column : columns) {
        names << column.name;
    }
    return names;
}

// The bytes of a row's cells at most, the memo's text taking `memoUnits` UTF-16 code units.
std::uint64_t RowBytes(const std::vector<ExportColumn>& columns, qsizetype memoUnits) {
    std::uint64_t bytes = 0;
    for (const ExportColumn& column : columns) {
        bytes += XlsxWorkbook::kCellMarkup;
        switch (column.type) {
        case ColumnType::Long:
        case ColumnType::Single:
            bytes += XlsxWorkbook::kNumberBytes;
            break;
        case ColumnType::Text:
            bytes += XlsxWorkbook::TextBytes(static_cast<std::uint64_t>(column.size));
            break;
        case ColumnType::Memo:
            bytes += XlsxWorkbook::TextBytes(static_cast<std::uint64_t>(memoUnits));
            break;
        }
    }
    return bytes;
}

// The workbook fed with the values of TableRow.
class XlsxTable final : public TableWriter {
public:
    XlsxTable(const QString& path, const QString& tableName,
              const std::vector<ExportColumn>& columns, std::int64_t rowCount)
        : book_(path, tableName, NamesOf(columns), rowCount, RowBytes(columns, kExcelCellChars)) {}

    void addRow(const std::vector<CellValue>& row) override {
        book_.beginRow();
        for (std::size_t i = 0; i < row.size(); ++i) {
            const int column = static_cast<int>(i);
            if (const auto* number = std::get_if<std::int32_t>(&row[i])) {
                book_.integer(column, *number);
            } else if (const auto* single = std::get_if<float>(&row[i])) {
                book_.single(column, *single);
            } else {
                utf8_ = std::get<QString>(row[i]).toUtf8();
                book_.text(column, std::string_view(utf8_.constData(),
                                                    static_cast<std::size_t>(utf8_.size())));
            }
        }
        book_.endRow();
    }

    void commit() override { book_.commit(); }

private:
    XlsxWorkbook book_;
    QByteArray utf8_;
};

// The records written straight from the table's columns into the workbook, as TableRow would
// give them to addRow. The records of a block wait until the block's Lambert 72 conversion, when
// the export has those columns.
class XlsxRows {
public:
    XlsxRows(XlsxWorkbook& book, const std::vector<ExportColumn>& columns, const QString& memo)
        : book_(book), columns_(columns), memo_(memo), memoUtf8_(memo.toUtf8().toStdString()),
          lambert_(!columns.empty() && columns.front().field == ExportField::X) {}

    void add(sqlite3_stmt* row) {
        using namespace document::column;
        ++number_;
        if (filled_ == block_.size()) {
            block_.emplace_back();
            block_.back().texts.resize(columns_.size());
            block_.back().numbers.resize(columns_.size());
        }
        Pending& pending = block_[filled_++];
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const ExportField field = columns_[i].field;
            QByteArrayView text;
            switch (field) {
            case ExportField::Period:
                text = TextCell(columns_[i], PeriodText(row, period_), false, number_, scratch_,
                                Utf8Of);
                break;
            case ExportField::Datum:
            case ExportField::Original:
            case ExportField::Date:
            case ExportField::Sex:
            case ExportField::Comment:
                text = TextCell(columns_[i], document::ColumnText(row, TextColumnOf(field)),
                                TrimsText(field), number_, scratch_, Utf8Of);
                break;
            case ExportField::Latitude:
                pending.numbers[i] = SingleOrZero(row, kLatitude);
                break;
            case ExportField::Longitude:
                pending.numbers[i] = SingleOrZero(row, kLongitude);
                break;
            case ExportField::N1:
            case ExportField::N2: {
                pending.numbers[i] = IntOrZero(row, field == ExportField::N1 ? kN1 : kN2);
                break;
            }
            default: // X and Y wait for the block's conversion; the memo is the same everywhere
                break;
            }
            pending.texts[i].assign(text.data(), static_cast<std::size_t>(text.size()));
        }
        if (number_ == 1) {
            std::vector<CellValue> memoRow(columns_.size(), QString());
            memoRow.back() = memo_;
            CheckTargetLimits(ExportTarget::Excel, columns_, memoRow, number_);
        }
        if (lambert_) {
            positions_.push_back(StoredPosition(row));
        }
        if (filled_ == kBlockRows) {
            finish();
        }
    }

    // Writes the waiting records.
    void finish() {
        if (lambert_) {
            Lambert72OfBlock(positions_, xy_);
            positions_.clear();
        }
        for (std::size_t r = 0; r < filled_; ++r) {
            const Pending& pending = block_[r];
            book_.beginRow();
            for (std::size_t i = 0; i < columns_.size(); ++i) {
                const int column = static_cast<int>(i);
                switch (columns_[i].field) {
                case ExportField::X:
                case ExportField::Y:
                    book_.integer(column,
                                  xy_[r] ? (*xy_[r])[columns_[i].field == ExportField::X ? 0 : 1]
                                         : 0);
                    break;
                case ExportField::Latitude:
                case ExportField::Longitude:
                    book_.single(column, static_cast<float>(pending.numbers[i]));
                    break;
                case ExportField::N1:
                case ExportField::N2:
                    book_.integer(column, static_cast<std::int64_t>(pending.numbers[i]));
                    break;
                case ExportField::Memo:
                    book_.text(column, memoUtf8_);
                    break;
                default:
                    book_.text(column, pending.texts[i]);
                    break;
                }
            }
            book_.endRow();
        }
        filled_ = 0;
    }

private:
    // A record read and checked, waiting to be written.
    struct Pending {
        std::vector<std::string> texts; // by column, UTF-8
        std::vector<double> numbers;    // by column: the singles and counts, exact
    };

    XlsxWorkbook& book_;
    const std::vector<ExportColumn>& columns_;
    const QString& memo_;
    std::string memoUtf8_;
    bool lambert_;
    std::int64_t number_ = 0;
    char period_[8] = {};
    QByteArray scratch_;
    std::vector<Pending> block_;
    std::size_t filled_ = 0;
    std::vector<std::optional<std::array<float, 2>>> positions_;
    std::vector<std::optional<std::array<std::int32_t, 2>>> xy_;
};

} // namespace

std::unique_ptr<TableWriter> OpenXlsxWriter(const QString& path, const QString& tableName,
                                            const std::vector<ExportColumn>& columns,
                                            std::int64_t rowCount) {
    return std::make_unique<XlsxTable>(path, tableName, columns, rowCount);
}

void WriteXlsxExport(const QString& path, const QString& tableName,
                     const document::RecordSet& records, const std::vector<ExportColumn>& columns,
                     std::int64_t rowCount, const QString& memo) {
    XlsxWorkbook book(path, tableName, NamesOf(columns), rowCount, RowBytes(columns, memo.size()));
    XlsxRows rows(book, columns, memo);
    StreamRecords(records, rows);
    book.commit();
}

} // namespace exchange

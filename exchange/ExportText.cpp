#include "exchange/ExportText.h"

#include "document/ColumnStream.h"
#include "document/RecordSet.h"
#include "exchange/ImportText.h"
#include "exchange/StreamedFields.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace exchange {

namespace {

using namespace document::column;

void AppendInteger(QByteArray& out, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

// "00000": at least five digits, zeros in front, a minus sign before them when negative.
void AppendFiveDigits(QByteArray& out, std::int32_t value) {
    char digits[24];
    const long long magnitude = std::llabs(static_cast<long long>(value));
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    if (value < 0) {
        out += '-';
    }
    for (auto length = end - digits; length < 5; ++length) {
        out += '0';
    }
    out.append(digits, end - digits);
}

// A text of the table (UTF-8) in the file's code page; ASCII, nearly every text, as it is.
void AppendText(QByteArray& out, std::optional<std::string_view> text) {
    if (!text) {
        return;
    }
    if (IsAscii(*text)) {
        out.append(text->data(), static_cast<qsizetype>(text->size()));
    } else {
        platform::AppendWindows1252(
            out, QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())));
    }
}

void AppendCell(QByteArray& out, ExportField field, sqlite3_stmt* row) {
    switch (field) {
    case ExportField::Period:
        if (!IsNull(row, kPeriod)) {
            AppendInteger(out, static_cast<std::int16_t>(sqlite3_column_int(row, kPeriod)));
        }
        return;
    case ExportField::Latitude:
        if (!IsNull(row, kLatitude)) {
            AppendFixedFive(out, SingleOf(row, kLatitude), 2);
        }
        return;
    case ExportField::Longitude:
        if (!IsNull(row, kLongitude)) {
            AppendFixedFive(out, SingleOf(row, kLongitude), 3);
        }
        return;
    case ExportField::N1:
    case ExportField::N2: {
        const int column = field == ExportField::N1 ? kN1 : kN2;
        if (!IsNull(row, column)) {
            AppendFiveDigits(out, static_cast<std::int32_t>(sqlite3_column_int(row, column)));
        }
        return;
    }
    case ExportField::Datum:
        AppendText(out, document::ColumnText(row, kDatum));
        return;
    case ExportField::Original:
        AppendText(out, document::ColumnText(row, kOriginal));
        return;
    case ExportField::Date:
        AppendText(out, document::ColumnText(row, kDate));
        return;
    case ExportField::Sex:
        AppendText(out, document::ColumnText(row, kSex));
        return;
    case ExportField::Comment:
        AppendText(out, document::ColumnText(row, kComment));
        return;
    case ExportField::X:
    case ExportField::Y:
    case ExportField::Memo:
        return;
    }
}

// The lines of a block; with the Lambert 72 columns, the rest of each line waits for the block's
// conversion.
class LineBlock {
public:
    LineBlock(const std::vector<ExportColumn>& columns, QByteArray separator)
        : separator_(std::move(separator)),
          lambert_(!columns.empty() && columns.front().field == ExportField::X), block_(false) {
        for (std::size_t i = lambert_ ? 2 : 0; i < columns.size(); ++i) {
            rest_.push_back({columns[i].field, i > 0});
        }
    }

    // Takes a row; true when the block is full.
    bool add(sqlite3_stmt* row, QByteArray& out) {
        QByteArray& line = lambert_ ? pending_ : out;
        for (const Cell& cell : rest_) {
            if (cell.separated) {
                line += separator_;
            }
            AppendCell(line, cell.field, row);
        }
        if (!lambert_) {
            line += "\r\n";
            return false;
        }
        return block_.add(row, pending_.size());
    }

    // Writes the waiting lines with their Lambert 72 columns.
    void finish(QByteArray& out) {
        if (block_.empty()) {
            return;
        }
        qsizetype start = 0;
        block_.finish([&](qsizetype end, const std::optional<std::array<std::int32_t, 2>>& xy) {
            if (xy) {
                AppendInteger(out, (*xy)[0]);
            }
            out += separator_;
            if (xy) {
                AppendInteger(out, (*xy)[1]);
            }
            out.append(pending_.constData() + start, end - start);
            out += "\r\n";
            start = end;
        });
        pending_.resize(0); // keeps its room for the next block
    }

private:
    struct Cell {
        ExportField field;
        bool separated;
    };
    QByteArray separator_;
    bool lambert_;
    std::vector<Cell> rest_;
    QByteArray pending_;
    Lambert72Block block_; // each waiting line's position, with where its line ends in pending_
};

} // namespace

QString TextSeparator(int mode) {
    switch (mode) {
    case 1:
        return QStringLiteral(",");
    case 2:
        return QStringLiteral("\t");
    case 3:
        return QStringLiteral(" ");
    default:
        return {};
    }
}

QString TextHeader(const std::vector<ExportColumn>& columns, const QString& separator) {
    QString line;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) {
            line += separator;
        }
        line += columns[i].name;
    }
    return line;
}

void WriteTextExport(const QString& path, const document::RecordSet& records,
                     const ExportChoice& choice, int mode) {
    const std::vector<ExportColumn> columns = TextColumns(choice);
    const QString separator = TextSeparator(mode);
    platform::TextFileWriter file(path);
    file.writeLine(TextHeader(columns, separator));

    document::ColumnStream stream(records, kStreamColumns);
    LineBlock block(columns, platform::EncodeWindows1252(separator));
    QByteArray out;
    out.reserve(kFlushBytes + (1 << 16));
    while (stream.next()) {
        if (block.add(stream.row(), out)) {
            block.finish(out);
        }
        if (out.size() >= kFlushBytes) {
            file.writeBytes(out);
            out.resize(0); // keeps its room
        }
    }
    block.finish(out);
    file.writeBytes(out);
    file.commit();
}

} // namespace exchange

#include "exchange/XlsxWorkbook.h"

#include "exchange/ExportTable.h"
#include "exchange/XlsxNumbers.h"
#include "exchange/XlsxParts.h"

#include <QDateTime>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace exchange {

namespace {

constexpr int kSheetLevel = 1; // zlib's fastest: the sheet is most of the work
constexpr std::uint64_t kZip32Limit = 0xFFFFFFFF;
constexpr const char* kSheetPart = "xl/worksheets/sheet1.xml";
constexpr std::string_view kSheetHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet "
    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
constexpr std::string_view kSheetViews =
    "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>"
    "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData>";
constexpr std::string_view kSheetTail =
    "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
    "header=\"0.3\" footer=\"0.3\"/></worksheet>";
constexpr std::string_view kRowOpen = "<row r=\"";
constexpr std::string_view kRowClose = "</row>";
constexpr std::string_view kCellOpen = "<c r=\"";
constexpr std::string_view kNumberOpen = "\"><v>";
constexpr std::string_view kNumberClose = "</v></c>";
constexpr std::string_view kTextOpen = "\" t=\"inlineStr\"><is><t>";
constexpr std::string_view kTextOpenPreserved = "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">";
constexpr std::string_view kTextClose = "</t></is></c>";
// A row's own markup at most: its element around the cells.
constexpr std::uint64_t kRowMarkup = 32;

// The column letters of a zero-based column: A..Z, AA..
std::string ColumnLetters(int column) {
    std::string letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    return letters;
}

char* Put(char* at, std::string_view text) {
    if (!text.empty()) { // an empty view may have no data, which memcpy must not be given
        std::memcpy(at, text.data(), text.size());
    }
    return at + text.size();
}

// What a byte becomes in character data: itself (0), an entity, or _xHHHH_ for the control
// characters XML cannot hold, tab and line feed excepted.
constexpr std::array<std::uint8_t, 256> kEscapes = [] {
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 0x20; ++c) {
        table[static_cast<std::size_t>(c)] = c == '\t' || c == '\n' ? 0 : 1;
    }
    table['&'] = 1;
    table['<'] = 1;
    table['>'] = 1;
    return table;
}();

char* PutEscaped(char* at, std::string_view text) {
    const char* from = text.data();
    const char* const end = from + text.size();
    while (from < end) {
        const char* plain = from;
        while (plain < end && kEscapes[static_cast<unsigned char>(*plain)] == 0) {
            ++plain;
        }
        std::memcpy(at, from, static_cast<std::size_t>(plain - from));
        at += plain - from;
        if (plain == end) {
            break;
        }
        switch (*plain) {
        case '&':
            at = Put(at, "&amp;");
            break;
        case '<':
            at = Put(at, "&lt;");
            break;
        case '>':
            at = Put(at, "&gt;");
            break;
        default: {
            static constexpr char kHex[] = "0123456789ABCDEF";
            const auto c = static_cast<unsigned char>(*plain);
            at = Put(at, "_x00");
            *at++ = kHex[c >> 4];
            *at++ = kHex[c & 0xF];
            *at++ = '_';
        }
        }
        from = plain + 1;
    }
    return at;
}

// The blanks that make libxlsxwriter keep a text's spaces, the control characters among them
// being escaped first.
bool IsKeptBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

} // namespace

XlsxWorkbook::XlsxWorkbook(const QString& path, const QString& sheetName,
                           const QStringList& columns, std::int64_t rowCount,
                           std::uint64_t rowBytes)
    : file_(path), sheetName_(sheetName), rowCount_(rowCount),
      zip_([this](QByteArrayView bytes) { file_.write(bytes); }, path),
      deflate_(
          kSheetLevel, [this](QByteArrayView bytes) { zip_.writeDeflated(bytes); }, path) {
    // Excel refuses a worksheet name that ends with an apostrophe, as it refuses one that starts
    // with it (TableNameOf).
    if (sheetName.endsWith(QLatin1Char('\''))) {
        throw platform::FileWriteError(
            QStringLiteral("the worksheet \"%1\" could not be added: a worksheet name cannot end "
                           "with an apostrophe")
                .arg(sheetName),
            path);
    }
    std::uint64_t headerBytes = kRowMarkup;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        references_.push_back(ColumnLetters(static_cast<int>(i)));
        headerBytes += kCellMarkup + TextBytes(static_cast<std::uint64_t>(columns[i].size()));
    }
    const std::uint64_t sheetBytes = kSheetHead.size() + kSheetViews.size() + kSheetTail.size() +
                                     headerBytes + static_cast<std::uint64_t>(rowCount) * rowBytes +
                                     64;
    zip_.addPart("[Content_Types].xml", xlsx::ContentTypes());
    zip_.addPart("_rels/.rels", xlsx::RootRelationships());
    zip_.addPart("xl/_rels/workbook.xml.rels", xlsx::WorkbookRelationships());
    zip_.beginPart(kSheetPart, sheetBytes >= kZip32Limit);

    piece_ = deflate_.buffer();
    at_ = piece_.data();
    const std::string last = references_.empty() ? "A" : references_.back();
    std::string dimension = "A1";
    if (last != "A" || rowCount > 0) {
        dimension += ":" + last + std::to_string(rowCount + 1);
    }
    char* at = room(kSheetHead.size() + kSheetViews.size() + dimension.size() + 32);
    at = Put(at, kSheetHead);
    at = Put(at, "<dimension ref=\"");
    at = Put(at, dimension);
    at = Put(at, "\"/>");
    at_ = Put(at, kSheetViews);

    beginRow();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        text(static_cast<int>(i), columns[i].toUtf8().toStdString());
    }
    endRow();
    rows_ = 0;
}

char* XlsxWorkbook::room(std::size_t bytes) {
    if (static_cast<std::size_t>(piece_.data() + piece_.size() - at_) < bytes) {
        deflate_.push(std::move(piece_), static_cast<std::size_t>(at_ - piece_.data()));
        piece_ = deflate_.buffer();
        if (piece_.size() < bytes) {
            piece_.resize(bytes);
        }
        at_ = piece_.data();
    }
    return at_;
}

void XlsxWorkbook::beginRow() {
    ++rows_;
    // The next row number, digit by digit.
    int i = rowDigits_ - 1;
    while (i >= 0 && row_[i] == '9') {
        row_[i--] = '0';
    }
    if (i >= 0) {
        ++row_[i];
    } else {
        std::memmove(row_ + 1, row_, static_cast<std::size_t>(rowDigits_));
        row_[0] = '1';
        ++rowDigits_;
    }
    rowOpen_ = false;
}

char* XlsxWorkbook::openCell(char* at, int column) {
    const std::string_view digits(row_, static_cast<std::size_t>(rowDigits_));
    if (!rowOpen_) {
        at = Put(at, kRowOpen);
        at = Put(at, digits);
        at = Put(at, "\">");
        rowOpen_ = true;
    }
    at = Put(at, kCellOpen);
    at = Put(at, references_[static_cast<std::size_t>(column)]);
    return Put(at, digits);
}

void XlsxWorkbook::single(int column, float value) {
    char* at = Put(openCell(room(kCellMarkup + kNumberBytes + kRowMarkup), column), kNumberOpen);
    at_ = Put(PutSingleG16(at, value), kNumberClose);
}

void XlsxWorkbook::integer(int column, std::int64_t value) {
    char* at = openCell(room(kCellMarkup + kNumberBytes + kRowMarkup), column);
    at = Put(at, kNumberOpen);
    at = std::to_chars(at, at + kNumberBytes, value).ptr;
    at_ = Put(at, kNumberClose);
}

void XlsxWorkbook::text(int column, std::string_view utf8) {
    if (utf8.empty()) {
        return;
    }
    char* at = openCell(room(kCellMarkup + TextBytes(utf8.size()) + kRowMarkup), column);
    at = Put(at, IsKeptBlank(utf8.front()) || IsKeptBlank(utf8.back()) ? kTextOpenPreserved
                                                                       : kTextOpen);
    at = PutEscaped(at, utf8);
    at_ = Put(at, kTextClose);
}

void XlsxWorkbook::endRow() {
    if (rowOpen_) {
        at_ = Put(room(kRowClose.size()), kRowClose);
        rowOpen_ = false;
    }
}

void XlsxWorkbook::commit() {
    endRow();
    CheckWrittenRows(rows_, rowCount_, file_.resolvedTarget());
    at_ = Put(room(kSheetTail.size()), kSheetTail);
    deflate_.finish(std::move(piece_), static_cast<std::size_t>(at_ - piece_.data()));
    zip_.endPart(deflate_.crc(), deflate_.size());
    zip_.addPart("xl/workbook.xml", xlsx::Workbook(sheetName_));
    zip_.addPart("xl/theme/theme1.xml", xlsx::Theme());
    zip_.addPart("xl/styles.xml", xlsx::Styles());
    zip_.addPart("docProps/core.xml", xlsx::CoreProperties(QDateTime::currentDateTimeUtc()));
    zip_.addPart("docProps/app.xml", xlsx::AppProperties(sheetName_));
    zip_.finish();
    file_.commit();
}

} // namespace exchange

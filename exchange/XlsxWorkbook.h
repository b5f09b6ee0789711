#pragma once

// An .xlsx workbook of one worksheet, written straight into its file as the rows come: the sheet
// XML is laid out into pieces that are deflated on other threads (zlib level 1) and streamed into
// the zip package; the other parts are small and fixed. The XML is the one libxlsxwriter writes in
// its constant-memory mode: row 1 and every text as inline strings (& < > as entities, control
// characters but tab and line feed as _xHHHH_, xml:space="preserve" for a text that starts or ends
// with a blank), numbers as printf's "%.16G", a row that has no cell left out. The dimension runs
// from A1 to the last column of the last row, which the row count gives before the rows come
// (libxlsxwriter stops it at the last row that has a cell: only a workbook whose last records
// have no cell at all differs).

#include "exchange/ParallelDeflate.h"
#include "exchange/ZipArchive.h"
#include "platform/FileReplacement.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace exchange {

class XlsxWorkbook {
public:
    // The bytes of a cell at most, besides its value's.
    static constexpr std::uint64_t kCellMarkup = 80;
    // The bytes of a text cell's value at most, for a text of `units` UTF-16 code units (an
    // escaped control character takes 7 bytes).
    static constexpr std::uint64_t TextBytes(std::uint64_t units) { return 7 * units; }
    // The bytes of a number's value at most.
    static constexpr std::uint64_t kNumberBytes = 24;

    // A workbook at `path` whose sheet `sheetName` has the column names in row 1, then `rowCount`
    // rows of at most `rowBytes` bytes of cells each (the ZIP64 layout is chosen from them).
    XlsxWorkbook(const QString& path, const QString& sheetName, const QStringList& columns,
                 std::int64_t rowCount, std::uint64_t rowBytes);

    // The cells of one row, in column order (0 for A); a row without cells leaves no trace.
    void beginRow();
    // The number SingleAsDouble(value).
    void single(int column, float value);
    void integer(int column, std::int64_t value);
    // UTF-8; an empty text leaves its cell empty.
    void text(int column, std::string_view utf8);
    void endRow();

    // Ends the sheet, writes the other parts and puts the file in place. FileWriteError unless
    // `rowCount` rows were written.
    void commit();

private:
    // Room for `bytes` more bytes in the current piece.
    char* room(std::size_t bytes);
    char* openCell(char* at, int column);

    platform::FileReplacement file_;
    QString sheetName_;
    std::int64_t rowCount_;
    ZipArchive zip_;
    std::vector<std::string> references_; // the column letters
    char row_[16] = {'0'};                // the digits of the current row's number
    int rowDigits_ = 1;
    std::int64_t rows_ = -1; // data rows begun (the column names' row is not one)
    bool rowOpen_ = false;   // the current row's element has been written
    std::vector<char> piece_;
    char* at_ = nullptr;
    ParallelDeflate deflate_; // last: its threads stop before the rest goes
};

} // namespace exchange

// The Excel workbook against libxlsxwriter, which wrote it before: for the same awkward values
// every part is the one libxlsxwriter writes (the time stamps aside), and openpyxl reads every
// value back. The zip package, ZIP64 records included, is read back by Python's zipfile.

#include "ExportReaders.h"
#include "SinglesOfEveryKind.h"
#include "exchange/ExportTable.h"
#include "exchange/ParallelDeflate.h"
#include "exchange/XlsxNumbers.h"
#include "exchange/ZipArchive.h"
#include "platform/FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <xlsxwriter.h>

namespace export_test {
namespace {

using exchange::CellValue;
using exchange::ColumnType;
using exchange::ExportColumn;
using exchange::ExportField;

// The table as the old export handed it to libxlsxwriter, in its constant-memory mode.
void WriteWithLibxlsxwriter(const QString& path, const QString& sheet,
                            const std::vector<ExportColumn>& columns,
                            const std::vector<std::vector<CellValue>>& rows) {
    QTemporaryDir temporary;
    const QByteArray folder = QFile::encodeName(temporary.path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(folder.constData());
    options.use_zip64 = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    ASSERT_NE(book, nullptr);
    lxw_worksheet* worksheet = workbook_add_worksheet(book, sheet.toUtf8().constData());
    ASSERT_NE(worksheet, nullptr);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        worksheet_write_string(worksheet, 0, static_cast<lxw_col_t>(c),
                               columns[c].name.toUtf8().constData(), nullptr);
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const auto column = static_cast<lxw_col_t>(c);
            const CellValue& value = rows[r][c];
            if (const auto* number = std::get_if<std::int32_t>(&value)) {
                worksheet_write_number(worksheet, row, column, *number, nullptr);
            } else if (const auto* single = std::get_if<float>(&value)) {
                worksheet_write_number(worksheet, row, column, exchange::SingleAsDouble(*single),
                                       nullptr);
            } else if (const QString& text = std::get<QString>(value); !text.isEmpty()) {
                worksheet_write_string(worksheet, row, column, text.toUtf8().constData(), nullptr);
            }
        }
    }
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
}

void WriteOurs(const QString& path, const QString& sheet, const std::vector<ExportColumn>& columns,
               const std::vector<std::vector<CellValue>>& rows) {
    const auto writer =
        exchange::OpenXlsxWriter(path, sheet, columns, static_cast<std::int64_t>(rows.size()));
    for (const auto& row : rows) {
        writer->addRow(row);
    }
    writer->commit();
}

// The text openpyxl gives for a cell: it leaves the _xHHHH_ of a control character as it stands.
QString AsOpenpyxlReadsIt(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n')) {
            out += QStringLiteral("_x%1_")
                       .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                       .toUpper()
                       .replace(QLatin1String("_X"), QLatin1String("_x"));
        } else {
            out += c;
        }
    }
    return out;
}

const std::vector<ExportColumn> kEveryType{
    {ExportField::X, "X", ColumnType::Long},
    {ExportField::Latitude, "Latitude", ColumnType::Single},
    {ExportField::Period, "Period & <kind> \"p\"", ColumnType::Text, 1},
    {ExportField::Comment, "Free text", ColumnType::Text, 150},
    {ExportField::Memo, "Memo", ColumnType::Memo},
};
const std::vector<ExportColumn> kTextsOnly{
    {ExportField::Date, "Date", ColumnType::Text, 10},
    {ExportField::Sex, "Sex", ColumnType::Text, 1},
    {ExportField::Memo, "Memo", ColumnType::Memo},
};

const struct {
    const char* label;
    const char* sheet;
    std::vector<ExportColumn> columns;
    std::vector<std::vector<CellValue>> rows;
} kTables[] = {
    {"every type",
     "sites & <co> \"d\" 'x",
     kEveryType,
     {
         {0, 0.0F, QString(), QString(), QString()},
         {std::numeric_limits<std::int32_t>::min(), -0.0F, "1", "a & b < c > d \" e ' f",
          QStringLiteral("Survey / Été, 漢字 😀")},
         {std::numeric_limits<std::int32_t>::max(), 3.4028235e38F, "9",
          QStringLiteral("x\u0001y\tz\nw\rv\u001Fu\u000Bt\u007F"),
          QStringLiteral("x").repeated(150)},
         {-7, 1e-45F, "", " leading and trailing ", "\ttab first"},
         {12345678, 1.17549435e-38F, "", "line\n", "_x0041_ stays as it is"},
         {1, 50.85F, "", QStringLiteral("naïve").repeated(30), "\r"},
         {2, 9.876543F, "", "", QString()},
         {3, -123456.78F, "", "", QString()},
         {4, 1e-7F, "", "", QString()},
         {5, 0.1F, "", "", QString()},
         {6, 16777216.0F, "", "", QString()},
     }},
    // A record of empty cells leaves no row behind.
    {"texts only",
     "t",
     kTextsOnly,
     {
         {"2001/05/17", "M", QString()},
         {QString(), QString(), QString()},
         {QString(), "F", QString()},
     }},
    {"no records", "empty", kEveryType, {}},
};

TEST(ExportXlsxTest, TheWorkbookHasThePartsLibxlsxwriterWritesForTheSameValues) {
    for (const auto& table : kTables) {
        SCOPED_TRACE(table.label);
        QTemporaryDir out;
        const QString ours = QDir(out.path()).filePath("ours.xlsx");
        const QString theirs = QDir(out.path()).filePath("theirs.xlsx");
        WriteOurs(ours, table.sheet, table.columns, table.rows);
        WriteWithLibxlsxwriter(theirs, table.sheet, table.columns, table.rows);
        const auto got = ReadXlsxParts(ours);
        const auto want = ReadXlsxParts(theirs);
        EXPECT_EQ(got.at(QString()), want.at(QString())); // the same parts in the same order
        for (const auto& [name, bytes] : want) {
            ASSERT_TRUE(got.contains(name)) << name.toStdString();
            EXPECT_EQ(got.at(name).toStdString(), bytes.toStdString()) << name.toStdString();
        }
    }
}

TEST(ExportXlsxTest, OpenpyxlReadsEveryValueBack) {
    for (const auto& table : kTables) {
        SCOPED_TRACE(table.label);
        QTemporaryDir out;
        const QString file = QDir(out.path()).filePath("ours.xlsx");
        WriteOurs(file, table.sheet, table.columns, table.rows);
        const ReadTable read = ReadXlsx(file);
        EXPECT_EQ(read.tables, QStringList{table.sheet});
        ASSERT_EQ(read.columns.size(), table.columns.size());
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            EXPECT_EQ(read.columns[c].name, table.columns[c].name);
        }
        // openpyxl stops at the last row that has a cell.
        std::size_t rows = table.rows.size();
        while (rows > 0 && std::all_of(table.rows[rows - 1].begin(), table.rows[rows - 1].end(),
                                       [](const CellValue& v) {
                                           const auto* text = std::get_if<QString>(&v);
                                           return text && text->isEmpty();
                                       })) {
            --rows;
        }
        ASSERT_EQ(read.rows.size(), rows);
        for (std::size_t r = 0; r < rows; ++r) {
            for (std::size_t c = 0; c < table.columns.size(); ++c) {
                SCOPED_TRACE("row " + std::to_string(r) + " column " + std::to_string(c));
                const QVariant& got = read.rows[r][c];
                const CellValue& want = table.rows[r][c];
                if (const auto* number = std::get_if<std::int32_t>(&want)) {
                    EXPECT_EQ(got.toDouble(), static_cast<double>(*number));
                } else if (const auto* single = std::get_if<float>(&want)) {
                    ASSERT_EQ(got.typeId(), QMetaType::Double);
                    EXPECT_EQ(static_cast<float>(got.toDouble()), *single);
                } else {
                    EXPECT_EQ(got.toString(), AsOpenpyxlReadsIt(std::get<QString>(want)));
                }
            }
        }
    }
}

// The numbers of the sheet are printf's "%.16G" of the doubles, for singles of every size and
// kind: random bit patterns (subnormal, huge, with seven to nine digits), whole numbers and
// decimals of few digits, powers of ten, the extremes.
TEST(ExportXlsxTest, SinglesAreWrittenAsPrintfWritesTheirDoubles) {
    for (const float single : SinglesOfEveryKind()) {
        char want[64];
        std::snprintf(want, sizeof want, "%.16G", exchange::SingleAsDouble(single));
        char got[64];
        *exchange::PutSingleG16(got, single) = '\0';
        ASSERT_STREQ(got, want) << std::bit_cast<std::uint32_t>(single);
    }
}

// A file that cannot be made, or a worksheet name Excel refuses (libxlsxwriter refused it too), is
// reported with the path, and an export stopped before its commit leaves nothing behind.
TEST(ExportXlsxTest, AWorkbookThatCannotBeWrittenLeavesNoFile) {
    QTemporaryDir out;
    const struct {
        QString path;
        QString sheet;
    } refused[] = {{QDir(out.path()).filePath("no/such/folder/sites.xlsx"), "sites"},
                   {QDir(out.path()).filePath("sites'.xlsx"), "sites'"}};
    for (const auto& c : refused) {
        try {
            WriteOurs(c.path, c.sheet, kTextsOnly, {});
            ADD_FAILURE() << "no error for " << c.path.toStdString();
        } catch (const platform::FileWriteError& e) {
            EXPECT_TRUE(e.path().endsWith(".xlsx")) << e.text().toStdString();
        }
    }
    {
        const auto writer = exchange::OpenXlsxWriter(QDir(out.path()).filePath("sites.xlsx"),
                                                     "sites", kTextsOnly, 2);
        writer->addRow({"2001/05/17", "M", "memo"});
    }
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files).isEmpty());
}

// Text of a few megabytes with repeats, so that the deflated pieces refer back across their
// borders.
QByteArray SampleText() {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> word(0, 999);
    QByteArray text;
    while (text.size() < 3 * static_cast<qsizetype>(exchange::ParallelDeflate::kPieceBytes) + 777) {
        text += "<c r=\"A" + QByteArray::number(word(random)) + "\"><v>" +
                QByteArray::number(word(random) * 7) + "</v></c>";
    }
    return text;
}

// The package both ways: sizes in 32-bit fields, and every ZIP64 record that an archive beyond
// 4 GiB has, with a streamed part in its large form.
TEST(ExportXlsxTest, ZipArchivesAndTheirZip64RecordsReadBack) {
    const QByteArray text = SampleText();
    for (const bool zip64 : {false, true}) {
        SCOPED_TRACE(zip64 ? "ZIP64" : "32-bit");
        QTemporaryDir out;
        const QString file = QDir(out.path()).filePath("parts.zip");
        {
            platform::FileReplacement target(file);
            exchange::ZipArchive zip([&](QByteArrayView bytes) { target.write(bytes); }, file,
                                     zip64);
            zip.addPart("first.xml", "<a>first</a>");
            zip.beginPart("dir/streamed.xml", zip64);
            exchange::ParallelDeflate deflate(
                1, [&](QByteArrayView bytes) { zip.writeDeflated(bytes); }, file, 3);
            std::vector<char> piece = deflate.buffer();
            for (qsizetype at = 0; at < text.size();) {
                const auto n =
                    std::min<qsizetype>(text.size() - at, static_cast<qsizetype>(piece.size()));
                std::copy_n(text.constData() + at, n, piece.data());
                at += n;
                if (at < text.size()) {
                    deflate.push(std::move(piece), static_cast<std::size_t>(n));
                    piece = deflate.buffer();
                } else {
                    deflate.finish(std::move(piece), static_cast<std::size_t>(n));
                }
            }
            EXPECT_EQ(deflate.size(), static_cast<std::uint64_t>(text.size()));
            zip.endPart(deflate.crc(), deflate.size());
            zip.addPart("last.xml", "");
            zip.finish();
            target.commit();
        }
        const auto parts = ReadZipParts(file);
        EXPECT_EQ(parts.at(QString()), "first.xml\ndir/streamed.xml\nlast.xml");
        EXPECT_EQ(parts.at("first.xml"), "<a>first</a>");
        EXPECT_EQ(parts.at("dir/streamed.xml"), text);
        EXPECT_EQ(parts.at("last.xml"), "");
        // zipfile takes the ZIP64 end record only where the locator points at it.
        QFile bytes(file);
        ASSERT_TRUE(bytes.open(QIODevice::ReadOnly));
        EXPECT_EQ(bytes.readAll().contains(QByteArray("PK\x06\x06", 4)), zip64);
    }
}

} // namespace
} // namespace export_test

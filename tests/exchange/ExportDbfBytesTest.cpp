// The FoxPro, dBASE IV, Paradox and Excel exports write their records straight from the table's
// columns. Their files must be those of the row writer fed with TableRow, byte for byte (for the
// workbook, each part as zipfile reads it, the time it was written aside), whatever the values:
// Nulls, negative numbers, accented and over-long texts, blanks to trim, singles of every size,
// listed rows that have gone.

#include "ExportFixture.h"
#include "ExportReaders.h"
#include "common/AppError.h"
#include "document/RowStream.h"
#include "exchange/ExportTable.h"

#include <QFile>
#include <random>

namespace export_test {
namespace {

using exchange::ExportTarget;

QByteArray Bytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The text of the error a call raises; empty when it returns.
template <typename Call> std::string MessageOf(Call&& call) {
    try {
        call();
    } catch (const common::AppError& e) {
        return e.what();
    }
    return {};
}

// The export as the row writer lays it out: the records there counted, then each through
// TableRow, CheckRow, CheckTargetLimits and addRow.
void WriteThroughRows(ExportTarget target, const QString& path, const document::RecordSet& records,
                      const exchange::ExportChoice& choice, const QString& memo) {
    const std::vector<exchange::ExportColumn> columns = exchange::TableColumns(choice);
    std::int64_t count = 0;
    {
        document::RowStream rows(records);
        document::Record record;
        while (rows.next(record)) {
            ++count;
        }
    }
    const auto writer = exchange::OpenTableWriter(target, path, exchange::TableNameOf(target, path),
                                                  columns, count);
    document::RowStream rows(records);
    document::Record record;
    std::int64_t number = 0;
    while (rows.next(record)) {
        const std::vector<exchange::CellValue> row = exchange::TableRow(columns, record, memo);
        exchange::CheckRow(columns, row, ++number);
        exchange::CheckTargetLimits(target, columns, row, number);
        writer->addRow(row);
    }
    writer->commit();
}

exchange::ExportChoice WithLambert() {
    exchange::ExportChoice choice;
    choice.ExportCoordSystem = 7;
    return choice;
}

const struct {
    const char* label;
    exchange::ExportChoice choice;
} kChoices[] = {{"every field", {}}, {"every field and Lambert 72", WithLambert()}};

const struct {
    const char* label;
    ExportTarget target;
    const char* file;
} kTargets[] = {{"FoxPro", ExportTarget::FoxPro, "sites.dbf"},
                {"dBASE", ExportTarget::DBase, "sites.dbf"},
                {"Paradox", ExportTarget::Paradox, "sites.db"},
                {"Excel", ExportTarget::Excel, "sites.xlsx"}};

// A file's bytes; a workbook's parts one after the other, each after its name.
QByteArray Contents(ExportTarget target, const QString& path) {
    if (target != ExportTarget::Excel) {
        return Bytes(path);
    }
    QByteArray all;
    for (const auto& [name, bytes] : ReadXlsxParts(path)) {
        all += name.toUtf8() + '\n' + bytes + '\n';
    }
    return all;
}

class ExportDbfBytesTest : public ExportTest {
protected:
    // Writes the shown records both ways, into folders of their own so that the files have the
    // same names (the dBASE memo header and the Paradox header hold the table's name), and
    // compares them.
    void ExpectSameFiles(const QString& memo,
                         const document::RecordSet& shown =
                             Shown(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter DESC"))) {
        for (const auto& target : kTargets) {
            for (const auto& choice : kChoices) {
                SCOPED_TRACE(std::string(target.label) + ", " + choice.label);
                QTemporaryDir direct;
                QTemporaryDir rows;
                const QString directPath = QDir(direct.path()).filePath(target.file);
                const QString rowsPath = QDir(rows.path()).filePath(target.file);
                exchange::WriteTableExport(target.target, directPath, shown, choice.choice, memo);
                WriteThroughRows(target.target, rowsPath, shown, choice.choice, memo);
                const QStringList directFiles = exchange::ExportFiles(target.target, directPath);
                const QStringList rowsFiles = exchange::ExportFiles(target.target, rowsPath);
                for (qsizetype f = 0; f < directFiles.size(); ++f) {
                    const QByteArray got = Contents(target.target, directFiles[f]);
                    const QByteArray want = Contents(target.target, rowsFiles[f]);
                    ASSERT_EQ(got.size(), want.size()) << directFiles[f].toStdString();
                    const auto differ = std::mismatch(got.begin(), got.end(), want.begin());
                    EXPECT_EQ(got, want) << directFiles[f].toStdString() << " differs from byte "
                                         << (differ.first - got.begin());
                }
            }
        }
    }
};

TEST_F(ExportDbfBytesTest, RecordsOfEveryKindAreTheRowWritersBytes) {
    const std::vector<Row> table = {
        {},
        {1, 50.8F, 4.35F, 1, 2, "F", "BEL72", "lmb 150000 170000", "1999/01/02", "a,b"},
        {2, -33.5F, 151.25F, -3, -2147483647 - 1, "M", "EUR-M", "deg -33.5 151.25", " 2001/5/17",
         QStringLiteral("  Été à l'orée, près du ruisseau ")},
        {std::nullopt, -0.000123F, -179.99998F, 0, 2147483647, " ", std::nullopt, " ", "\t",
         "\r\n"},
        {9, 999.0F, 999.0F, 12345678, -7, "", "BEL72", QStringLiteral("Grand-Halleux ç"), "",
         QStringLiteral("Œuvre “citée” — €5 ")},
        {0, 0.0F, -0.0F, std::nullopt, 5, std::nullopt, "WGS84", std::nullopt, std::nullopt,
         QStringLiteral("naïve").repeated(30)},
        {3, 89.99999F, 1e-7F, 1, 1, "F", "BEL72", std::nullopt, "2000/01/01",
         QStringLiteral("x").repeated(150)},
        {4, 51.0F, std::nullopt, 1, 1, "F", "BEL72", "no longitude", "", ""},
        {5, 600000.25F, -4194304.5F, 1, 1, "F", std::nullopt, std::nullopt, "",
         QStringLiteral("   ")},
        {6, 0.00048828125F, 1048576.1F, 1, 1, "F", "BEL72", std::nullopt, "",
         QStringLiteral("\u00A0é\u00A0")},
    };
    for (const Row& row : table) {
        Add(row);
    }
    // Singles of every size, about the places a double's decimals stop matching the float's.
    std::mt19937 random(20261211);
    std::uniform_real_distribution<float> exponent(-12.0F, 7.9F);
    std::uniform_int_distribution<int> sign(0, 1);
    for (int i = 0; i < 3000; ++i) {
        const auto value = [&] {
            return (sign(random) ? -1.0F : 1.0F) * std::pow(10.0F, exponent(random));
        };
        const float lat = value();
        const float lon = value();
        Add({i % 10, lat, lon, i - 1500, -i, "M",
             i % 3 ? std::optional<QString>("BEL72") : std::nullopt, std::nullopt, "", ""});
    }
    ExpectSameFiles(exchange::MemoText("Sites", QStringLiteral("Relevés d'été")));
    ExpectSameFiles(QString());
}

TEST_F(ExportDbfBytesTest, NoRecordsGiveTheRowWritersEmptyTable) {
    ExpectSameFiles(exchange::MemoText("Sites", "none"));
}

// Rows deleted after the list was made are left out, and the headers count the rows written:
// in the middle of the list, at its end, and every row.
TEST_F(ExportDbfBytesTest, ListedRowsThatHaveGoneAreLeftOutAndNotCounted) {
    for (const char* gone : {"Counter IN (2, 5)", "Counter > 7", "1"}) {
        SCOPED_TRACE(gone);
        document::Data1().reset();
        SQLite::Statement(document::WorkDb(), "DELETE FROM DOVAZOV").exec();
        for (int i = 0; i < 9; ++i) {
            Add({i, 50.5F + static_cast<float>(i), 4.25F, i, -i, "F", "BEL72", "lmb 1 2", "",
                 QStringLiteral("site %1").arg(i)});
        }
        const document::RecordSet shown =
            Shown(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
        document::WorkDb().exec(std::string("DELETE FROM DOVAZOV WHERE ") + gone);
        ExpectSameFiles(QStringLiteral("Sites / gone"), shown);
    }
}

// A value the table cannot hold stops both the same way, naming the same record and column. A
// worksheet and a Paradox Number hold any single: only the DBF fields refuse a wide one.
TEST_F(ExportDbfBytesTest, RefusedValuesAreRefusedAsTheRowWriterRefusesThem) {
    // The memo of a Paradox table is text of at most 255 characters.
    const QString longMemo = QStringLiteral("m").repeated(256);
    const struct {
        const char* label;
        Row row;
        bool dbfOnly;
        QString memo = QStringLiteral("memo");
    } cases[] = {
        {"period of two digits", {12, 1.0F, 1.0F, 1, 1, "F", "BEL72", "lmb 1 2", "", ""}, false},
        {"negative period", {-3, 1.0F, 1.0F, 1, 1, "F", "BEL72", "lmb 1 2", "", ""}, false},
        {"latitude wider than its field",
         {1, 1e12F, 1.0F, 1, 1, "F", "BEL72", "lmb 1 2", "", ""},
         true},
        {"accented comment too long",
         {1, 1.0F, 1.0F, 1, 1, "F", "BEL72", "lmb 1 2", "", QStringLiteral("é").repeated(151)},
         false},
        {"comment too long and latitude too wide",
         {1, -1e15F, 1.0F, 1, 1, "F", "BEL72", "lmb 1 2", "", QStringLiteral("x").repeated(151)},
         false},
        {"period of two digits and memo too long",
         {12, 1.0F, 1.0F, 1, 1, "F", "BEL72", "lmb 1 2", "", ""},
         false,
         longMemo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        document::Data1().reset();
        SQLite::Statement(document::WorkDb(), "DELETE FROM DOVAZOV").exec();
        Add({1, 1.0F, 1.0F, 1, 1, "F", "BEL72", "lmb 1 2", "", ""});
        Add(c.row);
        const document::RecordSet shown =
            Shown(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
        for (const auto& t : kTargets) {
            if (c.dbfOnly && t.target != ExportTarget::FoxPro && t.target != ExportTarget::DBase) {
                continue;
            }
            SCOPED_TRACE(t.label);
            QTemporaryDir out;
            const QString file = QDir(out.path()).filePath(t.file);
            const std::string want =
                MessageOf([&] { WriteThroughRows(t.target, file, shown, WithLambert(), c.memo); });
            EXPECT_NE(want.find(c.memo == longMemo && t.target == ExportTarget::Paradox
                                    ? "Record 1,"
                                    : "Record 2,"),
                      std::string::npos)
                << want;
            EXPECT_EQ(MessageOf([&] {
                          exchange::WriteTableExport(t.target, file, shown, WithLambert(), c.memo);
                      }),
                      want);
            EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files).isEmpty());
        }
    }
}

} // namespace
} // namespace export_test

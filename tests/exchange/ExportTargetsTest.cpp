// Every database target on the same small document, read back with an independent reader: the
// names, types and sizes of the columns, the row order of the shown records and their values.

#include "../geodesy/ProjReference.h"
#include "../support/ErrorOf.h"
#include "ExportFixture.h"
#include "ExportReaders.h"
#include "exchange/ExportTable.h"

#include <QFile>
#include <cmath>
#include <functional>
#include <map>

namespace export_test {
namespace {

using exchange::ExportTarget;
using testing_support::ErrorOf;

enum class Kind { Long, Single, Text, Memo };

struct ColumnSpec {
    QString name;
    Kind kind;
    int size = 0;
};

// The columns of a table with every field and the Lambert 72 coordinates, in their order.
const std::vector<ColumnSpec> kAllColumns{{"X", Kind::Long},
                                          {"y", Kind::Long},
                                          {"Period", Kind::Text, 1},
                                          {"Latitude", Kind::Single},
                                          {"Longitude", Kind::Single},
                                          {"Number 1", Kind::Long},
                                          {"Number 2", Kind::Long},
                                          {"Ellipsoid", Kind::Text, 5},
                                          {"Orig Coor", Kind::Text, 24},
                                          {"Date", Kind::Text, 10},
                                          {"Sex", Kind::Text, 1},
                                          {"Free text", Kind::Text, 150},
                                          {"Memo", Kind::Memo}};

ReadColumn DbfType(const ColumnSpec& c) {
    switch (c.kind) {
    case Kind::Long:
        return {c.name, "N", 11, 0};
    case Kind::Single:
        return {c.name, "N", 20, 10};
    case Kind::Text:
        return {c.name, "C", c.size, 0};
    case Kind::Memo:
        return {c.name, "M", 10, 0};
    }
    return {};
}

ReadColumn ParadoxType(const ColumnSpec& c) {
    switch (c.kind) {
    // Paradox 3.x has no Long Integer: whole numbers are Number fields too.
    case Kind::Long:
    case Kind::Single:
        return {c.name, "Number", 8, 0};
    case Kind::Text:
        return {c.name, "Alpha", c.size, 0};
    case Kind::Memo:
        return {c.name, "Alpha", 255, 0};
    }
    return {};
}

ReadColumn SqliteType(const ColumnSpec& c) {
    switch (c.kind) {
    case Kind::Long:
        return {c.name, "INTEGER", 0, 0};
    case Kind::Single:
        return {c.name, "REAL", 0, 0};
    case Kind::Text:
        return {c.name, QStringLiteral("VARCHAR(%1)").arg(c.size), 0, 0};
    case Kind::Memo:
        return {c.name, "TEXT", 0, 0};
    }
    return {};
}

ReadColumn XlsxType(const ColumnSpec& c) {
    return {c.name, {}, 0, 0};
}

struct TargetCase {
    const char* label;
    ExportTarget target;
    const char* file;
    std::function<ReadTable(const QString&)> read;
    std::function<ReadColumn(const ColumnSpec&)> type;
    bool namesTable; // the format stores the table's name
};

const TargetCase kTargets[] = {
    {"SQLite", ExportTarget::Sqlite, "survey.2010.sqlite", ReadSqlite, SqliteType, true},
    {"FoxPro", ExportTarget::FoxPro, "survey.dbf", ReadDbf, DbfType, false},
    {"dBASE", ExportTarget::DBase, "survey.dbf", ReadDbf, DbfType, false},
    {"Paradox", ExportTarget::Paradox, "survey.db", ReadParadox, ParadoxType, true},
    {"Excel", ExportTarget::Excel, "survey.xlsx", ReadXlsx, XlsxType, true},
};

// 150 characters with commas and a letter outside ASCII.
QString Comment150() {
    return QStringLiteral("Station é,").repeated(15);
}

const QString kTitle = QStringLiteral("Survey");
const QString kComment = QStringLiteral("Spring, north");
const QString kMemo = QStringLiteral("Survey / Spring, north");

// Lambert 72 of a position in the Belgian datum, from PROJ.
std::array<double, 2> ProjLambert(float lat, float lon) {
    static const testref::ProjGrid grid("EPSG:4313", "EPSG:31370");
    std::array<double, 2> xy{};
    grid.forward(lat, lon, xy[0], xy[1]);
    return xy;
}

class ExportTargetsTest : public ExportTest {
protected:
    // The document: four shown records in the filter's order (the last added first), one left
    // out by the filter.
    void AddDocument() {
        Add({2, -33.5F, 151.25F, 3, 0, "M", "EUR-M", "deg -33.5 151.25", " 2001/5/17",
             "  " + Comment150() + " "});
        Add({});
        Add({1, 999.0F, 999.0F, -7, 12345678, "", "BEL72", "lmb 150000 170000", "", ""});
        Add({3, 50.0F, 4.0F, 5, 6, "F", "BEL72", "lmb 1 2", "2000/01/01", "left out"});
        Add({4, 50.8F, 4.35F, 1, 2, "F", "BEL72", "lmb 150000 170000", "1999/01/02", "a,b"});
    }
    static QString Filter() {
        return QStringLiteral("SELECT * FROM DOVAZOV WHERE PERIOD IS NULL OR PERIOD <> 3 "
                              "ORDER BY Counter DESC");
    }

    // What each shown record must read as, by column name; X and y hold the position to project,
    // or nothing for 0.
    struct ExpectedRow {
        std::map<QString, QVariant> values;
        std::optional<std::array<float, 2>> position;
    };
    static std::vector<ExpectedRow> Expected() {
        const auto row = [](QString period, double lat, double lon, double n1, double n2,
                            QString datum, QString original, QString date, QString sex,
                            QString comment) {
            return std::map<QString, QVariant>{
                {"Period", period},      {"Latitude", lat}, {"Longitude", lon},
                {"Number 1", n1},        {"Number 2", n2},  {"Ellipsoid", datum},
                {"Orig Coor", original}, {"Date", date},    {"Sex", sex},
                {"Free text", comment},  {"Memo", kMemo}};
        };
        return {
            {row("4", 50.8F, 4.35F, 1, 2, "BEL72", "lmb 150000 170000", "1999/01/02", "F", "a,b"),
             std::array<float, 2>{50.8F, 4.35F}},
            // No position: 0 for X and y.
            {row("1", 999, 999, -7, 12345678, "BEL72", "lmb 150000 170000", "", "", ""),
             std::nullopt},
            // Nulls: 0 and empty texts.
            {row("", 0, 0, 0, 0, "", "", "", "", ""), std::nullopt},
            {row("2", -33.5F, 151.25F, 3, 0, "EUR-M", "deg -33.5 151.25", "2001/5/17", "M",
                 Comment150()),
             std::array<float, 2>{-33.5F, 151.25F}},
        };
    }
};

struct ChoiceCase {
    const char* label;
    exchange::ExportChoice choice;
    std::vector<QString> columns;
};

exchange::ExportChoice DateAndSexOnly() {
    exchange::ExportChoice choice;
    for (auto flag :
         {&exchange::ExportChoice::ExportPeriod, &exchange::ExportChoice::ExportLatitude,
          &exchange::ExportChoice::ExportLongitude, &exchange::ExportChoice::ExportNumber1,
          &exchange::ExportChoice::ExportNumber2, &exchange::ExportChoice::ExportEllipsoid,
          &exchange::ExportChoice::ExportOriginalCoord, &exchange::ExportChoice::ExportFreeField}) {
        choice.*flag = 0;
    }
    return choice;
}

exchange::ExportChoice EverythingWithLambert() {
    exchange::ExportChoice choice;
    choice.ExportCoordSystem = 7;
    return choice;
}

const ChoiceCase kChoices[] = {
    {"every field and Lambert 72",
     EverythingWithLambert(),
     {"X", "y", "Period", "Latitude", "Longitude", "Number 1", "Number 2", "Ellipsoid", "Orig Coor",
      "Date", "Sex", "Free text", "Memo"}},
    {"Date and Sex without Lambert 72", DateAndSexOnly(), {"Date", "Sex", "Memo"}},
};

TEST_F(ExportTargetsTest, EveryTargetHoldsTheShownRecordsWithTheirNamesTypesSizesAndValues) {
    AddDocument();
    const document::RecordSet shown = Shown(Filter());
    for (const TargetCase& target : kTargets) {
        for (const ChoiceCase& choice : kChoices) {
            SCOPED_TRACE(std::string(target.label) + ", " + choice.label);
            QTemporaryDir out;
            const QString file = QDir(out.path()).filePath(target.file);
            exchange::WriteTableExport(target.target, file, shown, choice.choice,
                                       exchange::MemoText(kTitle, kComment));

            const ReadTable table = target.read(file);
            if (target.namesTable) {
                EXPECT_EQ(table.tables, QStringList{"survey"});
            }
            std::vector<ReadColumn> expectedColumns;
            for (const QString& name : choice.columns) {
                for (const ColumnSpec& spec : kAllColumns) {
                    if (spec.name == name) {
                        expectedColumns.push_back(target.type(spec));
                    }
                }
            }
            ASSERT_EQ(table.columns.size(), expectedColumns.size());
            for (std::size_t c = 0; c < expectedColumns.size(); ++c) {
                EXPECT_EQ(table.columns[c].name, expectedColumns[c].name);
                EXPECT_EQ(table.columns[c].type, expectedColumns[c].type) << c;
                EXPECT_EQ(table.columns[c].size, expectedColumns[c].size) << c;
                EXPECT_EQ(table.columns[c].decimals, expectedColumns[c].decimals) << c;
            }

            const std::vector<ExpectedRow> expected = Expected();
            ASSERT_EQ(table.rows.size(), expected.size());
            for (std::size_t r = 0; r < expected.size(); ++r) {
                ASSERT_EQ(table.rows[r].size(), choice.columns.size());
                for (std::size_t c = 0; c < choice.columns.size(); ++c) {
                    const QString& name = choice.columns[c];
                    const QVariant& got = table.rows[r][c];
                    SCOPED_TRACE("row " + std::to_string(r) + " column " + name.toStdString());
                    if (name == "X" || name == "y") {
                        double want = 0;
                        if (expected[r].position) {
                            const auto xy =
                                ProjLambert((*expected[r].position)[0], (*expected[r].position)[1]);
                            want = name == "X" ? xy[0] : xy[1];
                        }
                        EXPECT_EQ(got.toDouble(), std::round(got.toDouble()));
                        EXPECT_NEAR(got.toDouble(), want, 0.51);
                        continue;
                    }
                    const QVariant want = expected[r].values.at(name);
                    if (want.typeId() == QMetaType::Double) {
                        ASSERT_EQ(got.typeId(), QMetaType::Double) << got.toString().toStdString();
                        EXPECT_EQ(static_cast<float>(got.toDouble()),
                                  static_cast<float>(want.toDouble()));
                    } else {
                        EXPECT_EQ(got.toString(), want.toString());
                    }
                }
            }
        }
    }
}

TEST_F(ExportTargetsTest, DbfHeadersAreThoseShapelibReads) {
    AddDocument();
    const document::RecordSet shown = Shown(Filter());
    for (const ExportTarget target : {ExportTarget::FoxPro, ExportTarget::DBase}) {
        QTemporaryDir out;
        const QString file = QDir(out.path()).filePath("survey.dbf");
        exchange::WriteTableExport(target, file, shown, EverythingWithLambert(),
                                   exchange::MemoText(kTitle, kComment));
        const ShapelibHeader header = ReadDbfHeader(file);
        EXPECT_EQ(header.records, 4);
        ASSERT_EQ(header.columns.size(), kAllColumns.size());
        for (std::size_t c = 0; c < kAllColumns.size(); ++c) {
            EXPECT_EQ(header.columns[c], DbfType(kAllColumns[c]));
        }
        QFile bytes(file);
        ASSERT_TRUE(bytes.open(QIODevice::ReadOnly));
        // FoxPro 2.x and dBASE IV tables with a memo file.
        EXPECT_EQ(static_cast<unsigned char>(bytes.read(1)[0]),
                  target == ExportTarget::FoxPro ? 0xF5 : 0x8B);
    }
}

TEST_F(ExportTargetsTest, ParadoxHeaderIsAVersion3TableThatCountsTheRecordsAndTheirSize) {
    AddDocument();
    QTemporaryDir out;
    const QString file = QDir(out.path()).filePath("survey.db");
    exchange::WriteTableExport(ExportTarget::Paradox, file, Shown(Filter()),
                               EverythingWithLambert(), exchange::MemoText(kTitle, kComment));
    QFile bytes(file);
    ASSERT_TRUE(bytes.open(QIODevice::ReadOnly));
    const QByteArray head = bytes.read(0x58 + 2 * 13);
    const auto le16 = [&](int at) {
        return static_cast<unsigned char>(head[at]) | static_cast<unsigned char>(head[at + 1]) << 8;
    };
    // Record size: six Number fields, the Alpha fields and the 255 of the memo.
    EXPECT_EQ(le16(0x00), 6 * 8 + 1 + 5 + 24 + 10 + 1 + 150 + 255);
    EXPECT_EQ(head[0x04], 2);  // a table without a primary index
    EXPECT_EQ(le16(0x06), 4);  // records
    EXPECT_EQ(le16(0x21), 13); // fields
    EXPECT_EQ(head[0x39], 3);  // Paradox 3.x
    // Field types from 0x58: Number (6) for X, y, Latitude, Longitude, Number 1 and 2; no Long (4).
    for (int field = 0; field < 13; ++field) {
        EXPECT_NE(head[0x58 + 2 * field], 4) << field;
    }
    EXPECT_EQ(head[0x58], 6);
}

// Rows over many data blocks, with negative, zero and positive numbers, read back by pxlib in
// their order.
TEST_F(ExportTargetsTest, ParadoxTablesOfManyBlocksReadBack) {
    for (int i = 0; i < 301; ++i) {
        Add({i % 9, static_cast<float>(i) / 8.0F - 20.0F, -0.5F, i - 150, -i, "F", "WGS84",
             "deg 1 2", "2000/01/01", "row " + QString::number(i)});
    }
    QTemporaryDir out;
    const QString file = QDir(out.path()).filePath("many.db");
    exchange::WriteTableExport(ExportTarget::Paradox, file,
                               Shown(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter")), {},
                               exchange::MemoText(kTitle, kComment));
    const ReadTable table = ReadParadox(file);
    ASSERT_EQ(table.rows.size(), 301U);
    for (int i = 0; i < 301; ++i) {
        const std::vector<QVariant>& row = table.rows[static_cast<std::size_t>(i)];
        SCOPED_TRACE(i);
        EXPECT_EQ(row[0].toString(), QString::number(i % 9));
        EXPECT_EQ(row[1].toDouble(), static_cast<double>(i) / 8.0 - 20.0);
        EXPECT_EQ(row[2].toDouble(), -0.5);
        EXPECT_EQ(row[3].toDouble(), i - 150);
        EXPECT_EQ(row[4].toDouble(), -i);
        EXPECT_EQ(row[9].toString(), "row " + QString::number(i));
        EXPECT_EQ(row[10].toString(), kMemo);
    }
}

// A 3.x table has at most 65,535 blocks of 4 KB: a document beyond them is refused before a file
// is written.
TEST_F(ExportTargetsTest, AParadoxTableBeyondItsBlocksIsRefused) {
    const std::vector<exchange::ExportColumn> columns =
        exchange::TableColumns(EverythingWithLambert());
    const int recordSize = 6 * 8 + 1 + 5 + 24 + 10 + 1 + 150 + 255;
    const std::int64_t limit = 65535 * ((4096 - 6) / recordSize);
    EXPECT_EQ(exchange::ParadoxRowLimit(columns), limit);
    exchange::CheckTargetRows(ExportTarget::Paradox, columns, limit);
    EXPECT_EQ(
        ErrorOf([&] { exchange::CheckTargetRows(ExportTarget::Paradox, columns, limit + 1); }),
        3163);
}

TEST_F(ExportTargetsTest, AnEmptyDocumentGivesAnEmptyTableInEveryTarget) {
    for (const TargetCase& target : kTargets) {
        SCOPED_TRACE(target.label);
        QTemporaryDir out;
        const QString file = QDir(out.path()).filePath(target.file);
        exchange::WriteTableExport(target.target, file, Shown("DOVAZOV"), EverythingWithLambert(),
                                   exchange::MemoText(kTitle, kComment));
        const ReadTable table = target.read(file);
        EXPECT_EQ(table.columns.size(), kAllColumns.size());
        EXPECT_TRUE(table.rows.empty());
    }
}

} // namespace
} // namespace export_test

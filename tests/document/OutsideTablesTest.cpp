// The reading of outside database files: the kind of a file from its first bytes, and the copy of
// real Access files (written by Access, fetched by scripts/install-deps) checked against the
// independent pure-JavaScript reader mdb-reader.
#include "document/OutsideTables.h"

#include "../support/OutsideFiles.h"
#include "../support/ParadoxTable.h"
#include "common/AppError.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>
#include <shapefil.h>

namespace {

using document::OutsideTableCopy;
using document::TableFileKind;
using testing_support::NpmFile;

const char* const kFruit = "mdb/test/fruit.mdb";
const char* const kUsers = "node-adodb/examples/node-adodb.mdb";

// The tables of `file` as mdb-reader reads them.
QJsonArray Reference(const QString& file) {
    QProcess node;
    node.start(QStringLiteral("node"),
               {QStringLiteral(DOVAZOV_SOURCE_DIR "/tests/support/mdb_reference.mjs"),
                NpmFile(QStringLiteral("mdb-reader/lib/node/index.js")), file});
    EXPECT_TRUE(node.waitForFinished(60000));
    EXPECT_EQ(node.exitCode(), 0) << node.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(node.readAllStandardOutput()).array();
}

// The declared type of our copy for a type of mdb-reader (a text's size is in bytes, two per
// character in a Jet 4 file).
QString DeclaredType(const QJsonObject& column) {
    const QString type = column[QStringLiteral("type")].toString();
    if (type == QLatin1String("text")) {
        return QStringLiteral("TEXT(%1)").arg(column[QStringLiteral("size")].toInt() / 2);
    }
    static const QHash<QString, QString> kTypes = {
        {"boolean", "BOOLEAN"}, {"byte", "TINYINT"},      {"integer", "SMALLINT"},
        {"long", "INTEGER"},    {"currency", "CURRENCY"}, {"float", "FLOAT"},
        {"double", "DOUBLE"},   {"datetime", "DATETIME"}, {"memo", "LONGTEXT"},
        {"repid", "GUID"},      {"numeric", "DECIMAL"}};
    return kTypes.value(type, QStringLiteral("?") + type);
}

// A value of the copy as the reference gives it: texts and numbers as they are, Yes/No as -1 or
// 0, dates as "YYYY-MM-DD" with " hh:mm:ss" when they carry a time.
QJsonValue Expected(const QJsonObject& column, const QJsonValue& value) {
    const QString type = column[QStringLiteral("type")].toString();
    if (value.isBool()) {
        return value.toBool() ? -1 : 0;
    }
    if (type == QLatin1String("datetime") && value.isString()) {
        const QString iso = value.toString(); // 1986-12-18T00:00:00.000Z
        const QString time = iso.mid(11, 8);
        return iso.left(10) + (time == QLatin1String("00:00:00") ? QString() : " " + time);
    }
    return value;
}

QJsonValue Actual(const SQLite::Column& cell) {
    if (cell.isNull()) {
        return QJsonValue::Null;
    }
    if (cell.isInteger() || cell.isFloat()) {
        return cell.getDouble();
    }
    return QString::fromStdString(cell.getString());
}

TEST(OutsideTables, RealAccessFilesAreCopiedAsTheIndependentReaderReadsThem) {
    for (const char* name : {kFruit, kUsers}) {
        SCOPED_TRACE(name);
        const QString file = NpmFile(name);
        ASSERT_EQ(document::RecogniseTableFile(file), TableFileKind::Access);
        const QJsonArray reference = Reference(file);
        ASSERT_FALSE(reference.isEmpty());
        const OutsideTableCopy copy(file, TableFileKind::Access, OutsideTableCopy::Scope::Rows, {});
        SQLite::Database db(copy.path().toStdString(), SQLite::OPEN_READONLY);

        QStringList tables;
        SQLite::Statement names(
            db, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY rowid");
        while (names.executeStep()) {
            tables << QString::fromStdString(names.getColumn(0).getString());
        }
        QStringList expectedTables;
        for (const QJsonValue& table : reference) {
            expectedTables << table[QStringLiteral("name")].toString();
        }
        EXPECT_EQ(tables, expectedTables);

        for (const QJsonValue& table : reference) {
            const QString tableName = table[QStringLiteral("name")].toString();
            SCOPED_TRACE(tableName.toStdString());
            const QJsonArray columns = table[QStringLiteral("columns")].toArray();
            SQLite::Statement info(db, "SELECT name, type FROM pragma_table_info(?) ORDER BY cid");
            info.bind(1, tableName.toStdString());
            for (const QJsonValue& column : columns) {
                ASSERT_TRUE(info.executeStep());
                EXPECT_EQ(QString::fromStdString(info.getColumn(0).getString()),
                          column[QStringLiteral("name")].toString());
                EXPECT_EQ(QString::fromStdString(info.getColumn(1).getString()),
                          DeclaredType(column.toObject()));
            }
            EXPECT_FALSE(info.executeStep());

            SQLite::Statement rows(db, "SELECT * FROM \"" + tableName.toStdString() +
                                           "\" ORDER BY rowid");
            int count = 0;
            for (const QJsonValue& row : table[QStringLiteral("rows")].toArray()) {
                ASSERT_TRUE(rows.executeStep());
                for (int c = 0; c < columns.size(); ++c) {
                    EXPECT_EQ(Actual(rows.getColumn(c)),
                              Expected(columns[c].toObject(), row.toArray()[c]))
                        << "row " << count << ", column " << c;
                }
                ++count;
            }
            EXPECT_FALSE(rows.executeStep());
        }
    }
}

// What the files are known to hold, whatever any reader says.
TEST(OutsideTables, TheKnownContentsOfTheAccessFiles) {
    {
        const OutsideTableCopy copy(NpmFile(kFruit), TableFileKind::Access,
                                    OutsideTableCopy::Scope::SchemaOnly, {});
        SQLite::Database db(copy.path().toStdString(), SQLite::OPEN_READONLY);
        SQLite::Statement names(db, "SELECT group_concat(name, '|') FROM (SELECT name FROM "
                                    "sqlite_schema WHERE type = 'table' ORDER BY rowid)");
        ASSERT_TRUE(names.executeStep());
        EXPECT_EQ(names.getColumn(0).getString(),
                  "Fruit|Fruit Salad|Veggie Salad|Muffin/Bread|Dried");
        SQLite::Statement fruit(db, "SELECT name, type FROM pragma_table_info('Fruit') WHERE name "
                                    "IN ('Fruit', 'Fiber', 'Fat', 'Vit A') ORDER BY cid");
        QStringList columns;
        while (fruit.executeStep()) {
            columns << QString::fromStdString(fruit.getColumn(0).getString() + " " +
                                              fruit.getColumn(1).getString());
        }
        EXPECT_EQ(columns,
                  (QStringList{"Fruit TEXT(50)", "Fiber INTEGER", "Fat INTEGER", "Vit A INTEGER"}));
        SQLite::Statement rows(db, "SELECT COUNT(*) FROM \"Muffin/Bread\"");
        ASSERT_TRUE(rows.executeStep());
        EXPECT_EQ(rows.getColumn(0).getInt(), 0); // the schema alone
    }
    const OutsideTableCopy copy(NpmFile(kUsers), TableFileKind::Access,
                                OutsideTableCopy::Scope::Rows, {QStringLiteral("users")});
    SQLite::Database db(copy.path().toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement row(db, "SELECT UserId, UserName, UserSex, UserBirthday, UserMarried "
                              "FROM Users WHERE UserId = 3");
    ASSERT_TRUE(row.executeStep());
    EXPECT_EQ(row.getColumn(1).getString(), "张三");
    EXPECT_EQ(row.getColumn(2).getString(), "男");
    EXPECT_EQ(row.getColumn(3).getString(), "1986-12-18");
    EXPECT_EQ(row.getColumn(4).getInt(), -1);
}

TEST(OutsideTables, FilesAreKnownByTheirFirstBytes) {
    QTemporaryDir dir;
    const QString paradox = dir.filePath("table.txt");
    testing_support::WriteParadoxTable(paradox,
                                       {{"Name", testing_support::ParadoxField::Type::Alpha, 10}},
                                       {{QStringLiteral("x")}});
    const QString dbase = dir.filePath("table.dbf");
    DBFHandle dbf = DBFCreate(QFile::encodeName(dbase).constData());
    DBFAddField(dbf, "NAME", FTString, 10, 0);
    DBFWriteStringAttribute(dbf, 0, 0, "x");
    DBFClose(dbf);
    const struct {
        QString path;
        TableFileKind kind;
    } files[] = {
        {NpmFile(kFruit), TableFileKind::Access},
        {DOVAZOV_DATUM_DB, TableFileKind::Sqlite},
        {paradox, TableFileKind::Paradox},
        {dbase, TableFileKind::Dbase},
        {DOVAZOV_SOURCE_DIR "/README.md", TableFileKind::Unknown},
        {dir.filePath("missing"), TableFileKind::Unknown},
    };
    for (const auto& f : files) {
        EXPECT_EQ(document::RecogniseTableFile(f.path), f.kind) << f.path.toStdString();
    }
    for (const QByteArray& head : {QByteArray(), QByteArray(4096, '\0'), QByteArray(19, '\xff')}) {
        EXPECT_EQ(document::TableFileKindOf(head), TableFileKind::Unknown);
    }
}

TEST(OutsideTables, AChildPastItsTimeLimitIsStoppedAndReported) {
    const QString file = NpmFile(kFruit);
    try {
        const OutsideTableCopy copy(file, TableFileKind::Access, OutsideTableCopy::Scope::Rows, {},
                                    std::chrono::milliseconds(1));
        FAIL() << "the copy was not stopped";
    } catch (const common::AppError& error) {
        EXPECT_EQ(error.number(), common::kDatabaseError);
        const QString text = QString::fromStdString(error.description());
        EXPECT_TRUE(text.contains(file)) << error.description();
        EXPECT_TRUE(text.contains("took longer")) << error.description();
    }
}

TEST(OutsideTables, AMissingTableIsNamed) {
    try {
        const OutsideTableCopy copy(NpmFile(kFruit), TableFileKind::Access,
                                    OutsideTableCopy::Scope::Rows, {QStringLiteral("Datum")});
        FAIL() << "a missing table was copied";
    } catch (const common::AppError& error) {
        EXPECT_NE(error.description().find("it has no table 'Datum'"), std::string::npos)
            << error.description();
    }
}

} // namespace

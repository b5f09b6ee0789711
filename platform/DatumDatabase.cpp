#include "platform/DatumDatabase.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/DatumTables.h"
#include "platform/ErrorBox.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <QDir>
#include <QFileInfo>
#include <SQLiteCpp/SQLiteCpp.h>

namespace platform {

namespace {

constexpr int kItemNotFound = 3265;
constexpr int kCannotOpenDatabase = 3049;
constexpr int kQueryFailed = 3078;

const char* const kDatumQuery = "SELECT * FROM Datum WHERE USE > 0 ORDER BY NAME, APPLIC, CODE";
const char* const kEllipsoidQuery = "SELECT * FROM ELLI ORDER BY ELLI_ID";

// A column of the current row by name, as the record set's field collection gave it.
SQLite::Column Field(SQLite::Statement& query, const char* name) {
    for (int i = 0; i < query.getColumnCount(); ++i) {
        if (QString::fromUtf8(query.getColumnName(i))
                .compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            return query.getColumn(i);
        }
    }
    throw common::AppError(kItemNotFound, "Item not found in this collection.");
}

std::string Text(SQLite::Statement& query, const char* name) {
    const SQLite::Column column = Field(query, name);
    if (column.isNull()) {
        throw common::AppError(common::kInvalidNull);
    }
    return column.getString();
}

double Number(SQLite::Statement& query, const char* name) {
    const SQLite::Column column = Field(query, name);
    if (column.isNull()) {
        throw common::AppError(common::kInvalidNull);
    }
    return column.getDouble();
}

std::int16_t Short(SQLite::Statement& query, const char* name) {
    return common::ToInt16(Number(query, name));
}

int CountRows(SQLite::Database& db, const char* select) {
    SQLite::Statement count(db, std::string("SELECT COUNT(*) FROM (") + select + ")");
    count.executeStep();
    const int rows = count.getColumn(0).getInt();
    if (rows == 0) {
        throw common::AppError(common::kNoCurrentRecord);
    }
    return rows;
}

void ReadDatums(SQLite::Database& db) {
    geodesy::DatumState& state = geodesy::Datums();
    const int rows = CountRows(db, kDatumQuery);
    state.DatumTable.assign(static_cast<size_t>(rows) + 1, geodesy::DatumRec{});
    state.datumTableFilled = true;
    SQLite::Statement query(db, kDatumQuery);
    std::int16_t i = 0;
    while (query.executeStep() && i < rows) {
        ++i;
        geodesy::DatumRec& rec = state.DatumTable[static_cast<size_t>(i)];
        rec.Applic = Text(query, "Applic");
        rec.Code = geodesy::FixedCode(Text(query, "Code"));
        rec.da = Short(query, "da");
        rec.df = Number(query, "df");
        rec.dx = Number(query, "dx");
        rec.dy = Number(query, "dy");
        rec.dz = Number(query, "dz");
        rec.Name = Text(query, "Name");
        const SQLite::Column use = Field(query, "Use");
        rec.Use = use.isNull() ? 0 : common::ToInt16(use.getDouble());
        rec.ELLI_ID = Short(query, "ELLI_ID");
        geodesy::NoteSystemDatum(rec, i);
    }
}

void ReadEllipsoids(SQLite::Database& db) {
    geodesy::DatumState& state = geodesy::Datums();
    const int rows = CountRows(db, kEllipsoidQuery);
    state.EllipsoidTable.assign(static_cast<size_t>(rows) + 1, geodesy::EllipsoidRec{});
    SQLite::Statement query(db, kEllipsoidQuery);
    int j = 0;
    while (query.executeStep() && j < rows) {
        ++j;
        geodesy::EllipsoidRec& rec = state.EllipsoidTable[static_cast<size_t>(j)];
        rec.A = Number(query, "A");
        rec.ELLI = Text(query, "ELLI").substr(0, 2);
        rec.ELLI.resize(2, ' ');
        rec.ELLI_ID = Short(query, "ELLI_ID");
        rec.ELLI_NAME = Text(query, "ELLI_NAME");
        rec.f_Inv = Number(query, "f_Inv");
    }
}

} // namespace

QString DefaultDatumDatabasePath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("DATUM.MDB"));
}

DatumLoad LoadDatums(const QString& programFolder) {
    geodesy::Datums().GridDatums.fill(0);
    QString path = GetSetting(QStringLiteral("ZEB"), QStringLiteral("Datum"), QStringLiteral("DB"),
                              DefaultDatumDatabasePath(programFolder));
    if (!QFileInfo(path).isFile()) {
        MsgBox(ResText(800), Buttons::Ok, Icon::Critical);
        path = CurrentPrompter().openFile({ResText(801), QStringLiteral("*.mdb"), {}, {}});
        if (path.isEmpty()) {
            ResetCursor();
            return DatumLoad::Quit;
        }
        SaveSetting(QStringLiteral("ZEB"), QStringLiteral("Datum"), QStringLiteral("DB"), path);
    }
    try {
        std::unique_ptr<SQLite::Database> db;
        try {
            db = std::make_unique<SQLite::Database>(path.toStdString(), SQLite::OPEN_READONLY);
        } catch (const SQLite::Exception& e) {
            throw common::AppError(kCannotOpenDatabase, e.what());
        }
        try {
            ReadDatums(*db);
            ReadEllipsoids(*db);
        } catch (const SQLite::Exception& e) {
            throw common::AppError(kQueryFailed, e.what());
        }
    } catch (const common::AppError& e) {
        ShowError(e.number(), QString::fromStdString(e.description()));
        return DatumLoad::Reported;
    }
    return DatumLoad::Loaded;
}

} // namespace platform

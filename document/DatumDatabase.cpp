#include "document/DatumDatabase.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/OutsideTables.h"
#include "geodesy/DatumTables.h"
#include "platform/ErrorBox.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <sqlite3.h>

namespace document {

namespace {

const char* const kDatumQuery = "SELECT * FROM Datum WHERE USE > 0 ORDER BY NAME, APPLIC, CODE";
const char* const kEllipsoidQuery = "SELECT * FROM ELLI ORDER BY ELLI_ID";

// The columns of a query by name, as the record set's field collection gave them: names compare
// without regard to case, and the first of equal names wins.
class Columns {
public:
    explicit Columns(SQLite::Statement& query) : query_(query) {
        for (int i = 0; i < query.getColumnCount(); ++i) {
            const QString name = QString::fromUtf8(query.getColumnName(i)).toCaseFolded();
            if (!index_.contains(name)) {
                index_.insert(name, i);
            }
        }
    }

    SQLite::Column operator()(const char* name) const {
        const auto found = index_.constFind(QString::fromLatin1(name).toCaseFolded());
        if (found == index_.cend()) {
            throw common::AppError(common::kItemNotFound);
        }
        return query_.getColumn(found.value());
    }

private:
    SQLite::Statement& query_;
    QHash<QString, int> index_;
};

// At most `maxChars` characters of a UTF-8 text, cut between two characters; a text that is not
// UTF-8 is cut at the bytes that many characters may take at most.
std::string Bounded(const char* text, int bytes, int maxChars) {
    const int maxBytes = std::min(bytes, maxChars * 4);
    int end = 0;
    int chars = 0;
    while (end < maxBytes) {
        const auto lead = static_cast<unsigned char>(text[end]);
        if ((lead & 0xC0) != 0x80 && chars++ == maxChars) {
            break;
        }
        ++end;
    }
    return std::string(text, static_cast<std::size_t>(end));
}

std::string Text(const Columns& row, const char* name, int maxChars) {
    const SQLite::Column column = row(name);
    if (column.isNull()) {
        throw common::AppError(common::kInvalidNull);
    }
    return Bounded(column.getText(), column.getBytes(), maxChars);
}

double Number(const Columns& row, const char* name) {
    const SQLite::Column column = row(name);
    if (column.isNull()) {
        throw common::AppError(common::kInvalidNull);
    }
    return column.getDouble();
}

std::int16_t Short(const Columns& row, const char* name) {
    return common::ToInt16(Number(row, name));
}

// Limits and settings for a file that may come from anywhere: no value above the size bound,
// no function with side effects run from the file's own schema, early detection of damage.
void Harden(SQLite::Database& db) {
    sqlite3* handle = db.getHandle();
    sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, kMaxDatumValueBytes);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    db.exec("PRAGMA cell_size_check = ON");
}

std::string InDatumDatabase(const QString& path, const std::string& description) {
    return description + " (the datum database '" + QDir::toNativeSeparators(path).toStdString() +
           "')";
}

// Only a plain table is read: a view may be a query that never ends, and a virtual table runs
// the code of its module. The pragma form, unlike the table-valued function, cannot be hidden by
// a table of the file that has its name.
void RequirePlainTable(SQLite::Database& db, const char* table, const QString& path) {
    SQLite::Statement query(db, std::string("PRAGMA main.table_list(\"") + table + "\")");
    if (!query.executeStep()) {
        throw common::AppError(
            common::kTableNotFound,
            InDatumDatabase(path, common::ErrorDescription(common::kTableNotFound, table)));
    }
    const std::string type = query.getColumn(2).getString();
    if (type != "table") {
        const std::string kind = type == "view" ? type : type + " table";
        throw common::AppError(common::kTableNotFound,
                               "The datum database " +
                                   QDir::toNativeSeparators(path).toStdString() + ": " + table +
                                   " is a " + kind + ", not a plain table");
    }
}

// The rows of a query that are read: all of them up to kMaxDatumRows. Error 3021 for none.
struct RowCount {
    std::int64_t available = 0;
    int read = 0;
};

RowCount CountRows(SQLite::Database& db, const char* select) {
    SQLite::Statement count(db, std::string("SELECT COUNT(*) FROM (") + select + ")");
    count.executeStep();
    RowCount rows;
    rows.available = count.getColumn(0).getInt64();
    if (rows.available == 0) {
        throw common::AppError(common::kNoCurrentRecord);
    }
    rows.read = static_cast<int>(std::min<std::int64_t>(rows.available, kMaxDatumRows));
    return rows;
}

void ReportIgnoredRows(const char* table, const RowCount& rows, const QString& path) {
    if (rows.available <= rows.read) {
        return;
    }
    const QString text =
        platform::Langue() == platform::kFrench
            ? QStringLiteral("La table %1 de la base de données des datums \"%2\" contient %3 "
                             "lignes : seules les %4 premières sont chargées, les %5 autres sont "
                             "ignorées.")
            : QStringLiteral("The table %1 of the datum database \"%2\" holds %3 rows: only the "
                             "first %4 are loaded, the other %5 are ignored.");
    platform::MsgBox(text.arg(QLatin1String(table), QDir::toNativeSeparators(path))
                         .arg(rows.available)
                         .arg(rows.read)
                         .arg(rows.available - rows.read),
                     platform::Buttons::Ok, platform::Icon::Exclamation);
}

void ReadDatums(SQLite::Database& db, const QString& path) {
    RequirePlainTable(db, "Datum", path);
    geodesy::DatumState& state = geodesy::Datums();
    const RowCount rows = CountRows(db, kDatumQuery);
    state.DatumTable.assign(static_cast<size_t>(rows.read) + 1, geodesy::DatumRec{});
    state.datumTableFilled = true;
    SQLite::Statement query(db, kDatumQuery);
    const Columns row(query);
    int i = 0;
    while (i < rows.read && query.executeStep()) {
        ++i;
        geodesy::DatumRec& rec = state.DatumTable[static_cast<size_t>(i)];
        rec.Applic = Text(row, "Applic", kMaxDatumNameLength);
        rec.Code = geodesy::FixedCode(Text(row, "Code", 5));
        rec.da = Short(row, "da");
        rec.df = Number(row, "df");
        rec.dx = Number(row, "dx");
        rec.dy = Number(row, "dy");
        rec.dz = Number(row, "dz");
        rec.Name = Text(row, "Name", kMaxDatumNameLength);
        const SQLite::Column use = row("Use");
        rec.Use = use.isNull() ? 0 : common::ToInt16(use.getDouble());
        rec.ELLI_ID = Short(row, "ELLI_ID");
        geodesy::NoteSystemDatum(rec, static_cast<std::int16_t>(i));
    }
    ReportIgnoredRows("Datum", rows, path);
}

void ReadEllipsoids(SQLite::Database& db, const QString& path) {
    RequirePlainTable(db, "ELLI", path);
    geodesy::DatumState& state = geodesy::Datums();
    const RowCount rows = CountRows(db, kEllipsoidQuery);
    state.EllipsoidTable.assign(static_cast<size_t>(rows.read) + 1, geodesy::EllipsoidRec{});
    SQLite::Statement query(db, kEllipsoidQuery);
    const Columns row(query);
    int j = 0;
    while (j < rows.read && query.executeStep()) {
        ++j;
        geodesy::EllipsoidRec& rec = state.EllipsoidTable[static_cast<size_t>(j)];
        rec.A = Number(row, "A");
        rec.ELLI = Text(row, "ELLI", 2).substr(0, 2);
        rec.ELLI.resize(2, ' ');
        rec.ELLI_ID = Short(row, "ELLI_ID");
        rec.ELLI_NAME = Text(row, "ELLI_NAME", kMaxDatumNameLength);
        rec.f_Inv = Number(row, "f_Inv");
    }
    ReportIgnoredRows("ELLI", rows, path);
}

} // namespace

QString DefaultDatumDatabasePath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("DATUM.MDB"));
}

namespace {

// Opens the datum database at `path`, an SQLite file or an Access file, whose two tables are then
// read from a private SQLite copy.
std::unique_ptr<SQLite::Database> OpenDatumDatabase(const QString& path,
                                                    std::unique_ptr<OutsideTableCopy>& copy) {
    QString file = path;
    switch (RecogniseTableFile(path)) {
    case TableFileKind::Sqlite:
        break;
    case TableFileKind::Access: {
        // The rows of those of the two tables that are there; a missing one is then reported
        // as it is for an SQLite file.
        copy = std::make_unique<OutsideTableCopy>(
            path, TableFileKind::Access, OutsideTableCopy::Scope::SchemaOnly, QStringList{});
        QStringList present;
        {
            SQLite::Database schema(copy->path().toStdString(), SQLite::OPEN_READONLY);
            SQLite::Statement names(schema, "SELECT name FROM sqlite_schema WHERE type = 'table' "
                                            "AND name IN ('Datum', 'ELLI') COLLATE NOCASE");
            while (names.executeStep()) {
                present << QString::fromStdString(names.getColumn(0).getString());
            }
        }
        if (!present.isEmpty()) {
            copy = std::make_unique<OutsideTableCopy>(path, TableFileKind::Access,
                                                      OutsideTableCopy::Scope::Rows, present);
        }
        file = copy->path();
        break;
    }
    default:
        throw common::AppError(
            common::kDatabaseError,
            UnreadableDatabaseText(path, QFileInfo(path).isFile()
                                             ? QStringLiteral("it is neither an Access nor an "
                                                              "SQLite database")
                                             : QStringLiteral("no such file"))
                .toStdString());
    }
    try {
        auto db = std::make_unique<SQLite::Database>(file.toStdString(), SQLite::OPEN_READONLY);
        Harden(*db);
        return db;
    } catch (const SQLite::Exception& e) {
        throw common::AppError(
            common::kDatabaseError,
            UnreadableDatabaseText(path, QString::fromUtf8(e.what())).toStdString());
    }
}

// Reads both tables; errors carry the number and description the error box shows, naming the
// file.
void ReadDatumDatabase(const QString& path) {
    std::unique_ptr<OutsideTableCopy> copy;
    const std::unique_ptr<SQLite::Database> db = OpenDatumDatabase(path, copy);
    try {
        ReadDatums(*db, path);
        ReadEllipsoids(*db, path);
    } catch (const SQLite::Exception& e) {
        const bool damaged =
            e.getErrorCode() == SQLITE_NOTADB || e.getErrorCode() == SQLITE_CORRUPT;
        throw common::AppError(
            damaged ? common::kDatabaseError : common::kTableNotFound,
            damaged ? UnreadableDatabaseText(path, QString::fromUtf8(e.what())).toStdString()
                    : InDatumDatabase(path, e.what()));
    } catch (const common::AppError& e) {
        if (e.description().find(QDir::toNativeSeparators(path).toStdString()) !=
            std::string::npos) {
            throw;
        }
        throw common::AppError(e.number(), InDatumDatabase(path, e.description()));
    }
}

// The open-file dialog that looks for the datum database; the choice is stored. Empty when the
// user cancels.
QString AskForDatumDatabase() {
    const QString path = platform::CurrentPrompter().openFile(
        {platform::ResText(801), QStringLiteral("*.mdb"), {}, {}});
    if (!path.isEmpty()) {
        platform::SaveSetting(QStringLiteral("ZEB"), QStringLiteral("Datum"), QStringLiteral("DB"),
                              path);
    }
    return path;
}

} // namespace

DatumLoad LoadDatums(const QString& programFolder) {
    QString path =
        platform::GetSetting(QStringLiteral("ZEB"), QStringLiteral("Datum"), QStringLiteral("DB"),
                             DefaultDatumDatabasePath(programFolder));
    if (!QFileInfo(path).isFile()) {
        platform::MsgBox(platform::ResText(800), platform::Buttons::Ok, platform::Icon::Critical);
        path = AskForDatumDatabase();
    }
    // A database from which not one datum could be read is handled like a missing one: the
    // program cannot work without datums, and every later use of the empty table would fail.
    while (!path.isEmpty()) {
        geodesy::Datums().GridDatums.fill(0);
        try {
            const platform::WaitCursor wait;
            ReadDatumDatabase(path);
            return DatumLoad::Loaded;
        } catch (const common::AppError& e) {
            platform::ShowError(e.number(), QString::fromStdString(e.description()));
            if (geodesy::Datums().datumTableFilled) {
                return DatumLoad::Reported;
            }
        }
        path = AskForDatumDatabase();
    }
    platform::ResetCursor();
    return DatumLoad::Quit;
}

} // namespace document

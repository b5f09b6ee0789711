#include "document/WorkDatabase.h"

#include "common/AppError.h"
#include "document/SelectionFilter.h"
#include "platform/WaitCursor.h"

#include <QDir>
#include <QFile>

namespace document {

namespace {

// The database file inside a folder that was just made; error 75 when making it failed.
QString DatabasePathIn(const QTemporaryDir& folder, const QString& parent) {
    if (!folder.isValid()) {
        throw common::AppError(common::kPathFileAccess,
                               common::ErrorDescription(common::kPathFileAccess) +
                                   ": cannot make a private working folder in " +
                                   QDir::toNativeSeparators(parent).toStdString() + ": " +
                                   folder.errorString().toStdString());
    }
    // mkdtemp already gives 0700; a umask or an inherited bit must not widen it.
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return WorkDbPathFor(folder.path());
}

void CreateWorkTableIn(SQLite::Database& db) {
    const platform::WaitCursor busy;
    db.exec(kCreateWorkTableSql);
    db.exec(kCreatePeriodIndexSql);
}

} // namespace

WorkDatabase::WorkDatabase(const QString& parent)
    : folder_(QDir(parent).filePath(QStringLiteral("dovazov-XXXXXX"))),
      path_(DatabasePathIn(folder_, parent)), db_(QDir::toNativeSeparators(path_).toStdString(),
                                                  SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE) {
    // The file is scratch space made anew at every start: durability buys nothing here.
    // The rollback journal stays on disk (the default) so that memory stays flat when a
    // transaction rewrites a large table.
    db_.exec("PRAGMA synchronous = OFF");
    db_.exec("PRAGMA cache_size = -65536");
    // LIKE takes the wildcards users know (* and ?) beside SQLite's own, in every query.
    InstallEngineLike(db_);
    CreateWorkTableIn(db_);
}

WorkState& Work() {
    static WorkState state;
    return state;
}

SQLite::Database& WorkDb() {
    if (!Work().WorkDb) {
        throw common::AppError(common::kObjectNotSet);
    }
    return Work().WorkDb->db();
}

QString WorkFolder() {
    return Work().WorkDb ? Work().WorkDb->folder() : QString();
}

QString WorkDbPathFor(const QString& folder) {
    QString path = folder;
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('\\'))) {
        path += QLatin1Char('/');
    }
    return path + QStringLiteral("dovazov_tmp.mdb");
}

void CreateWorkDatabase(const QString& parent) {
    CreateWorkDatabase(parent, parent);
}

void CreateWorkDatabase(const QString& parent, const QString& workingDir) {
    WorkState& state = Work();
    // The previous run's database goes first, so that its folder never outlives it.
    state.WorkDb.reset();
    state.WorkDbPath.clear();
    state.WorkingDir = workingDir;
    state.WorkDb = std::make_unique<WorkDatabase>(parent);
    state.WorkDbPath = state.WorkDb->path();
}

// Text compares ignore case, as the original engine's did; the checks hold the field sizes and
// integer ranges that SQLite itself would not enforce.
const char* const kCreateWorkTableSql =
    "CREATE TABLE DOVAZOV ("
    " Counter INTEGER PRIMARY KEY AUTOINCREMENT,"
    " PERIOD INTEGER CHECK (PERIOD BETWEEN -32768 AND 32767),"
    " LATITUDE REAL,"
    " LONGITUDE REAL,"
    " N1 INTEGER CHECK (N1 BETWEEN -2147483648 AND 2147483647),"
    " N2 INTEGER CHECK (N2 BETWEEN -2147483648 AND 2147483647),"
    " SEX TEXT COLLATE NOCASE CHECK (length(SEX) <= 1),"
    " DATUM TEXT COLLATE NOCASE CHECK (length(DATUM) BETWEEN 1 AND 5),"
    " ORIGINAL TEXT COLLATE NOCASE CHECK (length(ORIGINAL) BETWEEN 1 AND 24),"
    " DATE TEXT COLLATE NOCASE CHECK (length(DATE) <= 10),"
    " COMMENT TEXT COLLATE NOCASE)";
const char* const kCreatePeriodIndexSql = "CREATE INDEX PERIOD ON DOVAZOV (PERIOD)";

void CreateWorkTable() {
    CreateWorkTableIn(WorkDb());
}

void CloseWorkDatabase() {
    Work().WorkDb.reset();
    Work().WorkDbPath.clear();
}

} // namespace document

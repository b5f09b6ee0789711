#include "document/WorkDatabase.h"

#include "common/AppError.h"
#include "document/SelectionFilter.h"
#include "platform/WaitCursor.h"

#include <QDir>
#include <QFile>

namespace document {

WorkState& Work() {
    static WorkState state;
    return state;
}

SQLite::Database& WorkDb() {
    if (!Work().WorkDb) {
        throw common::AppError(91, "Object variable or With block variable not set");
    }
    return *Work().WorkDb;
}

QString WorkDbPathFor(const QString& workingDir) {
    QString folder = workingDir;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')) &&
        !folder.endsWith(QLatin1Char('\\'))) {
        folder += QLatin1Char('/');
    }
    return folder + QStringLiteral("dovazov_tmp.mdb");
}

void CreateWorkDatabase(const QString& workingDir) {
    WorkState& state = Work();
    state.WorkDb.reset();
    state.WorkingDir = workingDir;
    state.WorkDbPath = WorkDbPathFor(workingDir);
    if (QFile::exists(state.WorkDbPath)) {
        QFile::remove(state.WorkDbPath);
    }
    QFile::remove(state.WorkDbPath + QStringLiteral("-journal"));
    state.WorkDb =
        std::make_unique<SQLite::Database>(QDir::toNativeSeparators(state.WorkDbPath).toStdString(),
                                           SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    // The file is scratch space recreated at every start: durability buys nothing here.
    // The rollback journal stays on disk (the default) so that memory stays flat when a
    // transaction rewrites a large table.
    state.WorkDb->exec("PRAGMA synchronous = OFF");
    state.WorkDb->exec("PRAGMA cache_size = -65536");
    // LIKE takes the wildcards users know (* and ?) beside SQLite's own, in every query.
    InstallEngineLike(*state.WorkDb);
    CreateWorkTable();
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
    const platform::WaitCursor busy;
    WorkDb().exec(kCreateWorkTableSql);
    WorkDb().exec(kCreatePeriodIndexSql);
}

void CloseWorkDatabase() {
    Work().WorkDb.reset();
}

} // namespace document

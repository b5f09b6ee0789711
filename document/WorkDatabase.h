#pragma once

#include <QString>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <memory>

namespace document {

// The working database "dovazov_tmp.mdb" of one run with the table DOVAZOV, in a folder of its
// own: made exclusively under a random name with access for its owner only (0700), so that no
// other user can read the records, plant a file in its place or share it, and two copies of the
// program never meet. The database is closed and the folder removed when the object ends.
class WorkDatabase {
public:
    // Makes the folder inside `parent` and the database with its table in it. Error 75, naming
    // the folder and the system's reason, when the folder cannot be made.
    explicit WorkDatabase(const QString& parent);
    WorkDatabase(const WorkDatabase&) = delete;
    WorkDatabase& operator=(const WorkDatabase&) = delete;

    QString folder() const { return folder_.path(); }
    const QString& path() const { return path_; }
    SQLite::Database& db() { return db_; }

private:
    QTemporaryDir folder_; // declared first: removed only after the database is closed
    QString path_;
    SQLite::Database db_;
};

// The working state of the run, open until the program ends.
struct WorkState {
    QString WorkingDir; // the working-folder setting as read, the one the preferences show
    QString WorkDbPath; // inside the run's private folder
    std::unique_ptr<WorkDatabase> WorkDb;
};

WorkState& Work();
// The open working database; error 91 when none was created.
SQLite::Database& WorkDb();
// The run's private folder, where the working database and the help pages live; empty while no
// working database was created.
QString WorkFolder();

// The database path for a folder: the folder, a separator unless it ends with one, and
// "dovazov_tmp.mdb"; the file name alone for an empty folder.
QString WorkDbPathFor(const QString& folder);

// Replaces the working database by a new, empty one in a private folder made inside `parent`;
// the previous one is closed and its folder removed. WorkingDir becomes `workingDir`, by default
// `parent`.
void CreateWorkDatabase(const QString& parent);
void CreateWorkDatabase(const QString& parent, const QString& workingDir);
// Creates the table DOVAZOV and its index "PERIOD" in the working database.
void CreateWorkTable();
// The two statements CreateWorkTable runs, without the closing semicolon.
extern const char* const kCreateWorkTableSql;
extern const char* const kCreatePeriodIndexSql;

// Closes the working database and removes its folder (tests; the program keeps it until it ends,
// when the same happens).
void CloseWorkDatabase();

} // namespace document

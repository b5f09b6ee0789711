#pragma once

#include <QString>
#include <SQLiteCpp/SQLiteCpp.h>
#include <memory>

namespace document {

// The working database "dovazov_tmp.mdb" in the working folder, recreated at every start and
// open for the whole run, with the one table DOVAZOV that holds the open document.
struct WorkState {
    QString WorkingDir; // as read from the settings, with the folder separator appended
    QString WorkDbPath;
    std::unique_ptr<SQLite::Database> WorkDb;
};

WorkState& Work();
// The open working database; error 91 when none was created.
SQLite::Database& WorkDb();

// The database path for a working folder: the folder, a separator unless it ends with one, and
// "dovazov_tmp.mdb"; the file name alone for an empty folder.
QString WorkDbPathFor(const QString& workingDir);

// Deletes a previous working database at that place, creates a new one and its table.
void CreateWorkDatabase(const QString& workingDir);
// Creates the table DOVAZOV and its index "PERIOD" in the working database.
void CreateWorkTable();
// The two statements CreateWorkTable runs, without the closing semicolon.
extern const char* const kCreateWorkTableSql;
extern const char* const kCreatePeriodIndexSql;

// Closes the working database (tests; the program keeps it open until it ends).
void CloseWorkDatabase();

} // namespace document

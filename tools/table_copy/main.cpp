// dovazov-table-copy: copies tables of an Access database or a Paradox table into a new SQLite
// database file, for the program, which starts it as a child process so that a damaged or hostile
// file can at worst end this process.
//
//   dovazov-table-copy --schema|--rows access  <file.mdb> <target.sqlite> [table ...]
//   dovazov-table-copy --schema|--rows paradox <file.db>  <target.sqlite> <table>
//
// Exit status 0 when the tables were copied; otherwise 1 and one line "error: <reason>" on the
// standard output. What the libraries print themselves goes to the standard error.
#include "tools/table_copy/TableCopy.h"

#include <SQLiteCpp/Database.h>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 4 || (args[0] != "--schema" && args[0] != "--rows") ||
        (args[1] != "access" && args[1] != "paradox") ||
        (args[1] == "paradox" && args.size() != 5)) {
        std::fputs("usage: dovazov-table-copy --schema|--rows access|paradox <source> <target> "
                   "[table ...]\n",
                   stderr);
        return 2;
    }
    const tablecopy::Scope scope =
        args[0] == "--rows" ? tablecopy::Scope::Rows : tablecopy::Scope::SchemaOnly;
    try {
        SQLite::Database target(args[3], SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        target.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
        if (args[1] == "access") {
            tablecopy::CopyJetTables(args[2], target, scope,
                                     std::vector<std::string>(args.begin() + 4, args.end()));
        } else {
            tablecopy::CopyParadoxTable(args[2], args[4], target, scope);
        }
    } catch (const std::exception& e) {
        std::printf("error: %s\n", e.what());
        return 1;
    }
    return 0;
}

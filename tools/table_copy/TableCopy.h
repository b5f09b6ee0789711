#pragma once

// Copies tables of an outside database that only a C library of uncertain robustness reads (an
// Access file through libmdb, a Paradox table through pxlib) into an SQLite database. The program
// runs this in a child process of its own (dovazov-table-copy), so that a damaged or hostile file
// can at worst end that process.

#include <SQLiteCpp/Database.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace tablecopy {

// What is copied: the tables with their columns only, or their rows as well.
enum class Scope { SchemaOnly, Rows };

// A file that cannot be read, with the reason in words a user can follow.
class CopyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Memo and text values are cut to this many bytes; a longer value in a place-name or datum table
// is damage, not data.
inline constexpr int kMaxValueBytes = 1 << 18;

// The user tables named in `tables` (names compared without regard to ASCII case, as the engine
// does; all of them, in the database's order, when empty) of the Access (Jet 3 or Jet 4) database
// at `source`, each into a table of `target` with the same name and columns. Texts arrive as UTF-8;
// Long, Integer and Byte as integers; Single, Double, Currency and Decimal as reals; Yes/No as -1
// or 0; dates as "YYYY-MM-DD", or "YYYY-MM-DD hh:mm:ss" when they carry a time; binary and OLE
// values as Null. The declared type of each target column is the Access type's name.
void CopyJetTables(const std::string& source, SQLite::Database& target, Scope scope,
                   const std::vector<std::string>& tables);

// The Paradox table at `source` into the table `name` of `target`, with the same conversions.
void CopyParadoxTable(const std::string& source, const std::string& name, SQLite::Database& target,
                      Scope scope);

// The text of a date of the Access and Paradox engines: days since 30 December 1899 with the
// time of day as the fraction (a negative day keeps its time positive). Empty outside the years
// 100 to 9999.
std::string DateText(double days);

} // namespace tablecopy

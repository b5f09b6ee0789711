#pragma once

#include <QString>
#include <cstdint>
#include <limits>

namespace document {

// Datums and ellipsoids are numbered by 16-bit integers throughout the program: rows past this
// many are left out of a table, and the user is told so.
inline constexpr int kMaxDatumRows = std::numeric_limits<std::int16_t>::max();
// Names and areas of use are kept to this many characters, so that an odd file cannot fill the
// memory; SQLite itself refuses any value longer than kMaxDatumValueBytes.
inline constexpr int kMaxDatumNameLength = 255;
inline constexpr int kMaxDatumValueBytes = 1 << 20;

enum class DatumLoad {
    Loaded,   // both tables read
    Reported, // an error was shown in the error box; what was read until then stays
    Quit,     // the database was missing and the user cancelled the search: the program ends
};

// Reads the datum and ellipsoid tables of the datum database into the datum state. Its path is
// the setting ZEB/Datum/DB, by default "DATUM.MDB" in `programFolder`; a missing file is looked for
// with the open-file dialog, and the choice is stored. `Datum` and `ELLI` are read only when they
// are plain tables: a view or a virtual table is reported as an error.
DatumLoad LoadDatums(const QString& programFolder);

// The path LoadDatums uses when no setting names one.
QString DefaultDatumDatabasePath(const QString& programFolder);

} // namespace document

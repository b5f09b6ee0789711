#pragma once

#include <QString>

namespace platform {

enum class DatumLoad {
    Loaded,   // both tables read
    Reported, // an error was shown in the error box; what was read until then stays
    Quit,     // the database was missing and the user cancelled the search: the program ends
};

// Reads the datum and ellipsoid tables of the datum database into the datum state. Its path is
// the setting ZEB/Datum/DB, by default "DATUM.MDB" in `programFolder`; a missing file is looked for
// with the open-file dialog, and the choice is stored.
DatumLoad LoadDatums(const QString& programFolder);

// The path LoadDatums uses when no setting names one.
QString DefaultDatumDatabasePath(const QString& programFolder);

} // namespace platform

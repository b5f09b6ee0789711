#pragma once

#include <QByteArray>
#include <QString>
#include <array>

namespace platform {
struct ProgramSettings;
}

namespace gazetteer {

// One gazetteer mapping as a configuration file keeps it.
struct GeoConfig {
    QString path;   // database file, or the folder of a dBase table
    QString dbType; // connect string
    QString datum;
    QString table;
    // Search, output, latitude, longitude, FIPS, province, designation, country-name and
    // province-name fields.
    std::array<QString, 9> fields;
    // Sort by the search field, sort by FIPS, packed coordinates, decimal degrees.
    std::array<bool, 4> flags{};
    // Whether the file has the current layout (header line and the two name fields); a file of
    // the older layout leaves the country-name and province-name settings as they are.
    bool currentLayout = true;
};

// The first line of the current layout.
inline const QString kConfigHeader = QStringLiteral("<DOVAZOV 2.0>");

// The file text: the current layout's 18 lines in Windows-1252, each ended by CR LF. A value
// with a comma, a leading double quote or blanks at either end is written in double quotes so
// that it reads back the same. Error 5 for a value that needs the quotes and holds a double
// quote itself, which the layout cannot carry.
QByteArray WriteConfig(const GeoConfig& config);

// Reads a configuration file of either layout; lines may end with CR LF, LF or CR. The whole
// file is checked before anything is taken from it: error 62 (input past end of file) when it is
// cut short, error 13 (type mismatch) for a flag that is not a whole number, and error 5 for a
// file that is not text. Every message says which line is at fault.
GeoConfig ReadConfig(const QByteArray& bytes);

// The mapping's database, type, datum, table and field names into the settings (the name fields
// only from a file of the current layout). Sort and coordinate type are not touched: the flags
// only set the setup dialog's options.
void ApplyConfig(const GeoConfig& config, platform::ProgramSettings& settings);

} // namespace gazetteer

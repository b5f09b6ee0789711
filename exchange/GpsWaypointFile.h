#pragma once

#include "common/AppError.h"
#include "exchange/GpsWaypointList.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

namespace exchange {

// The seven grid formats of a MapSource waypoint file, in the order the grid list shows them.
inline constexpr int kGpsGridCount = 7;
const std::array<QString, kGpsGridCount>& GpsGridNames();
// The index of the grid whose name equals `name` in upper case; none for any other name.
std::optional<int> GpsGridIndex(const QString& name);

// A MapSource waypoint file as the import window shows it.
struct GpsWaypointFile {
    QString header;            // the path and lines 1 to 3, joined by CR LF
    std::optional<int> grid;   // the grid format line 1 names
    QString datum;             // the datum code of the GPS datum line 2 names
    QStringList columns;       // the titles of the Header line, its last field left out
    GpsWaypointList waypoints; // per Waypoint line: its fields, the last one left out
};

// The file is not a MapSource waypoint file: the type word of line 1, 2 or 4 is wrong. `partial`
// holds what was read before.
class GpsWrongFileType : public std::runtime_error {
public:
    explicit GpsWrongFileType(GpsWaypointFile partial)
        : std::runtime_error("Wrong file type!"), partial(std::move(partial)) {}
    GpsWaypointFile partial;
};

// Any other error while reading (fewer than four lines, a line without its tab, ...): the error's
// number and description, and in `partial` what was read before it.
class GpsReadError : public common::AppError {
public:
    GpsReadError(const common::AppError& error, GpsWaypointFile partial)
        : common::AppError(error), partial(std::move(partial)) {}
    GpsWaypointFile partial;
};

// Reads a MapSource waypoint file (tab-separated, Windows-1252, lines ending at CR LF, LF or CR).
// Lines 1, 2 and 4 must begin with "GRID", "DATUM" and the field "HEADER" (any case); every later
// line whose first field is "WAYPOINT" (any case) and that holds a tab is a waypoint; other lines
// are skipped. GpsWrongFileType for a wrong type word; GpsReadErrors naming the line for fewer
// than four lines, a Grid or Datum line without a tab, a Waypoint line with more fields than the
// Header line, binary data and lines beyond the line cap; an AppError when it cannot be opened.
GpsWaypointFile ReadGpsWaypointFile(const QString& path);

} // namespace exchange

#pragma once

#include "exchange/GpsWaypointFile.h"
#include "exchange/GpsWaypointRecords.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace exchange {

// Appends the records of a coordinate import file written in system `systemIndex` (0 to 15), all
// or nothing, recomputes the positions and marks the document changed. Returns how many records
// were added. Errors leave the table as it was; their description names the line.
int ImportCoordRecords(const QString& path, int systemIndex);

// The menu's coordinate import: nothing for an empty path or an index outside 0..15. On success
// the grid-square snapping is reset and true returned; an error beeps (unless Silence) and shows
// string 660, a carriage return and the error's description.
bool ImportCoord(const QString& path, int systemIndex);

// Appends the waypoints of a PCX5 waypoint file, as ImportCoordRecords. Pcx5NotLatLonDm for a
// file whose positions are not in degrees and decimal minutes.
int ImportPcx5Records(const QString& path);

// The menu's PCX5 import: asks for the file (a cancel ends silently), refuses a file that is not
// in LAT LON DM with its own message, and shows any other error in the error box.
void ImportGarmin();

// The file the MapSource waypoint import reads: the Open dialog's choice, empty when cancelled.
QString ChooseMapSourceFile();

// Appends a row for each waypoint of `waypoints` (the checked items, their cells) that has a
// position, as ImportCoordRecords; tells the user once, before the first row, when the altitude
// has no free field to go into.
int ImportWaypointRecords(const WaypointImportInput& input,
                          const std::vector<QStringList>& waypoints);

} // namespace exchange

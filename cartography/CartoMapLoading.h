#pragma once

// Loading a map into the cartography window: the description file, its picture, the projection
// and the user scale in which one unit is one kilometre of the map plane (or the picture's own
// units on a map without projection).

#include <QString>
#include <exception>
#include <string>

namespace cartography {

struct CartoSession;
class MapCanvas;

// The file a line 2 or 3 of the description at `descriptionPath` names: the line's 8-bit text
// decoded, put after the description's folder when it has no separator at all; "\" read as "/".
QString MapFilePath(const QString& descriptionPath, const std::string& line);

// Loads the map described at `path`: the session takes the new map, its projection set up and its
// extent, the canvas its picture and user scale, the graticule is turned off, a map without
// projection empties the layer list, and the path becomes the last map. On any error (description
// missing, cut short or of an unknown projection code, picture missing or unreadable, an extent
// that gives no scale) common::AppError is raised and the session and canvas keep the previous map
// whole, so that the records are never drawn over a picture of another projection.
void LoadMap(CartoSession& session, MapCanvas& canvas, const QString& path);

// The message of a failed load: the description, then the error number after two blanks.
QString LoadFailureText(const std::exception& error);

} // namespace cartography

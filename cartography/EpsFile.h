#pragma once

// The cartography map as an Encapsulated PostScript file: the prologue "prolzeb.ps" of the map's
// folder with its comment lines filled in, the page geometry, the base map, the records as
// symbols, the graticule when it is shown, a frame and a rights notice.

#include "cartography/EpsOutput.h"

#include <QDate>
#include <QString>

namespace maps {
struct MapHost;
}
namespace platform {
class TextFileWriter;
}

namespace cartography {

struct CartoSession;
class MapCanvas;

// The name of the prologue file.
inline constexpr char kPrologueName[] = "prolzeb.ps";

// Asks for the file (the last data folder, or the program's) and writes it: mode 1 in colour, 0
// in black and white. Cancelling the dialog does nothing.
void Imprime(CartoSession& session, MapCanvas& canvas, const maps::MapHost& host, int mode);

// Writes the EPS file at `path` and tells it is done. An error closes the file with what was
// written so far and shows the error box; false then.
bool FaitEPS(CartoSession& session, MapCanvas& canvas, const maps::MapHost& host,
             const QString& path, int mode);

// Where the prologue is read: the map's folder, or the program's folder when no map folder is set.
QString ProloguePath(const CartoSession& session);

// Copies the prologue with its bounding-box, title and date lines filled in, then writes the page
// definitions up to the frame's clip; returns the page geometry the later lines are placed in.
// Error 11 for a map without extent, 53 for a missing prologue.
PageGeometry EcritPrologue(platform::TextFileWriter& file, const CartoSession& session,
                           const QString& path, const QDate& today = QDate::currentDate());

// Copies every line of the text file `source` into the EPS file (error 53 when it is missing).
void Recopie(const QString& source, EpsOutput& file);

} // namespace cartography

#pragma once

// The records of the open document as symbols on the cartography map: a circle per record on the
// screen, or one symbol line per record in an EPS file.

#include "cartography/MapCanvas.h"

#include <QString>

namespace maps {
struct MapHost;
}

namespace cartography {

struct CartoSession;
class EpsOutput;

// The symbol diameter in user units: a fiftieth of the map's larger side when the diameter
// option is automatic (-1), otherwise the option's metres in kilometres.
float SymbolSize(const CartoSession& session);

// Draws one symbol centred at (x, y), `size` user units across: 1 circle, 2 upright cross,
// 3 diagonal cross, 4 diamond, 5 square, 6 triangle apex up, 7 triangle apex down; any other type
// draws nothing. Outlined in the canvas's pen, filled with `colour` in fill style `fill`, which
// stay set on the canvas.
void PlotSymbol(CartoSession& session, MapCanvas& canvas, float x, float y, int type, float size,
                OleColor colour, int fill);

// Plots the records: the rows selected in the main grid in the order of the selection, or every
// record of the main window's record set when none is selected. `file` null draws circles on the
// canvas; otherwise each record becomes a line of the EPS file, in colour for mode 1 and in black
// and white for any other mode. A record without a position, at 999/999 (no position) or on the
// hidden side of the map is left out. An empty document beeps; a map that is not georeferenced is
// refused with a message. Errors end the plotting with the error box (an unbound record set ends
// it silently), except a file that cannot be written (platform::FileWriteError), which reaches the
// EPS writer so that a broken file is never reported as written.
void PlotDistri(CartoSession& session, MapCanvas& canvas, const maps::MapHost& host,
                EpsOutput* file, int mode);

// Replaces every occurrence of `find` in `text` by `replacement`, case-sensitive, from the left;
// an empty `find` leaves the text as it is.
void ModifieCar(QString& text, const QString& find, const QString& replacement);

} // namespace cartography

#pragma once

// The vector layers of the cartography map: each visible line of a layer file is projected vertex
// by vertex, gathered into the window's layer polygon and drawn in the pen of its feature code and
// style.

#include "cartography/MapCanvas.h"
#include "cartography/core/LayerFile.h"

#include <filesystem>
#include <string>

namespace cartography {

struct CartoSession;
struct LayerPlotState;
struct MapDescription;
struct ProjectionState;
class Polygon;

// The drawing colour of a feature code: "R" blue, "L" cyan, anything else (lower case included)
// black.
OleColor FeatureColor(char code);
// The drawing style of a line style: 1 and 2 solid, anything else dashed.
int LineDrawStyle(int style);

// Whether a line lies on the map: its latitude range within the map's, widened by one degree to
// the north and to the south, and its longitude range within the map's.
bool LineVisible(const LayerLine& line, const MapDescription& map);

// One vertex of a layer line. A vertex of pen -1 draws the line gathered so far, in that line's
// pen, and begins a new line with itself; any other pen adds the vertex to the gathered line. The
// pen follows the vertex's feature code and style when they change, and is set afresh at each new
// line. A vertex the projection cannot show breaks the line. A vertex that lands exactly on the
// plane's origin is a vertex like any other (the map's centre, a pole): lines begin where the
// layer drawing says so, not where a point looks unset.
void Plot(LayerPlotState& state, Polygon& polygon, MapCanvas& canvas,
          const ProjectionState& projection, int pen, float latitude, float longitude, char code,
          int style);

// Draws one layer file over the map. A file that does not exist is skipped silently; one that
// cannot be read or is cut short raises common::AppError naming the file and the byte offset,
// after the lines read before the fault were drawn. The last line of the layer is drawn at its
// end, so that a layer is complete before the next one is drawn over it.
void AfficheZEB(CartoSession& session, MapCanvas& canvas, const std::filesystem::path& file);

} // namespace cartography

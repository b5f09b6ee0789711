#pragma once

// The grid-line files of the British National Grid and the Irish grid: the 10 km lines, the
// 100 km lines and the frame of each grid's area as polylines of geographic positions, one text
// line per point ("-1 lat lon:G3" opens a polyline, " 0 lat lon:" continues it).

#include <QString>
#include <functional>

namespace maps {

// The grid of each export button: 0 the Irish grid, 1 the British National Grid.
struct GridArea {
    int type;              // grid type of the inverse conversion
    double e0, e1, n0, n1; // metres, in the conversion's projection coordinates
};
GridArea GridAreaOf(int button);

// A point of a 100 km line as it is drawn on the map: `first` starts a new polyline.
using GridLineDrawer = std::function<void(double lat, double lon, bool first)>;

// The whole file text for export button `button`, lines ended by CR LF; `draw` receives the points
// of the 100 km lines.
QString GridLineText(int button, const GridLineDrawer& draw = {});

// The prompt of the file-name question of the button.
QString GridLinePrompt(int button);

} // namespace maps

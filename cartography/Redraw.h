#pragma once

// The whole drawing of the cartography map, made again over its picture.

namespace maps {
struct MapHost;
}

namespace cartography {

struct CartoSession;
class MapCanvas;

// Clears the drawing (the picture stays), then draws the layers of the options in list order, the
// graticule when it is shown, and the records' symbols on top. An error of a layer file or of the
// graticule reaches the caller, the drawing made so far left in place; the symbols report their
// own errors.
void RedrawMap(CartoSession& session, MapCanvas& canvas, const maps::MapHost& host);

} // namespace cartography

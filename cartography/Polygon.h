#pragma once

// Many-sided figures on the map canvas: vertices given in the canvas's user units are turned into
// device pixels as they arrive, and the whole list is drawn in one call, as a closed filled
// outline or as an open line. The cartography window keeps one for the lines of its layers and one
// for its filled symbols.

#include <QPoint>
#include <cstddef>
#include <vector>

namespace cartography {

class MapCanvas;

class Polygon {
public:
    // Takes the canvas's scale for the vertices added from now on; the list stays.
    void Device(const MapCanvas& canvas);

    // Appends one vertex, in user units. A point without a device pixel (the hidden point of an
    // orthographic map, or one beyond the 32-bit pixel range) is left out and breaks the line: the
    // vertices before it and after it are drawn as separate open lines.
    void Point(float x, float y);

    // Draws the list as a closed polygon when its first and last vertices coincide, else as an
    // open line; a list broken by a point left out is drawn as open lines. Fewer than two
    // vertices draw nothing. Empties the list in every case.
    void DrawZEB(MapCanvas& canvas);
    // Draws the list as an open line (or lines, when broken); empties it.
    void DrawLine(MapCanvas& canvas);
    // Draws the list as a closed, filled polygon; a broken list is not drawn. Empties it.
    void Draw(MapCanvas& canvas);

    // The vertices gathered, in device pixels, in the order added.
    const std::vector<QPoint>& vertices() const { return vertices_; }
    bool broken() const { return !breaks_.empty(); }
    float pixelsPerUnitX() const { return pixelsPerUnitX_; }
    float pixelsPerUnitY() const { return pixelsPerUnitY_; }

private:
    void drawPieces(MapCanvas& canvas);
    void clear();

    float scaleLeft_ = 0;
    float scaleTop_ = 0;
    float pixelsPerUnitX_ = 1;
    float pixelsPerUnitY_ = 1;
    std::vector<QPoint> vertices_;
    // Indexes in vertices_ at which a new piece begins after a point left out.
    std::vector<std::size_t> breaks_;
    bool breakPending_ = false;
};

} // namespace cartography

#pragma once

// The variables of the cartography window that outlive one opening within a run: the loaded map,
// its projection and extent, the drawing options, the graticule and the state the layer drawing
// keeps between vertices. The window owns one; the drawing commands take it by reference.

#include "cartography/Polygon.h"
#include "cartography/core/MapDescription.h"
#include "cartography/core/MapOption.h"
#include "cartography/core/Projection.h"
#include "cartography/core/UtmReadout.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace cartography {

// What Plot keeps from one vertex to the next (for the window's lifetime, not reset by a redraw
// or a new layer).
struct LayerPlotState {
    std::string lastCode;
    int lastStyle = 0;
    float previousX = 0;
    float previousY = 0;
};

struct CartoSession {
    // The loaded map, and whether one is georeferenced (codes 1 to 13 loaded without error).
    MapDescription map;
    bool georeferenced = false;
    ProjectionState projection;
    MapExtent extent;
    UtmConstants utm;

    MapOption Options;

    // The graticule: shown (GridShown) and its step in degrees (the "Maille" prompt's last value).
    bool GridShown = false;
    float gridStep = 0;

    // The layer drawing's state and its two polygon lists, one for the layers' lines and one for
    // the filled symbols.
    LayerPlotState plot;
    Polygon layerPolygon;
    Polygon symbolPolygon;

    // Taken at the window's load step.
    std::int64_t InitialCount = 0;

    // The program folder: where the default map set ("carto") and, with no map folder, the
    // PostScript prologue are found.
    QString programFolder;
};

} // namespace cartography

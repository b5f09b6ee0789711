#pragma once

// Drawing the records of the open document on a region map: one forward read of the positions and
// periods of the rows to show, each drawn as a circle in its period's colour and pattern.

#include "maps/RegionCanvas.h"
#include "maps/RegionSymbols.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <cstdint>
#include <functional>
#include <span>

namespace maps {

// Progress of the drawing: each multiple of 10 from 10 to 100 is passed once, when reached.
using PlotProgress = std::function<void(int percent)>;

struct PlotCount {
    int visited = 0; // records with a latitude and a longitude (the progress counts them)
    int drawn = 0;
};

// Draws the records `bookmarks` of DOVAZOV in `db`. A record without a latitude or a longitude is
// skipped; one at 0/0 or at 999/999 (no position) is counted but not drawn.
PlotCount PlotRecords(RegionCanvas& canvas, const RegionProjection& projection,
                      SQLite::Database& db, std::span<const std::int64_t> bookmarks,
                      const RegionSymbols& symbols, float radiusKm,
                      const PlotProgress& progress = {});

// Whether a position marks "no position" (999 in both fields) or lies exactly at 0/0.
bool DrawnPosition(float lat, float lon);

} // namespace maps

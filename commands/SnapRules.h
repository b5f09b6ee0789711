#pragma once

// The snapping rules of the snapping commands, one per grid: each takes a row's entered position
// and gives its new position in the destination datum, or none when the grid cannot hold it.

#include "commands/SnapWalk.h"

#include <optional>
#include <string>

namespace commands {

// Paris grades: the latitude to the centre of its 0.2 grade cell, the longitude to the nearest
// multiple of 0.4 grade from the Paris meridian (half-way goes up). Degrees in and out.
LatLon SnapToGrades(double lat, double lon);

// Degree cells of `meshLat` by `meshLon` degrees; a mesh of 999 leaves its axis as it is.
SnapRule DegreeCellRule(float meshLat, float meshLon);

// Recompute then Paris-grade cells.
SnapRule GradeRule();

// The square sizes and grids of the adjustment dialog.
inline constexpr int kGridUtm = 0;
inline constexpr int kGridBritish = 1;
inline constexpr int kGridIrish = 2;

// Squares of size `utmAjust` (0 none: recompute only, 1 100 m ... 7 100 km) on grid `gridAjust`.
// A position the grid cannot letter (polar, outside the lettered squares) stays unchanged, as
// does every row for a grid outside 0 to 2.
SnapRule GridSquareRule(int utmAjust, int gridAjust);

// A reference of two prefix characters and ten digits moved to its square of size `utmAjust`;
// none when the digits cannot be completed.
std::optional<std::string> SnappedReference(std::string reference, int utmAjust);

// Whether a batch MGRS conversion of a point (degrees, in the destination datum) may stand for the
// one-point one: the point is not within a hair of a zone's or band's edge, and the batch wrote a
// reference whose easting and northing (metres) are not within a hair of a metre's half, where
// the rounding to the metre turns.
bool MgrsNearEdge(double lat, double lon);
bool SteadyMgrs(const std::string& mgrs, double easting, double northing);

// IFBL squares: the length of code kept (2 block, 4 for 4 km, 6 for 1 km).
SnapRule IfblSquareRule(int codeLength);

// Whether a Lambert 72 point lies on the IFBL grid (west and south edges in, east and north out).
bool OnIfblGrid(double x, double y);

} // namespace commands

#pragma once

// The graticule of the cartography map: parallels and meridians at a step in degrees (in the
// picture's own units on a map without projection), dotted lines on the screen and one mark per
// intersection in an EPS file.

namespace cartography {

struct CartoSession;
class MapCanvas;
class EpsOutput;

// The most intersections a graticule may have; a step too small for the map is refused rather
// than left to run for minutes.
inline constexpr long kMaxGridPoints = 4'000'000;

// `file` null draws on the canvas, and with mode 1 asks the step first (the "Maille" prompt);
// otherwise writes the intersections into the EPS file. A step not above 0 draws nothing. A point
// the projection cannot show is left out: on the screen it breaks the line. A step that would give
// more than kMaxGridPoints intersections raises common::AppError 5 and draws nothing; when it was
// just asked it is not kept.
void DisplayGrid(CartoSession& session, MapCanvas& canvas, EpsOutput* file, int mode);

// The first parallel or meridian for a bound (degrees) and a step: the bound rounded down to a
// whole degree, then down onto the step, one step lower for a value not below 0.
float GridStart(float bound, float step);

} // namespace cartography

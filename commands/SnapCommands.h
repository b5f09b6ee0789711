#pragma once

// The snapping menu's commands over the rows the grid shows.

#include "commands/SnapWalk.h"

#include <optional>
#include <utility>

namespace commands {

// Paris-grade cells, with the wait window.
WalkResult AjusteGrades();

// Grid squares of the stored settings UtmAjust and GridAjust, with the wait window; nothing at
// all when `run` is false (the adjustment dialog was cancelled or closed).
WalkResult AjusteCoor(bool run);

// IFBL squares of the menu item `index` (0 block of 32 x 20 km, 1 4 x 4 km, 2 1 x 1 km), with
// the wait window.
WalkResult AjusteIfbl(int index);

// Degree cells of the sizes given, without a wait window (999 leaves an axis unsnapped).
WalkResult AjusteDegreesCells(float meshLat, float meshLon);

// The two mesh prompts: the latitude and longitude mesh sizes in degrees, or none when an
// answer was 0, empty or cancelled. A size above 90 (latitude) or 180 (longitude) other than 999
// beeps and asks that prompt again.
std::optional<std::pair<float, float>> AskMeshSizes();

} // namespace commands

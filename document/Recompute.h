#pragma once

#include "document/PositionWalk.h"
#include "document/RecordSet.h"

#include <cstdint>

namespace document {

// A mesh size of 999 means that axis is not snapped; 999 for both only recomputes.
inline constexpr float kNoMesh = 999.0F;

// Recomputes LATITUDE and LONGITUDE of every row of Data1's record set (the rows the grid shows)
// from ORIGINAL and DATUM into the destination datum DestIndex, written with five decimals, and
// with a mesh other than 999 moves the value of that axis to the centre of its cell of that many
// degrees. A row whose text gives no position, or whose DATUM is not a loaded datum, keeps its
// values. One transaction; the progress bar moves in steps of 10 %; beeps at the end unless
// Silence; refreshes Data1; marks the document as changed (FileModified) when a row moved. An
// unbound Data1 or an empty record set changes nothing. Error 9 when DestIndex names no loaded
// datum; an arithmetic error of a conversion ends the command with nothing changed.
void AjusteDegres(float ajustLat, float ajustLon);

// The same over the rows of `rows` (the reader's own record set of a file just read), without
// the refresh and the changed flag; runs inside a transaction already open, or in one of its own.
// Returns the number of rows whose position changed.
std::ptrdiff_t AjusteDegresOn(const RecordSet& rows, float ajustLat, float ajustLon);

// The rule of both: the row's position shifted to DestIndex, then moved to the centre of its cell
// on each axis whose mesh is not 999.
PositionRule ShiftAndCellRule(float meshLat, float meshLon);

// The rule of a recompute: ShiftAndCellRule, a position only where neither axis is unknown, and
// a blank DATUM naming no datum.
PositionRule RecomputeRule(float meshLat, float meshLon);

// The centre of the cell of `mesh` degrees that holds `value`: Int(value / mesh) * mesh + mesh / 2,
// with the mesh taken as the decimal it is written with (seven significant digits: a mesh of 0.1
// is 0.1, not the single 0.100000001) and the cell found by CellIndex to 1e-7 degree, so that a
// position on a cell's line (48.3 with a mesh of 0.1) is in the cell that line begins. Error 11 for
// a mesh of 0.
double SnapToCell(double value, float mesh);

// The mesh as SnapToCell takes it: its shortest decimal of seven significant digits.
double MeshAsWritten(float mesh);

// SnapToCell with the mesh already taken as written (MeshAsWritten), for a walk that snaps many
// values to one mesh.
double SnapToWrittenCell(double value, double mesh);

// Int(value / cell), judged on a grid of 1 / scale: a value within half a step of that grid from a
// cell's line is on the line, and a line belongs to the cell it begins. Binary fractions put a
// decimal line such as 48.3 / 0.1 a hair to either side of a whole number; the grid keeps them on
// it. A cell that is not a whole number of grid steps, or a value too large for the grid, is
// divided as it stands. Error 11 for a cell of 0.
double CellIndex(double value, double cell, double scale);

// A position as the table stores it after a recompute: rounded to five decimals, halves away from
// zero, then held in single precision.
float FiveDecimals(double degrees);

} // namespace document

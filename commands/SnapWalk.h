#pragma once

// The walk that the snapping commands share: every row that the grid shows is read once (DATUM
// and ORIGINAL), its entered coordinates are turned into a position in the row's datum, a
// command-specific rule gives the new position in the destination datum, and the rows that move
// are written inside one transaction; a block of rows at a time through the batch conversions
// (document::WalkPositions).

#include "document/PositionWalk.h"
#include "document/RecordSet.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace commands {

using document::LatLon;
using document::RowPosition;

// The new position of a row, in degrees of the destination datum (none leaves the row
// unchanged), in its batch and one-point forms.
using SnapRule = document::PositionRule;

using WalkResult = document::PositionWalkResult;

// A rule of the one-point form only: every row is converted through it.
SnapRule OnePointRule(std::function<std::optional<LatLon>(const RowPosition&)> one);

// Walks `rows` under `rule`. A missing or blank DATUM is read as "WGS84"; a DATUM that names no
// loaded datum skips the row and is counted; a text that gives no position (999 on either axis),
// and a position the rule cannot snap, leave the row as it is and are counted. Progress moves at
// each new multiple of 10 %. With `cancellable` the wait window's Cancel is polled and stops the
// walk with the table left as it was, as any error does.
WalkResult SnapRows(const document::RecordSet& rows, const SnapRule& rule,
                    bool cancellable = false);

// A whole snapping command over the rows Data1 shows: nothing at all for an empty set; otherwise
// the progress bar, the wait window with `waitText` when it is not empty (then with a Cancel),
// the walk, a beep unless Silence, the document marked as changed (FileModified) when a row
// moved, Data1 refreshed, and one message giving the counts of rows whose datum is unknown and of
// rows left unsnapped, when there are any.
WalkResult RunSnapCommand(const SnapRule& rule, const QString& waitText);

// The lines of that message.
QString UnknownDatumMessage(std::ptrdiff_t count);
QString UnsnappedMessage(std::ptrdiff_t count);

// The index of grid datum `which` (geodesy::GridDatum); an error naming the datum when the
// datum table does not hold it.
std::int16_t RequireGridDatum(int which);

} // namespace commands

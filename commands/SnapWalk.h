#pragma once

// The walk that the snapping commands share: every row that the grid shows is read once (DATUM
// and ORIGINAL), its entered coordinates are turned into a position in the row's datum, a
// command-specific rule gives the new position in the destination datum, and the changed rows are
// written with one prepared statement inside one transaction.

#include "document/RecordSet.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace commands {

// A row's entered position, as the walk hands it to a snapping rule.
struct RowPosition {
    std::int16_t datum = 0; // index of the row's datum
    std::string text;       // ORIGINAL trimmed and upper-cased
    std::string system;     // the three-letter system code of the text ("MGR")
    double lat = 0.0;       // in the row's datum, degrees
    double lon = 0.0;
};

struct LatLon {
    double lat = 0.0;
    double lon = 0.0;
};

// The new position of a row, in degrees of the destination datum; none leaves the row unchanged.
using SnapRule = std::function<std::optional<LatLon>(const RowPosition&)>;

struct WalkResult {
    std::ptrdiff_t rows = 0;          // rows visited
    std::ptrdiff_t written = 0;       // rows given a new position
    std::ptrdiff_t unknownDatums = 0; // rows skipped because DATUM names no loaded datum
    bool cancelled = false;           // the user stopped the walk: nothing was kept
};

// Walks `rows` under `rule`. A missing or blank DATUM is read as "WGS84"; a DATUM that names no
// loaded datum skips the row and is counted; a text that gives no position (999 on either axis)
// leaves the row as it is. Progress moves at each new multiple of 10 %. With `cancellable` the
// wait window's Cancel is polled and stops the walk with the table left as it was, as any error
// does.
WalkResult SnapRows(const document::RecordSet& rows, const SnapRule& rule,
                    bool cancellable = false);

// A whole snapping command over the rows Data1 shows: nothing at all for an empty set; otherwise
// the progress bar, the wait window with `waitText` when it is not empty (then with a Cancel),
// the walk, a beep unless Silence, Data1 refreshed, and one message giving the count of rows
// whose datum is unknown.
WalkResult RunSnapCommand(const SnapRule& rule, const QString& waitText);

// The text of that message.
QString UnknownDatumMessage(std::ptrdiff_t count);

// The index of grid datum `which` (geodesy::GridDatum); an error naming the datum when the
// datum table does not hold it.
std::int16_t RequireGridDatum(int which);

} // namespace commands

#pragma once

#include "editor/EditorState.h"

namespace editor {

// Leaving input box `index` after an edit (the changed flag set): the box's text is upper-cased
// and its blanks removed; leaving box 2 also converts the boxes of the current input system with
// the entry datum InputDatum into latitude and longitude, shifts them to the destination datum,
// writes them into the latitude and longitude fields and refreshes the check panel. Boxes that
// give no position (a blank value, a zero plane coordinate) stop silently; a reference that names
// no MGRS square, grid square or IFBL square is refused with a message and leaves the fields as
// they were. Errors of the conversions are shown in the error box.
void EditBox_LostFocus(EditorState& state, int index);

// How a grid-reference or MGRS entry ended.
enum class EntryResult {
    Incomplete, // a box was empty: nothing written
    Refused,    // the reference names no square: the user was told, nothing written
    Written,    // the fields hold the position in the destination datum
};

// The lettered reference of boxes 1 and 2, British (`type` 1) or Irish (0), into the fields.
EntryResult GrilleEnLatLong(EditorState& state, int type);
// The MGRS reference of boxes 0 to 2 into the fields, on the current ellipsoid.
EntryResult MgrsEnLatLong(EditorState& state);

// The message that refuses the entry of boxes 0 to 2 in the current input system when it cannot be
// converted (an MGRS, grid or IFBL reference that names no square); empty when box 2 is blank, the
// entry is incomplete or converts, and for the systems that read any text. The entry datum's
// ellipsoid becomes the current one.
QString EntryProblem(const EditorState& state);

// Degrees, minutes and seconds added into degrees, in single precision.
float DmsEnDegres(double degrees, double minutes, double seconds);

// Why an IFBL code names no square; empty when it names one. The code is a row letter A to M
// without I, a column digit, then optionally the row (1 to 5) and column (1 to 8) of a 4 km
// square, then optionally the two quarter digits (1 to 4) of a 1 km square.
QString IfblCodeProblem(const QString& code);

} // namespace editor

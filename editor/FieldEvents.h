#pragma once

#include "editor/EditorState.h"

namespace editor {

// Leaving the date box: when it holds a date, the period box receives the period of the date's
// year under the document's period scheme (the digits before the first "/" or "_"; 0 when the
// year has no digit). An empty date box, or a scheme of another number of periods, leaves the
// period box as it was.
void DerivePeriod(EditorState& state);

// Leaving the longitude: the check panel is refreshed; with a grid-snapping size chosen and MGRS
// being entered, the MGRS reference of the input boxes is converted again. Errors are shown in the
// error box.
void ChampLongitude_LostFocus(EditorState& state);

} // namespace editor

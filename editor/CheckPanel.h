#pragma once

#include "editor/EditorState.h"

namespace editor {

// Rewrites the latitude and longitude fields in their final form (a sign and at most seven
// significant digits) and shows their position again in the check panel: degrees, minutes and
// seconds in the destination datum, UTM and MGRS in the UTM datum of the settings, and the
// position in the current input system (Paris grades, a grid reference or plane metres).
// Errors of the shifts and converters go to the caller; the labels not yet written keep their
// texts. The ellipsoid of the UTM datum is the current one afterwards.
void ControleRecalcul(EditorState& state);

// ControleRecalcul for the callers that have no error handling of their own (loading the window,
// stepping to a row, leaving the longitude): an error is shown in the error box and the editor
// goes on.
void ControleRecalculGuarded(EditorState& state);

// The degrees, minutes and seconds text of one angle: 50° 30' 00.0'', -4° 21' 00.0''.
QString DmsText(double degrees);

} // namespace editor

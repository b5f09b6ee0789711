#pragma once

#include "editor/EditorHost.h"
#include "editor/EditorState.h"

namespace editor {

// The user chose entry `index` of the system list: outside the window's load, it becomes the input
// system and the input frame is laid out for it (boxes emptied, the system's default datum).
void cmbSystem_Click(EditorState& state, int index);

// The datum button: shows the datum chooser on the current datum; a datum chosen there becomes the
// datum of the entered coordinates (refused for UTM and MGRS when its usage level is below 2),
// marks the row changed, and the boxes are converted again with it. Errors are shown in the error
// box.
void cmdChangeDatum_Click(EditorState& state, EditorHost& host);

} // namespace editor

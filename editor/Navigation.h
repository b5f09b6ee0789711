#pragma once

#include "editor/EditorHost.h"
#include "editor/EditorState.h"

namespace editor {

// The row commands of the record editor. Each command that leaves the shown row saves it first
// and goes on only when the save passed.

// Save: on success the changed flag is cleared and the save button disabled.
void ButOk_Click(EditorState& state, EditorHost& host);

// Step to the next (0) or previous (1) row of the record set, beeping (whatever Silence says) and
// staying at the last or first row when there is none further; then show the row and refresh the
// check panel. Does nothing in an empty record set.
void cmdNavig_Click(EditorState& state, EditorHost& host, int index);

// Close: with a change waiting, asks whether to save it (Yes, No, Cancel). True when the window
// may close: after No, or after Yes with a save that passed, or with nothing to save.
bool ButEsc_Click(EditorState& state, EditorHost& host);

// Appends a row holding only its Counter to the record set (the document is then changed), makes
// it current and shows it; the shown row's unsaved changes are dropped.
void ButNew_Click(EditorState& state, EditorHost& host);

// Appends a copy of the current row's stored fields to the record set (the document is then
// changed), makes the copy current and saves the editor's fields (with their unsaved changes) into
// it. The copy is always its own new row, whatever filter or sort the record set follows; the
// source row keeps its stored values.
void ButDupl_Click(EditorState& state, EditorHost& host);

} // namespace editor

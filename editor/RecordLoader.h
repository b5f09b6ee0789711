#pragma once

#include "editor/EditorHost.h"
#include "editor/EditorState.h"

namespace editor {

// The free-field grid laid out for the document's free fields: one row per definition, its label
// without trailing blanks and an empty value.
void CfgFreeFields(EditorState& state);

// Shows the current row of the host's record set: the plain fields, the date through its mask,
// the datum (a code the datum table does not hold is reported and replaced by WGS84), the input
// system and its boxes from ORIGINAL, the free fields and the free text from COMMENT, and the
// row's position. An ORIGINAL of no known system shows like an empty one, so no box keeps the
// values of the row shown before. Sets InputMode and InputDatum; clears the changed flag. Outside
// the window's load, the save button is enabled when a field now shows another text than before.
void RempliDessus(EditorState& state, EditorHost& host);

} // namespace editor

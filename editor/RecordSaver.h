#pragma once

#include "editor/EditorHost.h"
#include "editor/EditorState.h"

#include <QString>

namespace editor {

// The outcome of a save: 0 the row was written (or nothing had changed), -1 a check refused the
// fields, any other value the number of the error that stopped the write.
inline constexpr int kSaveRefused = -1;

// Whether the date box's month is 0 to 12 and its day at most 31 ("_" counts as no digit). The
// year is not checked, nor whether the day exists in the month.
bool DateIsValid(const QString& dateBox);

// The DATE the editor writes: the date box's text, or "" when no digit was given.
QString DateToStore(const QString& dateBox);

// The ORIGINAL the editor writes from the input boxes: the system code and the boxes the system
// uses, separated by single blanks.
QString OriginalFromBoxes(const EditorState& state);

// Checks the fields and writes them into the current row of the host's record set, when a field
// was changed since the last load or save. The period first follows a date that the date box
// holds. Refusals, each with its message (beeping unless Silence) and the focus on its field, in
// this order: the date, the period (1 to the number of periods), the latitude (-90 to 90), the
// longitude (-180 to 180), the counts (32-bit), a free-field value holding the free-field
// separator, an entry of the input boxes that cannot be converted (EntryProblem; its message is
// not shown twice when the leave of box 2 in the same action showed it). DATUM and ORIGINAL are
// written only when box 2 holds a value. A row written marks the document as changed
// (FileModified). A write that fails shows the error box. The changed flag stays set until the row
// is written, so that a refused or failed save keeps the user's edits for the next try.
int SauveEcran(EditorState& state, EditorHost& host);

} // namespace editor

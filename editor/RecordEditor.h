#pragma once

#include "editor/EditorHost.h"
#include "editor/EditorState.h"

namespace editor {

// The record editor without its window: the state it shows and the handlers of its controls, on
// the main window's record set through `host`. The window EditForm calls these handlers and shows
// the state; tests and benchmarks call them directly.
class RecordEditor {
public:
    explicit RecordEditor(EditorHost& host) : host_(host) {}

    EditorState& state() { return state_; }
    const EditorState& state() const { return state_; }
    EditorHost& host() { return host_; }

    // The load step's own work: the free-field rows, the current row, the check panel. The window
    // is loading meanwhile (no change counts); afterwards the save button is disabled and the
    // changed flag clear.
    void Form_Load();

    // The user typed: the control now holds `text`.
    void Edit(Control control, const QString& text) { state_.setText(control, text); }
    // The free-field cell editor's text changed.
    void CellEditorChanged() { state_.markChanged(); }

    // Leaving a field.
    void EditBox_GotFocus() { state_.FrameInputHighlighted = true; }
    void EditBox_LostFocus(int index);
    void ChampAnnee_LostFocus();
    void ChampLongitude_LostFocus();

    void cmbSystem_Click(int index);
    void cmdChangeDatum_Click();
    void cmdSearch_Click();

    void ButOk_Click();
    void cmdNavig_Click(int index);
    // True when the window may close.
    bool ButEsc_Click();
    void ButNew_Click();
    void ButDupl_Click();

    // The field that gets the focus when the window opens, from the main grid's current column;
    // for the coordinate columns an input box of the current input system, whose box 1 is then
    // shown.
    Control OpeningFocus();

private:
    EditorHost& host_;
    EditorState state_;
};

} // namespace editor

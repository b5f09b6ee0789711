#include "editor/Navigation.h"

#include "document/DocumentState.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "editor/CheckPanel.h"
#include "editor/RecordLoader.h"
#include "editor/RecordSaver.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <cstdint>

namespace editor {

namespace {

// The record set when it has a current row; nullptr otherwise.
document::RecordSet* WithCurrentRow(EditorHost& host) {
    document::RecordSet* records = host.records();
    if (records == nullptr || records->recordCount() == 0 || records->bof() || records->eof()) {
        return nullptr;
    }
    return records;
}

// The appended row `counter` becomes the current row. It was added to the end of the record
// set's list, which every cursor on it shares, so it is current even when the set's query (a
// selection, a sort) would not place it there.
void MakeCurrent(EditorHost& host, document::RecordSet& records, std::int64_t counter) {
    records.moveLast();
    if (records.bookmark() != counter) {
        records.setBookmark(counter);
    }
    host.rowsAdded();
}

} // namespace

void ButOk_Click(EditorState& state, EditorHost& host) {
    if (SauveEcran(state, host) == 0) {
        state.changed = false;
        state.ButOkEnabled = false;
    }
}

void cmdNavig_Click(EditorState& state, EditorHost& host, int index) {
    if (SauveEcran(state, host) != 0) {
        return;
    }
    document::RecordSet* records = WithCurrentRow(host);
    if (records == nullptr) {
        return;
    }
    if (index == 0) {
        records->moveNext();
        if (records->eof()) {
            records->moveLast();
            platform::Beep();
        }
    } else {
        records->movePrevious();
        if (records->bof()) {
            records->moveFirst();
            platform::Beep();
        }
    }
    host.showCurrentRow();
    RempliDessus(state, host);
    ControleRecalculGuarded(state);
    state.changed = false;
}

bool ButEsc_Click(EditorState& state, EditorHost& host) {
    if (!state.changed) {
        return true;
    }
    switch (platform::MsgBox(platform::ResText(814), platform::Buttons::YesNoCancel,
                             platform::Icon::Question)) {
    case platform::Answer::Yes:
        return SauveEcran(state, host) == 0;
    case platform::Answer::No:
        return true;
    default:
        return false;
    }
}

void ButNew_Click(EditorState& state, EditorHost& host) {
    document::RecordSet* records = host.records();
    if (records == nullptr) {
        return;
    }
    const std::int64_t counter = records->clone().addNew(document::Record{});
    document::Document().FileModified = -1;
    MakeCurrent(host, *records, counter);
    state.changed = true;
    state.ButOkEnabled = true;
    RempliDessus(state, host);
}

void ButDupl_Click(EditorState& state, EditorHost& host) {
    document::RecordSet* records = WithCurrentRow(host);
    if (records == nullptr) {
        return;
    }
    document::RecordSet source = records->clone();
    source.setBookmark(records->bookmark());
    const std::int64_t copy = records->clone().addNew(source.current());
    document::Document().FileModified = -1;
    MakeCurrent(host, *records, copy);
    state.changed = true;
    state.ButOkEnabled = true;
    state.lblCpt = QString::number(records->absolutePosition() + 1);
    SauveEcran(state, host);
}

} // namespace editor

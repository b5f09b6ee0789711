#include "editor/RecordEditor.h"

#include "editor/CheckPanel.h"
#include "editor/DatumChoice.h"
#include "editor/EntryConversion.h"
#include "editor/FieldEvents.h"
#include "editor/Navigation.h"
#include "editor/PlaceTakeOver.h"
#include "editor/RecordLoader.h"
#include "geodesy/CoordinateText.h"
#include "platform/ProgramSettings.h"

namespace editor {

void RecordEditor::Form_Load() {
    state_.OnLoad = true;
    state_.ButOkEnabled = false;
    CfgFreeFields(state_);
    RempliDessus(state_, host_);
    ControleRecalculGuarded(state_);
    state_.changed = false;
    state_.OnLoad = false;
}

void RecordEditor::EditBox_LostFocus(int index) {
    editor::EditBox_LostFocus(state_, index);
}

void RecordEditor::ChampAnnee_LostFocus() {
    DerivePeriod(state_);
}

void RecordEditor::ChampLongitude_LostFocus() {
    editor::ChampLongitude_LostFocus(state_);
}

void RecordEditor::cmbSystem_Click(int index) {
    editor::cmbSystem_Click(state_, index);
}

void RecordEditor::cmdChangeDatum_Click() {
    editor::cmdChangeDatum_Click(state_, host_);
}

void RecordEditor::cmdSearch_Click() {
    editor::cmdSearch_Click(state_, host_);
}

void RecordEditor::ButOk_Click() {
    editor::ButOk_Click(state_, host_);
}

void RecordEditor::cmdNavig_Click(int index) {
    editor::cmdNavig_Click(state_, host_, index);
}

bool RecordEditor::ButEsc_Click() {
    return editor::ButEsc_Click(state_, host_);
}

void RecordEditor::ButNew_Click() {
    editor::ButNew_Click(state_, host_);
}

void RecordEditor::ButDupl_Click() {
    editor::ButDupl_Click(state_, host_);
}

Control RecordEditor::OpeningFocus() {
    switch (host_.currentColumn()) {
    case 0:
        return Control::ChampPeriode;
    case 3:
        return Control::ChampCh1;
    case 4:
        return Control::ChampCh2;
    case 5:
        return Control::ChampSex;
    case 8:
        return Control::ChampAnnee;
    case 9:
        return Control::ChampLibre;
    default:
        break;
    }
    switch (static_cast<geodesy::CoordSystem>(platform::Settings().InputMode)) {
    case geodesy::CoordSystem::Ifb:
        return Control::EditBox2;
    case geodesy::CoordSystem::Utm:
    case geodesy::CoordSystem::Mgr:
        return Control::EditBox0;
    default:
        state_.EditBox[1].visible = true;
        state_.LblEditBox[1].visible = true;
        return Control::EditBox1;
    }
}

} // namespace editor

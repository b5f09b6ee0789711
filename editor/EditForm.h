#pragma once

#include "editor/EditorHost.h"
#include "editor/EditorState.h"
#include "editor/RecordEditor.h"

#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace editor {

class TypingLimit;

// The record editor window: one row of the main window's record set at a time, its coordinates
// entered in any of the sixteen input systems. It is made for one showing and destroyed after it.
// The logic lives in RecordEditor; this window binds it to widgets: it shows the editor's state
// after every handler and hands what the user types back to it.
class EditForm : public QDialog {
    Q_OBJECT

public:
    explicit EditForm(EditorHost& host, QWidget* parent = nullptr);
    ~EditForm() override;

    RecordEditor& logic() { return editor_; }
    bool OnLoad() const { return editor_.state().OnLoad; }

    // Handlers of the buttons and the system list.
    void ButOk_Click();
    void cmdNavig_Click(int index);
    void ButEsc_Click();
    void ButNew_Click();
    void ButDupl_Click();
    void cmdSearch_Click();
    void cmdChangeDatum_Click();
    void cmbSystem_Click(int index);

    // Record fields.
    QGroupBox* Frame3D1 = nullptr;
    QLineEdit* ChampLatitude = nullptr;
    QLineEdit* ChampLongitude = nullptr;
    QLineEdit* ChampPeriode = nullptr;
    QLineEdit* ChampCh1 = nullptr;
    QLineEdit* ChampCh2 = nullptr;
    QLineEdit* ChampSex = nullptr;
    QLineEdit* ChampAnnee = nullptr; // masked "####/##/##"
    QPlainTextEdit* ChampLibre = nullptr;
    std::array<QLabel*, 9> Label{}; // Label1 .. Label8 at their numbers; [0] unused

    // Input frame.
    QGroupBox* FrameInput = nullptr;
    QLabel* FrameInputCaption = nullptr;
    std::array<QLineEdit*, 3> EditBox{};
    std::array<QLabel*, 3> LblEditBox{};
    QLabel* lblDatum = nullptr;
    QPushButton* cmdChangeDatum = nullptr;
    QComboBox* cmbSystem = nullptr;

    // Check panel.
    QGroupBox* Frame3D2 = nullptr;
    QLabel* LabelDMS = nullptr;
    QLabel* LabelUtmMetrique = nullptr;
    QLabel* LabelUtmAlpha = nullptr;
    QLabel* LabelLibre = nullptr;
    QLabel* ValeurDMS = nullptr;
    QLabel* ValeurUtmMetrique = nullptr;
    QLabel* ValeurUtmAlpha = nullptr;
    QLabel* ValeurLibre = nullptr;

    // Free fields: column 0 the labels, column 1 the values; txtEdit is the cell editor.
    QGroupBox* FrameFree = nullptr;
    QTableWidget* Grid = nullptr;
    QLineEdit* txtEdit = nullptr;

    QPushButton* ButOk = nullptr;
    QPushButton* ButEsc = nullptr;
    std::array<QPushButton*, 2> cmdNavig{}; // 0 next row, 1 previous row
    QPushButton* ButNew = nullptr;
    QPushButton* ButDupl = nullptr;
    QPushButton* cmdSearch = nullptr;
    QLabel* lblCpt = nullptr;

    // The widget of a text control.
    QWidget* widgetOf(Control control) const;

    // The free-field cell editor, as the grid's keys and notifications use it: opens an edit of the
    // current value cell (keyAscii -1 selects the text, 0 to 32 keeps it with the caret at its
    // end, any other character replaces it), and commits an open edit into the cell.
    void MSHFlexGridEdit(int keyAscii);
    void CommitCellEdit();

    // Escape: as the close button.
    void reject() override;
    // Every closing stores the window's height and top.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void setCaptionsAndColours();
    void placeWindow();
    // Runs a handler, then shows the editor's state and moves the focus where it asked.
    void Handle(const std::function<void()>& handler);
    void ShowState();
    void ApplyFocusRequest();
    // What leaving `widget` does (a conversion, the period, the check panel); nothing for others.
    void RunLostFocus(QWidget* widget);
    // A save from a button or a shortcut: the focused field's leaving work runs first and an open
    // cell edit is committed, as when the focus leaves them.
    void LeaveFocusedField();
    void EditKeyCode(int key);
    void SetHighlight(QWidget* label, bool on);
    QWidget* labelOf(QWidget* field) const;
    int controlIndex(QWidget* widget) const;

    RecordEditor editor_;
    std::array<TypingLimit*, 3> boxLimits_{}; // what the user may type into each input box
    bool syncing_ = false;                    // the window writes the state into its widgets
    bool focusPlaced_ = false;                // the opening focus was given
    bool closing_ = false;                    // the window is closing without asking
};

// Shows the record editor modally on the host's current row; the window exists for this showing
// only, so that every opening runs its load step again.
void ShowEditForm(EditorHost& host, QWidget* parent);

} // namespace editor

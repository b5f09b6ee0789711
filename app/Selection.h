#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace app {

// What the main window lends the selection dialog.
struct SelectionHooks {
    // Shows or hides the main window's "SELECTION!" label (lbl1).
    std::function<void(bool visible)> showSelectionLabel;
    // Data1 ran its record source again: the grid shows it anew.
    std::function<void()> dataRefreshed;
};

// The advanced selection: all records, or the records that meet a condition typed in the query
// language. The main window keeps one for the whole run and shows it modally: apply and cancel
// only hide it, so it keeps the option and the condition for the next opening; its close box
// starts it afresh (all records, empty condition).
class Selection : public QDialog {
    Q_OBJECT

public:
    explicit Selection(SelectionHooks hooks, QWidget* parent = nullptr);

    // 0 applies the choice to Data1, 1 cancels; both hide the dialog, but for a choice refused
    // with a message, which leaves the dialog open with its condition.
    void CmdSelect_Click(int index);
    // Any change of the condition selects the condition option.
    void TxtSelect_Change();

    std::array<QRadioButton*, 2> OptSelect{}; // 0 all records, 1 the condition
    QLineEdit* TxtSelect = nullptr;
    std::array<QPushButton*, 2> CmdSelect{}; // 0 Ok, 1 Annule

    // Escape: as the cancel button.
    void reject() override;

protected:
    // The close box: no change, and the dialog starts afresh at its next opening.
    void closeEvent(QCloseEvent* event) override;

private:
    void startAfresh();

    SelectionHooks hooks_;
};

} // namespace app

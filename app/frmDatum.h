#pragma once

#include <QDialog>
#include <QString>
#include <array>

class QPushButton;
class QTreeWidget;

namespace app {

// The datum chooser: every loaded datum in a list with its code, name, area of use, ellipsoid and
// shifts. It is filled once at start-up (RempliListesDatums) and then only shown and hidden, so
// the list keeps its sort and selection between uses. A caller preselects a code, shows it
// modally and reads `Code` (RunDatumChooser).
class frmDatum : public QDialog {
    Q_OBJECT

public:
    explicit frmDatum(QWidget* parent = nullptr);

    // The result of the last use: the code of the chosen row (five characters, blank-filled)
    // after OK, "" after Close or Escape; the close box leaves it as it was.
    QString Code;

    QTreeWidget* ListView1 = nullptr;
    std::array<QPushButton*, 2> cmdDatum{}; // 0 OK, 1 Close

    // OK (0): Code := the selected row's code, or "" when no row is selected. Close (1): Code :=
    // "". Both hide the window, which ends a modal show.
    void cmdDatum_Click(int index);
    // Sorts by the column clicked, reversing the direction of the previous sort.
    void ListView1_ColumnClick(int column);
    // Lays the list and the buttons out when the inner size is at least 4000 by 4000 twips.
    void Form_Resize();

    // Selects and shows the first row, in the present order, whose trimmed code equals the
    // trimmed `code`; the selection stays as it was when none does.
    void Preselect(const QString& code);

    // Escape: as the Close button.
    void reject() override;

protected:
    // The close box hides the window without changing Code; the window stays loaded.
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

// Fills the chooser's list with one row per loaded datum, in table order.
void RempliListesDatums(frmDatum& window);

// The callers' show: preselects `currentCode`, shows the chooser modally and returns its Code.
QString RunDatumChooser(frmDatum& window, const QString& currentCode);

// What a caller does with the Code the chooser returned.
struct DatumChoice {
    enum class Outcome {
        Unchanged, // empty Code: nothing changes
        NotFound,  // no loaded datum has that code
        Refused,   // not allowed for UTM and MGRS coordinates (string 807)
        Accepted,
    };
    Outcome outcome = Outcome::Unchanged;
    int index = 0; // the datum's index in the datum table, for Refused and Accepted
    QString code;  // its five-character code
};

// Whether an input system (InputMode) is UTM or MGRS, whose datums need usage level 2 or more.
bool IsUtmOrMgrs(int inputMode);

// Checks the Code returned against the datum table: the first datum whose five-character code
// equals it exactly; refused when `utmOrMgrs` and its usage level is below 2. The callers that
// choose degree datums pass false and accept every loaded datum.
DatumChoice CheckDatumChoice(const QString& code, bool utmOrMgrs);

} // namespace app

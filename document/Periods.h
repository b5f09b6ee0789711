#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace document {

// The period scheme of a document: the number of periods less one (0, 1 or 2) and the pivot years
// (the first year of period 2, the first year of period 3). Pivot years the scheme does not use
// keep whatever value they had.
struct PeriodScheme {
    std::int16_t PeriodOption = 0;
    std::int16_t PivotYear1 = 0;
    std::int16_t PivotYear2 = 0;
    bool operator==(const PeriodScheme&) const = default;
};

// The document's scheme (PeriodOption, PivotYear1, PivotYear2 of the document state), and setting
// all three together.
PeriodScheme CurrentPeriodScheme();
void InstallPeriodScheme(const PeriodScheme& scheme);

// The period of a year under a scheme: one period gives 1; two give 1 before PivotYear1, else 2;
// three give 1 before PivotYear1, else 2 before PivotYear2, else 3. A pivot year belongs to the
// later period, and the pivots are taken as they are, also when PivotYear2 is not above
// PivotYear1 (then no year gives 2). Only the whole part of a year with a fraction decides.
// Nothing for a PeriodOption other than 0, 1 or 2: the caller leaves its period as it was.
std::optional<std::int16_t> PeriodFromYear(double year, const PeriodScheme& scheme);
// The same under the document's scheme.
std::optional<std::int16_t> PeriodFromYear(double year);

// A year typed or read from a text: the number the text begins with (blanks and tabs skipped, no
// number gives 0), taken to the nearest whole number, halves to the even neighbour. Nothing when
// that lies outside the 16-bit range.
std::optional<std::int16_t> YearFromText(const QString& text);

// The period dialog, without its window.

// What the dialog shows when it opens: the option of the stored scheme and its pivot years as
// decimal digits (only the boxes of that option are written; the others stay empty).
struct PeriodDialogBoxes {
    int option = 0; // the selected OptionPivot
    QString TxtPivot1;
    QString TxtPivot21;
    QString TxtPivot22;
};
PeriodDialogBoxes PeriodDialogFill();

// The control that gets the focus when OK does not close the dialog.
enum class PeriodFocus { None, OptionPivot, TxtPivot1, TxtPivot21, TxtPivot22 };

struct PeriodOkResult {
    bool accepted = false; // the dialog closes with the new scheme stored
    PeriodFocus focus = PeriodFocus::None;
    int reselectOption = -1; // the option button to select again, -1 to keep the choice
};

// OK of the period dialog with the option `chosen` (0, 1 or 2) and the texts of the boxes. Asks
// through platform::MsgBox (beeping unless Silence): a missing pivot year and a pivot year outside
// the 16-bit range are refused; lowering the number of periods outside New (NewDocument 0) asks
// first and, on OK, rewrites PERIOD over the whole working table (one period: every PERIOD 1; from
// three to two: 3 becomes 2), setting FileModified. On acceptance the scheme is stored.
PeriodOkResult PeriodDialogOk(int chosen, const PeriodDialogBoxes& boxes);

} // namespace document

#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace geodesy {
struct DatumRec;
}

namespace app {

// What the preferences dialog does, apart from its controls.

// A datum list item: the five-character code, " - ", the name.
QString DatumListItem(const geodesy::DatumRec& datum);
// The spherical datum text: the five-character code, " - ", the name, " (", the area of use, ")".
QString SphericalDatumText(const geodesy::DatumRec& datum);

// The items of the destination list (datums whose usage level is exactly 4) and of the UTM list
// (level 2 or more), in table order.
QStringList DestinationDatumItems();
QStringList UtmDatumItems();

// The position of the first item whose code (its first five characters) equals `code` once both
// are trimmed, so that a code read from a file without its filling blanks finds its entry; -1
// when none does.
int FindDatumItem(const QStringList& items, const QString& code);

// The spherical datum text of the datum at `index`; "" for an index outside the table.
QString SphericalDatumTextAt(int index);
// The spherical datum text of the first datum whose five-character code equals the code the
// datum chooser returned; "" when the code is empty or not loaded (the label then stays).
QString SphericalDatumTextFor(const QString& chooserCode);

// The interval box as OK corrects it: "5" when its leading number is below 1 (or it has none),
// "100" when above 100, else unchanged.
QString CorrectedSaveIntervalText(const QString& text);
// The interval a corrected box stores: its leading number, rounded halves to even ("12abc" is 12).
int SaveIntervalOf(const QString& text);

// The preferences as the dialog's controls hold them when OK is pressed.
struct PreferFields {
    int inputMode = 0;       // Combo2's position
    QString labelNumeric1;   // ChampNumerique(0)
    QString labelNumeric2;   // ChampNumerique(1)
    int silence = 0;         // OptSilence, 0 or 1
    QString separator;       // TxtSepar
    int autoSave = 0;        // ChkAutoSave, 0 or 1
    QString saveInterval;    // txtSaveInterval
    QString destinationItem; // cmbDatum's selected item, "" when none is selected
    QString utmItem;         // cmbDatumUTM's selected item, "" when none is selected
    QString sphericalText;   // lblDatumOrig
};

// What the main window lends the dialog's OK.
struct PreferOkContext {
    int initialDestIndex = 0; // DestIndex when the dialog was loaded
    bool gridShown = false;   // a document has been created or opened
};

struct PreferOkResult {
    bool close = false;      // false: the user cancelled the datum question, nothing stored
    bool recomputed = false; // every position was recomputed into the new destination datum
};

// OK of the preferences. Corrects `fields.saveInterval` in place; when the destination datum
// chosen differs from the initial one and the grid is shown, asks strings 804 and 805 (OK,
// Cancel): Cancel stores nothing; OK sets FileModified. Then stores every setting into its
// variable, writes the datum codes to "ZEB"/"Datum", and after a confirmed change recomputes the
// positions of every record of the working table, whatever selection the grid shows, and runs
// Data1 again. A list without a selection keeps its current code. The recompute's errors reach
// the caller once the settings are stored.
PreferOkResult PreferOk(PreferFields& fields, const PreferOkContext& context);

// Recomputes LATITUDE and LONGITUDE of every record of DOVAZOV into DestIndex (no snapping), in
// one transaction, then runs Data1 again when it is bound.
void RecomputeWholeTable();

// The working folder button: opens the folder chooser on `workingDir`; a folder other than it is
// written to "DOVAzov"/"Config"/"WorkingDir" and announced as taking effect at the next start.
// Returns the folder to show, "" when nothing changed.
QString ChooseWorkingFolder(QWidget* owner, const QString& workingDir);

} // namespace app

#pragma once

// The export menu commands of the main window: the options dialog, the choice of the file, the
// replace question, then the writer of the chosen format.

#include "exchange/ExportTable.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace document {
class RecordSet;
}

namespace exchange {

// Asks for the file of an export: the save dialog with `filter` and an empty file name; `check`
// (when given) refuses a path by throwing, before anything is asked or replaced; when any of the
// files `filesOf` names exists, the replace question (Yes goes on, No shows the dialog again,
// Cancel ends). Empty when the user cancelled.
QString ChooseExportFile(const QString& filter,
                         const std::function<QStringList(const QString&)>& filesOf,
                         const std::function<void(const QString&)>& check = {});

// The text export of `records` in layout `mode` (0 fixed, 1 comma, 2 tab, 3 blank), after the
// options were confirmed: asks for the file and writes it.
void ExportText(int mode, const document::RecordSet& records, const ExportChoice& choice);
// The database export of `records` to the target of menu entry `index`, after the options were
// confirmed; `memo` goes into the Memo column of every row.
void ExportDatabase(ExportTarget target, const document::RecordSet& records,
                    const ExportChoice& choice, const QString& memo);

// The menu handlers: the record set shown in the grid, the options dialog, then the export.
void MnuExpAsciiMode_Click(QWidget* parent, int index);
void MnuExpDB_Click(QWidget* parent, int index, const QString& title, const QString& comment);

// The caption of the first database entry: the table's "MS-Access" caption naming SQLite, which
// is what that entry writes.
QString SqliteCaption(const QString& accessCaption);

} // namespace exchange

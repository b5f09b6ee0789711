#pragma once

#include <QString>
#include <functional>

namespace document {

// What File > New needs of the main window. Every hook may be left empty (tests, or a window that
// has nothing to do at that step).
struct NewDocumentHooks {
    // The save question: returns 1 to stop New with the document as it was (Cancel, or a save
    // asked for that wrote nothing), 0 to go on.
    std::function<int()> checkSauvegarde;
    // Sets the window caption ("DOVazov" for the new document).
    std::function<void(const QString&)> setCaption;
    // Fits the grid to the window and shows it.
    std::function<void()> dimensionneGrille;
    // Empties the title box and shows it with its label and the comment box and its label; the
    // comment keeps its text.
    std::function<void()> showDocumentBoxes;
    // Shows the period dialog modally.
    std::function<void()> showPeriodDialog;
    // Enables the document menus.
    std::function<void()> activeMenus;
    // The folder that may hold "standard.hdr"; the program's folder when empty.
    QString programFolder;
};

// File > New: replaces the open document by an empty one of `lines` blank records, asking for the
// number when `lines` is 0 (string 601, default "10"; a negative answer is asked again). Cancel,
// an empty answer, a text without a number or a number that gives no record, or above 32767, stop
// before anything changes, and so does a save question that says stop. The free fields come from
// "standard.hdr" when the user wants it, else the built-in set; the period dialog is shown with
// NewDocument set. New ends with CurrentFile empty, Data1 on the table itself at its last record,
// and FileModified cleared. Returns true when the document was replaced.
bool CreationNouveau(int lines, const NewDocumentHooks& hooks);

} // namespace document

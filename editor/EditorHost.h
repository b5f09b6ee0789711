#pragma once

#include <QString>
#include <QVariant>

namespace document {
class RecordSet;
}

namespace editor {

class PlaceSearch;

// What the record editor uses of the main window: its data control's record set, whose current
// row is the grid's current row, the texts its grid shows, the grid's current column, the datum
// chooser and the place search. The main window provides it; tests and benchmarks provide their
// own over the working table.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    // The record set of the main window's data control; nullptr while it shows no document.
    virtual document::RecordSet* records() = 0;
    // The text the main grid shows in a cell holding `value` (LATITUDE and LONGITUDE are loaded
    // as the user sees them there).
    virtual QString gridText(const QVariant& value) const = 0;
    // The main grid's current column (0 PERIOD .. 9 COMMENT); -1 without one.
    virtual int currentColumn() const = 0;

    // The record set's current row moved: the grid's current row follows it.
    virtual void showCurrentRow() = 0;
    // The current row was written: the grid shows its new values.
    virtual void rowWritten() = 0;
    // Rows were added at the end of the record set: the grid shows them, on the current row.
    virtual void rowsAdded() = 0;

    // Shows the datum chooser preselected on `code` and returns its Code: "" after its cancel
    // button, the previous result after its close box.
    virtual QString chooseDatum(const QString& code) = 0;
    // The place search; nullptr while the program has none.
    virtual PlaceSearch* placeSearch() = 0;
};

} // namespace editor

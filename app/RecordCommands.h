#pragma once

#include "document/RecordCommands.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace app {

// What the record commands need of the main window's grid.
class RecordGrid {
public:
    virtual ~RecordGrid() = default;

    // The bookmark of the grid's current row; 0 when there is none.
    virtual std::int64_t currentBookmark() const = 0;
    // The grid's current column; -1 when there is none.
    virtual int currentColumn() const = 0;
    // The selected-rows collection.
    virtual std::vector<std::int64_t> selectedBookmarks() const = 0;
    // The selected columns, first to last; the first is -1 when no column is selected.
    virtual int selStartCol() const = 0;
    virtual int selEndCol() const = 0;
    virtual void selectColumns(int first, int last) = 0;
    // Data1's record set was run again or moved: show it on its current row, no row selected.
    virtual void showRecords() = 0;
    // Makes the row `bookmark` the current row and the only selected one.
    virtual void selectOnly(std::int64_t bookmark) = 0;
    // Adds the row `bookmark` to the selected-rows collection.
    virtual void addSelected(std::int64_t bookmark) = 0;
};

// The main window's Find state, kept for the whole run and across documents.
struct FindState {
    QString FindCriteria; // the criteria text of the last Find, reused by Find next
    QString FindText;     // the text last typed, as typed
    std::optional<document::FindTerms> terms; // FindCriteria's terms, as the search evaluates them
};

// Find (index 0: asks for the text) and Find next (index 1) on Data1's record set. A match
// becomes the current and only selected row; no match leaves the current row and says so
// (FindText followed by " introuvable!"). Errors end in the error box. True on a match.
bool RunFind(int index, FindState& state, RecordGrid& grid);

// Copies the grid's current row to a new row at the end. Errors go on to the caller.
void RunDuplicate(RecordGrid& grid);

// Asks, then empties the selected columns (the current column when none is selected) in every
// row of Data1's record set. Errors show their description in a message box.
void RunEraseColumns(RecordGrid& grid);

// Asks, then deletes the selected rows; the row at the remembered position, or the last one,
// becomes current and selected. Refuses with string 765 when no row is selected; errors end in
// the error box.
void RunDelete(RecordGrid& grid);

} // namespace app

#pragma once

#include "app/RecordGridRanges.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <vector>

namespace app {

class RecordTableModel;

// The main window's grid. Its model holds a window of the records (RecordTableModel); this view
// moves that window as it scrolls, so that its vertical scroll bar, keyboard moves, current row
// and selected rows cover every record while the view itself keeps state for the window's rows
// only. Its callers speak in record positions (rows of Data1's record set), never in the
// model's rows.
class RecordGridView : public QTableView {
public:
    explicit RecordGridView(QWidget* parent = nullptr);

    // The current record's position; -1 when there is none.
    int currentPosition() const;
    // Makes the record at `position` current with `command` applied to its row, and shows it.
    void
    setCurrentPosition(int position,
                       QItemSelectionModel::SelectionFlags command = QItemSelectionModel::NoUpdate);
    // Selects (Select, with Clear to replace the selection) or deselects (Deselect) the rows of
    // the records first to last.
    void selectPositions(int first, int last, QItemSelectionModel::SelectionFlags command);
    // The positions of the selected rows, in order.
    std::vector<int> selectedPositions() const;
    long long selectedCount() const;
    // The position of the record shown at `y` in the viewport; -1 below the last record.
    int positionAt(int y) const;
    // The position of the record shown in the top row.
    int topPosition() const { return top_; }
    // The width the values of `column` need in the rows shown.
    int valuesWidth(int column) const { return sizeHintForColumn(column); }

    void selectAll() override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend void SetUpRecordGrid(RecordGridView& view, RecordTableModel& model);
    class Selection;

    int recordCount() const;
    int visibleRows() const;
    // Puts `top` in the top row (kept within the records), the scroll bar and the window with it.
    void showTop(int top);
    void applyScrollBar();
    // The top row that shows the record at `position` as `hint` asks.
    int topShowing(int position, ScrollHint hint) const;
    // Moves the window so that it holds first to last, centred on them; nothing when it does.
    void holdInWindow(int first, int last);
    void moveWindow(int first);
    void selectInWindow(int first, int last, QItemSelectionModel::SelectionFlags command);

    RecordTableModel* model_ = nullptr;
    Selection* selection_ = nullptr;
    // Selected rows outside the window; the selection model holds those inside.
    RecordGridRanges outside_;
    int top_ = 0;
    // The current record while it is outside the window, and its column.
    int parkedCurrent_ = -1;
    int parkedColumn_ = 0;
    // The start of a shift-extended run of rows.
    int anchor_ = -1;
    bool extending_ = false;
    // Set while Qt's own geometry and scrolling code moves the scroll bar in window rows.
    bool adjusting_ = false;
    bool inGeometries_ = false;
};

// Sets `view` up as the main window's grid over `model`: whole rows selected, several at a time,
// typing edits, rows of one fixed height. With every row the same height and a window of rows in
// the model, showing a screen or jumping to the last row costs the same whatever the number of
// records.
void SetUpRecordGrid(RecordGridView& view, RecordTableModel& model);

} // namespace app

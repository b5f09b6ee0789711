#include "app/RecordGridView.h"

#include "app/RecordTableModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <functional>

namespace app {

// The selection model of the window's rows. A selection that starts afresh (Clear) also drops
// the selected rows outside the window, unless the view itself is rebuilding the window's part.
class RecordGridView::Selection final : public QItemSelectionModel {
public:
    Selection(QAbstractItemModel* model, QObject* parent, std::function<void()> cleared)
        : QItemSelectionModel(model, parent), cleared_(std::move(cleared)) {}

    using QItemSelectionModel::select;
    void select(const QItemSelection& selection, SelectionFlags command) override {
        if (command.testFlag(Clear) && !quiet) {
            cleared_();
        }
        QItemSelectionModel::select(selection, command);
    }
    void reset() override {
        cleared_();
        QItemSelectionModel::reset();
    }

    bool quiet = false;

private:
    std::function<void()> cleared_;
};

void SetUpRecordGrid(RecordGridView& view, RecordTableModel& model) {
    view.setModel(&model);
    view.model_ = &model;
    QItemSelectionModel* initial = view.selectionModel();
    view.selection_ = new RecordGridView::Selection(&model, &view, [&view] {
        view.outside_.clear();
        view.parkedCurrent_ = -1;
    });
    view.setSelectionModel(view.selection_);
    if (initial != nullptr) {
        initial->deleteLater();
    }
    // A new record set: the grid shows it from where it was, its selection and current row gone.
    QObject::connect(&model, &QAbstractItemModel::modelReset, &view, [&view] {
        view.outside_.clear();
        view.parkedCurrent_ = -1;
        view.anchor_ = -1;
        view.showTop(view.top_);
    });
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QHeaderView& rows = *view.verticalHeader();
    rows.setSectionResizeMode(QHeaderView::Fixed);
    rows.setDefaultSectionSize(view.fontMetrics().height() + 6);
    view.horizontalHeader()->setStretchLastSection(false);
    // Stored widths apply as they are, down to 0 (a stored width that is not a number).
    view.horizontalHeader()->setMinimumSectionSize(0);
}

RecordGridView::RecordGridView(QWidget* parent) : QTableView(parent) {}

int RecordGridView::recordCount() const {
    return model_ != nullptr ? model_->recordCount() : 0;
}

int RecordGridView::visibleRows() const {
    const int height = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(1, viewport()->height() / height);
}

int RecordGridView::currentPosition() const {
    const QModelIndex current = currentIndex();
    if (current.isValid() && model_ != nullptr) {
        return model_->positionOfRow(current.row());
    }
    return parkedCurrent_;
}

void RecordGridView::setCurrentPosition(int position, QItemSelectionModel::SelectionFlags command) {
    if (model_ == nullptr || position < 0 || position >= recordCount()) {
        return;
    }
    const int column =
        std::max(0, currentIndex().isValid() ? currentIndex().column() : parkedColumn_);
    // The row is shown first, so that the window holds it from here on.
    showTop(topShowing(position, EnsureVisible));
    if (command.testFlag(QItemSelectionModel::Clear)) {
        outside_.clear();
    }
    selectionModel()->setCurrentIndex(model_->index(model_->rowOfPosition(position), column),
                                      command);
}

void RecordGridView::selectInWindow(int first, int last,
                                    QItemSelectionModel::SelectionFlags command) {
    const int from = std::max(first, model_->windowFirst());
    const int to = std::min(last, model_->windowFirst() + model_->rowCount() - 1);
    if (from > to) {
        return;
    }
    const QItemSelection rows(model_->index(model_->rowOfPosition(from), 0),
                              model_->index(model_->rowOfPosition(to), model_->columnCount() - 1));
    selection_->quiet = true;
    selection_->select(rows, command);
    selection_->quiet = false;
}

void RecordGridView::selectPositions(int first, int last,
                                     QItemSelectionModel::SelectionFlags command) {
    if (model_ == nullptr) {
        return;
    }
    first = std::max(first, 0);
    last = std::min(last, recordCount() - 1);
    if (command.testFlag(QItemSelectionModel::Clear)) {
        selection_->quiet = true;
        selection_->clearSelection();
        selection_->quiet = false;
        outside_.clear();
    }
    if (first > last) {
        return;
    }
    const bool deselect = command.testFlag(QItemSelectionModel::Deselect);
    selectInWindow(first, last,
                   deselect ? QItemSelectionModel::Deselect : QItemSelectionModel::Select);
    // The parts beyond the window's two ends.
    const int windowLast = model_->windowFirst() + model_->rowCount() - 1;
    for (const auto& [from, to] : {std::pair{first, std::min(last, model_->windowFirst() - 1)},
                                   std::pair{std::max(first, windowLast + 1), last}}) {
        if (deselect) {
            outside_.remove(from, to);
        } else {
            outside_.add(from, to);
        }
    }
    viewport()->update();
}

std::vector<int> RecordGridView::selectedPositions() const {
    std::vector<int> positions;
    if (model_ == nullptr) {
        return positions;
    }
    outside_.appendTo(positions);
    for (const QModelIndex& row : selectionModel()->selectedRows()) {
        positions.push_back(model_->positionOfRow(row.row()));
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

long long RecordGridView::selectedCount() const {
    return outside_.count() + selectionModel()->selectedRows().size();
}

int RecordGridView::positionAt(int y) const {
    const int row = rowAt(y);
    return row >= 0 && model_ != nullptr ? model_->positionOfRow(row) : -1;
}

void RecordGridView::selectAll() {
    selectPositions(0, recordCount() - 1, QItemSelectionModel::ClearAndSelect);
}

void RecordGridView::moveWindow(int first) {
    const int oldFirst = model_->windowFirst();
    const int rows = model_->rowCount();
    first = std::clamp(first, 0, std::max(0, recordCount() - model_->windowRows()));
    if (rows == 0 || first == oldFirst) {
        return;
    }
    // The window's selected rows and current record are kept by position across the move.
    const int current = currentPosition();
    const int column = currentIndex().isValid() ? currentIndex().column() : parkedColumn_;
    // A cell being typed into keeps what was typed: its row may leave the window.
    if (state() == EditingState) {
        if (QWidget* editor = QApplication::focusWidget();
            editor != nullptr && viewport()->isAncestorOf(editor)) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    QModelIndexList selected = selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& row : selected) {
        outside_.add(oldFirst + row.row(), oldFirst + row.row());
    }
    {
        const QSignalBlocker quiet(selection_);
        selection_->quiet = true;
        model_->moveWindow(first);
        selection_->clearSelection();
        selection_->quiet = false;
    }
    const int newFirst = model_->windowFirst();
    for (const auto& [from, to] : outside_.take(newFirst, newFirst + model_->rowCount() - 1)) {
        selectInWindow(from, to, QItemSelectionModel::Select);
    }
    const int row = model_->rowOfPosition(current);
    {
        const QSignalBlocker quiet(selection_);
        selection_->setCurrentIndex(row >= 0 ? model_->index(row, column) : QModelIndex(),
                                    QItemSelectionModel::NoUpdate);
    }
    parkedCurrent_ = row >= 0 ? -1 : current;
    parkedColumn_ = column;
    viewport()->update();
}

void RecordGridView::holdInWindow(int first, int last) {
    const int windowFirst = model_->windowFirst();
    const int rows = model_->rowCount();
    if (first >= windowFirst && last < windowFirst + rows) {
        return;
    }
    moveWindow((first + last) / 2 - model_->windowRows() / 2);
}

void RecordGridView::applyScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    const int rows = visibleRows();
    const bool wasAdjusting = adjusting_;
    adjusting_ = true;
    bar->setRange(0, std::max(0, recordCount() - rows));
    bar->setPageStep(rows);
    bar->setSingleStep(1);
    bar->setValue(top_);
    adjusting_ = wasAdjusting;
}

void RecordGridView::showTop(int top) {
    const int count = recordCount();
    top_ = std::clamp(top, 0, std::max(0, count - visibleRows()));
    applyScrollBar();
    top_ = verticalScrollBar()->value();
    if (model_ == nullptr || count == 0) {
        return;
    }
    const bool atBottom = top_ > 0 && top_ == verticalScrollBar()->maximum();
    // At the bottom the last record ends at the viewport's bottom, the row above it in part.
    holdInWindow(atBottom ? top_ - 1 : top_, std::min(count - 1, top_ + visibleRows()));
    QHeaderView& rows = *verticalHeader();
    if (atBottom) {
        const int last = model_->rowOfPosition(count - 1);
        rows.setOffset(rows.sectionPosition(last) + rows.sectionSize(last) - viewport()->height());
    } else {
        rows.setOffsetToSectionPosition(model_->rowOfPosition(top_));
    }
    updateEditorGeometries();
    viewport()->update();
}

void RecordGridView::updateGeometries() {
    // Qt's own code sets the scroll bar over the window's rows; it is set back over the records.
    // Setting the bar can resize the viewport and bring this back in: the inner call only sets
    // the bar again.
    const bool nested = inGeometries_;
    inGeometries_ = true;
    const bool wasAdjusting = adjusting_;
    adjusting_ = true;
    QTableView::updateGeometries();
    adjusting_ = wasAdjusting;
    if (nested) {
        applyScrollBar();
    } else {
        showTop(top_);
    }
    inGeometries_ = nested;
}

void RecordGridView::scrollContentsBy(int dx, int dy) {
    if (dy != 0 && !adjusting_) {
        showTop(verticalScrollBar()->value());
    }
    if (dx != 0) {
        QTableView::scrollContentsBy(dx, 0);
    }
}

int RecordGridView::topShowing(int position, ScrollHint hint) const {
    const int rows = visibleRows();
    switch (hint) {
    case PositionAtTop:
        return position;
    case PositionAtBottom:
        return position - rows + 1;
    case PositionAtCenter:
        return position - rows / 2;
    case EnsureVisible:
        break;
    }
    if (position < top_) {
        return position;
    }
    return position >= top_ + rows ? position - rows + 1 : top_;
}

void RecordGridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid() || model_ == nullptr) {
        return;
    }
    const int position = model_->positionOfRow(index.row());
    // The top is known before Qt's own code runs: a geometry update it causes shows that top.
    top_ = std::clamp(topShowing(position, hint), 0, std::max(0, recordCount() - visibleRows()));
    // Qt scrolls the columns; the rows are scrolled here over the records.
    adjusting_ = true;
    QTableView::scrollTo(index, hint);
    adjusting_ = false;
    showTop(top_);
}

QModelIndex RecordGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const int count = recordCount();
    if (model_ == nullptr || count == 0) {
        return QTableView::moveCursor(action, modifiers);
    }
    if ((action == MoveHome || action == MoveEnd) && modifiers.testFlag(Qt::ControlModifier)) {
        const int target = action == MoveEnd ? count - 1 : 0;
        showTop(topShowing(target, EnsureVisible));
        return model_->index(model_->rowOfPosition(target),
                             action == MoveEnd ? model_->columnCount() - 1 : 0);
    }
    // Qt moves within the window's rows: keep a few screens of them on either side of the
    // current record.
    const int current = currentPosition();
    if (current >= 0) {
        const int margin = std::min(2 * visibleRows() + 2, model_->windowRows() / 4);
        const int windowFirst = model_->windowFirst();
        const int windowLast = windowFirst + model_->rowCount() - 1;
        if ((current - margin < windowFirst && windowFirst > 0) ||
            (current + margin > windowLast && windowLast < count - 1) ||
            model_->rowOfPosition(current) < 0) {
            moveWindow(current - model_->windowRows() / 2);
        }
    }
    return QTableView::moveCursor(action, modifiers);
}

void RecordGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // Before Qt scrolls to the row, which can move the window under `current`.
    if (current.isValid()) {
        parkedCurrent_ = -1;
        if (!extending_ && model_ != nullptr) {
            anchor_ = model_->positionOfRow(current.row());
        }
    }
    QTableView::currentChanged(current, previous);
}

void RecordGridView::keyPressEvent(QKeyEvent* event) {
    const bool vertical = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ||
                          event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown ||
                          event->key() == Qt::Key_Home || event->key() == Qt::Key_End;
    if (!vertical || !event->modifiers().testFlag(Qt::ShiftModifier) || model_ == nullptr) {
        QTableView::keyPressEvent(event);
        return;
    }
    // A shift-extended run: Qt extends it within the window only, so the run from the anchor
    // is selected here by position, wherever its two ends are.
    const int anchor = anchor_ >= 0 ? anchor_ : currentPosition();
    extending_ = true;
    QTableView::keyPressEvent(event);
    extending_ = false;
    const int current = currentPosition();
    if (anchor >= 0 && current >= 0) {
        selectPositions(std::min(anchor, current), std::max(anchor, current),
                        QItemSelectionModel::ClearAndSelect);
    }
}

} // namespace app

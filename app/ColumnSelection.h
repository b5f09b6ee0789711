#pragma once

#include <QStyledItemDelegate>

namespace app {

// The grid's selected columns, a run from a first to a last column (-1 when none), as the grid of
// the original kept them beside its selected rows; the cells of the run paint as selected.
class ColumnSelection : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ColumnSelection(QObject* parent = nullptr);

    int first() const { return first_; }
    int last() const { return last_; }
    // Selects columns `first` to `last` (either order); -1 clears the selection.
    void select(int first, int last);
    // A click on a column header: that column alone, or with `extend` the run from the column
    // first clicked to this one.
    void click(int column, bool extend);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    int first_ = -1;
    int last_ = -1;
    int anchor_ = -1;
};

} // namespace app

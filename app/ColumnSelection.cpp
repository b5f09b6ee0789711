#include "app/ColumnSelection.h"

#include <algorithm>

namespace app {

ColumnSelection::ColumnSelection(QObject* parent) : QStyledItemDelegate(parent) {}

void ColumnSelection::select(int first, int last) {
    if (first < 0 || last < 0) {
        first_ = last_ = anchor_ = -1;
        return;
    }
    first_ = std::min(first, last);
    last_ = std::max(first, last);
    anchor_ = first;
}

void ColumnSelection::click(int column, bool extend) {
    if (extend && anchor_ >= 0) {
        const int anchor = anchor_;
        select(anchor, column);
        anchor_ = anchor;
        return;
    }
    select(column, column);
}

void ColumnSelection::initStyleOption(QStyleOptionViewItem* option,
                                      const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (first_ >= 0 && index.column() >= first_ && index.column() <= last_) {
        option->state |= QStyle::State_Selected;
    }
}

} // namespace app

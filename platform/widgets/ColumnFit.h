#pragma once

// Lists and tables whose columns show their values whole: each column as wide as its values and
// caption, within the view's room; the last column takes the room that is left.

class QTreeView;
class QTableView;

namespace platform {

// Widens the columns of `view` to their values (the rows it shows) and captions, each at most as
// wide as the view's room, and lets the last one take the room left. Done again when the view is
// shown or resized and when its rows change; a column is never made narrower, so a column the user
// widened stays as wide.
void KeepColumnsFitted(QTreeView& view);
void KeepColumnsFitted(QTableView& view);

} // namespace platform

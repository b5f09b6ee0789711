#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace exchange {

// The example of a column: the first non-empty cell of column `column` (0 the item's text, k its
// k-th sub-item) from the first item on; empty when every cell is empty; nothing when there are
// no items (the example then keeps its value).
std::optional<QString> FindExample(const std::vector<QStringList>& items, int column);

// The sample cut from `example`: `length` characters from character `begin` (1-based), the
// length cut to the example's. Nothing, so that the label keeps its text, when either text is not
// a number in the 16-bit range or the example is empty. A begin below 1 or past the end, and a
// length below 1, give an empty sample.
std::optional<QString> CutSample(const QString& example, const QString& begin,
                                 const QString& length);

} // namespace exchange

#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>
#include <functional>
#include <optional>

namespace app {

// A colour number 0x00BBGGRR, or one of the two system colours, as a Qt colour.
QColor ColorOf(std::int32_t value, const QPalette& palette);

// The colour number 0x00BBGGRR of a colour.
std::int32_t ColorNumber(const QColor& color);

// The colour dialog, opened on `initial`; an invalid colour when the user cancelled.
using ColorChooser = std::function<QColor(const QColor& initial)>;
QColor ShowColorDialog(const QColor& initial);

// One of the grid's colour commands: opens `choose` on the colour number `current` (system
// colours as `palette` shows them) and returns the number of the colour chosen; none after Cancel.
std::optional<std::int32_t> ChooseGridColor(std::int32_t current, const QPalette& palette,
                                            const ColorChooser& choose);

} // namespace app

#include "app/GridColors.h"

#include "app/MainSettings.h"

#include <QApplication>
#include <QColorDialog>

namespace app {

QColor ColorOf(std::int32_t value, const QPalette& palette) {
    if (value == kButtonFaceColor) {
        return palette.color(QPalette::Button);
    }
    if (value == kWindowTextColor) {
        return palette.color(QPalette::WindowText);
    }
    const auto bits = static_cast<std::uint32_t>(value);
    return QColor(static_cast<int>(bits & 0xFFU), static_cast<int>((bits >> 8U) & 0xFFU),
                  static_cast<int>((bits >> 16U) & 0xFFU));
}

std::int32_t ColorNumber(const QColor& color) {
    const QColor rgb = color.toRgb();
    const auto bits = static_cast<std::uint32_t>(rgb.red()) |
                      (static_cast<std::uint32_t>(rgb.green()) << 8U) |
                      (static_cast<std::uint32_t>(rgb.blue()) << 16U);
    return static_cast<std::int32_t>(bits);
}

QColor ShowColorDialog(const QColor& initial) {
    return QColorDialog::getColor(initial, QApplication::activeWindow());
}

std::optional<std::int32_t> ChooseGridColor(std::int32_t current, const QPalette& palette,
                                            const ColorChooser& choose) {
    const QColor chosen = choose(ColorOf(current, palette));
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return ColorNumber(chosen);
}

} // namespace app

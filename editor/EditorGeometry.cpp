#include "editor/EditorGeometry.h"

#include "platform/Settings.h"
#include "platform/widgets/ScreenFit.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

namespace editor {

namespace {

constexpr double kTwipsPerPixel = 15.0;
float StoredValue(const QString& key, float fallback, bool mustBePositive) {
    const QString text =
        platform::GetSetting(QStringLiteral("ZEB"), QStringLiteral("EditForm"), key).trimmed();
    bool ok = false;
    const float value = QLocale::c().toFloat(text, &ok);
    if (!ok || !std::isfinite(value) || (mustBePositive && value <= 0.0F)) {
        return fallback;
    }
    return value;
}

} // namespace

EditorGeometry ReadEditorGeometry() {
    const EditorGeometry defaults;
    EditorGeometry g;
    g.height = StoredValue(QStringLiteral("Height"), defaults.height, true);
    g.top = StoredValue(QStringLiteral("Top"), defaults.top, false);
    return g;
}

void WriteEditorGeometry(const EditorGeometry& geometry) {
    platform::SaveSetting(QStringLiteral("ZEB"), QStringLiteral("EditForm"),
                          QStringLiteral("Height"), QString::number(geometry.height));
    platform::SaveSetting(QStringLiteral("ZEB"), QStringLiteral("EditForm"), QStringLiteral("Top"),
                          QString::number(geometry.top));
}

QRect PlaceOnScreen(const QRect& wanted, const QList<QRect>& screens) {
    if (screens.isEmpty()) {
        return wanted;
    }
    // The screen that holds the largest part of the window, the first one when none holds any.
    const QRect* home = &screens.front();
    qint64 largest = 0;
    for (const QRect& screen : screens) {
        const QRect shown = screen.intersected(wanted);
        const qint64 area = static_cast<qint64>(shown.width()) * shown.height();
        if (!shown.isEmpty() && area > largest) {
            largest = area;
            home = &screen;
        }
    }
    return platform::FitInto(wanted, *home);
}

std::array<BoxPlace, 3> PlaceBoxes(const std::array<BoxPlace, 3>& wanted) {
    std::array<BoxPlace, 3> placed = wanted;
    std::array<std::size_t, 3> order{0, 1, 2};
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return wanted[a].left < wanted[b].left; });
    int shift = 0;
    int reached = std::numeric_limits<int>::min();
    for (const std::size_t i : order) {
        BoxPlace& box = placed[i];
        if (!box.shown) {
            continue;
        }
        box.left = std::max(box.left + shift, reached + kBoxGap);
        shift = box.left - wanted[i].left;
        box.labelWidth = std::max(box.width, box.labelWidth);
        reached = box.left + box.labelWidth;
    }
    return placed;
}

int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

float PixelsToTwips(int pixels) {
    return static_cast<float>(pixels * kTwipsPerPixel);
}

} // namespace editor

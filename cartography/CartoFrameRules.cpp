#include "cartography/CartoFrameRules.h"

#include <cstdlib>

namespace cartography {

namespace {

ScrollSettings Range(int min, int max, const ScrollSettings& previous) {
    ScrollSettings s = previous;
    s.min = min;
    s.max = max;
    // The steps come from the span's end itself (as the horizontal bar's Min is 0); a span of 0
    // keeps the previous steps.
    const int span = std::abs(max);
    if (max != 0) {
        s.smallChange = span / 25 > 0 ? span / 25 : 1;
        s.largeChange = span / 10 > 0 ? span / 10 : 1;
    }
    return s;
}

} // namespace

ScrollLayout CalculeScroll(const FrameMetrics& m, const ScrollLayout& previous) {
    ScrollLayout layout;
    const int h = m.inner.width() - m.vscrollWidth - m.picture.width();
    const int v = m.inner.height() - m.hscrollHeight - m.picture.height() - m.statusHeight;
    layout.horizontal = Range(0, h, previous.horizontal);
    layout.vertical = Range(m.toolbarHeight, v, previous.vertical);
    layout.horizontalShown = !(m.inner.width() - m.picture.width() > m.vscrollWidth);
    layout.verticalShown = !(m.inner.height() - m.hscrollHeight - m.statusHeight - m.toolbarHeight >
                             m.picture.height());
    return layout;
}

QSize FittedInnerSize(const FrameMetrics& m, const QSize& screen, const QSize& current) {
    QSize size = current;
    if (m.picture.width() < screen.width()) {
        size.setWidth(m.picture.width() + kFitMargin + m.vscrollWidth);
    }
    if (m.picture.height() < screen.height()) {
        size.setHeight(m.toolbarHeight + m.picture.height() + m.hscrollHeight + m.statusHeight +
                       kFitMargin);
    }
    return size;
}

} // namespace cartography

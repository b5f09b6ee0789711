#pragma once

// The geometry rules of the cartography window's frame, in pixels: the size that fits the window
// to its picture, where the scroll bars go and when they show, and the ranges and steps that move a
// picture larger than the window. Plain arithmetic, so that it can be checked without a window.

#include <QSize>

namespace cartography {

// The sizes the rules read: the inner size of the window (below its menu bar), the picture, the
// toolbar and status bar heights and the scroll bars' thickness.
struct FrameMetrics {
    QSize inner;
    QSize picture;
    int toolbarHeight = 0;
    int statusHeight = 0;
    int vscrollWidth = 0;  // thickness of the vertical bar
    int hscrollHeight = 0; // thickness of the horizontal bar
};

// One scroll bar's settings. `min` and `max` are the picture's edge at either end of the bar's
// travel and may come in either order (max is below min when the picture is larger than its
// room); the value is the picture's left or top edge.
struct ScrollSettings {
    int min = 0;
    int max = 0;
    int smallChange = 1;
    int largeChange = 1;
};

struct ScrollLayout {
    ScrollSettings horizontal;
    ScrollSettings vertical;
    bool horizontalShown = false;
    bool verticalShown = false;
};

// The horizontal bar's range runs from 0 to the room left beside the vertical bar minus the
// picture's width; the vertical bar's from just below the toolbar to the room above the horizontal
// bar and the status bar minus the picture's height. A span of 0 keeps `previous` steps; otherwise
// the small step is a 25th and the large step a 10th of the span, at least 1. A bar shows only when
// the picture does not fit its direction.
ScrollLayout CalculeScroll(const FrameMetrics& m, const ScrollLayout& previous);

// The inner size that fits the window to its picture: the picture beside the vertical bar and
// between the toolbar and the horizontal bar over the status bar, with a few pixels to spare so
// that neither bar is needed. A picture as large as the screen or larger leaves that dimension at
// `current`.
QSize FittedInnerSize(const FrameMetrics& m, const QSize& screen, const QSize& current);

// The spare pixels FittedInnerSize leaves along each direction.
inline constexpr int kFitMargin = 8;

// Settings keep the window's position in twips, 15 to the pixel.
inline constexpr double kTwipsPerPixel = 15.0;

} // namespace cartography

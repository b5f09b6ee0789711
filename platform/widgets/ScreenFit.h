#pragma once

// Keeping windows whole on small screens: a window and its frame (title bar and borders) lie
// within the screen's available area, the part that panels and docks leave free.

#include <QMargins>
#include <QRect>

class QWidget;

namespace platform {

// The frame the window system puts around `window`: its own once it has been shown, else that of
// the program's window it belongs to, else that of another shown window of the program; before
// any window shows, a usual title bar and border.
QMargins FrameMargins(const QWidget& window);

// The available area of the screen `window` is on (or will open on), less the window's frame:
// the room for the window's own rectangle.
QRect ClientRoom(const QWidget& window);

// `wanted` moved the least way and shrunk where it is larger, so that it lies within `room`.
QRect FitInto(const QRect& wanted, const QRect& room);

// Moves and shrinks `window` so that it lies within the screen with its frame.
void KeepWithinScreen(QWidget& window);

} // namespace platform

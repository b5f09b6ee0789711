#include "platform/widgets/ScreenFit.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace platform {

namespace {

// A title bar and borders as the usual Linux desktops draw them.
constexpr QMargins kUsualFrame(4, 32, 4, 4);

bool Framed(const QWidget& window) {
    return window.isWindow() && window.isVisible() && window.frameGeometry() != window.geometry();
}

QMargins MarginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

} // namespace

QMargins FrameMargins(const QWidget& window) {
    if ((window.windowFlags() & Qt::FramelessWindowHint) != 0) {
        return {};
    }
    if (Framed(window)) {
        return MarginsOf(window);
    }
    if (const QWidget* parent = window.parentWidget();
        parent != nullptr && Framed(*parent->window())) {
        return MarginsOf(*parent->window());
    }
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (Framed(*other)) {
            return MarginsOf(*other);
        }
    }
    return kUsualFrame;
}

QRect ClientRoom(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return window.geometry();
    }
    return screen->availableGeometry() - FrameMargins(window);
}

QRect FitInto(const QRect& wanted, const QRect& room) {
    QRect fitted(wanted.topLeft(), QSize(std::min(wanted.width(), room.width()),
                                         std::min(wanted.height(), room.height())));
    if (fitted.right() > room.right()) {
        fitted.moveRight(room.right());
    }
    if (fitted.bottom() > room.bottom()) {
        fitted.moveBottom(room.bottom());
    }
    if (fitted.left() < room.left()) {
        fitted.moveLeft(room.left());
    }
    if (fitted.top() < room.top()) {
        fitted.moveTop(room.top());
    }
    return fitted;
}

void KeepWithinScreen(QWidget& window) {
    // The window's own rectangle, without its frame, shown or not.
    const QRect fitted = FitInto(window.geometry(), ClientRoom(window));
    if (fitted != window.geometry()) {
        window.setGeometry(fitted);
    }
}

} // namespace platform

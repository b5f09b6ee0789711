#include "platform/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

namespace {
bool HaveGui() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}
} // namespace

WaitCursor::WaitCursor() {
    if (HaveGui()) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        active_ = true;
    }
}

WaitCursor::~WaitCursor() {
    if (active_ && QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void ResetCursor() {
    if (!HaveGui()) {
        return;
    }
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

} // namespace platform

#include "app/frmMessage.h"

#include "platform/StringTable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <vector>

namespace app {

namespace {

constexpr int kTwipsPerPixel = 15;
// The layout of the window, in pixels: the icon at the left, the text beside it.
constexpr int kIconLeft = 12;
constexpr int kIconSize = 32;
constexpr int kTextLeft = 56;
constexpr int kTextWidth = 260;
constexpr int kWindowWidth = kTextLeft + kTextWidth + 12;
constexpr int kMargin = 12;
// How long one look at the Cancel button may let events run.
constexpr int kEventsMs = 20;
constexpr int kCancelString = 101; // "Annuler" / "Cancel"

long Whole(double value) {
    return static_cast<long>(std::nearbyint(value));
}

// A window just shown is drawn only once the window system has put it on screen. The events that
// do so run here, for a bounded time and without user input nor timers, so that no command can
// start; windows that a closed dialog uncovered are repainted at the same time.
void WaitUntilShown(QWidget* window) {
    constexpr int kShowMs = 250;
    QElapsedTimer clock;
    clock.start();
    constexpr QEventLoop::ProcessEventsFlags kNoCommand =
        QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers;
    QCoreApplication::processEvents(kNoCommand);
    while (window->windowHandle() != nullptr && !window->windowHandle()->isExposed() &&
           clock.elapsed() < kShowMs) {
        QCoreApplication::processEvents(kNoCommand, kShowMs);
    }
}

} // namespace

TwipsPosition CenterFormTwips(double screenWidth, double screenHeight, double formWidth,
                              double formHeight) {
    TwipsPosition position;
    position.top = Whole(screenHeight * 0.85) / 2 - Whole(formHeight) / 2;
    position.left = Whole(screenWidth) / 2 - Whole(formWidth) / 2;
    return position;
}

void CenterForm(QWidget* form) {
    if (form == nullptr) {
        return;
    }
    QScreen* screen = form->screen() != nullptr ? form->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    const QSize size = form->frameGeometry().size();
    const TwipsPosition twips =
        CenterFormTwips(area.width() * kTwipsPerPixel, area.height() * kTwipsPerPixel,
                        size.width() * kTwipsPerPixel, size.height() * kTwipsPerPixel);
    form->move(area.left() + static_cast<int>(twips.left / kTwipsPerPixel),
               area.top() + static_cast<int>(twips.top / kTwipsPerPixel));
}

frmMessage::frmMessage(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      lblMsg_(new QLabel(this)), imgMsg_(new QLabel(this)), cmdCancel_(new QPushButton(this)) {
    setObjectName(QStringLiteral("frmMessage"));
    setModal(false);
    setWindowTitle(QApplication::applicationDisplayName());
    lblMsg_->setObjectName(QStringLiteral("lblMsg"));
    lblMsg_->setWordWrap(true);
    lblMsg_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgMsg_->setObjectName(QStringLiteral("imgMsg"));
    imgMsg_->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconSize, kIconSize));
    imgMsg_->setGeometry(kIconLeft, 0, kIconSize, kIconSize);
    lblMsg_->setGeometry(kTextLeft, 0, kTextWidth, kIconSize);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setText(platform::ResText(kCancelString));
    cmdCancel_->hide();
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cancelPressed_ = true; });
    setFixedWidth(kWindowWidth);
}

void frmMessage::setCancellable() {
    cancellable_ = true;
    setWindowModality(Qt::ApplicationModal);
    cmdCancel_->show();
}

void frmMessage::reject() {
    if (cancellable_) {
        cancelPressed_ = true;
        return;
    }
    QDialog::reject();
}

void frmMessage::closeEvent(QCloseEvent* event) {
    if (cancellable_) {
        // The work ends first; it closes the window.
        cancelPressed_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmMessage::AfficheMessage(const QString& text) {
    lblMsg_->setText(text);
    // The label takes the height its text needs at its width.
    const int labelHeight = lblMsg_->heightForWidth(kTextWidth);
    lblMsg_->resize(kTextWidth, labelHeight > 0 ? labelHeight : lblMsg_->sizeHint().height());
    const int iconHeight = imgMsg_->height();
    int inner = 2 * iconHeight;
    if (lblMsg_->height() > inner) {
        inner = lblMsg_->height() + iconHeight / 2;
    }
    imgMsg_->move(imgMsg_->x(), inner / 2 - iconHeight / 2);
    lblMsg_->move(lblMsg_->x(), inner / 2 - lblMsg_->height() / 2);
    if (cancellable_) {
        // The button goes below the text, at the right.
        const QSize button = cmdCancel_->sizeHint();
        cmdCancel_->setGeometry(kWindowWidth - kMargin - button.width(), inner, button.width(),
                                button.height());
        setFixedHeight(inner + button.height() + kMargin);
    } else {
        setFixedHeight(inner);
    }
    CenterForm(this);
    if (!isVisible()) {
        show();
        WaitUntilShown(this);
    }
    repaint();
}

// Holds back the paint events of every window but the wait window while it lets events run, and
// repaints those windows when it ends: painting the grid reads the document through the
// connection that the work is using, which the engine forbids from within its progress handler.
class WaitWindowFeedback::PaintHold final : public QObject {
public:
    explicit PaintHold(const QWidget* waitWindow) : waitWindow_(waitWindow) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~PaintHold() override {
        QCoreApplication::instance()->removeEventFilter(this);
        for (const QPointer<QWidget>& widget : held_) {
            if (widget) {
                widget->update();
            }
        }
    }
    PaintHold(const PaintHold&) = delete;
    PaintHold& operator=(const PaintHold&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || !watched->isWidgetType()) {
            return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == waitWindow_) {
            return false;
        }
        if (std::find(held_.begin(), held_.end(), widget) == held_.end()) {
            held_.emplace_back(widget);
        }
        return true;
    }

private:
    const QWidget* waitWindow_;
    std::vector<QPointer<QWidget>> held_;
};

WaitWindowFeedback::WaitWindowFeedback(QProgressBar* bar, QWidget* parent)
    : bar_(bar), parent_(parent) {}

WaitWindowFeedback::~WaitWindowFeedback() = default;

void WaitWindowFeedback::makeWindow(bool cancellable) {
    closeMessage();
    // Not a child of the main window, only kept above it: the feedback owns the window.
    window_ = std::make_unique<frmMessage>();
    if (cancellable) {
        window_->setCancellable();
        paintHold_ = std::make_unique<PaintHold>(window_.get());
    }
    window_->winId();
    if (parent_ && parent_->window()->windowHandle() != nullptr &&
        window_->windowHandle() != nullptr) {
        window_->windowHandle()->setTransientParent(parent_->window()->windowHandle());
    }
}

void WaitWindowFeedback::showMessage(const QString& text) {
    if (!window_) {
        makeWindow(false);
    }
    window_->AfficheMessage(text);
}

void WaitWindowFeedback::showCancellableMessage(const QString& text) {
    if (!window_ || !window_->cancellable()) {
        makeWindow(true);
    }
    window_->AfficheMessage(text);
}

bool WaitWindowFeedback::cancelRequested() {
    if (!window_ || !window_->cancellable()) {
        return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, kEventsMs);
    return window_ && window_->cancelPressed();
}

void WaitWindowFeedback::closeMessage() {
    window_.reset();
    paintHold_.reset();
}

void WaitWindowFeedback::setProgressVisible(bool visible) {
    if (bar_) {
        bar_->setVisible(visible);
        // The status bar makes room for the bar now rather than when events next run, which the
        // work may not let happen before its end.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        if (visible) {
            bar_->repaint();
        }
    }
}

void WaitWindowFeedback::setProgressValue(int value) {
    if (bar_) {
        bar_->setValue(value);
        bar_->repaint();
    }
}

} // namespace app

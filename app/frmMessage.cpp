#include "app/frmMessage.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <cmath>

namespace app {

namespace {

constexpr int kTwipsPerPixel = 15;
// The layout of the window, in pixels: the icon at the left, the text beside it.
constexpr int kIconLeft = 12;
constexpr int kIconSize = 32;
constexpr int kTextLeft = 56;
constexpr int kTextWidth = 260;
constexpr int kWindowWidth = kTextLeft + kTextWidth + 12;

long Whole(double value) {
    return static_cast<long>(std::nearbyint(value));
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
      lblMsg_(new QLabel(this)), imgMsg_(new QLabel(this)) {
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
    setFixedWidth(kWindowWidth);
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
    setFixedHeight(inner);
    CenterForm(this);
    show();
    repaint();
}

WaitWindowFeedback::WaitWindowFeedback(QProgressBar* bar, QWidget* parent)
    : bar_(bar), parent_(parent) {}

WaitWindowFeedback::~WaitWindowFeedback() = default;

void WaitWindowFeedback::showMessage(const QString& text) {
    if (!window_) {
        // Not a child of the main window, only kept above it: the feedback owns the window.
        window_ = std::make_unique<frmMessage>();
        window_->winId();
        if (parent_ && parent_->window()->windowHandle() != nullptr &&
            window_->windowHandle() != nullptr) {
            window_->windowHandle()->setTransientParent(parent_->window()->windowHandle());
        }
    }
    window_->AfficheMessage(text);
}

void WaitWindowFeedback::closeMessage() {
    window_.reset();
}

void WaitWindowFeedback::setProgressVisible(bool visible) {
    if (bar_) {
        bar_->setVisible(visible);
    }
}

void WaitWindowFeedback::setProgressValue(int value) {
    if (bar_) {
        bar_->setValue(value);
        bar_->repaint();
    }
}

} // namespace app

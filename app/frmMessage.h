#pragma once

#include "platform/Feedback.h"

#include <QDialog>
#include <QPointer>
#include <QProgressBar>
#include <memory>

class QCloseEvent;
class QLabel;
class QPushButton;

namespace app {

// The position CenterForm gives, in twips: horizontally centred, and vertically centred on the
// upper 85 % of the screen. Each size is rounded to an integer (halves to even) and halved with
// the fraction dropped, as the old integer arithmetic did.
struct TwipsPosition {
    long left = 0;
    long top = 0;
    bool operator==(const TwipsPosition&) const = default;
};
TwipsPosition CenterFormTwips(double screenWidth, double screenHeight, double formWidth,
                              double formHeight);

// Places a window by CenterFormTwips on its screen (15 twips to the pixel).
void CenterForm(QWidget* form);

// The modeless wait window: an icon and a text that wraps within its width. For work the user
// may stop it also holds a Cancel button, and is then modal to the whole program, so that nothing
// else starts while the work lets the window take its events.
class frmMessage : public QDialog {
    Q_OBJECT
public:
    explicit frmMessage(QWidget* parent = nullptr);

    // Shows the text, fitted and placed, and paints it at once: the caller's loop lets no event
    // run until it ends.
    void AfficheMessage(const QString& text);

    // Shows the Cancel button below the text and makes the window modal; before the first
    // AfficheMessage only.
    void setCancellable();
    bool cancellable() const { return cancellable_; }
    // Whether Cancel was pressed (or Escape, or the window closed) since the window was made.
    bool cancelPressed() const { return cancelPressed_; }

    QLabel* lblMsg() const { return lblMsg_; }
    QLabel* imgMsg() const { return imgMsg_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* lblMsg_;
    QLabel* imgMsg_;
    QPushButton* cmdCancel_;
    bool cancellable_ = false;
    bool cancelPressed_ = false;
};

// The on-screen feedback of long work: the wait window, made when first shown and closed again,
// and the main window's progress bar (owned by the main window; may be null).
class WaitWindowFeedback final : public platform::Feedback {
public:
    explicit WaitWindowFeedback(QProgressBar* bar = nullptr, QWidget* parent = nullptr);
    ~WaitWindowFeedback() override;

    void showMessage(const QString& text) override;
    void closeMessage() override;
    void setProgressVisible(bool visible) override;
    void setProgressValue(int value) override;
    // The wait window with its Cancel button. While it is shown, the other windows do not paint
    // (they may read the document, which the work is using) and are repainted when it closes.
    void showCancellableMessage(const QString& text) override;
    // Lets the pending events run for a few milliseconds at most, then tells whether the wait
    // window's Cancel was pressed.
    bool cancelRequested() override;

    // The wait window while it is shown, else null.
    frmMessage* window() const { return window_.get(); }

private:
    class PaintHold;

    void makeWindow(bool cancellable);

    QPointer<QProgressBar> bar_;
    QPointer<QWidget> parent_;
    std::unique_ptr<frmMessage> window_;
    std::unique_ptr<PaintHold> paintHold_;
};

} // namespace app

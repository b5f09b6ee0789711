#pragma once

#include "platform/Feedback.h"

#include <QDialog>
#include <QPointer>
#include <QProgressBar>
#include <memory>

class QLabel;

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

// The modeless wait window: an icon and a text that wraps within its width.
class frmMessage : public QDialog {
    Q_OBJECT
public:
    explicit frmMessage(QWidget* parent = nullptr);

    // Shows the text, fitted and placed, and paints it at once: the caller's loop lets no event
    // run until it ends.
    void AfficheMessage(const QString& text);

    QLabel* lblMsg() const { return lblMsg_; }
    QLabel* imgMsg() const { return imgMsg_; }

private:
    QLabel* lblMsg_;
    QLabel* imgMsg_;
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

    // The wait window while it is shown, else null.
    frmMessage* window() const { return window_.get(); }

private:
    QPointer<QProgressBar> bar_;
    QPointer<QWidget> parent_;
    std::unique_ptr<frmMessage> window_;
};

} // namespace app

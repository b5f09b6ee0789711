#pragma once

#include <QString>

namespace platform {

// How long work shows itself: the modeless wait window with a text, and the main window's
// progress bar. The main window provides the on-screen one; tests install a recording one.
class Feedback {
public:
    virtual ~Feedback() = default;
    virtual void showMessage(const QString& text) = 0; // show or update the wait window
    virtual void closeMessage() = 0;
    virtual void setProgressVisible(bool visible) = 0;
    virtual void setProgressValue(int value) = 0; // 0..100

    // The wait window of work the user may stop: the text and a Cancel button. It stays until
    // closeMessage, and nothing else can be started from the windows meanwhile.
    virtual void showCancellableMessage(const QString& text) { showMessage(text); }
    // Whether the user asked to stop the work shown by showCancellableMessage. Lets the pending
    // paint and input events of the wait window run first, so the work polls it only every tenth
    // of a second or so. False while no such window is shown.
    virtual bool cancelRequested() { return false; }
};

// The feedback in use; a silent one until a window or test installs its own (not owned).
Feedback& CurrentFeedback();
void SetFeedback(Feedback* feedback);

// The wait window with a text, and its closing.
void AfficheMessage(const QString& text);
void FermeMessage();
// The wait window of work the user may stop, and whether its Cancel was pressed: the interface of
// long work that may be stopped, with no window in sight.
void ShowCancellableMessage(const QString& text);
bool CancelRequested();
// Sets the progress bar to `value` clamped to 0..100, integer part.
void SetProgress(double value);
void ShowProgress(bool visible);

// Closes the wait window and hides the progress bar when it goes out of scope, on every exit path.
class FeedbackGuard {
public:
    FeedbackGuard() = default;
    ~FeedbackGuard();
    FeedbackGuard(const FeedbackGuard&) = delete;
    FeedbackGuard& operator=(const FeedbackGuard&) = delete;
};

} // namespace platform

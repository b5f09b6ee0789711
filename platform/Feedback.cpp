#include "platform/Feedback.h"

#include <cmath>

namespace platform {

namespace {

class SilentFeedback final : public Feedback {
public:
    void showMessage(const QString&) override {}
    void closeMessage() override {}
    void setProgressVisible(bool) override {}
    void setProgressValue(int) override {}
};

Feedback*& Installed() {
    static Feedback* installed = nullptr;
    return installed;
}

} // namespace

Feedback& CurrentFeedback() {
    static SilentFeedback silent;
    return Installed() != nullptr ? *Installed() : silent;
}

void SetFeedback(Feedback* feedback) {
    Installed() = feedback;
}

void AfficheMessage(const QString& text) {
    CurrentFeedback().showMessage(text);
}

void FermeMessage() {
    CurrentFeedback().closeMessage();
}

void ShowCancellableMessage(const QString& text) {
    CurrentFeedback().showCancellableMessage(text);
}

bool CancelRequested() {
    return CurrentFeedback().cancelRequested();
}

void SetProgress(double value) {
    if (std::isnan(value) || value < 0) {
        value = 0;
    }
    if (value > 100) {
        value = 100;
    }
    CurrentFeedback().setProgressValue(static_cast<int>(std::floor(value)));
}

void ShowProgress(bool visible) {
    CurrentFeedback().setProgressVisible(visible);
}

FeedbackGuard::~FeedbackGuard() {
    FermeMessage();
    ShowProgress(false);
}

} // namespace platform

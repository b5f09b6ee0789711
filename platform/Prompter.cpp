#include "platform/Prompter.h"

#include "platform/ProgramSettings.h"

#include <cstdio>

namespace platform {

namespace {

// The answer of a program without windows: the button that leaves things as they are.
class HeadlessPrompter final : public Prompter {
public:
    Answer message(const MessageRequest& request) override {
        std::fprintf(stderr, "%s\n", qPrintable(request.text));
        switch (request.buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::AbortRetryIgnore:
            return Answer::Abort;
        case Buttons::OkCancel:
        case Buttons::YesNoCancel:
        case Buttons::RetryCancel:
            return Answer::Cancel;
        }
        return Answer::Cancel;
    }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    void beep() override {}
};

Prompter*& Installed() {
    static Prompter* installed = nullptr;
    return installed;
}

Prompter& Headless() {
    static HeadlessPrompter headless;
    return headless;
}

Prompter*& OnScreen() {
    static Prompter* onScreen = &Headless();
    return onScreen;
}

} // namespace

Prompter& CurrentPrompter() {
    Prompter* installed = Installed();
    return installed != nullptr ? *installed : *OnScreen();
}

void SetOnScreenPrompter(Prompter* prompter) {
    OnScreen() = prompter != nullptr ? prompter : &Headless();
}

void SetPrompter(Prompter* prompter) {
    Installed() = prompter;
}

Prompter* InstalledPrompter() {
    return Installed();
}

Answer MsgBox(const QString& text, Buttons buttons, Icon icon, int defaultButton,
              const QString& title) {
    return CurrentPrompter().message({text, buttons, icon, defaultButton, title});
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    return CurrentPrompter().input(prompt, title, defaultText);
}

void Beep() {
    CurrentPrompter().beep();
}

void BeepUnlessSilent() {
    if (Settings().Silence == 0) {
        Beep();
    }
}

} // namespace platform

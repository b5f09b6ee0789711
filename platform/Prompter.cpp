#include "platform/Prompter.h"

#include "platform/QtPrompter.h"

namespace platform {

namespace {

Prompter*& Installed() {
    static Prompter* installed = nullptr;
    return installed;
}

} // namespace

Prompter& CurrentPrompter() {
    static QtPrompter onScreen;
    Prompter* installed = Installed();
    return installed != nullptr ? *installed : onScreen;
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

} // namespace platform

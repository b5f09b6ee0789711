#pragma once

#include "platform/Prompter.h"

namespace platform {

// The on-screen prompter: Qt message boxes, input dialogs and file dialogs. A file dialog opens
// where DialogStartPath says, the folder last chosen in this run standing for the request's own.
class QtPrompter final : public Prompter {
public:
    Answer message(const MessageRequest& request) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    void beep() override;

private:
    // Keeps the folder of a chosen file: the next dialog without a folder of its own opens there.
    QString remember(const QString& chosen);

    QString lastFolder_;
};

// "Text files (*.txt)|*.txt|All (*.*)|*.*" -> "Text files (*.txt);;All (*.*)"; a bare pattern
// stays.
QString QtFileFilter(const QString& filter);
// Message texts use CR or CR LF line breaks; Qt wants LF.
QString DisplayText(const QString& text);

// Makes Qt's message boxes and dialogs the program's on-screen prompter.
void InstallOnScreenPrompter();

} // namespace platform

#pragma once

#include "platform/Prompter.h"

namespace platform {

// The on-screen prompter: Qt message boxes, input dialogs and file dialogs.
class QtPrompter final : public Prompter {
public:
    Answer message(const MessageRequest& request) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    void beep() override;
};

// "Text files (*.txt)|*.txt|All (*.*)|*.*" -> "Text files (*.txt);;All (*.*)"; a bare pattern
// stays.
QString QtFileFilter(const QString& filter);
// Message texts use CR or CR LF line breaks; Qt wants LF.
QString DisplayText(const QString& text);

// Makes Qt's message boxes and dialogs the program's on-screen prompter.
void InstallOnScreenPrompter();

} // namespace platform

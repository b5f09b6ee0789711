#pragma once

#include <QString>

namespace platform {

enum class Buttons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Abort, Retry, Ignore, Yes, No };

struct MessageRequest {
    QString text;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    int defaultButton = 1; // 1, 2 or 3: the button that Enter presses
    QString title;         // empty: the application's title
};

struct FileDialogRequest {
    QString title;
    QString filter; // "Distribution files (*.deg)|*.deg" pairs, or a bare pattern such as "*.mdb"
    QString folder;
    QString fileName;
    bool confirmOverwrite = true; // a save dialog asks before replacing a file
};

// Every question the program asks goes through one Prompter: a window on screen, a script in tests.
class Prompter {
public:
    virtual ~Prompter() = default;

    virtual Answer message(const MessageRequest& request) = 0;
    // The text typed; empty when the user cancelled (as the old input box did).
    virtual QString input(const QString& prompt, const QString& title,
                          const QString& defaultText) = 0;
    // The path chosen; empty when the user cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
    virtual void beep() = 0;
};

// The prompter in use: the on-screen one unless a test installed its own.
Prompter& CurrentPrompter();
// Installs `prompter` (not owned); nullptr restores the on-screen one.
void SetPrompter(Prompter* prompter);
// The prompter a test installed, or nullptr for the on-screen one.
Prompter* InstalledPrompter();
// The on-screen prompter (not owned), set once by the program's windows layer. Without one, a
// program with no windows answers every question as its Cancel or No button would, with nothing
// typed or chosen, and tells the question on the standard error.
void SetOnScreenPrompter(Prompter* prompter);

// Short forms of the calls the windows make.
Answer MsgBox(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
              int defaultButton = 1, const QString& title = {});
QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {});
void Beep();
// The beep of a finished command or a refusal, which the Silence setting turns off.
void BeepUnlessSilent();

} // namespace platform

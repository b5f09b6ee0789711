// Start of the program: one copy per user, the start screen, then the main window's load step.
#include "app/Form1.h"
#include "app/Start.h"
#include "platform/NumberLocale.h"
#include "platform/Settings.h"
#include "platform/widgets/QtPrompter.h"

#include <QApplication>
#include <exception>

namespace {

// Settings changed during the run and not yet written (the quit command writes its own) reach
// the store however the run ends normally; a file that cannot be written is only reported.
void WriteRemainingSettings() {
    try {
        platform::FlushSettings();
    } catch (const std::exception& error) {
        qWarning("Settings not written: %s", error.what());
    }
}

int Run() {
    app::Program program;
    const app::StartOutcome outcome = app::StartProgram(
        program, app::CommandLineOf(QApplication::arguments().mid(1)), app::DefaultLockPath());
    if (outcome == app::StartOutcome::AlreadyRunning) {
        return 0;
    }
    if (outcome == app::StartOutcome::LoadFailed) {
        return 1;
    }
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    // Qt's own file and colour dialogs rather than the desktop's: their texts then follow the
    // language chosen in the program (the main window installs its translation), as every other
    // text does, whatever the desktop's language.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    platform::KeepCNumberNotation();
    platform::InstallOnScreenPrompter();
    // The name is also the message boxes' default title. No display name is set: the window
    // system would append it to every window title ("DOVazov - file - DOVazov").
    QApplication::setApplicationName(QStringLiteral("DOVazov"));
    // The window closes through the quit command, which asks about a changed document first.
    QApplication::setQuitOnLastWindowClosed(false);

    const int code = Run();
    WriteRemainingSettings();
    return code;
}

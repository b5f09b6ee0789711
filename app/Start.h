#pragma once

#include <QDialog>
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

class QLabel;

namespace app {

class Form1;

// The program's folder (the region maps' pictures) and the folder of the program file (the
// cartography window's files): program-wide, set at start-up.
QString& ProgramFolder();
QString& AppPath();

// The program's version, shown by the start screen.
inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

// "version " and the three numbers joined by ".", a carriage return and the build date text.
QString VersionText(int major, int minor, int revision);
// The five lines of the credit label, joined by carriage returns.
QString CreditText();

// The command line: the program's arguments (without the program's name) joined by blanks, so
// that a path with blanks reads whole whether or not the shell quoted it.
QString CommandLineOf(const QStringList& arguments);

// One running copy per user: a lock file that the running copy holds until it ends. A copy that
// ended without removing it (a crash) does not block the next start.
class SingleInstanceLock {
public:
    explicit SingleInstanceLock(const QString& path);
    // True when this copy now holds the lock; false when another running copy does.
    bool acquire();

private:
    QLockFile lock_;
};
// The lock file of the running user: in the runtime folder, else the temporary folder.
QString DefaultLockPath();

// The start screen: a picture, the credits and the version. It shows while the main window
// loads, and again as the about box. Clicking the picture, the version or the free area closes
// it; clicking the credits opens the credits window.
class Start : public QDialog {
    Q_OBJECT

public:
    explicit Start(QWidget* parent = nullptr);

    // Centres the screen, sets its labels, shows it modeless and paints it, and sets
    // ProgramFolder.
    void Form_Load();

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr; // credits
    QLabel* Label2 = nullptr; // version

    void Image1_Click() { close(); }
    void Label2_Click() { close(); }
    void Form_Click() { close(); }
    void Label1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// How a start ended.
enum class StartOutcome {
    Running,        // the main window is up: run the event loop
    AlreadyRunning, // another copy runs: this one told the user and ends
    LoadFailed,     // the load step failed (reported) or the user gave up: the program ends
};

// What a start builds and keeps for the run.
struct Program {
    std::unique_ptr<SingleInstanceLock> lock;
    std::unique_ptr<Form1> form;
};

// The start: refuses a second copy with "ZEB is already running!", shows the start screen, then
// loads the main window with `commandLine`.
StartOutcome StartProgram(Program& program, const QString& commandLine, const QString& lockPath);

} // namespace app

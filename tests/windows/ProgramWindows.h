#pragma once

// Every window and dialog of the program, opened the way a user opens it from the main window
// with a document loaded, and the checks that every one of them must pass. A test walks the
// catalogue in each language and runs the checks on each window it reaches; another set of checks
// can be run over the same walk.

#include "../app/MainWindowFixture.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace windows_test {

// One move of the user towards a window: it receives the window reached so far (the main window
// first). An `Opens` step starts a modal window and the walk waits for it; an `Acts` step changes
// the window it is given in place.
struct Step {
    enum class Kind { Opens, Acts };
    Kind kind = Kind::Opens;
    std::function<void(QWidget&)> run;
};

Step Opens(std::function<void(QWidget&)> run);
Step Acts(std::function<void(QWidget&)> run);

struct Visit;
using Check = std::function<void(const Visit&, std::vector<std::string>& faults)>;

// A window as the catalogue names it, with the road to it and the checks of its own. A window
// without steps is the main window itself.
struct WindowRoad {
    std::string name;
    std::vector<Step> steps;
    std::vector<Check> own;
};

// What a check is given: the window reached, its name in the catalogue and the language it is
// shown in. A check appends the faults it finds, each a sentence that names the widget.
struct Visit {
    QWidget& window;
    const std::string& name;
    int langue;
};

// The text of a button as it shows, without its mnemonic marks.
QString ShownText(QString text);

// Names the road in the test's messages.
void PrintTo(const WindowRoad& road, std::ostream* out);

// The windows of the program, in menu order.
std::vector<WindowRoad> Catalogue();
// Qt's own dialogs as the program opens them (a prompt, a file dialog): their layout is Qt's, their
// language must be the program's.
std::vector<WindowRoad> QtDialogs();

// The window lies within its screen's available area, title bar and frame included.
void CheckWithinScreen(const Visit& visit, std::vector<std::string>& faults);
// No label, button, check box or radio button shows less than its text: its size hint fits the
// width it has, and it lies inside the window (or inside a scrolled area).
void CheckTextsWhole(const Visit& visit, std::vector<std::string>& faults);
// No list or table column cuts its values while the view has room for them: every column is as
// wide as its values and caption, the last one as wide as the room left allows.
void CheckColumnsWhole(const Visit& visit, std::vector<std::string>& faults);
// The mouse wheel moves the cartography window's picture, down and back up, within its room.
void CheckWheelScrollsPicture(const Visit& visit, std::vector<std::string>& faults);
// No text the window shows (title, labels, buttons, group and tab titles, combo box items, menus,
// column captions) is a text of the other language, but for the texts the program fixes in one.
void CheckOneLanguage(const Visit& visit, std::vector<std::string>& faults);
// The checks every window passes.
std::vector<Check> LayoutChecks();

// The main window loaded with a document of the program's map set and gazetteer, and the walk
// that reaches each window of the catalogue.
class ProgramWindowsTest : public app_test::MainWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Walks `road` from the main window, runs `inspect` on the window at its end, then closes the
    // windows the walk opened, the last first. False when a window did not come.
    bool Reach(const WindowRoad& road, const std::function<void(QWidget&)>& inspect);
    // The faults `checks` and the road's own checks find on the window at the end of `road`.
    std::vector<std::string> FaultsOf(const WindowRoad& road, const std::vector<Check>& checks);

    // The screen the windows open on.
    static QRect AvailableArea();
};

} // namespace windows_test

// Every window and dialog of the program, reached from the main window with a document loaded, in
// French and in English, on the screen the test runs with (CTest runs it at 1280 x 720 and at
// 1366 x 768): each lies within the screen's available area, shows its texts and values whole and
// shows no text of the other language. Qt's own dialogs show no text of the other language.

#include "ProgramWindows.h"

#include <QScreen>
#include <sstream>

namespace {

using windows_test::Catalogue;
using windows_test::ProgramWindowsTest;
using windows_test::WindowRoad;

// The Language menu's items of the two languages.
struct Language {
    int item;
    const char* name;
};
constexpr std::array<Language, 2> kLanguages{{{0, "French"}, {1, "English"}}};

class WindowsTest : public ProgramWindowsTest, public ::testing::WithParamInterface<WindowRoad> {
protected:
    // Runs `checks` on the window at the end of the parameter's road in each language.
    void CheckInEachLanguage(const std::vector<windows_test::Check>& checks);
};

void WindowsTest::CheckInEachLanguage(const std::vector<windows_test::Check>& checks) {
    const WindowRoad& road = GetParam();
    for (const Language& language : kLanguages) {
        form_->MnuLang[static_cast<std::size_t>(language.item)]->trigger();
        const std::vector<std::string> faults = FaultsOf(road, checks);
        std::ostringstream all;
        for (const std::string& fault : faults) {
            all << "\n  " << fault;
        }
        const QRect area = AvailableArea();
        EXPECT_TRUE(faults.empty()) << road.name << " in " << language.name << " on "
                                    << area.width() << "x" << area.height() << ":" << all.str();
    }
}

class EveryWindowTest : public WindowsTest {};
class QtDialogTest : public WindowsTest {};

TEST_P(EveryWindowTest, LiesOnTheScreenWithItsTextsWholeInOneLanguage) {
    CheckInEachLanguage(windows_test::LayoutChecks());
}

TEST_P(QtDialogTest, ShowsTheChosenLanguage) {
    CheckInEachLanguage({windows_test::CheckOneLanguage});
}

std::string RoadName(const ::testing::TestParamInfo<WindowRoad>& info) {
    std::string name;
    for (const char c : info.param.name) {
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Program, EveryWindowTest, ::testing::ValuesIn(Catalogue()), RoadName);
INSTANTIATE_TEST_SUITE_P(Program, QtDialogTest, ::testing::ValuesIn(windows_test::QtDialogs()),
                         RoadName);

} // namespace

// The tests of the windows: an offscreen Qt with widgets and the program's on-screen prompter,
// which a test replaces with a scripted one where it answers questions.
#include "platform/NumberLocale.h"
#include "platform/widgets/QtPrompter.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // An offscreen platform given with its options (a screen of a chosen size) stays.
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("offscreen"))) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    platform::KeepCNumberNotation();
    platform::InstallOnScreenPrompter();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The tests of the layers below the windows: an offscreen Qt without widgets, so that nothing in
// them can lean on one.
#include "platform/NumberLocale.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    platform::KeepCNumberNotation(); // as the program does once its application exists
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

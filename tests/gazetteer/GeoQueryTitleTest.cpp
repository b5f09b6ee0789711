#include "../support/TempSettings.h"
#include "gazetteer/frmGeoQuery.h"
#include "platform/StringTable.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The place search window is titled in the language chosen in the program, like its buttons, and
// follows a change of language at its next showing.
TEST(GeoQueryTitle, FollowsTheChosenLanguageAtEachShowing) {
    const testing_support::TempSettings settings;
    gazetteer::frmGeoQuery window{gazetteer::GazetteerHost{}};
    const struct {
        int langue;
        const char* title;
        const char* setup;
    } cases[] = {
        {platform::kFrench, "Dictionnaire", "&Initialiser"},
        {platform::kEnglish, "Database", "&Setup"},
        {platform::kGerman, "Ortsverzeichnis", "&Initialisieren"},
    };
    for (const auto& c : cases) {
        platform::SetLangue(c.langue);
        QString title;
        QString setup;
        QTimer::singleShot(0, &window, [&] {
            title = window.windowTitle();
            setup = window.cmdSetup->text();
            QTest::keyClick(window.txt, Qt::Key_Escape);
        });
        EXPECT_FALSE(window.choose().has_value());
        EXPECT_EQ(title, QString::fromUtf8(c.title)) << c.langue;
        EXPECT_EQ(setup, QString::fromUtf8(c.setup)) << c.langue;
    }
    platform::SetLangue(platform::kEnglish);
}

} // namespace

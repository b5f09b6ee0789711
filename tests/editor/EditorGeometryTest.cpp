#include "editor/EditorGeometry.h"

#include "../support/TempSettings.h"
#include "platform/Settings.h"

#include <gtest/gtest.h>

namespace {

TEST(EditorGeometryTest, StoredValuesThatAreNoNumbersGiveTheDefaults) {
    testing_support::TempSettings settings;
    const std::tuple<const char*, const char*, float, float> cases[] = {
        {nullptr, nullptr, 7260, 9840}, {"8000", "1200", 8000, 1200}, {"abc", "12x", 7260, 9840},
        {"nan", "inf", 7260, 9840},     {"-5", "-300", 7260, -300},   {" 6000.5 ", "0", 6000.5F, 0},
    };
    for (const auto& [height, top, wantHeight, wantTop] : cases) {
        platform::DeleteSetting("ZEB", "EditForm");
        if (height != nullptr) {
            platform::SaveSetting("ZEB", "EditForm", "Height", QString::fromLatin1(height));
            platform::SaveSetting("ZEB", "EditForm", "Top", QString::fromLatin1(top));
        }
        const editor::EditorGeometry g = editor::ReadEditorGeometry();
        EXPECT_EQ(g.height, wantHeight) << (height ? height : "none");
        EXPECT_EQ(g.top, wantTop) << (top ? top : "none");
    }
}

TEST(EditorGeometryTest, WrittenAsDecimalTextsAndReadBack) {
    testing_support::TempSettings settings;
    editor::WriteEditorGeometry({7500, 1545});
    EXPECT_EQ(platform::GetSetting("ZEB", "EditForm", "Height"), QStringLiteral("7500"));
    EXPECT_EQ(platform::GetSetting("ZEB", "EditForm", "Top"), QStringLiteral("1545"));
    EXPECT_EQ(editor::ReadEditorGeometry().top, 1545);
}

TEST(EditorGeometryTest, TheWindowIsKeptOnAVisibleScreen) {
    const QList<QRect> screens{QRect(0, 0, 1280, 800), QRect(1280, 0, 1024, 768)};
    // Wholly on a screen: as wanted.
    EXPECT_EQ(editor::PlaceOnScreen(QRect(100, 200, 600, 480), screens), QRect(100, 200, 600, 480));
    EXPECT_EQ(editor::PlaceOnScreen(QRect(1400, 10, 600, 480), screens), QRect(1400, 10, 600, 480));
    // Partly below the screen (the default top of 9840 twips on a small screen): moved up.
    EXPECT_EQ(editor::PlaceOnScreen(QRect(100, 656, 600, 480), screens), QRect(100, 320, 600, 480));
    // Across two screens: onto the one holding most of it.
    EXPECT_EQ(editor::PlaceOnScreen(QRect(1200, 10, 600, 480), screens), QRect(1280, 10, 600, 480));
    // Off every screen, or larger than the screen: onto the first one, shrunk to it.
    EXPECT_EQ(editor::PlaceOnScreen(QRect(100, 5000, 600, 480), screens),
              QRect(100, 320, 600, 480));
    EXPECT_EQ(editor::PlaceOnScreen(QRect(-3000, -900, 2000, 1000), screens),
              QRect(0, 0, 1280, 800));
    EXPECT_EQ(editor::PlaceOnScreen(QRect(5, 6, 7, 8), {}), QRect(5, 6, 7, 8));
}

} // namespace

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

// A hint wider than its box pushes the boxes on its right along; boxes with room keep their places.
TEST(EditorGeometryTest, BoxesMoveRightSoThatEveryHintShowsWhole) {
    using editor::BoxPlace;
    struct Case {
        std::array<BoxPlace, 3> wanted;
        std::array<int, 3> lefts;
        std::array<int, 3> labelWidths;
    };
    const Case cases[] = {
        // Zone, easting and northing: the two long hints push the next boxes.
        {{{{8, 36, 60, true}, {48, 100, 110, true}, {152, 100, 120, true}}},
         {8, 72, 186},
         {60, 110, 120}},
        // Short hints: nothing moves, labels as wide as their boxes.
        {{{{8, 36, 20, true}, {48, 100, 40, true}, {152, 100, 90, true}}},
         {8, 48, 152},
         {36, 100, 100}},
        // A hidden first box takes no room; the others keep their places.
        {{{{8, 36, 300, false}, {8, 113, 90, true}, {125, 113, 100, true}}},
         {8, 8, 125},
         {300, 113, 113}},
        // Given out of order: placed by their lefts.
        {{{{125, 113, 200, true}, {8, 113, 160, true}, {0, 0, 0, false}}},
         {172, 8, 0},
         {200, 160, 0}},
    };
    for (const Case& c : cases) {
        const std::array<BoxPlace, 3> placed = editor::PlaceBoxes(c.wanted);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(placed[i].left, c.lefts[i]) << i;
            EXPECT_EQ(placed[i].width, c.wanted[i].width) << i;
            EXPECT_EQ(placed[i].labelWidth, c.labelWidths[i]) << i;
        }
    }
}

} // namespace

// The region symbol options: the diameter box, the pattern arrows and OK.

#include "maps/OptionsMap.h"

#include "MapFixture.h"

#include <QComboBox>

namespace {

using maps_test::MapTest;

TEST(OptionsMap, DiameterTexts) {
    struct Case {
        const char* text;
        std::optional<float> value;
    };
    for (const Case& c :
         {Case{"auto", -1.0F}, Case{"  AuTo ", -1.0F}, Case{"-1", std::nullopt},
          Case{"", std::nullopt}, Case{"0", std::nullopt}, Case{"km", std::nullopt},
          Case{"2,5", 2.0F}, Case{"3 km", 3.0F}, Case{"&H10", 16.0F}, Case{".5", 0.5F}}) {
        EXPECT_EQ(maps::DiameterFromText(QString::fromLatin1(c.text)), c.value) << c.text;
    }
    EXPECT_EQ(maps::DiameterText(0.5F), QStringLiteral(".5"));
    EXPECT_EQ(maps::DiameterText(-1.0F), QStringLiteral("auto"));
    EXPECT_EQ(maps::DiameterText(12.0F), QStringLiteral("12"));
}

TEST(OptionsMap, PatternArrowsGoRound) {
    EXPECT_EQ(maps::NextPattern(7, true), 0);
    EXPECT_EQ(maps::NextPattern(0, false), 7);
    EXPECT_EQ(maps::NextPattern(3, true), 4);
}

TEST_F(MapTest, OkStoresColoursFirstAndRefusesABadDiameter) {
    platform::Settings().MapPointDiameter = 0.5F;
    maps::OptionsMap dialog;
    EXPECT_EQ(dialog.Combo1->currentText(), QStringLiteral(".5"));
    dialog.chooseColor = [](const QColor&) { return QColor(1, 2, 3); };
    dialog.CmdOptionMap_Click(1);
    dialog.UpDown_Change(2, false);
    dialog.Combo1->setEditText(QStringLiteral("0"));
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    dialog.CmdOk_Click();
    EXPECT_EQ(prompter.messages().at(0).text, QStringLiteral("Invalid points diameter"));
    EXPECT_EQ(platform::Settings().PeriodFillColor[1], 0x030201);
    EXPECT_EQ(maps::Maps().PeriodFillStyle[2], 7);
    EXPECT_EQ(platform::Settings().MapPointDiameter, 0.5F);
    dialog.Combo1->setEditText(QStringLiteral(" Auto"));
    dialog.CmdOk_Click();
    EXPECT_EQ(platform::Settings().MapPointDiameter, -1.0F);
}

} // namespace

#include "document/Periods.h"

#include "../support/ScriptedPrompter.h"
#include "WorkTableFixture.h"
#include "platform/StringTable.h"

namespace {

using document::Document;
using document::PeriodDialogBoxes;
using document::PeriodFocus;
using document::PeriodScheme;
using platform::Answer;
using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;
using testing_support::WorkTableTest;

struct YearCase {
    PeriodScheme scheme;
    double year;
    std::optional<std::int16_t> period;
};

TEST(PeriodFromYear, FollowsTheSchemeWithPivotsInTheLaterPeriod) {
    const std::vector<YearCase> cases = {
        {{0, 0, 0}, -5000, 1},
        {{0, 1980, 2000}, 2010, 1},
        {{1, 1980, 0}, 1979, 1},
        {{1, 1980, 0}, 1980, 2},
        {{1, 1980, 0}, 2010, 2},
        {{1, 1980, 0}, 1979.9, 1}, // only the whole part decides
        {{2, 1980, 2000}, 1979, 1},
        {{2, 1980, 2000}, 1980, 2},
        {{2, 1980, 2000}, 1999, 2},
        {{2, 1980, 2000}, 2000, 3},
        {{2, 2000, 1990}, 1999, 1}, // PivotYear2 below PivotYear1: no year gives 2
        {{2, 2000, 1990}, 2000, 3},
        {{2, 2000, 1990}, 2100, 3},
        {{2, 1990, 1990}, 1990, 3},
        {{3, 1980, 2000}, 1990, std::nullopt},
        {{-1, 1980, 2000}, 1990, std::nullopt},
    };
    for (const YearCase& c : cases) {
        EXPECT_EQ(document::PeriodFromYear(c.year, c.scheme), c.period)
            << c.scheme.PeriodOption << " " << c.scheme.PivotYear1 << " " << c.scheme.PivotYear2
            << " year " << c.year;
    }
}

TEST(PeriodFromYear, UsesTheDocumentsScheme) {
    document::ResetDocumentState();
    document::InstallPeriodScheme({1, 1980, 7});
    EXPECT_EQ(document::PeriodFromYear(1980), std::int16_t{2});
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{1, 1980, 7}));
    document::ResetDocumentState();
}

TEST(YearFromText, ReadsTheLeadingNumberRoundedHalvesToEven) {
    const std::vector<std::pair<const char*, std::optional<std::int16_t>>> cases = {
        {"1999.5", 2000},
        {"2000.5", 2000},
        {"1 9 8 0", 1980},
        {"\t1980x", 1980},
        {"abc", 0},
        {"   ", 0},
        {"-12", -12},
        {"32767.4", 32767},
        {"32767.5", std::nullopt},
        {"40000", std::nullopt},
        {"-32768", -32768},
    };
    for (const auto& [text, year] : cases) {
        EXPECT_EQ(document::YearFromText(QString::fromLatin1(text)), year) << text;
    }
}

class PeriodDialogTest : public WorkTableTest {
protected:
    void SetUp() override {
        WorkTableTest::SetUp();
        platform::SetLangue(platform::kEnglish);
    }
    static PeriodDialogBoxes Boxes(const QString& pivot1, const QString& pivot21 = {},
                                   const QString& pivot22 = {}) {
        PeriodDialogBoxes boxes;
        boxes.TxtPivot1 = pivot1;
        boxes.TxtPivot21 = pivot21;
        boxes.TxtPivot22 = pivot22;
        return boxes;
    }
};

TEST_F(PeriodDialogTest, OpensWithTheStoredSchemeInItsBoxes) {
    document::InstallPeriodScheme({2, 1980, 2000});
    const PeriodDialogBoxes three = document::PeriodDialogFill();
    EXPECT_EQ(three.option, 2);
    EXPECT_EQ(three.TxtPivot1, QString());
    EXPECT_EQ(three.TxtPivot21, QStringLiteral("1980"));
    EXPECT_EQ(three.TxtPivot22, QStringLiteral("2000"));
    document::InstallPeriodScheme({1, -45, 2000});
    const PeriodDialogBoxes two = document::PeriodDialogFill();
    EXPECT_EQ(two.option, 1);
    EXPECT_EQ(two.TxtPivot1, QStringLiteral("-45"));
    EXPECT_TRUE(two.TxtPivot21.isEmpty());
}

TEST_F(PeriodDialogTest, LoweringToOnePeriodRewritesTheWholeTableOnOk) {
    AddPeriods({1, 2, 3, std::nullopt});
    Show("SELECT * FROM DOVAZOV WHERE PERIOD = 3"); // a selection in force
    document::InstallPeriodScheme({2, 1980, 2000});
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Ok));
    const auto result = document::PeriodDialogOk(0, Boxes({}));
    EXPECT_TRUE(result.accepted);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("Caution! All period values will be replace by 1. Irreversible "
                             "operation!"));
    EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::OkCancel);
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(Periods(), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(Document().FileModified, -1);
    EXPECT_EQ(Document().PeriodOption, 0);
    EXPECT_EQ(Document().PivotYear1, 1980); // unused pivots keep their values
}

TEST_F(PeriodDialogTest, CancellingALoweringChangesNothingAndReselectsTheStoredOption) {
    AddPeriods({1, 3});
    document::InstallPeriodScheme({2, 1980, 2000});
    platform::Settings().Silence = 1;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Cancel));
    prompter.expect(AnswerWith(Answer::Cancel));
    for (int chosen : {0, 1}) {
        const auto result = document::PeriodDialogOk(chosen, Boxes("1990"));
        EXPECT_FALSE(result.accepted);
        EXPECT_EQ(result.reselectOption, 2);
        EXPECT_EQ(result.focus, PeriodFocus::OptionPivot);
    }
    EXPECT_EQ(prompter.beeps(), 0);
    EXPECT_EQ(Periods(), (std::vector<int>{1, 3}));
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{2, 1980, 2000}));
    EXPECT_EQ(Document().FileModified, 0);
}

TEST_F(PeriodDialogTest, LoweringFromThreeToTwoTurnsThreesIntoTwos) {
    AddPeriods({1, 2, 3, std::nullopt, 3});
    Show("SELECT * FROM DOVAZOV WHERE PERIOD = 1");
    document::InstallPeriodScheme({2, 1980, 2000});
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Ok));
    const auto result = document::PeriodDialogOk(1, Boxes("1999.5"));
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("Caution! All 3d period values will be replace by 2. Irreversible "
                             "operation!"));
    EXPECT_EQ(Periods(), (std::vector<int>{1, 2, 2, -1, 2}));
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{1, 2000, 2000}));
    EXPECT_EQ(Document().FileModified, -1);
}

TEST_F(PeriodDialogTest, RaisingOrKeepingAsksNothingAndRewritesNothing) {
    AddPeriods({1, 2});
    document::InstallPeriodScheme({1, 1980, 0});
    ScriptedPrompter prompter;
    EXPECT_TRUE(document::PeriodDialogOk(2, Boxes({}, "1980", "2000")).accepted);
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{2, 1980, 2000}));
    EXPECT_TRUE(document::PeriodDialogOk(2, Boxes({}, "1970", "1960")).accepted);
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{2, 1970, 1960}));
    EXPECT_EQ(Periods(), (std::vector<int>{1, 2}));
    EXPECT_EQ(Document().FileModified, 0);
}

TEST_F(PeriodDialogTest, LoweringDuringNewAsksNothingAndRewritesNothing) {
    AddPeriods({3, 2});
    document::InstallPeriodScheme({2, 1980, 2000});
    Document().NewDocument = -1;
    ScriptedPrompter prompter;
    EXPECT_TRUE(document::PeriodDialogOk(1, Boxes("1990")).accepted);
    EXPECT_TRUE(document::PeriodDialogOk(0, Boxes({})).accepted);
    EXPECT_EQ(Periods(), (std::vector<int>{3, 2}));
    EXPECT_EQ(Document().FileModified, 0);
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{0, 1990, 2000}));
}

TEST_F(PeriodDialogTest, AMissingOrOutOfRangePivotYearKeepsTheDialogOpen) {
    AddPeriods({3});
    document::InstallPeriodScheme({2, 1980, 2000});
    ScriptedPrompter prompter;
    for (int i = 0; i < 5; ++i) {
        prompter.expect(AnswerWith(Answer::Ok));
    }
    struct Case {
        int chosen;
        PeriodDialogBoxes boxes;
        QString message;
        PeriodFocus focus;
    };
    const std::vector<Case> cases = {
        {1, Boxes({}), "Specify a switch year!", PeriodFocus::None},
        {2, Boxes({}, {}, "2000"), "Specify a first switch year!", PeriodFocus::TxtPivot21},
        {2, Boxes({}, "1980", {}), "Specify a second year!", PeriodFocus::TxtPivot22},
        {1, Boxes("99999"), "Switch year must be between -32768 and 32767", PeriodFocus::TxtPivot1},
        {2, Boxes({}, "1980", "-40000"), "Switch year must be between -32768 and 32767",
         PeriodFocus::TxtPivot22},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto result = document::PeriodDialogOk(cases[i].chosen, cases[i].boxes);
        EXPECT_FALSE(result.accepted) << i;
        EXPECT_EQ(result.focus, cases[i].focus) << i;
        ASSERT_EQ(prompter.messages().size(), i + 1);
        EXPECT_EQ(prompter.messages()[i].text, cases[i].message);
        EXPECT_EQ(prompter.messages()[i].icon, platform::Icon::Exclamation);
    }
    EXPECT_EQ(prompter.beeps(), 5);
    // A refused year was refused before the lowering question: the records are untouched.
    EXPECT_EQ(Periods(), (std::vector<int>{3}));
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{2, 1980, 2000}));
}

TEST_F(PeriodDialogTest, BlanksOrTextInAPivotBoxGiveTheYearZero) {
    ScriptedPrompter prompter;
    EXPECT_TRUE(document::PeriodDialogOk(1, Boxes("  ")).accepted);
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{1, 0, 0}));
    EXPECT_TRUE(document::PeriodDialogOk(2, Boxes({}, "abc", "2000.5")).accepted);
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{2, 0, 2000}));
}

} // namespace

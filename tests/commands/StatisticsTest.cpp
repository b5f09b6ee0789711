#include "commands/Statistics.h"

#include "CommandsFixture.h"
#include "document/DocumentState.h"

namespace {

using testing_support::AnswerWith;
using testing_support::CommandsTest;
using testing_support::ScriptedPrompter;

class StatisticsTest : public CommandsTest {
protected:
    static void Values(const std::vector<std::pair<std::optional<int>, std::optional<int>>>& rows,
                       int period = 1) {
        SQLite::Statement insert(document::WorkDb(),
                                 "INSERT INTO DOVAZOV (PERIOD, N1, N2) VALUES (?, ?, ?)");
        for (const auto& [n1, n2] : rows) {
            insert.reset();
            insert.bind(1, period);
            n1 ? insert.bind(2, *n1) : insert.bind(2);
            n2 ? insert.bind(3, *n2) : insert.bind(3);
            insert.exec();
        }
    }
    static std::vector<int> Field(const char* name) {
        std::vector<int> values;
        SQLite::Statement query(document::WorkDb(),
                                std::string("SELECT ") + name + " FROM DOVAZOV ORDER BY Counter");
        while (query.executeStep()) {
            values.push_back(query.getColumn(0).isNull() ? -999 : query.getColumn(0).getInt());
        }
        return values;
    }
};

TEST_F(StatisticsTest, MeanAndSampleDeviationLeaveNullsOut) {
    Values({{2, 7}, {4, std::nullopt}, {6, std::nullopt}, {std::nullopt, std::nullopt}});
    const commands::NumericStatistics s = commands::ComputeStatistics();
    EXPECT_DOUBLE_EQ(*s.n1.mean, 4.0);
    EXPECT_DOUBLE_EQ(*s.n1.stdev, 2.0);
    EXPECT_DOUBLE_EQ(*s.n2.mean, 7.0);
    EXPECT_FALSE(s.n2.stdev);
}

TEST_F(StatisticsTest, PatternText) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{12, "12."},      {0.5, ".5"}, {12.345, "12.35"},
                          {-1.25, "-1.25"}, {0, "."},    {4.005, "4.01"}};
    for (const Case& c : cases) {
        EXPECT_EQ(commands::PatternText(c.value, '.'), c.text) << c.value;
    }
    EXPECT_EQ(commands::PatternText(2.5, ','), "2,5");
}

TEST_F(StatisticsTest, TheMessageOrTheDeviationError) {
    platform::Settings().LabelNumeric1 = "A";
    platform::Settings().LabelNumeric2 = "B";
    Values({{2, 1}, {4, 1}, {6, 4}});
    {
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok));
        commands::MnuParametres();
        ASSERT_EQ(prompter.messages().size(), 1U);
        EXPECT_EQ(prompter.messages()[0].text, QString("Moyenne A=4.\rSTD A=2.\rMoyenne B=2.\r"
                                                       "STD B=1.73"));
        EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Information);
    }
    document::WorkDb().exec("DELETE FROM DOVAZOV WHERE N1 > 2");
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    commands::MnuParametres();
    EXPECT_EQ(prompter.messages().at(0).icon, platform::Icon::Critical);
    EXPECT_EQ(document::Document().FileModified, 0);
}

TEST_F(StatisticsTest, LogarithmSkipsValuesWithoutOne) {
    Values({{1, 100}, {5, 0}, {10, -3}, {100, std::nullopt}});
    ShowAll();
    ScriptedPrompter prompter;
    ASSERT_TRUE(commands::MnuStd(0));
    EXPECT_EQ(Field("N1"), (std::vector<int>{1, 2, 2, 3}));
    EXPECT_EQ(Field("N2"), (std::vector<int>{3, 0, -3, -999}));
    EXPECT_EQ(document::Document().FileModified, -1);
}

TEST_F(StatisticsTest, StandardisedValuesOverTheWholeTableRewriteTheShownRows) {
    Values({{2, 5}, {4, 5}});
    Values({{6, 5}}, 2);
    Show("SELECT * FROM DOVAZOV WHERE PERIOD = 2");
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    ASSERT_TRUE(commands::MnuStd(1));
    EXPECT_EQ(prompter.messages().at(0).text, QString("Moyenne N1=4\rSTD N1=2"));
    EXPECT_EQ(Field("N1"), (std::vector<int>{2, 4, 2}));
    EXPECT_EQ(Field("N2"), (std::vector<int>{5, 5, 5})); // a deviation of 0 changes nothing
}

TEST_F(StatisticsTest, NoDeviationNoChange) {
    Values({{2, 5}});
    ShowAll();
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    EXPECT_FALSE(commands::MnuStd(1));
    EXPECT_EQ(Field("N1"), std::vector<int>{2});
    EXPECT_EQ(document::Document().FileModified, 0);
}

} // namespace

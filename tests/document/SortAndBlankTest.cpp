#include "document/SortAndBlank.h"

#include "../support/ScriptedPrompter.h"
#include "WorkTableFixture.h"
#include "platform/StringTable.h"

namespace {

using document::Data1;
using document::Document;
using testing_support::ScriptedPrompter;
using testing_support::TypeText;
using testing_support::WorkTableTest;

TEST(SortQuery, GivesTheQueryOfEachItemWithItsDirection) {
    EXPECT_EQ(document::SortQuery(2, false),
              QStringLiteral("SELECT * FROM DOVAZOV ORDER BY [LATITUDE] DESC"));
    EXPECT_EQ(document::SortQuery(7, true),
              QStringLiteral("SELECT * FROM DOVAZOV ORDER BY  [ORIGINAL] ASC"));
    EXPECT_EQ(document::SortQuery(1, true),
              QStringLiteral("SELECT * FROM DOVAZOV ORDER BY [PERIOD] ASC"));
    EXPECT_EQ(document::SortQuery(9, false),
              QStringLiteral("SELECT * FROM DOVAZOV ORDER BY  [SEX] DESC"));
    for (bool ascending : {true, false}) {
        EXPECT_EQ(document::SortQuery(0, ascending),
                  QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
    }
    EXPECT_FALSE(document::SortQuery(-1, true));
    EXPECT_FALSE(document::SortQuery(10, true));
}

TEST(SortQuery, EachItemGivesItsQueryWithTheBlanksAfterBy) {
    // The queries as the sort list has always sent them: two blanks after "BY" from item 3 on.
    const char* const queries[] = {
        "SELECT * FROM DOVAZOV ORDER BY Counter",    "SELECT * FROM DOVAZOV ORDER BY [PERIOD]",
        "SELECT * FROM DOVAZOV ORDER BY [LATITUDE]", "SELECT * FROM DOVAZOV ORDER BY  [LONGITUDE]",
        "SELECT * FROM DOVAZOV ORDER BY  [N1]",      "SELECT * FROM DOVAZOV ORDER BY  [N2]",
        "SELECT * FROM DOVAZOV ORDER BY  [DATUM]",   "SELECT * FROM DOVAZOV ORDER BY  [ORIGINAL]",
        "SELECT * FROM DOVAZOV ORDER BY  [DATE]",    "SELECT * FROM DOVAZOV ORDER BY  [SEX]"};
    for (int item = 1; item < 10; ++item) {
        const QString query = QString::fromLatin1(queries[item]);
        EXPECT_EQ(document::SortQuery(item, true), query + QStringLiteral(" ASC")) << item;
        EXPECT_EQ(document::SortQuery(item, false), query + QStringLiteral(" DESC")) << item;
    }
    EXPECT_EQ(document::SortQuery(0, false), QString::fromLatin1(queries[0]));
}

class SortAndBlankTest : public WorkTableTest {
protected:
    void SetUp() override {
        WorkTableTest::SetUp();
        platform::SetLangue(platform::kEnglish);
    }
};

TEST_F(SortAndBlankTest, ChangeTriShowsTheWholeTableInTheNewOrder) {
    AddPeriods({2, 3, 1});
    Show("SELECT * FROM DOVAZOV WHERE PERIOD = 3");
    document::ChangeTri(1, false);
    EXPECT_EQ(Document().SqlTri, QStringLiteral("SELECT * FROM DOVAZOV ORDER BY [PERIOD] DESC"));
    EXPECT_EQ(Data1().recordSource(), Document().SqlTri);
    auto& set = Data1().recordset();
    ASSERT_EQ(set.recordCount(), 3);
    EXPECT_EQ(set.current().PERIOD, std::int16_t{3});
    // No item selected: the query stays, and is applied again.
    document::ChangeTri(-1, true);
    EXPECT_EQ(Document().SqlTri, QStringLiteral("SELECT * FROM DOVAZOV ORDER BY [PERIOD] DESC"));
    // "None" is Counter order whatever the direction.
    document::ChangeTri(0, false);
    EXPECT_EQ(Data1().recordset().bookmarks(), (std::vector<std::int64_t>{1, 2, 3}));
}

TEST_F(SortAndBlankTest, ChangeTriBeforeAnyDocumentLeavesDataUnbound) {
    document::ChangeTri(0, true);
    EXPECT_FALSE(Data1().bound());
    EXPECT_EQ(Data1().recordSource(), QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
}

TEST_F(SortAndBlankTest, AddLinesAppendsBlankRecordsAndMovesToTheLast) {
    AddPeriods({1});
    Show("SELECT * FROM DOVAZOV WHERE PERIOD = 1");
    ScriptedPrompter prompter;
    prompter.expect(TypeText("3"));
    const auto last = document::AjoutLignes();
    ASSERT_TRUE(last);
    EXPECT_EQ(prompter.inputPrompts(), QStringList{QStringLiteral("Number of line(s) to add")});
    EXPECT_EQ(RowCount(), 4);
    auto& set = Data1().recordset();
    EXPECT_EQ(set.recordCount(), 4); // the new rows join the set shown, filter or not
    EXPECT_EQ(set.bookmark(), *last);
    document::Record blank;
    blank.Counter = *last;
    EXPECT_EQ(set.current(), blank);
    EXPECT_EQ(Document().FileModified, -1);
}

TEST_F(SortAndBlankTest, AddLinesAsksWithNoTitleAndOneAsTheDefault) {
    Show("DOVAZOV");
    ScriptedPrompter prompter;
    prompter.expect(TypeText(QStringLiteral("1")));
    document::AjoutLignes();
    ASSERT_EQ(prompter.inputs().size(), 1U);
    EXPECT_EQ(prompter.inputs()[0],
              (testing_support::InputRequest{QStringLiteral("Number of line(s) to add"), QString(),
                                             QStringLiteral("1")}));
    EXPECT_EQ(RowCount(), 1);
}

TEST_F(SortAndBlankTest, AddLinesRoundsHalvesToEven) {
    Show("DOVAZOV");
    ScriptedPrompter prompter;
    prompter.expect(TypeText("2.5"));
    document::AjoutLignes();
    EXPECT_EQ(RowCount(), 2);
    prompter.expect(TypeText("3.5"));
    document::AjoutLignes();
    EXPECT_EQ(RowCount(), 6);
}

TEST_F(SortAndBlankTest, AddLinesWithNoCountChangesNothing) {
    Show("DOVAZOV");
    ScriptedPrompter prompter;
    for (const char* answer : {"", "0", "abc", "-2", "0.5", "40000"}) {
        prompter.expect(TypeText(answer));
        EXPECT_FALSE(document::AjoutLignes()) << answer;
    }
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Document().FileModified, 0);
}

} // namespace

#include "document/SelectionFilter.h"

#include "../support/ScriptedPrompter.h"
#include "WorkTableFixture.h"
#include "common/AppError.h"
#include "platform/ProgramSettings.h"

#include <QStringList>

namespace {

using document::ApplySelection;
using document::CheckSelectionCondition;
using document::Data1;
using document::EngineLike;
using document::SelectionLabel;
using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;
using testing_support::WorkTableTest;

TEST(EngineLikeTest, TakesBothWildcardStylesWithoutRegardToCase) {
    struct Case {
        const char* text;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"Abeille", "ab*", true},
        {"Abeille", "AB%", true},
        {"abc", "a?c", true},
        {"abc", "a_c", true},
        {"abbc", "a?c", false},
        {"abc", "a", false}, // the whole text must match
        {"", "*", true},
        {"", "?", false},
        {"mississippi", "*iss*ppi", true},
        {"mississippi", "*iss*ppx", false},
        {"aaab", "*a?b", true},
        {"b", "[abc]", true},
        {"B", "[a-c]", true},
        {"d", "[!abc]", true},
        {"a", "[!abc]", false},
        {"a*c", "a[*]c", true}, // the original engine's literal star
        {"abc", "a[*]c", false},
        {"a[b", "a[b", true}, // a "[" without its "]" is an ordinary character
        {"Été", "éTÉ", true},
        {"utm 31U 500000", "UTM*", true},
        {"2001/05/17", "2001/?\?/*", true},
        {"1999/05/17", "2001/?\?/*", false},
        {"a#c", "a#c", true}, // "#" is an ordinary character here
        {"a1c", "a#c", false},
        {"a\U0001F41Dc", "a?c", true}, // one character beyond the first plane
        {"a[]b", "a[]b", true},        // an empty set is no set
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EngineLike(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)), c.matches)
            << c.text << " LIKE " << c.pattern;
    }
}

TEST(EngineLikeTest, AnEscapeMakesTheNextCharacterLiteral) {
    const QChar escape(u'\\');
    EXPECT_TRUE(EngineLike(u"a*c", u"a\\*c", escape));
    EXPECT_FALSE(EngineLike(u"abc", u"a\\*c", escape));
    EXPECT_TRUE(EngineLike(u"50%", u"50\\%", escape));
    EXPECT_FALSE(EngineLike(u"500", u"50\\%", escape));
}

class SelectionFilterTest : public WorkTableTest {
protected:
    void SetUp() override {
        WorkTableTest::SetUp();
        SQLite::Statement insert(document::WorkDb(),
                                 "INSERT INTO DOVAZOV (PERIOD, SEX, ORIGINAL, DATE, COMMENT) "
                                 "VALUES (?, ?, ?, ?, ?)");
        const struct {
            int period;
            const char* sex;
            const char* original;
            const char* date;
            const char* comment;
        } rows[] = {
            {1, "M", "utm 31U 500000 4500000", "2001/05/17", "it's a bee"},
            {2, "F", "deg 50.8 4.35", "1999/06/01", "50% sure"},
            {3, "M", "UTM 32T 400000 5000000", "2001/07/02", "a;b"},
            {1, "", "bng TQ 300 800", "", "plain été"},
        };
        for (const auto& row : rows) {
            insert.reset();
            insert.bind(1, row.period);
            insert.bind(2, row.sex);
            insert.bind(3, row.original);
            insert.bind(4, row.date);
            insert.bind(5, row.comment);
            insert.exec();
        }
        Show(kSorted);
    }

    static int Shown() { return Data1().recordset().recordCount(); }

    // A long sort query, as the grid's record source often is.
    const QString kSorted = QStringLiteral(
        "SELECT * FROM DOVAZOV ORDER BY PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, "
        "ORIGINAL, DATE, COMMENT, Counter");
};

TEST_F(SelectionFilterTest, AConditionFiltersTheGridAndShowsTheLabel) {
    struct Case {
        const char* condition;
        int rows;
    };
    const Case cases[] = {
        {"PERIOD = 1", 2},
        {"ORIGINAL LIKE 'utm*'", 2}, // the original engine's wildcard, any case
        {"ORIGINAL LIKE 'UTM%'", 2}, // SQLite's
        {"DATE LIKE '2001/?\?/*'", 2},
        {"SEX LIKE '?'", 3},
        {"COMMENT LIKE '*it''s*'", 1}, // a quote inside a string
        {"COMMENT = 'a;b'", 1},        // a semicolon inside a string
        {"COMMENT LIKE '*ÉTÉ'", 1},
        {"COMMENT LIKE '50\\%*' ESCAPE '\\'", 1},
        {"PERIOD = 1 /* ; UNION */ -- ; EXCEPT", 2},
        {"PERIOD IN (SELECT PERIOD FROM DOVAZOV WHERE SEX = 'F')", 1},
        {"PERIOD IN (SELECT 2 UNION SELECT 3)", 2},
        {"upper(SEX) = 'M' ORDER BY DATE", 2},
    };
    for (const Case& c : cases) {
        Show(kSorted);
        ScriptedPrompter prompter;
        const QString condition = QString::fromUtf8(c.condition);
        const document::SelectionOutcome outcome = ApplySelection(false, condition);
        EXPECT_EQ(outcome.label, SelectionLabel::Shown) << c.condition;
        EXPECT_TRUE(outcome.refreshed);
        EXPECT_EQ(Data1().recordSource(), "SELECT * FROM DOVAZOV WHERE " + condition);
        EXPECT_EQ(Shown(), c.rows) << c.condition;
    }
}

TEST_F(SelectionFilterTest, AllRecordsShowsTheTableUnsortedAndHidesTheLabel) {
    ScriptedPrompter prompter;
    ApplySelection(false, QStringLiteral("PERIOD = 3"));
    const document::SelectionOutcome outcome = ApplySelection(true, QStringLiteral("PERIOD = 3"));
    EXPECT_EQ(outcome.label, SelectionLabel::Hidden);
    EXPECT_EQ(Data1().recordSource(), QStringLiteral("SELECT * FROM DOVAZOV"));
    EXPECT_EQ(Data1().recordset().bookmarks(), (std::vector<std::int64_t>{1, 2, 3, 4}));
}

TEST_F(SelectionFilterTest, AnEmptyConditionBeepsEvenInSilenceAndChangesNothing) {
    platform::Settings().Silence = 1;
    ScriptedPrompter prompter;
    const document::SelectionOutcome outcome = ApplySelection(false, QString());
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(outcome.label, SelectionLabel::Unchanged);
    EXPECT_FALSE(outcome.refreshed);
    EXPECT_EQ(Data1().recordSource(), kSorted);
}

// Bad and hostile conditions: each is refused with a message that says why, the previous record
// source comes back whole, and the table is untouched.
TEST_F(SelectionFilterTest, RefusedConditionsPutThePreviousRecordSourceBack) {
    struct Case {
        const char* condition;
        const char* message; // a part of the message shown
    };
    const Case cases[] = {
        {"PERIOD = = 1", "syntax error"},
        {"NOFIELD = 1", "no such column"},
        {"1=1; DROP TABLE DOVAZOV", "one query"},
        {"1=1; ATTACH DATABASE 'other.db' AS other", "one query"},
        {"1=1;", "one query"},
        {"PERIOD = 1 UNION SELECT * FROM sqlite_master", "UNION"},
        {"PERIOD = 1 union all SELECT * FROM DOVAZOV", "UNION"},
        {"PERIOD = 1 EXCEPT SELECT * FROM DOVAZOV", "EXCEPT"},
        {"(SELECT load_extension('x'))", "load_extension"},
        {"EXISTS (SELECT 1 FROM sqlite_master)", "sqlite_master"},
        {"PERIOD = 1 ORDER BY (SELECT sql FROM sqlite_schema)", "sqlite_"},
        {"PERIOD IN (SELECT cid FROM pragma_table_info('DOVAZOV'))", "DOVAZOV"},
        {"PERIOD IN (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) "
         "SELECT x FROM c)",
         "DOVAZOV"},
        {"PERIOD = (DELETE FROM DOVAZOV)", "syntax error"},
        {"PERIOD IN (SELECT 1 FROM (INSERT INTO DOVAZOV (PERIOD) VALUES (9)))", "syntax error"},
        {"random() > 0", "random"},
        {"printf('%.*c', 1000000000, 'x') <> ''", "printf"},
        {"COMMENT LIKE 'a' ESCAPE 'xy'", "ESCAPE"}, // fails when the query runs
    };
    for (const Case& c : cases) {
        ApplySelection(false, QStringLiteral("PERIOD = 1")); // a filter in force
        Show(kSorted);
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok));
        const document::SelectionOutcome outcome =
            ApplySelection(false, QString::fromUtf8(c.condition));
        ASSERT_EQ(prompter.messages().size(), 1U) << c.condition;
        const platform::MessageRequest& shown = prompter.messages().front();
        EXPECT_TRUE(shown.text.contains(QString::fromUtf8(c.message))) << shown.text.toStdString();
        EXPECT_EQ(shown.icon, platform::Icon::None);
        EXPECT_EQ(shown.buttons, platform::Buttons::Ok);
        EXPECT_EQ(outcome.label, SelectionLabel::Unchanged) << c.condition;
        EXPECT_EQ(Data1().recordSource(), kSorted) << c.condition;
        EXPECT_EQ(Shown(), 4) << c.condition;
        EXPECT_EQ(RowCount(), 4) << c.condition;
        EXPECT_EQ(Periods(), (std::vector<int>{1, 2, 3, 1}));
    }
}

TEST_F(SelectionFilterTest, AnEmbeddedNulCannotHideMoreText) {
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    QString condition = QStringLiteral("PERIOD = 1");
    condition += QChar(u'\0');
    condition += QStringLiteral(" OR 1 = 1");
    ApplySelection(false, condition);
    EXPECT_EQ(Data1().recordSource(), kSorted);
}

TEST_F(SelectionFilterTest, ACheckedConditionIsReturnedAsTheQueryToRun) {
    EXPECT_EQ(CheckSelectionCondition(document::WorkDb(), QStringLiteral("N1 > 2")),
              QStringLiteral("SELECT * FROM DOVAZOV WHERE N1 > 2"));
    try {
        CheckSelectionCondition(document::WorkDb(), QStringLiteral("1; VACUUM"));
        FAIL() << "a second statement was accepted";
    } catch (const common::AppError& error) {
        EXPECT_EQ(error.number(), document::kConditionError);
    }
    // The checks leave the connection as they found it: writes go on working.
    EXPECT_NO_THROW(document::WorkDb().exec("UPDATE DOVAZOV SET N1 = 1"));
}

TEST_F(SelectionFilterTest, AnErrorWithoutABoundGridLeavesItUnbound) {
    Data1().reset();
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    ApplySelection(false, QStringLiteral("PERIOD = = 1"));
    EXPECT_FALSE(Data1().bound());
    EXPECT_TRUE(Data1().recordSource().isEmpty());
}

} // namespace

#include "document/SelectionFilter.h"

#include "../support/ScriptedPrompter.h"
#include "WorkTableFixture.h"
#include "common/AppError.h"
#include "platform/Feedback.h"
#include "platform/ProgramSettings.h"

#include <QStringList>
#include <SQLiteCpp/Transaction.h>
#include <chrono>
#include <optional>
#include <sqlite3.h>

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
        {"PERIOD IN (SELECT PERIOD FROM DOVAZOV ORDER BY PERIOD DESC LIMIT 1)", 1},
        {"PERIOD = 1 -- a note, then nothing", 2},
        {"SEX = 'M' OR COMMENT = 'order by'", 2}, // clause words inside a text
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
        {"NOFIELD = 1", "unknown field: NOFIELD"},
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
        // Clauses after the condition: it must be one expression.
        {"upper(SEX) = 'M' ORDER BY DATE", "syntax error"},
        {"1 ORDER BY 2", "syntax error"},
        {"1 LIMIT 1", "syntax error"},
        {"1 GROUP BY SEX HAVING count(*) > 1", "syntax error"},
        {"1 WINDOW w AS (ORDER BY PERIOD)", "syntax error"},
        {"(1) ORDER BY (2)", "syntax error"},
        {"1 ORDER BY 2 /*", "syntax error"},
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
        EXPECT_TRUE(outcome.failed) << c.condition;
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
    for (const char* refused : {"1; VACUUM", "1 ORDER BY 2", "PERIOD = 1 LIMIT 1"}) {
        try {
            CheckSelectionCondition(document::WorkDb(), QString::fromUtf8(refused));
            ADD_FAILURE() << "accepted: " << refused;
        } catch (const common::AppError& error) {
            EXPECT_EQ(error.number(), common::kQueryError) << refused;
        }
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

TEST_F(SelectionFilterTest, TheLikeOfConditionsRefusesWorkNoCancelCouldStop) {
    // One match runs within one step of the engine, where its progress handler never comes: a
    // long pattern full of "*" over a long text is refused rather than left to run.
    const std::string text(std::size_t{1} << 14, 'a');
    const std::string pattern = "*" + std::string((std::size_t{1} << 14) - 2, 'a') + "b";
    SQLite::Statement huge(document::WorkDb(), "SELECT ? LIKE ?");
    huge.bind(1, text);
    huge.bind(2, pattern);
    try {
        huge.executeStep();
        ADD_FAILURE() << "a match of 2^28 steps was run";
    } catch (const SQLite::Exception& error) {
        EXPECT_NE(std::string(error.what()).find("pattern too complex"), std::string::npos);
    }
    // The connection's pattern limit holds, as it does for SQLite's own LIKE.
    sqlite3* handle = document::WorkDb().getHandle();
    const int limit = sqlite3_limit(handle, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 4);
    EXPECT_THROW(document::WorkDb().execAndGet("SELECT 'abc' LIKE 'abc*?'"), SQLite::Exception);
    EXPECT_EQ(document::WorkDb().execAndGet("SELECT 'abc' LIKE 'ab*'").getInt(), 1);
    sqlite3_limit(handle, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, limit);
    EXPECT_EQ(document::WorkDb().execAndGet("SELECT 'abc' LIKE 'abc*?'").getInt(), 0);
}

// Stands for the user at the wait window: presses its Cancel a while after it appears.
class CancellingUser final : public platform::Feedback {
public:
    using Clock = std::chrono::steady_clock;

    explicit CancellingUser(std::chrono::milliseconds delay) : delay_(delay) {
        platform::SetFeedback(this);
    }
    ~CancellingUser() override { platform::SetFeedback(nullptr); }
    CancellingUser(const CancellingUser&) = delete;
    CancellingUser& operator=(const CancellingUser&) = delete;

    void showMessage(const QString&) override {}
    void closeMessage() override { open = false; }
    void setProgressVisible(bool) override {}
    void setProgressValue(int) override {}
    void showCancellableMessage(const QString& text) override {
        shownText = text;
        open = true;
        shownAt = Clock::now();
    }
    bool cancelRequested() override {
        if (!pressedAt && shownAt && Clock::now() - *shownAt >= delay_) {
            pressedAt = Clock::now();
        }
        return pressedAt.has_value();
    }

    QString shownText;
    bool open = false;
    std::optional<Clock::time_point> shownAt;
    std::optional<Clock::time_point> pressedAt;

private:
    std::chrono::milliseconds delay_;
};

// A table of a few thousand rows, each with a comment of 100 "a": enough for a join, a
// concatenation or a text to grow without bound. The grid shows it sorted, on its eighth row.
class HostileConditionTest : public WorkTableTest {
protected:
    static constexpr int kRows = 3000;
    static constexpr std::ptrdiff_t kPosition = 7;

    void SetUp() override {
        WorkTableTest::SetUp();
        SQLite::Transaction transaction(document::WorkDb());
        SQLite::Statement insert(document::WorkDb(),
                                 "INSERT INTO DOVAZOV (PERIOD, N1, COMMENT) VALUES (?, 1, ?)");
        const std::string comment(100, 'a');
        for (int i = 0; i < kRows; ++i) {
            insert.bind(1, i % 7);
            insert.bind(2, comment);
            insert.exec();
            insert.reset();
        }
        transaction.commit();
        Show(kSorted);
        Data1().recordset().setAbsolutePosition(kPosition);
        before_ = Data1().recordset().bookmarks();
        handle_ = document::WorkDb().getHandle();
        lengthBefore_ = sqlite3_limit(handle_, SQLITE_LIMIT_LENGTH, -1);
        patternBefore_ = sqlite3_limit(handle_, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1);
        heapBefore_ = sqlite3_hard_heap_limit64(-1);
    }

    // Data1 shows exactly what it showed, and the connection has its limits back.
    void ExpectAsBefore(const document::SelectionOutcome& outcome, const char* condition) {
        EXPECT_EQ(outcome.label, SelectionLabel::Unchanged) << condition;
        EXPECT_FALSE(outcome.refreshed) << condition;
        EXPECT_EQ(Data1().recordSource(), kSorted) << condition;
        EXPECT_EQ(Data1().recordset().bookmarks(), before_) << condition;
        EXPECT_EQ(Data1().recordset().absolutePosition(), kPosition) << condition;
        EXPECT_EQ(sqlite3_limit(handle_, SQLITE_LIMIT_LENGTH, -1), lengthBefore_) << condition;
        EXPECT_EQ(sqlite3_limit(handle_, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1), patternBefore_)
            << condition;
        EXPECT_EQ(sqlite3_hard_heap_limit64(-1), heapBefore_) << condition;
        EXPECT_EQ(RowCount(), kRows);
    }

    const QString kSorted = QStringLiteral("SELECT * FROM DOVAZOV ORDER BY PERIOD, Counter");
    std::vector<std::int64_t> before_;
    sqlite3* handle_ = nullptr;
    int lengthBefore_ = 0;
    int patternBefore_ = 0;
    sqlite3_int64 heapBefore_ = 0;
};

// Each of these would run for minutes or take gigabytes: each ends, stopped by the user's Cancel
// or refused by a limit, and the grid keeps its rows.
TEST_F(HostileConditionTest, EndsByCancelOrLimitAndLeavesTheGridAsItWas) {
    const char* const nestedReplace =
        "length(replace(replace(replace(COMMENT, 'a', COMMENT), 'a', COMMENT), 'a', COMMENT)) "
        "> 0"; // 100 MB a row
    struct Case {
        const char* condition;
        const char* refusal; // a part of the message; null when only a Cancel ends it
    };
    const Case cases[] = {
        {"EXISTS (SELECT 1 FROM DOVAZOV a, DOVAZOV b, DOVAZOV c, DOVAZOV d "
         "WHERE a.N1 + b.N1 + c.N1 + d.N1 < 0)",
         nullptr},
        {nestedReplace, "too big"},
        // The engine tells the length limit only once the whole cross join is read: a Cancel ends
        // it.
        {"length((SELECT group_concat(hex(hex(hex(a.COMMENT)))) FROM DOVAZOV a, DOVAZOV b)) > 0",
         nullptr},
    };
    for (const Case& c : cases) {
        ScriptedPrompter prompter;
        if (c.refusal != nullptr) {
            prompter.expect(AnswerWith(platform::Answer::Ok));
        }
        // A limit must end the refused ones, however slow the build: the user waits for it.
        CancellingUser user(c.refusal != nullptr ? std::chrono::milliseconds(60000)
                                                 : std::chrono::milliseconds(200));
        const document::SelectionOutcome outcome =
            ApplySelection(false, QString::fromUtf8(c.condition));
        const auto returned = CancellingUser::Clock::now();
        if (c.refusal != nullptr) {
            EXPECT_FALSE(outcome.cancelled) << c.condition;
            ASSERT_EQ(prompter.messages().size(), 1U) << c.condition;
            EXPECT_TRUE(prompter.messages().front().text.contains(QString::fromUtf8(c.refusal)))
                << prompter.messages().front().text.toStdString();
        } else {
            EXPECT_TRUE(outcome.cancelled) << c.condition;
            EXPECT_TRUE(prompter.messages().empty()) << c.condition;
            ASSERT_TRUE(user.pressedAt.has_value()) << c.condition;
            // A loose bound on the way out, not a speed measure.
            EXPECT_LT(returned - *user.pressedAt, std::chrono::seconds(1)) << c.condition;
            EXPECT_TRUE(user.shownText.contains(QStringLiteral("DOVAZOV b"))) << c.condition;
        }
        EXPECT_FALSE(user.open) << c.condition;
        ExpectAsBefore(outcome, c.condition);
    }
}

TEST_F(HostileConditionTest, AConditionThatOutgrowsItsMemoryIsRefused) {
    // Forty texts of a million bytes each, all held at once for one row: 40 MB.
    const QString million = QStringLiteral("replace(replace(COMMENT, 'a', COMMENT), 'a', COMMENT)");
    QStringList texts;
    for (int i = 0; i < 40; ++i) {
        texts.append(million);
    }
    const QString condition =
        QStringLiteral("Counter = 1 AND length(max(") + texts.join(u',') + QStringLiteral(")) > 0");
    document::QueryLimits limits;
    limits.heapHeadroom = std::int64_t{16} << 20;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    const document::SelectionOutcome outcome = ApplySelection(false, condition, limits);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_TRUE(prompter.messages().front().text.contains(QStringLiteral("out of memory")))
        << prompter.messages().front().text.toStdString();
    ExpectAsBefore(outcome, "forty texts of a million bytes");
    // The same condition within the program's usual means runs.
    ScriptedPrompter quiet;
    EXPECT_EQ(ApplySelection(false, condition).label, SelectionLabel::Shown);
    EXPECT_EQ(Data1().recordset().recordCount(), 1);
}

} // namespace

#include "document/RecordCommands.h"

#include "WorkTableFixture.h"
#include "common/AppError.h"
#include "platform/Feedback.h"

#include <SQLiteCpp/Transaction.h>

namespace {

using document::Data1;
using document::FindTerms;
using document::Record;
using document::WorkDb;
using testing_support::WorkTableTest;

Record Sample() {
    Record r;
    r.PERIOD = 2;
    r.LATITUDE = 50.123455F;
    r.LONGITUDE = 4.25F;
    r.N1 = 12;
    r.N2 = 7;
    r.SEX = QStringLiteral("F");
    r.DATUM = QStringLiteral("NTF");
    r.ORIGINAL = QStringLiteral("lf2 600000 2400000");
    r.DATE = QStringLiteral("1998/05/__");
    r.COMMENT = QStringLiteral("CAL/ near O'Brien's farm");
    return r;
}

TEST(FindCriteriaTest, TextAndNumberGiveTheirTermsWithTheTextUnchanged) {
    EXPECT_EQ(document::FindCriteriaText("POND"),
              "SEX LIKE '*POND*' OR DATUM = 'POND' OR ORIGINAL LIKE '*POND*' OR "
              "DATE like '*POND*' OR COMMENT like '*POND*'");
    EXPECT_EQ(document::FindCriteriaText("12"),
              "PERIOD = 12 OR Latitude = 12 OR LONGITUDE = 12 OR N1 = 12 OR N2 = 12 OR "
              "SEX = 12 OR DATUM = '12' OR ORIGINAL = '12' OR DATE like '*12*' OR "
              "COMMENT like '*12*'");
    EXPECT_EQ(document::FindCriteriaText("O'BRIEN"),
              "SEX LIKE '*O'BRIEN*' OR DATUM = 'O'BRIEN' OR ORIGINAL LIKE '*O'BRIEN*' OR "
              "DATE like '*O'BRIEN*' OR COMMENT like '*O'BRIEN*'");
    for (const char* number : {"12", "-4.5", ".5", " 3 ", "1E3", "+2."}) {
        EXPECT_TRUE(document::ReadsAsNumber(number)) << number;
    }
    for (const char* text : {"", "12a", "4,5", "1.2.3", "E3", "-", "NAN", "INF"}) {
        EXPECT_FALSE(document::ReadsAsNumber(text)) << text;
    }
}

TEST(FindCriteriaTest, LikeTakesTheWildcardsOfTheOriginalEngine) {
    struct Case {
        const char* text;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"near the pond", "*POND*", true},
        {"Pond", "pond", true},
        {"pond", "*LAKE*", false},
        {"a1c", "a#c", true},
        {"abc", "a#c", false},
        {"abc", "a?c", true},
        {"abc", "a[a-c]c", true},
        {"adc", "a[!a-c]c", true},
        {"abc", "a[!a-c]c", false},
        {"a[c", "a[c", true},
        {"O'Brien", "*'BR*", true},
        {"", "**", true},
        {"50%", "50%", true},
        {"5x", "5%", false},
        {"a_b", "a_b", true},
        {"axb", "a_b", false},
        {"abcabd", "*ab?", true},
        {"abc", "*b", false},
        {"b", "[c-a]", true}, // a range given backwards
        {"a[]b", "a[]b", true},
        {"a\U0001F41Dc", "a?c", true},
        {"abab7", "*ab#", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            document::EngineLikeMatch(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)),
            c.matches)
            << c.text << " LIKE " << c.pattern;
    }
}

TEST(FindTermsTest, EachTermMatchesItsFieldAndNullMatchesNothing) {
    const Record r = Sample();
    // The grid shows a single with 7 significant digits (Qt's own formatting of the value).
    const QString shownLatitude = QString::number(static_cast<double>(*r.LATITUDE), 'g', 7);
    ASSERT_EQ(shownLatitude, "50.12346");
    // The shown text does not read back as the stored single: equality of numbers would miss it.
    ASSERT_NE(static_cast<float>(50.12346), *r.LATITUDE);
    struct Case {
        QString typed;
        bool matches;
    };
    const Case cases[] = {
        {QStringLiteral("2"), true},         // PERIOD
        {shownLatitude, true},               // LATITUDE as shown
        {QStringLiteral("50.123455"), true}, // LATITUDE as stored
        {QStringLiteral("50.1234"), false},
        {QStringLiteral("4.25"), true}, // LONGITUDE
        {QStringLiteral("12"), true},   // N1
        {QStringLiteral("7.0"), true},  // N2
        {QStringLiteral("1998"), true}, // DATE contains
        {QStringLiteral("13"), false},
        {QStringLiteral("f"), true},         // SEX contains, any case
        {QStringLiteral("ntf"), true},       // DATUM equals
        {QStringLiteral("nt"), false},       // DATUM is compared whole
        {QStringLiteral("600000 24"), true}, // ORIGINAL contains
        {QStringLiteral("o'brien"), true},   // a quote is a character like any other
        {QStringLiteral("'"), true},
        {QStringLiteral("x' OR '1'='1"), false},
        {QStringLiteral("cal/"), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindTerms(c.typed.toUpper()).matches(r), c.matches) << c.typed.toStdString();
    }
    EXPECT_FALSE(FindTerms("F").matches(Record{}));
    EXPECT_FALSE(FindTerms("0").matches(Record{}));
    Record sexDigit;
    sexDigit.SEX = QStringLiteral("1");
    EXPECT_TRUE(FindTerms("1").matches(sexDigit));
    EXPECT_FALSE(FindTerms("1E300").matches(Sample()));
}

TEST(FindTermsTest, ANumberOutOfRangeIsSearchedForAsText) {
    // 1E999 is beyond any double: it is a text, found where it is written.
    const FindTerms huge("1E999");
    EXPECT_FALSE(huge.numeric());
    Record written;
    written.COMMENT = QStringLiteral("count 1e999 bees");
    EXPECT_TRUE(huge.matches(written));
    EXPECT_FALSE(huge.matches(Sample()));
    EXPECT_EQ(document::FindCriteriaText("1E999"),
              "SEX LIKE '*1E999*' OR DATUM = '1E999' OR ORIGINAL LIKE '*1E999*' OR "
              "DATE like '*1E999*' OR COMMENT like '*1E999*'");
    // A SEX out of range does not stop the search for a number.
    Record sexHuge = Sample();
    sexHuge.SEX = QStringLiteral("-1E999");
    EXPECT_FALSE(FindTerms("33").matches(sexHuge));
    EXPECT_TRUE(FindTerms("12").matches(sexHuge));

    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"12", 12.0},  {" -4.5 ", -4.5}, {"1E308", 1e308}, {"1E-999", 0.0}, // too small: zero
        {"1E999", {}}, {"-1E999", {}},   {"1E309", {}},    {"12a", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(document::NumberInRange(QString::fromUtf8(c.text)), c.value) << c.text;
    }
}

class RecordCommandsTest : public WorkTableTest {
protected:
    // Rows whose comment is their number 1..count, period alternating 1 and 2.
    static void AddNumbered(int count) {
        SQLite::Transaction transaction(WorkDb());
        SQLite::Statement insert(WorkDb(), document::kInsertRecordSql);
        for (int i = 1; i <= count; ++i) {
            Record r = Sample();
            r.PERIOD = static_cast<std::int16_t>(1 + (i % 2));
            r.COMMENT = QString::number(i);
            document::BindRecord(insert, r);
            insert.exec();
            insert.reset();
        }
        transaction.commit();
    }
    static QString CommentAt(std::ptrdiff_t position) {
        document::RecordSet cursor = Data1().recordset().clone();
        cursor.setAbsolutePosition(position);
        return cursor.current().COMMENT.value_or(QString());
    }
};

TEST_F(RecordCommandsTest, FindGoesInTheRecordSetOrderFromAPosition) {
    AddNumbered(6);
    Show("SELECT * FROM DOVAZOV ORDER BY Counter DESC");
    const auto& records = Data1().recordset();
    // Rows 6 to 1; "2" is PERIOD of the odd rows and the comment of row 2.
    const FindTerms two("2");
    EXPECT_EQ(document::FindRecord(records, two, 0), 1); // 5
    EXPECT_EQ(document::FindRecord(records, two, 2), 3); // 3
    EXPECT_EQ(document::FindRecord(records, two, 4), 4); // 2
    EXPECT_EQ(document::FindRecord(records, FindTerms("ZZ"), 0), std::nullopt);
    EXPECT_EQ(document::FindRecord(records, two, 6), std::nullopt);
}

// The progress a Find shows as it goes through the rows.
class ProgressRecorder final : public platform::Feedback {
public:
    ProgressRecorder() { platform::SetFeedback(this); }
    ~ProgressRecorder() override { platform::SetFeedback(nullptr); }
    void showMessage(const QString&) override {}
    void closeMessage() override {}
    void setProgressVisible(bool) override {}
    void setProgressValue(int value) override { values.push_back(value); }
    std::vector<int> values;
};

TEST_F(RecordCommandsTest, FindShowsItsProgressAndPassesOverRowsDeletedBehindIt) {
    AddNumbered(1000);
    Show(document::Document().SqlTri);
    const auto& records = Data1().recordset();
    ProgressRecorder recorder;
    EXPECT_EQ(document::FindRecord(records, FindTerms("ZZ"), 0), std::nullopt);
    EXPECT_EQ(recorder.values, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90}));

    // Rows gone from the table keep their places in the record set: the positions found are
    // still those of the record set.
    document::WorkDb().exec("DELETE FROM DOVAZOV WHERE Counter IN (3, 4, 500)");
    const FindTerms last(QString::number(1000));
    EXPECT_EQ(document::FindRecord(records, last, 0), 999);
    EXPECT_EQ(document::FindRecord(records, FindTerms("77"), 0), 76);
    EXPECT_EQ(document::FindRecord(records, FindTerms("500"), 0), std::nullopt); // deleted
}

TEST_F(RecordCommandsTest, DuplicateCopiesEveryFieldButCounter) {
    AddNumbered(3);
    Show(document::Document().SqlTri);
    const std::int64_t copy = document::DuplicateRecord(2);
    EXPECT_EQ(copy, 4);
    auto& records = Data1().recordset();
    EXPECT_EQ(records.recordCount(), 4);
    EXPECT_EQ(records.absolutePosition(), 3);
    Record original = Sample();
    original.PERIOD = 1;
    original.COMMENT = QStringLiteral("2");
    original.Counter = 4;
    EXPECT_EQ(records.current(), original);
    EXPECT_EQ(document::Document().FileModified, -1);
    EXPECT_THROW(document::DuplicateRecord(99), common::AppError);
}

TEST_F(RecordCommandsTest, EraseWritesItsValueInEachColumnOfTheRecordSetOnly) {
    AddNumbered(4);
    Show("SELECT * FROM DOVAZOV WHERE PERIOD = 1"); // rows 2 and 4
    document::EraseColumns(0, 9);
    EXPECT_EQ(document::Document().FileModified, -1);
    SQLite::Statement query(WorkDb(), "SELECT PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, "
                                      "ORIGINAL, DATE, COMMENT FROM DOVAZOV WHERE Counter = 2");
    ASSERT_TRUE(query.executeStep());
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(query.getColumn(column).getDouble(), 0.0) << column;
    }
    for (int column : {5, 8, 9}) {
        EXPECT_FALSE(query.getColumn(column).isNull()) << column;
        EXPECT_EQ(query.getColumn(column).getString(), "") << column;
    }
    // The table refuses an empty DATUM or ORIGINAL: the erase stores Null there and completes.
    EXPECT_TRUE(query.getColumn(6).isNull());
    EXPECT_TRUE(query.getColumn(7).isNull());
    EXPECT_EQ(WorkDb().execAndGet("SELECT COUNT(*) FROM DOVAZOV WHERE DATUM IS NULL").getInt(), 2);
    EXPECT_EQ(WorkDb().execAndGet("SELECT COMMENT FROM DOVAZOV WHERE Counter = 3").getString(),
              "3");
    EXPECT_THROW(document::EraseColumns(-1, 2), common::AppError);
    EXPECT_THROW(document::EraseColumns(3, 10), common::AppError);
}

TEST_F(RecordCommandsTest, EraseOfColumnsFourToSevenCompletesInEveryRow) {
    AddNumbered(3);
    Show(document::Document().SqlTri);
    document::EraseColumns(4, 7);
    EXPECT_EQ(WorkDb()
                  .execAndGet("SELECT COUNT(*) FROM DOVAZOV WHERE N2 = 0 AND SEX = '' AND "
                              "DATUM IS NULL AND ORIGINAL IS NULL AND N1 = 12")
                  .getInt(),
              3);
}

TEST_F(RecordCommandsTest, DeleteKeepsThePositionOrTheLastRow) {
    EXPECT_EQ(document::PositionAfterDelete(3, 10), 3);
    EXPECT_EQ(document::PositionAfterDelete(9, 7), 6);
    EXPECT_EQ(document::PositionAfterDelete(0, 0), -1);

    AddNumbered(6);
    Show(document::Document().SqlTri);
    Data1().recordset().setAbsolutePosition(2);
    EXPECT_EQ(document::DeleteRecords({2, 5}), 4); // position 2 now holds row 4
    EXPECT_EQ(RowCount(), 4);
    EXPECT_EQ(document::Document().FileModified, -1);

    Data1().recordset().moveLast();
    EXPECT_EQ(document::DeleteRecords({6, 4}), 3); // the last rows went: the new last one
    EXPECT_EQ(Data1().recordset().absolutePosition(), 1);
    EXPECT_EQ(CommentAt(1), "3");
    EXPECT_EQ(document::DeleteRecords({1, 3}), std::nullopt);
    EXPECT_EQ(RowCount(), 0);
}

} // namespace

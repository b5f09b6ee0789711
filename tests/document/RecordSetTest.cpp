#include "WorkTableFixture.h"
#include "common/AppError.h"
#include "document/RowStream.h"

#include <SQLiteCpp/Transaction.h>

namespace {

using document::Data1;
using document::Record;
using document::RecordSet;
using document::WorkDb;
using testing_support::WorkTableTest;

Record WithComment(const QString& comment, int period = 1) {
    Record record;
    record.PERIOD = static_cast<std::int16_t>(period);
    record.COMMENT = comment;
    return record;
}

class RecordSetTest : public WorkTableTest {
protected:
    // Rows numbered 1..count in their comment, period alternating 1 and 2.
    static void AddNumbered(int count) {
        RecordSet table = RecordSet::open(WorkDb(), "DOVAZOV");
        SQLite::Transaction transaction(WorkDb());
        for (int i = 1; i <= count; ++i) {
            table.addNew(WithComment(QString::number(i), 1 + (i % 2)));
        }
        transaction.commit();
    }
};

TEST_F(RecordSetTest, ACloneHasItsOwnCursorOnTheSameRecords) {
    AddNumbered(3);
    Show("DOVAZOV");
    RecordSet& set = Data1().recordset();
    set.moveFirst();
    RecordSet clone = set.clone();
    clone.moveLast();
    EXPECT_EQ(clone.current().COMMENT, QString("3"));
    EXPECT_EQ(set.current().COMMENT, QString("1"));
    EXPECT_EQ(clone.recordCount(), 3);
}

TEST_F(RecordSetTest, RowsAddedThroughACloneAppearAtTheEndForEveryCursor) {
    AddNumbered(2);
    Show("SELECT * FROM DOVAZOV ORDER BY Counter DESC");
    RecordSet& set = Data1().recordset();
    RecordSet clone = set.clone();
    const std::int64_t added = clone.addNew(WithComment("new"));
    ASSERT_EQ(set.recordCount(), 3);
    set.moveLast();
    EXPECT_EQ(set.bookmark(), added);
    EXPECT_EQ(set.current().COMMENT, QString("new"));
    // The order of the query stands for the rows it found.
    set.moveFirst();
    EXPECT_EQ(set.current().COMMENT, QString("2"));
}

TEST_F(RecordSetTest, AddNewRecordsAppendsBlankRowsInOrder) {
    Show("DOVAZOV");
    RecordSet clone = Data1().recordset().clone();
    EXPECT_EQ(clone.addNewRecords(Record{}, 0), 0);
    const std::int64_t last = clone.addNewRecords(Record{}, 4);
    EXPECT_EQ(Data1().recordset().recordCount(), 4);
    EXPECT_EQ(Data1().recordset().bookmarks().back(), last);
    EXPECT_TRUE(std::is_sorted(Data1().recordset().bookmarks().begin(),
                               Data1().recordset().bookmarks().end()));
    EXPECT_EQ(RowCount(), 4);
}

TEST_F(RecordSetTest, UpdateWritesTheCurrentRowThroughEveryCursor) {
    AddNumbered(3);
    Show("DOVAZOV");
    RecordSet clone = Data1().recordset().clone();
    clone.setAbsolutePosition(1);
    Record record = clone.current();
    record.DATUM = "NTF";
    record.N1 = 42;
    clone.update(record);
    EXPECT_EQ(clone.current().DATUM, QString("NTF"));
    // Data1 shows the change once it is refreshed.
    Data1().refresh();
    Data1().recordset().setAbsolutePosition(1);
    EXPECT_EQ(Data1().recordset().current().N1, 42);
    EXPECT_EQ(Data1().recordset().current().COMMENT, QString("2"));
    record.DATUM = "";
    EXPECT_THROW(clone.update(record), common::AppError);
}

TEST_F(RecordSetTest, RemoveDeletesTheRowAndMovesToTheNext) {
    AddNumbered(3);
    Show("DOVAZOV");
    RecordSet& set = Data1().recordset();
    set.setAbsolutePosition(1);
    set.remove();
    EXPECT_EQ(set.recordCount(), 2);
    EXPECT_EQ(set.current().COMMENT, QString("3"));
    EXPECT_EQ(RowCount(), 2);
    set.moveLast();
    set.remove();
    EXPECT_TRUE(set.eof());
    EXPECT_THROW(set.current(), common::AppError);
}

TEST_F(RecordSetTest, BlockReadsFollowTheQueryOrderPastTheFirstBlock) {
    constexpr int kRows = 600; // more than two blocks
    AddNumbered(kRows);
    Show("SELECT * FROM DOVAZOV ORDER BY [PERIOD] DESC, Counter");
    RecordSet& set = Data1().recordset();
    ASSERT_EQ(set.recordCount(), kRows);
    // Period 2 (odd numbers) first, then period 1 (even numbers), each in Counter order.
    std::vector<int> seen;
    for (set.moveFirst(); !set.eof(); set.moveNext()) {
        seen.push_back(set.current().COMMENT->toInt());
    }
    std::vector<int> expected;
    for (int i = 1; i <= kRows; i += 2) {
        expected.push_back(i);
    }
    for (int i = 2; i <= kRows; i += 2) {
        expected.push_back(i);
    }
    EXPECT_EQ(seen, expected);
    // Backwards across block boundaries too.
    std::vector<int> backwards;
    for (set.moveLast(); !set.bof(); set.movePrevious()) {
        backwards.push_back(set.current().COMMENT->toInt());
    }
    std::reverse(backwards.begin(), backwards.end());
    EXPECT_EQ(backwards, expected);
}

TEST_F(RecordSetTest, ARowRemovedThroughACloneIsNeverReadBackFromAnotherCursorsBlock) {
    AddNumbered(5);
    Show("DOVAZOV");
    RecordSet& set = Data1().recordset();
    set.moveFirst();
    EXPECT_EQ(set.current().COMMENT, QString("1")); // reads the block of all five rows
    RecordSet clone = set.clone();
    clone.setAbsolutePosition(1);
    clone.remove();
    set.setAbsolutePosition(1);
    // The row under the cursor is the one its bookmark names, so an update cannot write another
    // row's values over it.
    EXPECT_EQ(set.current().Counter, set.bookmark());
    EXPECT_EQ(set.current().COMMENT, QString("3"));
}

TEST_F(RecordSetTest, AnUpdateFarIntoTheSetIsSeenByAFreshRead) {
    AddNumbered(300);
    Show("DOVAZOV");
    RecordSet clone = Data1().recordset().clone();
    clone.setAbsolutePosition(280);
    Record record = clone.current();
    EXPECT_EQ(record.COMMENT, QString("281"));
    record.COMMENT = "changed";
    clone.update(record);
    RecordSet other = Data1().recordset().clone();
    other.setAbsolutePosition(280);
    EXPECT_EQ(other.current().COMMENT, QString("changed"));
}

// The bookmarks of each kind of record source, read one by one and looked up, are those of the
// query itself: over a table numbered without a gap, over one with gaps, and after rows removed
// through the record set.
TEST_F(RecordSetTest, BookmarksFollowTheQueryWhateverTheSourceAndTheGaps) {
    AddNumbered(1200);
    const std::vector<QString> sources{
        "DOVAZOV",
        "SELECT * FROM DOVAZOV ORDER BY Counter",
        "SELECT * FROM DOVAZOV WHERE PERIOD = 2",
        "SELECT * FROM DOVAZOV ORDER BY [PERIOD], Counter DESC",
        "SELECT * FROM DOVAZOV WHERE Counter % 7 <> 3 ORDER BY Counter",
    };
    const auto counters = [](const QString& source) {
        const QString select = source.contains(' ')
                                   ? QString(source).replace("SELECT *", "SELECT Counter")
                                   : "SELECT Counter FROM DOVAZOV ORDER BY Counter";
        std::vector<std::int64_t> marks;
        SQLite::Statement query(WorkDb(), select.toStdString());
        while (query.executeStep()) {
            marks.push_back(query.getColumn(0).getInt64());
        }
        return marks;
    };
    const auto expectQueryOrder = [&](const QString& source, const char* when) {
        SCOPED_TRACE(source.toStdString() + ", " + when);
        Show(source);
        const std::vector<std::int64_t> expected = counters(source);
        const RecordSet& set = Data1().recordset();
        ASSERT_EQ(set.recordCount(), static_cast<int>(expected.size()));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(set.bookmarkAt(static_cast<std::ptrdiff_t>(i)), expected[i]);
            ASSERT_EQ(set.positionOf(expected[i]), static_cast<std::ptrdiff_t>(i));
        }
        std::vector<std::int64_t> streamed;
        document::RowStream rows(set, document::RowFields{"PERIOD"});
        for (Record record; rows.next(record);) {
            streamed.push_back(record.Counter);
        }
        EXPECT_EQ(streamed, expected);
        EXPECT_EQ(set.positionOf(100000), -1);
        EXPECT_THROW(set.bookmarkAt(static_cast<std::ptrdiff_t>(expected.size())),
                     common::AppError);
    };
    for (const QString& source : sources) {
        expectQueryOrder(source, "no gap");
    }
    WorkDb().exec("DELETE FROM DOVAZOV WHERE Counter IN (1, 2, 500, 777, 1200)");
    for (const QString& source : sources) {
        expectQueryOrder(source, "gaps");
    }
    for (const QString& source : sources) {
        SCOPED_TRACE(source.toStdString() + ", removed through the set");
        Show(source);
        RecordSet& set = Data1().recordset();
        std::vector<std::int64_t> expected = counters(source);
        // The first row, two in a row inside, and the last one (-1).
        for (std::ptrdiff_t position : {0, 300, 300, -1}) {
            position = position < 0 ? set.recordCount() - 1 : position;
            set.setAbsolutePosition(position);
            set.remove();
            expected.erase(expected.begin() + position);
        }
        ASSERT_EQ(set.recordCount(), static_cast<int>(expected.size()));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(set.bookmarkAt(static_cast<std::ptrdiff_t>(i)), expected[i]);
            ASSERT_EQ(set.positionOf(expected[i]), static_cast<std::ptrdiff_t>(i));
        }
        EXPECT_EQ(set.bookmarks(), expected);
        EXPECT_EQ(counters(source), expected); // the rows are gone from the table too
    }
}

TEST_F(RecordSetTest, AQueryErrorIsReportedWithItsText) {
    try {
        RecordSet::open(WorkDb(), "SELECT * FROM DOVAZOV WHERE NOPE = 1");
        FAIL() << "no error";
    } catch (const common::AppError& e) {
        EXPECT_EQ(e.number(), 3075);
        EXPECT_NE(std::string(e.what()).find("NOPE"), std::string::npos);
    }
}

} // namespace

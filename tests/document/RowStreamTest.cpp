#include "document/RowStream.h"

#include "WorkTableFixture.h"

#include <SQLiteCpp/Transaction.h>
#include <algorithm>
#include <numeric>
#include <random>
#include <set>
#include <sqlite3.h>

namespace {

using document::Record;
using document::RowFields;
using document::RowStream;
using document::WorkDb;
using testing_support::WorkTableTest;

constexpr std::int64_t kRows = 1200; // more than two blocks of the stream

class RowStreamTest : public WorkTableTest {
protected:
    void SetUp() override {
        WorkTableTest::SetUp();
        // Row n (its Counter in a fresh table) holds "r<n>" in its comment.
        SQLite::Transaction transaction(WorkDb());
        SQLite::Statement insert(WorkDb(), "INSERT INTO DOVAZOV (PERIOD, COMMENT) VALUES (1, ?)");
        for (std::int64_t n = 1; n <= kRows; ++n) {
            insert.bind(1, "r" + std::to_string(n));
            insert.exec();
            insert.reset();
        }
        transaction.commit();
    }

    static void Delete(const std::set<std::int64_t>& counters) {
        SQLite::Statement remove(WorkDb(), "DELETE FROM DOVAZOV WHERE Counter = ?");
        for (const std::int64_t counter : counters) {
            remove.bind(1, counter);
            remove.exec();
            remove.reset();
        }
    }

    // Every record the stream gives, as "<Counter>:<comment>".
    static std::vector<std::string> Walk(RowStream& stream) {
        std::vector<std::string> seen;
        Record record;
        while (stream.next(record)) {
            seen.push_back(Label(record));
        }
        return seen;
    }

    static std::string Label(const Record& record) {
        return std::to_string(record.Counter) + ":" + record.COMMENT.value_or("-").toStdString();
    }

    // What a stream over `marks` must give: each bookmark's row in list order, those deleted or
    // never added left out, found from the bookmarks alone.
    static std::vector<std::string> Expected(const std::vector<std::int64_t>& marks,
                                             const std::set<std::int64_t>& deleted) {
        std::vector<std::string> rows;
        for (const std::int64_t mark : marks) {
            if (mark <= kRows && !deleted.contains(mark)) {
                rows.push_back(std::to_string(mark) + ":r" + std::to_string(mark));
            }
        }
        return rows;
    }
};

std::vector<std::int64_t> Counters(std::int64_t first, std::int64_t last, std::int64_t step = 1) {
    std::vector<std::int64_t> marks;
    for (std::int64_t n = first; step > 0 ? n <= last : n >= last; n += step) {
        marks.push_back(n);
    }
    return marks;
}

std::vector<std::int64_t> Shuffled(std::int64_t count) {
    std::vector<std::int64_t> marks = Counters(1, count);
    std::mt19937 random(7);
    std::shuffle(marks.begin(), marks.end(), random);
    return marks;
}

std::set<std::int64_t> AsSet(const std::vector<std::int64_t>& marks) {
    return {marks.begin(), marks.end()};
}

struct Case {
    const char* name;
    std::vector<std::int64_t> marks;
    std::set<std::int64_t> deleted;
};

std::vector<Case> Cases() {
    return {
        {"the table's order", Counters(1, kRows), {}},
        {"exactly one block", Counters(1, 500), {}},
        {"one block and one row", Counters(1, 501), {}},
        {"reversed", Counters(kRows, 1, -1), {}},
        {"shuffled", Shuffled(kRows), {}},
        {"ascending but sparse", Counters(3, kRows, 7), {}},
        {"empty", {}, {}},
        {"deleted at the block edges", Counters(1, kRows), {1, 500, 501, 1000, 1001, kRows}},
        {"a whole block deleted", Counters(1, kRows), AsSet(Counters(501, 1000))},
        {"shuffled with deletions", Shuffled(kRows), {2, 3, 499, 777, 1199}},
        {"reversed with deletions", Counters(kRows, 1, -1), {1, 600, kRows}},
        {"listed twice in order", {4, 4, 5, 9, 9, 9, 10}, {}},
        {"listed twice out of order", {9, 4, 9, 4, 4}, {}},
        {"only deleted rows", {7, 8, 9}, {7, 8, 9}},
        {"a bookmark never in the table", {1, 2, kRows + 5, 3}, {}},
    };
}

TEST_F(RowStreamTest, AWalkGivesEveryRowInTheListsOrderAndPassesOverDeletedOnes) {
    const std::vector<Case> cases = Cases();
    std::set<std::int64_t> deletedSoFar;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Delete(c.deleted);
        deletedSoFar.insert(c.deleted.begin(), c.deleted.end());
        RowStream stream(WorkDb(), c.marks);
        EXPECT_EQ(Walk(stream), Expected(c.marks, deletedSoFar));
        Record record;
        EXPECT_FALSE(stream.next(record)); // stays at the end
    }
}

TEST_F(RowStreamTest, AWindowStopsAtTheFirstRowThatIsGone) {
    const std::vector<std::int64_t> ascending = Counters(1, kRows);
    const std::vector<std::int64_t> reversed = Counters(kRows, 1, -1);
    Delete({700, 1150});
    struct Window {
        const std::vector<std::int64_t>* marks;
        std::ptrdiff_t first;
        std::ptrdiff_t count;
        std::vector<std::int64_t> expected; // the bookmarks of the rows given
    };
    const Window windows[] = {
        {&ascending, 0, 256, Counters(1, 256)},
        {&ascending, 400, 256, Counters(401, 656)},     // across the stream's block edge
        {&ascending, 0, 699, Counters(1, 699)},         // more than a block
        {&ascending, 600, 200, Counters(601, 699)},     // ends short before row 700
        {&ascending, 699, 10, {}},                      // starts on the deleted row
        {&ascending, 1100, 100, Counters(1101, 1149)},  // runs to the end of the list
        {&reversed, 0, 40, Counters(1200, 1161, -1)},   // looked up by bookmark
        {&reversed, 40, 256, Counters(1160, 1151, -1)}, // ends short in a looked-up block
        {&ascending, 5, 0, {}},
    };
    for (const Window& w : windows) {
        SCOPED_TRACE(std::to_string(w.first) + "+" + std::to_string(w.count));
        RowStream stream(WorkDb(), *w.marks);
        std::vector<std::string> labels;
        for (const Record& record : stream.window(w.first, w.count)) {
            labels.push_back(Label(record));
        }
        EXPECT_EQ(labels, Expected(w.expected, {}));
    }
}

TEST_F(RowStreamTest, AWindowOutsideTheListIsRefusedWithItsBounds) {
    const std::vector<std::int64_t> marks = Counters(1, 10);
    RowStream stream(WorkDb(), marks);
    const std::pair<std::ptrdiff_t, std::ptrdiff_t> outside[] = {{-1, 2}, {8, 3}, {11, 0}, {0, -1}};
    for (const auto& [first, count] : outside) {
        try {
            stream.window(first, count);
            ADD_FAILURE() << first << "+" << count << " was read";
        } catch (const std::out_of_range& error) {
            EXPECT_NE(std::string(error.what()).find("of a list of 10"), std::string::npos);
        }
    }
    EXPECT_EQ(stream.window(10, 0).size(), 0U);
}

TEST_F(RowStreamTest, AWindowDoesNotMoveTheWalk) {
    const std::vector<std::int64_t> marks = Counters(1, 600);
    RowStream stream(WorkDb(), marks);
    Record record;
    ASSERT_TRUE(stream.next(record));
    EXPECT_EQ(stream.window(550, 3).front().Counter, 551);
    ASSERT_TRUE(stream.next(record));
    EXPECT_EQ(record.Counter, 2);
}

TEST_F(RowStreamTest, EveryFieldIsReadAndNullStaysNull) {
    Record full;
    full.PERIOD = 3;
    full.LATITUDE = 50.12345F;
    full.LONGITUDE = -4.5F;
    full.N1 = 70000;
    full.N2 = -2;
    full.SEX = "";
    full.DATUM = "EUR-M";
    full.ORIGINAL = "DEG 50 4";
    full.DATE = "2001-05-30";
    full.COMMENT = QString::fromUtf8("étang");
    SQLite::Statement insert(WorkDb(), document::kInsertRecordSql);
    document::BindRecord(insert, full);
    insert.exec();
    full.Counter = WorkDb().getLastInsertRowid();
    WorkDb().exec("INSERT INTO DOVAZOV (PERIOD) VALUES (NULL)");
    const std::int64_t empty = WorkDb().getLastInsertRowid();

    const std::vector<std::int64_t> marks{empty, full.Counter};
    RowStream stream(WorkDb(), marks);
    Record record;
    ASSERT_TRUE(stream.next(record));
    Record blank;
    blank.Counter = empty;
    EXPECT_EQ(record, blank);
    ASSERT_TRUE(stream.next(record));
    EXPECT_EQ(record, full);
}

TEST_F(RowStreamTest, OnlyTheFieldsAskedForAreRead) {
    WorkDb().exec(
        "UPDATE DOVAZOV SET DATUM = 'NTF', ORIGINAL = 'LF2 1 2', N1 = 5 WHERE Counter = 3");
    const std::vector<std::int64_t> marks{3};
    RowStream stream(WorkDb(), marks, RowFields{"datum", "ORIGINAL"});
    Record record;
    ASSERT_TRUE(stream.next(record));
    Record expected;
    expected.Counter = 3;
    expected.DATUM = "NTF";
    expected.ORIGINAL = "LF2 1 2";
    EXPECT_EQ(record, expected);
    EXPECT_THROW(RowFields({"DATUM", "Counter"}), std::invalid_argument);
    EXPECT_THROW(RowFields({"NOPE"}), std::invalid_argument);
}

// Makes the next statement that runs fail once, as an interrupted or failing read does.
class FailOnce {
public:
    explicit FailOnce(SQLite::Database& db) : db_(db.getHandle()) {
        sqlite3_progress_handler(db_, 1, &FailOnce::fire, this);
    }
    ~FailOnce() { sqlite3_progress_handler(db_, 0, nullptr, nullptr); }
    FailOnce(const FailOnce&) = delete;
    FailOnce& operator=(const FailOnce&) = delete;

private:
    static int fire(void* self) {
        auto* me = static_cast<FailOnce*>(self);
        const bool fail = !me->fired_;
        me->fired_ = true;
        return fail ? 1 : 0;
    }
    sqlite3* db_;
    bool fired_ = false;
};

TEST_F(RowStreamTest, ABlockThatFailsIsReportedOnceAndTheWalkGoesOn) {
    // Ranges and lookups alike: the next block reuses the statement that failed.
    for (const auto& marks : {Counters(1, kRows), Shuffled(kRows)}) {
        SCOPED_TRACE(marks.front());
        RowStream stream(WorkDb(), marks);
        Record record;
        {
            const FailOnce failure(WorkDb());
            EXPECT_THROW(stream.next(record), SQLite::Exception);
        }
        std::vector<std::int64_t> seen;
        while (stream.next(record)) {
            seen.push_back(record.Counter);
        }
        EXPECT_EQ(seen, std::vector<std::int64_t>(marks.begin() + RowStream::kBlock, marks.end()));
    }
}

} // namespace

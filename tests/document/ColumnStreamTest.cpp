#include "document/ColumnStream.h"

#include "WorkTableFixture.h"
#include "document/RowStream.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace {

using document::ColumnStream;
using document::RowStream;

// The Counter and PERIOD of each row a walk gives, -1 for a Null period.
using Walk = std::vector<std::pair<std::int64_t, int>>;

Walk ByColumns(const std::vector<std::int64_t>& marks, int pauseEvery = 0) {
    Walk walk;
    ColumnStream stream(document::WorkDb(), marks, "PERIOD");
    while (stream.next()) {
        sqlite3_stmt* row = stream.row();
        walk.emplace_back(stream.counter(), sqlite3_column_type(row, 1) == SQLITE_NULL
                                                ? -1
                                                : sqlite3_column_int(row, 1));
        if (pauseEvery > 0 && walk.size() % static_cast<std::size_t>(pauseEvery) == 0) {
            stream.pause();
        }
    }
    return walk;
}

Walk ByRecords(const std::vector<std::int64_t>& marks) {
    Walk walk;
    RowStream stream(document::WorkDb(), marks, document::RowFields{"PERIOD"});
    document::Record r;
    while (stream.next(r)) {
        walk.emplace_back(r.Counter, r.PERIOD ? *r.PERIOD : -1);
    }
    return walk;
}

class ColumnStreamTest : public testing_support::WorkTableTest {};

// The column walk gives the rows RowStream gives, in the same order, for lists of every shape.
TEST_F(ColumnStreamTest, GivesTheRowsOfTheListInItsOrder) {
    std::vector<std::optional<int>> periods;
    for (int i = 0; i < 3000; ++i) {
        periods.emplace_back(i % 7 == 0 ? std::nullopt : std::optional<int>(i % 10));
    }
    AddPeriods(periods);
    // Rows deleted behind the lists' back: single ones, a run longer than a step, the last ones.
    document::WorkDb().exec("DELETE FROM DOVAZOV WHERE Counter IN (2, 3, 500, 501, 1999) OR "
                            "Counter BETWEEN 1000 AND 1040 OR Counter > 2990");
    std::vector<std::int64_t> all(3000);
    std::iota(all.begin(), all.end(), 1);
    std::vector<std::int64_t> shuffled = all;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(5));
    std::vector<std::int64_t> descending(all.rbegin(), all.rend());
    std::vector<std::int64_t> strided;
    for (std::int64_t c = 1; c <= 3200; c += 9) {
        strided.push_back(c);
    }
    const std::vector<std::vector<std::int64_t>> lists{
        {},
        all,
        shuffled,
        descending,
        strided,
        {5, 5, 5, 4, 5, 2, 2, 3, 1, 3000, 2990, 1, 6000, -4, 0},
        {1001, 1041, 1000, 999, 1042, 1042},
    };
    for (std::size_t k = 0; k < lists.size(); ++k) {
        SCOPED_TRACE(k);
        const Walk expected = ByRecords(lists[k]);
        EXPECT_EQ(ByColumns(lists[k]), expected);
        EXPECT_EQ(ByColumns(lists[k], 3), expected); // letting go of the table changes nothing
    }
}

} // namespace

#include "document/RecordSetBookmarks.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

using document::BookmarkList;

// Every way of reading the list gives what a plain vector given the same changes holds.
void ExpectSame(BookmarkList& list, const std::vector<std::int64_t>& reference) {
    const auto size = static_cast<std::ptrdiff_t>(reference.size());
    ASSERT_EQ(list.size(), size);
    for (std::ptrdiff_t i = 0; i < size; ++i) {
        ASSERT_EQ(list.at(i), reference[static_cast<std::size_t>(i)]) << "position " << i;
        ASSERT_EQ(list.find(reference[static_cast<std::size_t>(i)]), i);
    }
    const std::int64_t beyond = reference.empty() ? 1 : reference.back() + 1;
    EXPECT_EQ(list.find(beyond), -1);
    EXPECT_EQ(list.find(0), -1);
    if (size > 2) {
        std::vector<std::int64_t> middle;
        list.copy(1, size - 2, middle);
        EXPECT_EQ(middle, std::vector<std::int64_t>(reference.begin() + 1, reference.end() - 1));
    }
}

TEST(RecordSetBookmarksTest, RunsAnswerAsTheRowsWouldThroughAddsAndRemoves) {
    std::mt19937 random(7);
    BookmarkList list;
    std::vector<std::int64_t> reference;
    list.pushRange(1, 1000);
    for (std::int64_t c = 1; c <= 1000; ++c) {
        reference.push_back(c);
    }
    ExpectSame(list, reference);
    // Removes at the start, the end and inside runs, and adds after gaps, until the runs would
    // cost more than the rows and the list is kept row by row.
    for (int step = 0; step < 900; ++step) {
        if (step % 10 == 9) {
            const std::int64_t counter = reference.back() + 1 + step % 3;
            list.push_back(counter);
            reference.push_back(counter);
        } else {
            std::uniform_int_distribution<std::size_t> pick(0, reference.size() - 1);
            const std::size_t position = step % 7 == 0 ? 0 : pick(random);
            list.erase(static_cast<std::ptrdiff_t>(position));
            reference.erase(reference.begin() + static_cast<std::ptrdiff_t>(position));
        }
        if (step % 50 == 0) {
            ExpectSame(list, reference);
        }
    }
    ExpectSame(list, reference);
    EXPECT_TRUE(list.byRow());
    EXPECT_EQ(list.rows(), reference);
}

TEST(RecordSetBookmarksTest, AListThatStopsAscendingIsKeptRowByRow) {
    BookmarkList list;
    const std::vector<std::int64_t> reference{5, 6, 7, 9, 3, 4, 10};
    for (const std::int64_t counter : reference) {
        list.push_back(counter);
    }
    EXPECT_TRUE(list.byRow());
    ExpectSame(list, reference);
}

TEST(RecordSetBookmarksTest, ATableInOrderStaysRunsAndIsWrittenOutOnlyWhenAsked) {
    BookmarkList list;
    list.pushRange(1, 10'000'000);
    list.push_back(10'000'001);
    list.erase(4'999'999);
    EXPECT_FALSE(list.byRow());
    EXPECT_EQ(list.size(), 10'000'000);
    EXPECT_EQ(list.at(4'999'999), 5'000'001);
    EXPECT_EQ(list.find(5'000'000), -1);
    EXPECT_EQ(list.find(10'000'001), 9'999'999);
    const std::vector<std::int64_t>& rows = list.rows();
    EXPECT_TRUE(list.byRow());
    list.push_back(10'000'002);
    // The reference given stays that of the list.
    EXPECT_EQ(rows.size(), 10'000'001U);
    EXPECT_EQ(rows.back(), 10'000'002);
}

} // namespace

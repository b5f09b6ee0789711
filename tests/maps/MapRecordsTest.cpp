// Records added and removed by mouse on the region map, and the closing question.

#include "MapFixture.h"
#include "maps/MapFormats.h"

namespace {

using maps_test::MapTest;
using testing_support::AnswerWith;

TEST(ClickedRecord, FieldsOfAClickedPosition) {
    const document::Record r = maps::ClickedRecord(0.5F, -4.35F, 2, QStringLiteral("1987/__/__"));
    EXPECT_EQ(r.ORIGINAL, QStringLiteral("deg +.5 -4.35"));
    EXPECT_EQ(r.LATITUDE, 0.5F);
    EXPECT_EQ(r.LONGITUDE, -4.35F);
    EXPECT_EQ(r.PERIOD, 2);
    EXPECT_EQ(r.N1, 1);
    EXPECT_EQ(r.N2, 1);
    EXPECT_EQ(r.DATUM, QStringLiteral("EUR-M"));
    EXPECT_EQ(r.DATE, QStringLiteral("1987/__/__"));

    const document::Record twelve = maps::ClickedRecord(12.0F, 5.1234567F, 1, {});
    EXPECT_EQ(twelve.ORIGINAL, QStringLiteral("deg +12. +5.12346"));
    EXPECT_EQ(twelve.LONGITUDE, 5.12346F);
    EXPECT_FALSE(twelve.DATE.has_value());
}

TEST_F(MapTest, TwoClicksThenRightClickRemovesTheSecondAndNoKeepsNeither) {
    maps::MapRecords records(host);
    records.load();
    const std::int64_t first = records.add(maps::ClickedRecord(50.0F, 4.0F, 1, {}));
    const std::int64_t second = records.add(maps::ClickedRecord(51.0F, 5.0F, 1, {}));
    EXPECT_EQ(document::Document().FileModified, -1);
    const auto removed = records.removeLast();
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->lat, 51.0F);
    EXPECT_FALSE(Exists(second));
    EXPECT_EQ(selected, (std::vector<std::int64_t>{first}));
    prompter.expect(AnswerWith(platform::Answer::No));
    records.close();
    EXPECT_EQ(prompter.messages().at(0).text, QStringLiteral("Save new points?"));
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(refreshes, 1);
}

TEST_F(MapTest, RightClickNeverDeletesRowsSelectedBeforeTheWindowOpened) {
    const std::int64_t a = Add(50.0F, 4.0F);
    const std::int64_t b = Add(51.0F, 4.0F);
    selected = {a, b};
    maps::MapRecords records(host);
    records.load();
    EXPECT_FALSE(records.removeLast());
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_TRUE(Exists(a));
    EXPECT_TRUE(Exists(b));
    EXPECT_EQ(selected, (std::vector<std::int64_t>{a, b}));

    // A point added and removed: the rows selected before stay, and the removal is a change.
    document::Document().FileModified = 0;
    const std::int64_t p = records.add(maps::ClickedRecord(52.0F, 4.0F, 1, {}));
    document::Document().FileModified = 0;
    ASSERT_TRUE(records.removeLast());
    EXPECT_FALSE(Exists(p));
    EXPECT_EQ(document::Document().FileModified, -1);
    EXPECT_FALSE(records.removeLast());
    EXPECT_TRUE(Exists(b));
}

TEST_F(MapTest, NoOnClosingDeletesThePointsAndKeepsTheSelectedRows) {
    const std::int64_t a = Add(50.0F, 4.0F);
    const std::int64_t b = Add(51.0F, 4.0F);
    selected = {a, b};
    maps::MapRecords records(host);
    records.load();
    const std::int64_t p = records.add(maps::ClickedRecord(52.0F, 4.0F, 1, {}));
    prompter.expect(AnswerWith(platform::Answer::No));
    records.close();
    EXPECT_FALSE(Exists(p));
    EXPECT_TRUE(Exists(a));
    EXPECT_TRUE(Exists(b));
    EXPECT_EQ(RowCount(), 2);
    // The changed flag stays after No.
    EXPECT_EQ(document::Document().FileModified, -1);
}

TEST_F(MapTest, ReopeningAfterPointsWereAddedRefreshesWithoutAsking) {
    maps::MapRecords records(host);
    records.load();
    records.add(maps::ClickedRecord(52.0F, 4.0F, 1, {}));
    prompter.expect(AnswerWith(platform::Answer::Yes));
    records.close();
    EXPECT_EQ(RowCount(), 1);
    maps::MapRecords again(host);
    again.load();
    again.close();
    EXPECT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(refreshes, 2);
}

TEST_F(MapTest, RemovingAPointAtZeroDoesNothing) {
    maps::MapRecords records(host);
    records.load();
    const std::int64_t p = records.add(maps::ClickedRecord(0.0F, 0.0F, 1, {}));
    EXPECT_FALSE(records.removeLast());
    EXPECT_TRUE(Exists(p));
    EXPECT_EQ(prompter.beeps(), 0);
}

} // namespace

#include "commands/AnalysisSeries.h"

#include "CommandsFixture.h"
#include "commands/Graph1Window.h"
#include "common/AppError.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChartView>

namespace {

using testing_support::CommandsTest;

class AnalysisSeriesTest : public CommandsTest {
protected:
    static std::int64_t Add(std::optional<int> n1, std::optional<float> lat, float lon,
                            std::optional<QString> date = std::nullopt) {
        document::Record r;
        r.PERIOD = 1;
        r.N1 = n1;
        r.LATITUDE = lat;
        r.LONGITUDE = lon;
        r.DATE = std::move(date);
        SQLite::Statement insert(document::WorkDb(), document::kInsertRecordSql);
        document::BindRecord(insert, r);
        insert.exec();
        return document::WorkDb().getLastInsertRowid();
    }
    static std::vector<std::pair<int, double>> Points(const commands::ValueSeries& s) {
        std::vector<std::pair<int, double>> out;
        for (const auto& p : s.points) {
            out.emplace_back(p.x, p.value);
        }
        return out;
    }
};

TEST_F(AnalysisSeriesTest, DistinctPositionsPerValue) {
    Add(1, 50, 4);
    Add(1, 50, 4);
    Add(2, 51, 5);
    Add(3, 50, 4);
    Add(3, 51, 4);
    Add(3, 52, 4);
    Add(0, 50, 4);  // counted, never emitted
    Add(-1, 50, 4); // likewise
    const auto series = commands::ValueGraphSeries(1);
    ASSERT_TRUE(series);
    EXPECT_EQ(series->numPoints, 4);
    EXPECT_EQ(series->labelEvery, 2);
    EXPECT_EQ(Points(*series), (std::vector<std::pair<int, double>>{{1, 1}, {2, 1}, {3, 3}}));
}

TEST_F(AnalysisSeriesTest, WidthLimitsAndLabels) {
    struct Case {
        int maximum;
        int labelEvery; // 0: too wide
    };
    const Case cases[] = {{2000, 2}, {2001, 1000}, {3799, 1000}, {3800, 0}};
    for (const Case& c : cases) {
        document::WorkDb().exec("DELETE FROM DOVAZOV");
        Add(c.maximum, 50, 4);
        if (c.labelEvery == 0) {
            EXPECT_THROW(commands::ValueGraphSeries(1), common::AppError);
            continue;
        }
        const auto series = commands::ValueGraphSeries(1);
        ASSERT_TRUE(series);
        EXPECT_EQ(series->numPoints, c.maximum + 1);
        EXPECT_EQ(series->labelEvery, c.labelEvery) << c.maximum;
    }
    document::WorkDb().exec("DELETE FROM DOVAZOV");
    Add(0, 50, 4);
    EXPECT_FALSE(commands::ValueGraphSeries(1));
}

TEST_F(AnalysisSeriesTest, PhenologyOfTheSelectedOrShownRows) {
    Add(3, 50, 4, QString("2001/07/15"));
    const std::int64_t second = Add(2, 50, 4, QString("1999/07/01"));
    Add(5, 50, 4, QString("2001/__/__"));
    Add(std::nullopt, 50, 4, QString("2001/03/01"));
    Add(4, 50, 4, QString("2001/12/31"));
    ShowAll();
    const auto all = commands::PhenologySums({});
    ASSERT_TRUE(all);
    EXPECT_EQ((*all)[6], 5.0);
    EXPECT_EQ((*all)[11], 4.0);
    EXPECT_FALSE((*all)[2]);
    EXPECT_FALSE((*all)[0]);
    const std::vector<std::int64_t> selected{second};
    const auto some = commands::PhenologySums(selected);
    EXPECT_EQ((*some)[6], 2.0);
    EXPECT_FALSE((*some)[11]);
}

TEST_F(AnalysisSeriesTest, TheGraphWindowHoldsTheSeries) {
    commands::Graph1Window window({{1, 1}, {3, 3}}, 4, 2, "N1", "OGUs", "Bees");
    auto* series = qobject_cast<QBarSeries*>(window.Graph1->chart()->series().at(0));
    ASSERT_NE(series, nullptr);
    const QBarSet* set = series->barSets().at(0);
    ASSERT_EQ(set->count(), 3);
    EXPECT_EQ(set->at(0), 1.0);
    EXPECT_EQ(set->at(1), 0.0);
    EXPECT_EQ(set->at(2), 3.0);
    EXPECT_EQ(window.Graph1->chart()->title(), "Bees");
}

} // namespace

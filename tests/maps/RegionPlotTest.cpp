// Drawing the records on a region picture: the symbol at the record's projected pixel in its
// period's colour, the records that are not drawn, the progress, and painting a symbol over.

#include "maps/RegionPlot.h"

#include "MapFixture.h"
#include "maps/Map.h"
#include "maps/RegionCanvas.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace {

using maps_test::MapTest;

constexpr int kNetherlands = maps::EuropeRow(4);

maps::RegionSymbols Symbols() {
    maps::RegionSymbols s;
    s.PeriodFillColor = {0x0000FF, 0x00FF00, 0xFF0000, 0}; // red, green, blue, black
    s.MapStrokeColor = 0x000000;
    return s;
}

QColor ColorAt(const maps::RegionCanvas& canvas, const maps::RegionProjection& p, double lat,
               double lon) {
    const maps::PlanePoint pt = maps::ProjectDegrees(p, lat, lon);
    const QPointF px = canvas.toPixel(pt.x, pt.y);
    return canvas.image().pixelColor(static_cast<int>(px.x()), static_cast<int>(px.y()));
}

TEST_F(MapTest, EachRecordDrawnInItsPeriodSlotAtItsPixel) {
    const auto& row = maps::RegionTable()[kNetherlands];
    const maps::RegionProjection p = maps::ProjectionOf(row);
    maps::RegionCanvas canvas(QImage(), maps::ExtentOf(row, p));
    Add(51.0F, 4.0F, 2);
    Add(52.0F, 4.5F, 7);            // above the table: the last slot
    Add(53.0F, 5.0F, std::nullopt); // no period: the first slot
    Add(51.5F, 6.5F, 0);            // below 1: the first slot
    Add(999.0F, 999.0F, 1);         // no position: not drawn
    Add(0.0F, 0.0F, 1);             // 0/0: not drawn
    Add(std::nullopt, 5.0F, 1);     // skipped
    const document::RecordSet& records = document::Data1().recordset();
    std::vector<int> passed;
    const maps::PlotCount count =
        maps::PlotRecords(canvas, p, document::WorkDb(), records.bookmarks(), Symbols(), 5.0F,
                          [&](int pct) { passed.push_back(pct); });
    EXPECT_EQ(count.visited, 6);
    EXPECT_EQ(count.drawn, 4);
    EXPECT_EQ(ColorAt(canvas, p, 51.0, 4.0), QColor(0, 255, 0));
    EXPECT_EQ(ColorAt(canvas, p, 52.0, 4.5), QColor(0, 0, 0));
    EXPECT_EQ(ColorAt(canvas, p, 53.0, 5.0), QColor(255, 0, 0));
    EXPECT_EQ(ColorAt(canvas, p, 51.5, 6.5), QColor(255, 0, 0));
    // 6 of 7 rows counted: 14, 28, 42, 57, 71, 85 percent; only the multiples of ten pass.
    EXPECT_TRUE(passed.empty());
}

TEST_F(MapTest, ProgressPassesEachTenthOnce) {
    const auto& row = maps::RegionTable()[kNetherlands];
    const maps::RegionProjection p = maps::ProjectionOf(row);
    maps::RegionCanvas canvas(QImage(), maps::ExtentOf(row, p));
    for (int i = 0; i < 20; ++i) {
        Add(52.0F, 5.0F, 1);
    }
    std::vector<int> passed;
    maps::PlotRecords(canvas, p, document::WorkDb(), document::Data1().recordset().bookmarks(),
                      Symbols(), 1.0F, [&](int pct) { passed.push_back(pct); });
    EXPECT_EQ(passed, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
}

TEST(RegionCanvas, PaintingOverASymbolLeavesNoRing) {
    const auto& row = maps::RegionTable()[kNetherlands];
    const maps::RegionProjection p = maps::ProjectionOf(row);
    QImage picture(200, 200, QImage::Format_RGB32);
    picture.fill(QColor(238, 232, 205));
    maps::RegionCanvas canvas(picture.scaled(maps::PictureSize(maps::ExtentOf(row, p))),
                              maps::ExtentOf(row, p));
    const maps::PlanePoint pt = maps::ProjectDegrees(p, 52.0, 5.0);
    for (const Qt::BrushStyle style : {Qt::SolidPattern, Qt::NoBrush, Qt::DiagCrossPattern}) {
        canvas.drawCircle(pt.x, pt.y, 6.0F, Qt::red, style, Qt::blue);
        EXPECT_NE(canvas.image(), canvas.picture());
        canvas.eraseCircle(pt.x, pt.y, 6.0F);
        EXPECT_EQ(canvas.image(), canvas.picture()) << style;
    }
}

TEST_F(MapTest, OpenedRegionMapDrawsTheRecordAtItsProjectedPixel) {
    platform::Settings().PeriodFillColor = {0x0000FF, 0x00FF00, 0xFF0000};
    platform::Settings().MapPointDiameter = -1.0F;
    Add(52.1F, 5.3F, 2);
    maps::SelectRegion(kNetherlands, host.programFolder);
    maps::Map map(host);
    map.rad->setText(QStringLiteral(" 3"));
    map.show();
    QApplication::processEvents();
    EXPECT_FALSE(map.firstPaint());
    const maps::PlanePoint pt = maps::ProjectDegrees(maps::Maps().projection, 52.1, 5.3);
    const QPointF px = map.canvas().toPixel(pt.x, pt.y);
    const QImage shown = map.Picture1->grab().toImage();
    EXPECT_EQ(shown.pixelColor(px.toPoint()), QColor(0, 255, 0));
    // The picture lies under the symbol: land around it, sea off the coast.
    EXPECT_NE(shown.pixelColor(px.toPoint() + QPoint(0, 20)), QColor(Qt::white));
    map.reject();
}

TEST_F(MapTest, EmptyDocumentBeepsOncePerOpening) {
    maps::SelectRegion(kNetherlands, host.programFolder);
    maps::Map map(host);
    map.rad->setText(QStringLiteral(" 3"));
    EXPECT_FALSE(map.DrawRecords());
    EXPECT_FALSE(map.DrawRecords());
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_TRUE(map.firstPaint());
}

TEST_F(MapTest, ClickAddsAPointAndRightClickGivesThePictureBack) {
    platform::Settings().MapPointDiameter = 10.0F;
    maps::SelectRegion(kNetherlands, host.programFolder);
    maps::Map map(host);
    map.rad->setText(QStringLiteral(" 5"));
    map.DrawRecords();
    const QImage before = map.canvas().image();
    const maps::PlanePoint pt = maps::ProjectDegrees(maps::Maps().projection, 52.1, 5.3);
    map.Picture1_MouseUp(Qt::LeftButton, pt.x, pt.y);
    EXPECT_EQ(RowCount(), 1);
    EXPECT_NE(map.canvas().image(), before);
    map.Picture1_MouseUp(Qt::RightButton, pt.x, pt.y);
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(map.canvas().image(), before);
    map.reject();
}

TEST_F(MapTest, DateBoxChoosesThePeriodButton) {
    document::Document().PeriodOption = 2;
    document::Document().PivotYear1 = 1980;
    document::Document().PivotYear2 = 1990;
    EXPECT_EQ(maps::PeriodButtonForDate(QStringLiteral("1987/__/__")), 1);
    EXPECT_EQ(maps::PeriodButtonForDate(QStringLiteral("1990/__/__")), 2);
    EXPECT_EQ(maps::PeriodButtonForDate(QStringLiteral("____/__/__")), 0);
    EXPECT_EQ(maps::PeriodButtonForDate(QStringLiteral("19__/__/__")), 0);
    document::Document().PeriodOption = 0;
    EXPECT_FALSE(maps::PeriodButtonForDate(QStringLiteral("1987/__/__")));
}

TEST_F(MapTest, EveryRegionMapFitsASmallLaptopScreen) {
    host.commandLine = QStringLiteral("dovazov /btmg");
    for (int row = 0; row < maps::kRegionCount; ++row) {
        maps::SelectRegion(row, host.programFolder);
        maps::Map map(host);
        const QSize size = map.sizeHint();
        // 1366 x 768 less a title bar and a task bar.
        EXPECT_LE(size.width(), 1366) << row;
        EXPECT_LE(size.height(), 768 - 60) << row;
        EXPECT_EQ(map.Command1[0]->isVisibleTo(&map), row == maps::kBritishIslesRow) << row;
    }
}

} // namespace

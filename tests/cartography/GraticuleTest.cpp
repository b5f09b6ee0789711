// The graticule: where its lines start and end, the step prompt, the screen's dotted lines broken
// at the hidden side of a globe, and the marks of an EPS file.

#include "cartography/Graticule.h"

#include "DrawingFixture.h"
#include "cartography/EpsOutput.h"
#include "common/AppError.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QRegularExpression>
#include <set>

namespace {

using carto_drawing_test::Bgr;
using carto_drawing_test::kKmPerDegree;
using carto_drawing_test::PixelOf;
using carto_drawing_test::SetUpPlateCarree;
using cartography::CartoSession;
using cartography::MapCanvas;
using testing_support::TypeText;

TEST(Graticule, FirstLineOnTheStepBelowTheBound) {
    const struct {
        float bound, step, start;
    } cases[] = {{35.3F, 5, 30}, {-10.5F, 1, -11}, {12.7F, 0.5F, 11.5F}, {0, 5, -5},
                 {-12, 5, -15},  {-10, 5, -10},    {179.9F, 30, 120},    {-180, 30, -180}};
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(cartography::GridStart(c.bound, c.step), c.start)
            << c.bound << " " << c.step;
    }
}

class GraticuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetUpPlateCarree(session, canvas);
    }

    // The lines DisplayGrid writes into an EPS file whose page puts a point (x, y) km at
    // (x / scaleX + 50, y / scaleY + 799) points.
    QStringList Eps(float scaleX, float scaleY) {
        const QString path = dir.filePath(QStringLiteral("grid.eps"));
        {
            platform::TextFileWriter writer(path);
            cartography::PageGeometry page;
            page.PageWidth = 1;
            page.PageHeight = 1;
            page.ExtentWidth = scaleX;
            page.ExtentHeight = scaleY;
            cartography::EpsOutput eps(writer, page);
            cartography::DisplayGrid(session, canvas, &eps, 0);
            writer.commit();
        }
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromLatin1(file.readAll())
            .split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    }

    // The page positions of the "m1" marks, to a hundredth of a point.
    static std::pair<std::set<long>, std::set<long>> Marks(const QStringList& lines) {
        std::set<long> xs;
        std::set<long> ys;
        for (const QString& line : lines.mid(1)) {
            const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            EXPECT_EQ(parts.size(), 3);
            EXPECT_EQ(parts.value(2), QStringLiteral("m1"));
            xs.insert(std::lround(parts.value(0).toDouble() * 100));
            ys.insert(std::lround(parts.value(1).toDouble() * 100));
        }
        return {xs, ys};
    }

    QTemporaryDir dir;
    testing_support::ScriptedPrompter prompter;
    CartoSession session;
    MapCanvas canvas;
};

TEST_F(GraticuleTest, EpsMarksEachIntersectionFromOneStepBelowToOneStepAbove) {
    session.map.LatSouth = 35.3F;
    session.map.LatNorth = 73;
    session.map.LonWest = 0;
    session.map.LonEast = 10;
    session.gridStep = 5;
    // One point a degree.
    const auto km = static_cast<float>(kKmPerDegree);
    const QStringList lines = Eps(km, km);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], QStringLiteral("0 sg .1 setlinewidth"));
    EXPECT_EQ(lines.size(), 1 + 10 * 5);
    const auto [xs, ys] = Marks(lines);
    EXPECT_EQ(xs, (std::set<long>{4500, 5000, 5500, 6000, 6500}));
    std::set<long> parallels;
    for (int lat = 30; lat <= 75; lat += 5) {
        parallels.insert((lat + 799) * 100L);
    }
    EXPECT_EQ(ys, parallels);
}

TEST_F(GraticuleTest, AMapWithoutProjectionTakesThePictureEdgesAndItsOwnUnits) {
    session.projection.ProjCode = 0;
    session.map.PlainXmin = 0;
    session.map.PlainXmax = 1000;
    session.map.PlainYmin = 0;
    session.map.PlainYmax = 800;
    session.gridStep = 250;
    const QStringList lines = Eps(1, 1);
    EXPECT_EQ(lines.size(), 1 + 5 * 4);
    const auto [xs, ys] = Marks(lines);
    EXPECT_EQ(xs, (std::set<long>{5000, 30000, 55000, 80000, 105000}));
    EXPECT_EQ(ys, (std::set<long>{79900, 104900, 129900, 154900}));
}

TEST_F(GraticuleTest, TheStepPromptAndACancelThatDrawsNothing) {
    const QImage blank = canvas.image();
    prompter.expect(TypeText(QString()));
    cartography::DisplayGrid(session, canvas, nullptr, 1);
    EXPECT_EQ(session.gridStep, 0.0F);
    EXPECT_EQ(canvas.image(), blank);
    EXPECT_TRUE(Eps(1, 1).isEmpty());
    ASSERT_EQ(prompter.inputs().size(), 1U);
    EXPECT_EQ(prompter.inputs()[0],
              (testing_support::InputRequest{
                  QStringLiteral("Entrez le pas de la maille en degrés décimaux Greenwich."),
                  QStringLiteral("Maille"), QStringLiteral("1")}));

    // A redraw takes the step without asking.
    session.gridStep = 5;
    cartography::DisplayGrid(session, canvas, nullptr, 0);
    EXPECT_EQ(prompter.inputs().size(), 1U);

    session.projection.ProjCode = 0;
    prompter.expect(TypeText(QStringLiteral("2,5")));
    cartography::DisplayGrid(session, canvas, nullptr, 1);
    EXPECT_EQ(prompter.inputs().back().prompt, QStringLiteral("Entrez le pas de la maille."));
    EXPECT_EQ(session.gridStep, 2.0F);
}

TEST_F(GraticuleTest, DottedLinesInTheDrawingColourLeftOnTheMap) {
    canvas.setForeColor(0xFF0000);
    session.gridStep = 5;
    cartography::DisplayGrid(session, canvas, nullptr, 0);
    EXPECT_EQ(canvas.drawStyle(), cartography::kSolid);
    const QImage& image = canvas.image();
    int blue = 0;
    const int left = PixelOf(0, -10).x();
    const int right = PixelOf(0, 10).x();
    for (int x = left; x < right; ++x) {
        blue += image.pixelColor(x, PixelOf(0, 0).y()) == Bgr(0xFF0000) ? 1 : 0;
    }
    EXPECT_GT(blue, (right - left) / 4);
    EXPECT_LT(blue, right - left);
    // A row between the parallels is untouched away from the meridians.
    EXPECT_EQ(image.pixelColor(PixelOf(2, 2)), QColor(Qt::white));
}

TEST_F(GraticuleTest, AStepTooSmallForTheMapIsRefusedAndNotKept) {
    prompter.expect(TypeText(QStringLiteral("0.001")));
    try {
        cartography::DisplayGrid(session, canvas, nullptr, 1);
        ADD_FAILURE() << "a step of 0.001 degree was drawn";
    } catch (const common::AppError& e) {
        EXPECT_EQ(e.number(), common::kInvalidCall);
    }
    EXPECT_EQ(session.gridStep, 0.0F);
}

// On a globe centred at 45° N, 180°, the equator is seen from 90° E across the date line to 90° W;
// its points at 60° W to 60° E are hidden. The line stops at the hidden side instead of cutting
// across the globe from 120° E to 120° W.
TEST_F(GraticuleTest, AHiddenPointBreaksTheLineOnTheScreen) {
    constexpr double kR = 6378.388;
    QImage white(200, 200, QImage::Format_RGB32);
    white.fill(Qt::white);
    canvas.setPicture(white);
    canvas.setScale(-6400, 6400, 12800, -12800);
    session.projection = {};
    session.projection.ProjCode = 10;
    cartography::OrthoInit(session.projection, cartography::radian(45));
    session.projection.CentralMeridian = cartography::radian(180);
    // Only the equator: the rows start at 0 and end before 60.
    session.map.LatSouth = 60;
    session.map.LatNorth = -1;
    session.map.LonWest = -180;
    session.map.LonEast = 125;
    session.gridStep = 60;
    cartography::DisplayGrid(session, canvas, nullptr, 0);
    const auto pixel = [&](double x, double y) {
        return QPoint(static_cast<int>(std::lround((x + 6400) / 64)),
                      static_cast<int>(std::lround((6400 - y) / 64)));
    };
    const QImage& image = canvas.image();
    // The chord from 120° E to 120° W would lie at y = -R sin 45° cos 60°.
    const double chordY = -kR * std::sin(std::numbers::pi / 4) * 0.5;
    for (const double x : {-3000.0, 3000.0}) {
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -4; dx <= 4; ++dx) {
                const QPoint p = pixel(x, chordY) + QPoint(dx, dy);
                EXPECT_EQ(image.pixelColor(p), QColor(Qt::white)) << p.x() << "," << p.y();
            }
        }
    }
    // The seen side is drawn: near its 180° point (0, -R sin 45°).
    int drawn = 0;
    const QPoint back = pixel(0, -kR * std::sin(std::numbers::pi / 4));
    for (int dx = -6; dx <= 6; ++dx) {
        for (int dy = -2; dy <= 2; ++dy) {
            drawn += image.pixelColor(back + QPoint(dx, dy)) != QColor(Qt::white) ? 1 : 0;
        }
    }
    EXPECT_GT(drawn, 0);
}

} // namespace

// The distribution symbols: the seven shapes at their pixels, the circles copied from one drawing,
// the records plotted on the screen and into an EPS file, and the text replacement.

#include "DrawingFixture.h"
#include "cartography/DistributionSymbols.h"
#include "cartography/EpsOutput.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>

namespace {

using carto_drawing_test::DocumentTest;
using carto_drawing_test::PixelOf;
using carto_drawing_test::SetUpPlateCarree;
using cartography::CartoSession;
using cartography::MapCanvas;

const QColor kWhite(Qt::white);
const QColor kRed(Qt::red);

// A 100 by 100 canvas, one user unit a pixel, y upwards from the bottom edge.
void SetUpPixels(MapCanvas& canvas) {
    QImage white(100, 100, QImage::Format_RGB32);
    white.fill(Qt::white);
    canvas.setPicture(white);
    canvas.setScale(0, 100, 100, -100);
}

// A user position (y upwards) as the pixel it falls in.
QColor At(MapCanvas& canvas, int x, int y) {
    return canvas.image().pixelColor(x, 100 - y);
}

TEST(PlotSymbol, EachShapeCoversItsCornersAndLeavesTheRest) {
    struct Probe {
        int dx, dy; // from the centre, user units (y upwards)
        bool filled;
    };
    const struct {
        int type;
        float size;
        std::vector<Probe> probes;
    } cases[] = {
        {1, 20, {{0, 0, true}, {0, 8, true}, {7, -6, true}, {0, 12, false}, {8, 8, false}}},
        // Upright cross, k = 3: the arms, not the corners between them.
        {2, 24, {{0, 10, true}, {-10, 0, true}, {0, -10, true}, {7, 7, false}, {-6, -6, false}}},
        // Diagonal cross, k = 4: along the diagonals, not on the axes near the ends.
        {3, 24, {{8, 8, true}, {-8, -8, true}, {-8, 8, true}, {0, 10, false}, {10, 0, false}}},
        {4, 20, {{0, 0, true}, {0, 8, true}, {8, 0, true}, {7, 7, false}, {-7, -7, false}}},
        {5, 20, {{0, 0, true}, {8, 8, true}, {-8, -8, true}, {0, 12, false}, {12, 0, false}}},
        // Apex up: wide at the bottom, narrow at the top.
        {6, 20, {{0, 7, true}, {-8, -8, true}, {8, -8, true}, {-7, 7, false}, {7, 7, false}}},
        {7, 20, {{0, -7, true}, {-8, 8, true}, {8, 8, true}, {-7, -7, false}, {7, -7, false}}},
        {8, 20, {{0, 0, false}}},
        {0, 20, {{0, 0, false}}},
    };
    for (const auto& c : cases) {
        CartoSession session;
        MapCanvas canvas;
        SetUpPixels(canvas);
        cartography::PlotSymbol(session, canvas, 50, 50, c.type, c.size, 0x0000FF,
                                cartography::kFillSolid);
        for (const Probe& p : c.probes) {
            const QColor colour = At(canvas, 50 + p.dx, 50 + p.dy);
            if (p.filled) {
                EXPECT_NE(colour, kWhite) << "type " << c.type << " at " << p.dx << "," << p.dy;
            } else {
                EXPECT_EQ(colour, kWhite) << "type " << c.type << " at " << p.dx << "," << p.dy;
            }
        }
        // Filled with the colour, outlined in the pen (black), the fill left set.
        if (c.type >= 1 && c.type <= 7) {
            EXPECT_EQ(At(canvas, 50, c.type == 3 ? 50 + 1 : 50), kRed) << c.type;
        }
        EXPECT_EQ(canvas.fillColor(), 0x0000FF);
    }
}

TEST(PlotSymbol, SizeZeroCollapsesToAPoint) {
    for (const int type : {4, 5, 6, 7}) {
        CartoSession session;
        MapCanvas canvas;
        SetUpPixels(canvas);
        cartography::PlotSymbol(session, canvas, 50, 50, type, 0, 0x0000FF, 0);
        int drawn = 0;
        const QImage& image = canvas.image();
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                drawn += image.pixelColor(x, y) != kWhite ? 1 : 0;
            }
        }
        EXPECT_LE(drawn, 1) << type;
    }
}

// The circles copied from one drawing are the circles a painter draws in place, at every
// position, clipped at the edges.
TEST(MapCanvas, CopiedCirclesMatchCirclesDrawnInPlace) {
    for (const int radius : {0, 1, 5, 12}) {
        for (const int fillStyle : {cartography::kFillSolid, cartography::kFillTransparent}) {
            MapCanvas canvas;
            SetUpPixels(canvas);
            canvas.setScale(0, 0, 100, 100); // pixels, y downwards
            canvas.setForeColor(0x000000);
            canvas.setFillColor(0x00FF00);
            canvas.setFillStyle(fillStyle);
            QImage expected(100, 100, QImage::Format_RGB32);
            expected.fill(Qt::white);
            QPainter painter(&expected);
            painter.setPen(QPen(Qt::black, 0));
            painter.setBrush(fillStyle == cartography::kFillSolid ? QBrush(Qt::green)
                                                                  : QBrush(Qt::NoBrush));
            for (const QPoint c : {QPoint(50, 50), QPoint(20, 70), QPoint(0, 0), QPoint(99, 40),
                                   QPoint(-3, 102), QPoint(51, 50)}) {
                canvas.Circle(static_cast<float>(c.x()), static_cast<float>(c.y()),
                              static_cast<float>(radius));
                painter.drawEllipse(c, radius, radius);
            }
            painter.end();
            EXPECT_EQ(canvas.image(), expected) << radius << " " << fillStyle;
        }
    }
}

TEST(ModifieCar, ReplacesEveryOccurrenceCaseSensitively) {
    const struct {
        const char* text;
        const char* find;
        const char* replacement;
        const char* result;
    } cases[] = {{"12,5", ",", ".", "12.5"},
                 {"a,b,c", ",", "", "abc"},
                 {"aAa", "a", "b", "bAb"},
                 {"xx", "x", "xx", "xxxx"},
                 {"abc", "", "z", "abc"}};
    for (const auto& c : cases) {
        QString text = QString::fromLatin1(c.text);
        cartography::ModifieCar(text, QString::fromLatin1(c.find),
                                QString::fromLatin1(c.replacement));
        EXPECT_EQ(text, QString::fromLatin1(c.result)) << c.text;
    }
}

// --- PlotDistri ---

class PlotDistriTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        SetUpPlateCarree(session, canvas);
        session.Options.SetSymbolColor(0x0000FF);
        session.Options.SetSymbolDiameter(100'000); // 100 km: about 9 pixels across
    }

    // The lines PlotDistri writes into an EPS file of the map on a page `w` by `h` points.
    QStringList EpsLines(int mode, int w, int h) {
        const QString path = folder() + QStringLiteral("/symbols.eps");
        {
            platform::TextFileWriter writer(path);
            cartography::PageGeometry page;
            page.PageWidth = w;
            page.PageHeight = h;
            page.Xmin = session.extent.Xmin;
            page.Ymin = session.extent.Ymin;
            page.ExtentWidth = session.extent.ExtentWidth;
            page.ExtentHeight = session.extent.ExtentHeight;
            cartography::EpsOutput eps(writer, page);
            cartography::PlotDistri(session, canvas, host, &eps, mode);
            writer.commit();
        }
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromLatin1(file.readAll())
            .split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    }

    CartoSession session;
    MapCanvas canvas;
};

TEST_F(PlotDistriTest, DrawsTheSelectedRowsOrAllAndSkipsRecordsWithoutPosition) {
    const std::int64_t a = Add(5, 5);
    const std::int64_t b = Add(-5, -5);
    Add(5, -5);
    Add(999, 999);
    Add(std::nullopt, 2);
    selected = {b, a};
    cartography::PlotDistri(session, canvas, host, nullptr, 0);
    EXPECT_EQ(canvas.image().pixelColor(PixelOf(5, 5)), kRed);
    EXPECT_EQ(canvas.image().pixelColor(PixelOf(-5, -5)), kRed);
    EXPECT_EQ(canvas.image().pixelColor(PixelOf(5, -5)), kWhite);

    selected.clear();
    cartography::PlotDistri(session, canvas, host, nullptr, 0);
    EXPECT_EQ(canvas.image().pixelColor(PixelOf(5, -5)), kRed);
    // 999/999 lies on the plate carrée too, far off: nothing reaches the canvas, nothing fails.
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(prompter.beeps(), 0);
    EXPECT_EQ(canvas.foreColor(), 0);
}

TEST_F(PlotDistriTest, AnEmptyDocumentBeepsAndAMapWithoutProjectionIsRefused) {
    session.projection.ProjCode = 0;
    cartography::PlotDistri(session, canvas, host, nullptr, 0);
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_TRUE(prompter.messages().empty());

    Add(5, 5);
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    const QImage before = canvas.image();
    cartography::PlotDistri(session, canvas, host, nullptr, 0);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("This map is not georeferenced.\rMapping aborted"));
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Critical);
    EXPECT_EQ(canvas.image(), before);
}

TEST_F(PlotDistriTest, SymbolDiameterFromTheOptionOrTheMapsLargerSide) {
    session.Options.SetSymbolDiameter(5000);
    EXPECT_FLOAT_EQ(cartography::SymbolSize(session), 5.0F);
    session.Options.SetSymbolDiameter(-1);
    session.extent.ExtentMax = 2000;
    EXPECT_FLOAT_EQ(cartography::SymbolSize(session), 40.0F);
}

TEST_F(PlotDistriTest, EpsLinesInColourAndInBlackAndWhite) {
    // The map is 20° by 10°: a page of 500 by 250 points; a record at its centre.
    const auto half = static_cast<float>(5.0 * carto_drawing_test::kKmPerDegree);
    session.extent.Ymin = -half;
    session.extent.ExtentHeight = 2 * half;
    Add(0, 0);
    Add(999, 999);
    Add(std::nullopt, 1);
    const QStringList colour = EpsLines(1, 500, 250);
    ASSERT_EQ(colour.size(), 1) << colour.join(QLatin1Char('|')).toStdString();
    // Radius in points: 100 km of a 2226.5 km side of 500 points, halved.
    const double r = 100.0 / (20.0 * carto_drawing_test::kKmPerDegree) * 500.0 / 2.0;
    const QRegularExpression form(QStringLiteral("^ 300  675  ([\\d.]+) (.*) sc1$"));
    const QRegularExpressionMatch m = form.match(colour[0]);
    ASSERT_TRUE(m.hasMatch()) << colour[0].toStdString();
    EXPECT_NEAR(m.captured(1).toDouble(), r, 1e-5);
    EXPECT_EQ(m.captured(2), QStringLiteral(" 1  0  0"));

    const QStringList black = EpsLines(0, 500, 250);
    ASSERT_EQ(black.size(), 1);
    EXPECT_TRUE(black[0].startsWith(QStringLiteral(" 300  675  ")));
    EXPECT_TRUE(black[0].endsWith(QStringLiteral(" 0 s1")));
}

TEST_F(PlotDistriTest, RecordsOnTheHiddenSideOfAPolarMapAreNotWritten) {
    session.projection = {};
    session.projection.ProjCode = 11;
    cartography::OrthoPoleInit(session.projection, 11);
    Add(60, 10);
    Add(-30, 10); // the southern hemisphere: hidden
    Add(999, 999);
    const QStringList lines = EpsLines(0, 500, 500);
    EXPECT_EQ(lines.size(), 1) << lines.join(QLatin1Char('|')).toStdString();
}

} // namespace

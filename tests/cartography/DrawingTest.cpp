// The polygon lists and the vector layers of the cartography map, and the order of a redraw.

#include "DrawingFixture.h"
#include "cartography/LayerDrawing.h"
#include "cartography/Polygon.h"
#include "cartography/Redraw.h"
#include "cartography/core/LayerFile.h"
#include "common/AppError.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <limits>

namespace {

using carto_drawing_test::Bgr;
using carto_drawing_test::DocumentTest;
using carto_drawing_test::PixelOf;
using carto_drawing_test::SetUpPlateCarree;
using cartography::CartoSession;
using cartography::LayerLine;
using cartography::LayerVertex;
using cartography::MapCanvas;
using cartography::Polygon;

const QColor kWhite(Qt::white);
constexpr std::int32_t kBlue = 0xFF0000;
constexpr std::int32_t kCyan = 0xFFFF00;

QImage WhitePicture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// --- Polygon ---

TEST(Polygon, PixelFactorsAndVerticesOfAUserScale) {
    MapCanvas canvas;
    canvas.setPicture(WhitePicture(800, 600));
    canvas.setScale(-2000, 1500, 4000, -3000);
    Polygon polygon;
    polygon.Device(canvas);
    EXPECT_FLOAT_EQ(polygon.pixelsPerUnitX(), 0.2F);
    EXPECT_FLOAT_EQ(polygon.pixelsPerUnitY(), -0.2F);
    polygon.Point(0, 0);
    polygon.Point(-2000, 1500);
    polygon.Point(2000, -1500);
    EXPECT_EQ(polygon.vertices(), (std::vector<QPoint>{{400, 300}, {0, 0}, {800, 600}}));
    // Binding again changes only the vertices added afterwards.
    canvas.setScale(0, 0, 800, 600);
    polygon.Device(canvas);
    polygon.Point(10, 20);
    EXPECT_EQ(polygon.vertices().front(), QPoint(400, 300));
    EXPECT_EQ(polygon.vertices().back(), QPoint(10, 20));
}

TEST(Polygon, PixelsRoundHalvesToEven) {
    MapCanvas canvas;
    canvas.setPicture(WhitePicture(100, 100));
    Polygon polygon;
    polygon.Device(canvas);
    const struct {
        float user;
        int pixel;
    } cases[] = {{12.5F, 12}, {13.5F, 14}, {12.4F, 12}, {12.6F, 13}, {-0.5F, 0}, {-1.5F, -2}};
    for (const auto& c : cases) {
        polygon.Point(c.user, c.user);
        EXPECT_EQ(polygon.vertices().back(), QPoint(c.pixel, c.pixel)) << c.user;
    }
}

// A square outline of 5 vertices; `closed` ends it on its first vertex.
void Square(Polygon& polygon, bool closed) {
    polygon.Point(20, 20);
    polygon.Point(80, 20);
    polygon.Point(80, 80);
    polygon.Point(20, 80);
    polygon.Point(closed ? 20 : 30, closed ? 20 : 30);
}

TEST(Polygon, DrawZebFillsAClosedListAndDrawsAnOpenOneAsALine) {
    for (const bool closed : {true, false}) {
        MapCanvas canvas;
        canvas.setPicture(WhitePicture(100, 100));
        canvas.setFillColor(0x0000FF);
        canvas.setFillStyle(cartography::kFillSolid);
        Polygon polygon;
        polygon.Device(canvas);
        Square(polygon, closed);
        ASSERT_EQ(polygon.vertices().size(), 5U);
        polygon.DrawZEB(canvas);
        EXPECT_TRUE(polygon.vertices().empty());
        const QImage& image = canvas.image();
        EXPECT_EQ(image.pixelColor(50, 50), closed ? QColor(Qt::red) : kWhite) << closed;
        EXPECT_EQ(image.pixelColor(50, 20), QColor(Qt::black)) << closed;
        // The open line is not closed from its last vertex back to its first.
        EXPECT_EQ(image.pixelColor(25, 25), closed ? QColor(Qt::red) : kWhite) << closed;
    }
}

TEST(Polygon, FewerThanTwoVerticesDrawNothingAndEmptyTheList) {
    MapCanvas canvas;
    canvas.setPicture(WhitePicture(100, 100));
    const QImage before = canvas.image();
    Polygon polygon;
    polygon.Device(canvas);
    polygon.DrawZEB(canvas);
    polygon.Point(50, 50);
    polygon.DrawZEB(canvas);
    EXPECT_TRUE(polygon.vertices().empty());
    polygon.Point(50, 50);
    polygon.DrawLine(canvas);
    EXPECT_TRUE(polygon.vertices().empty());
    EXPECT_EQ(canvas.image(), before);
}

TEST(Polygon, APointWithoutPixelBreaksTheLine) {
    MapCanvas canvas;
    canvas.setPicture(WhitePicture(100, 100));
    Polygon polygon;
    polygon.Device(canvas);
    for (const float hidden :
         {cartography::kHiddenPoint, std::numeric_limits<float>::quiet_NaN()}) {
        polygon.Point(10, 50);
        polygon.Point(30, 50);
        polygon.Point(hidden, 50);
        polygon.Point(70, 50);
        polygon.Point(90, 50);
        EXPECT_EQ(polygon.vertices().size(), 4U);
        EXPECT_TRUE(polygon.broken());
        polygon.DrawZEB(canvas);
        const QImage& image = canvas.image();
        EXPECT_EQ(image.pixelColor(20, 50), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(50, 50), kWhite);
        EXPECT_EQ(image.pixelColor(80, 50), QColor(Qt::black));
    }
}

// --- Layers ---

TEST(LayerDrawing, LinesOutsideTheMapAreLeftOutWithAnExtraDegreeNorthAndSouth) {
    cartography::MapDescription map;
    map.LatNorth = 73;
    map.LatSouth = 35;
    map.LonEast = 46;
    map.LonWest = -12;
    const struct {
        float latMin, latMax, lonMin, lonMax;
        bool visible;
    } cases[] = {
        {73.5F, 74.0F, 10.0F, 11.0F, true},  // within the extra degree north
        {50.0F, 51.0F, 46.5F, 47.0F, false}, // east of the map: no extra degree
        {33.5F, 34.5F, 0.0F, 1.0F, true},    // within the extra degree south
        {74.5F, 75.0F, 0.0F, 1.0F, false},    {50.0F, 51.0F, -13.0F, -12.5F, false},
        {50.0F, 51.0F, -13.0F, -12.0F, true},
    };
    for (const auto& c : cases) {
        LayerLine line;
        line.LatMin = c.latMin;
        line.LatMax = c.latMax;
        line.LonMin = c.lonMin;
        line.LonMax = c.lonMax;
        EXPECT_EQ(cartography::LineVisible(line, map), c.visible) << c.latMin << " " << c.lonMin;
    }
}

TEST(LayerDrawing, ColoursByFeatureCodeAndStylesByDigit) {
    const struct {
        char code;
        int style;
        std::int32_t colour;
        bool solid;
    } cases[] = {{'R', 1, kBlue, true}, {'L', 2, kCyan, true}, {'C', 3, 0, false},
                 {'G', 0, 0, false},    {'A', 1, 0, true},     {'U', 1, 0, true},
                 {'r', 1, 0, true},     {'x', 2, 0, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(cartography::FeatureColor(c.code), c.colour) << c.code;
        EXPECT_EQ(cartography::LineDrawStyle(c.style) == cartography::kSolid, c.solid) << c.style;
    }
}

// A horizontal line of the layer at `lat` from 8° west to 8° east, beginning with pen -1.
LayerLine Horizontal(float lat, char code, char style) {
    LayerLine line;
    line.FeatureCode = code;
    line.StyleChar = style;
    line.LatMin = line.LatMax = lat;
    line.LonMin = -8;
    line.LonMax = 8;
    line.Vertices = {{-1, lat, -8}, {0, lat, 0}, {0, lat, 8}};
    return line;
}

LayerLine Vertical(float lon, char code) {
    LayerLine line;
    line.FeatureCode = code;
    line.StyleChar = '1';
    line.LatMin = -8;
    line.LatMax = 8;
    line.LonMin = line.LonMax = lon;
    line.Vertices = {{-1, -8, lon}, {0, 8, lon}};
    return line;
}

// How many pixels of the row of `lat`, between 7° west and 7° east, have `colour`.
int PixelsOfColour(const QImage& image, double lat, const QColor& colour) {
    int n = 0;
    const QPoint left = PixelOf(lat, -7);
    const QPoint right = PixelOf(lat, 7);
    for (int x = left.x(); x <= right.x(); ++x) {
        n += image.pixelColor(x, left.y()) == colour ? 1 : 0;
    }
    return n;
}

class LayerFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetUpPlateCarree(session, canvas);
    }
    std::filesystem::path Write(const std::string& name, const std::vector<LayerLine>& lines) {
        const std::filesystem::path file = dir.filePath(QString::fromStdString(name)).toStdString();
        cartography::WriteLayerFile(file, {"test", ""}, lines);
        return file;
    }

    QTemporaryDir dir;
    CartoSession session;
    MapCanvas canvas;
};

TEST_F(LayerFileTest, EachLineInThePenOfItsCodeAndStyle) {
    const auto file = Write("pens.zeb", {Horizontal(6, 'R', '1'), Horizontal(3, 'L', '2'),
                                         Horizontal(0, 'C', '3'), Horizontal(-3, 'r', '1'),
                                         Horizontal(-6, 'R', ' ')});
    cartography::AfficheZEB(session, canvas, file);
    const QImage& image = canvas.image();
    const int span = PixelOf(0, 7).x() - PixelOf(0, -7).x() + 1;
    EXPECT_EQ(PixelsOfColour(image, 6, Bgr(kBlue)), span);
    EXPECT_EQ(PixelsOfColour(image, 3, Bgr(kCyan)), span);
    EXPECT_EQ(PixelsOfColour(image, -3, Qt::black), span);
    // Dashed: drawn, with gaps.
    for (const auto& [lat, colour] : {std::pair{0.0, QColor(Qt::black)}, {-6.0, Bgr(kBlue)}}) {
        const int drawn = PixelsOfColour(image, lat, colour);
        EXPECT_GT(drawn, span / 4) << lat;
        EXPECT_LT(drawn, span) << lat;
    }
    // The last line of the layer is drawn at its end; the pen stays that of its last line.
    EXPECT_EQ(canvas.foreColor(), kBlue);
    EXPECT_EQ(canvas.drawStyle(), cartography::kDash);
}

TEST_F(LayerFileTest, AGatheredLineIsDrawnAtTheNextPenMinusOneVertex) {
    cartography::LayerPlotState& state = session.plot;
    Polygon& polygon = session.layerPolygon;
    polygon.Device(canvas);
    const auto plot = [&](int pen, float lat, float lon, char code) {
        cartography::Plot(state, polygon, canvas, session.projection, pen, lat, lon, code, 1);
    };
    plot(-1, 5, -8, 'R');
    plot(0, 5, 8, 'R');
    EXPECT_EQ(canvas.image().pixelColor(PixelOf(5, 0)), kWhite);
    plot(-1, -5, -8, 'C');
    // The first line, in its own pen, once the second begins.
    EXPECT_EQ(canvas.image().pixelColor(PixelOf(5, 0)), Bgr(kBlue));
    plot(0, -5, 8, 'C');
    EXPECT_EQ(canvas.image().pixelColor(PixelOf(-5, 0)), kWhite);
    // The second line begins at its pen -1 vertex.
    polygon.DrawZEB(canvas);
    EXPECT_EQ(canvas.image().pixelColor(PixelOf(-5, -7)), QColor(Qt::black));
}

TEST_F(LayerFileTest, HiddenAndNaNVerticesBreakTheLine) {
    LayerLine line = Horizontal(0, 'C', '1');
    line.Vertices = {{-1, 0, -8},
                     {0, 0, -4},
                     {0, std::numeric_limits<float>::quiet_NaN(), 0},
                     {0, 0, 4},
                     {0, 0, 8}};
    cartography::AfficheZEB(session, canvas, Write("nan.zeb", {line}));
    const QImage& image = canvas.image();
    EXPECT_EQ(image.pixelColor(PixelOf(0, -6)), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(PixelOf(0, 0)), kWhite);
    EXPECT_EQ(image.pixelColor(PixelOf(0, 6)), QColor(Qt::black));
}

TEST_F(LayerFileTest, AMissingFileDrawsNothingAndACutShortFileIsNamed) {
    const QImage before = canvas.image();
    EXPECT_NO_THROW(
        cartography::AfficheZEB(session, canvas, dir.filePath("gone.zeb").toStdString()));
    EXPECT_EQ(canvas.image(), before);

    const auto file = Write("cut.zeb", {Horizontal(5, 'C', '1'), Horizontal(-5, 'C', '1')});
    std::filesystem::resize_file(file, std::filesystem::file_size(file) - 4);
    try {
        cartography::AfficheZEB(session, canvas, file);
        ADD_FAILURE() << "a cut-short file was read";
    } catch (const common::AppError& e) {
        EXPECT_EQ(e.number(), common::kInputPastEnd);
        EXPECT_NE(e.description().find(file.string()), std::string::npos) << e.description();
        // The second line's third vertex begins at 116 + 2 * 61 + 3 * 11 + 2 * 11.
        EXPECT_NE(e.description().find("byte 293"), std::string::npos) << e.description();
    }
    // The line read before the fault is drawn; the cut one is not.
    EXPECT_EQ(canvas.image().pixelColor(PixelOf(5, 0)), QColor(Qt::black));
    EXPECT_EQ(canvas.image().pixelColor(PixelOf(-5, -4)), kWhite);
}

// --- Redraw ---

class RedrawTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        ASSERT_TRUE(layers.isValid());
        SetUpPlateCarree(session, canvas);
    }
    QTemporaryDir layers;
    CartoSession session;
    MapCanvas canvas;
};

TEST_F(RedrawTest, LaterLayersOverEarlierOnesAndSymbolsOverBoth) {
    const std::string a = layers.filePath("a.zeb").toStdString();
    const std::string b = layers.filePath("b.zeb").toStdString();
    cartography::WriteLayerFile(a, {}, {Horizontal(0, 'L', '1')});
    cartography::WriteLayerFile(b, {}, {Vertical(5, 'R'), Vertical(-5, 'R')});
    session.Options.Add(a);
    session.Options.Add(layers.filePath("deleted.zeb").toStdString());
    session.Options.Add(b);
    session.Options.SetSymbolColor(0x00FF00);
    session.Options.SetSymbolDiameter(200'000); // 200 km: about 18 pixels across
    Add(0, -5);
    // A drawing left from before is cleared.
    canvas.PSet(0, static_cast<float>(-9 * carto_drawing_test::kKmPerDegree));
    for (int pass = 0; pass < 2; ++pass) {
        cartography::RedrawMap(session, canvas, host);
        const QImage& image = canvas.image();
        EXPECT_EQ(image.pixelColor(PixelOf(-9, 0)), kWhite) << pass;
        // Line A runs on through its vertex at the plane's origin.
        EXPECT_EQ(image.pixelColor(PixelOf(0, 2)), Bgr(kCyan)) << pass;
        EXPECT_EQ(image.pixelColor(PixelOf(2, 5)), Bgr(kBlue)) << pass;
        EXPECT_EQ(image.pixelColor(PixelOf(0, 5)), Bgr(kBlue)) << pass;
        EXPECT_EQ(image.pixelColor(PixelOf(0, -5)), QColor(Qt::green)) << pass;
    }
    EXPECT_EQ(prompter.beeps(), 0);
}

TEST_F(RedrawTest, ADrawingAgainKeepsTheLayerPensTheSymbolsChanged) {
    const std::string rivers = layers.filePath("rivers.zeb").toStdString();
    LayerLine island;
    island.FeatureCode = 'C';
    island.StyleChar = '1';
    island.LatMin = 2;
    island.LatMax = 6;
    island.LonMin = -8;
    island.LonMax = -4;
    island.Vertices = {{-1, 2, -8}, {0, 2, -4}, {0, 6, -4}, {0, 6, -8}, {0, 2, -8}};
    cartography::WriteLayerFile(rivers, {}, {Vertical(5, 'R'), island});
    session.Options.Add(rivers);
    session.Options.SetSymbolDiameter(100'000);
    Add(-5, -5);
    for (int pass = 0; pass < 2; ++pass) {
        cartography::RedrawMap(session, canvas, host);
        EXPECT_EQ(canvas.image().pixelColor(PixelOf(2, 5)), Bgr(kBlue)) << pass;
        EXPECT_EQ(canvas.image().pixelColor(PixelOf(2, -6)), QColor(Qt::black)) << pass;
        EXPECT_EQ(canvas.image().pixelColor(PixelOf(4, -6)), kWhite) << pass;
        EXPECT_EQ(canvas.foreColor(), 0) << pass;
    }
}

} // namespace

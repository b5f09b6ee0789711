// The grid-line files: their line counts by class, the shape of their lines, and points of their
// lines against PROJ's definitions of the two grids.

#include "maps/GridLineExport.h"

#include "../geodesy/ProjReference.h"
#include "geodesy/NationalGridProjection.h"
#include "maps/MapFormats.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>

namespace {

struct Shape {
    int lines;
    std::map<QString, std::vector<int>> polylines; // class -> points of each polyline
};

Shape ShapeOf(const QString& text) {
    Shape shape;
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    shape.lines = static_cast<int>(lines.size());
    QString cls;
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("-1 "))) {
            cls = line.mid(line.indexOf(QLatin1Char(':')) + 1);
            shape.polylines[cls].push_back(1);
        } else {
            EXPECT_TRUE(line.startsWith(QStringLiteral(" 0 "))) << line.toStdString();
            EXPECT_TRUE(line.endsWith(QLatin1Char(':'))) << line.toStdString();
            ++shape.polylines[cls].back();
        }
    }
    return shape;
}

std::vector<int> Repeat(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<int> out;
    for (const auto& [count, points] : runs) {
        out.insert(out.end(), static_cast<std::size_t>(count), points);
    }
    return out;
}

TEST(GridLineExport, IrishFileLinesByClass) {
    int drawnPolylines = 0;
    const Shape shape = ShapeOf(maps::GridLineText(
        0, [&](double, double, bool first) { drawnPolylines += first ? 1 : 0; }));
    EXPECT_EQ(shape.lines, 4867);
    EXPECT_EQ(shape.polylines.at("G3"), Repeat({{51, 41}, {41, 51}}));
    EXPECT_EQ(shape.polylines.at("G2"), Repeat({{6, 41}, {5, 51}}));
    EXPECT_EQ(shape.polylines.at("G1"), (std::vector<int>{51, 41, 51, 41}));
    EXPECT_EQ(drawnPolylines, 11); // the 100 km lines only
}

TEST(GridLineExport, BritishFileLinesByClass) {
    const Shape shape = ShapeOf(maps::GridLineText(1));
    EXPECT_EQ(shape.lines, 29781);
    EXPECT_EQ(shape.polylines.at("G3"), Repeat({{131, 101}, {101, 131}}));
    EXPECT_EQ(shape.polylines.at("G2"), Repeat({{14, 101}, {11, 131}}));
    EXPECT_EQ(shape.polylines.at("G1"), (std::vector<int>{131, 101, 131, 101}));
}

// Latitude and longitude of a line "pen lat lon:...".
std::pair<double, double> PointOf(const QString& line) {
    const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return {maps::LeadingNumber(parts.at(1)), maps::LeadingNumber(parts.at(2))};
}

TEST(GridLineExport, LinesLieOnTheGridLinesTheyStandForAsProjDefinesTheGrids) {
    // The grids as EPSG defines them (Irish grid on Modified Airy, EPSG:29902; British National
    // Grid on Airy 1830, EPSG:27700), inverted by PROJ from the grid's own eastings and northings.
    struct Grid {
        int button;
        const char* proj;
        double e0, e1, n0; // the area's western, eastern and southern grid lines, metres
    };
    const Grid grids[] = {
        {0,
         "+proj=pipeline +step +inv +proj=tmerc +lat_0=53.5 +lon_0=-8 +k=1.000035 +x_0=200000 "
         "+y_0=250000 +ellps=mod_airy +step +proj=unitconvert +xy_in=rad +xy_out=deg",
         0, 400000, 0},
        {1,
         "+proj=pipeline +step +inv +proj=tmerc +lat_0=49 +lon_0=-2 +k=0.9996012717 +x_0=400000 "
         "+y_0=-100000 +ellps=airy +step +proj=unitconvert +xy_in=rad +xy_out=deg",
         -200000, 800000, 0},
    };
    for (const Grid& grid : grids) {
        const QStringList lines =
            maps::GridLineText(grid.button).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        const testref::ProjGrid proj(grid.proj);
        ASSERT_TRUE(proj.valid());
        const int perLine = static_cast<int>((grid.e1 - grid.e0) / 10000) + 1;
        // The file opens with the lines of equal northing from the south-west corner, 10 km apart,
        // and ends with the frame's southern edge back at that corner.
        struct Point {
            int line;
            double e, n;
        };
        const Point points[] = {{0, grid.e0, grid.n0},
                                {perLine - 1, grid.e1, grid.n0},
                                {perLine, grid.e0, grid.n0 + 10000},
                                {3 * perLine + 7, grid.e0 + 70000, grid.n0 + 30000},
                                {static_cast<int>(lines.size()) - 1, grid.e0, grid.n0}};
        for (const Point& p : points) {
            double lat = 0.0, lon = 0.0;
            proj.forward(p.n, p.e, lon, lat); // the inverse pipeline: (x, y) in, degrees out
            const auto [la, lo] = PointOf(lines.at(p.line));
            // Five decimals of a degree: within a metre of the point.
            EXPECT_LT(testref::GroundMetres(la - lat, lo - lon, lat), 1.0)
                << grid.button << " line " << p.line << ": " << lines.at(p.line).toStdString();
        }
        EXPECT_TRUE(lines.front().startsWith(QStringLiteral("-1 +")));
        EXPECT_TRUE(lines.front().endsWith(QStringLiteral(":G3")));
        EXPECT_TRUE(lines.back().startsWith(QStringLiteral(" 0 +")));
    }
}

} // namespace

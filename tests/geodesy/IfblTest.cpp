#include "geodesy/Ifbl.h"

#include "ProjReference.h"
#include "geodesy/Lambert72.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace {

using testref::GroundMetres;

constexpr char kRowLetters[] = "MLKJHGFEDCBA"; // block rows from the south

TEST(Ifbl, CodesToSquareCentres) {
    struct Case {
        std::string code;
        std::string cleaned;
        double x, y; // metres; status -1 when x is 0
    };
    const Case cases[]{
        {"E43522", "E43522", 149512, 169680},
        {"E51122", "E51122", 165512, 177680},   // north-east km of block E5's north-west square
        {" e5 ", "E5", 178012, 168180},         // centre of block E5
        {"E435", "E435", 148012, 168180},       // centre of the 4 km square
        {"e4 35 22", "E43522", 149512, 169680}, // blanks inside are removed
        {"M011", "M011", 4012, 36180},          // north-west 4 km square of the south-west block
        {"M01133", "M01133", 2512, 34680},      // its south-west 1 km square
        {"E43500", "E43500", 146012, 166180},   // an unlisted subsquare: the corner
        {"A9", "A9", 306012, 248180},
        {"05", "05", 178012, 8180}, // no row letter: the row south of M
        {"e5 1", "e51", 0, 0},      // length 3, refused before upper-casing
        {"I5", "I5", 0, 0},
        {"N5", "N5", 0, 0},
        {"z5", "Z5", 0, 0},
        {"\xE9"
         "5",
         "\xE9"
         "5",
         0, 0}, // a byte above "M"
        {"", "", 0, 0},
        {"E4352", "E4352", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        std::string code = c.code;
        double x = -7, y = -7;
        std::int32_t status = 42;
        geodesy::IfblToLambert(code, x, y, status);
        EXPECT_EQ(code, c.cleaned);
        if (c.x == 0) {
            EXPECT_EQ(status, -1);
            EXPECT_EQ(x, -7); // unchanged
            EXPECT_EQ(y, -7);
        } else {
            EXPECT_EQ(status, 42); // not written on success
            EXPECT_DOUBLE_EQ(x, c.x);
            EXPECT_DOUBLE_EQ(y, c.y);
        }
    }
}

TEST(Ifbl, PointsToCodes) {
    struct Case {
        double x, y;
        int length;
        const char* code; // empty: status 1
    };
    const Case cases[]{
        {150000, 170000, 6, "E43522"},
        {150000, 170000, 0, "E43522"},
        {150000, 170000, 4, "E435"},
        {150000, 170000, 2, "E4"},
        {165512, 177680, 6, "E51122"},
        {2012, 18180, 6, "M05133"}, // the origin is in the
                                    // south-west 1 km square
        // A point on a block, 4 km or 1 km line is in the square it begins (north and east of it).
        {34012, 38180, 6, "L15133"},
        {34011.999, 38179.999, 6, "M01822"},
        {6012, 22180, 6, "M04233"},
        {7012, 23180, 6, "M04232"},
        {350000, 270000, 6, "@103722"}, // both bounds included; north of row A, east of column 9
        {100000, 10000, 2, "N3"},       // south of row M
        {1000, 100000, 2, "H-1"},       // west of column 0
        {-0.001, 100000, 6, ""},
        {100000, 270000.001, 6, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " " << c.y << " " << c.length);
        std::string code = "unchanged";
        std::int32_t status = 42;
        geodesy::LambertToIfbl(c.x, c.y, code, status, c.length);
        if (*c.code == '\0') {
            EXPECT_EQ(status, 1);
            EXPECT_EQ(code, "unchanged");
        } else {
            EXPECT_EQ(status, 42);
            EXPECT_EQ(code, c.code);
        }
    }
    // A code of block column 10 is one character longer and is refused when read back.
    std::string code;
    std::int32_t status = 0;
    geodesy::LambertToIfbl(330000, 100000, code, status, 4);
    EXPECT_EQ(code, "H1052");
    double x = 0, y = 0;
    geodesy::IfblToLambert(code, x, y, status);
    EXPECT_EQ(status, -1);
}

// Every 1 km square of the Belgian blocks: its centre through Lambert 72 agrees with EPSG:31370,
// and the point PROJ projects from the centre's latitude and longitude lies in the same square.
TEST(Ifbl, SquareCentresAgreeWithEpsg) {
    const testref::ProjGrid proj("EPSG:4313", "EPSG:31370");
    ASSERT_TRUE(proj.valid());
    const char* subsquares[] = {"11", "12", "13", "14", "21", "22", "23", "24",
                                "31", "32", "33", "34", "41", "42", "43", "44"};
    double worst = 0;
    int squares = 0;
    for (int row = 0; row < 12; ++row) {
        for (int column = 0; column <= 9; ++column) {
            for (int r4 = 1; r4 <= 5; ++r4) {
                for (int c4 = 1; c4 <= 8; ++c4) {
                    for (const char* sub : subsquares) {
                        std::string code = std::string(1, kRowLetters[row]) +
                                           std::to_string(column) + std::to_string(r4) +
                                           std::to_string(c4) + sub;
                        const std::string name = code;
                        double x = 0, y = 0;
                        std::int32_t status = 0;
                        geodesy::IfblToLambert(code, x, y, status);
                        ASSERT_EQ(status, 0) << name;
                        // The centre lies 500 m inside the square's corner on each side.
                        ASSERT_DOUBLE_EQ(std::fmod(x - 2012, 1000.0), 500.0) << name;
                        ASSERT_DOUBLE_EQ(std::fmod(y - 18180, 1000.0), 500.0) << name;

                        double lat = 0, lon = 0, refLat = 0, refLon = 0;
                        geodesy::Lambert72ToLatLon(x, y, lat, lon);
                        proj.inverse(x, y, refLat, refLon);
                        worst = std::max(worst, GroundMetres(lat - refLat, lon - refLon, lat));

                        double px = 0, py = 0;
                        proj.forward(lat, lon, px, py);
                        std::string back;
                        geodesy::LambertToIfbl(px, py, back, status, 6);
                        ASSERT_EQ(back, name);
                        ++squares;
                    }
                }
            }
        }
    }
    EXPECT_EQ(squares, 12 * 10 * 40 * 16);
    EXPECT_LT(worst, 0.01);
}

// Square corners: a point 1 m inside each corner of a 4 km square maps to that square, whether it
// is projected by our Lambert 72 or by PROJ.
TEST(Ifbl, SquareCornersMatchEpsg) {
    const testref::ProjGrid proj("EPSG:4313", "EPSG:31370");
    ASSERT_TRUE(proj.valid());
    for (const char* square : {"E435", "M011", "A958", "H312", "C745"}) {
        std::string code = square;
        double cx = 0, cy = 0;
        std::int32_t status = 0;
        geodesy::IfblToLambert(code, cx, cy, status);
        for (const double dx : {-1999.0, 1999.0}) {
            for (const double dy : {-1999.0, 1999.0}) {
                SCOPED_TRACE(testing::Message() << square << " " << dx << " " << dy);
                double refLat = 0, refLon = 0;
                proj.inverse(cx + dx, cy + dy, refLat, refLon);
                double x = 0, y = 0;
                geodesy::LatLonToLambert72(refLat, refLon, x, y);
                std::string ours, theirs;
                geodesy::LambertToIfbl(x, y, ours, status, 4);
                geodesy::LambertToIfbl(cx + dx, cy + dy, theirs, status, 4);
                EXPECT_EQ(ours, square);
                EXPECT_EQ(theirs, square);
            }
        }
    }
}

} // namespace

#include "geodesy/NationalGrids.h"

#include "ProjReference.h"
#include "common/Numeric.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using geodesy::kBritishGrid;
using geodesy::kIrishGrid;
using testref::GroundMetres;

constexpr double kCentimetre = 0.01;

// The projection northing that British letters add to the grid northing.
constexpr double kBritishK = 5527063.816;
double IrishK() {
    return geodesy::FindNationalGrid(kIrishGrid)->northingK;
}

TEST(NationalGrids, BritishLettersGiveProjectionCoordinates) {
    double e = -1, n = -1;
    EXPECT_TRUE(geodesy::BngLettersToEN("TQ", 12.345, 67.89, e, n));
    EXPECT_DOUBLE_EQ(e, 612345.0);
    EXPECT_NEAR(n, 5694953.816, 1e-6);

    // Squares whose south-west corners the Ordnance Survey publishes (grid metres).
    struct Square {
        const char* letters;
        double e0, n0;
    };
    const Square squares[]{{"SV", 0, 0},           {"SH", 200000, 300000},  {"SM", 100000, 200000},
                           {"TQ", 500000, 100000}, {"TG", 600000, 300000},  {"NN", 200000, 700000},
                           {"NT", 300000, 600000}, {"HU", 400000, 1100000}, {"HP", 400000, 1200000},
                           {"OV", 500000, 500000}, {"JE", 900000, 1400000}};
    for (const Square& s : squares) {
        SCOPED_TRACE(s.letters);
        ASSERT_TRUE(geodesy::BngLettersToEN(s.letters, 1.5, 2.5, e, n));
        EXPECT_DOUBLE_EQ(e, s.e0 + 1500 + 100000);
        EXPECT_NEAR(n, s.n0 + 2500 + kBritishK, 1e-6);
    }
}

TEST(NationalGrids, BritishLettersThatAreNotTwoSquareLetters) {
    struct Case {
        const char* letters;
        bool valid;
        double e, n; // projection coordinates less the offsets, or both 0 for unknown letters
    };
    const Case cases[]{
        {"S", false, 100000, 0},        // the missing second letter reads as V
        {"", false, 100000, 0},         // so do missing letters
        {"tq", false, 0, 0},            // letters are compared exactly
        {"TI", false, 0, 0},            // no I among the square letters
        {"AQ", false, 0, 0},            // not a 500 km letter
        {"TQX", false, 600000, 100000}, // read as TQ, but not two letters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letters);
        double e = -1, n = -1;
        EXPECT_EQ(geodesy::BngLettersToEN(c.letters, 0, 0, e, n), c.valid);
        EXPECT_DOUBLE_EQ(e, c.e);
        EXPECT_NEAR(n, c.e == 0 ? 0 : c.n + kBritishK, 1e-6);
    }
}

TEST(NationalGrids, IrishLetterGivesProjectionCoordinates) {
    struct Case {
        const char* letters;
        bool valid;
        double e0, n0; // south-west corner of the square, grid metres
    };
    const Case cases[]{
        {"IO", true, 300000, 200000}, // Dublin
        {"IJ", true, 300000, 300000}, // Belfast
        {"IM", true, 100000, 200000}, // Galway
        {"IV", true, 0, 0},           {"IE", true, 400000, 400000},
        {"XO", true, 300000, 200000}, // the first letter is not examined
        {"O", false, 0, 0},           // a missing square letter reads as V
        {"I", false, 0, 0},           {"Io", false, 0, 0},
        {"II", false, 0, 0},          {"IOX", false, 300000, 200000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letters);
        double e = -1, n = -1;
        EXPECT_EQ(geodesy::IrishLetterToEN(c.letters, 2.5, 1.5, n, e), c.valid);
        EXPECT_DOUBLE_EQ(e, c.e0 + 1500 + 300000);
        EXPECT_NEAR(n, c.n0 + 2500 + IrishK(), 1e-6);
    }
}

// The Parts' own lettering examples, from grid metres.
TEST(NationalGrids, LetteringOfGridCoordinates) {
    struct Case {
        int type;
        double e, n;
        const char *letters, *eDigits, *nDigits;
    };
    const Case cases[]{
        {kBritishGrid, 512000, 105000, "TQ", "12", "05"},
        {kBritishGrid, 500000, 50000, "TV", "00", "50"}, // a 100 km line belongs to the east
        {kBritishGrid, 500, 20000, "SV", ".5", "20"},
        {kBritishGrid, 534567.81, 180123.4, "TQ", "34.56781", "80.1234"},
        {kBritishGrid, 999999, 1499999, "JE", "99.999", "99.999"},
        {kBritishGrid, 299999.99, 600000, "NS", "99.99999", "00"},
        {kIrishGrid, 315904, 234671, "IO", "15.904", "34.671"},
        {kIrishGrid, 0, 0, "IV", "00", "00"},
        // Outside the lettered squares: nothing at all.
        {kBritishGrid, -1, 100000, "", "", ""},
        {kBritishGrid, 1000000, 100000, "", "", ""},
        {kBritishGrid, 300000, 1500000, "", "", ""},
        {kBritishGrid, 300000, -0.5, "", "", ""},
        {kIrishGrid, 100000, 500000, "", "", ""},
        {kIrishGrid, 500000, 100000, "", "", ""},
        {kIrishGrid, -20, 100000, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.e << " " << c.n);
        std::string letters = "x", eDigits = "x", nDigits = "x";
        geodesy::GridRefFromGridEN(c.type, c.e, c.n, letters, eDigits, nDigits);
        EXPECT_EQ(letters, c.letters);
        EXPECT_EQ(eDigits, c.eDigits);
        EXPECT_EQ(nDigits, c.nDigits);
    }
}

struct Sweep {
    const char* name;
    int type;
    const char *geographic, *projected;
    double south, west, north, east;
};

// Latitude and longitude to a reference and back, against EPSG through PROJ.
TEST(NationalGrids, ReferencesAgreeWithEpsg) {
    const Sweep sweeps[]{
        {"British", kBritishGrid, "EPSG:4277", "EPSG:27700", 49.9, -7.9, 60.8, 1.8},
        {"Irish", kIrishGrid, "EPSG:4299", "EPSG:29902", 51.4, -10.5, 55.4, -5.5},
    };
    for (const Sweep& s : sweeps) {
        SCOPED_TRACE(s.name);
        const testref::ProjGrid proj(s.geographic, s.projected);
        ASSERT_TRUE(proj.valid());
        int lettered = 0;
        for (double lat = s.south; lat <= s.north; lat += 0.1) {
            for (double lon = s.west; lon <= s.east; lon += 0.1) {
                SCOPED_TRACE(testing::Message() << lat << " " << lon);
                double refE = 0, refN = 0;
                proj.forward(lat, lon, refE, refN);
                std::string letters, eDigits, nDigits;
                geodesy::LatLonToGridRef(s.type, lat, lon, letters, eDigits, nDigits);
                if (letters.empty()) {
                    EXPECT_TRUE(eDigits.empty() && nDigits.empty());
                    continue;
                }
                ++lettered;
                // The reference read back gives the grid coordinates that PROJ gives.
                const double eKm = common::NumericValue(eDigits);
                const double nKm = common::NumericValue(nDigits);
                double eP = 0, nP = 0;
                const bool valid = s.type == kBritishGrid
                                       ? geodesy::BngLettersToEN(letters, eKm, nKm, eP, nP)
                                       : geodesy::IrishLetterToEN(letters, nKm, eKm, nP, eP);
                ASSERT_TRUE(valid) << letters;
                const geodesy::NationalGridDef& grid = *geodesy::FindNationalGrid(s.type);
                EXPECT_LT(std::hypot(eP - grid.eastingOffset - refE, nP - grid.northingK - refN),
                          kCentimetre);
                double backLat = 0, backLon = 0;
                geodesy::GridToLatLon(s.type, nP, eP, backLat, backLon);
                EXPECT_LT(GroundMetres(backLat - lat, backLon - lon, lat), kCentimetre);
            }
        }
        EXPECT_GT(lettered, 1000);
    }
}

TEST(NationalGrids, PointsThatCannotBeLetteredGiveThreeEmptyTexts) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double cases[][3]{
        {kBritishGrid, 54, -12},              // west of the grid's origin
        {kBritishGrid, 65, -2},               // north of the lettered rows
        {kBritishGrid, 45, -2},               // south of the origin
        {kBritishGrid, -30, -2},              // southern hemisphere
        {kIrishGrid, 56.5, -8},               // north of the Irish squares
        {kBritishGrid, 95, 0},                // no such latitude
        {kBritishGrid, nan, 0},  {3, 54, -2}, // no such grid
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << " " << c[1] << " " << c[2]);
        std::string letters = "x", eDigits = "x", nDigits = "x";
        geodesy::LatLonToGridRef(static_cast<int>(c[0]), c[1], c[2], letters, eDigits, nDigits);
        EXPECT_EQ(letters, "");
        EXPECT_EQ(eDigits, "");
        EXPECT_EQ(nDigits, "");
    }
}

// The offsets' digits against the C library's "%.7g" over offsets of every size, and the batch
// against the one-point lettering.
TEST(NationalGrids, OffsetDigitsAreSevenSignificantDigits) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> exponent(-5.0, 2.0), unit(0.0, 1.0);
    for (int k = 0; k < 200000; ++k) {
        // Offsets from 10 um to 100 km, and values on and next to the rounding's halves.
        double km = std::pow(10.0, exponent(rng));
        if (k % 4 == 0) {
            km = std::round(km * 1e5) / 1e5 + (k % 8 == 0 ? 5e-6 : 0.0);
        }
        if (!(km < 100.0)) {
            continue;
        }
        // In square SV the offset is the easting in metres times 0.001.
        const double easting = km * 1000.0;
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.7g", easting * 0.001);
        std::string expected = buffer;
        if (expected.rfind("0.", 0) == 0) {
            expected.erase(0, 1);
        }
        for (char& c : expected) {
            c = c == 'e' ? 'E' : c;
        }
        if (expected.size() < 2) {
            expected.insert(0, 2 - expected.size(), '0');
        }
        std::string letters, eDigits, nDigits;
        geodesy::GridRefFromGridEN(kBritishGrid, easting, 50000.0, letters, eDigits, nDigits);
        ASSERT_EQ(eDigits, expected) << std::hexfloat << easting;
    }
}

TEST(NationalGrids, BatchReferencesAreTheOnePointReferences) {
    std::vector<double> lat, lon;
    for (double la = 49.0; la <= 61.5; la += 0.173) {
        for (double lo = -11.0; lo <= 3.0; lo += 0.191) {
            lat.push_back(la);
            lon.push_back(lo);
        }
    }
    lat.push_back(95.0); // no projection: no reference
    lon.push_back(0.0);
    for (int type : {kBritishGrid, kIrishGrid}) {
        const std::size_t n = lat.size();
        std::vector<std::string> letters(n, "x"), eDigits(n), nDigits(n);
        geodesy::batch::LatLonToGridRef(type, lat, lon, letters, eDigits, nDigits);
        for (std::size_t i = 0; i < n; ++i) {
            std::string l, e, no;
            geodesy::LatLonToGridRef(type, lat[i], lon[i], l, e, no);
            EXPECT_EQ(letters[i] + " " + eDigits[i] + " " + nDigits[i], l + " " + e + " " + no)
                << type << " " << lat[i] << " " << lon[i];
        }
    }
}

} // namespace

#include "cartography/core/Projection.h"

#include "../geodesy/ProjReference.h"
#include "common/AppError.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace cartography;

constexpr double kDeg = 3.14159265358979323846 / 180.0;
constexpr double kR = 6378388.0;

// A PROJ operation on degrees (longitude first) giving metres.
testref::ProjGrid Reference(const std::string& projection) {
    return testref::ProjGrid(
        "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step " + projection);
}

struct Code {
    const char* name;
    std::function<void(ProjectionState&)> setUp;
    std::string proj; // PROJ definition of the same projection
    // PROJ metres to the code's plane, for the cylindrical stereographic codes that PROJ has only
    // at 45 degrees (Gall): x scales with k, y with k + 1.
    double xScale = 1, yScale = 1;
    double latFrom, latTo, lonFrom, lonTo; // degrees, the table of points
    // Forward: the plane is stored twice as Singles (metres, then kilometres) after the constants
    // were rounded to Singles: a few units in the last place of a Single at 20000 km (2 m each).
    double forwardKm;
    // Inverse: metres on the ground between the point and the inverse of its exact image given as
    // Single kilometres (1 m at most). The stereographic and orthographic inverses go through the
    // arc sine of a Single sum, whose error grows towards the edge of the table: 5 m; 3 m others.
    double inverseMetres;
};

ProjectionState Base(int code, double meridianDeg) {
    ProjectionState s;
    SetCylindricalFactors(s);
    s.ProjCode = code;
    s.CentralMeridian = radian(static_cast<float>(meridianDeg));
    return s;
}

std::vector<Code> Codes() {
    const double k7 = std::cos(0.523598776), k8 = std::cos(0.785398163), gall = std::sqrt(0.5);
    const double k9 = std::cos(radian(60.0f));
    const double ts6 = 0.8813913 / kDeg;
    return {
        {"1 Lambert",
         [](ProjectionState& s) {
             s = Base(1, 10);
             DefConstantes(s, 40, 60);
         },
         "+proj=lcc +ellps=intl +lat_1=40 +lat_2=60 +lat_0=90 +lon_0=10", 1, 1, 30, 75, -15, 45,
         0.005, 3},
        {"2 Mercator", [](ProjectionState& s) { s = Base(2, 0); }, "+proj=merc +R=6378388 +lon_0=0",
         1, 1, -78, 78, -179, 179, 0.005, 3},
        {"3 stereographic",
         [](ProjectionState& s) {
             s = Base(3, 20);
             StereoInit(s, radian(19));
         },
         "+proj=stere +R=6378388 +lat_0=19 +lon_0=20 +k_0=1", 1, 1, -10, 85, -40, 80, 0.005, 5},
        {"4 sinusoidal", [](ProjectionState& s) { s = Base(4, -60); },
         "+proj=sinu +R=6378388 +lon_0=-60", 1, 1, -80, 80, -170, 50, 0.005, 3},
        {"5 plate carree", [](ProjectionState& s) { s = Base(5, 0); },
         "+proj=eqc +R=6378388 +lon_0=0", 1, 1, -89, 89, -179, 179, 0.005, 3},
        {"6 equirectangular", [](ProjectionState& s) { s = Base(6, 15); },
         "+proj=eqc +R=6378388 +lon_0=15 +lat_ts=" + std::to_string(ts6), 1, 1, -89, 89, -160, 190,
         0.005, 3},
        {"7 cylindrical stereographic 30", [](ProjectionState& s) { s = Base(7, 0); },
         "+proj=gall +R=6378388 +lon_0=0", k7 / gall, (k7 + 1) / (gall + 1), -85, 85, -179, 179,
         0.005, 3},
        {"8 cylindrical stereographic 45", [](ProjectionState& s) { s = Base(8, 0); },
         "+proj=gall +R=6378388 +lon_0=0", k8 / gall, (k8 + 1) / (gall + 1), -85, 85, -179, 179,
         0.005, 3},
        {"9 cylindrical stereographic 60",
         [k9](ProjectionState& s) {
             s = Base(9, 0);
             s.K9 = static_cast<float>(k9);
         },
         "+proj=gall +R=6378388 +lon_0=0", k9 / gall, (k9 + 1) / (gall + 1), -85, 85, -179, 179,
         0.005, 3},
        {"10 orthographic",
         [](ProjectionState& s) {
             s = Base(10, 10);
             OrthoInit(s, radian(45));
         },
         "+proj=ortho +R=6378388 +lat_0=45 +lon_0=10", 1, 1, 10, 80, -30, 50, 0.005, 5},
        {"13 orthographic",
         [](ProjectionState& s) {
             s = Base(13, -100);
             OrthoInit(s, radian(-20));
         },
         "+proj=ortho +R=6378388 +lat_0=-20 +lon_0=-100", 1, 1, -60, 20, -140, -60, 0.005, 5},
        {"11 polar orthographic north",
         [](ProjectionState& s) {
             s = Base(11, 30);
             OrthoPoleInit(s, 11);
         },
         "+proj=ortho +R=6378388 +lat_0=90 +lon_0=30", 1, 1, 15, 85, -175, 175, 0.005, 5},
        {"12 polar orthographic south",
         [](ProjectionState& s) {
             s = Base(12, 0);
             OrthoPoleInit(s, 12);
         },
         "+proj=ortho +R=6378388 +lat_0=-90 +lon_0=0", 1, 1, -85, -15, -175, 175, 0.005, 5},
    };
}

TEST(Projection, EveryCodeBothWaysAgainstProj) {
    for (const Code& code : Codes()) {
        SCOPED_TRACE(code.name);
        ProjectionState state;
        code.setUp(state);
        const auto reference = Reference(code.proj);
        ASSERT_TRUE(reference.valid());
        constexpr int kSteps = 9;
        for (int i = 0; i <= kSteps; ++i) {
            for (int j = 0; j <= kSteps; ++j) {
                const double lat = code.latFrom + (code.latTo - code.latFrom) * i / kSteps;
                const double lon = code.lonFrom + (code.lonTo - code.lonFrom) * j / kSteps;
                SCOPED_TRACE(std::to_string(lat) + " " + std::to_string(lon));
                double px = 0, py = 0;
                reference.forward(lat, lon, px, py);
                px *= code.xScale;
                py *= code.yScale;
                float x = 0, y = 0;
                Project(state, static_cast<float>(lat * kDeg), static_cast<float>(lon * kDeg), x,
                        y);
                ASSERT_FALSE(IsHiddenPoint(x));
                EXPECT_NEAR(x, px / 1000, code.forwardKm);
                EXPECT_NEAR(y, py / 1000, code.forwardKm);

                float ilat = -9, ilon = -9;
                ProjectionInverse(state, static_cast<float>(px / 1000),
                                  static_cast<float>(py / 1000), ilat, ilon);
                const double dLon = std::remainder(ilon / kDeg - lon, 360.0);
                const double metres = testref::GroundMetres(ilat / kDeg - lat, dLon, lat);
                EXPECT_LT(metres, code.inverseMetres);
            }
        }
    }
}

TEST(Projection, CodesOutsideTheTableLeaveTheirArguments) {
    for (const int code : {0, 14, -1}) {
        ProjectionState state = Base(code, 0);
        float x = 12.5f, y = -3.0f;
        Project(state, 0.5f, 0.5f, x, y);
        EXPECT_EQ(x, 12.5f);
        EXPECT_EQ(y, -3.0f);
        float lat = 0.25f, lon = 0.75f;
        ProjectionInverse(state, 100, 100, lat, lon);
        EXPECT_EQ(lat, 0.25f);
        EXPECT_EQ(lon, 0.75f);
    }
}

TEST(Projection, OriginMarkerOnlyForItsCodes) {
    for (int code = 1; code <= 13; ++code) {
        SCOPED_TRACE(code);
        ProjectionState state = Base(code, 0);
        DefConstantes(state, 40, 60);
        StereoInit(state, 0);
        OrthoInit(state, 0);
        state.K9 = 0.5f;
        if (code == 1 || code == 11 || code == 12) {
            continue; // the origin is the apex or the pole, never the point (0, 0)
        }
        float x = 7, y = 7;
        Project(state, 0, 0, x, y);
        const bool marked = code == 2 || (code >= 6 && code <= 10) || code == 13;
        if (marked) {
            // Code 2's y is a few tenths of a millimetre off 0 (its pi/2 constant), so only the
            // rule itself is checked: the image is never exactly the origin.
            EXPECT_FALSE(x == 0.0f && y == 0.0f);
            if (y == 0.0f) {
                EXPECT_EQ(x, kOriginMarker);
            }
        } else {
            EXPECT_EQ(x, 0.0f);
            EXPECT_EQ(y, 0.0f);
        }
    }
}

TEST(Projection, MercatorStopsAtItsLatitudeLimit) {
    const ProjectionState state = Base(2, 0);
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
    Project(state, 1.5f, 0.1f, x1, y1);
    Project(state, 1.37881f, 0.1f, x2, y2);
    Project(state, -1.5f, 0.1f, x3, y3);
    EXPECT_EQ(y1, y2);
    EXPECT_EQ(y3, -y2);
}

TEST(Projection, HiddenPoints) {
    ProjectionState ortho = Base(13, 0.3);
    OrthoInit(ortho, 0.4f);
    float x = 1, y = 2;
    Project(ortho, -0.4f, static_cast<float>(0.3 * kDeg + 3.1415926535), x, y); // the antipode
    EXPECT_EQ(x, kHiddenPoint);
    EXPECT_EQ(y, kHiddenPoint);
    // Just beyond the horizon (cos c between -0.01 and 0) is still drawn.
    Project(ortho, 0, static_cast<float>(0.3 * kDeg + 1.5707963 + 0.005), x, y);
    EXPECT_FALSE(IsHiddenPoint(x));

    ProjectionState north = Base(11, 0);
    x = 1, y = 2;
    Project(north, -0.1f, 0.5f, x, y);
    EXPECT_EQ(x, kHiddenPoint);
    EXPECT_EQ(y, 2.0f);
    Project(north, 0.0f, 0.5f, x, y); // the equator is shown
    EXPECT_FALSE(IsHiddenPoint(x));
    ProjectionState south = Base(12, 0);
    x = 1, y = 2;
    Project(south, 0.1f, 0.5f, x, y);
    EXPECT_EQ(x, kHiddenPoint);
    EXPECT_EQ(y, 2.0f);

    // The stereographic projection has no image of its centre's antipode: hidden, not an error.
    ProjectionState stereo = Base(3, 0);
    StereoInit(stereo, 0.5f);
    x = 1, y = 2;
    Project(stereo, -0.5f, 3.1415926535f, x, y);
    EXPECT_EQ(x, kHiddenPoint);
    EXPECT_EQ(y, kHiddenPoint);
}

TEST(Projection, NonFiniteVerticesAreHidden) {
    for (int code = 1; code <= 13; ++code) {
        ProjectionState state = Base(code, 0);
        DefConstantes(state, 40, 60);
        float x = 1, y = 2;
        Project(state, std::nanf(""), 0.5f, x, y);
        EXPECT_TRUE(IsHiddenPoint(x)) << code;
        x = 1;
        Project(state, 0.5f, INFINITY, x, y);
        EXPECT_TRUE(IsHiddenPoint(x)) << code;
    }
}

TEST(Projection, PolarOrthographicInverseWithItsPoleCentre) {
    // Without the pole centre the readout would give latitude 0 everywhere.
    ProjectionState north = Base(11, 20);
    OrthoPoleInit(north, 11);
    ProjectionState south = Base(12, 20);
    OrthoPoleInit(south, 12);
    for (const auto& [state, lat] : {std::pair{north, 62.0}, std::pair{south, -62.0}}) {
        float x = 0, y = 0;
        Project(state, static_cast<float>(lat * kDeg), static_cast<float>(-35 * kDeg), x, y);
        float ilat = 0, ilon = 0;
        ProjectionInverse(state, x, y, ilat, ilon);
        EXPECT_NEAR(ilat / kDeg, lat, 1e-4);
        EXPECT_NEAR(ilon / kDeg, -35, 1e-4);
    }
}

TEST(Projection, OrthographicInverseOffTheDisc) {
    ProjectionState state = Base(10, 0.2);
    OrthoInit(state, 0.7f);
    float lat = 5, lon = 5;
    ProjectionInverse(state, 6378.4f, 0.1f, lat, lon);
    EXPECT_EQ(lat, 0.0f);
    EXPECT_EQ(lon, 0.0f);
}

TEST(Projection, ArithmeticFaultsAreErrors) {
    ProjectionState lambert = Base(1, 0);
    try {
        DefConstantes(lambert, 45, 45); // equal parallels: 0/0
        FAIL() << "no error";
    } catch (const common::AppError& e) {
        EXPECT_TRUE(e.number() == common::kDivisionByZero || e.number() == common::kOverflow);
    }
    DefConstantes(lambert, 40, 60);
    float lat = 0, lon = 0;
    try {
        ProjectionInverse(lambert, 100, 0, lat, lon); // Y = 0
        FAIL() << "no error";
    } catch (const common::AppError& e) {
        EXPECT_EQ(e.number(), common::kDivisionByZero);
    }
}

TEST(Projection, AngleHelpers) {
    EXPECT_FLOAT_EQ(ATN2(-1, -1), static_cast<float>(std::atan(1.0) + 3.1415926535));
    EXPECT_EQ(ATN2(0, 0), 1.5707964f);
    EXPECT_EQ(ATN2(-1, 0), static_cast<float>(-1.57079632675));
    EXPECT_FLOAT_EQ(ATN2(1, 1), static_cast<float>(std::atan(1.0)));

    EXPECT_EQ(ArcSinus(1), 0.0f);
    EXPECT_EQ(ArcSinus(-1), 0.0f);
    EXPECT_FLOAT_EQ(ArcSinus(0.5f), static_cast<float>(std::asin(0.5)));

    float lon = 3.15f;
    EXPECT_EQ(ADJLZ0(lon), 3.15f);
    lon = -7;
    EXPECT_EQ(ADJLZ0(lon), static_cast<float>(-7 + 6.283185307));
    EXPECT_EQ(lon, static_cast<float>(-7 + 6.283185307));
    lon = 1e30f; // far out: still ends, inside the range
    EXPECT_LE(std::fabs(ADJLZ0(lon)), 3.1515927f);

    EXPECT_FLOAT_EQ(radian(180), 3.1415926535f);
    EXPECT_FLOAT_EQ(Degre(3.1415926535f), 180.0f);
    EXPECT_DOUBLE_EQ(Log10(1000), 3.0);
}

} // namespace

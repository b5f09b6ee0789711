#include "geodesy/Lambert72.h"

#include "../support/ErrorOf.h"
#include "ProjReference.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using testref::Dms;
using testref::GroundMetres;

constexpr double kCentimetre = 0.01;

using testing_support::ErrorOf;

// Belgian Datum 1972 to Belge 1972 / Belgian Lambert 72: PROJ carries the Belgian constants as a
// regular two-parallel Lambert with adjusted parameters.
testref::ProjGrid Reference() {
    return testref::ProjGrid("EPSG:4313", "EPSG:31370");
}

TEST(Lambert72, GridPointsAgreeWithEpsgBothWays) {
    const testref::ProjGrid proj = Reference();
    ASSERT_TRUE(proj.valid());
    double worstInverse = 0, worstForward = 0;
    for (double x = 0; x <= 350000; x += 10000) {
        for (double y = 0; y <= 270000; y += 10000) {
            double refLat = 0, refLon = 0, lat = 0, lon = 0;
            proj.inverse(x, y, refLat, refLon);
            geodesy::Lambert72ToLatLon(x, y, lat, lon);
            worstInverse = std::max(worstInverse, GroundMetres(lat - refLat, lon - refLon, lat));

            double gx = 0, gy = 0;
            geodesy::LatLonToLambert72(refLat, refLon, gx, gy);
            worstForward = std::max(worstForward, std::hypot(gx - x, gy - y));
        }
    }
    EXPECT_LT(worstInverse, kCentimetre);
    EXPECT_LT(worstForward, kCentimetre);
}

TEST(Lambert72, GeographicSweepAgreesWithEpsgAndRoundTrips) {
    const testref::ProjGrid proj = Reference();
    ASSERT_TRUE(proj.valid());
    double worstForward = 0, worstRoundTrip = 0;
    for (double lat = 49.4; lat <= 51.6; lat += 0.05) {
        for (double lon = 2.4; lon <= 6.5; lon += 0.05) {
            double refX = 0, refY = 0, x = 0, y = 0;
            proj.forward(lat, lon, refX, refY);
            geodesy::LatLonToLambert72(lat, lon, x, y);
            worstForward = std::max(worstForward, std::hypot(x - refX, y - refY));
            double backLat = 0, backLon = 0;
            geodesy::Lambert72ToLatLon(x, y, backLat, backLon);
            worstRoundTrip =
                std::max(worstRoundTrip, GroundMetres(backLat - lat, backLon - lon, lat));
        }
    }
    EXPECT_LT(worstForward, kCentimetre);
    EXPECT_LT(worstRoundTrip, 0.001); // the latitude iteration stops within 2.8e-8 rad
}

TEST(Lambert72, PublishedExamples) {
    struct Example {
        const char* source;
        double lat, lon, x, y, tolerance;
    };
    const Example examples[]{
        // Belgian national geographic institute (NGI/IGN) test point, published to the mm; the
        // central meridian and correction angle held to 1e-9 rad put x 3 mm east of it.
        {"NGI test point", Dms(50, 40, 46.461), Dms(5, 48, 26.533), 251763.204, 153034.174, 0.004},
        // NGI sample data, BD72 <-> Lambert 72, grid coordinates to the metre.
        {"NGI sample 1", Dms(51, 18, 39.48882), Dms(3, 10, 3.41519), 66333.00, 222966.00, 0.005},
        {"NGI sample 2", Dms(51, 8, 10.75864), Dms(5, 27, 47.75844), 226696.00, 203425.00, 0.005},
        {"NGI sample 3", Dms(50, 29, 57.14179), Dms(4, 3, 1.99697), 127514.00, 132032.00, 0.005},
        // The module's own example (given to the centimetre).
        {"Brussels", 50.8503, 4.3517, 148888.27, 171039.56, 0.006},
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(e.source);
        double x = 0, y = 0;
        geodesy::LatLonToLambert72(e.lat, e.lon, x, y);
        EXPECT_NEAR(x, e.x, e.tolerance);
        EXPECT_NEAR(y, e.y, e.tolerance);
        double lat = 0, lon = 0;
        geodesy::Lambert72ToLatLon(e.x, e.y, lat, lon);
        EXPECT_LT(GroundMetres(lat - e.lat, lon - e.lon, lat), e.tolerance);
    }
}

TEST(Lambert72, CentralMeridianLiesWestOfTheFalseEasting) {
    // 4 deg 21' 24.983" E: the correction angle turns the meridian slightly west of x0.
    double x = 0, y = 0;
    geodesy::LatLonToLambert72(50.5, Dms(4, 21, 24.983), x, y);
    EXPECT_LT(x, 150000.01256);
    EXPECT_GT(x, 150000.01256 - 1000);
}

TEST(Lambert72, FaultsRaiseNumberedErrors) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double a = 0, b = 0;
    EXPECT_EQ(ErrorOf([&] { geodesy::Lambert72ToLatLon(150000, 5400088.4378, a, b); }), 11);
    EXPECT_EQ(ErrorOf([&] { geodesy::Lambert72ToLatLon(nan, 100000, a, b); }), 6);
    EXPECT_EQ(ErrorOf([&] { geodesy::LatLonToLambert72(50, nan, a, b); }), 6);
    EXPECT_EQ(ErrorOf([&] { geodesy::LatLonToLambert72(-91, 4, a, b); }), 5);
    // The north pole is the apex of the cone.
    geodesy::LatLonToLambert72(90, 4, a, b);
    EXPECT_NEAR(b, 5400088.4378, 0.01);
    // Far-off points give finite angles, never a NaN.
    for (const double far : {1e8, -1e8, 1e12}) {
        double lat = 0, lon = 0;
        geodesy::Lambert72ToLatLon(far, far, lat, lon);
        EXPECT_TRUE(std::isfinite(lat) && std::isfinite(lon)) << far;
    }
}

} // namespace

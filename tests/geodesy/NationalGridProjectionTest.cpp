#include "geodesy/NationalGridProjection.h"

#include "../support/ErrorOf.h"
#include "ProjReference.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

using geodesy::kBritishGrid;
using geodesy::kIrishGrid;
using testref::Dms;
using testref::GroundMetres;

constexpr double kCentimetre = 0.01;

using testing_support::ErrorOf;

struct GridCase {
    const char* name;
    int type;
    const char* geographic; // the grid's datum
    const char* projected;
    double maxEasting, maxNorthing;  // the lettered squares, metres
    double south, west, north, east; // the area the grid serves, degrees
};

const std::vector<GridCase>& Grids() {
    static const std::vector<GridCase> grids{
        {"British National Grid", kBritishGrid, "EPSG:4277", "EPSG:27700", 700000, 1300000, 49.8,
         -8.9, 61.0, 2.0},
        {"Irish grid", kIrishGrid, "EPSG:4299", "EPSG:29902", 500000, 500000, 51.3, -10.7, 55.5,
         -5.3},
    };
    return grids;
}

// Grid coordinates to the projection coordinates that GridToLatLon takes.
void ToProjection(int type, double e, double n, double& eP, double& nP) {
    const geodesy::NationalGridDef& grid = *geodesy::FindNationalGrid(type);
    eP = e + grid.eastingOffset;
    nP = n + grid.northingK;
}

TEST(NationalGridProjection, GridPointsAgreeWithEpsgBothWays) {
    for (const GridCase& g : Grids()) {
        SCOPED_TRACE(g.name);
        const testref::ProjGrid proj(g.geographic, g.projected);
        ASSERT_TRUE(proj.valid());
        double worstInverse = 0.0, worstForward = 0.0;
        for (double e = 0; e <= g.maxEasting; e += 20000) {
            for (double n = 0; n <= g.maxNorthing; n += 20000) {
                double refLat = 0, refLon = 0;
                proj.inverse(e, n, refLat, refLon);
                double eP = 0, nP = 0, lat = 0, lon = 0;
                ToProjection(g.type, e, n, eP, nP);
                geodesy::GridToLatLon(g.type, nP, eP, lat, lon);
                worstInverse =
                    std::max(worstInverse, GroundMetres(lat - refLat, lon - refLon, lat));

                double ge = 0, gn = 0;
                geodesy::LatLonToGrid(g.type, refLat, refLon, ge, gn);
                worstForward = std::max(worstForward, std::hypot(ge - e, gn - n));
            }
        }
        EXPECT_LT(worstInverse, kCentimetre);
        EXPECT_LT(worstForward, kCentimetre);
    }
}

TEST(NationalGridProjection, GeographicSweepAgreesWithEpsgAndRoundTrips) {
    for (const GridCase& g : Grids()) {
        SCOPED_TRACE(g.name);
        const testref::ProjGrid proj(g.geographic, g.projected);
        ASSERT_TRUE(proj.valid());
        double worstForward = 0.0, worstRoundTrip = 0.0;
        for (double lat = g.south; lat <= g.north; lat += 0.25) {
            for (double lon = g.west; lon <= g.east; lon += 0.25) {
                double refE = 0, refN = 0, e = 0, n = 0;
                proj.forward(lat, lon, refE, refN);
                geodesy::LatLonToGrid(g.type, lat, lon, e, n);
                worstForward = std::max(worstForward, std::hypot(e - refE, n - refN));

                double eP = 0, nP = 0, backLat = 0, backLon = 0;
                ToProjection(g.type, e, n, eP, nP);
                geodesy::GridToLatLon(g.type, nP, eP, backLat, backLon);
                worstRoundTrip =
                    std::max(worstRoundTrip, GroundMetres(backLat - lat, backLon - lon, lat));
            }
        }
        EXPECT_LT(worstForward, kCentimetre);
        EXPECT_LT(worstRoundTrip, 0.001);
    }
}

// Published worked examples of the British National Grid.
TEST(NationalGridProjection, PublishedExamples) {
    struct Example {
        const char* source;
        double lat, lon, easting, northing, tolerance;
    };
    const Example examples[]{
        // Ordnance Survey, "A guide to coordinate systems in Great Britain", annex C.
        {"OS guide", Dms(52, 39, 27.2531), Dms(1, 43, 4.5177), 651409.903, 313177.270, 0.001},
        // EPSG Guidance Note 7-2, transverse Mercator example (published to the centimetre by
        // series that lie a few millimetres off the exact projection).
        {"EPSG GN 7-2", Dms(50, 30, 0), Dms(0, 30, 0), 577274.99, 69740.50, kCentimetre},
    };
    for (const Example& x : examples) {
        SCOPED_TRACE(x.source);
        double e = 0, n = 0;
        geodesy::LatLonToGrid(kBritishGrid, x.lat, x.lon, e, n);
        EXPECT_NEAR(e, x.easting, x.tolerance);
        EXPECT_NEAR(n, x.northing, x.tolerance);

        double eP = 0, nP = 0, lat = 0, lon = 0;
        ToProjection(kBritishGrid, x.easting, x.northing, eP, nP);
        geodesy::GridToLatLon(kBritishGrid, nP, eP, lat, lon);
        EXPECT_LT(GroundMetres(lat - x.lat, lon - x.lon, lat), x.tolerance);
    }
}

TEST(NationalGridProjection, OffsetsFollowFromTheGridOrigins) {
    // The British offset K: the Airy 1830 meridian distance to 49 N (EPSG GN 7-2: 5,429,228.602 m)
    // times k0, plus 100 km.
    EXPECT_NEAR(geodesy::FindNationalGrid(kBritishGrid)->northingK,
                5429228.602 * 0.9996012717 + 100000.0, 0.001);
    EXPECT_DOUBLE_EQ(geodesy::FindNationalGrid(kBritishGrid)->eastingOffset, 100000.0);
    EXPECT_DOUBLE_EQ(geodesy::FindNationalGrid(kIrishGrid)->eastingOffset, 300000.0);
    EXPECT_EQ(geodesy::FindNationalGrid(2), nullptr);

    // The natural origins come back, and E' = 500,000 is the central meridian.
    for (const GridCase& g : Grids()) {
        SCOPED_TRACE(g.name);
        const geodesy::NationalGridDef& def = *geodesy::FindNationalGrid(g.type);
        double e = 0, n = 0;
        geodesy::LatLonToGrid(g.type, def.lat0, def.lon0, e, n);
        EXPECT_NEAR(e, def.falseEasting, 1e-6);
        EXPECT_NEAR(n, def.falseNorthing, 1e-6);
        double lat = 0, lon = 0;
        geodesy::GridToLatLon(g.type, 5800000, 500000, lat, lon);
        EXPECT_DOUBLE_EQ(lon, def.lon0);
    }
    // A western longitude written past 180 degrees east projects the same.
    double e1 = 0, n1 = 0, e2 = 0, n2 = 0;
    geodesy::LatLonToGrid(kBritishGrid, 54, -3, e1, n1);
    geodesy::LatLonToGrid(kBritishGrid, 54, 357, e2, n2);
    EXPECT_NEAR(e1, e2, 1e-6);
    EXPECT_NEAR(n1, n2, 1e-6);
}

TEST(NationalGridProjection, FaultsRaiseNumberedErrors) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    double a = 0, b = 0;
    EXPECT_EQ(ErrorOf([&] { geodesy::GridToLatLon(2, 5700000, 400000, a, b); }), 11);
    EXPECT_EQ(ErrorOf([&] { geodesy::LatLonToGrid(-1, 54, -2, a, b); }), 11);
    EXPECT_EQ(ErrorOf([&] { geodesy::GridToLatLon(kBritishGrid, nan, 400000, a, b); }), 6);
    EXPECT_EQ(ErrorOf([&] { geodesy::GridToLatLon(kIrishGrid, 5700000, inf, a, b); }), 6);
    EXPECT_EQ(ErrorOf([&] { geodesy::LatLonToGrid(kBritishGrid, nan, 0, a, b); }), 6);
    EXPECT_EQ(ErrorOf([&] { geodesy::LatLonToGrid(kBritishGrid, 91, 0, a, b); }), 5);
    // Far-off projection coordinates give finite angles or error 6, never a NaN.
    for (const double far : {1e7, 1e9, 1e12, -1e12}) {
        double lat = 0, lon = 0;
        const int error = ErrorOf([&] { geodesy::GridToLatLon(kIrishGrid, far, far, lat, lon); });
        EXPECT_TRUE(error == 6 || (std::isfinite(lat) && std::isfinite(lon) &&
                                   std::abs(lat) <= 90 && std::abs(lon) <= 180))
            << far;
    }
    // The poles.
    double lat = 0, lon = 0;
    geodesy::LatLonToGrid(kBritishGrid, 90, 0, a, b);
    geodesy::GridToLatLon(kBritishGrid, b + geodesy::FindNationalGrid(kBritishGrid)->northingK,
                          a + 100000, lat, lon);
    EXPECT_NEAR(lat, 90, 1e-8);
}

} // namespace

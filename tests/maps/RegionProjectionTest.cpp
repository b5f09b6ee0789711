// The region table's projections against PROJ: type 1 is PROJ's equirectangular "eqc" with the
// row's standard parallel, type 2 with the reference parallel 45 degrees is Gall's stereographic
// "gall"; the one other type-2 parallel (Africa, 30 degrees) is checked against the textbook
// cylindrical stereographic formulas. "+over" keeps PROJ from wrapping longitudes, as the
// region projections never do.

#include "maps/RegionProjection.h"

#include "../geodesy/ProjReference.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string ProjOf(const maps::RegionRow& row) {
    const std::string head = "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step ";
    const std::string common = " +lon_0=" + std::to_string(row.centralMeridian) +
                               " +R=6378388 +over +step +proj=unitconvert +xy_in=m +xy_out=km";
    if (row.type == 1) {
        return head + "+proj=eqc +lat_ts=" + std::to_string(row.referenceLatitude) + common;
    }
    return head + "+proj=gall" + common;
}

// The cylindrical stereographic projection with standard parallel phi0 (Snyder's Map
// Projections, "Gall" generalised): x = R cos(phi0) dlon, y = R (1 + cos phi0) tan(phi / 2).
void Stereographic(double phi0, double lat, double dlon, double& x, double& y) {
    const double c = std::cos(phi0 * kPi / 180.0);
    x = 6378.388 * c * dlon * kPi / 180.0;
    y = 6378.388 * (1.0 + c) * std::tan(lat * kPi / 360.0);
}

TEST(RegionProjection, CornersOfEveryRowAgreeWithIndependentProjections) {
    for (const maps::RegionRow& row : maps::RegionTable()) {
        SCOPED_TRACE(row.pictureFile);
        const maps::RegionProjection projection = maps::ProjectionOf(row);
        const maps::RegionExtent extent = maps::ExtentOf(row, projection);
        double sx = 0.0, sy = 0.0, nx = 0.0, ny = 0.0;
        if (row.type == 2 && row.referenceLatitude != 45.0) {
            Stereographic(row.referenceLatitude, row.southLat, row.westLon - row.centralMeridian,
                          sx, sy);
            Stereographic(row.referenceLatitude, row.northLat, row.eastLon - row.centralMeridian,
                          nx, ny);
        } else {
            const testref::ProjGrid proj(ProjOf(row));
            ASSERT_TRUE(proj.valid());
            proj.forward(row.southLat, row.westLon, sx, sy);
            proj.forward(row.northLat, row.eastLon, nx, ny);
        }
        // Single precision of kilometres up to 20,000: within 10 m.
        EXPECT_NEAR(extent.x1, sx, 0.01);
        EXPECT_NEAR(extent.y1, sy, 0.01);
        EXPECT_NEAR(extent.x2, nx, 0.01);
        EXPECT_NEAR(extent.y2, ny, 0.01);
    }
}

TEST(RegionProjection, BritishIslesAndEuropeScalesAndAutomaticDiameters) {
    const auto& isles = maps::RegionTable()[maps::kBritishIslesRow];
    const maps::RegionExtent e = maps::ExtentOf(isles, maps::ProjectionOf(isles));
    EXPECT_LT(e.x1, 0.0F);
    // 13 degrees of longitude at R cos 45 degrees: 1023.0 km.
    EXPECT_NEAR(e.width(), 6378.388 * std::cos(kPi / 4) * 13.0 * kPi / 180.0, 0.01);
    EXPECT_NEAR(maps::SymbolDiameter(-1.0F, e.width()), 20.46, 0.01);

    const auto& europe = maps::RegionTable()[maps::EuropeRow(0)];
    const maps::RegionExtent eu = maps::ExtentOf(europe, maps::ProjectionOf(europe));
    // 58 degrees at R cos 50 degrees: 4150.1 km, a fiftieth 83.0 km.
    EXPECT_NEAR(maps::SymbolDiameter(-1.0F, eu.width()),
                6378.388 * std::cos(50.0 * kPi / 180.0) * 58.0 * kPi / 180.0 / 50.0, 0.001);
    EXPECT_NEAR(eu.height(), 6378.388 * 38.0 * kPi / 180.0, 0.01);
    // Any other diameter, 0 included, is kept.
    EXPECT_EQ(maps::SymbolDiameter(0.0F, eu.width()), 0.0F);
    EXPECT_EQ(maps::SymbolDiameter(12.5F, eu.width()), 12.5F);
}

TEST(RegionProjection, WherePointFallsOnThePictureDoesNotDependOnTheCentralMeridian) {
    // The Netherlands row with its -5.3 meridian and the same row with 5.3.
    maps::RegionRow row = maps::RegionTable()[maps::EuropeRow(4)];
    const auto fraction = [](const maps::RegionRow& r, double lat, double lon) {
        const maps::RegionProjection p = maps::ProjectionOf(r);
        const maps::RegionExtent e = maps::ExtentOf(r, p);
        const maps::PlanePoint pt = maps::ProjectDegrees(p, lat, lon);
        return std::pair{(pt.x - e.x1) / e.width(), (e.y2 - pt.y) / e.height()};
    };
    const auto given = fraction(row, 52.1, 5.3);
    row.centralMeridian = 5.3;
    const auto other = fraction(row, 52.1, 5.3);
    EXPECT_NEAR(given.first, other.first, 1e-5);
    EXPECT_NEAR(given.second, other.second, 1e-5);
}

TEST(RegionProjection, UnprojectGivesBackThePosition) {
    for (const maps::RegionRow& row : maps::RegionTable()) {
        const maps::RegionProjection p = maps::ProjectionOf(row);
        const double lat = (row.southLat + row.northLat) / 2;
        const double lon = (row.westLon + row.eastLon) / 2 + 0.123;
        const maps::PlanePoint pt = maps::ProjectDegrees(p, lat, lon);
        const maps::GeoPoint back = maps::UnprojectKm(p, pt.x, pt.y);
        EXPECT_NEAR(back.lat, lat, 1e-4) << row.pictureFile;
        EXPECT_NEAR(back.lon, lon, 1e-4) << row.pictureFile;
    }
}

TEST(RegionProjection, ProjectAndUnprojectLeaveTheirArgumentsAsDocumented) {
    const maps::RegionProjection p = maps::ProjectionOf(maps::RegionTable()[maps::EuropeRow(0)]);
    float lat = 0.9F;
    float lon = 0.4F;
    float x = 0.0F;
    float y = 0.0F;
    maps::MapProject(p, lat, lon, x, y);
    EXPECT_FLOAT_EQ(lon, 0.4F - p.MapCentralMeridian);
    float lat2 = 0.0F;
    float lon2 = 0.0F;
    const float x0 = x;
    maps::MapUnproject(p, x, y, lat2, lon2);
    EXPECT_FLOAT_EQ(x, x0 * 1000.0F);
}

TEST(RegionProjection, MapLabelKeepsTheOneKilometreSquare) {
    std::string ref = "UV1234567890";
    maps::MapLabel(ref);
    EXPECT_EQ(ref, "UV12 67");
}

} // namespace

#include "geodesy/TransverseMercator.h"

#include "common/AppError.h"
#include "geodesy/Angles.h"

#include <GeographicLib/UTMUPS.hpp>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <proj.h>
#include <string>
#include <vector>

namespace {

using geodesy::LatLonToUtm;
using geodesy::UtmToLatLon;

constexpr double kRad = M_PI / 180.0;

struct ProjDeleter {
    void operator()(PJ* p) const { proj_destroy(p); }
};
using ProjPtr = std::unique_ptr<PJ, ProjDeleter>;

// Geographic (degrees, east-north order) to a projected EPSG CRS, through PROJ.
ProjPtr EpsgTransform(const std::string& geographic, int projected) {
    PJ* raw = proj_create_crs_to_crs(PJ_DEFAULT_CTX, geographic.c_str(),
                                     ("EPSG:" + std::to_string(projected)).c_str(), nullptr);
    if (raw == nullptr) {
        return nullptr;
    }
    ProjPtr normalized(proj_normalize_for_visualization(PJ_DEFAULT_CTX, raw));
    proj_destroy(raw);
    return normalized;
}

// Distance on the ground (metres) between two latitude/longitude pairs in radians.
double GroundDistance(double lat1, double lon1, double lat2, double lon2) {
    const double r = 6378137.0;
    return std::hypot((lat1 - lat2) * r, (lon1 - lon2) * r * std::cos(lat1));
}

struct Ellipsoid {
    const char* geographic; // EPSG geographic CRS
    int northBase;          // EPSG code of zone 0, north
    int southBase;          // EPSG code of zone 0, south (0: none)
    double a, inverseFlattening;
    std::vector<int> zones;
};

// Every point of a grid over a zone, projected with our series and with PROJ's EPSG definition,
// both ways: within a centimetre.
void CheckZones(const Ellipsoid& el) {
    const double f = 1.0 / el.inverseFlattening;
    for (int zone : el.zones) {
        for (bool south : {false, true}) {
            if (south && el.southBase == 0) {
                continue;
            }
            const int code = (south ? el.southBase : el.northBase) + zone;
            ProjPtr pj = EpsgTransform(el.geographic, code);
            ASSERT_NE(pj, nullptr) << code;
            const double cm = 6.0 * zone - 183.0;
            for (double lat = south ? -79.7 : 0.3; south ? lat < 0 : lat < 84; lat += 5.9) {
                for (double dl : {-2.999, -2.1, -0.7, 0.0, 0.4, 1.6, 2.999}) {
                    const double lon = cm + dl;
                    PJ_COORD in = proj_coord(lon, lat, 0, 0);
                    PJ_COORD out = proj_trans(pj.get(), PJ_FWD, in);
                    int z = zone;
                    double n = 0, e = 0;
                    LatLonToUtm(el.a, f, lat * kRad, lon * kRad, z, n, e, 1);
                    EXPECT_NEAR(e, out.xy.x, 0.01) << code << " " << lat << " " << lon;
                    EXPECT_NEAR(n, out.xy.y, 0.01) << code << " " << lat << " " << lon;

                    // Inverse of PROJ's grid values; a southern northing goes in negative.
                    double northing = south ? -out.xy.y : out.xy.y;
                    double phi = 0, lambda = 0;
                    UtmToLatLon(el.a, f, phi, lambda, zone, northing, out.xy.x);
                    EXPECT_LT(GroundDistance(phi, lambda, lat * kRad, lon * kRad), 0.01)
                        << code << " " << lat << " " << lon;
                    EXPECT_EQ(northing, out.xy.y);
                }
            }
        }
    }
}

TEST(TransverseMercator, Wgs84ZonesAgreeWithEpsg326xxAnd327xx) {
    CheckZones({"EPSG:4326",
                32600,
                32700,
                6378137.0,
                298.257223563,
                {1, 7, 14, 18, 23, 30, 31, 32, 33, 37, 45, 52, 59, 60}});
}

TEST(TransverseMercator, Ed50ZonesAgreeWithEpsg230xx) {
    // ED50 / UTM zones 28N to 38N, International 1924.
    CheckZones({"EPSG:4230", 23000, 0, 6378388.0, 297.0, {28, 29, 30, 31, 32, 33, 35, 38}});
}

TEST(TransverseMercator, WidenedZonesOfNorwayAndSvalbardAgreeWithProj) {
    // 32V reaches 6 degrees west of its meridian, 31X, 33X, 35X and 37X up to 6 degrees.
    struct Case {
        int zone;
        double lat, lon;
    };
    const Case cases[] = {{32, 56.1, 3.01},  {32, 60.0, 3.5},   {32, 63.9, 3.01},
                          {31, 72.1, 8.99},  {31, 83.9, 8.99},  {33, 72.1, 9.01},
                          {33, 78.0, 20.99}, {37, 72.1, 33.01}, {37, 80.0, 41.99}};
    for (const Case& c : cases) {
        ProjPtr pj = EpsgTransform("EPSG:4326", 32600 + c.zone);
        PJ_COORD out = proj_trans(pj.get(), PJ_FWD, proj_coord(c.lon, c.lat, 0, 0));
        int zone = c.zone;
        double n = 0, e = 0;
        LatLonToUtm(6378137.0, 1 / 298.257223563, c.lat * kRad, c.lon * kRad, zone, n, e, 1);
        EXPECT_NEAR(e, out.xy.x, 0.01) << c.zone << " " << c.lat << " " << c.lon;
        EXPECT_NEAR(n, out.xy.y, 0.01) << c.zone << " " << c.lat << " " << c.lon;
        double phi = 0, lambda = 0, northing = out.xy.y;
        UtmToLatLon(6378137.0, 1 / 298.257223563, phi, lambda, c.zone, northing, out.xy.x);
        EXPECT_LT(GroundDistance(phi, lambda, c.lat * kRad, c.lon * kRad), 0.01);
    }
}

// Published and stated values, forward and back.
TEST(TransverseMercator, WorkedExamples) {
    struct Case {
        const char* source;
        double a, f, lat, lon;
        int zone;
        double easting, northing, tolerance;
    };
    const Case cases[] = {
        // Snyder, Map Projections - A Working Manual (USGS PP 1395), p. 269: Clarke 1866, 40.5 N
        // 73.5 W in zone 18: x = 127106.5, y = 4484124.4 (printed to 0.1 m).
        {"Snyder p.269", 6378206.4, 1 / 294.9786982, 40.5, -73.5, 18, 627106.5, 4484124.4, 0.06},
        {"Intl 50N 4E", 6378388.0, 1 / 297.0, 50.0, 4.0, 31, 571669.865, 5539221.465, 0.0005},
        {"WGS84 33.9S 18.4E", 6378137.0, 1 / 298.257223563, -33.9, 18.4, 34, 259583.222,
         6245888.045, 0.0005},
        {"equator 3E", 6378388.0, 1 / 297.0, 0.0, 3.0, 31, 500000.0, 0.0, 1e-6},
    };
    for (const Case& c : cases) {
        int zone = 0;
        double n = 0, e = 0;
        LatLonToUtm(c.a, c.f, c.lat * kRad, c.lon * kRad, zone, n, e, 0);
        EXPECT_EQ(zone, c.zone) << c.source;
        EXPECT_NEAR(e, c.easting, c.tolerance) << c.source;
        EXPECT_NEAR(n, c.northing, c.tolerance) << c.source;

        double northing = c.lat < 0 ? -n : n;
        double phi = 99, lambda = 99;
        UtmToLatLon(c.a, c.f, phi, lambda, zone, northing, e);
        EXPECT_NEAR(phi / kRad, c.lat, 1e-9) << c.source;
        EXPECT_NEAR(lambda / kRad, c.lon, 1e-9) << c.source;
        EXPECT_EQ(northing, n) << c.source; // made positive
    }
}

TEST(TransverseMercator, ZoneFromLongitude) {
    struct Case {
        double lon;
        int zone;
    };
    for (const Case c : {Case{180, 60},
                         {-180, 1},
                         {-0.0001, 30},
                         {0, 31},
                         {-0.5, 30},
                         {5.9, 31},
                         {6.01, 32},
                         {179.9, 60},
                         {-179.9, 1},
                         {400, 60},
                         {-400, 1}}) {
        int zone = -7;
        double n = 0, e = 0;
        LatLonToUtm(6378388.0, 1 / 297.0, 10 * kRad, c.lon * kRad, zone, n, e, 0);
        EXPECT_EQ(zone, c.zone) << c.lon;
    }
}

TEST(TransverseMercator, EveryZoneEdgeBeginsTheZoneEastOfIt) {
    // Longitudes converted as the callers convert them (DegToRad); GeographicLib's standard zone
    // of the same degrees is the reference. 180 E stays in zone 60.
    for (int edge = -180; edge < 180; edge += 6) {
        for (const double lon : {double(edge), edge - 1e-9}) {
            if (lon < -180.0) {
                continue;
            }
            int zone = -7;
            double n = 0, e = 0;
            LatLonToUtm(6378137.0, 1 / 298.257223563, geodesy::DegToRad(10), geodesy::DegToRad(lon),
                        zone, n, e, 0);
            EXPECT_EQ(zone, GeographicLib::UTMUPS::StandardZone(10, lon)) << lon;
        }
    }
}

TEST(TransverseMercator, FixedZoneIsKeptAndProjectedInto) {
    int zone = 32;
    double n = 0, e = 0;
    LatLonToUtm(6378388.0, 1 / 297.0, 50 * kRad, 5 * kRad, zone, n, e, 1);
    EXPECT_EQ(zone, 32);
    EXPECT_LT(e, 500000.0 - 250000.0); // about 4 degrees west of the meridian 9 E
    ProjPtr pj(proj_create(PJ_DEFAULT_CTX, "+proj=pipeline +step +proj=unitconvert +xy_in=deg "
                                           "+xy_out=rad +step +proj=utm +zone=32 +ellps=intl"));
    PJ_COORD out = proj_trans(pj.get(), PJ_FWD, proj_coord(5, 50, 0, 0));
    EXPECT_NEAR(e, out.xy.x, 0.01);
    EXPECT_NEAR(n, out.xy.y, 0.01);
}

TEST(TransverseMercator, HemisphereFollowsTheSignOfTheNorthing) {
    const double a = 6378137.0, f = 1 / 298.257223563;
    double northing = 0.0, phi = 1, lambda = 1;
    UtmToLatLon(a, f, phi, lambda, 31, northing, 500000.0);
    EXPECT_NEAR(phi, 0.0, 1e-15); // a northing of 0 is the equator, north
    EXPECT_NEAR(lambda, 3 * kRad, 1e-15);

    // A southern northing given positive is read as northern.
    northing = 6245888.045;
    UtmToLatLon(a, f, phi, lambda, 34, northing, 259583.222);
    EXPECT_GT(phi / kRad, 55.0);
}

TEST(TransverseMercator, ArithmeticFaultsRaiseNumberedErrors) {
    const auto errorOf = [](auto&& call) {
        try {
            call();
        } catch (const common::AppError& e) {
            return e.number();
        }
        return 0;
    };
    int zone = 31;
    double n = 7, e = 8, lat = 9, lon = 10;
    EXPECT_EQ(errorOf([&] { LatLonToUtm(6378388.0, 0.0, 0.5, 0.1, zone, n, e, 0); }), 11);
    EXPECT_EQ(n, 7); // nothing written before the fault
    EXPECT_EQ(errorOf([&] { UtmToLatLon(6378388.0, 0.0, lat, lon, 31, n, e); }), 11);
    EXPECT_EQ(lat, 9);
    EXPECT_EQ(errorOf([&] { LatLonToUtm(0.0, 1 / 297.0, 0.5, 0.1, zone, n, e, 0); }), 11);
    EXPECT_EQ(errorOf([&] { LatLonToUtm(6378388.0, 1 / 297.0, NAN, 0.1, zone, n, e, 0); }), 6);
    double big = 1e300;
    EXPECT_EQ(errorOf([&] { UtmToLatLon(6378388.0, 1 / 297.0, lat, lon, 31, big, 1e300); }), 6);
    EXPECT_EQ(errorOf([&] { LatLonToUtm(6378388.0, 1 / 297.0, 0.5, 1e200, zone, n, e, 1); }), 6);
}

TEST(TransverseMercator, SmallRoutines) {
    const double a = 6378137.0, e2 = 0.00669437999014, phi = 0.7;
    const double w = std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    EXPECT_DOUBLE_EQ(geodesy::CurvatureW(e2, phi), w);
    EXPECT_DOUBLE_EQ(geodesy::RadiusN(a, e2, phi), a / w);
    EXPECT_DOUBLE_EQ(geodesy::RadiusM(a, e2, phi), (1 - e2) * a / (w * w * w));
    EXPECT_DOUBLE_EQ(geodesy::MeridianArc(2, 0, 0, 0, 0, 0.25), 0.5);
    EXPECT_DOUBLE_EQ(geodesy::MeridianArc(0, 1, 0, 0, 0, 0.25), -std::sin(0.5));
}

} // namespace

// The UTM inverse's footpoint latitude against GeographicLib's exact transverse Mercator, and the
// UTM, MGRS and datum-shift batches against their one-point functions, including the points their
// loops hand back to them.

#include "../support/ErrorOf.h"
#include "common/AppError.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Mgrs.h"
#include "geodesy/Molodensky.h"
#include "geodesy/TransverseMercator.h"

#include <GeographicLib/TransverseMercator.hpp>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using testing_support::ErrorOf;

constexpr double kA = 6378137.0, kF = 1 / 298.257223563; // WGS84
constexpr double kRad = M_PI / 180.0;

// Metres between two positions in radians.
double Metres(double lat1, double lon1, double lat2, double lon2) {
    return std::hypot((lat1 - lat2) * kA, (lon1 - lon2) * kA * std::cos(lat1));
}

// GeographicLib's UTM inverse (zone 31, central meridian 3 E) of a northing and an easting.
void Reference(double northing, double easting, bool south, double& lat, double& lon) {
    static const GeographicLib::TransverseMercator tm(kA, kF, geodesy::kUtmScale);
    tm.Reverse(3.0, easting - 500000.0, northing - (south ? 10000000.0 : 0.0), lat, lon);
    lat *= kRad;
    lon *= kRad;
}

// On the central meridian the inverse is the footpoint latitude alone: within 0.1 mm of the exact
// one from the equator to a few metres from the poles (9,997,965 m north).
TEST(UtmFootpoint, AgreesWithGeographicLibOnTheCentralMeridian) {
    for (const double northing : {0.0, 1.0, 1234567.891, 5000000.0, 7777777.7, 9300000.0, 9900000.0,
                                  9997000.0, 9997960.0}) {
        for (const bool south : {false, true}) {
            double lat = 0, lon = 0, expectLat = 0, expectLon = 0;
            double n = south ? -(10000000.0 - northing) : northing;
            if (south && northing == 0.0) {
                continue;
            }
            geodesy::UtmToLatLon(kA, kF, lat, lon, 31, n, 500000.0);
            Reference(std::fabs(n), 500000.0, south, expectLat, expectLon);
            EXPECT_LT(Metres(lat, lon, expectLat, expectLon), 1e-4) << northing << " " << south;
        }
    }
}

// Off the meridian up to the zone edges and the widened zones of Svalbard, where the series'
// own terms limit the agreement: within a centimetre, as PROJ's cross-checks ask.
TEST(UtmFootpoint, AgreesWithGeographicLibToTheZoneEdges) {
    static const GeographicLib::TransverseMercator tm(kA, kF, geodesy::kUtmScale);
    for (const double lat : {0.0, 0.5, 30.0, 55.0, 72.5, 80.0, 83.9}) {
        for (const double dl : {-3.0, -1.5, 1e-7, 2.0, 3.0, 4.5}) {
            if (std::fabs(dl) > 3.0 && lat < 72.0) {
                continue; // only Svalbard's zones reach that far
            }
            double x = 0, y = 0;
            tm.Forward(3.0, lat, 3.0 + dl, x, y);
            double n = y, phi = 0, lambda = 0;
            geodesy::UtmToLatLon(kA, kF, phi, lambda, 31, n, x + 500000.0);
            EXPECT_LT(Metres(phi, lambda, lat * kRad, (3.0 + dl) * kRad), 0.01) << lat << " " << dl;
        }
    }
}

// A grid of points over and beyond a zone, both hemispheres, in both directions.
struct Grid {
    std::vector<double> lat, lon, northing, easting;
    std::vector<int> zone;
};

Grid UtmPoints() {
    Grid g;
    for (double lat = -84.0; lat <= 84.0; lat += 3.7) {
        for (double lon = -1.2; lon <= 9.5; lon += 0.83) {
            g.lat.push_back(lat * kRad);
            g.lon.push_back(lon * kRad);
        }
    }
    g.northing.resize(g.lat.size());
    g.easting.resize(g.lat.size());
    g.zone.resize(g.lat.size());
    return g;
}

TEST(UtmBatch, ForwardAndInverseAreTheOnePointFunctions) {
    Grid g = UtmPoints();
    geodesy::batch::LatLonToUtm(kA, kF, g.lat, g.lon, g.zone, g.northing, g.easting, 0);
    std::vector<double> signedNorthing(g.lat.size()), lat(g.lat.size()), lon(g.lat.size());
    for (std::size_t i = 0; i < g.lat.size(); ++i) {
        int zone = 0;
        double n = 0, e = 0;
        geodesy::LatLonToUtm(kA, kF, g.lat[i], g.lon[i], zone, n, e, 0);
        EXPECT_EQ(g.zone[i], zone);
        EXPECT_NEAR(g.northing[i], n, 1e-6);
        EXPECT_NEAR(g.easting[i], e, 1e-6);
        signedNorthing[i] = g.lat[i] < 0 ? -n : n;
    }
    geodesy::batch::UtmToLatLon(kA, kF, g.zone, signedNorthing, g.easting, lat, lon);
    for (std::size_t i = 0; i < g.lat.size(); ++i) {
        double n = signedNorthing[i], phi = 0, lambda = 0;
        geodesy::UtmToLatLon(kA, kF, phi, lambda, g.zone[i], n, g.easting[i]);
        EXPECT_LT(Metres(lat[i], lon[i], phi, lambda), 1e-6) << i;
        EXPECT_LT(Metres(lat[i], lon[i], g.lat[i], g.lon[i]), 0.01) << i; // and back home
    }
}

TEST(UtmBatch, FixedZonesAndRefusedPoints) {
    std::vector<double> lat{0.5, 0.9}, lon{0.1, 0.2}, n(2), e(2);
    std::vector<int> zone{32, 30};
    geodesy::batch::LatLonToUtm(kA, kF, lat, lon, zone, n, e, 1);
    for (std::size_t i = 0; i < 2; ++i) {
        int z = zone[i];
        double northing = 0, easting = 0;
        geodesy::LatLonToUtm(kA, kF, lat[i], lon[i], z, northing, easting, 1);
        EXPECT_EQ(zone[i], z);
        EXPECT_NEAR(e[i], easting, 1e-6);
    }
    // A value that is not a number raises what the one-point function raises for it, after the
    // points before it are converted.
    lat = {0.5, NAN};
    EXPECT_EQ(ErrorOf([&] { geodesy::batch::LatLonToUtm(kA, kF, lat, lon, zone, n, e, 0); }),
              common::kOverflow);
    EXPECT_TRUE(std::isfinite(n[0]));
    std::vector<double> shortArray(1);
    EXPECT_EQ(ErrorOf([&] { geodesy::batch::UtmToLatLon(kA, kF, zone, shortArray, e, lat, lon); }),
              common::kInvalidCall);
    EXPECT_EQ(ErrorOf([&] { geodesy::batch::LatLonToUtm(kA, 0.0, lat, lon, zone, n, e, 0); }),
              common::kDivisionByZero);
}

// Points of every kind LatLonToMgrs meets: polar caps, the zones of Norway and Svalbard, the
// equator, the southern bands, and an ellipsoid number no lettering covers.
TEST(MgrsBatch, ForwardAndInverseAreTheOnePointFunctions) {
    std::vector<double> lat, lon;
    for (double la : {-85.0, -80.0, -45.3, -0.0000001, 0.0, 0.0000001, 50.0, 56.5, 60.0, 63.99,
                      64.0, 71.9, 72.0, 78.0, 84.0, 84.1}) {
        for (double lo :
             {-179.9, -75.0, 0.0, 2.9999999, 3.0, 5.0, 8.9, 9.0, 21.0, 33.0, 41.9, 139.0}) {
            lat.push_back(la * kRad);
            lon.push_back(lo * kRad);
        }
    }
    for (const int ellipsoid : {21, 5, 6, 9}) {
        const std::size_t count = lat.size();
        std::vector<int> zone(count), status(count);
        std::vector<double> n(count), e(count), back(count), backLon(count);
        std::vector<std::string> text(count);
        geodesy::batch::LatLonToMgrs(kA, kF, lat, lon, zone, n, e, text, ellipsoid);
        std::vector<std::string> decoded = text;
        geodesy::batch::MgrsToLatLon(decoded, ellipsoid, kA, kF, back, backLon, zone, n, e, status);
        for (std::size_t i = 0; i < count; ++i) {
            int z = 0, s = 0, z2 = 0;
            double northing = 0, easting = 0, phi = 0, lambda = 0;
            std::string one;
            geodesy::LatLonToMgrs(kA, kF, lat[i], lon[i], z, northing, easting, one, ellipsoid);
            EXPECT_EQ(text[i], one) << ellipsoid << " " << i;
            std::string reference = one;
            geodesy::MgrsToLatLon(reference, ellipsoid, kA, kF, phi, lambda, z2, northing, easting,
                                  s);
            EXPECT_EQ(decoded[i], reference) << one;
            EXPECT_EQ(status[i], s) << one;
            EXPECT_EQ(zone[i], z2) << one;
            EXPECT_NEAR(n[i], northing, 1e-6) << one;
            EXPECT_LT(Metres(back[i], backLon[i], phi, lambda), 1e-6) << one;
        }
    }
}

TEST(MgrsBatch, ReferencesOfEveryKindDecodeAsOneByOne) {
    std::vector<std::string> refs{"31UER7167039221", " 6TTQ6354387422", "06TTQ6354387422",
                                  "32XMA0000000000", "31UZR7167039221", "31NEA0000000000",
                                  "31MEV0000099999", "33XWG0000058621", "zz???1234567890"};
    const std::size_t count = refs.size();
    std::vector<int> zone(count), status(count);
    std::vector<double> lat(count), lon(count), n(count), e(count);
    std::vector<std::string> decoded = refs;
    geodesy::batch::MgrsToLatLon(decoded, 15, 6378388.0, 1 / 297.0, lat, lon, zone, n, e, status);
    for (std::size_t i = 0; i < count; ++i) {
        std::string one = refs[i];
        int z = 0, s = 0;
        double phi = 0, lambda = 0, northing = 0, easting = 0;
        geodesy::MgrsToLatLon(one, 15, 6378388.0, 1 / 297.0, phi, lambda, z, northing, easting, s);
        EXPECT_EQ(decoded[i], one) << refs[i];
        EXPECT_EQ(status[i], s) << refs[i];
        EXPECT_EQ(zone[i], z) << refs[i];
        EXPECT_NEAR(lat[i], phi, 1e-12) << refs[i];
        EXPECT_NEAR(lon[i], lambda, 1e-12) << refs[i];
        EXPECT_NEAR(e[i], easting, 1e-9) << refs[i];
    }
    std::vector<std::string> tooShort{"31UE"};
    EXPECT_EQ(ErrorOf([&] {
                  geodesy::batch::MgrsToLatLon(tooShort, 15, 6378388.0, 1 / 297.0,
                                               std::span(lat).first(1), std::span(lon).first(1),
                                               std::span(zone).first(1), std::span(n).first(1),
                                               std::span(e).first(1), std::span(status).first(1));
              }),
              common::kInvalidCall);
}

// Two datums as the database holds them, and WGS84.
void LoadDatums() {
    geodesy::ResetDatumState();
    geodesy::DatumState& s = geodesy::Datums();
    s.DatumTable.resize(4);
    s.datumTableFilled = true;
    s.DatumTable[1] = {574, 1.1960023250403e-05, 375, -111, 431, 1, "OGB-M", "OSGB 1936", "", 4};
    s.DatumTable[2] = {-251, -1.4192702255886366e-05, -87, -98, -121, 2, "EUR-M", "ED 1950", "", 4};
    s.DatumTable[3] = {0, 0, 0, 0, 0, 3, "WGS84", "WGS 1984", "", 4};
    s.EllipsoidTable.resize(4);
    s.EllipsoidTable[1] = {1, "AA", "Airy 1830", 6377563.396, 299.3249646};
    s.EllipsoidTable[2] = {2, "IN", "International 1924", 6378388, 297};
    s.EllipsoidTable[3] = {3, "WE", "WGS 1984", 6378137, 298.257223563};
}

// Points of the ordinary formulas, of the polar caps (a shift across a pole included) and of the
// antimeridian, whose results the loop hands back to the one-point function.
TEST(ShiftDatumBatch, IsTheOnePointFunctionForEveryPairOfDatums) {
    LoadDatums();
    std::vector<double> lat, lon;
    for (double la : {-90.0, -89.99999, -85.0001, -60.0, 0.0, 33.3, 84.9999, 85.0, 89.9999, 90.0}) {
        for (double lo : {-180.0, -179.9999, -3.0, 0.0, 45.0, 179.99999, 180.0}) {
            lat.push_back(la);
            lon.push_back(lo);
        }
    }
    std::vector<double> outLat(lat.size()), outLon(lat.size());
    for (int from = 1; from <= 3; ++from) {
        for (int to = 1; to <= 3; ++to) {
            geodesy::batch::ShiftDatum(lat, lon, outLat, outLon, from, to);
            for (std::size_t i = 0; i < lat.size(); ++i) {
                double la = 0, lo = 0;
                geodesy::ShiftDatum(lat[i], lon[i], 0.0, la, lo, from, to);
                EXPECT_NEAR(outLat[i], la, 1e-11) << from << to << " " << lat[i] << " " << lon[i];
                EXPECT_NEAR(outLon[i], lo, 1e-11) << from << to << " " << lat[i] << " " << lon[i];
            }
        }
    }
    EXPECT_EQ(ErrorOf([&] { geodesy::batch::ShiftDatum(lat, lon, outLat, outLon, 1, 7); }), 9);
    geodesy::ResetDatumState();
}

} // namespace

#include "geodesy/Molodensky.h"

#include "../support/ErrorOf.h"
#include "../support/RealDatums.h"
#include "../support/TempSettings.h"
#include "geodesy/DatumTables.h"

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <proj.h>
#include <string>

namespace {

using geodesy::Datums;
using geodesy::MolodenskyParams;
using geodesy::MolodenskyTable;
using geodesy::ShiftDatum;

struct ProjDeleter {
    void operator()(PJ* p) const { proj_destroy(p); }
};
using ProjPtr = std::unique_ptr<PJ, ProjDeleter>;

std::string Num(double x) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", x);
    return buffer;
}

// PROJ's standard Molodensky in degrees: forward from the local datum (its ellipsoid a, 1/f) to
// WGS84 with da, df = WGS84 minus local; inverse back.
ProjPtr ProjMolodensky(double a, double rf, double dx, double dy, double dz, double da, double df) {
    const std::string definition =
        "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
        "+step +proj=molodensky +a=" +
        Num(a) + " +rf=" + Num(rf) + " +dx=" + Num(dx) + " +dy=" + Num(dy) + " +dz=" + Num(dz) +
        " +da=" + Num(da) + " +df=" + Num(df) + " +step +proj=unitconvert +xy_in=rad +xy_out=deg";
    return ProjPtr(proj_create(PJ_DEFAULT_CTX, definition.c_str()));
}

ProjPtr ProjForDatum(int index) {
    const geodesy::DatumRec& d = Datums().datum(index);
    const geodesy::EllipsoidRec& e = Datums().ellipsoid(d.ELLI_ID);
    return ProjMolodensky(e.A, e.f_Inv, d.dx, d.dy, d.dz, d.da, d.df);
}

// Metres between two positions in degrees.
double Metres(double lat1, double lon1, double lat2, double lon2) {
    const double m = 6378137.0 * M_PI / 180.0;
    return std::hypot((lat1 - lat2) * m, (lon1 - lon2) * m * std::cos(lat1 * M_PI / 180.0));
}

using testing_support::ErrorOf;

class MolodenskyDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(testing_support::LoadRealDatums(), document::DatumLoad::Loaded);
        ASSERT_GT(Datums().datumCount(), 200);
    }
    void TearDown() override { geodesy::ResetDatumState(); }

    testing_support::TempSettings settings_;
};

// Points spread over latitudes and longitudes; the check is of the formula, for every datum.
const double kPoints[][2] = {{47.3, 8.6}, {-25.5, 28.2}, {12.1, -70.3}, {63.0, 110.5}};

TEST_F(MolodenskyDatabase, EveryDatumAgreesWithProjMolodenskyBothWays) {
    for (int i = 1; i <= Datums().datumCount(); ++i) {
        ProjPtr pj = ProjForDatum(i);
        ASSERT_NE(pj, nullptr) << Datums().datum(i).Code;
        for (const auto& p : kPoints) {
            double lat = 0, lon = 0;
            MolodenskyTable(p[0], p[1], 0.0, lat, lon, i, +1);
            PJ_COORD fwd = proj_trans(pj.get(), PJ_FWD, proj_coord(p[1], p[0], 0, 0));
            EXPECT_LT(Metres(lat, lon, fwd.lp.phi, fwd.lp.lam), 0.001) << Datums().datum(i).Code;

            MolodenskyTable(p[0], p[1], 0.0, lat, lon, i, -1);
            PJ_COORD inv = proj_trans(pj.get(), PJ_INV, proj_coord(p[1], p[0], 0, 0));
            EXPECT_LT(Metres(lat, lon, inv.lp.phi, inv.lp.lam), 0.001) << Datums().datum(i).Code;
        }
    }
}

TEST_F(MolodenskyDatabase, ShiftBetweenDatumsGoesThroughWgs84) {
    const int eurM = geodesy::DatumIndex("EUR-M");
    const int wgs84 = geodesy::DatumIndex("WGS84");
    ASSERT_GT(eurM, 0);
    ASSERT_GT(wgs84, 0);
    ProjPtr toEurM = ProjForDatum(eurM);
    for (int i = 1; i <= Datums().datumCount(); ++i) {
        ProjPtr pj = ProjForDatum(i);
        const geodesy::DatumShift shift(i, eurM); // held over the points, as a walk holds it
        for (const auto& p : kPoints) {
            PJ_COORD w = proj_trans(pj.get(), PJ_FWD, proj_coord(p[1], p[0], 0, 0));
            double lat = 0, lon = 0;
            ShiftDatum(p[0], p[1], 0.0, lat, lon, i, wgs84); // one step
            EXPECT_LT(Metres(lat, lon, w.lp.phi, w.lp.lam), 0.001) << Datums().datum(i).Code;

            if (i == eurM) {
                continue;
            }
            w.lpz.z = 0.0; // the second step starts again from the caller's height
            PJ_COORD e = proj_trans(toEurM.get(), PJ_INV, w);
            shift.Apply(p[0], p[1], 0.0, lat, lon);
            EXPECT_LT(Metres(lat, lon, e.lp.phi, e.lp.lam), 0.001) << Datums().datum(i).Code;
        }
    }
}

TEST_F(MolodenskyDatabase, SameDatumIsReturnedBitForBitAndUnknownIndexesRaise9) {
    const int eurM = geodesy::DatumIndex("EUR-M");
    double lat = 0, lon = 0;
    ShiftDatum(50.123456789012345, 4.987654321098765, 0.0, lat, lon, eurM, eurM);
    EXPECT_EQ(lat, 50.123456789012345);
    EXPECT_EQ(lon, 4.987654321098765);
    ShiftDatum(1.5, 2.5, 0.0, lat, lon, 0, 0);
    EXPECT_EQ(lat, 1.5);

    EXPECT_EQ(ErrorOf([&] { ShiftDatum(50, 4, 0, lat, lon, 0, eurM); }), 9);
    EXPECT_EQ(ErrorOf([&] { ShiftDatum(50, 4, 0, lat, lon, eurM, 0); }), 9);
    EXPECT_EQ(ErrorOf([&] { ShiftDatum(50, 4, 0, lat, lon, eurM, 32000); }), 9);
    EXPECT_EQ(ErrorOf([&] { MolodenskyTable(50, 4, 0, lat, lon, -1, 1); }), 9);
}

TEST_F(MolodenskyDatabase, ThereAndBackComesCloseButNotExactly) {
    const int eurM = geodesy::DatumIndex("EUR-M");
    const int ogb = geodesy::DatumIndex("OGB-M");
    double lat = 0, lon = 0, back1 = 0, back2 = 0;
    ShiftDatum(52.0, -1.0, 0.0, lat, lon, ogb, eurM);
    EXPECT_GT(Metres(lat, lon, 52.0, -1.0), 50.0);
    ShiftDatum(lat, lon, 0.0, back1, back2, eurM, ogb);
    EXPECT_LT(Metres(back1, back2, 52.0, -1.0), 0.05);
}

// The exact shift that the formulas approximate: to geocentric coordinates on one ellipsoid,
// translated by dx, dy, dz, back on the other; WGS84 is the datum's ellipsoid plus da, df.
void GeocentricShift(int index, int direction, double lat, double lon, double& latOut,
                     double& lonOut) {
    const geodesy::DatumRec& d = Datums().datum(index);
    const geodesy::EllipsoidRec& e = Datums().ellipsoid(d.ELLI_ID);
    const double f = 1.0 / e.f_Inv;
    const GeographicLib::Geocentric local(e.A, f);
    const GeographicLib::Geocentric wgs(e.A + d.da, f + d.df);
    const GeographicLib::Geocentric& from = direction > 0 ? local : wgs;
    const GeographicLib::Geocentric& to = direction > 0 ? wgs : local;
    double x = 0, y = 0, z = 0, h = 0;
    from.Forward(lat, lon, 0.0, x, y, z);
    to.Reverse(x + direction * d.dx, y + direction * d.dy, z + direction * d.dz, latOut, lonOut, h);
}

// Positions on the pole caps, beside the antimeridian and on both sides of the cap's edge, where
// the formulas' longitude change used to run away.
TEST_F(MolodenskyDatabase, ShiftNearThePolesAndTheAntimeridianStaysOnTheEarth) {
    const double points[][2] = {{-89.99999, -179.5}, {89.99999, 179.9},  {-89.9999999, 10.0},
                                {89.99, 45.0},       {-89.9, -135.0},    {86.0, 100.0},
                                {-85.2, 179.99999},  {60.0, -179.99999}, {0.0, 179.99999},
                                {-60.0, 179.99999},  {84.0, -90.0},      {-84.9, 0.0}};
    const GeographicLib::Geodesic& earth = GeographicLib::Geodesic::WGS84();
    for (int i = 1; i <= Datums().datumCount(); ++i) {
        const geodesy::DatumRec& d = Datums().datum(i);
        for (const int direction : {+1, -1}) {
            for (const auto& p : points) {
                double lat = 0, lon = 0, refLat = 0, refLon = 0, metres = 0;
                MolodenskyTable(p[0], p[1], 0.0, lat, lon, i, direction);
                EXPECT_TRUE(lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0)
                    << d.Code << " " << p[0] << " " << p[1] << " gave " << lat << " " << lon;
                GeocentricShift(i, direction, p[0], p[1], refLat, refLon);
                earth.Inverse(lat, lon, refLat, refLon, metres);
                // The formulas are first order: off by up to some metres at high latitudes.
                EXPECT_LT(metres, 4.0) << d.Code << " " << direction << " " << p[0] << " " << p[1]
                                       << " gave " << lat << " " << lon;
            }
        }
    }
}

TEST_F(MolodenskyDatabase, APoleStaysThePoleWithItsLongitude) {
    const int eurM = geodesy::DatumIndex("EUR-M");
    const int wgs84 = geodesy::DatumIndex("WGS84");
    for (const double lat : {90.0, -90.0}) {
        for (const double lon : {0.0, -179.5, 123.25}) {
            double outLat = 0, outLon = 0;
            ShiftDatum(lat, lon, 0.0, outLat, outLon, eurM, wgs84);
            EXPECT_EQ(outLat, lat);
            EXPECT_EQ(outLon, lon);
            ShiftDatum(lat, lon, 0.0, outLat, outLon, wgs84, eurM);
            EXPECT_EQ(outLat, lat);
            EXPECT_EQ(outLon, lon);
        }
    }
}

TEST(Molodensky, CallerGivenParametersWithZeroDifferencesUseWgs84) {
    ProjPtr pj = ProjMolodensky(6378137.0, 298.25722356, -87, -98, -121, 0, 0);
    double lat = 0, lon = 0;
    MolodenskyParams(50.0, 4.0, 0.0, 0.0, 0.0, -87, -98, -121, lat, lon);
    PJ_COORD w = proj_trans(pj.get(), PJ_FWD, proj_coord(4.0, 50.0, 0, 0));
    EXPECT_LT(Metres(lat, lon, w.lp.phi, w.lp.lam), 0.001);
}

TEST(Molodensky, CallerGivenParametersDeriveTheLocalEllipsoidByTheStandardRelation) {
    // ED50 on International 1924: da = 6378137 - 6378388, df = 1/298.257223563 - 1/297; the
    // local ellipsoid must come out as International 1924 for the result to match.
    const double da = -251.0, df = 1 / 298.257223563 - 1 / 297.0;
    for (const auto& p : kPoints) {
        ProjPtr pj = ProjMolodensky(6378388.0, 297.0, -87, -98, -121, da, df);
        double lat = 0, lon = 0;
        MolodenskyParams(p[0], p[1], 0.0, da, df, -87, -98, -121, lat, lon);
        PJ_COORD w = proj_trans(pj.get(), PJ_FWD, proj_coord(p[1], p[0], 0, 0));
        EXPECT_LT(Metres(lat, lon, w.lp.phi, w.lp.lam), 0.001) << p[0];
    }
}

TEST(Molodensky, FaultsRaiseNumberedErrors) {
    geodesy::ResetDatumState();
    auto& state = Datums();
    state.DatumTable.resize(3);
    state.datumTableFilled = true;
    state.DatumTable[1] = {10, 0.0, 1, 2, 3, 1, "ZERO ", "zero flattening", "", 1};
    state.DatumTable[2] = {10, 0.0, 1, 2, 3, 5, "NOELL", "no ellipsoid", "", 1};
    state.EllipsoidTable.resize(2);
    state.EllipsoidTable[1] = {1, "ZZ", "zero", 6378000, 0};
    double lat = 0, lon = 0;
    EXPECT_EQ(ErrorOf([&] { MolodenskyTable(50, 4, 0, lat, lon, 1, 1); }), 11);
    EXPECT_EQ(ErrorOf([&] { MolodenskyTable(50, 4, 0, lat, lon, 2, 1); }), 9);
    // A shift at the pole itself raises nothing.
    state.EllipsoidTable[1].f_Inv = 297;
    MolodenskyTable(90, 4, 0, lat, lon, 1, 1);
    EXPECT_TRUE(std::isfinite(lat) && std::isfinite(lon));
    EXPECT_EQ(ErrorOf([&] { MolodenskyTable(NAN, 4, 0, lat, lon, 1, 1); }), 6);
    geodesy::ResetDatumState();
}

} // namespace

#include "cartography/core/UtmReadout.h"

#include "cartography/core/Projection.h"

#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/TransverseMercator.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace cartography;

constexpr double kIntlA = 6378388.0, kIntlF = 1 / 297.0;

std::string WithoutBlanks(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ') {
            out += c;
        }
    }
    return out;
}

int ZoneOf(const std::string& reference) {
    return std::stoi(reference);
}

TEST(UtmReadout, EastingNorthingAgainstGeographicLib) {
    // The readout's series stored as Singles: within 2 m (a Single steps by 1 m at 10^7 m; the
    // series itself is good to a few decimetres within the zone, the widened ones included).
    const GeographicLib::TransverseMercator tm(kIntlA, kIntlF, 0.9996);
    const UtmConstants constants = InitUtm();
    for (double lat = -79.5; lat <= 84; lat += 7.3) {
        for (double lon = -179.7; lon < 180; lon += 13.1) {
            SCOPED_TRACE(std::to_string(lat) + " " + std::to_string(lon));
            const UtmPosition got =
                UTM(constants, static_cast<float>(lat), static_cast<float>(lon));
            ASSERT_FALSE(got.Reference.empty());
            const int zone = ZoneOf(got.Reference);
            const double lon0 = zone * 6 - 183;
            double x = 0, y = 0;
            tm.Forward(lon0, static_cast<float>(lat), static_cast<float>(lon), x, y);
            EXPECT_NEAR(got.Easting, x + 500000, 2.0);
            EXPECT_NEAR(got.Northing, y + (lat < 0 ? 10000000 : 0), 2.0);
        }
    }
}

TEST(UtmReadout, LetteringAgainstGeographicLibMgrs) {
    const UtmConstants constants = InitUtm();
    const struct {
        double lat, lon;
    } points[] = {{48.85, 2.35},  {50.5, 4.4},    {60.5, 5.3},   {-33.9, 18.4}, {-3.1, -60.0},
                  {35.7, 139.7},  {-54.8, -68.3}, {78.2, 15.6},  {64.1, -21.9}, {1.3, 103.8},
                  {-77.8, 166.7}, {40.7, -74.0},  {83.9, -30.5}, {13.7, 100.5}, {-45.9, 170.5}};
    for (const auto& p : points) {
        SCOPED_TRACE(std::to_string(p.lat) + " " + std::to_string(p.lon));
        const UtmPosition got =
            UTM(constants, static_cast<float>(p.lat), static_cast<float>(p.lon));
        const int zone = ZoneOf(got.Reference);
        std::string mgrs;
        GeographicLib::MGRS::Forward(zone, p.lat >= 0, got.Easting, got.Northing, p.lat, 3, mgrs);
        if (mgrs.size() > 1 && mgrs[0] == '0') {
            mgrs.erase(0, 1);
        }
        EXPECT_EQ(WithoutBlanks(got.Reference), mgrs);
    }
}

TEST(UtmReadout, ReferenceLayout) {
    const UtmConstants constants = InitUtm();
    const std::string paris = UTM(constants, 48.85f, 2.35f).Reference;
    ASSERT_EQ(paris.size(), 15u);
    EXPECT_EQ(paris.substr(0, 5), " 31U ");
    EXPECT_EQ(paris[7], ' ');
    EXPECT_EQ(paris[11], ' ');
    // A small zone number keeps its leading blank.
    EXPECT_EQ(UTM(constants, 20.0f, -154.0f).Reference.substr(0, 4), " 5Q ");
}

TEST(UtmReadout, LatitudeRangeAndZones) {
    const UtmConstants constants = InitUtm();
    EXPECT_EQ(UTM(constants, 84.01f, 5).Reference, "");
    EXPECT_EQ(UTM(constants, -80.01f, 5).Reference, "");
    EXPECT_EQ(UTM(constants, 84.01f, 5).Northing, 0.0f);
    EXPECT_EQ(UTM(constants, 84, 5).Reference.substr(0, 4), " 31X");
    EXPECT_FALSE(UTM(constants, -80, 5).Reference.empty());

    const struct {
        float lat, lon;
        int zone;
    } zones[] = {{60, 5, 32}, {63.5f, 5, 32}, {64, 5, 31},  {60, 2, 31},     {56, 5, 32},
                 {75, 8, 31}, {75, 10, 33},   {75, 25, 35}, {75, 40, 37},    {10, 180, 1},
                 {10, 0, 31}, {10, 6, 32},    {10, -6, 30}, {-10, -0.5f, 30}};
    for (const auto& z : zones) {
        SCOPED_TRACE(std::to_string(z.lat) + " " + std::to_string(z.lon));
        EXPECT_EQ(ZoneOf(UTM(constants, z.lat, z.lon).Reference), z.zone);
    }
    // Southern bands run from M down to C, with the false northing.
    const UtmPosition south = UTM(constants, -4, 20);
    EXPECT_EQ(south.Reference.substr(0, 4), " 34M");
    EXPECT_GT(south.Northing, 9000000.0f);
    EXPECT_EQ(UTM(constants, -79, 20).Reference.substr(0, 4), " 34C");
}

TEST(UtmReadout, PointsOnBandAndZoneLimitsTakeTheBandAndZoneTheyBegin) {
    // Zone and band as GeographicLib gives them for the same degrees: a band begins on its
    // southern limit and a zone on its western one, the exceptions of Norway and Svalbard too.
    const UtmConstants constants = InitUtm();
    const struct {
        float lat, lon;
        const char* zoneAndBand;
    } cases[] = {{48, 2, "31U"},  {40, -75, "18T"}, {-8, 20, "34M"}, {56, 5, "32V"},
                 {56, 3, "32V"},  {60, 3, "32V"},   {64, 5, "31W"},  {72, 9, "33X"},
                 {72, 21, "35X"}, {72, 33, "37X"},  {8, 6, "32P"},   {-16, -174, "2L"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.lat) + " " + std::to_string(c.lon));
        const std::string reference = UTM(constants, c.lat, c.lon).Reference;
        EXPECT_EQ(WithoutBlanks(reference).substr(0, std::strlen(c.zoneAndBand)), c.zoneAndBand);
        int zone = 0;
        bool northp = false;
        double x = 0, y = 0;
        GeographicLib::UTMUPS::Forward(c.lat, c.lon, zone, northp, x, y);
        std::string gridZone; // zone and band alone
        GeographicLib::MGRS::Forward(zone, northp, x, y, c.lat, -1, gridZone);
        EXPECT_EQ(gridZone.substr(gridZone[0] == '0' ? 1 : 0), c.zoneAndBand);
    }
}

TEST(UtmReadout, SquareDigitsKeepLeadingZeros) {
    const UtmConstants constants = InitUtm();
    // On the central meridian of zone 31 the easting is exactly 500000: square digits "000".
    const std::string reference = UTM(constants, 45.5f, 3).Reference;
    EXPECT_EQ(reference.substr(8, 3), "000");
}

TEST(UtmReadout, PanelTexts) {
    EXPECT_EQ(LatitudeText(50.5f), "lat=50.500");
    EXPECT_EQ(LatitudeText(-5.5f), "lat=-05.500");
    EXPECT_EQ(LongitudeText(123.25f), "lon=123.250");
    EXPECT_EQ(LongitudeText(0.0004f), "lon=00.000");
    EXPECT_EQ(LatitudeText(9.9996f), "lat=10.000");
    EXPECT_EQ(PlainXText(15.25f), "X: 15.25");
    EXPECT_EQ(PlainXText(-3.5f), "X:-3.5");
    EXPECT_EQ(PlainYText(0.5f), "Y: .5");
}

TEST(UtmReadout, PointerReadout) {
    const UtmConstants constants = InitUtm();
    ProjectionState plain;
    const ReadoutPanels panels = PointerReadout(plain, constants, 15.25f, -3.5f);
    EXPECT_EQ(panels.Panel1, "X: 15.25");
    EXPECT_EQ(panels.Panel2, "Y:-3.5");
    EXPECT_EQ(panels.Panel3, "");

    ProjectionState carree;
    carree.ProjCode = 5;
    // 50.5 N, 4.4 E on the plate carree of radius 6378388 m.
    const float x = static_cast<float>(6378.388 * 4.4 * M_PI / 180);
    const float y = static_cast<float>(6378.388 * 50.5 * M_PI / 180);
    const ReadoutPanels geo = PointerReadout(carree, constants, x, y);
    EXPECT_EQ(geo.Panel1, "lat=50.500");
    EXPECT_EQ(geo.Panel2, "lon=04.400");
    EXPECT_EQ(geo.Panel3, UTM(constants, 50.5f, 4.4f).Reference);

    // The apex of the Lambert cone has no inverse: nothing is shown rather than an error.
    ProjectionState lambert;
    lambert.ProjCode = 1;
    DefConstantes(lambert, 40, 60);
    const ReadoutPanels apex = PointerReadout(lambert, constants, 10, 0);
    EXPECT_EQ(apex.Panel1, "");
    EXPECT_EQ(apex.Panel3, "");
}

} // namespace

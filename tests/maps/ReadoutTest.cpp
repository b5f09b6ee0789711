// The pointer readouts of the region map: texts of the title, and the grid readouts at points
// placed with PROJ's definitions of the British, Irish and Belgian grids (no datum shift).

#include "../geodesy/ProjReference.h"
#include "maps/MapFormats.h"
#include "maps/PointerReadout.h"

#include <gtest/gtest.h>

namespace {

TEST(MapFormats, SignedDecimalsAsTheCoordinatePatternsWriteThem) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    for (const Case& c : {Case{50.5, 5, "+50.5"}, Case{-4.35, 5, "-4.35"}, Case{0.5, 5, "+.5"},
                          Case{12.0, 5, "+12."}, Case{0.0, 5, "+."}, Case{0.126, 2, "+.13"},
                          Case{-0.126, 3, "-.126"}, Case{53.123456, 5, "+53.12346"}}) {
        EXPECT_EQ(maps::SignedDecimal(c.value, c.decimals), QLatin1String(c.text)) << c.value;
    }
    EXPECT_EQ(maps::SignedFixed(46.5, "+", "-", 2, 3), QStringLiteral("+46.500"));
    EXPECT_EQ(maps::SignedFixed(-8.15, "+", "-", 3, 3), QStringLiteral("-008.150"));
}

TEST(PointerReadout, TitleWithLatitudeLongitudeAndTheMgrsSquareInItsRange) {
    EXPECT_EQ(maps::LatLonTitle(50.5, 0.126), QStringLiteral("Lat=+50.5 / Lon=+.13"));
    EXPECT_EQ(maps::LatLonTitle(12.0, -0.126), QStringLiteral("Lat=+12. / Lon=-.126"));
    EXPECT_TRUE(maps::MgrsTitlePart(84.5, 10.0, 15).isEmpty());
    EXPECT_FALSE(maps::MgrsTitlePart(84.0, 10.0, 15).isEmpty());
    EXPECT_TRUE(maps::MgrsTitlePart(-80.5, 10.0, 15).isEmpty());
    // Brussels lies in zone 31, band U: "  31 U " and the square.
    const QString part = maps::MgrsTitlePart(50.85, 4.35, 15);
    EXPECT_TRUE(part.startsWith(QStringLiteral("  31 U "))) << part.toStdString();
    EXPECT_EQ(part.size(), 7 + 7);
}

TEST(PointerReadout, PositionZeroKeepsTheTexts) {
    // A plane whose origin is latitude 0 and longitude 0 exactly.
    const maps::RegionProjection p{0.0F, 0.70710678F, 2};
    EXPECT_FALSE(maps::PointerReadout(p, maps::GridReadout::None, 0.0F, 0.0F, 15));
    EXPECT_TRUE(maps::PointerReadout(p, maps::GridReadout::None, 0.0F, 1.0F, 15));
}

TEST(PointerReadout, BritishAndIrishSquaresAtPointsPlacedByProj) {
    const testref::ProjGrid bng(
        "+proj=pipeline +step +inv +proj=tmerc +lat_0=49 +lon_0=-2 +k=0.9996012717 +x_0=400000 "
        "+y_0=-100000 +ellps=airy +step +proj=unitconvert +xy_in=rad +xy_out=deg");
    double lat = 0.0, lon = 0.0;
    // 3.5 km east and 7.5 km north inside square TQ (500 km east, 100 km north of the origin).
    bng.forward(107500.0, 503500.0, lon, lat);
    EXPECT_EQ(maps::NationalGridText(1, lat, lon), QStringLiteral("TQ0307"));
    bng.forward(187500.0, 533500.0, lon, lat);
    EXPECT_EQ(maps::NationalGridText(1, lat, lon), QStringLiteral("TQ3387"));

    const testref::ProjGrid irish(
        "+proj=pipeline +step +inv +proj=tmerc +lat_0=53.5 +lon_0=-8 +k=1.000035 +x_0=200000 "
        "+y_0=250000 +ellps=mod_airy +step +proj=unitconvert +xy_in=rad +xy_out=deg");
    // Square O of the Irish grid: 300 to 400 km east, 200 to 300 km north.
    irish.forward(234500.0, 315500.0, lon, lat);
    EXPECT_TRUE(maps::NationalGridText(0, lat, lon).endsWith(QStringLiteral("O1534")))
        << maps::NationalGridText(0, lat, lon).toStdString();
}

TEST(PointerReadout, BelgianLambertWholeMetresOnTwoLines) {
    const testref::ProjGrid lambert(
        "+proj=pipeline +step +inv +proj=lcc +lat_1=51.16666723333333 +lat_2=49.8333339 +lat_0=90 "
        "+lon_0=4.367486666666666 +x_0=150000.013 +y_0=5400088.438 +ellps=intl +step "
        "+proj=unitconvert +xy_in=rad +xy_out=deg");
    double lat = 0.0, lon = 0.0;
    lambert.forward(170000.5, 150000.5, lon, lat);
    EXPECT_EQ(maps::BelgianText(lat, lon), QStringLiteral("150000\r170000"));
}

TEST(PointerReadout, ParisGradesWithEastPositiveLongitude) {
    // 45 degrees is 50 grades; 0.9 degrees east of the Paris meridian is one grade east.
    EXPECT_EQ(maps::GradeText(45.0F, 2.337222F + 0.9F), QStringLiteral("+50.000\r+001.000"));
    EXPECT_EQ(maps::GradeText(45.0F, 2.337222F - 1.8F), QStringLiteral("+50.000\r-002.000"));
}

TEST(PointerReadout, GridReadoutChosenByTheWholeUpperCasePath) {
    EXPECT_EQ(maps::GridReadoutOf("/opt/x/britisle.bmp"), maps::GridReadout::BritishIsles);
    EXPECT_EQ(maps::GridReadoutOf("/opt/x/Belgium.bmp"), maps::GridReadout::Belgium);
    EXPECT_EQ(maps::GridReadoutOf("/opt/x/gaule.bmp"), maps::GridReadout::Gaul);
    EXPECT_EQ(maps::GridReadoutOf("/opt/Gaule/world.bmp"), maps::GridReadout::Gaul);
    EXPECT_EQ(maps::GridReadoutOf("/opt/x/europe.bmp"), maps::GridReadout::None);
}

} // namespace

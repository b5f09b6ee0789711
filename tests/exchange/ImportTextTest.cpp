#include "exchange/ImportText.h"

#include <gtest/gtest.h>

namespace {

using exchange::GpsDate;
using exchange::GpsYear;
using exchange::LatitudeForm;
using exchange::LongitudeForm;
using exchange::ShortDegreeForm;

TEST(ImportTextTest, TheFiveDecimalFormsOfOriginal) {
    struct Case {
        double value;
        const char* latitude;
        const char* longitude;
    };
    const Case cases[] = {
        {50.5, "+50.50000", "+050.50000"},      {-3.25, "-03.25000", "-003.25000"},
        {4.25, "+04.25000", "+004.25000"},      {0.000005, "+00.00001", "+000.00001"},
        {-0.000004, "+00.00000", "+000.00000"}, {179.999996, "+180.00000", "+180.00000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LatitudeForm(c.value), QLatin1String(c.latitude)) << c.value;
        EXPECT_EQ(LongitudeForm(c.value), QLatin1String(c.longitude)) << c.value;
    }
}

TEST(ImportTextTest, TheShortDegreeFormDropsZeros) {
    EXPECT_EQ(ShortDegreeForm(50.5), QLatin1String("+50.5"));
    EXPECT_EQ(ShortDegreeForm(50), QLatin1String("+50."));
    EXPECT_EQ(ShortDegreeForm(-0.25), QLatin1String("-.25"));
    EXPECT_EQ(ShortDegreeForm(-4.25), QLatin1String("-4.25"));
    EXPECT_EQ(ShortDegreeForm(1.123456), QLatin1String("+1.12346"));
}

// GPS data does not predate 1980: one pivot for every two-digit year.
TEST(ImportTextTest, TwoDigitYearsPivotAt1980) {
    EXPECT_EQ(GpsYear(80), 1980);
    EXPECT_EQ(GpsYear(99), 1999);
    EXPECT_EQ(GpsYear(0), 2000);
    EXPECT_EQ(GpsYear(2), 2002);
    EXPECT_EQ(GpsYear(79), 2079);
    EXPECT_FALSE(GpsYear(100));
    EXPECT_FALSE(GpsYear(-1));
}

TEST(ImportTextTest, GpsDatesBecomeYearMonthDay) {
    EXPECT_EQ(GpsDate(u"17-APR-02"), QLatin1String("2002/04/17"));
    EXPECT_EQ(GpsDate(u"05-DEC-97"), QLatin1String("1997/12/05"));
    EXPECT_EQ(GpsDate(u"01-JAN-80"), QLatin1String("1980/01/01"));
    EXPECT_EQ(GpsDate(u"17-apr-02"), QLatin1String("2002/00/17"));
}

TEST(ImportTextTest, ControlCharactersMarkBinaryData) {
    EXPECT_FALSE(exchange::HoldsBinary(u"WAYPOINT\tA\tB"));
    EXPECT_TRUE(exchange::HoldsBinary(QStringLiteral("ab") + QChar(0) + QStringLiteral("c")));
    EXPECT_TRUE(exchange::HoldsBinary(QStringLiteral("\x01")));
}

} // namespace

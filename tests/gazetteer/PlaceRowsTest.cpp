#include "gazetteer/PlaceRows.h"

#include "../support/ErrorOf.h"
#include "gazetteer/PlaceSearcher.h"

#include <gtest/gtest.h>

namespace {

using namespace gazetteer;

const QString kDeg = QString(QChar(0x00B0));

TEST(GeoFormat, RemovesScriptTagsAndTurnsSlashesIntoHyphens) {
    const struct {
        QString name;
        QString listed;
        int code;
    } cases[] = {
        {QStringLiteral("<B2>Lodz</B2>"), QStringLiteral("Lodz"), 2},
        {QStringLiteral("<N6>Ha Noi</N6>"), QStringLiteral("Ha Noi"), 6},
        {QStringLiteral("Bar/Baz"), QStringLiteral("Bar-Baz"), 1},
        {QStringLiteral("<b2>lower</b2>"), QStringLiteral("<b2>lower<-b2>"), 2}, // exact case only
        {QStringLiteral("a<Bx"), QStringLiteral("a<Bx"), 0},
        {QStringLiteral("end<B"), QStringLiteral("end<B"), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GeoFormat(c.name), c.listed) << c.name.toStdString();
        EXPECT_EQ(LanguageCode(c.name), c.code) << c.name.toStdString();
    }
}

TEST(DmsText, DecimalAndPackedCoordinates) {
    const struct {
        double value;
        int type;
        bool longitude;
        QString text;
    } cases[] = {
        // 0.99064 degrees = 59.4384 minutes = 59 minutes 26.3 seconds.
        {50.99064, 1, false, QStringLiteral("50") + kDeg + "59'26\"N"},
        {-12.5, 1, false, QStringLiteral("12") + kDeg + "30'00\"S"},
        {-1.25, 1, true, QStringLiteral("01") + kDeg + "15'00\"W"},
        // 0.1246 degrees = 7 minutes 28.56 seconds, truncated; -0.0 is east.
        {-0.1246, 1, true, QStringLiteral("00") + kDeg + "07'28\"W"},
        {-0.0, 1, true, QStringLiteral("00") + kDeg + "00'00\"E"},
        {-1234530, 0, true, QStringLiteral("123") + kDeg + "45'30\"W"},
        {123456, 0, false, QStringLiteral("12") + kDeg + "34'56\"N"},
        {50.5, 2, false, QString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DmsText(c.value, c.type, c.longitude), c.text) << c.value;
    }
}

TEST(SignedDecimalText, SignAlwaysShownFiveDecimalsRounded) {
    EXPECT_EQ(SignedDecimalText(5.368194, 3, QLatin1Char('.')), QStringLiteral("+005.36819"));
    EXPECT_EQ(SignedDecimalText(-1234530, 3, QLatin1Char('.')), QStringLiteral("-1234530.00000"));
    EXPECT_EQ(SignedDecimalText(-0.000004, 2, QLatin1Char(',')), QStringLiteral("+00,00000"));
    EXPECT_EQ(SignedDecimalText(-12.5, 2, QLatin1Char(',')), QStringLiteral("-12,50000"));
}

PlaceRecord Record(const QVariant& fips, const QVariant& province = {}) {
    PlaceRecord record;
    record.name = QStringLiteral("Lyon");
    record.latitude = 45.74846;
    record.longitude = 4.84671;
    record.fips = fips;
    record.province = province;
    record.feature = QStringLiteral("PPLA");
    return record;
}

TEST(MakeRow, FipsAndProvinceColumn) {
    RowFormat format;
    EXPECT_EQ(MakeRow(Record(QStringLiteral("FR84")), format)[kFips], QStringLiteral("FR84"));
    EXPECT_EQ(MakeRow(Record(QStringLiteral(" FR ")), format)[kFips], QStringLiteral("FR  "));
    format.hasProvince = true;
    EXPECT_EQ(MakeRow(Record(QStringLiteral("FR84"), QStringLiteral("07")), format)[kFips],
              QStringLiteral("FR07"));
    format.hasFips = false;
    format.hasProvince = false;
    EXPECT_EQ(MakeRow(Record(QStringLiteral("FR84")), format)[kFips], QStringLiteral("    "));
}

TEST(MakeRow, FixedWidthColumnsAndLongNames) {
    PlaceRecord record = Record(QStringLiteral("FR84"));
    record.name = QString(250, QLatin1Char('x'));
    const PlaceRow row = MakeRow(record, RowFormat{});
    EXPECT_EQ(row[0].size(), 200);
    EXPECT_EQ(row[kDesignation], QStringLiteral("PPLA "));
    EXPECT_EQ(row[kLatDms].size(), 10);
    EXPECT_EQ(row[kLonDms], QStringLiteral("04") + kDeg + "50'48\"E ");
    EXPECT_EQ(row[kLatitude], QStringLiteral("+45.74846"));
    EXPECT_EQ(row[kLongitude], QStringLiteral("+004.84671"));
    EXPECT_EQ(row[kLanguage], QStringLiteral("1"));
}

TEST(MakeRow, AMissingCoordinateIsInvalidUseOfNull) {
    PlaceRecord record = Record(QStringLiteral("FR"));
    record.longitude = QVariant();
    EXPECT_EQ(testing_support::ErrorOf([&] { MakeRow(record, RowFormat{}); }), 94);
}

TEST(IconKey, DesignationsSelectTheirIcon) {
    EXPECT_EQ(IconKey(QStringLiteral("stmi ")), QStringLiteral("STM"));
    EXPECT_EQ(IconKey(QStringLiteral("HLL")), QStringLiteral("MT"));
    EXPECT_EQ(IconKey(QStringLiteral("PPLC")), QStringLiteral("PPL"));
    EXPECT_EQ(IconKey(QStringLiteral("FRM")), QStringLiteral("FRM"));
    EXPECT_EQ(IconKey(QStringLiteral("ADM1")), QString());
}

TEST(PlaceOfRow, CoordinatesAreReadFromTheDecimalTextsWithEitherSeparator) {
    PlaceRow row;
    row[0] = QStringLiteral("Lyon");
    row[kFips] = QStringLiteral("FR84");
    row[kDesignation] = QStringLiteral("PPLA ");
    row[kLatitude] = QStringLiteral("+45,74846");
    row[kLongitude] = QStringLiteral("-004.84671");
    const PickedPlace place = PlaceOfRow(row);
    EXPECT_FLOAT_EQ(place.latitude, 45.74846F);
    EXPECT_FLOAT_EQ(place.longitude, -4.84671F);
    EXPECT_EQ(place.designation, QStringLiteral("PPLA "));
}

} // namespace

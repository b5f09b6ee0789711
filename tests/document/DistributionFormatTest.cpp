#include "document/DistributionFormat.h"

#include "common/AppError.h"
#include "document/DistributionWriter.h"
#include "document/Record.h"

#include <QByteArray>
#include <cmath>
#include <gtest/gtest.h>

namespace {

namespace deg = document::deg;

QString B(int count) {
    return QString(count, QLatin1Char(' '));
}

TEST(DistributionFormat, LatitudeColumnKeepsTheSignBeforeTheFirstDigit) {
    struct Case {
        float value;
        QString text;
    };
    const Case cases[] = {
        {50.5F, "+50.50000"},
        {5.25F, B(1) + "+5.25000"},
        {0.25F, B(1) + "+0.25000"},
        {-3.5F, B(1) + "-3.50000"},
        {0.0F, B(1) + "+0.00000"},
        {50.85F, "+50.85000"},
        {-45.123456F, "-45.12346"},
        {0.015625F, B(1) + "+0.01563"}, // an exact half goes up
        {-0.015625F, B(1) + "-0.01563"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(deg::LatitudeColumn(c.value), c.text) << c.value;
    }
}

TEST(DistributionFormat, LongitudeColumnHasABlankForPositiveValues) {
    struct Case {
        float value;
        QString text;
    };
    const Case cases[] = {
        {4.35F, B(3) + "4.35000"},     {12.5F, B(2) + "12.50000"}, {-12.5F, B(1) + "-12.50000"},
        {123.25F, B(1) + "123.25000"}, {0.5F, B(3) + "0.50000"},   {-179.5F, "-179.50000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(deg::LongitudeColumn(c.value), c.text) << c.value;
    }
}

TEST(DistributionFormat, PositionsWithoutWrittenFormBecomeNoPosition) {
    EXPECT_EQ(deg::LatitudeColumn(std::nullopt), B(6) + "999");
    EXPECT_EQ(deg::LongitudeColumn(std::nullopt), B(7) + "999");
    EXPECT_EQ(deg::LatitudeColumn(999.0F), B(6) + "999");
    EXPECT_EQ(deg::LatitudeColumn(-100.0F), B(6) + "999");
    EXPECT_EQ(deg::LongitudeColumn(999.0F), B(1) + "999.00000");
    EXPECT_EQ(deg::LongitudeColumn(1000.0F), B(7) + "999");
    EXPECT_EQ(deg::LatitudeColumn(INFINITY), B(6) + "999");
}

TEST(DistributionFormat, HalvesGoAwayFromZeroOnTheExactValue) {
    EXPECT_EQ(deg::ScaledHalfAway(2.5, 0), 3);
    EXPECT_EQ(deg::ScaledHalfAway(-2.5, 0), -3);
    EXPECT_EQ(deg::ScaledHalfAway(0.125, 2), 13);
    // 1.005 is stored just below the half: no rounding up from the multiplication's error.
    EXPECT_EQ(deg::ScaledHalfAway(1.005, 2), 100);
    EXPECT_EQ(deg::ScaledHalfAway(50.123456, 5), 5012346);
    EXPECT_THROW(deg::ScaledHalfAway(1e300, 5), common::AppError);
}

TEST(DistributionFormat, CountColumn) {
    EXPECT_EQ(deg::CountColumn(120), B(2) + "120");
    EXPECT_EQ(deg::CountColumn(7), B(4) + "7");
    EXPECT_EQ(deg::CountColumn(0), B(4) + "0");
    EXPECT_EQ(deg::CountColumn(std::nullopt), B(4) + "0");
    EXPECT_EQ(deg::CountColumn(99999), "99999");
    EXPECT_EQ(deg::CountColumn(10200), "10200");
    EXPECT_EQ(deg::CountColumn(-5), B(3) + "-5");
    EXPECT_THROW(deg::CountColumn(100000), common::AppError);
    EXPECT_THROW(deg::CountColumn(-10000), common::AppError);
}

TEST(DistributionFormat, PeriodColumn) {
    EXPECT_EQ(deg::PeriodColumn(3), "3");
    EXPECT_EQ(deg::PeriodColumn(std::nullopt), " ");
    EXPECT_THROW(deg::PeriodColumn(10), common::AppError);
    EXPECT_THROW(deg::PeriodColumn(-1), common::AppError);
}

TEST(DistributionFormat, FormateCoordAndZerosEnBlancs) {
    QString text = "+00,25000";
    deg::FormateCoord(text);
    EXPECT_EQ(text, B(1) + "+0.25000");
    text = " 004.35000";
    deg::FormateCoord(text);
    EXPECT_EQ(text, B(3) + "4.35000");
    text = "+50.5";
    deg::FormateCoord(text);
    EXPECT_EQ(text, "+50.5");

    text = "00000";
    deg::ZerosEnBlancs(text, 1);
    EXPECT_EQ(text, B(5));
    text = "00120";
    deg::ZerosEnBlancs(text, 1);
    EXPECT_EQ(text, B(2) + "120");
    text = "00";
    deg::ZerosEnBlancs(text, 2);
    EXPECT_EQ(text, "00"); // start not below the length: unchanged
}

TEST(DistributionFormat, PeriodLines) {
    using document::PeriodScheme;
    EXPECT_EQ(deg::PeriodLine({0, 0, 0}, 2011), " 0000 - 2011   0 - 0   0 - 0");
    EXPECT_EQ(deg::PeriodLine({1, 1990, 0}, 2011), " 0000 - 1989   1990 - 2011   0 - 0");
    EXPECT_EQ(deg::PeriodLine({2, 1990, 2000}, 2011), " 0000 - 1989   1990 - 1999   2000 - 2011");

    const PeriodScheme before{2, 1700, 1800};
    EXPECT_EQ(deg::PeriodSchemeFromLine(u" 0000 - 2011   0 - 0   0 - 0", before),
              (PeriodScheme{0, 1700, 1800}));
    EXPECT_EQ(deg::PeriodSchemeFromLine(u" 0000 - 1989   1990 - 2011   0 - 0", before),
              (PeriodScheme{1, 1990, 1800}));
    EXPECT_EQ(deg::PeriodSchemeFromLine(u" 0000 - 1989   1990 - 1999   2000 - 2011", before),
              (PeriodScheme{2, 1990, 2000}));
    // "0 - 0" at another column leaves the scheme as it was.
    EXPECT_EQ(deg::PeriodSchemeFromLine(u"0 - 0", before), std::nullopt);
}

TEST(DistributionFormat, LayoutIsToldByTheFirstLine) {
    EXPECT_TRUE(deg::IsCurrentLayout("<DOVAZOV 2.0>"));
    EXPECT_TRUE(deg::IsCurrentLayout("<dovazov 3.1"));
    EXPECT_FALSE(deg::IsCurrentLayout("DOVAZOV 2.0"));
    EXPECT_FALSE(deg::IsCurrentLayout("<DOVAZO"));
}

TEST(DistributionFormat, DelimitedField) {
    EXPECT_EQ(deg::DelimitedField(u"  EUR-M"), "EUR-M");
    EXPECT_EQ(deg::DelimitedField(u"EUR-M,rest"), "EUR-M");
    EXPECT_EQ(deg::DelimitedField(u"\"a,b\" tail"), "a,b");
    EXPECT_EQ(deg::DelimitedField(u""), "");
    EXPECT_EQ(deg::DelimitedField(u"<END>"), "<END>");
}

TEST(DistributionFormat, RecordLineOfTheWriterExample) {
    document::Record r;
    r.PERIOD = 1;
    r.LATITUDE = 50.85F;
    r.LONGITUDE = 4.35F;
    r.N1 = 3;
    r.N2 = 0;
    r.DATUM = "NTF";
    r.ORIGINAL = "deg 50.85 4.35";
    const QString line = deg::PeriodColumn(r.PERIOD) + "K" + deg::LatitudeColumn(r.LATITUDE) +
                         deg::LongitudeColumn(r.LONGITUDE) + deg::CountColumn(r.N1) +
                         deg::CountColumn(r.N2) + deg::DateColumn(r.DATE) + deg::SexColumn(r.SEX) +
                         deg::DatumColumn(r.DATUM) + deg::OriginalColumn(r.ORIGINAL) +
                         deg::CommentColumn(r.COMMENT);
    EXPECT_EQ(line, "1K+50.85000" + B(3) + "4.35000" + B(4) + "3" + B(4) + "0" + B(10) + B(1) +
                        "NTF" + B(2) + "deg 50.85 4.35" + B(10));
    EXPECT_EQ(line.size(), 71);
}

TEST(DistributionFormat, CommentsKeepToOneLine) {
    EXPECT_EQ(deg::CommentColumn(QString("a\r\nb\nc")), "a b c");
    EXPECT_EQ(deg::CommentColumn(std::nullopt), "");
}

TEST(DistributionFormat, ColumnsOfARecordLine) {
    const QByteArray line =
        "2K -3.50000 -12.50000  120    71988/05/12FAIRY bng TQ 3080             "
        "pond";
    const deg::RecordLineColumns c = deg::SplitRecordLine(line);
    EXPECT_EQ(c.period, "2");
    EXPECT_EQ(c.latitude, "-3.50000");
    EXPECT_EQ(c.longitude, "-12.50000");
    EXPECT_EQ(c.n1, "120");
    EXPECT_EQ(c.n2, "7");
    EXPECT_EQ(c.date, QByteArrayView("1988/05/12"));
    EXPECT_EQ(c.sex, QByteArrayView("F"));
    EXPECT_EQ(c.datum, QByteArrayView("AIRY "));
    EXPECT_EQ(c.original, QByteArrayView("bng TQ 3080             "));
    EXPECT_EQ(c.comment, QByteArrayView("pond"));

    // Fields the line does not reach are absent; a line of 42 characters has its sex.
    const deg::RecordLineColumns stripped =
        deg::SplitRecordLine("1K+51.00000   5.00000    1    02005/06/01F");
    EXPECT_EQ(stripped.sex, QByteArrayView("F"));
    EXPECT_FALSE(stripped.datum.has_value());
    EXPECT_FALSE(stripped.original.has_value());
    EXPECT_FALSE(stripped.comment.has_value());
    const deg::RecordLineColumns partial =
        deg::SplitRecordLine("1K+51.00000   5.00000    1    0200");
    EXPECT_EQ(partial.date, QByteArrayView("200"));
    EXPECT_FALSE(partial.sex.has_value());
}

TEST(DistributionFormat, EndMarkerOnlyOnShortLines) {
    EXPECT_TRUE(deg::IsEndMarker("FIN DU FICHIER"));
    EXPECT_TRUE(deg::IsEndMarker("  fin du"));
    EXPECT_FALSE(deg::IsEndMarker("FIN DU FICHIER FIN DU FICHIER FIN"));
    EXPECT_FALSE(deg::IsEndMarker("1K+50.85000   4.35000    3    0"));
}

TEST(DistributionFormat, ColumnNumbers) {
    EXPECT_DOUBLE_EQ(deg::ColumnNumber("50,5", true), 50.5);
    EXPECT_DOUBLE_EQ(deg::ColumnNumber("50,5", false), 50.0);
    EXPECT_DOUBLE_EQ(deg::ColumnNumber("", false), 0.0);
    EXPECT_DOUBLE_EQ(deg::ColumnNumber("-1 2", false), -12.0);
}

TEST(DistributionFormat, OldDatumNamesAndSystemDatums) {
    EXPECT_EQ(deg::DatumOfOldName("HAYFO"), QByteArrayView("EUR-M"));
    EXPECT_EQ(deg::DatumOfOldName("AIRY "), QByteArrayView("OGB-M"));
    EXPECT_EQ(deg::DatumOfOldName("CLA80"), QByteArrayView("NTF"));
    EXPECT_EQ(deg::DatumOfOldName("EVEMO"), QByteArrayView("KEA"));
    EXPECT_EQ(deg::DatumOfOldName("airy "), std::nullopt); // compared exactly
    EXPECT_EQ(deg::DatumOfOldName("NTF  "), std::nullopt);

    EXPECT_EQ(deg::DatumOfSystem("bng TQ 3080", false), QByteArrayView("OGB-M"));
    EXPECT_EQ(deg::DatumOfSystem("GRP 50 2", false), QByteArrayView("NTF"));
    EXPECT_EQ(deg::DatumOfSystem("itm IO 1234", false), QByteArrayView("IRL"));
    EXPECT_EQ(deg::DatumOfSystem("ifb  F4", false), QByteArrayView("BEL72"));
    EXPECT_EQ(deg::DatumOfSystem("lmb 150000 170000", false), QByteArrayView("BEL72"));
    EXPECT_EQ(deg::DatumOfSystem("utm 31 5 5", false), std::nullopt);
    EXPECT_EQ(deg::DatumOfSystem("utm 31 5 5", true), QByteArrayView("EUR-M"));
    EXPECT_EQ(deg::DatumOfSystem("mgr 31U DS 12", true), QByteArrayView("EUR-M"));
    EXPECT_EQ(deg::DatumOfSystem("deg 50 4", true), std::nullopt);
}

TEST(DistributionFormat, BackupNames) {
    EXPECT_EQ(document::BackupName("/data/bees.deg"), "/data/bees.BAK");
    EXPECT_EQ(document::BackupName("/data/bees.old.deg"), "/data/bees.BAK");
    EXPECT_EQ(document::BackupName("/my.data/bees.deg"), "/my.data/bees.BAK");
    EXPECT_EQ(document::BackupName("/data/bees"), "/data/bees.BAK");
    EXPECT_EQ(document::BackupName("/data/bees.BAK"), "/data/bees.BAK.BAK");
}

} // namespace

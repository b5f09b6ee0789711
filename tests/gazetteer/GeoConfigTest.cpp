#include "gazetteer/GeoConfig.h"

#include "../support/ErrorOf.h"
#include "platform/ProgramSettings.h"

#include <QByteArrayList>
#include <gtest/gtest.h>

namespace {

using gazetteer::GeoConfig;
using testing_support::ErrorOf;

GeoConfig Sample() {
    GeoConfig config;
    config.path = QStringLiteral("/data/gazetteer.sqlite");
    config.datum = QStringLiteral("WGS84");
    config.table = QStringLiteral("ZEBGazet_Decoding");
    config.fields = {"Sort_Name", "Full_Name", "Latitude", "Longitude", "",
                     "Province",  "Feature",   "Country",  "Prov name"};
    config.flags = {true, false, false, true};
    return config;
}

void ExpectSame(const GeoConfig& a, const GeoConfig& b) {
    EXPECT_EQ(a.path, b.path);
    EXPECT_EQ(a.dbType, b.dbType);
    EXPECT_EQ(a.datum, b.datum);
    EXPECT_EQ(a.table, b.table);
    EXPECT_EQ(a.fields, b.fields);
    EXPECT_EQ(a.flags, b.flags);
    EXPECT_EQ(a.currentLayout, b.currentLayout);
}

TEST(GeoConfig, WritesEighteenCrLfLinesWithTheOldFlagForms) {
    const QByteArray bytes = gazetteer::WriteConfig(Sample());
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 19); // the last line ending leaves an empty tail
    EXPECT_EQ(lines[0], QByteArray("<DOVAZOV 2.0>\r"));
    EXPECT_EQ(lines[9], QByteArray("\r")); // empty FIPS field
    EXPECT_EQ(lines[14], QByteArray("-1\r"));
    EXPECT_EQ(lines[15], QByteArray(" 0\r"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
}

TEST(GeoConfig, ReadsBackWhatItWrites) {
    ExpectSame(gazetteer::ReadConfig(gazetteer::WriteConfig(Sample())), Sample());
}

TEST(GeoConfig, ValuesWithCommasQuotesOrOuterBlanksReadBackTheSame) {
    GeoConfig config = Sample();
    config.path = QStringLiteral("/data/north, south/places.sqlite");
    config.datum = QStringLiteral("NTF  ");
    config.table = QStringLiteral("places \"old\"");
    config.fields[1] = QStringLiteral(" Name,Full");
    ExpectSame(gazetteer::ReadConfig(gazetteer::WriteConfig(config)), config);
    // A quote that would open a quoted value cannot be carried by the layout: refused, not
    // written to read back as something else.
    for (const char* value : {"a \"b\", c", "\"leading"}) {
        config.table = QString::fromLatin1(value);
        EXPECT_EQ(ErrorOf([&] { gazetteer::WriteConfig(config); }), 5) << value;
    }
}

TEST(GeoConfig, AnyLineEndingIsAccepted) {
    const QByteArray crlf = gazetteer::WriteConfig(Sample());
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QByteArray cr = crlf;
    cr.replace("\r\n", "\r");
    QByteArray unterminated = lf;
    unterminated.chop(1);
    for (const QByteArray& bytes : {lf, cr, unterminated}) {
        ExpectSame(gazetteer::ReadConfig(bytes), Sample());
    }
}

TEST(GeoConfig, TheOlderLayoutHasNoHeaderAndNoNameFields) {
    const QByteArray older =
        "d:\\gaz\\zebgazet.mdb\r\n\r\nWGS84\r\nbgntable\r\nSort_Name\r\n"
        "Full_Name\r\nLat\r\nLong\r\nFIPS\r\n\r\nDSG\r\n 0\r\n-1\r\n-1\r\n 0\r\n";
    const GeoConfig config = gazetteer::ReadConfig(older);
    EXPECT_FALSE(config.currentLayout);
    EXPECT_EQ(config.path, QStringLiteral("d:\\gaz\\zebgazet.mdb"));
    EXPECT_EQ(config.table, QStringLiteral("bgntable"));
    EXPECT_EQ(config.fields[6], QStringLiteral("DSG"));
    EXPECT_EQ(config.flags, (std::array<bool, 4>{false, true, true, false}));

    platform::ProgramSettings settings;
    settings.CountryName = QStringLiteral("Kept country");
    settings.ProvinceName = QStringLiteral("Kept province");
    settings.Sort = 0;
    gazetteer::ApplyConfig(config, settings);
    EXPECT_EQ(settings.CountryName, QStringLiteral("Kept country"));
    EXPECT_EQ(settings.ProvinceName, QStringLiteral("Kept province"));
    EXPECT_EQ(settings.FeatureField, QStringLiteral("DSG"));
    EXPECT_EQ(settings.Sort, 0); // the flags set only the dialog's options
}

TEST(GeoConfig, AHeaderInLowerCaseIsRecognised) {
    QByteArray bytes = gazetteer::WriteConfig(Sample());
    bytes.replace("<DOVAZOV 2.0>", "<dovazov 2.0>");
    EXPECT_TRUE(gazetteer::ReadConfig(bytes).currentLayout);
}

TEST(GeoConfig, AFileCutShortOrHoldingJunkIsRefused) {
    const QByteArray whole = gazetteer::WriteConfig(Sample());
    QByteArray badFlag = whole;
    badFlag.replace("-1\r\n", "yes\r\n");
    const struct {
        QByteArray bytes;
        int error;
    } cases[] = {
        {whole.left(whole.indexOf("Latitude")), 62},
        {QByteArray(), 62},
        {badFlag, 13},
        {QByteArray("\x00\x01\x02junk", 7) + whole, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorOf([&] { gazetteer::ReadConfig(c.bytes); }), c.error)
            << c.bytes.left(30).toStdString();
    }
}

} // namespace

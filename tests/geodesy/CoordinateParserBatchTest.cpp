// The parser over arrays against the one-text parser, text for text: the plain forms it reads
// itself, the other forms it hands to the one-text parser, and texts that give no position.

#include "../support/ErrorOf.h"
#include "../support/RealDatums.h"
#include "../support/TempSettings.h"
#include "common/AppError.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using testing_support::ErrorOf;

class CoordinateParserBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::TempSettings settings;
        ASSERT_EQ(testing_support::LoadRealDatums(), document::DatumLoad::Loaded);
    }
    void TearDown() override { geodesy::ResetDatumState(); }
};

TEST_F(CoordinateParserBatchTest, EveryTextGivesWhatTheOneTextParserGives) {
    struct Case {
        const char* text;
        const char* datum;
    };
    const std::vector<Case> cases{
        {"DEG 50.5 4.25", "EUR-M"},
        {"DEG 50,5 4,25", "EUR-M"},
        {"DEG -33.9 18.4", "WGS84"},
        {"DEG 50.5", "EUR-M"},
        {"DEG 12345678901234567.5 1", "EUR-M"},
        {"DMS 50.3015 -4,3", "EUR-M"},
        {"DMS 50.301525 4.3", "WGS84"},
        {"DMS 50,3 4", "WGS84"},
        {"DMS 50. -0.0001", "WGS84"},
        {"DMS 45.1234 3,45129", "WGS84"},
        {"DMS 50.30.15 4", "WGS84"},
        {"GRP 54.5 0", "NTF"},
        {"GRP 53.123456 -3,5", "NTF"},
        {"UTM 31 571669.865 5539221.465", "EUR-M"},
        {"UTM 31U 571669.865 5539221.465", "EUR-M"},
        {"UTM 34 259583.222 -6245888.045", "WGS84"},
        {"UTM 6 500000 0", "WGS84"},
        {"UTM 31 0 5539221", "EUR-M"},
        {"UTM 0 571669 5539221", "EUR-M"},
        {"UTM 61 571669 5539221", "EUR-M"},
        {"UTM 31  571669 5539221", "EUR-M"},
        {"UTM 31 571669", "EUR-M"},
        {"MGR 31 U ER7167039221", "EUR-M"},
        {"MGR 31 U ER7167039221", "WGS84"},
        {"MGR 31 U ER7139", "EUR-M"},
        {"MGR 6 T TQ6354387422", "WGS84"},
        {"MGR 06 T TQ6354387422", "WGS84"},
        {"MGR 31 U ZR7167039221", "EUR-M"},
        {"MGR 32 X MA0000000000", "WGS84"},
        {"MGR 31 I ER7167039221", "EUR-M"},
        {"MGR 99 U ER7167039221", "EUR-M"},
        {"BNG TG 5140913177", "OGB-M"},
        {"BNG TQ 3080", "OGB-M"},
        {"BNG tq 3080", "OGB-M"},
        {"BNG TQ 308", "OGB-M"},
        {"BNG SU 12", "OGB-M"},
        {"BNG HU 123456", "OGB-M"},
        {"BNG ZZ 3080", "OGB-M"},
        {"BNG TQ 30 80", "OGB-M"},
        {"ITM IO 1234567890", "IRL"},
        {"ITM IO 12346789", "IRL"},
        {"ITM io 12346789", "IRL"},
        {"ITM II 1234", "IRL"},
        {"ITM IN 123456", "IRL"},
        {"ITM IN 12", "IRL"},
        {"LMB 148888.27 171039.56", "BEL72"},
        {"LMB 0 171039.56", "BEL72"},
        {"IFB E43522", "BEL72"},
        {"IFB  E43522", "BEL72"},
        {"IFB e5", "BEL72"},
        {"IFB Z9", "BEL72"},
        {"LF1 650000 180000", "NTF"},
        {"LF2 550000 250000", "NTF"},
        {"LF3 700000 150000", "NTF"},
        {"LF4 234.358 185861.369", "NTF"},
        {"LFE 600000 2200000", "NTF"},
        {"LFE 600000.123456789012 2200000.5", "NTF"},
        {"LFE -0.5 2200000", "NTF"},
        {"LFE 600000 0", "NTF"},
        {"LFE 6E5 2.2E6", "NTF"},
        {"LFE 600000 2200000 ", "NTF"},
        {"LFE 600000", "NTF"},
        {"NMA 500000 300000", "MER"},
        {"SMA 500000 300000", "MER"},
        {"XYZ 1 2", "WGS84"},
        {"", "WGS84"},
        {"LF", "NTF"},
    };
    std::vector<std::string> texts;
    std::vector<std::int16_t> datums;
    for (const Case& c : cases) {
        texts.emplace_back(c.text);
        datums.push_back(geodesy::DatumIndex(c.datum));
        ASSERT_NE(datums.back(), 0) << c.datum;
    }
    // Over 4,096 texts, so that the batch reads more than one block.
    for (std::size_t repeat = 0; repeat < 70; ++repeat) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            texts.push_back(texts[i]);
            datums.push_back(datums[i]);
        }
    }
    std::vector<double> lat(texts.size()), lon(texts.size());
    geodesy::batch::ParseCoordinates(texts, datums, lat, lon);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        double expectLat = 0, expectLon = 0;
        std::string code;
        geodesy::ParseCoordinates(texts[i], datums[i], expectLat, expectLon, code);
        if (geodesy::IsInvalidCoord(expectLat, expectLon)) {
            EXPECT_EQ(lat[i], expectLat) << texts[i];
            EXPECT_EQ(lon[i], expectLon) << texts[i];
        } else {
            // Within 1e-10 degrees, some 10 micrometres.
            EXPECT_NEAR(lat[i], expectLat, 1e-10) << texts[i];
            EXPECT_NEAR(lon[i], expectLon, 1e-10) << texts[i];
        }
    }
    // The datum of the last text is the current one.
    EXPECT_EQ(geodesy::Datums().Ellipsoid, geodesy::Datums().datum(datums.back()).ELLI_ID);
}

TEST_F(CoordinateParserBatchTest, FaultsRaiseTheOneTextParsersErrors) {
    std::vector<std::string> texts{"DEG 1 2", "LFE 600000 2200000"};
    std::vector<std::int16_t> datums{geodesy::DatumIndex("WGS84"), 30000};
    std::vector<double> lat(2), lon(2);
    EXPECT_EQ(ErrorOf([&] { geodesy::batch::ParseCoordinates(texts, datums, lat, lon); }), 9);
    datums[1] = geodesy::DatumIndex("NTF");
    texts[1] = "UTM 31 1E300 5000000";
    EXPECT_EQ(ErrorOf([&] { geodesy::batch::ParseCoordinates(texts, datums, lat, lon); }),
              common::kOverflow);
    lat.resize(1);
    EXPECT_EQ(ErrorOf([&] { geodesy::batch::ParseCoordinates(texts, datums, lat, lon); }),
              common::kInvalidCall);
}

} // namespace

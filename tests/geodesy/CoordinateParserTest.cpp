#include "geodesy/CoordinateParser.h"

#include "../support/RealDatums.h"
#include "../support/TempSettings.h"
#include "ProjReference.h"
#include "common/AppError.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using geodesy::InvalidCoord;

// What a text must give: a position stated exactly, the PROJ inverse of a plane point (x, y) from
// `projected` to `geographic`, or no position.
struct Expect {
    enum Kind { Exact, Plane, None } kind;
    double a = 0, b = 0; // lat, lon (Exact) or x, y (Plane)
    const char* geographic = "";
    const char* projected = "";
};

Expect Exact(double lat, double lon) {
    return {Expect::Exact, lat, lon};
}
Expect Plane(const char* geographic, const char* projected, double x, double y) {
    return {Expect::Plane, x, y, geographic, projected};
}
Expect None() {
    return {Expect::None};
}

struct Case {
    const char* text;
    const char* datum;
    Expect expect;
};

class CoordinateParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::TempSettings settings;
        ASSERT_EQ(testing_support::LoadRealDatums(), document::DatumLoad::Loaded);
    }
    void TearDown() override { geodesy::ResetDatumState(); }

    static std::int16_t Index(const char* code) {
        const std::int16_t index = geodesy::DatumIndex(code);
        EXPECT_NE(index, 0) << code;
        return index;
    }
};

TEST_F(CoordinateParserTest, EverySystemAndEveryTextWithoutAPosition) {
    const double dms50 = testref::Dms(50, 30, 15);
    const std::vector<Case> cases{
        // One valid text per system, against PROJ or the published value.
        {"DEG 50,5 4,25", "EUR-M", Exact(50.5, 4.25)},
        {"DMS 50.3015 -4,3", "EUR-M", Exact(dms50, -4.5)},
        {"DMS 50.301525 4.3", "WGS84", Exact(testref::Dms(50, 30, 15.25), 4.5)},
        {"UTM 31U 571669.865 5539221.465", "EUR-M",
         Plane("EPSG:4230", "EPSG:23031", 571669.865, 5539221.465)},
        {"UTM 34 259583.222 -6245888.045", "WGS84",
         Plane("EPSG:4326", "EPSG:32734", 259583.222, 6245888.045)},
        {"UTM 31 500000 0", "EUR-M", Plane("EPSG:4230", "EPSG:23031", 500000, 0)},
        {"MGR 31 U ER7167039221", "EUR-M", Plane("EPSG:4230", "EPSG:23031", 571670, 5539221)},
        {"MGR 31 U ER7139", "EUR-M", Plane("EPSG:4230", "EPSG:23031", 571499, 5539499)},
        {"MGR 6 T TQ6354387422", "EUR-M",
         Plane("+proj=longlat +ellps=intl +type=crs", "+proj=utm +zone=6 +ellps=intl +type=crs",
               263543, 4987422)},
        {"GRP 54,5 0", "NTF", Plane("EPSG:4275", "EPSG:4807", 0, 54.5)},
        {"GRP 53.123456 -3,5", "NTF", Plane("EPSG:4275", "EPSG:4807", -3.5, 53.123456)},
        {"BNG TG 5140913177", "OGB-M", Plane("EPSG:4277", "EPSG:27700", 651409, 313177)},
        {"BNG tq 3080", "OGB-M", Plane("EPSG:4277", "EPSG:27700", 530499, 180499)},
        {"ITM IO 1234567890", "IRL", Plane("EPSG:4300", "EPSG:29902", 312345, 267890)},
        {"ITM io 12346789", "IRL", Plane("EPSG:4300", "EPSG:29902", 312344, 267894)},
        {"LMB 148888.27 171039.56", "BEL72",
         Plane("EPSG:4313", "EPSG:31370", 148888.27, 171039.56)},
        {"IFB E43522", "BEL72", Plane("EPSG:4313", "EPSG:31370", 149512, 169680)},
        {"IFB  E43522", "BEL72", Plane("EPSG:4313", "EPSG:31370", 149512, 169680)},
        {"IFB e5", "BEL72", Plane("EPSG:4313", "EPSG:31370", 178012, 168180)},
        {"LF1 650000 180000", "NTF", Plane("EPSG:4275", "EPSG:27561", 650000, 180000)},
        {"LF2 550000 250000", "NTF", Plane("EPSG:4275", "EPSG:27562", 550000, 250000)},
        {"LF3 700000 150000", "NTF", Plane("EPSG:4275", "EPSG:27563", 700000, 150000)},
        {"LF4 565000 200000", "NTF", Plane("EPSG:4275", "EPSG:27564", 565000, 200000)},
        {"LFE 600000 2400000", "NTF", Plane("EPSG:4275", "EPSG:27572", 600000, 2400000)},
        {"NMA 444584.13 377770.18", "MER", Plane("EPSG:4261", "EPSG:26191", 444584.13, 377770.18)},
        {"SMA 350000 250000", "MER", Plane("EPSG:4261", "EPSG:26192", 350000, 250000)},

        // Texts that give no position.
        {"DEG 50,5", "EUR-M", None()}, // one value, not 0 and 0
        {"DEG 50 4 3", "EUR-M", None()},
        {"DEG 50   4", "EUR-M", None()}, // three blanks leave an empty item
        {"DMS 50.3015", "EUR-M", None()},
        {"GRP 54,5", "NTF", None()}, // not 0 and the Paris meridian
        {"GRP", "NTF", None()},
        {"UTM 0 571670 5539221", "EUR-M", None()},
        {"UTM 61 571670 5539221", "EUR-M", None()},
        {"UTM 99999 571670 5539221", "EUR-M", None()}, // no overflow either
        {"UTM 1e999 571670 5539221", "EUR-M", None()},
        {"UTM 31 0 5539221", "EUR-M", None()},
        {"UTM 31 571670", "EUR-M", None()},
        {"MGR 31 U", "EUR-M", None()},
        {"MGR 32 X MA0000000000", "EUR-M", None()},  // refused: no zone 32 in band X
        {"MGR 31 U ZR7167039221", "EUR-M", None()},  // refused: column outside the zone
        {"MGR 31 U ER7167039221", "TIL", None()},    // refused: no lettering for the ellipsoid
        {"MGR 61 U ER7167039221", "EUR-M", None()},  // zone outside 1 to 60
        {"MGR 31 I ER7167039221", "EUR-M", None()},  // no band I
        {"MGR 31 U ER716", "EUR-M", None()},         // odd digit count
        {"MGR 31 U E", "EUR-M", None()},             // shorter than the square letters
        {"MGR 31 U ER71670392211", "EUR-M", None()}, // more than ten digits
        {"MGR 31 U ER71A7039221", "EUR-M", None()},  // not a digit
        {"BNG TQ", "OGB-M", None()},
        {"BNG XQ 3080", "OGB-M", None()}, // no such 500 km letter
        {"BNG TI 3080", "OGB-M", None()}, // no such 100 km letter
        {"BNG T 3080", "OGB-M", None()},  // one letter would read as TV
        {"BNG TQ 308", "OGB-M", None()},
        {"BNG TQ 308012345678", "OGB-M", None()},
        {"ITM IO", "IRL", None()},
        {"ITM II 3080", "IRL", None()},
        {"ITM O 3080", "IRL", None()},
        {"ITM IO 30801", "IRL", None()},
        {"IFB N5", "BEL72", None()},
        {"IFB E5 1", "BEL72", None()},
        {"IFB", "BEL72", None()},
        {"LMB 0 171039.56", "BEL72", None()},
        {"LF2 600000", "NTF", None()},
        {"LF2 600000 0", "NTF", None()},
        {"NMA 0 300000", "MER", None()},
        {"deg 50 4", "EUR-M", None()}, // codes are compared in upper case
        {"XYZ 50 4", "EUR-M", None()},
        {"", "EUR-M", None()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double lat = -1, lon = -1;
        std::string code = "old";
        geodesy::ParseCoordinates(c.text, Index(c.datum), lat, lon, code);
        EXPECT_EQ(code, std::string(c.text).substr(0, 3));
        switch (c.expect.kind) {
        case Expect::Exact:
            EXPECT_NEAR(lat, c.expect.a, 1e-9);
            EXPECT_NEAR(lon, c.expect.b, 1e-9);
            break;
        case Expect::Plane: {
            const testref::ProjGrid reference(c.expect.geographic, c.expect.projected);
            ASSERT_TRUE(reference.valid());
            double refLat = 0, refLon = 0;
            reference.inverse(c.expect.a, c.expect.b, refLat, refLon);
            EXPECT_LT(testref::GroundMetres(lat - refLat, lon - refLon, refLat), 0.01)
                << lat << " " << lon << " against " << refLat << " " << refLon;
            break;
        }
        case Expect::None:
            EXPECT_EQ(lat, InvalidCoord);
            EXPECT_EQ(lon, InvalidCoord);
            break;
        }
    }
}

TEST_F(CoordinateParserTest, ParisGradesAgreeWithEpsg4807WithinOneCentimetre) {
    const testref::ProjGrid reference("EPSG:4275", "EPSG:4807");
    ASSERT_TRUE(reference.valid());
    const std::int16_t ntf = Index("NTF");
    for (double latGr = 45.9; latGr <= 56.9; latGr += 0.731) {
        for (double lonGr = -6.1; lonGr <= 8.2; lonGr += 0.913) {
            char text[64];
            std::snprintf(text, sizeof text, "GRP %.7f %.7f", latGr, lonGr);
            double lat = 0, lon = 0, refLat = 0, refLon = 0;
            std::string code;
            geodesy::ParseCoordinates(text, ntf, lat, lon, code);
            reference.inverse(lonGr, latGr, refLat, refLon);
            EXPECT_LT(testref::GroundMetres(lat - refLat, lon - refLon, refLat), 0.01) << text;
        }
    }
}

TEST_F(CoordinateParserTest, AnUnknownDatumRaisesError9BeforeTheCodeIsRead) {
    for (const int datum : {0, geodesy::Datums().datumCount() + 1}) {
        double lat = 1, lon = 2;
        std::string code = "old";
        try {
            geodesy::ParseCoordinates("DEG 50 4", static_cast<std::int16_t>(datum), lat, lon, code);
            ADD_FAILURE() << "no error for datum " << datum;
        } catch (const common::AppError& e) {
            EXPECT_EQ(e.number(), 9);
        }
        EXPECT_EQ(code, "old");
        EXPECT_EQ(lat, 1);
        EXPECT_EQ(lon, 2);
    }
}

TEST_F(CoordinateParserTest, TheDatumsEllipsoidBecomesCurrent) {
    double lat = 0, lon = 0;
    std::string code;
    geodesy::ParseCoordinates("XYZ", Index("OGB-M"), lat, lon, code);
    EXPECT_EQ(geodesy::Datums().EllipsoidA, 6377563.396); // Airy 1830
    EXPECT_EQ(code, "XYZ");
}

TEST(CoordinateText, SplittingAndReplacing) {
    std::string text = "UTM 31   571670  5539221";
    std::string a, b, c;
    geodesy::SplitTriple(text, a, b, c);
    EXPECT_EQ(text, "UTM 31  571670 5539221"); // pairs collapse once, from the left
    EXPECT_EQ(a + "|" + b + "|" + c, "||");    // five items now
    text = "UTM 31  571670 5539221";
    geodesy::SplitTriple(text, a, b, c);
    EXPECT_EQ(a + "|" + b + "|" + c, "31|571670|5539221");
    text = "BNG TQ 3080";
    geodesy::SplitPair(text, a, b);
    EXPECT_EQ(a + "|" + b, "TQ|3080");
    text = "";
    geodesy::SplitPair(text, a, b);
    EXPECT_EQ(a + "|" + b, "|");

    std::string s = "4,25,1";
    geodesy::ReplaceChar(s, ",", ".");
    EXPECT_EQ(s, "4.25.1");
    geodesy::ReplaceChar(s, "..", ",");
    EXPECT_EQ(s, "4.25.1");
    geodesy::ReplaceChar(s, ".", "");
    EXPECT_EQ(s, "4251");

    EXPECT_EQ(geodesy::CoordSystemCode(geodesy::CoordSystem::Lfe), "lfe");
    EXPECT_EQ(geodesy::CoordSystemFromComparedCode("SMA"), geodesy::CoordSystem::Sma);
    EXPECT_FALSE(geodesy::CoordSystemFromComparedCode("sma").has_value());
    EXPECT_EQ(geodesy::CoordSystemNameId(geodesy::CoordSystem::Ifb), 308);
}

} // namespace

#include "editor/EntryConversion.h"

#include "EditorFixture.h"
#include "EditorReference.h"
#include "editor/CheckPanel.h"
#include "editor/DatumChoice.h"
#include "editor/EditorTexts.h"
#include "editor/FieldEvents.h"
#include "editor/RecordSaver.h"

#include <QRegularExpression>

namespace {

using editor::Control;
using editor_test::LatLon;
using platform::Answer;
using testing_support::AnswerWith;

// A row entered in one system with its datum; where PROJ puts it, either as stated or as the
// inverse of a plane point; and what the check panel's own line must show again (plane metres,
// grades or a grid reference), empty for the degree and UTM systems.
struct SystemCase {
    const char* original;
    const char* datum;
    const char* geographic; // "" when the position is given in degrees
    const char* projected;
    double a, b; // x, y of the plane point, or latitude, longitude
    const char* checkLine;
};

const SystemCase kSystems[] = {
    {"deg 50.5 4.25", "WGS84", "", "", 50.5, 4.25, ""},
    {"dms 50.3015 -4.3", "WGS84", "", "", 50.504166666666667, -4.5, ""},
    {"utm 31 571670 5539221", "EUR-M", "EPSG:4230", "EPSG:23031", 571670, 5539221, ""},
    {"mgr 31 U ER7167039221", "EUR-M", "EPSG:4230", "EPSG:23031", 571670, 5539221, ""},
    {"grp 54.5 0", "NTF", "EPSG:4275", "EPSG:4807", 0, 54.5, "grades"},
    {"bng TG 5140913177", "OGB-M", "EPSG:4277", "EPSG:27700", 651409, 313177, "TG 51409 13177"},
    {"itm IO 1234567890", "IRL", "EPSG:4300", "EPSG:29902", 312345, 267890, "IO 12345 67890"},
    {"lmb 148888.27 171039.56", "BEL72", "EPSG:4313", "EPSG:31370", 148888.27, 171039.56, "metres"},
    {"ifb E43522", "BEL72", "EPSG:4313", "EPSG:31370", 149512, 169680, "metres"},
    {"lf1 650000 180000", "NTF", "EPSG:4275", "EPSG:27561", 650000, 180000, "metres"},
    {"lf2 550000 250000", "NTF", "EPSG:4275", "EPSG:27562", 550000, 250000, "metres"},
    {"lf3 700000 150000", "NTF", "EPSG:4275", "EPSG:27563", 700000, 150000, "metres"},
    {"lf4 565000 200000", "NTF", "EPSG:4275", "EPSG:27564", 565000, 200000, "metres"},
    {"lfe 600000 2400000", "NTF", "EPSG:4275", "EPSG:27572", 600000, 2400000, "metres"},
    {"nma 444584 377770", "MER", "EPSG:4261", "EPSG:26191", 444584, 377770, "metres"},
    {"sma 350000 250000", "MER", "EPSG:4261", "EPSG:26192", 350000, 250000, "metres"},
};

// The fields carry seven significant digits and LATITUDE is a single: within 2 m of PROJ.
constexpr double kToleranceMetres = 2.0;

class EntryConversionTest : public editor_test::EditorTest {
protected:
    // The user leaves box 2 after editing it: the box is typed again as it stands.
    void LeaveBox2() {
        const QString box = text(Control::EditBox2);
        Type(Control::EditBox2, box);
        editor::EditBox_LostFocus(state(), 2);
    }
    // Latitude and longitude as the fields hold them.
    LatLon Fields() {
        return {text(Control::ChampLatitude).toDouble(), text(Control::ChampLongitude).toDouble()};
    }
    static LatLon Reference(const SystemCase& c) {
        const LatLon entered =
            *c.geographic == '\0'
                ? LatLon{c.a, c.b}
                : editor_test::ReferenceInverse(c.geographic, c.projected, c.a, c.b);
        return editor_test::ReferenceShift(entered, geodesy::DatumIndex(c.datum),
                                           geodesy::Datums().DestIndex);
    }
    static double Metres(const LatLon& p, const LatLon& q) {
        return testref::GroundMetres(p.lat - q.lat, p.lon - q.lon, q.lat);
    }
    // The numbers of a check line.
    static std::vector<double> Numbers(const QString& line) {
        std::vector<double> numbers;
        static const QRegularExpression number(QStringLiteral("-?[0-9]*\\.?[0-9]+(E[-+][0-9]+)?"));
        for (auto it = number.globalMatch(line); it.hasNext();) {
            numbers.push_back(it.next().captured().toDouble());
        }
        return numbers;
    }
};

TEST_F(EntryConversionTest, EachSystemLoadsConvertsWithItsDatumAndSavesAgainstProj) {
    for (const SystemCase& c : kSystems) {
        SCOPED_TRACE(c.original);
        const std::int64_t counter =
            Add({QString::fromLatin1(c.original), QString::fromLatin1(c.datum)});
        OpenOn(counter);
        LeaveBox2();
        ASSERT_TRUE(prompter_.messages().empty()) << prompter_.messages().back().text.toStdString();
        ASSERT_EQ(editor::SauveEcran(state(), host_), 0);

        const document::Record row = Stored(counter);
        const LatLon expected = Reference(c);
        ASSERT_TRUE(row.LATITUDE && row.LONGITUDE);
        EXPECT_LT(Metres({*row.LATITUDE, *row.LONGITUDE}, expected), kToleranceMetres)
            << *row.LATITUDE << " " << *row.LONGITUDE << " against " << expected.lat << " "
            << expected.lon;
        EXPECT_EQ(row.ORIGINAL, QString::fromLatin1(c.original));
        EXPECT_EQ(row.DATUM, QString::fromLatin1(c.datum));

        // The check panel's own line gives the entered position back.
        const QString line = state().ValeurLibre;
        const std::string check = c.checkLine;
        if (check.empty()) {
            EXPECT_TRUE(line.isEmpty()) << line.toStdString();
        } else if (check == "metres") {
            const std::vector<double> xy = Numbers(line);
            ASSERT_EQ(xy.size(), 2U) << line.toStdString();
            EXPECT_NEAR(xy[0], c.a, 3.0) << line.toStdString();
            EXPECT_NEAR(xy[1], c.b, 3.0) << line.toStdString();
        } else if (check == "grades") {
            const std::vector<double> g = Numbers(line);
            ASSERT_EQ(g.size(), 2U) << line.toStdString();
            EXPECT_NEAR(g[0], c.b, 2e-5);
            EXPECT_NEAR(g[1], c.a, 2e-5);
        } else {
            // Letters then whole metres inside the square, within the fields' rounding.
            const QStringList parts = line.split(QLatin1Char(' '));
            const QStringList want = QString::fromLatin1(c.checkLine).split(QLatin1Char(' '));
            ASSERT_EQ(parts.size(), 3) << line.toStdString();
            EXPECT_EQ(parts[0], want[0]);
            EXPECT_EQ(parts[1].size(), 5);
            EXPECT_NEAR(parts[1].toDouble(), want[1].toDouble(), 3.0);
            EXPECT_NEAR(parts[2].toDouble(), want[2].toDouble(), 3.0);
        }
    }
}

TEST_F(EntryConversionTest, WithTheChangedFlagClearLeavingABoxDoesNothing) {
    OpenOn(Add({QStringLiteral("deg 50.5 4.25"), QStringLiteral("WGS84")}));
    state().FrameInputHighlighted = true;
    state().setText(Control::EditBox1, QStringLiteral(" 50 "));
    state().changed = false;
    editor::EditBox_LostFocus(state(), 1);
    editor::EditBox_LostFocus(state(), 2);
    EXPECT_EQ(text(Control::EditBox1), QStringLiteral(" 50 "));
    EXPECT_TRUE(state().FrameInputHighlighted);
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+0"));
}

TEST_F(EntryConversionTest, LeavingTheFirstBoxesOnlyTidiesThem) {
    editor::cmbSystem_Click(state(), 2);
    Type(Control::EditBox0, QStringLiteral(" 31 u "));
    editor::EditBox_LostFocus(state(), 0);
    EXPECT_EQ(text(Control::EditBox0), QStringLiteral("31U"));
    EXPECT_TRUE(text(Control::ChampLatitude).isEmpty());
}

TEST_F(EntryConversionTest, DegreesWithTheDestinationDatum) {
    editor::cmbSystem_Click(state(), 0);
    Type(Control::EditBox1, QStringLiteral("50,5"));
    Type(Control::EditBox2, QStringLiteral("4,35"));
    editor::EditBox_LostFocus(state(), 2);
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+50.5"));
    EXPECT_EQ(text(Control::ChampLongitude), QStringLiteral("+4.35"));

    // Five decimals first, then the check panel's seven significant digits.
    Type(Control::EditBox1, QStringLiteral("50.123456"));
    Type(Control::EditBox2, QStringLiteral("120.123456"));
    editor::EditBox_LostFocus(state(), 2);
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+50.12346"));
    EXPECT_EQ(text(Control::ChampLongitude), QStringLiteral("+120.1235"));
}

TEST_F(EntryConversionTest, TheTextFormsOfTheConversion) {
    EXPECT_EQ(editor::FiveDecimalText(50.5), QStringLiteral("+50.5"));
    EXPECT_EQ(editor::FiveDecimalText(-4.35), QStringLiteral("-4.35"));
    EXPECT_EQ(editor::FiveDecimalText(0.5), QStringLiteral("+.5"));
    EXPECT_EQ(editor::FiveDecimalText(50), QStringLiteral("+50."));
    EXPECT_EQ(editor::FiveDecimalText(120.123456), QStringLiteral("+120.12346"));
    EXPECT_EQ(editor::FiveDecimalText(0.000005), QStringLiteral("+.00001")); // half away from 0
    EXPECT_EQ(editor::PaddedFiveDecimalText(50.3, 2), QStringLiteral("+50.30000"));
    EXPECT_EQ(editor::PaddedFiveDecimalText(-4.3, 3), QStringLiteral("-004.30000"));
    EXPECT_EQ(editor::SignedGeneralText(0.5), QStringLiteral("+.5"));
    EXPECT_EQ(editor::SignedGeneralText(-0.25), QStringLiteral("-.25"));
    EXPECT_EQ(editor::SignedGeneralText(0), QStringLiteral("+0"));
    EXPECT_EQ(editor::SecondsText(5.25), QStringLiteral("05.3''"));
    EXPECT_EQ(editor::SecondsText(59.96), QStringLiteral("60.0''"));
}

TEST_F(EntryConversionTest, BlankDegreeBoxesConvertNothing) {
    editor::cmbSystem_Click(state(), 0);
    state().setText(Control::ChampLatitude, QStringLiteral("12"));
    Type(Control::EditBox1, QStringLiteral("  "));
    Type(Control::EditBox2, QStringLiteral("4"));
    editor::EditBox_LostFocus(state(), 2);
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("12"));
}

TEST_F(EntryConversionTest, DmsReadsEachBoxOnItsOwn) {
    editor::cmbSystem_Click(state(), 1);
    const std::tuple<const char*, const char*, double, double> cases[] = {
        {"50.3012", "-4.2130", 50 + 30 / 60.0 + 12 / 3600.0, -(4 + 21 / 60.0 + 30 / 3600.0)},
        {"50.3012", "4.15", 50 + 30 / 60.0 + 12 / 3600.0, 4.25},
    };
    for (const auto& [lat, lon, wantLat, wantLon] : cases) {
        Type(Control::EditBox1, QString::fromLatin1(lat));
        Type(Control::EditBox2, QString::fromLatin1(lon));
        editor::EditBox_LostFocus(state(), 2);
        // Within the seven significant digits the fields end with.
        EXPECT_NEAR(Fields().lat, wantLat, 5e-6);
        EXPECT_NEAR(Fields().lon, wantLon, 5e-6);
    }
}

TEST_F(EntryConversionTest, UtmWithoutAZoneOrAnEasting) {
    editor::cmbSystem_Click(state(), 2);
    state().setText(Control::ChampLatitude, QStringLiteral("12"));
    state().ValeurDMS = QStringLiteral("old");
    Type(Control::EditBox0, QStringLiteral("0"));
    Type(Control::EditBox1, QStringLiteral("500000"));
    Type(Control::EditBox2, QStringLiteral("5000000"));
    editor::EditBox_LostFocus(state(), 2);
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("12"));
    EXPECT_EQ(state().ValeurDMS, QStringLiteral("old")); // nothing at all

    Type(Control::EditBox0, QStringLiteral("31"));
    Type(Control::EditBox1, QStringLiteral("0"));
    editor::EditBox_LostFocus(state(), 2);
    // The fields stay as they were; only the check panel is refreshed.
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+12"));
    EXPECT_EQ(state().ValeurDMS.left(3), QStringLiteral("12°"));
}

TEST_F(EntryConversionTest, UtmOnTheCentralMeridianAndSouthOfTheEquator) {
    const int eurM = Index("EUR-M");
    editor::cmbSystem_Click(state(), 2);
    Type(Control::EditBox0, QStringLiteral("31"));
    Type(Control::EditBox1, QStringLiteral("500000"));
    Type(Control::EditBox2, QStringLiteral("5000000"));
    editor::EditBox_LostFocus(state(), 2);
    EXPECT_NEAR(Fields().lon, 3.0, 1e-6);
    const LatLon north = editor_test::ReferenceInverse("EPSG:4230", "EPSG:23031", 500000, 5000000);
    EXPECT_NEAR(Fields().lat, north.lat, 1e-5);

    Type(Control::EditBox2, QStringLiteral("-1000000"));
    editor::EditBox_LostFocus(state(), 2);
    const LatLon south = editor_test::ReferenceInverse("+proj=longlat +ellps=intl +type=crs",
                                                       "+proj=utm +zone=31 +south +ellps=intl "
                                                       "+type=crs",
                                                       500000, 1000000);
    EXPECT_NEAR(Fields().lat, south.lat, 1e-5);
    EXPECT_LT(Fields().lat, 0);
    EXPECT_EQ(geodesy::Datums().InputDatum, eurM);
}

TEST_F(EntryConversionTest, AnOddMgrsSquareIsRefusedAsInvalidUtm) {
    editor::cmbSystem_Click(state(), 3);
    Type(Control::EditBox0, QStringLiteral("31"));
    Type(Control::EditBox1, QStringLiteral("U"));
    Type(Control::EditBox2, QStringLiteral("FR1664123"));
    prompter_.expect(AnswerWith(Answer::Ok));
    editor::EditBox_LostFocus(state(), 2);
    ASSERT_EQ(prompter_.messages().size(), 1U);
    EXPECT_EQ(prompter_.messages()[0].text, QStringLiteral("UTM Non valide"));
    EXPECT_EQ(prompter_.messages()[0].icon, platform::Icon::Exclamation);
    EXPECT_EQ(prompter_.beeps(), 1);
    EXPECT_EQ(state().focusRequest, Control::EditBox2);
    EXPECT_TRUE(text(Control::ChampLatitude).isEmpty());
}

TEST_F(EntryConversionTest, ReferencesThatNameNoSquareAreRefusedAndLeaveThePosition) {
    struct Case {
        int mode;
        const char* boxes[3];
        const char* says;
    };
    const Case cases[] = {
        {3, {"31", "U", "ZR7167039221"}, "OUTSIDE RANGE"}, // no such column in zone 31
        {3, {"32", "X", "MA0000000000"}, "INVALID MGRS"},  // no zone 32 in band X
        {3, {"61", "U", "ER7167039221"}, "1 to 60"},
        {3, {"31", "I", "ER7167039221"}, "latitude band"},
        {3, {"31", "U", "E1"}, "square letters"},
        {5, {"", "XQ", "3080"}, "no 100 km square"},
        {5, {"", "TI", "3080"}, "no 100 km square"},
        {5, {"", "TQ", "308"}, "even number"},
        {6, {"", "II", "3080"}, "no 100 km square"},
        {8, {"", "", "N5"}, "A to M"},
        {8, {"", "", "I5"}, "A to M"},
        {8, {"", "", "E465"}, "1 to 5"},
        {8, {"", "", "E439"}, "1 to 8"},
        {8, {"", "", "E43"}, "2, 4 or 6"},
        {8, {"", "", "E43559"}, "1 to 4"},
        {8, {"", "", "15"}, "A to M"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.boxes[2]);
        editor::cmbSystem_Click(state(), c.mode);
        state().setText(Control::ChampLatitude, QStringLiteral("+50.5"));
        state().setText(Control::ChampLongitude, QStringLiteral("+4.5"));
        for (int i = 0; i < 3; ++i) {
            Type(editor::EditBoxControl(i), QString::fromLatin1(c.boxes[i]));
        }
        prompter_.expect(AnswerWith(Answer::Ok));
        editor::EditBox_LostFocus(state(), 2);
        ASSERT_FALSE(prompter_.messages().empty());
        EXPECT_TRUE(prompter_.messages().back().text.contains(QString::fromLatin1(c.says)))
            << prompter_.messages().back().text.toStdString();
        EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+50.5"));
        EXPECT_EQ(text(Control::ChampLongitude), QStringLiteral("+4.5"));
        EXPECT_EQ(state().focusRequest, Control::EditBox2);
        state().focusRequest = Control::None;
    }
}

TEST_F(EntryConversionTest, ShortReferencesPointJustInsideTheCentreOfTheirSquare) {
    const int dest = geodesy::Datums().DestIndex;
    struct Case {
        int mode;
        const char* boxes[3];
        const char* datum;
        const char* geographic;
        const char* projected;
        double x, y;
    };
    const Case cases[] = {
        {5, {"", "SM", "2354"}, "OGB-M", "EPSG:4277", "EPSG:27700", 123499, 254499},
        {6, {"", "IL", "2354"}, "IRL", "EPSG:4300", "EPSG:29902", 23499, 254499},
        {3,
         {"6", "T", "TQ63548742"},
         "EUR-M",
         "+proj=longlat +ellps=intl +type=crs",
         "+proj=utm +zone=6 +ellps=intl +type=crs",
         263544,
         4987424},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.boxes[2]);
        editor::cmbSystem_Click(state(), c.mode);
        for (int i = 0; i < 3; ++i) {
            Type(editor::EditBoxControl(i), QString::fromLatin1(c.boxes[i]));
        }
        editor::EditBox_LostFocus(state(), 2);
        const LatLon expected = editor_test::ReferenceShift(
            editor_test::ReferenceInverse(c.geographic, c.projected, c.x, c.y),
            geodesy::DatumIndex(c.datum), dest);
        EXPECT_LT(Metres(Fields(), expected), kToleranceMetres);
    }
}

TEST_F(EntryConversionTest, ParisGradesFromBlankBoxesAreTheEquatorOnTheParisMeridian) {
    editor::cmbSystem_Click(state(), 4);
    state().lblDatum = QStringLiteral("EUR-M"); // the destination datum: no shift
    geodesy::Datums().InputDatum = Index("EUR-M");
    Type(Control::EditBox2, QString());
    state().markChanged();
    editor::EditBox_LostFocus(state(), 2);
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+0"));
    // The Paris meridian of EPSG 8903, 2°20'14.025" = 2.33722917°, to seven digits.
    EXPECT_EQ(text(Control::ChampLongitude), QStringLiteral("+2.337229"));
}

TEST_F(EntryConversionTest, PlaneZerosConvertNothing) {
    for (const int mode : {7, 9, 13, 14}) {
        SCOPED_TRACE(mode);
        editor::cmbSystem_Click(state(), mode);
        state().setText(Control::ChampLatitude, QStringLiteral("12"));
        Type(Control::EditBox1, QStringLiteral("150000"));
        Type(Control::EditBox2, QStringLiteral("0"));
        editor::EditBox_LostFocus(state(), 2);
        EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("12"));
    }
}

TEST_F(EntryConversionTest, LeavingTheLongitudeMakesNoMgrsPositionOutOfAnotherSystemsBoxes) {
    platform::Settings().UtmAjust = 2;
    editor::cmbSystem_Click(state(), 2); // UTM: zone, easting, northing are no MGRS reference
    Type(Control::EditBox0, QStringLiteral("31"));
    Type(Control::EditBox1, QStringLiteral("500000"));
    Type(Control::EditBox2, QStringLiteral("5000000"));
    Type(Control::ChampLatitude, QStringLiteral("50.5"));
    Type(Control::ChampLongitude, QStringLiteral("4.5"));
    editor::ChampLongitude_LostFocus(state());
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+50.5"));
    EXPECT_EQ(text(Control::ChampLongitude), QStringLiteral("+4.5"));
    EXPECT_TRUE(prompter_.messages().empty());

    // With MGRS entered, the reference is converted again.
    editor::cmbSystem_Click(state(), 3);
    Type(Control::EditBox0, QStringLiteral("31"));
    Type(Control::EditBox1, QStringLiteral("U"));
    Type(Control::EditBox2, QStringLiteral("ER7167039221"));
    editor::ChampLongitude_LostFocus(state());
    const LatLon expected =
        editor_test::ReferenceInverse("EPSG:4230", "EPSG:23031", 571670, 5539221);
    EXPECT_LT(Metres(Fields(), expected), kToleranceMetres);
}

TEST_F(EntryConversionTest, AnErrorOfTheConversionGoesToTheErrorBox) {
    editor::cmbSystem_Click(state(), 0);
    geodesy::Datums().InputDatum = 0; // a datum code the table does not hold
    Type(Control::EditBox1, QStringLiteral("50"));
    Type(Control::EditBox2, QStringLiteral("4"));
    prompter_.expect(AnswerWith(Answer::Ok));
    editor::EditBox_LostFocus(state(), 2);
    ASSERT_EQ(prompter_.messages().size(), 1U);
    EXPECT_TRUE(prompter_.messages()[0].text.startsWith(QStringLiteral("Error 9\r")));
}

TEST_F(EntryConversionTest, DmsEnDegresAddsThePartsInSinglePrecision) {
    EXPECT_EQ(editor::DmsEnDegres(52, 57, 19.8), static_cast<float>(52 + 57 / 60.0 + 19.8 / 3600));
}

} // namespace

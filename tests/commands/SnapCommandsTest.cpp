#include "commands/SnapCommands.h"

#include "CommandsFixture.h"
#include "commands/SnapRules.h"
#include "geodesy/GridDigits.h"
#include "geodesy/Ifbl.h"

#include <cmath>

namespace {

using testing_support::AnswerWith;
using testing_support::CommandsTest;
using testing_support::ExpectPosition;
using testing_support::ScriptedPrompter;
using testing_support::TypeText;

class SnapCommandsTest : public CommandsTest {};

// Asks to stop as soon as the walk looks.
class CancellingFeedback final : public platform::Feedback {
public:
    CancellingFeedback() { platform::SetFeedback(this); }
    ~CancellingFeedback() override { platform::SetFeedback(nullptr); }
    void showMessage(const QString&) override { messageShown = true; }
    void closeMessage() override { messageShown = false; }
    void setProgressVisible(bool) override {}
    void setProgressValue(int) override {}
    bool cancelRequested() override { return true; }
    bool messageShown = false;
};

TEST_F(SnapCommandsTest, ParisGradeCells) {
    struct Case {
        double lat, lon;
        float snappedLat, snappedLon;
    };
    // Longitudes from the Paris meridian of EPSG 8903, 2°20'14.025" = 2.33722917°.
    const Case cases[] = {
        {48.85, 2.35, 48.87F, 2.33723F},
        {43.3, 5.4, 43.29F, 5.57723F},
        {-10.0, 2.35, -9.99F, 2.33723F},
        {45.0, 2.337229, 45.09F, 2.33723F}, // on the Paris meridian
    };
    for (const Case& c : cases) {
        Row("deg " + QString::number(c.lat, 'f', 6) + " " + QString::number(c.lon, 'f', 6),
            QString("EUR-M"));
    }
    ShowAll();
    ScriptedPrompter prompter;
    commands::AjusteGrades();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(Position(i), std::make_pair(cases[i].snappedLat, cases[i].snappedLon)) << i;
    }
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(feedback_.messages, QStringList{"Adjusting coordinates..."});
    EXPECT_FALSE(feedback_.messageShown);
    EXPECT_FALSE(feedback_.progressShown);
}

TEST_F(SnapCommandsTest, GradesTypedOnACellLineAreInTheCellItBegins) {
    // Latitude cells [54.6, 54.8) and [54.8, 55.0) grades; longitude cells centred on multiples of
    // 0.4 grade, [1.0, 1.4) and [-0.6, -0.2). Degrees from the Paris meridian of EPSG 8903.
    Row(QString("grp 54.6 1"), QString("EUR-M"));
    Row(QString("grp 54.8 -0.6"), QString("EUR-M"));
    ShowAll();
    ScriptedPrompter prompter;
    commands::AjusteGrades();
    EXPECT_EQ(Position(0), std::make_pair(49.23F, 3.41723F)); // 54.7 and 1.2 grades
    EXPECT_EQ(Position(1), std::make_pair(49.41F, 1.97723F)); // 54.9 and -0.4 grades
}

TEST_F(SnapCommandsTest, UnknownDatumsAreSkippedCountedAndToldOnce) {
    Row(QString("deg 48.85 2.35"), QString("NOPE"), 11, 12);
    Row(QString("deg 48.85 2.35"), QString("  "), 13, 14); // blank: WGS84
    Row(QString("deg 48.85 2.35"), QString("ZZZ"), 15, 16);
    Row(QString("deg 48.85 2.35"), QString("EUR-M"), 17, 18);
    ShowAll();
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    const commands::WalkResult result = commands::AjusteGrades();
    EXPECT_EQ(result.unknownDatums, 2);
    EXPECT_EQ(Position(0), std::make_pair(11.0F, 12.0F));
    EXPECT_EQ(Position(2), std::make_pair(15.0F, 16.0F));
    EXPECT_NE(Position(1), std::make_pair(13.0F, 14.0F));
    EXPECT_EQ(Position(3), std::make_pair(48.87F, 2.33723F));
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_TRUE(prompter.messages()[0].text.startsWith("2 "))
        << prompter.messages()[0].text.toStdString();
}

TEST_F(SnapCommandsTest, APositionUnknownOnOneAxisStaysUnknown) {
    Row(QString("deg 999 4.2"), QString("EUR-M"), 11, 12);
    Row(QString("deg 50.7 999"), QString("EUR-M"), 13, 14);
    Row(QString("deg 50.7 4.2"), QString("EUR-M"), 15, 16);
    ShowAll();
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    commands::AjusteDegreesCells(1.0F, 1.0F);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, commands::UnsnappedMessage(2));
    EXPECT_EQ(Position(0), std::make_pair(11.0F, 12.0F));
    EXPECT_EQ(Position(1), std::make_pair(13.0F, 14.0F));
    EXPECT_EQ(Position(2), std::make_pair(50.5F, 4.5F));
}

TEST_F(SnapCommandsTest, ACancelOrAFailureLeavesTheTableAsItWas) {
    Row(QString("deg 48.85 2.35"), QString("EUR-M"), 11, 12);
    Row(QString("lmb 1e308 1e308"), QString("BEL72"), 13, 14);
    ShowAll();
    {
        ScriptedPrompter prompter;
        EXPECT_THROW(commands::AjusteGrades(), std::exception);
        EXPECT_EQ(Position(0), std::make_pair(11.0F, 12.0F));
        EXPECT_FALSE(feedback_.messageShown);
        EXPECT_FALSE(feedback_.progressShown);
    }
    document::WorkDb().exec("DELETE FROM DOVAZOV WHERE ORIGINAL LIKE 'lmb%'");
    ShowAll();
    CancellingFeedback cancelling;
    ScriptedPrompter prompter;
    EXPECT_TRUE(commands::AjusteGrades().cancelled);
    EXPECT_EQ(Position(0), std::make_pair(11.0F, 12.0F));
    EXPECT_EQ(prompter.beeps(), 0);
    EXPECT_FALSE(cancelling.messageShown);
}

TEST_F(SnapCommandsTest, GridSquaresAfterCancelDoNothing) {
    Row(QString("deg 48.85 2.35"), QString("EUR-M"), 11, 12);
    ShowAll();
    ScriptedPrompter prompter;
    commands::AjusteCoor(false);
    EXPECT_EQ(Position(0), std::make_pair(11.0F, 12.0F));
    EXPECT_EQ(prompter.beeps(), 0);
    EXPECT_TRUE(feedback_.messages.isEmpty());
}

// UTM squares on ED50 (the default destination EUR-M) against PROJ's ED50 UTM zones: the snapped
// point is the square's centre less 1 m, as the grid digits are completed.
TEST_F(SnapCommandsTest, UtmSquaresAgainstProj) {
    struct Case {
        double lat, lon;
        const char* utm; // the zone's ED50 UTM in PROJ
        int size;        // UtmAjust
        double cell;     // metres
        double centre;   // the square's point: its centre, 1 m short (55 m beyond for 5 km)
    };
    const Case cases[] = {
        {50.85, 4.35, "EPSG:23031", geodesy::kSnap1km, 1000, 499},
        {50.85, 5.99999, "EPSG:23031", geodesy::kSnap10km, 10000, 4999}, // west of the zone edge
        {50.85, 6.00001, "EPSG:23032", geodesy::kSnap10km, 10000, 4999}, // east of it
        {57.0, 4.0, "EPSG:23032", geodesy::kSnap1km, 1000, 499},         // band V, south Norway
        {55.99, 4.0, "EPSG:23031", geodesy::kSnap100m, 100, 49},         // band U below it
        {40.2, -3.7, "EPSG:23030", geodesy::kSnap5km, 5000, 2555},
        {45.5, 12.3, "EPSG:23033", geodesy::kSnap100km, 100000, 49999},
    };
    for (const Case& c : cases) {
        document::WorkDb().exec("DELETE FROM DOVAZOV");
        Row("deg " + QString::number(c.lat, 'f', 6) + " " + QString::number(c.lon, 'f', 6),
            QString("EUR-M"));
        ShowAll();
        platform::Settings().UtmAjust = static_cast<std::int16_t>(c.size);
        platform::Settings().GridAjust = commands::kGridUtm;
        ScriptedPrompter prompter;
        commands::AjusteCoor(true);
        const testref::ProjGrid grid("EPSG:4230", c.utm);
        double x = 0;
        double y = 0;
        grid.forward(c.lat, c.lon, x, y);
        // Our references are to the nearest metre before the square is taken.
        x = std::round(x);
        y = std::round(y);
        const double cx = std::floor(x / c.cell) * c.cell + c.centre;
        const double cy = std::floor(y / c.cell) * c.cell + c.centre;
        SCOPED_TRACE(std::to_string(c.lat) + " " + std::to_string(c.lon));
        ExpectPosition(Position(0), FromPlane("EPSG:4230", c.utm, cx, cy, "EUR-M"));
    }
}

// Zones 1 to 9 (written with a blank before their digit) are snapped like the others, north and
// south, against PROJ's WGS84 UTM zones; a row no square holds is counted and told at the end.
TEST_F(SnapCommandsTest, UtmZonesOneToNineAreSnappedAndRowsLeftAreTold) {
    SetDestination("WGS84");
    struct Case {
        double lat, lon;
        int zone;
    };
    const Case cases[] = {
        {61.2, -149.9, 6},  {21.3, -157.8, 4}, {-17.5, -149.6, 6}, {52.0, -176.5, 1},
        {-14.3, -170.7, 2}, {58.3, -134.4, 8}, {40.0, -128.5, 9},  {-45.0, -160.0, 4},
        {48.5, -123.4, 10}, {0.5, -179.9, 1},  {-0.5, -122.0, 10},
    };
    for (const Case& c : cases) {
        Row("deg " + QString::number(c.lat, 'f', 4) + " " + QString::number(c.lon, 'f', 4),
            QString("WGS84"));
    }
    Row(QString("deg 85 -150"), QString("WGS84"), 13, 14); // polar: no UTM square
    Row(QString("MGR 6 V"), QString("WGS84"), 15, 16);     // no position
    ShowAll();
    platform::Settings().UtmAjust = geodesy::kSnap10km;
    platform::Settings().GridAjust = commands::kGridUtm;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    const commands::WalkResult result = commands::AjusteCoor(true);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::string utm = "EPSG:32" + std::string(c.lat >= 0 ? "6" : "7") +
                                (c.zone < 10 ? "0" : "") + std::to_string(c.zone);
        const testref::ProjGrid grid("EPSG:4326", utm.c_str());
        double x = 0;
        double y = 0;
        grid.forward(c.lat, c.lon, x, y);
        SCOPED_TRACE(utm);
        ExpectPosition(Position(i),
                       FromPlane("EPSG:4326", utm.c_str(),
                                 std::floor(std::round(x) / 10000) * 10000 + 4999,
                                 std::floor(std::round(y) / 10000) * 10000 + 4999, "WGS84"));
    }
    EXPECT_EQ(Position(std::size(cases)), std::make_pair(13.0F, 14.0F));
    EXPECT_EQ(Position(std::size(cases) + 1), std::make_pair(15.0F, 16.0F));
    EXPECT_EQ(result.unsnapped, 1);
    EXPECT_EQ(result.noPosition, 1);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, commands::UnsnappedMessage(2));
}

TEST_F(SnapCommandsTest, MgrsTextsInTheDestinationDatumAreSnappedOnTheirText) {
    Row(QString("MGR 31 U ER7167039221"), QString("EUR-M"));
    Row(QString("MGR 31 U ER7167039221"), QString("WGS84")); // converted from its position
    Row(QString("MGR 31 U"), QString("EUR-M"), 11, 12);      // no square part
    Row(QString("deg 85 10"), QString("EUR-M"), 13, 14);     // polar: no UTM square
    ShowAll();
    platform::Settings().UtmAjust = geodesy::kSnap1km;
    platform::Settings().GridAjust = commands::kGridUtm;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok)); // the two rows left
    commands::AjusteCoor(true);
    EXPECT_EQ(prompter.messages().at(0).text, commands::UnsnappedMessage(2));
    ExpectPosition(Position(0), FromPlane("EPSG:4230", "EPSG:23031", 571499, 5539499, "EUR-M"));
    // Read as a WGS84 reference, shifted to ED50, then snapped on ED50's UTM.
    const testref::ProjGrid wgs84("EPSG:4326", "EPSG:32631");
    double lat = 0;
    double lon = 0;
    wgs84.inverse(571670, 5539221, lat, lon);
    double edLat = 0;
    double edLon = 0;
    geodesy::ShiftDatum(lat, lon, 0, edLat, edLon, Index("WGS84"), Index("EUR-M"));
    const testref::ProjGrid ed50("EPSG:4230", "EPSG:23031");
    double x = 0;
    double y = 0;
    ed50.forward(edLat, edLon, x, y);
    ExpectPosition(Position(1), FromPlane("EPSG:4230", "EPSG:23031",
                                          std::floor(std::round(x) / 1000) * 1000 + 499,
                                          std::floor(std::round(y) / 1000) * 1000 + 499, "EUR-M"));
    EXPECT_EQ(Position(2), std::make_pair(11.0F, 12.0F));
    EXPECT_EQ(Position(3), std::make_pair(13.0F, 14.0F));
}

TEST_F(SnapCommandsTest, BritishAndIrishSquaresAgainstProj) {
    Row(QString("BNG TQ 1234567890"), QString("OGB-M"));  // snapped on its text
    Row(QString("deg 51.5 -0.12"), QString("WGS84"));     // through OSGB 36
    Row(QString("deg 40 -20"), QString("WGS84"), 11, 12); // no British square
    Row(QString("ITM IO 1234567890"), QString("IRL"));
    ShowAll();
    platform::Settings().UtmAjust = geodesy::kSnap1km;
    platform::Settings().GridAjust = commands::kGridBritish;
    {
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok)); // the row no British square holds
        EXPECT_EQ(commands::AjusteCoor(true).unsnapped, 1);
    }
    ExpectPosition(Position(0), FromPlane("EPSG:4277", "EPSG:27700", 512499, 167499, "OGB-M"));
    double lat = 0;
    double lon = 0;
    geodesy::ShiftDatum(51.5, -0.12, 0, lat, lon, Index("WGS84"), Index("OGB-M"));
    const testref::ProjGrid bng("EPSG:4277", "EPSG:27700");
    double x = 0;
    double y = 0;
    bng.forward(lat, lon, x, y);
    ExpectPosition(Position(1),
                   FromPlane("EPSG:4277", "EPSG:27700", std::floor(x / 1000) * 1000 + 499,
                             std::floor(y / 1000) * 1000 + 499, "OGB-M"));
    EXPECT_EQ(Position(2), std::make_pair(11.0F, 12.0F));

    platform::Settings().GridAjust = commands::kGridIrish;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    commands::AjusteCoor(true);
    // Irish square O: 300 km east, 200 km north.
    ExpectPosition(Position(3), FromPlane("EPSG:4300", "EPSG:29902", 312499, 267499, "IRL"));
}

TEST_F(SnapCommandsTest, IfblSquaresAgainstProj) {
    SetDestination("BEL72");
    const testref::ProjGrid lambert("EPSG:4313", "EPSG:31370");
    const auto at = [&](double x, double y) {
        double lat = 0;
        double lon = 0;
        lambert.inverse(x, y, lat, lon);
        return "deg " + QString::number(lat, 'f', 6) + " " + QString::number(lon, 'f', 6);
    };
    Row(QString("IFB M0"), QString("BEL72"));
    Row(QString("IFB A9"), QString("EUR-M")); // snapped on its code whatever its datum
    Row(QString("IFB E435"), QString("BEL72"));
    Row(at(2011, 100000), QString("BEL72"), 11, 12);   // west of the grid
    Row(at(2013, 100000), QString("BEL72"));           // just inside
    Row(at(150000, 258181), QString("BEL72"), 13, 14); // north of the grid
    ShowAll();
    {
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok)); // the rows off the grid
        EXPECT_EQ(commands::AjusteIfbl(0).unsnapped, 2);
    }
    ExpectPosition(Position(0), FromPlane("EPSG:4313", "EPSG:31370", 18012, 28180, "BEL72"));
    ExpectPosition(Position(1), FromPlane("EPSG:4313", "EPSG:31370", 306012, 248180, "BEL72"));
    EXPECT_EQ(Position(3), std::make_pair(11.0F, 12.0F));
    EXPECT_EQ(Position(5), std::make_pair(13.0F, 14.0F));

    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    commands::AjusteIfbl(2);
    const auto e435 = Position(2); // a 4 km code keeps its square's centre under 1 x 1 km
    ExpectPosition(Position(4), FromPlane("EPSG:4313", "EPSG:31370", 2512, 99680, "BEL72"));
    EXPECT_EQ(Position(3), std::make_pair(11.0F, 12.0F));
    double x = 0;
    double y = 0;
    std::int32_t status = 0;
    std::string code = "E435";
    geodesy::IfblToLambert(code, x, y, status);
    ExpectPosition(e435, FromPlane("EPSG:4313", "EPSG:31370", x, y, "BEL72"));
}

TEST_F(SnapCommandsTest, MeshPrompts) {
    {
        ScriptedPrompter prompter;
        prompter.expect(TypeText(""));
        EXPECT_FALSE(commands::AskMeshSizes());
        EXPECT_EQ(prompter.beeps(), 0);
    }
    {
        ScriptedPrompter prompter;
        prompter.expect(TypeText("100"));
        prompter.expect(TypeText("-0.5"));
        prompter.expect(TypeText("200"));
        prompter.expect(TypeText("180"));
        platform::Settings().Silence = 1; // the prompts beep all the same
        EXPECT_EQ(commands::AskMeshSizes(), std::make_pair(0.5F, 180.0F));
        EXPECT_EQ(prompter.beeps(), 2);
        ASSERT_EQ(prompter.inputs().size(), 4U);
        EXPECT_EQ(prompter.inputs()[0].prompt, platform::ResText(166));
        EXPECT_EQ(prompter.inputs()[1].prompt, platform::ResText(166));
        EXPECT_EQ(prompter.inputs()[3].prompt, platform::ResText(168));
        EXPECT_EQ(prompter.inputs()[3].title, platform::ResText(167));
    }
    ScriptedPrompter prompter;
    prompter.expect(TypeText("999"));
    prompter.expect(TypeText("0,5")); // reads as 0: the command ends
    EXPECT_FALSE(commands::AskMeshSizes());
}

} // namespace

namespace {

// Either side of a 100 km line of the British grid (TQ | TR, SV's row | the next): the square
// that holds the point, never its neighbour.
TEST_F(SnapCommandsTest, BritishSquaresEitherSideOfA100kmLine) {
    const testref::ProjGrid bng("EPSG:4277", "EPSG:27700");
    const double points[][2] = {{599999.3, 150000.7}, {600000.7, 149999.3}};
    for (const auto& p : points) {
        double lat = 0;
        double lon = 0;
        bng.inverse(p[0], p[1], lat, lon);
        Row("deg " + QString::number(lat, 'f', 6) + " " + QString::number(lon, 'f', 6),
            QString("OGB-M"));
    }
    ShowAll();
    platform::Settings().UtmAjust = geodesy::kSnap1km;
    platform::Settings().GridAjust = commands::kGridBritish;
    ScriptedPrompter prompter;
    commands::AjusteCoor(true);
    for (std::size_t i = 0; i < std::size(points); ++i) {
        SCOPED_TRACE(i);
        ExpectPosition(Position(i),
                       FromPlane("EPSG:4277", "EPSG:27700",
                                 std::floor(points[i][0] / 1000) * 1000 + 499,
                                 std::floor(points[i][1] / 1000) * 1000 + 499, "OGB-M"));
    }
}

} // namespace

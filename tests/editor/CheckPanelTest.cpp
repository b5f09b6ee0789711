#include "editor/CheckPanel.h"

#include "EditorFixture.h"
#include "EditorReference.h"
#include "editor/DatumChoice.h"

#include <GeographicLib/MGRS.hpp>
#include <QRegularExpression>

namespace {

using editor::Control;
using editor_test::LatLon;
using platform::Answer;
using testing_support::AnswerWith;

class CheckPanelTest : public editor_test::EditorTest {
protected:
    void Check(const QString& lat, const QString& lon) {
        state().setText(Control::ChampLatitude, lat);
        state().setText(Control::ChampLongitude, lon);
        editor::ControleRecalcul(state());
    }
    // The numbers of a label, exponents included.
    static std::vector<double> Numbers(const QString& line) {
        std::vector<double> numbers;
        static const QRegularExpression number(QStringLiteral("-?[0-9]*\\.?[0-9]+(E[-+][0-9]+)?"));
        for (auto it = number.globalMatch(line); it.hasNext();) {
            numbers.push_back(it.next().captured().toDouble());
        }
        return numbers;
    }
};

TEST_F(CheckPanelTest, TheFieldsTakeTheirFinalFormAndShowInDegreesMinutesSeconds) {
    Check(QStringLiteral("50,5"), QStringLiteral("4,35"));
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+50.5"));
    EXPECT_EQ(text(Control::ChampLongitude), QStringLiteral("+4.35"));
    EXPECT_EQ(state().ValeurDMS, QStringLiteral("50° 30' 00.0'' 4° 21' 00.0''"));

    Check(QStringLiteral("-33.5"), QStringLiteral("-.5"));
    EXPECT_EQ(text(Control::ChampLongitude), QStringLiteral("-.5"));
    EXPECT_EQ(state().ValeurDMS, QStringLiteral("-33° 30' 00.0'' -0° 30' 00.0''"));

    // 0.1246° = 7' 28.56''; -0.0 and an angle that shows as zero take no sign.
    Check(QStringLiteral("-0.1246"), QStringLiteral("-0.0"));
    EXPECT_EQ(state().ValeurDMS, QStringLiteral("-0° 7' 28.6'' 0° 0' 00.0''"));
    Check(QStringLiteral("-0.00001"), QStringLiteral("-0.99999"));
    EXPECT_EQ(state().ValeurDMS, QStringLiteral("0° 0' 00.0'' -0° 59' 60.0''"));
}

TEST_F(CheckPanelTest, SecondsThatRoundUpShowSixty) {
    // 59.97 seconds written with one decimal.
    EXPECT_EQ(editor::DmsText(50 + 59.97 / 3600.0), QStringLiteral("50° 0' 60.0''"));
}

TEST_F(CheckPanelTest, NoPositionShowsNoUtmWhenTheDatumsAgree) {
    platform::Settings().InputMode = 7;
    state().ValeurLibre = QStringLiteral("kept");
    Check(QString(), QString());
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+0"));
    EXPECT_EQ(text(Control::ChampLongitude), QStringLiteral("+0"));
    EXPECT_EQ(state().ValeurDMS, QStringLiteral("0° 0' 00.0'' 0° 0' 00.0''"));
    EXPECT_TRUE(state().ValeurUtmMetrique.isEmpty());
    EXPECT_TRUE(state().ValeurUtmAlpha.isEmpty());
    EXPECT_EQ(state().ValeurLibre, QStringLiteral("kept"));

    // With another UTM datum the point is shifted first and shown like any other.
    geodesy::Datums().UTMIndex = Index("WGS84");
    Check(QString(), QString());
    EXPECT_FALSE(state().ValeurUtmMetrique.isEmpty());
}

TEST_F(CheckPanelTest, UtmAndMgrsOfTheUtmDatumAgainstProjAndGeographicLib) {
    const LatLon points[] = {{50.8, 4.35}, {-33.9, 18.4}, {64.1, -21.9}};
    for (const LatLon& p : points) {
        SCOPED_TRACE(p.lat);
        Check(QString::number(p.lat), QString::number(p.lon));
        const int zone = static_cast<int>(std::floor((p.lon + 180) / 6)) + 1;
        const std::string utm = "+proj=utm +zone=" + std::to_string(zone) +
                                (p.lat < 0 ? " +south" : "") + " +ellps=intl +type=crs";
        double x = 0, y = 0;
        editor_test::ReferenceForward("+proj=longlat +ellps=intl +type=crs", utm.c_str(), p, x, y);
        // E= and N= with seven significant digits.
        const std::vector<double> en = Numbers(state().ValeurUtmMetrique);
        ASSERT_EQ(en.size(), 2U) << state().ValeurUtmMetrique.toStdString();
        EXPECT_NEAR(en[0], x, 1.0);
        EXPECT_NEAR(en[1], y, 1.0);
        EXPECT_TRUE(state().ValeurUtmMetrique.contains(QStringLiteral("   N=")));

        std::string mgrs;
        GeographicLib::MGRS::Forward(zone, p.lat >= 0, x, y, p.lat, 5, mgrs);
        // "31 U ES9876543210": zone, band and square letters as GeographicLib gives them.
        const QString shown = state().ValeurUtmAlpha;
        const QString expected = QString::fromStdString(mgrs);
        EXPECT_EQ(shown.left(2), expected.left(2));
        EXPECT_EQ(shown.mid(3, 1), expected.mid(2, 1));
        EXPECT_EQ(shown.mid(5, 2), expected.mid(3, 2));
        EXPECT_NEAR(shown.mid(7, 5).toDouble(), expected.mid(5, 5).toDouble(), 1.0);
        EXPECT_NEAR(shown.mid(12, 5).toDouble(), expected.mid(10, 5).toDouble(), 1.0);
    }
}

TEST_F(CheckPanelTest, BeyondTheMgrsRangeThePolarTextIsCutAsUsual) {
    Check(QStringLiteral("85"), QStringLiteral("10"));
    EXPECT_EQ(state().ValeurUtmMetrique, QStringLiteral("E=0   N=0"));
    EXPECT_EQ(state().ValeurUtmAlpha, QStringLiteral("N    POLAR REGION"));
}

TEST_F(CheckPanelTest, TheUtmLineStaysInTheSettingsDatumWhateverTheEntryDatum) {
    editor::cmbSystem_Click(state(), 2);
    Check(QStringLiteral("50.8"), QStringLiteral("4.35"));
    const QString inSettingsDatum = state().ValeurUtmMetrique;
    geodesy::Datums().InputDatum = Index("WGS84");
    state().lblDatum = QStringLiteral("WGS84");
    Check(QStringLiteral("50.8"), QStringLiteral("4.35"));
    EXPECT_EQ(state().ValeurUtmMetrique, inSettingsDatum);
}

// The check panel's line in the input system, against PROJ's forward projection of the position
// shifted into the system's datum.
TEST_F(CheckPanelTest, ThePlaneSystemsShowWholeMetres) {
    struct Case {
        int mode;
        const char* datum;
        const char* geographic;
        const char* projected;
        LatLon at;
    };
    const Case cases[] = {
        {7, "BEL72", "EPSG:4313", "EPSG:31370", {50.8, 4.35}},
        {8, "BEL72", "EPSG:4313", "EPSG:31370", {50.8, 4.35}},
        {9, "NTF", "EPSG:4275", "EPSG:27561", {49.5, 2.5}},
        {13, "NTF", "EPSG:4275", "EPSG:27572", {45.5, 1.5}},
        {14, "MER", "EPSG:4261", "EPSG:26191", {33.5, -6.5}},
        {15, "MER", "EPSG:4261", "EPSG:26192", {30.5, -8.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        editor::cmbSystem_Click(state(), c.mode);
        Check(QString::number(c.at.lat), QString::number(c.at.lon));
        const LatLon local = editor_test::ReferenceShift(c.at, geodesy::Datums().DestIndex,
                                                         geodesy::DatumIndex(c.datum));
        double x = 0, y = 0;
        editor_test::ReferenceForward(c.geographic, c.projected, local, x, y);
        const QStringList parts = state().ValeurLibre.split(QStringLiteral("   "));
        ASSERT_EQ(parts.size(), 2) << state().ValeurLibre.toStdString();
        EXPECT_NEAR(parts[0].toDouble(), x, 1.0);
        EXPECT_NEAR(parts[1].toDouble(), y, 1.0);
        EXPECT_FALSE(parts[0].contains(QLatin1Char('.')));
    }
}

TEST_F(CheckPanelTest, APointOffTheLetteredSquaresShowsZeros) {
    editor::cmbSystem_Click(state(), 5);
    Check(QStringLiteral("10"), QStringLiteral("10"));
    EXPECT_EQ(state().ValeurLibre, QStringLiteral(" 00000 00000"));
}

TEST_F(CheckPanelTest, DegreeAndUtmSystemsHaveNoLineOfTheirOwn) {
    for (const int mode : {0, 1, 2, 3}) {
        editor::cmbSystem_Click(state(), mode);
        state().ValeurLibre = QStringLiteral("old");
        Check(QStringLiteral("50.8"), QStringLiteral("4.35"));
        EXPECT_TRUE(state().ValeurLibre.isEmpty());
    }
}

TEST_F(CheckPanelTest, AnErrorOfThePanelIsShownAndTheEditorGoesOn) {
    // Leaving the longitude with a value beyond any single.
    Type(Control::ChampLatitude, QStringLiteral("50"));
    Type(Control::ChampLongitude, QStringLiteral("1e39"));
    prompter_.expect(AnswerWith(Answer::Ok));
    editor_->ChampLongitude_LostFocus();
    ASSERT_EQ(prompter_.messages().size(), 1U);
    EXPECT_TRUE(prompter_.messages()[0].text.startsWith(QStringLiteral("Error 6\r")));

    // Opening the window on a UTM datum the table does not hold.
    OpenOn(Add({QStringLiteral("deg 50 4"), QStringLiteral("EUR-M")}));
    geodesy::Datums().UTMIndex = 0;
    prompter_.expect(AnswerWith(Answer::Ok));
    editor_->Form_Load();
    EXPECT_TRUE(prompter_.messages().back().text.startsWith(QStringLiteral("Error 9\r")));
    EXPECT_FALSE(state().OnLoad);
    EXPECT_FALSE(state().changed);
}

} // namespace

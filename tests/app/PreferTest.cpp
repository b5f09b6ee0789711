#include "app/Prefer.h"

#include "../document/DistributionFixture.h"
#include "DatumFixture.h"
#include "app/BrowseForFolder.h"
#include "app/PreferencesLogic.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace {

using app::Prefer;
using app::PreferHooks;
using testing_support::AnswerWith;
using testing_support::DistributionTest;
using testing_support::ScriptedPrompter;

std::string Code(const char* code) {
    return geodesy::FixedCode(code);
}

// The destination-datum change: the real datum tables, positions in WGS84, and a main window
// lent through the hooks.
class PreferTest : public DistributionTest {
protected:
    void SetUp() override {
        DistributionTest::SetUp();
        platform::ProgramSettings& s = platform::Settings();
        s.LabelNumeric1 = QStringLiteral("Number 1");
        s.LabelNumeric2 = QStringLiteral("Number 2");
        s.InputMode = 3;
        s.SaveInterval = 5;
        UseDestination("WGS84");
        geodesy::Datums().UTMCode = Code("EUR-M");
        geodesy::Datums().FromCode = Code("EUR-M");
        geodesy::SetDefaultDatumIndexes();
        hooks_.gridShown = [this] { return gridShown_; };
        hooks_.chooseDatum = [this](const QString& code) {
            chooserAskedFor_ = code;
            return chooserAnswer_;
        };
        hooks_.datumRecomputed = [this](const QString& code) { recomputedTo_ = code; };
    }
    void TearDown() override {
        app::SetFolderDialog({});
        DistributionTest::TearDown();
    }

    static void UseDestination(const char* code) {
        geodesy::DatumState& datums = geodesy::Datums();
        datums.DestCode = code;
        datums.DestIndex = geodesy::DatumIndex(code);
    }

    static void Select(QComboBox* list, const char* code) {
        const int item = app::FindDatumItem(
            [list] {
                QStringList items;
                for (int i = 0; i < list->count(); ++i) {
                    items << list->itemText(i);
                }
                return items;
            }(),
            QString::fromLatin1(code));
        ASSERT_GE(item, 0) << code;
        list->setCurrentIndex(item);
    }

    static QString Stored(const char* key) {
        return platform::GetSetting("ZEB", "Datum", QString::fromLatin1(key), "(none)");
    }

    static void AddPosition(const char* original, const char* datum, int period, double lat,
                            double lon) {
        SQLite::Statement insert(document::WorkDb(),
                                 "INSERT INTO DOVAZOV (PERIOD, LATITUDE, LONGITUDE, DATUM, "
                                 "ORIGINAL) VALUES (?, ?, ?, ?, ?)");
        insert.bind(1, period);
        insert.bind(2, lat);
        insert.bind(3, lon);
        insert.bind(4, datum);
        insert.bind(5, original);
        insert.exec();
    }

    PreferHooks hooks_;
    bool gridShown_ = false;
    QString chooserAskedFor_;
    QString chooserAnswer_;
    QString recomputedTo_ = QStringLiteral("(none)");
};

TEST_F(PreferTest, LoadShowsTheSettingsAndTheDatumLists) {
    platform::Settings().AutoSave = 0;
    // A destination code read from a file, without its filling blanks.
    geodesy::Datums().DestCode = "NTF";
    Prefer dialog(hooks_);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Preferences"));
    EXPECT_EQ(dialog.Combo2->count(), 16);
    EXPECT_EQ(dialog.Combo2->currentIndex(), 3);
    EXPECT_EQ(dialog.ChampNumerique[0]->text(), QStringLiteral("Number 1"));
    EXPECT_EQ(dialog.txtSaveInterval->text(), QStringLiteral("5"));
    EXPECT_EQ(dialog.cmbDatum->currentText().left(5), QStringLiteral("NTF  "));
    EXPECT_EQ(dialog.cmbDatumUTM->currentText(), QStringLiteral("EUR-M - EUROPEAN 1950"));
    // Only the datums that may be destinations.
    QStringList codes;
    for (int i = 0; i < dialog.cmbDatum->count(); ++i) {
        codes << dialog.cmbDatum->itemText(i).left(5).trimmed();
    }
    codes.sort();
    EXPECT_EQ(codes, (QStringList{"BEL72", "EUR-M", "IRL", "MER", "NTF", "OGB-M", "WGS84"}));
    EXPECT_TRUE(dialog.lblDatumOrig->text().startsWith(QStringLiteral("EUR-M - EUROPEAN 1950 (")));
    EXPECT_EQ(dialog.lblDatumOrig->toolTip(), dialog.lblDatumOrig->text());
    // The interval line is off while the automatic save is.
    EXPECT_FALSE(dialog.txtSaveInterval->isEnabled());
    EXPECT_FALSE(dialog.lblMin->isEnabled());
    dialog.ChkAutoSave->click();
    EXPECT_TRUE(dialog.txtSaveInterval->isEnabled());
    EXPECT_TRUE(dialog.lblAutoSave->isEnabled());
}

TEST_F(PreferTest, TheIntervalIsCorrectedAndReadAsItsLeadingNumber) {
    struct Case {
        const char* typed;
        const char* box;
        int stored;
    };
    const Case cases[] = {
        {"0", "5", 5},     {"", "5", 5},         {"abc", "5", 5},        {"250", "100", 100},
        {"1", "1", 1},     {"100", "100", 100},  {"12abc", "12abc", 12}, {"7.5", "7.5", 8},
        {"6.5", "6.5", 6}, {" 3 0", " 3 0", 30},
    };
    for (const Case& c : cases) {
        Prefer dialog(hooks_);
        dialog.txtSaveInterval->setText(QString::fromUtf8(c.typed)); // disabled: still stored
        dialog.show();
        dialog.Command1->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.txtSaveInterval->text(), QString::fromUtf8(c.box)) << c.typed;
        EXPECT_EQ(platform::Settings().SaveInterval, c.stored) << c.typed;
    }
}

TEST_F(PreferTest, OkStoresTheSettingsAndWritesTheDatumCodes) {
    gridShown_ = true;
    Prefer dialog(hooks_);
    dialog.Combo2->setCurrentIndex(5);
    dialog.ChampNumerique[0]->setText(QStringLiteral("Adults"));
    dialog.ChampNumerique[1]->setText(QStringLiteral("Young"));
    dialog.OptSilence->setChecked(true);
    dialog.TxtSepar->setText(QStringLiteral(";"));
    dialog.ChkAutoSave->setChecked(true);
    Select(dialog.cmbDatumUTM, "NTF");
    // The spherical datum comes from the chooser; any loaded datum is accepted.
    chooserAnswer_ = QString::fromStdString(Code("KEA"));
    dialog.cmdChangeDatum->click();
    EXPECT_EQ(chooserAskedFor_, QStringLiteral("EUR-M"));
    EXPECT_TRUE(dialog.lblDatumOrig->text().startsWith(QStringLiteral("KEA   - ")));
    dialog.Command1->click(); // only the UTM and spherical datums changed: no question

    const platform::ProgramSettings& s = platform::Settings();
    EXPECT_EQ(s.InputMode, 5);
    EXPECT_EQ(s.LabelNumeric1, QStringLiteral("Adults"));
    EXPECT_EQ(s.LabelNumeric2, QStringLiteral("Young"));
    EXPECT_EQ(s.Silence, 1);
    EXPECT_EQ(s.Separator, QStringLiteral(";"));
    EXPECT_EQ(s.AutoSave, 1);
    const geodesy::DatumState& datums = geodesy::Datums();
    EXPECT_EQ(datums.UTMCode, Code("NTF"));
    EXPECT_EQ(datums.UTMIndex, geodesy::DatumIndex("NTF"));
    EXPECT_EQ(datums.FromCode, Code("KEA"));
    EXPECT_EQ(datums.FromIndex, geodesy::DatumIndex("KEA"));
    EXPECT_EQ(Stored("UTMCode"), QStringLiteral("NTF  "));
    EXPECT_EQ(Stored("FromCode"), QStringLiteral("KEA  "));
    EXPECT_EQ(Stored("DestCode"), QStringLiteral("WGS84"));
    EXPECT_EQ(recomputedTo_, QStringLiteral("(none)"));
}

TEST_F(PreferTest, TheChoosersCancelLeavesTheSphericalDatum) {
    Prefer dialog(hooks_);
    const QString before = dialog.lblDatumOrig->text();
    chooserAnswer_.clear();
    dialog.cmdChangeDatum->click();
    EXPECT_EQ(dialog.lblDatumOrig->text(), before);
}

TEST_F(PreferTest, ListsWithoutASelectionKeepTheirCodes) {
    gridShown_ = true;
    geodesy::Datums().UTMCode = "XYZ"; // not loaded
    geodesy::SetDefaultDatumIndexes();
    const std::int16_t utmIndex = geodesy::Datums().UTMIndex;
    Prefer dialog(hooks_);
    EXPECT_EQ(dialog.cmbDatumUTM->currentIndex(), -1);
    dialog.cmbDatum->setCurrentIndex(-1);
    dialog.Command1->click(); // no question, no recompute
    const geodesy::DatumState& datums = geodesy::Datums();
    EXPECT_EQ(datums.DestCode, "WGS84");
    EXPECT_EQ(datums.DestIndex, geodesy::DatumIndex("WGS84"));
    EXPECT_EQ(datums.UTMCode, "XYZ");
    EXPECT_EQ(datums.UTMIndex, utmIndex);
    EXPECT_EQ(Stored("DestCode"), QStringLiteral("(none)"));
    EXPECT_EQ(recomputedTo_, QStringLiteral("(none)"));
}

TEST_F(PreferTest, WithoutADocumentANewDestinationIsTakenWithoutQuestion) {
    AddPosition("deg 50.8 4.35", "WGS84", 1, 50.8, 4.35);
    Prefer dialog(hooks_);
    Select(dialog.cmbDatum, "EUR-M");
    ScriptedPrompter prompter; // no question expected
    dialog.Command1->click();
    EXPECT_EQ(geodesy::Datums().DestCode, "EUR-M");
    EXPECT_EQ(geodesy::Datums().DestIndex, geodesy::DatumIndex("EUR-M"));
    EXPECT_EQ(Stored("DestCode"), QStringLiteral("EUR-M"));
    EXPECT_EQ(Table().at(0).LATITUDE, 50.8F);
    EXPECT_EQ(document::Document().FileModified, 0);
}

TEST_F(PreferTest, CancellingTheDatumQuestionStoresNothingAndStaysOpen) {
    gridShown_ = true;
    AddPosition("deg 50.8 4.35", "WGS84", 1, 50.8, 4.35);
    Prefer dialog(hooks_);
    dialog.show();
    dialog.ChampNumerique[0]->setText(QStringLiteral("Changed"));
    dialog.txtSaveInterval->setText(QStringLiteral("0"));
    Select(dialog.cmbDatum, "EUR-M");
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Cancel));
    dialog.Command1->click();
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("The Datum used to compute coordinates has been changed.\r"
                             "Clik Ok to compute all coordinates."));
    EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::OkCancel);
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
    EXPECT_EQ(prompter.beeps(), 0);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.txtSaveInterval->text(), QStringLiteral("5"));
    EXPECT_EQ(platform::Settings().LabelNumeric1, QStringLiteral("Number 1"));
    EXPECT_EQ(geodesy::Datums().DestCode, "WGS84");
    EXPECT_EQ(Stored("DestCode"), QStringLiteral("(none)"));
    EXPECT_EQ(Stored("UTMCode"), QStringLiteral("(none)"));
    EXPECT_EQ(document::Document().FileModified, 0);
}

TEST_F(PreferTest, CancelStoresNothing) {
    Prefer dialog(hooks_);
    dialog.show();
    dialog.ChampNumerique[0]->setText(QStringLiteral("Changed"));
    Select(dialog.cmbDatum, "EUR-M");
    dialog.Command2->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(platform::Settings().LabelNumeric1, QStringLiteral("Number 1"));
    EXPECT_EQ(geodesy::Datums().DestCode, "WGS84");
    EXPECT_EQ(Stored("UTMCode"), QStringLiteral("(none)"));
}

// WGS84 to ED50 (International 1924, WGS84 = ED50 + (-87, -98, -121) m) by geocentric
// coordinates: an independent road to the same shift. It gives what PROJ's cs2cs gives with
// "+ellps=intl +towgs84=-87,-98,-121", e.g. 50.8 4.35 -> 50.8008364 4.3512925.
struct LatLon {
    double lat, lon;
};
LatLon Wgs84ToEd50(double latDeg, double lonDeg) {
    constexpr double kPi = 3.14159265358979323846;
    const double lat = latDeg * kPi / 180.0;
    const double lon = lonDeg * kPi / 180.0;
    const double a1 = 6378137.0;
    const double e1 = (2.0 - 1.0 / 298.257223563) / 298.257223563;
    const double n1 = a1 / std::sqrt(1.0 - e1 * std::sin(lat) * std::sin(lat));
    const double x = n1 * std::cos(lat) * std::cos(lon) + 87.0;
    const double y = n1 * std::cos(lat) * std::sin(lon) + 98.0;
    const double z = n1 * (1.0 - e1) * std::sin(lat) + 121.0;
    const double a2 = 6378388.0;
    const double e2 = (2.0 - 1.0 / 297.0) / 297.0;
    const double p = std::hypot(x, y);
    double phi = std::atan2(z, p * (1.0 - e2));
    for (int i = 0; i < 10; ++i) {
        const double n2 = a2 / std::sqrt(1.0 - e2 * std::sin(phi) * std::sin(phi));
        const double h = p / std::cos(phi) - n2;
        phi = std::atan2(z, p * (1.0 - e2 * n2 / (n2 + h)));
    }
    return {phi * 180.0 / kPi, std::atan2(y, x) * 180.0 / kPi};
}

// Metres between two nearby positions.
double Metres(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kMetresPerDegree = 111320.0;
    const double north = (lat2 - lat1) * kMetresPerDegree;
    const double east =
        (lon2 - lon1) * kMetresPerDegree * std::cos(lat1 * 3.14159265358979 / 180.0);
    return std::hypot(north, east);
}

TEST_F(PreferTest, ANewDestinationRecomputesEveryPositionWhateverTheSelection) {
    gridShown_ = true;
    const LatLon points[] = {{50.8, 4.35}, {48.85, 2.35}, {41.9, 12.5}};
    for (std::size_t i = 0; i < std::size(points); ++i) {
        const QByteArray text =
            QStringLiteral("deg %1 %2").arg(points[i].lat).arg(points[i].lon).toUtf8();
        AddPosition(text.constData(), "WGS84", static_cast<int>(i + 1), points[i].lat,
                    points[i].lon);
    }
    // The grid shows a selection of one record only.
    Show(QStringLiteral("SELECT * FROM DOVAZOV WHERE PERIOD = 1"));
    ASSERT_EQ(document::Data1().recordset().recordCount(), 1);

    Prefer dialog(hooks_);
    Select(dialog.cmbDatum, "EUR-M");
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    dialog.Command1->click();

    EXPECT_EQ(geodesy::Datums().DestCode, "EUR-M");
    EXPECT_EQ(document::Document().FileModified, -1);
    EXPECT_EQ(recomputedTo_, QStringLiteral("EUR-M"));
    EXPECT_EQ(prompter.beeps(), 1); // the recompute's end, Silence being off
    const std::vector<document::Record> rows = Table();
    ASSERT_EQ(rows.size(), std::size(points));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const LatLon expected = Wgs84ToEd50(points[i].lat, points[i].lon);
        // Within a metre: five decimals in single precision, and Molodensky's approximation.
        EXPECT_LT(Metres(expected.lat, expected.lon, *rows[i].LATITUDE, *rows[i].LONGITUDE), 1.0)
            << "row " << i;
        // ED50 lies about a hundred metres away: the position really moved.
        EXPECT_GT(Metres(points[i].lat, points[i].lon, *rows[i].LATITUDE, *rows[i].LONGITUDE), 50.0)
            << "row " << i;
    }
    // The grid keeps its selection, run again.
    EXPECT_EQ(document::Data1().recordSource(),
              QStringLiteral("SELECT * FROM DOVAZOV WHERE PERIOD = 1"));
    EXPECT_EQ(document::Data1().recordset().recordCount(), 1);
}

TEST_F(PreferTest, TheWorkingFolderButtonStoresANewFolderForTheNextStart) {
    const QString current = document::Work().WorkingDir;
    const QString other = folder() + QStringLiteral("/elsewhere");
    ASSERT_TRUE(QDir().mkpath(other));
    QStringList answers{current + QLatin1Char('/'), QString(), other};
    QStringList startFolders;
    app::SetFolderDialog([&](const app::FolderDialogRequest& request) {
        startFolders << request.startFolder;
        return answers.takeFirst();
    });
    Prefer dialog(hooks_);
    EXPECT_EQ(dialog.txtWorkingDir->text(), current);
    ScriptedPrompter prompter;
    dialog.cmdOpen_Click(); // the same folder: nothing to do
    dialog.cmdOpen_Click(); // cancelled
    EXPECT_TRUE(prompter.messages().empty());
    prompter.expect(AnswerWith(platform::Answer::Ok));
    dialog.cmdOpen_Click();
    EXPECT_EQ(startFolders, (QStringList{current, current, current}));
    EXPECT_EQ(platform::GetSetting("DOVAZOV", "Config", "WorkingDir"), other);
    EXPECT_EQ(dialog.txtWorkingDir->text(), other);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral(
                  "You have to restart DOVAzov in order to change the temporary working folder"));
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
    EXPECT_EQ(document::Work().WorkingDir, current); // takes effect at the next start
    EXPECT_TRUE(app::BrowseStartFolder().isEmpty());
}

// The lists by usage level, on a small table where one datum has level 3.
TEST(PreferDatumListsTest, DestinationsAreLevelFourOnlyAndUtmLevelTwoOrMore) {
    app_test::FillSmallDatumTable();
    geodesy::Datums().DatumTable[3].Use = 3; // NTF
    EXPECT_EQ(app::DestinationDatumItems(),
              (QStringList{"EUR-M - European 1950", "WGS84 - World Geodetic System 1984"}));
    EXPECT_EQ(app::UtmDatumItems(),
              (QStringList{"EUR-M - European 1950", "NTF   - Nouvelle Triangulation",
                           "WGS84 - World Geodetic System 1984"}));
    EXPECT_EQ(app::FindDatumItem(app::UtmDatumItems(), QStringLiteral(" NTF")), 1);
    EXPECT_EQ(app::FindDatumItem(app::UtmDatumItems(), QStringLiteral("ntf")), -1);
    geodesy::ResetDatumState();
}

} // namespace

#include "editor/PlaceTakeOver.h"

#include "EditorFixture.h"

namespace {

using editor::Control;
using platform::Answer;
using testing_support::AnswerWith;

// The place search answering with one place, or with none.
class FakePlaceSearch final : public editor::PlaceSearch {
public:
    std::optional<editor::ChosenPlace> choose() override {
        ++shown;
        return place;
    }
    std::optional<editor::ChosenPlace> place;
    int shown = 0;
};

class PlaceTakeOverTest : public editor_test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        host_.search = &search_;
        platform::Settings().CoordinatesType = 1;
        platform::Settings().LocalitiesDatum = QStringLiteral("EUR-M");
        platform::Settings().InputMode = 5;
        OpenOn(Add({QStringLiteral("bng TQ 3080"), QStringLiteral("OGB-M"),
                    QStringLiteral("seen twice")}));
    }
    static editor::ChosenPlace Place(double lat, double lon) {
        editor::ChosenPlace place;
        place.latitude = lat;
        place.longitude = lon;
        place.name = QStringLiteral("Lyon");
        place.fips = QStringLiteral(" FR07 ");
        place.designation = QStringLiteral("PPLA");
        return place;
    }
    FakePlaceSearch search_;
};

TEST_F(PlaceTakeOverTest, DecimalDegreesGoIntoTheDegreeBoxesAndAreConverted) {
    search_.place = Place(50.5, 4.25);
    editor_->cmdSearch_Click();
    EXPECT_EQ(platform::Settings().InputMode, 0);
    EXPECT_EQ(text(Control::EditBox1), QStringLiteral("50.5"));
    EXPECT_EQ(text(Control::EditBox2), QStringLiteral("4.25"));
    EXPECT_EQ(state().lblDatum, QStringLiteral("EUR-M"));
    EXPECT_EQ(geodesy::Datums().InputDatum, Index("EUR-M"));
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+50.5"));
    EXPECT_EQ(text(Control::ChampLongitude), QStringLiteral("+4.25"));
    EXPECT_TRUE(state().changed);
    EXPECT_TRUE(state().ButOkEnabled);
}

TEST_F(PlaceTakeOverTest, PackedCoordinatesGoIntoTheDmsBoxes) {
    platform::Settings().CoordinatesType = 0;
    search_.place = Place(503000, -43000);
    editor_->cmdSearch_Click();
    EXPECT_EQ(platform::Settings().InputMode, 1);
    EXPECT_EQ(text(Control::EditBox1), QStringLiteral("+50.30000"));
    EXPECT_EQ(text(Control::EditBox2), QStringLiteral("-004.30000"));
    EXPECT_NEAR(text(Control::ChampLatitude).toDouble(), 50.5, 1e-6);
    EXPECT_NEAR(text(Control::ChampLongitude).toDouble(), -4.5, 1e-6);
}

TEST_F(PlaceTakeOverTest, AGazetteerWithoutADatumIsTakenAsWgs84AndKeepsIt) {
    platform::Settings().LocalitiesDatum.clear();
    search_.place = Place(50.5, 4.25);
    editor_->cmdSearch_Click();
    EXPECT_EQ(state().lblDatum, QStringLiteral("WGS84"));
    EXPECT_EQ(platform::Settings().LocalitiesDatum, QStringLiteral("WGS84"));
    EXPECT_NE(text(Control::ChampLatitude), QStringLiteral("+50.5")); // shifted to EUR-M
}

TEST_F(PlaceTakeOverTest, TheFreeFieldsCodedForTheGazetteerReceiveThePlace) {
    SetFreeFields({QStringLiteral("STAT.TOPO"), QStringLiteral("stat.fips"),
                   QStringLiteral("STAT.DESI"), QStringLiteral("HAB")},
                  {QStringLiteral("Place"), QStringLiteral("Fips"), QStringLiteral("Kind"),
                   QStringLiteral("Habitat")});
    editor_->Form_Load();
    editor::ChosenPlace place = Place(50.5, 4.25);
    place.name = QStringLiteral("Saint-Denis/Réunion");
    search_.place = place;
    editor_->cmdSearch_Click();
    EXPECT_EQ(state().freeFieldValues,
              QStringList({QStringLiteral("Saint-Denis-Réunion"), QStringLiteral(" FR07 "),
                           QStringLiteral("PPLA"), QString()}));
    EXPECT_EQ(text(Control::ChampLibre), QStringLiteral("seen twice"));
}

TEST_F(PlaceTakeOverTest, WithoutATopoFieldTheNameGoesBeforeTheFreeText) {
    search_.place = Place(45.75, 4.85);
    editor_->cmdSearch_Click();
    EXPECT_EQ(text(Control::ChampLibre), QStringLiteral("Lyon (FR07)seen twice"));

    editor::ChosenPlace noFips = Place(45.75, 4.85);
    noFips.fips = QStringLiteral("  ");
    search_.place = noFips;
    editor_->cmdSearch_Click();
    EXPECT_EQ(text(Control::ChampLibre), QStringLiteral("LyonLyon (FR07)seen twice"));
}

TEST_F(PlaceTakeOverTest, ClosingWithoutAChoiceChangesNothing) {
    search_.place.reset();
    editor_->cmdSearch_Click();
    EXPECT_EQ(search_.shown, 1);
    EXPECT_EQ(text(Control::EditBox1), QStringLiteral("TQ"));
    EXPECT_FALSE(state().changed);
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+0"));
}

TEST_F(PlaceTakeOverTest, WithoutAGazetteerTheEditorSaysSo) {
    host_.search = nullptr;
    prompter_.expect(AnswerWith(Answer::Ok));
    editor_->cmdSearch_Click();
    EXPECT_EQ(prompter_.messages().back().text,
              QStringLiteral("Fonction non disponible dans cette version"));
}

} // namespace

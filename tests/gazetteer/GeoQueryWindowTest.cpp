#include "../editor/EditorFixture.h"
#include "GazetteerFixture.h"
#include "gazetteer/frmGeoQuery.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

using editor::Control;
using platform::Answer;
using testing_support::AnswerWith;

// The record editor's place search over the gazetteer window, as the main window provides it.
class WindowPlaceSearch final : public editor::PlaceSearch {
public:
    std::optional<editor::ChosenPlace> choose() override {
        const std::optional<gazetteer::PickedPlace> picked = window.choose();
        if (!picked) {
            return std::nullopt;
        }
        editor::ChosenPlace place;
        place.latitude = gazetteer::AsDecimal(picked->latitude);
        place.longitude = gazetteer::AsDecimal(picked->longitude);
        place.name = picked->name;
        place.fips = picked->fips;
        place.designation = picked->designation;
        return place;
    }
    gazetteer::frmGeoQuery window{gazetteer::GazetteerHost{}};
};

class GeoQueryWindowTest : public editor_test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        file_ = dir_.filePath(QStringLiteral("gazetteer.sqlite"));
        gazetteer_test::WriteSqliteGazetteer(file_);
        gazetteer_test::DefaultMapping(file_);
        host_.search = &search_;
        counter_ = Add(
            {QStringLiteral("bng TQ 3080"), QStringLiteral("OGB-M"), QStringLiteral("seen twice")});
    }

    // While the window shows, the user types `name`, runs the search with `button` and presses
    // `key` in the list; then whatever `after` does.
    void Drive(const QString& name, int button, Qt::Key key, std::function<void()> after = {}) {
        QTimer::singleShot(0, &search_.window, [this, name, button, key, after] {
            gazetteer::frmGeoQuery& w = search_.window;
            ASSERT_TRUE(w.isVisible());
            QTest::keyClicks(w.txt, name);
            w.cmd[button]->click();
            rows_ = w.ListView1->topLevelItemCount();
            count_ = w.lblNbre->text();
            QTest::keyClick(w.ListView1, key);
            if (after) {
                after();
            }
        });
    }

    QString file_;
    WindowPlaceSearch search_;
    std::int64_t counter_ = 0;
    int rows_ = -1;
    QString count_;
};

TEST_F(GeoQueryWindowTest, TypingANameAndPressingEnterFillsTheEditor) {
    SetFreeFields(
        {QStringLiteral("STAT.TOPO"), QStringLiteral("stat.fips"), QStringLiteral("STAT.DESI")},
        {QStringLiteral("Place"), QStringLiteral("Fips"), QStringLiteral("Kind")});
    OpenOn(counter_);
    Drive(QStringLiteral("lyon"), 0, Qt::Key_Return);
    editor_->cmdSearch_Click();

    EXPECT_EQ(rows_, 1);
    EXPECT_EQ(count_, QStringLiteral(" 1"));
    EXPECT_FALSE(search_.window.isVisible());
    EXPECT_EQ(platform::Settings().InputMode, 0);
    EXPECT_EQ(text(Control::EditBox1), QStringLiteral("45.74846"));
    EXPECT_EQ(text(Control::EditBox2), QStringLiteral("4.84671"));
    EXPECT_EQ(state().lblDatum, QStringLiteral("WGS84"));
    EXPECT_EQ(geodesy::Datums().InputDatum, Index("WGS84"));
    EXPECT_EQ(state().freeFieldValues, QStringList({QStringLiteral("Lyon"), QStringLiteral("FR84"),
                                                    QStringLiteral("PPLA ")}));
    EXPECT_EQ(text(Control::ChampLibre), QStringLiteral("seen twice"));
    // The window keeps its list and text for the next time.
    EXPECT_EQ(search_.window.ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(search_.window.txt->text(), QStringLiteral("lyon"));
}

TEST_F(GeoQueryWindowTest, APrefixSearchListsEveryMatchAndEscapeTakesNothing) {
    OpenOn(counter_);
    Drive(QStringLiteral("LY"), 1, Qt::Key_Escape);
    editor_->cmdSearch_Click();
    EXPECT_EQ(rows_, 2);
    EXPECT_EQ(text(Control::EditBox1), QStringLiteral("TQ"));
    EXPECT_EQ(text(Control::ChampLibre), QStringLiteral("seen twice"));
}

TEST_F(GeoQueryWindowTest, AGazetteerDatumMissingFromTheDatumTableIsNotTakenOver) {
    platform::Settings().LocalitiesDatum = QStringLiteral("XYZ99");
    OpenOn(counter_);
    const QString datumBefore = state().lblDatum;
    const std::int16_t inputBefore = geodesy::Datums().InputDatum;
    prompter_.expect(AnswerWith(Answer::Ok));
    bool stayedOpen = false;
    Drive(QStringLiteral("lyon"), 0, Qt::Key_Return, [this, &stayedOpen] {
        stayedOpen = search_.window.isVisible();
        QTest::keyClick(search_.window.ListView1, Qt::Key_Escape);
    });
    editor_->cmdSearch_Click();
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(prompter_.messages().size(), 1U);
    EXPECT_TRUE(prompter_.messages()[0].text.contains(QStringLiteral("XYZ99")));
    EXPECT_EQ(state().lblDatum, datumBefore);
    EXPECT_EQ(geodesy::Datums().InputDatum, inputBefore);
    EXPECT_EQ(text(Control::ChampLibre), QStringLiteral("seen twice"));
}

TEST_F(GeoQueryWindowTest, AnEmptySearchTextBeeps) {
    OpenOn(counter_);
    Drive(QString(), 1, Qt::Key_Escape);
    editor_->cmdSearch_Click();
    EXPECT_EQ(prompter_.beeps(), 1);
    EXPECT_EQ(rows_, 0);
}

TEST_F(GeoQueryWindowTest, HeaderClicksFlipTheOrderAndTheChosenNameIsDrawn) {
    gazetteer::frmGeoQuery& w = search_.window;
    w.txt->setText(QStringLiteral("L"));
    w.cmd_Click(1);
    ASSERT_EQ(w.ListView1->topLevelItemCount(), 4);
    EXPECT_EQ(w.PicName->text(), QStringLiteral("L'Isle-Adam"));
    w.ListView1_ColumnClick(0);
    EXPECT_EQ(w.ListView1->topLevelItem(0)->text(0), QStringLiteral("Lyons"));
    w.ListView1_ColumnClick(0);
    EXPECT_EQ(w.ListView1->topLevelItem(0)->text(0), QStringLiteral("L'Isle-Adam"));
}

} // namespace

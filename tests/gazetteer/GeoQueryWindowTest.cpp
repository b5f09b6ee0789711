#include "../editor/EditorFixture.h"
#include "GazetteerFixture.h"
#include "gazetteer/frmGeoQuery.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

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
            rows_ = w.ListView1->model()->rowCount();
            count_ = w.lblNbre->text();
            QTest::keyClick(w.ListView1, key);
            if (after) {
                after();
            }
        });
    }

    // The window on screen, where the user types `name` and starts a prefix search.
    void ShowAndSearch(const QString& name) {
        gazetteer::frmGeoQuery& w = search_.window;
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        QTest::keyClicks(w.txt, name);
        w.cmd[1]->click();
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
    EXPECT_EQ(search_.window.ListView1->model()->rowCount(), 1);
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

// The names the list shows, top to bottom.
QStringList ListedNames(const QTableView* list) {
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        names << list->model()->index(row, 0).data().toString();
    }
    return names;
}

void ClickHeader(QTableView* list, int column) {
    QHeaderView* header = list->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

TEST_F(GeoQueryWindowTest, EveryHeaderClickSortsAndFlipsTheOrder) {
    gazetteer::frmGeoQuery& w = search_.window;
    ASSERT_NO_FATAL_FAILURE(ShowAndSearch(QStringLiteral("L")));
    ASSERT_EQ(ListedNames(w.ListView1), QStringList({"L'Isle-Adam", "Lodz", "Lyon", "Lyons"}));
    EXPECT_EQ(w.PicName->text(), QStringLiteral("L'Isle-Adam"));

    // One order for every column, flipped at each click; the texts are compared, so the
    // negative longitude comes after the positive ones.
    const struct {
        int column;
        QStringList names;
    } clicks[] = {
        {0, {"Lyons", "Lyon", "Lodz", "L'Isle-Adam"}},
        {0, {"L'Isle-Adam", "Lodz", "Lyon", "Lyons"}},
        {gazetteer::kLatitude, {"Lodz", "L'Isle-Adam", "Lyon", "Lyons"}},
        {gazetteer::kLongitude, {"L'Isle-Adam", "Lyon", "Lodz", "Lyons"}},
        {gazetteer::kLongitude, {"Lyons", "Lodz", "Lyon", "L'Isle-Adam"}},
    };
    for (const auto& click : clicks) {
        ClickHeader(w.ListView1, click.column);
        EXPECT_EQ(ListedNames(w.ListView1), click.names) << "column " << click.column;
    }
    // The selected place stays selected wherever the sort puts it.
    const QModelIndexList selected = w.ListView1->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].data().toString(), QStringLiteral("L'Isle-Adam"));

    // A click on a row draws its name; Enter takes that row's place, read after the sorts.
    const QRect lodz = w.ListView1->visualRect(w.ListView1->model()->index(1, 0));
    QTest::mouseClick(w.ListView1->viewport(), Qt::LeftButton, {}, lodz.center());
    EXPECT_EQ(w.PicName->text(), QStringLiteral("Lodz"));
    QTest::keyClick(w.ListView1, Qt::Key_Return);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(GeoQueryWindowTest, LettersTypedInTheListGoToTheFirstNameThatBeginsWithThem) {
    gazetteer::frmGeoQuery& w = search_.window;
    ASSERT_NO_FATAL_FAILURE(ShowAndSearch(QStringLiteral("L")));
    ClickHeader(w.ListView1, 0); // Lyons, Lyon, Lodz, L'Isle-Adam
    QTest::keyClicks(w.ListView1, QStringLiteral("lod"));
    EXPECT_EQ(w.ListView1->currentIndex().data().toString(), QStringLiteral("Lodz"));
    EXPECT_EQ(w.ListView1->selectionModel()->selectedRows().value(0).row(), 2);
}

// The window reads its gazetteer while the user types; a gazetteer set up anew meanwhile is the
// one searched, and a window closed while it reads waits for nothing of it.
TEST_F(GeoQueryWindowTest, TheGazetteerSetUpWhileTheWindowShowsIsTheOneSearched) {
    {
        gazetteer::frmGeoQuery closed{gazetteer::GazetteerHost{}};
        closed.show();
    }
    const QString other = dir_.filePath(QStringLiteral("other.sqlite"));
    gazetteer_test::WriteSqliteGazetteer(other);
    {
        SQLite::Database db(other.toStdString(), SQLite::OPEN_READWRITE);
        db.exec("INSERT INTO ZEBGazet_Decoding (Sort_Name, Full_Name, Latitude, Longitude) "
                "VALUES ('LYONNAIS', 'Lyonnais', 45.7, 4.6)");
    }
    gazetteer::frmGeoQuery& w = search_.window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    platform::Settings().File = other;
    QTest::keyClicks(w.txt, QStringLiteral("ly"));
    QTest::mouseClick(w.cmd[1], Qt::LeftButton);
    EXPECT_EQ(ListedNames(w.ListView1), QStringList({"Lyon", "Lyonnais", "Lyons"}));
}

TEST_F(GeoQueryWindowTest, AMissingDatabaseLeavesThePreviousRowsShown) {
    gazetteer::frmGeoQuery& w = search_.window;
    ASSERT_NO_FATAL_FAILURE(ShowAndSearch(QStringLiteral("L")));
    ASSERT_EQ(w.ListView1->model()->rowCount(), 4);

    // The search's message, then the setup dialog with its own message on the missing file;
    // the user closes the dialog.
    platform::Settings().File = dir_.filePath(QStringLiteral("moved.sqlite"));
    prompter_.expect(AnswerWith(Answer::Ok));
    prompter_.expect(AnswerWith(Answer::Ok));
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialog->close();
        }
    });
    closer.start(10);
    w.cmd[1]->click();
    closer.stop();

    ASSERT_GE(prompter_.messages().size(), 1U);
    EXPECT_TRUE(prompter_.messages()[0].text.startsWith(QStringLiteral("Error during database")));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(ListedNames(w.ListView1), QStringList({"L'Isle-Adam", "Lodz", "Lyon", "Lyons"}));
    // They are still read from the database they came from, as a sort does.
    ClickHeader(w.ListView1, 0);
    EXPECT_EQ(ListedNames(w.ListView1), QStringList({"Lyons", "Lyon", "Lodz", "L'Isle-Adam"}));
}

} // namespace

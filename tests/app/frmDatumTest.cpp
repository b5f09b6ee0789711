#include "app/frmDatum.h"

#include "DatumFixture.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using app::DatumChoice;
using app::frmDatum;

QStringList Codes(const frmDatum& window) {
    QStringList codes;
    for (int i = 0; i < window.ListView1->topLevelItemCount(); ++i) {
        codes << window.ListView1->topLevelItem(i)->text(0);
    }
    return codes;
}

class DatumChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_test::FillSmallDatumTable();
        app::RempliListesDatums(window_);
    }
    void TearDown() override { geodesy::ResetDatumState(); }

    frmDatum window_;
};

TEST_F(DatumChooserTest, OneRowPerDatumInTableOrder) {
    EXPECT_EQ(window_.windowTitle(), "Datum");
    EXPECT_EQ(window_.cmdDatum[0]->text(), "&Ok");
    EXPECT_EQ(window_.cmdDatum[1]->text(), "&Close");
    QStringList headers;
    for (int i = 0; i < window_.ListView1->columnCount(); ++i) {
        headers << window_.ListView1->headerItem()->text(i);
    }
    EXPECT_EQ(headers, QStringList({"Code", "Name", "Usage", "Ellipsoid", "dx", "dy", "dz"}));
    EXPECT_EQ(Codes(window_), QStringList({"ABC  ", "EUR-M", "NTF  ", "WGS84"}));
    const QTreeWidgetItem* eurM = window_.ListView1->topLevelItem(1);
    EXPECT_EQ(eurM->text(1), "European 1950");
    EXPECT_EQ(eurM->text(2), "Area of European 1950");
    EXPECT_EQ(eurM->text(3), "International 1924");
    EXPECT_EQ(eurM->text(4), "-87");
    EXPECT_EQ(eurM->text(5), "-98");
    EXPECT_EQ(eurM->text(6), "121.5");
}

TEST_F(DatumChooserTest, OkReturnsTheSelectedCodeWithItsBlanks) {
    window_.Preselect("ABC");
    window_.cmdDatum_Click(0);
    EXPECT_EQ(window_.Code, "ABC  ");
    EXPECT_FALSE(window_.isVisible());
}

TEST_F(DatumChooserTest, CloseAndEscapeReturnNothing) {
    window_.Preselect("NTF");
    window_.cmdDatum_Click(0);
    window_.cmdDatum_Click(1);
    EXPECT_EQ(window_.Code, "");

    window_.cmdDatum_Click(0);
    window_.show();
    window_.reject(); // Escape
    EXPECT_EQ(window_.Code, "");
    EXPECT_FALSE(window_.isVisible());
}

TEST_F(DatumChooserTest, TheCloseBoxLeavesTheEarlierCode) {
    window_.Preselect("NTF");
    window_.cmdDatum_Click(0);
    window_.Preselect("WGS84");
    window_.show();
    EXPECT_FALSE(window_.close()); // the closing is cancelled: the window stays loaded
    EXPECT_FALSE(window_.isVisible());
    EXPECT_EQ(window_.Code, "NTF  ");
    EXPECT_EQ(window_.ListView1->topLevelItemCount(), 4);
    EXPECT_EQ(window_.ListView1->selectedItems().front()->text(0), "WGS84");
}

TEST_F(DatumChooserTest, OkWithoutASelectionReturnsNothing) {
    window_.Code = "NTF  ";
    window_.cmdDatum_Click(0);
    EXPECT_EQ(window_.Code, "");
}

TEST_F(DatumChooserTest, PreselectionComparesTrimmedCodesAndKeepsTheSelectionOtherwise) {
    window_.Preselect("  NTF ");
    EXPECT_EQ(window_.ListView1->selectedItems().front()->text(0), "NTF  ");
    window_.Preselect("XYZ");
    ASSERT_EQ(window_.ListView1->selectedItems().size(), 1);
    EXPECT_EQ(window_.ListView1->selectedItems().front()->text(0), "NTF  ");
}

TEST_F(DatumChooserTest, HeaderClicksReverseTheDirectionWhateverTheColumn) {
    window_.ListView1_ColumnClick(0);
    EXPECT_EQ(Codes(window_), QStringList({"WGS84", "NTF  ", "EUR-M", "ABC  "}));
    window_.ListView1_ColumnClick(0);
    EXPECT_EQ(Codes(window_), QStringList({"ABC  ", "EUR-M", "NTF  ", "WGS84"}));
    window_.ListView1_ColumnClick(1); // by name, and the direction reverses again
    EXPECT_EQ(Codes(window_), QStringList({"WGS84", "NTF  ", "EUR-M", "ABC  "}));
    // The preselection walks the rows in their sorted order.
    window_.Preselect("EUR-M");
    window_.cmdDatum_Click(0);
    EXPECT_EQ(window_.Code, "EUR-M");
}

TEST_F(DatumChooserTest, RunShowsModallyAndReturnsTheChoice) {
    QTimer::singleShot(0, &window_, [this] {
        EXPECT_TRUE(window_.isModal());
        EXPECT_TRUE(window_.isVisible());
        window_.cmdDatum_Click(0);
    });
    EXPECT_EQ(app::RunDatumChooser(window_, "WGS84"), "WGS84");

    QTimer::singleShot(0, &window_, [this] { window_.close(); });
    EXPECT_EQ(app::RunDatumChooser(window_, "ABC"), "WGS84"); // close box: the earlier code
}

TEST_F(DatumChooserTest, ResizingLaysOutOnlyLargeWindows) {
    window_.resize(800, 500);
    window_.Form_Resize();
    const QPushButton* ok = window_.cmdDatum[0];
    const QPushButton* close = window_.cmdDatum[1];
    EXPECT_EQ(ok->x() + ok->width(), 800 - 3);
    EXPECT_EQ(ok->y() + ok->height(), 500 - 3);
    EXPECT_EQ(close->y() + close->height(), ok->y() - 6);
    EXPECT_EQ(window_.ListView1->height(), 500);
    EXPECT_EQ(window_.ListView1->width(), 800 - ok->width() - 6);

    const QRect before = ok->geometry();
    window_.resize(200, 500); // below 4000 twips wide: nothing moves
    window_.Form_Resize();
    EXPECT_EQ(ok->geometry(), before);
}

TEST(DatumChoiceProtocol, UtmAndMgrsNeedUsageLevelTwo) {
    app_test::FillSmallDatumTable();
    struct Case {
        const char* code;
        int inputMode;
        DatumChoice::Outcome outcome;
        int index;
    };
    const Case cases[] = {
        {"", 2, DatumChoice::Outcome::Unchanged, 0},
        {"ABC  ", 0, DatumChoice::Outcome::Accepted, 1},
        {"ABC  ", 1, DatumChoice::Outcome::Accepted, 1},
        {"ABC  ", 2, DatumChoice::Outcome::Refused, 1},
        {"ABC  ", 3, DatumChoice::Outcome::Refused, 1},
        {"NTF  ", 3, DatumChoice::Outcome::Accepted, 3},
        {"EUR-M", 2, DatumChoice::Outcome::Accepted, 2},
        {"ABC", 0, DatumChoice::Outcome::NotFound, 0}, // five characters, exactly
        {"XYZ  ", 0, DatumChoice::Outcome::NotFound, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " mode " + std::to_string(c.inputMode));
        const DatumChoice choice = app::CheckDatumChoice(c.code, app::IsUtmOrMgrs(c.inputMode));
        EXPECT_EQ(choice.outcome, c.outcome);
        EXPECT_EQ(choice.index, c.index);
    }
    EXPECT_EQ(app::CheckDatumChoice("NTF  ", false).code, "NTF  ");
    geodesy::ResetDatumState();
}

} // namespace

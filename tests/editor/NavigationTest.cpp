#include "editor/Navigation.h"

#include "EditorFixture.h"
#include "editor/RecordSaver.h"

#include <vector>

namespace {

using editor::Control;
using platform::Answer;
using testing_support::AnswerWith;

// Six rows, N1 1 to 6; even N1 in period 2. The record source shows period 2 only, N1 descending:
// rows with N1 6, 4, 2.
class NavigationTest : public editor_test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        document::Document().PeriodOption = 1;
        document::Document().PivotYear1 = 1990;
        for (int n = 1; n <= 6; ++n) {
            editor_test::Row row{QStringLiteral("deg 50 4"), QStringLiteral("EUR-M"),
                                 QStringLiteral("row %1").arg(n)};
            row.n1 = n;
            row.period = static_cast<std::int16_t>(n % 2 == 0 ? 2 : 1);
            row.latitude = 50.0F;
            row.longitude = 4.0F;
            counters_.push_back(Add(row));
        }
        Show(QStringLiteral("SELECT * FROM DOVAZOV WHERE PERIOD = 2 ORDER BY N1 DESC"));
        editor_->Form_Load();
    }
    std::int64_t CounterOfN1(int n) const { return counters_[static_cast<std::size_t>(n - 1)]; }
    std::vector<document::Record> AllRows() const {
        std::vector<document::Record> rows;
        for (const std::int64_t c : counters_) {
            rows.push_back(Stored(c));
        }
        return rows;
    }

    std::vector<std::int64_t> counters_;
};

TEST_F(NavigationTest, StepsFollowTheFilterAndTheSortAndBeepAtBothEnds) {
    platform::Settings().Silence = 1; // the end beeps sound all the same
    EXPECT_EQ(text(Control::ChampCh1), QStringLiteral("6"));
    EXPECT_EQ(state().lblCpt, QStringLiteral("1"));
    editor_->cmdNavig_Click(0);
    EXPECT_EQ(text(Control::ChampCh1), QStringLiteral("4"));
    EXPECT_EQ(state().lblCpt, QStringLiteral("2"));
    editor_->cmdNavig_Click(0);
    EXPECT_EQ(text(Control::ChampCh1), QStringLiteral("2"));
    EXPECT_EQ(prompter_.beeps(), 0);
    editor_->cmdNavig_Click(0);
    EXPECT_EQ(text(Control::ChampCh1), QStringLiteral("2"));
    EXPECT_EQ(state().lblCpt, QStringLiteral("3"));
    EXPECT_EQ(prompter_.beeps(), 1);
    editor_->cmdNavig_Click(1);
    editor_->cmdNavig_Click(1);
    EXPECT_EQ(text(Control::ChampCh1), QStringLiteral("6"));
    editor_->cmdNavig_Click(1);
    EXPECT_EQ(state().lblCpt, QStringLiteral("1"));
    EXPECT_EQ(prompter_.beeps(), 2);
    EXPECT_EQ(host_.rowsShown, 6);
    EXPECT_FALSE(state().changed);
}

TEST_F(NavigationTest, AStepSavesTheChangedRowFirst) {
    Type(Control::ChampCh2, QStringLiteral("42"));
    editor_->cmdNavig_Click(0);
    EXPECT_EQ(Stored(CounterOfN1(6)).N2, 42);
    EXPECT_EQ(text(Control::ChampCh1), QStringLiteral("4"));
}

TEST_F(NavigationTest, ARefusedSaveKeepsTheEditorOnTheRowWithItsEdits) {
    const auto before = AllRows();
    Type(Control::ChampLatitude, QStringLiteral("95"));
    prompter_.expect(AnswerWith(Answer::Ok));
    editor_->cmdNavig_Click(0);
    EXPECT_EQ(text(Control::ChampCh1), QStringLiteral("6"));
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("95"));
    EXPECT_EQ(Records().bookmark(), CounterOfN1(6));
    EXPECT_EQ(AllRows(), before);
}

TEST_F(NavigationTest, SaveClearsTheFlagAndDisablesTheButtonOnlyWhenTheRowWasWritten) {
    Type(Control::ChampLatitude, QStringLiteral("95"));
    prompter_.expect(AnswerWith(Answer::Ok));
    editor_->ButOk_Click();
    EXPECT_TRUE(state().ButOkEnabled);
    EXPECT_TRUE(state().changed);
    Type(Control::ChampLatitude, QStringLiteral("45"));
    editor_->ButOk_Click();
    EXPECT_FALSE(state().ButOkEnabled);
    EXPECT_FALSE(state().changed);
    EXPECT_EQ(Stored(CounterOfN1(6)).LATITUDE, 45.0F);
}

TEST_F(NavigationTest, DuplicateWritesTheEditsIntoItsOwnNewRowUnderAFilterAndASort) {
    Type(Control::ChampCh1, QStringLiteral("7"));
    const auto before = AllRows();
    const int count = RowCount();
    editor_->ButDupl_Click();
    ASSERT_EQ(RowCount(), count + 1);
    // Every earlier row, the source among them, keeps its stored values.
    EXPECT_EQ(AllRows(), before);
    const std::int64_t copy = Records().bookmark();
    EXPECT_GT(copy, counters_.back());
    const document::Record row = Stored(copy);
    EXPECT_EQ(row.N1, 7);
    EXPECT_EQ(row.COMMENT, QStringLiteral("row 6"));
    EXPECT_EQ(row.ORIGINAL, QStringLiteral("deg 50 4"));
    EXPECT_EQ(state().lblCpt, QStringLiteral("4"));
    EXPECT_EQ(host_.rowsAddedCount, 1);
}

TEST_F(NavigationTest, ARefusedDuplicateLeavesTheCopyAsTheSourceAndTheEditsToSave) {
    Type(Control::ChampLatitude, QStringLiteral("95"));
    prompter_.expect(AnswerWith(Answer::Ok));
    editor_->ButDupl_Click();
    const std::int64_t copy = Records().bookmark();
    EXPECT_NE(copy, CounterOfN1(6));
    document::Record source = Stored(CounterOfN1(6));
    document::Record duplicate = Stored(copy);
    duplicate.Counter = source.Counter;
    EXPECT_EQ(duplicate, source);
    EXPECT_EQ(state().focusRequest, Control::ChampLatitude);
    // Mending the field and saving writes into the copy.
    Type(Control::ChampLatitude, QStringLiteral("45"));
    editor_->ButOk_Click();
    EXPECT_EQ(Stored(copy).LATITUDE, 45.0F);
    EXPECT_EQ(Stored(CounterOfN1(6)).LATITUDE, 50.0F);
}

TEST_F(NavigationTest, NewShowsAnEmptyAppendedRowAndDropsUnsavedEdits) {
    Type(Control::ChampCh1, QStringLiteral("99"));
    const int count = RowCount();
    editor_->ButNew_Click();
    EXPECT_EQ(RowCount(), count + 1);
    EXPECT_EQ(Stored(CounterOfN1(6)).N1, 6);
    const document::Record row = Stored(Records().bookmark());
    EXPECT_FALSE(row.PERIOD.has_value());
    EXPECT_FALSE(row.ORIGINAL.has_value());
    EXPECT_TRUE(text(Control::ChampCh1).isEmpty());
    EXPECT_FALSE(state().changed);
    EXPECT_TRUE(state().ButOkEnabled);
    EXPECT_EQ(state().lblCpt, QStringLiteral("4"));
}

TEST_F(NavigationTest, CloseAsksOnlyWithAChangeAndStaysOpenOnCancelOrARefusedSave) {
    EXPECT_TRUE(editor_->ButEsc_Click());
    EXPECT_TRUE(prompter_.messages().empty());

    Type(Control::ChampPeriode, QStringLiteral("5"));
    prompter_.expect(AnswerWith(Answer::Cancel));
    EXPECT_FALSE(editor_->ButEsc_Click());
    EXPECT_EQ(prompter_.messages().back().text, QStringLiteral("Sauver les changements?"));
    EXPECT_EQ(prompter_.messages().back().buttons, platform::Buttons::YesNoCancel);
    EXPECT_EQ(prompter_.messages().back().icon, platform::Icon::Question);

    prompter_.expect(AnswerWith(Answer::Yes));
    prompter_.expect(AnswerWith(Answer::Ok)); // the period message
    EXPECT_FALSE(editor_->ButEsc_Click());
    EXPECT_EQ(prompter_.messages().back().text,
              QStringLiteral("La période doit être comprise entre 1 et 2"));
    // The edit is still waiting: a second close asks again.
    prompter_.expect(AnswerWith(Answer::No));
    EXPECT_TRUE(editor_->ButEsc_Click());
    EXPECT_EQ(Stored(CounterOfN1(6)).PERIOD, 2);
    EXPECT_EQ(prompter_.beeps(), 1);
}

TEST_F(NavigationTest, CloseWithYesSavesTheRow) {
    Type(Control::ChampCh2, QStringLiteral("3"));
    prompter_.expect(AnswerWith(Answer::Yes));
    EXPECT_TRUE(editor_->ButEsc_Click());
    EXPECT_EQ(Stored(CounterOfN1(6)).N2, 3);
}

TEST_F(NavigationTest, AnEmptyRecordSetHasNothingToStepOrDuplicate) {
    Show(QStringLiteral("SELECT * FROM DOVAZOV WHERE PERIOD = 9"));
    editor_->Form_Load();
    editor_->cmdNavig_Click(0);
    editor_->cmdNavig_Click(1);
    editor_->ButDupl_Click();
    EXPECT_EQ(RowCount(), 6);
    EXPECT_EQ(state().lblCpt, QStringLiteral("0"));
    // A new row is possible there too.
    editor_->ButNew_Click();
    EXPECT_EQ(RowCount(), 7);
    EXPECT_EQ(state().lblCpt, QStringLiteral("1"));
}

TEST_F(NavigationTest, NoDocumentMeansNothingToSaveInto) {
    document::Data1().reset();
    editor_->Form_Load();
    Type(Control::ChampPeriode, QStringLiteral("1"));
    prompter_.expect(AnswerWith(Answer::Ok));
    prompter_.expect(AnswerWith(Answer::Ok));
    editor_->ButOk_Click();
    EXPECT_EQ(prompter_.messages()[0].text, QStringLiteral("Erreur! [recordset is nothing]"));
    EXPECT_TRUE(prompter_.messages()[1].text.startsWith(QStringLiteral("Error 91\r")));
    // The edit still waits: a step tries the save again and goes nowhere.
    prompter_.expect(AnswerWith(Answer::Ok));
    prompter_.expect(AnswerWith(Answer::Ok));
    editor_->cmdNavig_Click(0);
    EXPECT_EQ(prompter_.messages().size(), 4U);
}

} // namespace

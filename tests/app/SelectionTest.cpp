#include "app/Selection.h"

#include "../document/WorkTableFixture.h"
#include "../support/ScriptedPrompter.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

using app::Selection;
using document::Data1;
using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;
using testing_support::WorkTableTest;

class SelectionDialogTest : public WorkTableTest {
protected:
    void SetUp() override {
        WorkTableTest::SetUp();
        AddPeriods({1, 2, 3, 1});
        Show(kSorted);
        hooks_.showSelectionLabel = [this](bool visible) { label_.push_back(visible); };
        hooks_.dataRefreshed = [this] { ++refreshed_; };
    }

    const QString kSorted = QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter");
    app::SelectionHooks hooks_;
    std::vector<bool> label_;
    int refreshed_ = 0;
};

TEST_F(SelectionDialogTest, TypingChoosesTheConditionAndApplyFiltersTheGrid) {
    Selection dialog(hooks_);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Sélection avancée"));
    EXPECT_TRUE(dialog.OptSelect[0]->isChecked());
    dialog.show();
    dialog.TxtSelect->setText(QStringLiteral("PERIOD = 1"));
    EXPECT_TRUE(dialog.OptSelect[1]->isChecked());
    ScriptedPrompter prompter;
    dialog.CmdSelect[0]->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Data1().recordSource(), QStringLiteral("SELECT * FROM DOVAZOV WHERE PERIOD = 1"));
    EXPECT_EQ(Data1().recordset().recordCount(), 2);
    EXPECT_EQ(label_, (std::vector<bool>{true}));
    EXPECT_EQ(refreshed_, 1);

    // The next opening shows the same choice; all records then hides the label.
    EXPECT_EQ(dialog.TxtSelect->text(), QStringLiteral("PERIOD = 1"));
    dialog.show();
    dialog.OptSelect[0]->setChecked(true);
    dialog.CmdSelect[0]->click();
    EXPECT_EQ(Data1().recordset().recordCount(), 4);
    EXPECT_EQ(label_, (std::vector<bool>{true, false}));
}

TEST_F(SelectionDialogTest, AnEmptyConditionBeepsAndClosesWithoutChange) {
    Selection dialog(hooks_);
    dialog.show();
    dialog.OptSelect[1]->setChecked(true);
    ScriptedPrompter prompter;
    dialog.CmdSelect[0]->click();
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Data1().recordSource(), kSorted);
    EXPECT_TRUE(label_.empty());
    EXPECT_EQ(refreshed_, 0);
}

TEST_F(SelectionDialogTest, ABadConditionShowsTheMessageAndKeepsThePreviousRows) {
    Selection dialog(hooks_);
    dialog.show();
    dialog.TxtSelect->setText(QStringLiteral("1=1; DELETE FROM DOVAZOV"));
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    dialog.CmdSelect[0]->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Data1().recordSource(), kSorted);
    EXPECT_EQ(RowCount(), 4);
    EXPECT_TRUE(label_.empty());
}

TEST_F(SelectionDialogTest, CancelKeepsTheTextButTheCloseBoxStartsAfresh) {
    Selection dialog(hooks_);
    dialog.show();
    dialog.TxtSelect->setText(QStringLiteral("PERIOD = 2"));
    dialog.CmdSelect[1]->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.TxtSelect->text(), QStringLiteral("PERIOD = 2"));
    EXPECT_TRUE(dialog.OptSelect[1]->isChecked());

    dialog.show();
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.TxtSelect->text().isEmpty());
    EXPECT_TRUE(dialog.OptSelect[0]->isChecked());
    EXPECT_EQ(Data1().recordSource(), kSorted);
    EXPECT_TRUE(label_.empty());
}

} // namespace

#include "app/frmOptionsPeriodes.h"

#include "../document/WorkTableFixture.h"
#include "../support/ScriptedPrompter.h"
#include "document/Periods.h"
#include "platform/StringTable.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

using document::PeriodScheme;
using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;
using testing_support::WorkTableTest;

class PeriodDialogWindowTest : public WorkTableTest {
protected:
    void SetUp() override {
        WorkTableTest::SetUp();
        platform::SetLangue(platform::kEnglish);
    }
};

TEST_F(PeriodDialogWindowTest, FillsItsBoxesOnceWhenItOpens) {
    document::InstallPeriodScheme({2, 1980, 2000});
    app::frmOptionsPeriodes dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Period options"));
    EXPECT_EQ(dialog.OptionPivot(2)->text(), QStringLiteral("Three periods.  Switch years:"));
    EXPECT_TRUE(dialog.OptionPivot(2)->isChecked());
    EXPECT_EQ(dialog.TxtPivot21()->text(), QStringLiteral("1980"));
    EXPECT_EQ(dialog.TxtPivot22()->text(), QStringLiteral("2000"));
    EXPECT_TRUE(dialog.TxtPivot1()->text().isEmpty());
    // What the user typed survives the dialog being drawn again.
    dialog.OptionPivot(1)->setChecked(true);
    dialog.TxtPivot1()->setText(QStringLiteral("1990"));
    dialog.show();
    dialog.repaint();
    dialog.hide();
    dialog.show();
    dialog.repaint();
    EXPECT_TRUE(dialog.OptionPivot(1)->isChecked());
    EXPECT_EQ(dialog.TxtPivot1()->text(), QStringLiteral("1990"));
}

TEST_F(PeriodDialogWindowTest, OkStoresTheSchemeAndCloses) {
    document::InstallPeriodScheme({0, 0, 0});
    app::frmOptionsPeriodes dialog;
    dialog.OptionPivot(1)->setChecked(true);
    dialog.TxtPivot1()->setText(QStringLiteral("1980"));
    dialog.Command1(0)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{1, 1980, 0}));
}

TEST_F(PeriodDialogWindowTest, ACancelledLoweringStaysWithTheStoredOption) {
    AddPeriods({3, 1});
    document::InstallPeriodScheme({2, 1980, 2000});
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Cancel));
    app::frmOptionsPeriodes dialog;
    dialog.show();
    dialog.OptionPivot(0)->setChecked(true);
    dialog.Command1_Click(0);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.OptionPivot(2)->isChecked());
    EXPECT_EQ(Periods(), (std::vector<int>{3, 1}));
    prompter.expect(AnswerWith(platform::Answer::Ok));
    dialog.OptionPivot(0)->setChecked(true);
    dialog.Command1_Click(0);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Periods(), (std::vector<int>{1, 1}));
    EXPECT_EQ(document::CurrentPeriodScheme().PeriodOption, 0);
}

TEST_F(PeriodDialogWindowTest, CancelChangesNothing) {
    document::InstallPeriodScheme({1, 1980, 0});
    app::frmOptionsPeriodes dialog;
    dialog.OptionPivot(2)->setChecked(true);
    dialog.TxtPivot21()->setText(QStringLiteral("1"));
    dialog.TxtPivot22()->setText(QStringLiteral("2"));
    dialog.Command1(1)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(document::CurrentPeriodScheme(), (PeriodScheme{1, 1980, 0}));
}

} // namespace

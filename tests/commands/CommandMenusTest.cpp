#include "../app/MainWindowFixture.h"

#include <QAction>
#include <QMenu>

namespace {

using app_test::MainWindowTest;

class CommandMenusTest : public MainWindowTest {};

TEST_F(CommandMenusTest, TheSnappingMenuRunsItsCommands) {
    ASSERT_TRUE(Load());
    OpenFixture();
    app::Form1& form = *form_;
    // The snapping items live in the submenu of "Ajust coordinates".
    ASSERT_NE(form.MnuAjuster->menu(), nullptr);
    EXPECT_TRUE(form.MnuAjuster->menu()->actions().contains(form.mnuAjustGrid[2]));
    EXPECT_TRUE(form.MnuAjuster->menu()->actions().contains(form.mnuAjustGridIFBL->menuAction()));
    const std::string before =
        document::WorkDb().execAndGet("SELECT group_concat(LATITUDE) FROM DOVAZOV").getString();
    testing_support::ScriptedPrompter prompter;
    platform::Settings().Silence = 0;
    document::Document().FileModified = 0;
    // Paris grades, no question; the rows without coordinates are told at the end.
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    form.mnuAjustGrid[2]->trigger();
    EXPECT_EQ(prompter.beeps(), 1);
    const std::string after =
        document::WorkDb().execAndGet("SELECT group_concat(LATITUDE) FROM DOVAZOV").getString();
    EXPECT_NE(after, before);
    // The moved rows are the document's change; the same walk again moves none and marks nothing.
    EXPECT_EQ(document::Document().FileModified, -1);
    document::Document().FileModified = 0;
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    form.mnuAjustGrid[2]->trigger();
    EXPECT_EQ(document::Document().FileModified, 0);
    // Item 1 asks for the meshes; a cancelled latitude changes nothing.
    prompter.expect(testing_support::TypeText(""));
    form.mnuAjustGrid[1]->trigger();
    EXPECT_EQ(prompter.inputs().size(), 1U);
    EXPECT_EQ(
        document::WorkDb().execAndGet("SELECT group_concat(LATITUDE) FROM DOVAZOV").getString(),
        after);
}

TEST_F(CommandMenusTest, TheAnalysisMenuIsHiddenAndDisabled) {
    ASSERT_TRUE(Load());
    EXPECT_FALSE(form_->mnuAna->menuAction()->isVisible());
    EXPECT_FALSE(form_->mnuAna->menuAction()->isEnabled());
    ASSERT_NE(form_->MnuParametres, nullptr);
    ASSERT_NE(form_->mnustd[1], nullptr);
}

} // namespace

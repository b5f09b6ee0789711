#include "MainWindowFixture.h"
#include "app/FileCommands.h"

#include <QDialog>
#include <QLineEdit>

namespace {

using testing_support::SaveAs;
using testing_support::ScriptedPrompter;

class AutoSaveTest : public app_test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        prompter_ = std::make_unique<ScriptedPrompter>();
        ASSERT_TRUE(Load());
        file_ = OpenFixture();
        platform::Settings().AutoSave = 1;
        platform::Settings().SaveInterval = 5;
    }
    void TearDown() override {
        EXPECT_EQ(prompter_->pending(), 0U);
        prompter_.reset();
        MainWindowTest::TearDown();
    }

    void Change() {
        form_->BoxTitre->setText("Changed title");
        document::Document().FileModified = -1;
    }
    bool Saved() const { return FileBytes(file_).contains("Changed title"); }
    // Ticks until one saves; the number of ticks, or 0 when none of `most` did.
    int TicksUntilSave(int most) {
        for (int tick = 1; tick <= most; ++tick) {
            if (timer_.Timer1_Timer(*form_)) {
                return tick;
            }
        }
        return 0;
    }

    std::unique_ptr<ScriptedPrompter> prompter_;
    QString file_;
    app::AutoSaveTimer timer_;
};

TEST_F(AutoSaveTest, ChangedDocumentIsWrittenEveryIntervalWithoutBackup) {
    Change();
    EXPECT_EQ(TicksUntilSave(4), 0);
    EXPECT_FALSE(Saved());
    EXPECT_TRUE(timer_.Timer1_Timer(*form_));
    EXPECT_TRUE(Saved());
    EXPECT_EQ(document::Document().FileModified, 0);
    EXPECT_EQ(timer_.counter(), 0);
    EXPECT_FALSE(QFile::exists(path("bees.BAK")));
}

TEST_F(AutoSaveTest, UnchangedDocumentWritesNothingAndTheCountStartsAgain) {
    form_->BoxTitre->setText("Changed title"); // not typed: the document is unchanged
    EXPECT_EQ(TicksUntilSave(5), 0);
    EXPECT_EQ(timer_.counter(), 0);
    EXPECT_FALSE(Saved());
}

TEST_F(AutoSaveTest, IntervalBelowOneCountsAsFive) {
    struct Case {
        int stored;
        int ticks;
    };
    for (const Case c : {Case{0, 5}, Case{-3, 5}, Case{1, 1}, Case{3, 3}}) {
        platform::Settings().SaveInterval = static_cast<std::int16_t>(c.stored);
        app::AutoSaveTimer timer;
        Change();
        int tick = 1;
        while (!timer.Timer1_Timer(*form_) && tick < 10) {
            ++tick;
        }
        EXPECT_EQ(tick, c.ticks) << c.stored;
    }
}

TEST_F(AutoSaveTest, OffFreezesTheCount) {
    Change();
    EXPECT_EQ(TicksUntilSave(3), 0);
    platform::Settings().AutoSave = 0;
    EXPECT_EQ(TicksUntilSave(10), 0);
    EXPECT_EQ(timer_.counter(), 3);
    platform::Settings().AutoSave = 1;
    EXPECT_EQ(TicksUntilSave(5), 2);
}

TEST_F(AutoSaveTest, LoweredIntervalBelowTheCountStillSaves) {
    platform::Settings().SaveInterval = 10;
    Change();
    EXPECT_EQ(TicksUntilSave(6), 0);
    platform::Settings().SaveInterval = 2;
    EXPECT_EQ(TicksUntilSave(1), 1);
}

TEST_F(AutoSaveTest, NeverWhileAFileCommandIsUnderWayThenAtTheFirstFreeTick) {
    Change();
    {
        app::DocumentWork reading;
        EXPECT_EQ(TicksUntilSave(8), 0);
        EXPECT_FALSE(Saved());
    }
    EXPECT_EQ(TicksUntilSave(1), 1);
    EXPECT_TRUE(Saved());
}

TEST_F(AutoSaveTest, NeverWhileADialogIsOpen) {
    Change();
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    ASSERT_NE(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(TicksUntilSave(8), 0);
    dialog.close();
    EXPECT_EQ(TicksUntilSave(1), 1);
}

TEST_F(AutoSaveTest, AFailingSaveIsToldOncePerIntervalAndKeepsTheDocumentMarked) {
    QFile blocker(path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    document::Document().CurrentFile = path("blocker/bees.deg"); // its folder is a plain file
    Change();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE(attempt);
        prompter_->expect(testing_support::AnswerWith(platform::Answer::Ok));
        EXPECT_EQ(TicksUntilSave(5), 5);
        ASSERT_EQ(prompter_->messages().size(), static_cast<std::size_t>(attempt));
        EXPECT_TRUE(prompter_->messages().back().text.startsWith("Erreur pendant la sauvegarde"));
        EXPECT_EQ(document::Document().FileModified, -1);
    }
    EXPECT_EQ(TicksUntilSave(4), 0); // no box between two attempts
    EXPECT_EQ(prompter_->messages().size(), 2U);
}

TEST_F(AutoSaveTest, AChangedDocumentWithoutRecordsIsToldOncePerInterval) {
    document::WorkDb().exec("DELETE FROM DOVAZOV");
    document::Data1().refresh();
    Change();
    prompter_->expect(testing_support::AnswerWith(platform::Answer::Ok));
    EXPECT_EQ(TicksUntilSave(9), 5);
    EXPECT_EQ(TicksUntilSave(4), 0);
    ASSERT_EQ(prompter_->messages().size(), 1U);
    EXPECT_EQ(prompter_->messages()[0].text, "Unable to save the file!");
    EXPECT_EQ(document::Document().FileModified, -1);
}

TEST_F(AutoSaveTest, DocumentWithoutAFileOpensTheSaveDialog) {
    document::Document().CurrentFile.clear();
    Change();
    prompter_->expect(SaveAs(""));
    EXPECT_EQ(TicksUntilSave(5), 5);
    EXPECT_EQ(prompter_->fileDialogs().size(), 1U);
    prompter_->expect(SaveAs(path("saved.deg")));
    EXPECT_EQ(TicksUntilSave(5), 5);
    EXPECT_EQ(document::Document().CurrentFile, path("saved.deg"));
    EXPECT_EQ(form_->windowTitle(), "DOVazov - " + path("saved.deg"));
}

} // namespace

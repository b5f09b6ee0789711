#include "app/FileCommands.h"

#include "MainWindowFixture.h"
#include "app/MainSettings.h"
#include "app/RecordTableModel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>

namespace {

using platform::Answer;
using testing_support::AnswerWith;
using testing_support::ChooseFile;
using testing_support::SaveAs;
using testing_support::ScriptedPrompter;
using testing_support::TypeText;

class FileCommandsTest : public app_test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        prompter_ = std::make_unique<ScriptedPrompter>();
        ASSERT_TRUE(Load());
        file_ = OpenFixture();
        original_ = FileBytes(file_);
    }
    void TearDown() override {
        if (prompter_) {
            EXPECT_EQ(prompter_->pending(), 0U);
        }
        prompter_.reset();
        MainWindowTest::TearDown();
    }

    // The user types a new title: the document changed.
    void ChangeTitle(const QString& title = QStringLiteral("Changed title")) {
        form_->BoxTitre->setText(title);
        document::Document().FileModified = -1;
    }
    static int Rows() { return document::Data1().recordset().recordCount(); }

    std::unique_ptr<ScriptedPrompter> prompter_;
    QString file_;
    QByteArray original_;
};

TEST_F(FileCommandsTest, SaveQuestionAnsweredEachWay) {
    struct Case {
        Answer answer;
        int cancel;
        bool written;
    };
    for (const Case c :
         {Case{Answer::Cancel, 1, false}, Case{Answer::No, 0, false}, Case{Answer::Yes, 0, true}}) {
        ChangeTitle();
        prompter_->expect(AnswerWith(c.answer));
        EXPECT_EQ(app::CheckSauvegarde(*form_), c.cancel);
        const auto& asked = prompter_->messages().back();
        EXPECT_EQ(asked.text, "Save file ?");
        EXPECT_EQ(asked.buttons, platform::Buttons::YesNoCancel);
        EXPECT_EQ(asked.icon, platform::Icon::Exclamation);
        EXPECT_EQ(FileBytes(file_).contains("Changed title"), c.written);
        EXPECT_EQ(document::Document().FileModified, c.written ? 0 : -1);
    }
    // Written over the file, without a backup.
    EXPECT_FALSE(QFile::exists(path("bees.BAK")));
    // An unchanged document is not asked about.
    EXPECT_EQ(app::CheckSauvegarde(*form_), 0);
}

TEST_F(FileCommandsTest, SaveQuestionYesWithoutAFileAndTheDialogCancelledStopsTheCaller) {
    document::Document().CurrentFile.clear();
    ChangeTitle();
    prompter_->expect(AnswerWith(Answer::Yes));
    prompter_->expect(SaveAs(""));
    EXPECT_EQ(app::CheckSauvegarde(*form_), 1);
    EXPECT_EQ(document::Document().CurrentFile, "");
    EXPECT_EQ(document::Document().FileModified, -1);
    EXPECT_EQ(prompter_->messages().size(), 1U); // the question only: the user cancelled
}

// The commands that throw the document away after the save question, each run from the window.
struct Discarding {
    const char* name;
    bool asksSizeFirst; // New asks for the number of lines before the question
    void (*run)(app::Form1& form);
};

const Discarding kDiscarding[] = {
    {"Quit", false, [](app::Form1& form) { form.MnuQuitter_Click(); }},
    {"window closed", false,
     [](app::Form1& form) {
         form.show();
         EXPECT_FALSE(form.close());
         EXPECT_TRUE(form.isVisible());
     }},
    {"New", true, [](app::Form1& form) { form.MnuNouveau_Click(); }},
    {"Open", false, [](app::Form1& form) { form.MnuOuvrir_Click(); }},
    {"recent file", false, [](app::Form1& form) { form.MnuLastFile_Click(1); }},
};

class SaveThatWritesNothingTest : public FileCommandsTest {
protected:
    void SetUp() override {
        FileCommandsTest::SetUp();
        // Another file to open from the recent list.
        platform::Settings().LastFiles = {CopyFixture("nofields.deg", "other.deg"), {}, {}, {}};
        form_->ShowRecentFiles();
        QFile blocker(path("blocker"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }

    // A file name that no one can create, the superuser included: its folder is a plain file.
    QString Unwritable() const { return path("blocker/bees.deg"); }

    // The document, its file, its changed flag and the program are all still there.
    void ExpectDocumentKept(const QString& currentFile) {
        EXPECT_EQ(ended_, 0);
        EXPECT_EQ(Rows(), 5);
        EXPECT_EQ(form_->BoxTitre->text(), "Changed title");
        EXPECT_EQ(document::Document().CurrentFile, currentFile);
        EXPECT_EQ(document::Document().FileModified, -1);
        EXPECT_EQ(platform::GetSetting("DOVAZOV", "Files", "LastFile1", "not written"),
                  "not written");
    }
};

TEST_F(SaveThatWritesNothingTest, AFailedSaveStopsTheCommandAfterTheWritersOwnMessage) {
    for (const Discarding& command : kDiscarding) {
        SCOPED_TRACE(command.name);
        document::Document().CurrentFile = Unwritable();
        ChangeTitle();
        const std::size_t before = prompter_->messages().size();
        if (command.asksSizeFirst) {
            prompter_->expect(TypeText("3"));
        }
        prompter_->expect(AnswerWith(Answer::Yes));
        prompter_->expect(AnswerWith(Answer::Ok)); // the writer tells why
        command.run(*form_);

        ExpectDocumentKept(Unwritable());
        ASSERT_EQ(prompter_->messages().size(), before + 2); // one box for one failure
        EXPECT_TRUE(prompter_->messages().back().text.startsWith("Erreur pendant la sauvegarde"))
            << prompter_->messages().back().text.toStdString();
        EXPECT_TRUE(prompter_->fileDialogs().empty());
    }
}

TEST_F(SaveThatWritesNothingTest, ACancelledSaveAsStopsTheCommand) {
    for (const Discarding& command : kDiscarding) {
        SCOPED_TRACE(command.name);
        document::Document().CurrentFile.clear();
        ChangeTitle();
        const std::size_t before = prompter_->messages().size();
        if (command.asksSizeFirst) {
            prompter_->expect(TypeText("3"));
        }
        prompter_->expect(AnswerWith(Answer::Yes));
        prompter_->expect(SaveAs(""));
        command.run(*form_);

        ExpectDocumentKept("");
        EXPECT_EQ(prompter_->messages().size(), before + 1); // the question only
    }
}

TEST_F(SaveThatWritesNothingTest, ASaveAsThatFailsStopsTheQuit) {
    document::Document().CurrentFile.clear();
    ChangeTitle();
    prompter_->expect(AnswerWith(Answer::Yes));
    prompter_->expect(SaveAs(Unwritable()));
    prompter_->expect(AnswerWith(Answer::Ok)); // the writer tells why
    form_->MnuQuitter_Click();
    // Save As names the document even when the write failed.
    ExpectDocumentKept(Unwritable());
    EXPECT_EQ(prompter_->messages().size(), 2U);
}

TEST_F(SaveThatWritesNothingTest, ADocumentWithoutRecordsIsToldAndKept) {
    document::WorkDb().exec("DELETE FROM DOVAZOV");
    document::Data1().refresh();
    document::Document().FileModified = -1;
    prompter_->expect(AnswerWith(Answer::Yes));
    prompter_->expect(AnswerWith(Answer::Ok));
    form_->MnuQuitter_Click();
    EXPECT_EQ(ended_, 0);
    EXPECT_EQ(prompter_->messages().back().text, "Unable to save the file!");
    EXPECT_EQ(FileBytes(file_), original_);
    EXPECT_EQ(document::Document().FileModified, -1);
}

TEST_F(FileCommandsTest, AnErrorInTheSaveQuestionKeepsTheWindowOpen) {
    ChangeTitle();
    document::WorkDb().exec("DROP TABLE DOVAZOV"); // the writer's first query fails
    prompter_->expect(AnswerWith(Answer::Yes));
    prompter_->expect(AnswerWith(Answer::Ok)); // the error box
    form_->show();
    EXPECT_FALSE(form_->close());
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(ended_, 0);
}

TEST_F(FileCommandsTest, QuitWritesTheSettingsFileThatQSettingsReads) {
    prompter_->expect(AnswerWith(Answer::No));
    ChangeTitle();
    form_->MnuQuitter_Click();
    ASSERT_EQ(ended_, 1);
    QSettings written(store_.folder() + "/DOVAZOV.ini", QSettings::IniFormat);
    EXPECT_EQ(written.value("Files/LastFile1").toString(), file_);
    EXPECT_EQ(written.value("Language/Language").toString(), "1000");
}

TEST_F(FileCommandsTest, OpenAnsweredNoThenCancelledKeepsTheChangedDocument) {
    ChangeTitle();
    prompter_->expect(AnswerWith(Answer::No));
    prompter_->expect(ChooseFile(""));
    form_->MnuOuvrir_Click();
    EXPECT_EQ(document::Document().FileModified, -1);
    EXPECT_EQ(document::Document().CurrentFile, file_);
    EXPECT_EQ(Rows(), 5);
}

TEST_F(FileCommandsTest, OpenReadsTheFileRemembersItsFolderAndHidesTheSelectionLabel) {
    const QString other = CopyFixture("nofields.deg", "sub/other.deg");
    form_->lbl1->show();
    prompter_->expect(ChooseFile(other));
    form_->MnuOuvrir_Click();

    EXPECT_EQ(prompter_->fileDialogs().back().filter, "Distribution (*.deg)|*.deg");
    EXPECT_EQ(document::Document().CurrentFile, other);
    EXPECT_EQ(form_->windowTitle(), "DOVazov - " + other);
    EXPECT_EQ(platform::Settings().LastFiles[0], other);
    EXPECT_EQ(platform::GetSetting("DOVAZOV", "Paths", "LastDeg"), path("sub") + "/");
    EXPECT_FALSE(form_->lbl1->isVisible());
    // The next Open starts in that folder.
    prompter_->expect(ChooseFile(""));
    form_->MnuOuvrir_Click();
    EXPECT_EQ(prompter_->fileDialogs().back().folder, path("sub") + "/");
}

TEST_F(FileCommandsTest, FailedOpenLeavesFileCaptionAndDocumentAsTheyWere) {
    const QString caption = form_->windowTitle();
    prompter_->expect(ChooseFile(path("gone.deg")));
    prompter_->expect(AnswerWith(Answer::Ok)); // File not found
    form_->MnuOuvrir_Click();
    EXPECT_EQ(prompter_->messages().back().text, "File not found\r\r" + path("gone.deg"));
    EXPECT_EQ(document::Document().CurrentFile, file_);
    EXPECT_EQ(form_->windowTitle(), caption);
    EXPECT_EQ(Rows(), 5);
}

TEST_F(FileCommandsTest, SaveMakesABackupFirst) {
    ChangeTitle();
    QFile old(path("bees.BAK"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("older backup");
    old.close();

    form_->MnuEnregistrer_Click();

    EXPECT_EQ(FileBytes(path("bees.BAK")), original_);
    EXPECT_TRUE(FileBytes(file_).contains("Changed title"));
    EXPECT_EQ(document::Document().FileModified, 0);
}

TEST_F(FileCommandsTest, SaveOfADocumentWithoutAFileGoesThroughSaveAs) {
    document::Document().CurrentFile.clear();
    prompter_->expect(SaveAs(""));
    form_->MnuEnregistrer_Click();
    EXPECT_EQ(document::Document().CurrentFile, "");

    prompter_->expect(SaveAs(path("new.deg")));
    form_->MnuEnregistrer_Click();
    EXPECT_EQ(document::Document().CurrentFile, path("new.deg"));
    EXPECT_EQ(form_->windowTitle(), "DOVazov - " + path("new.deg"));
    EXPECT_FALSE(QFile::exists(path("new.BAK")));
}

TEST_F(FileCommandsTest, SaveAsNamesTheDocumentAndLeavesTheRecentFiles) {
    const auto recent = platform::Settings().LastFiles;
    prompter_->expect(SaveAs(path("copy.deg")));
    form_->MnuEnrSous_Click();
    EXPECT_EQ(prompter_->fileDialogs().back().filter, "Distribution files (*.deg)|*.deg");
    EXPECT_EQ(prompter_->fileDialogs().back().fileName, file_);
    EXPECT_TRUE(QFile::exists(path("copy.deg")));
    EXPECT_EQ(document::Document().CurrentFile, path("copy.deg"));
    EXPECT_EQ(form_->windowTitle(), "DOVazov - " + path("copy.deg"));
    EXPECT_EQ(platform::Settings().LastFiles, recent);
}

TEST_F(FileCommandsTest, MergeKeepsTheFileAndMarksTheDocument) {
    const QString second = CopyFixture("current.deg", "second.deg");
    ChangeTitle(); // no save question before a merge
    prompter_->expect(ChooseFile(second));
    form_->MnuFusionner_Click();
    EXPECT_EQ(Rows(), 10);
    EXPECT_EQ(document::Document().CurrentFile, file_);
    EXPECT_EQ(document::Document().FileModified, -1);
    EXPECT_EQ(platform::Settings().LastFiles[0], second);
    EXPECT_EQ(form_->windowTitle(), "DOVazov - " + file_);
    EXPECT_EQ(form_->model->rowCount(), 10);
}

TEST_F(FileCommandsTest, RecentFilesMoveToTheHeadKeepingTheirSpelling) {
    std::array<QString, 4> list{};
    for (const char* name : {"/d/a.deg", "/d/b.deg", "/d/c.deg", "/d/d.deg", "/d/e.deg"}) {
        app::MajLastFiles(list, name);
    }
    EXPECT_EQ(list, (std::array<QString, 4>{"/d/e.deg", "/d/d.deg", "/d/c.deg", "/d/b.deg"}));
    app::MajLastFiles(list, "/d/c.deg");
    EXPECT_EQ(list, (std::array<QString, 4>{"/d/c.deg", "/d/e.deg", "/d/d.deg", "/d/b.deg"}));
    app::MajLastFiles(list, "/D/B.DEG");
    EXPECT_EQ(list, (std::array<QString, 4>{"/d/b.deg", "/d/c.deg", "/d/e.deg", "/d/d.deg"}));
}

TEST_F(FileCommandsTest, RecentFileWithAnAmpersandShowsAndOpensAsWritten) {
    const QString odd = CopyFixture("nofields.deg", "bees & wasps.deg");
    platform::Settings().LastFiles = {odd, file_, {}, {}};
    form_->ShowRecentFiles();
    ASSERT_NE(form_->MnuLastFile[1], nullptr);
    EXPECT_EQ(form_->MnuLastFile[1]->text(), "&1 " + QString(odd).replace("&", "&&"));
    EXPECT_TRUE(form_->MnuLastFile[0]->isVisible());
    EXPECT_EQ(form_->MnuLastFile[3], nullptr);

    form_->MnuLastFile_Click(1);
    EXPECT_EQ(document::Document().CurrentFile, odd);
    EXPECT_EQ(form_->windowTitle(), "DOVazov - " + odd);
}

TEST_F(FileCommandsTest, FailedRecentFileLeavesTheDocumentAsItWas) {
    platform::Settings().LastFiles = {path("gone.deg"), {}, {}, {}};
    form_->ShowRecentFiles();
    const QString caption = form_->windowTitle();
    prompter_->expect(AnswerWith(Answer::Ok)); // File not found
    form_->MnuLastFile_Click(1);
    EXPECT_EQ(document::Document().CurrentFile, file_);
    EXPECT_EQ(form_->windowTitle(), caption);
    EXPECT_EQ(Rows(), 5);
}

TEST_F(FileCommandsTest, QuitCancelledKeepsRunningOtherwiseWritesTheSettingsAndEnds) {
    ChangeTitle();
    prompter_->expect(AnswerWith(Answer::Cancel));
    form_->MnuQuitter_Click();
    EXPECT_EQ(ended_, 0);
    EXPECT_EQ(platform::GetSetting("DOVAZOV", "Files", "LastFile1"), "");

    // Closing the window asks the same question.
    prompter_->expect(AnswerWith(Answer::Cancel));
    form_->show();
    EXPECT_FALSE(form_->close());
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(ended_, 0);

    prompter_->expect(AnswerWith(Answer::No));
    form_->MnuQuitter_Click();
    EXPECT_EQ(ended_, 1);
    EXPECT_EQ(platform::GetSetting("DOVAZOV", "Files", "LastFile1"), file_);
    EXPECT_EQ(platform::GetSetting("DOVAZOV", "Language", "Language"), "1000");
    EXPECT_FALSE(FileBytes(file_).contains("Changed title"));
}

TEST_F(FileCommandsTest, NewReplacesTheDocumentAndBaresTheCaption) {
    prompter_->expect(TypeText("3"));
    app_test::DialogCloser closer; // the period dialog
    form_->MnuNouveau_Click();
    EXPECT_EQ(closer.closed, 1);
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(form_->model->rowCount(), 3);
    EXPECT_EQ(document::Document().CurrentFile, "");
    EXPECT_EQ(form_->windowTitle(), "DOVazov");
    EXPECT_EQ(document::Document().FileModified, 0);
    EXPECT_EQ(form_->BoxTitre->text(), "");
}

TEST_F(FileCommandsTest, NewOnAChangedDocumentAnsweredCancelChangesNothing) {
    ChangeTitle();
    prompter_->expect(TypeText("3"));
    prompter_->expect(AnswerWith(Answer::Cancel));
    form_->MnuNouveau_Click();
    EXPECT_EQ(Rows(), 5);
    EXPECT_EQ(document::Document().CurrentFile, file_);
    EXPECT_EQ(document::Document().FileModified, -1);
    EXPECT_EQ(form_->windowTitle(), "DOVazov - " + file_);
}

TEST_F(FileCommandsTest, GroupAndSaveWritesAnotherFileAndKeepsTheDocumentsOwn) {
    ChangeTitle();
    prompter_->expect(SaveAs(path("grouped.deg")));
    form_->MnuGrouper_Click();
    EXPECT_TRUE(FileBytes(path("grouped.deg")).contains("Changed title"));
    EXPECT_EQ(document::Document().CurrentFile, file_);
    EXPECT_EQ(form_->model->rowCount(), 5);
}

TEST_F(FileCommandsTest, TitleAndCommentMarkTheDocumentOnlyWhenTyped) {
    document::Document().FileModified = 0;
    form_->BoxTitre->setText("set by the program");
    EXPECT_EQ(document::Document().FileModified, 0);
    emit form_->Commentaire->textEdited("typed");
    EXPECT_EQ(document::Document().FileModified, -1);
}

} // namespace

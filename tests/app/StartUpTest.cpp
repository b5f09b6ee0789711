#include "../support/ScopedEnv.h"
#include "MainWindowFixture.h"
#include "app/MainSettings.h"
#include "app/RecordTableModel.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <unistd.h>

namespace {

using testing_support::AnswerWith;
using testing_support::ScopedEnv;
using testing_support::ScriptedPrompter;

class StartUpTest : public app_test::MainWindowTest {
protected:
    // Ends the run as the program's end does: the working database and its folder go.
    void EndRun() {
        form_.reset();
        document::Data1().reset();
        document::CloseWorkDatabase();
    }

    static QString ParentOf(const QString& path) { return QFileInfo(path).absolutePath(); }

    // The session runtime folder the user's default working folder is in.
    QTemporaryDir runtime_;
    ScopedEnv runtimeEnv_{"XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path())};
};

bool DocumentMenusEnabled(const app::Form1& form) {
    return form.MnuEnregistrer->isEnabled() && form.MnuEnrSous->isEnabled() &&
           form.MnuFusionner->isEnabled() && form.MnuGrouper->isEnabled() &&
           form.MnuExporter->menuAction()->isEnabled() &&
           form.MnuImporter->menuAction()->isEnabled() &&
           form.MnuEdition->menuAction()->isEnabled() &&
           form.MnuVisualiser->menuAction()->isEnabled() && form.MnuOptionsPeriodes->isEnabled();
}

bool AnyDocumentMenuEnabled(const app::Form1& form) {
    return form.MnuEnregistrer->isEnabled() || form.MnuEnrSous->isEnabled() ||
           form.MnuFusionner->isEnabled() || form.MnuGrouper->isEnabled() ||
           form.MnuExporter->menuAction()->isEnabled() ||
           form.MnuImporter->menuAction()->isEnabled() ||
           form.MnuEdition->menuAction()->isEnabled() ||
           form.MnuVisualiser->menuAction()->isEnabled() || form.MnuOptionsPeriodes->isEnabled();
}

TEST_F(StartUpTest, FirstStartWithoutCommandLineShowsAnEmptyEnglishWindow) {
    ScriptedPrompter prompter; // the first start asks nothing
    ASSERT_TRUE(Load());

    EXPECT_EQ(platform::Langue(), platform::kEnglish);
    EXPECT_EQ(form_->windowTitle(), "DOVazov");
    EXPECT_EQ(form_->MnuNouveau->text(), "&New");
    EXPECT_FALSE(AnyDocumentMenuEnabled(*form_));
    EXPECT_FALSE(form_->TDBGrid1->isVisible());
    // The command bar at the top under the menus, a plain area below it where the grid will come.
    ASSERT_TRUE(form_->isVisible());
    EXPECT_LE(form_->cmd[0]->mapTo(form_.get(), QPoint(0, 0)).y(),
              form_->menuBar()->height() + form_->cmd[0]->height());
    EXPECT_TRUE(form_->EmptyArea->isVisible());
    EXPECT_GE(form_->EmptyArea->height(), form_->centralWidget()->height() / 2);
    EXPECT_FALSE(document::Data1().bound());
    EXPECT_EQ(document::Document().FileModified, 0);
    EXPECT_EQ(document::Document().SqlTri, "SELECT * FROM DOVAZOV ORDER BY Counter");
    // In a folder of its own inside the working folder.
    EXPECT_TRUE(QFile::exists(document::Work().WorkDbPath));
    EXPECT_EQ(ParentOf(ParentOf(document::Work().WorkDbPath)), path("work"));
    EXPECT_EQ(document::Work().WorkingDir, path("work"));
    EXPECT_FALSE(form_->MnuLastFile[0]->isVisible());
}

TEST_F(StartUpTest, CommandLineOfArgumentsWithBlanksOpensTheFile) {
    ScriptedPrompter prompter;
    const QString file = CopyFixture("current.deg", "my data/bees 2010.deg");
    // The shell split the unquoted path in three arguments.
    const QString commandLine = app::CommandLineOf(file.split(' '));
    ASSERT_EQ(commandLine, file);

    ASSERT_TRUE(Load(commandLine));

    EXPECT_EQ(document::Document().CurrentFile, file);
    EXPECT_EQ(form_->windowTitle(), "DOVazov - " + file);
    EXPECT_EQ(platform::Settings().LastFiles[0], file);
    EXPECT_TRUE(DocumentMenusEnabled(*form_));
    EXPECT_EQ(form_->model->rowCount(), 5);
    EXPECT_EQ(document::Document().FileModified, 0);
}

TEST_F(StartUpTest, CommandLineNamingNoFileIsReportedLeavesNoDocumentAndEnablesTheMenus) {
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));

    ASSERT_TRUE(Load(path("missing.deg")));

    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "File not found\r\r" + path("missing.deg"));
    EXPECT_EQ(document::Document().CurrentFile, "");
    EXPECT_EQ(form_->windowTitle(), "DOVazov");
    EXPECT_FALSE(document::Data1().bound());
    // The load step enables the document menus whether or not the file could be read.
    EXPECT_TRUE(DocumentMenusEnabled(*form_));
}

// A datum database that is no database (here zero-filled) gives one message, naming it; the start
// goes on with the database the user then picks, and opens the document it was asked to open.
// Cancelling the search ends the start without a further message.
TEST_F(StartUpTest, AnUnreadableDatumDatabaseIsReportedOnceAndAnotherIsAskedFor) {
    QFile zeros(path("DATUM.MDB"));
    ASSERT_TRUE(zeros.open(QIODevice::WriteOnly));
    zeros.write(QByteArray(64 * 1024, '\0'));
    zeros.close();
    const QString file = CopyFixture("current.deg", "bees.deg");
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "another chosen");
        EndRun();
        geodesy::ResetDatumState();
        platform::SaveSetting("ZEB", "Datum", "DB", path("DATUM.MDB"));
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok));
        prompter.expect(testing_support::ChooseFile(cancel ? QString() : DOVAZOV_DATUM_DB));

        EXPECT_EQ(Load(file), !cancel);

        ASSERT_EQ(prompter.messages().size(), 1U);
        EXPECT_TRUE(prompter.messages()[0].text.contains(path("DATUM.MDB")))
            << prompter.messages()[0].text.toStdString();
        EXPECT_EQ(prompter.fileDialogs().size(), 1U);
        if (!cancel) {
            EXPECT_EQ(geodesy::Datums().datumCount(), 230);
            EXPECT_EQ(document::Document().CurrentFile, file);
            EXPECT_EQ(form_->model->rowCount(), 5);
        }
    }
}

TEST_F(StartUpTest, OpenOfAMissingFileWithoutADocumentStillEnablesTheMenus) {
    ScriptedPrompter prompter;
    ASSERT_TRUE(Load());
    prompter.expect(testing_support::ChooseFile(path("gone.deg")));
    prompter.expect(AnswerWith(platform::Answer::Ok)); // File not found

    form_->MnuOuvrir_Click();

    EXPECT_EQ(prompter.messages().back().text, "File not found\r\r" + path("gone.deg"));
    EXPECT_FALSE(document::Data1().bound());
    EXPECT_TRUE(DocumentMenusEnabled(*form_));
}

TEST_F(StartUpTest, StoredColumnWidthsApplyAsTheyAreDownToZero) {
    platform::SaveSetting("DOVAZOV", "Grid", "ColWidth3", "wide"); // no number: width 0
    platform::SaveSetting("DOVAZOV", "Grid", "ColWidth4", "150");
    ScriptedPrompter prompter; // no message for a width
    ASSERT_TRUE(Load());
    EXPECT_EQ(form_->TDBGrid1->columnWidth(3), 0);
    EXPECT_EQ(form_->TDBGrid1->columnWidth(4), 10); // 15 twips a pixel
}

// With a document the comment column takes the room the others leave, and columns widened to their
// values keep the widths the settings hold.
TEST_F(StartUpTest, TheCommentColumnTakesTheRoomLeftAndStoredWidthsStay) {
    ScriptedPrompter prompter;
    ASSERT_TRUE(Load());
    OpenFixture();
    form_->resize(1200, 600);
    QCoreApplication::processEvents();
    QTableView* grid = form_->TDBGrid1;
    ASSERT_TRUE(grid->isVisible());
    const int last = form_->model->columnCount() - 1;
    EXPECT_EQ(grid->columnViewportPosition(last) + grid->columnWidth(last),
              grid->viewport()->width());
    EXPECT_EQ(form_->windowSettings().ColWidth, app::kDefaultColWidths);
    // A column the user widens is stored at its new width.
    grid->setColumnWidth(7, grid->columnWidth(7) + 30);
    EXPECT_GT(form_->windowSettings().ColWidth[7], app::kDefaultColWidths[7]);
}

TEST_F(StartUpTest, SecondCopyIsRefusedAndTheFirstKeepsItsLock) {
    const QString lockPath = path("dovazov.lock");
    app::SingleInstanceLock first(lockPath);
    ASSERT_TRUE(first.acquire());

    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    app::Program second;
    EXPECT_EQ(app::StartProgram(second, {}, lockPath), app::StartOutcome::AlreadyRunning);

    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "ZEB is already running!");
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Critical);
    EXPECT_EQ(second.form, nullptr);
    // No working database was made by the refused copy.
    EXPECT_TRUE(QDir(path("work")).isEmpty());
}

TEST_F(StartUpTest, StartProgramLoadsTheMainWindowAndClosesTheStartScreen) {
    ScriptedPrompter prompter;
    app::Program program;
    ASSERT_EQ(app::StartProgram(program, {}, path("dovazov.lock")), app::StartOutcome::Running);
    ASSERT_NE(program.form, nullptr);
    EXPECT_TRUE(program.form->isVisible());
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<app::Start*>(widget) != nullptr && widget->isVisible(), false);
    }
    program.form.reset();
}

TEST_F(StartUpTest, ErrorInTheLoadStepIsShownAndEndsTheStart) {
    // Neither the working folder nor the user's own folders can be used: all under a plain file.
    QFile blocker(path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    platform::SaveSetting("DOVazov", "Config", "WorkingDir", path("blocker/work"));
    const ScopedEnv noRuntime = ScopedEnv::Unset("XDG_RUNTIME_DIR");
    const ScopedEnv cache("XDG_CACHE_HOME", QFile::encodeName(path("blocker/cache")));
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok)); // the working folder cannot be used
    prompter.expect(AnswerWith(platform::Answer::Ok)); // the error

    EXPECT_FALSE(Load());

    ASSERT_EQ(prompter.messages().size(), 2U);
    EXPECT_TRUE(prompter.messages()[1].text.startsWith("Error 75\r"))
        << prompter.messages()[1].text.toStdString();
    EXPECT_TRUE(prompter.messages()[1].text.contains(path("blocker/cache")));
    EXPECT_EQ(prompter.messages()[1].icon, platform::Icon::Exclamation);
}

TEST_F(StartUpTest, AnUnusableWorkingFolderFallsBackToTheUsersOwnWithAMessage) {
    QFile file(path("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QDir().mkpath(path("locked")));
    ASSERT_TRUE(QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner));
    const struct {
        const char* name;
        QString folder;
        int langue;
        QString reason;
        bool rootMayWrite;
    } cases[] = {
        {"missing", path("missing"), platform::kEnglish, "it does not exist", false},
        {"a file", path("file"), platform::kEnglish, "it is not a folder", false},
        {"read-only", path("locked"), platform::kEnglish, "it cannot be written to", true},
        {"missing, in French", path("missing"), platform::kFrench, "il n'existe pas", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.rootMayWrite && geteuid() == 0) {
            continue; // permissions do not bind the superuser
        }
        platform::SaveSetting("DOVazov", "Config", "WorkingDir", c.folder);
        platform::SetLangue(c.langue);
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok));

        ASSERT_TRUE(Load());

        ASSERT_GE(prompter.messages().size(), 1U);
        const platform::MessageRequest& message = prompter.messages()[0];
        EXPECT_TRUE(message.text.contains('"' + c.folder + '"')) << message.text.toStdString();
        EXPECT_TRUE(message.text.contains(c.reason)) << message.text.toStdString();
        EXPECT_TRUE(message.text.contains('"' + runtime_.path() + '"'))
            << message.text.toStdString();
        EXPECT_EQ(message.icon, platform::Icon::Exclamation);
        // The preferences still show the setting; the database is in the user's own folder.
        EXPECT_EQ(document::Work().WorkingDir, c.folder);
        EXPECT_EQ(ParentOf(ParentOf(document::Work().WorkDbPath)), runtime_.path());
        EXPECT_FALSE(QFileInfo::exists(path("missing")));
        EndRun();
        EXPECT_TRUE(QDir(runtime_.path()).isEmpty());
    }
    QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(StartUpTest, FilesPlantedInTheWorkingFolderAreNeitherAdoptedNorInTheWay) {
    const QString planted = path("work/dovazov_tmp.mdb");
    const QByteArray bytes = "another user's file";
    const auto plantFile = [&] {
        QFile file(planted);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    const auto plantFolder = [&] { return QDir().mkdir(planted); };
    const auto plantLink = [&] {
        QFile victim(path("victim"));
        return victim.open(QIODevice::WriteOnly) && victim.write(bytes) == bytes.size() &&
               QFile::link(path("victim"), planted);
    };
    const struct {
        const char* name;
        std::function<bool()> plant;
        QString keeps; // the file whose bytes must stay
    } cases[] = {
        {"a file under the database's name", plantFile, planted},
        {"a folder under the database's name", plantFolder, {}},
        {"a link under the database's name", plantLink, path("victim")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(path("work")).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(path("work")));
        ASSERT_TRUE(c.plant());
        ScriptedPrompter prompter; // nothing to report

        ASSERT_TRUE(Load());

        EXPECT_NE(QFileInfo(document::Work().WorkDbPath).absoluteFilePath(),
                  QFileInfo(planted).absoluteFilePath());
        document::WorkDb().exec("INSERT INTO DOVAZOV (PERIOD) VALUES (1)");
        if (!c.keeps.isEmpty()) {
            EXPECT_EQ(FileBytes(c.keeps), bytes);
        }
        EndRun();
        EXPECT_TRUE(QFileInfo(planted).exists() || QFileInfo(planted).isSymLink());
    }
}

TEST_F(StartUpTest, TheHelpPageIsWrittenIntoTheRunsPrivateFolder) {
    ScriptedPrompter prompter;
    ASSERT_TRUE(Load());
    form_->MnuInfo_Click(0);
    EXPECT_EQ(ParentOf(helpOpened_), document::WorkFolder());
    EXPECT_TRUE(QFile::exists(helpOpened_));
    EndRun();
    EXPECT_FALSE(QFile::exists(helpOpened_));
}

TEST_F(StartUpTest, SettingsWrittenAtTheQuitAreFoundAgainAtTheNextStart) {
    ScriptedPrompter prompter;
    ASSERT_TRUE(Load());
    form_->TDBGrid1->setColumnWidth(9, 321);
    form_->MnuLang_Click(4);
    platform::Settings().LabelNumeric1 = "Eggs";
    platform::Settings().LastFiles[0] = path("bees.deg");
    form_->MnuQuitter_Click();
    ASSERT_EQ(ended_, 1);
    // Unchanged columns keep their first-start widths exactly; the widened one is in twips.
    const char* const widths[] = {"734", "945", "1035", "375", "450", "500", "810", "2400", "1110"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(platform::GetSetting("DOVAZOV", "Grid", QStringLiteral("ColWidth%1").arg(i)),
                  widths[i]);
    }
    EXPECT_EQ(platform::GetSetting("DOVAZOV", "Grid", "ColWidth9"), "4815");
    form_.reset();
    document::Data1().reset();
    document::CloseWorkDatabase();
    platform::ResetProgramSettings();
    platform::SetLangue(platform::kFrench);

    ASSERT_TRUE(Load());
    EXPECT_EQ(form_->TDBGrid1->columnWidth(9), 321);
    EXPECT_EQ(platform::Langue(), platform::kItalian);
    EXPECT_EQ(form_->model->headerData(3, Qt::Horizontal).toString(), "Eggs");
    ASSERT_NE(form_->MnuLastFile[1], nullptr);
    EXPECT_EQ(form_->MnuLastFile[1]->text(), "&1 " + path("bees.deg"));
    EXPECT_TRUE(form_->MnuLastFile[0]->isVisible());
}

TEST(StartScreen, VersionAndCreditTexts) {
    EXPECT_EQ(app::VersionText(2, 1, 10), "version 2.1.10\r03.III.2011");
    EXPECT_EQ(app::CreditText().count('\r'), 4);
    EXPECT_EQ(app::CommandLineOf({}), "");
    EXPECT_EQ(app::CommandLineOf({"\"/tmp/a b.deg\""}), "\"/tmp/a b.deg\"");
}

TEST(StartScreen, ClicksOnThePictureOrTheVersionCloseIt) {
    for (const int target : {0, 1, 2}) {
        app::Start start;
        start.Form_Load();
        ASSERT_TRUE(start.isVisible());
        EXPECT_EQ(start.Label1->toolTip(), "Click here for more information...");
        if (target == 0) {
            start.Image1_Click();
        } else if (target == 1) {
            start.Label2_Click();
        } else {
            start.Form_Click();
        }
        EXPECT_FALSE(start.isVisible()) << target;
    }
}

TEST(WindowGeometry, RestoredGeometryIsKeptOnAVisibleScreen) {
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    struct Case {
        QRect wanted;
        QRect expected;
    };
    const Case cases[] = {
        {{100, 100, 800, 600}, {100, 100, 800, 600}},   // on the first screen
        {{2000, 50, 800, 600}, {2000, 50, 800, 600}},   // on the second screen
        {{5000, 3000, 800, 600}, {0, 0, 800, 600}},     // a screen no longer attached
        {{-4000, 100, 800, 600}, {0, 0, 800, 600}},     // far to the left
        {{100, -500, 800, 600}, {0, 0, 800, 600}},      // title bar above every screen
        {{9000, 9000, 4000, 3000}, {0, 0, 1920, 1080}}, // too big for the first screen
    };
    for (const Case& c : cases) {
        EXPECT_EQ(app::KeepOnScreen(c.wanted, screens), c.expected) << c.wanted.x();
    }
}

} // namespace

#include "MainWindowFixture.h"
#include "app/RecordTableModel.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTableView>

namespace {

using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;

class StartUpTest : public app_test::MainWindowTest {};

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
    EXPECT_FALSE(document::Data1().bound());
    EXPECT_EQ(document::Document().FileModified, 0);
    EXPECT_EQ(document::Document().SqlTri, "SELECT * FROM DOVAZOV ORDER BY Counter");
    EXPECT_TRUE(QFile::exists(path("work/dovazov_tmp.mdb")));
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
    EXPECT_EQ(prompter.messages()[0].text, "File not found");
    EXPECT_EQ(document::Document().CurrentFile, "");
    EXPECT_EQ(form_->windowTitle(), "DOVazov");
    EXPECT_FALSE(document::Data1().bound());
    // The load step enables the document menus whether or not the file could be read.
    EXPECT_TRUE(DocumentMenusEnabled(*form_));
}

TEST_F(StartUpTest, OpenOfAMissingFileWithoutADocumentStillEnablesTheMenus) {
    ScriptedPrompter prompter;
    ASSERT_TRUE(Load());
    prompter.expect(testing_support::ChooseFile(path("gone.deg")));
    prompter.expect(AnswerWith(platform::Answer::Ok)); // File not found

    form_->MnuOuvrir_Click();

    EXPECT_EQ(prompter.messages().back().text, "File not found");
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
    EXPECT_FALSE(QFile::exists(path("work/dovazov_tmp.mdb")));
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
    // A working folder that cannot be made: under a plain file.
    QFile blocker(path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    platform::SaveSetting("DOVazov", "Config", "WorkingDir", path("blocker/work"));
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));

    EXPECT_FALSE(Load());

    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_TRUE(prompter.messages()[0].text.startsWith("Error "));
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
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

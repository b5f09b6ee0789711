#include "MainWindowFixture.h"
#include "app/RecordTableModel.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace {

using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;

class CaptionsTest : public app_test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ScriptedPrompter quiet;
        ASSERT_TRUE(Load());
    }
};

// The entry of id `id` in the string file of the language at `offset`.
QString Entry(int id, int offset) {
    return platform::StringEntry(id + offset).value_or("?");
}

TEST_F(CaptionsTest, EachLanguageCaptionsMenusGridSortAndBoxesFromItsStringFile) {
    struct Language {
        int menuIndex;
        int offset;
    };
    const Language languages[] = {{0, 0}, {1, 1000}, {3, 3000}, {4, 4000}, {5, 5000}};
    for (const Language& language : languages) {
        form_->MnuLang_Click(language.menuIndex);
        ASSERT_EQ(platform::Langue(), language.offset);
        const int o = language.offset;
        EXPECT_EQ(form_->mnuFichier->title(), Entry(1, o));
        EXPECT_EQ(form_->MnuNouveau->text(), Entry(2, o));
        EXPECT_EQ(form_->MnuQuitter->text(), Entry(18, o));
        EXPECT_EQ(form_->mnuEurope[1]->text(), Entry(53, o));
        EXPECT_EQ(form_->MnuRemplirXY[4]->text(), Entry(314, o));
        EXPECT_EQ(form_->MnuInfo[1]->text(), Entry(91, o));
        EXPECT_EQ(form_->LabelTitre->text(), Entry(121, o));
        EXPECT_EQ(form_->LabelCommentaire->text(), Entry(122, o));
        EXPECT_EQ(form_->LblTri->text(), Entry(750, o));
        EXPECT_EQ(form_->OptTri[1]->text(), Entry(758, o));
        EXPECT_EQ(form_->cmd[5]->toolTip(), Entry(756, o));
        EXPECT_EQ(form_->cmd[3]->text(), Entry(760, o));
        EXPECT_EQ(form_->model->headerData(0, Qt::Horizontal).toString(), Entry(130, o));
        EXPECT_EQ(form_->model->headerData(9, Qt::Horizontal).toString(), Entry(138, o));
        // The same in every language.
        EXPECT_EQ(form_->model->headerData(5, Qt::Horizontal).toString(), "Sex");
        EXPECT_EQ(form_->CmbTri->itemText(0), "None");
        EXPECT_EQ(form_->CmbTri->itemText(9), "Sex");
        EXPECT_EQ(form_->CmbTri->itemText(1), Entry(182, o));
        EXPECT_EQ(form_->MnuSelection->text(), "Sélection a&vancée...");
        EXPECT_EQ(form_->MnuRemplirXY[3]->text(), "&IFBL");
        EXPECT_EQ(form_->helpFile(), o == 0 ? "DOVAZOVF.html" : "DOVAZOVE.html");
    }
}

TEST_F(CaptionsTest, SpotChecksInFrenchAndEnglish) {
    form_->MnuLang_Click(0);
    EXPECT_EQ(form_->MnuEnrSous->text(), "En&registrer sous");
    EXPECT_EQ(form_->model->headerData(7, Qt::Horizontal).toString(), "Coordonnées originales");
    form_->MnuLang_Click(1);
    EXPECT_EQ(form_->MnuEnrSous->text(), "Save &as...");
    EXPECT_EQ(form_->mnuEurope[1]->text(), "&Central Europe ");
    EXPECT_EQ(form_->model->headerData(7, Qt::Horizontal).toString(), "Original coordinates");
    EXPECT_EQ(form_->model->headerData(3, Qt::Horizontal).toString(), "Number 1");
}

TEST_F(CaptionsTest, SpanishIsRefusedAndChangesNothing) {
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    const QString before = form_->MnuNouveau->text();

    form_->MnuLang_Click(2);

    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "Feature unavailable in this version");
    EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::Ok);
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::None);
    EXPECT_EQ(platform::Langue(), platform::kEnglish);
    EXPECT_EQ(form_->MnuNouveau->text(), before);
}

TEST_F(CaptionsTest, ANewLanguageBaresTheTitleAndResetsTheSortTheSameOneChangesNothing) {
    ScriptedPrompter prompter;
    OpenFixture();
    const QString opened = form_->windowTitle();
    ASSERT_TRUE(opened.startsWith("DOVazov - "));
    form_->CmbTri->setCurrentIndex(2);
    form_->CmbTri_Click();

    form_->MnuLang_Click(1); // already English
    EXPECT_EQ(form_->windowTitle(), opened);
    EXPECT_EQ(form_->CmbTri->currentIndex(), 2);

    form_->MnuLang_Click(0);
    EXPECT_EQ(form_->windowTitle(), "DOVazov");
    EXPECT_EQ(form_->CmbTri->currentIndex(), 0);
    EXPECT_EQ(document::Document().SqlTri, "SELECT * FROM DOVAZOV ORDER BY Counter");
}

TEST_F(CaptionsTest, HelpOpensTheFrenchPageOnlyForFrench) {
    for (const int index : {0, 1, 3, 4, 5}) {
        form_->MnuLang_Click(index);
        helpOpened_.clear();
        form_->MnuInfo_Click(0);
        EXPECT_TRUE(helpOpened_.endsWith(index == 0 ? "/DOVAZOVF.html" : "/DOVAZOVE.html"))
            << helpOpened_.toStdString();
        EXPECT_TRUE(QFile::exists(helpOpened_));
    }
}

TEST_F(CaptionsTest, AboutShowsTheStartScreenWithoutBlockingTheMainWindow) {
    form_->MnuInfo_Click(1);
    QWidget* about = form_->aboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    about->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form_->aboutBox(), nullptr);
}

} // namespace

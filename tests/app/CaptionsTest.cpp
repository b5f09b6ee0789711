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

TEST_F(CaptionsTest, EveryMenuItemReadsItsFrenchAndEnglishText) {
    struct Caption {
        QAction* item;
        const char* french;
        const char* english;
    };
    const Caption captions[] = {
        {form_->mnuFichier->menuAction(), "&Fichier", "&File"},
        {form_->MnuNouveau, "&Nouveau", "&New"},
        {form_->MnuOuvrir, "&Ouvrir", "&Open"},
        {form_->MnuEnregistrer, "&Enregistrer", "&Save"},
        {form_->MnuEnrSous, "En&registrer sous", "Save &as..."},
        {form_->MnuFusionner, "&Fusionner", "&Merge"},
        {form_->MnuImporter->menuAction(), "&Importer...", "&Import..."},
        {form_->MnuExporter->menuAction(), "E&xporter...", "Ex&port..."},
        {form_->MnuExpAscii->menuAction(), "Fichier &Ascii", "&Ascii file"},
        {form_->MnuExpAsciiMode[0], "Format &fixe", "&Fixed format"},
        {form_->MnuExpAsciiMode[1], "&Comma delimited", "&Comma delimited"},
        {form_->MnuExpAsciiMode[2], "&Tabulations", "&Tabulations"},
        {form_->MnuExpAsciiMode[3], "&Espaces", "&Spaces"},
        {form_->MnuExpDB[0], "Base de données SQLite", "SQLite database"},
        {form_->MnuExpDB[1], "Base de données Fox Pro", "Fox Pro database"},
        {form_->MnuExpDB[2], "Base de données DBase IV", "DBase IV database"},
        {form_->MnuExpDB[3], "Base de Données Paradox", "Paradox database"},
        {form_->MnuQuitter, "&Quitter", "E&xit"},
        {form_->MnuGrouper, "&Grouper et enregistrer", "&Group and save"},
        {form_->MnuEdition->menuAction(), "&Edition", "&Edit"},
        {form_->mnuChercher[0], "Rec&hercher", "&Find"},
        {form_->mnuChercher[1], "Sui&vant", "Ne&xt"},
        {form_->MnuAjoutLigne, "&Ajouter ligne(s)", "&Add line(s)"},
        {form_->mnuDuplic, "&Dupliquer la ligne courante", "&Duplicate current line"},
        {form_->MnuEraseCol, "&Effacer colonne", "&Erase column"},
        {form_->MnuSupprimer, "&Supprimer lignes(s)", "&Suppress row(s)"},
        {form_->MnuRemplir->menuAction(), "Insérer dans le champ &libre...",
         "Insert in free &field..."},
        {form_->MnuRemplirCoo[0], "&UTM", "&UTM"},
        {form_->MnuRemplirCoo[1], "&British National Grid", "&British National Grid"},
        {form_->MnuRemplirCoo[2], "&Irish TM grid", "&Irish TM Grid"},
        {form_->MnuRemplirXY[0], "&Degrés Minutes Secondes Greenwich",
         "&Degrees-minutes-secondes (Greenwhich)"},
        {form_->MnuRemplirXY[1], "&Grades Paris (centésimaux)", "&Grades Paris (centésimaux)"},
        {form_->MnuRemplirXY[2], "&Lambert belge 1972", "&Lambert belge 1972"},
        {form_->MnuRemplirXY[4], "Lambert Nord Maroc", "Lambert Nord Maroc"},
        {form_->MnuRemplirXY[5], "Lambert Sud Maroc", "Lambert Sud Maroc"},
        {form_->MnuRemplirTexte, "&Texte", "&Text"},
        {form_->MnuAjuster, "A&justement des coordonnées", "A&just coordinates"},
        {form_->MnuVisualiser->menuAction(), "&Visualiser", "&View"},
        {form_->MnuVisMonde, "&Monde", "&World"},
        {form_->MnuVisEurope->menuAction(), "&Europe", "&Europe"},
        {form_->mnuEurope[0], "&Europe", "&Europe"},
        {form_->mnuEurope[1], "Europe &centrale", "&Central Europe "},
        {form_->mnuEurope[2], "&Gaule", "&Gaul"},
        {form_->mnuEurope[3], "&Belgique", "&Belgium"},
        {form_->mnuEurope[4], "Pa&ys-Bas", "&Netherlands"},
        {form_->mnuEurope[5], "&Iles britanniques", "Britis&h isles"},
        {form_->mnuEurope[6], "&Péninsule ibérique", "&Iberian peninsula"},
        {form_->mnuEurope[7], "&Turquie", "&Turkey"},
        {form_->MnuVisAsiEur, "Asie + Euro&pe", "Asia + Euro&pe"},
        {form_->MnuVisAfrica, "&Africa", "&Africa"},
        {form_->MnuVisNamer, "Amérique du &nord", "&North America"},
        {form_->MnuVisSamer, "Amérique du &sud", "S&outh America"},
        {form_->MnuVisAsiocea, "As&ie + Océanie", "As&ia + Oceania"},
        {form_->mnuVisOther, "&Autres...", "O&ther..."},
        {form_->mnuOptions->menuAction(), "&Options", "&Options"},
        {form_->MnuPreferences, "Pré&férences", "Pre&ferences"},
        {form_->MnuOptionsPeriodes, "&Périodes", "&Periods"},
        {form_->MnuCouleurs->menuAction(), "&Affichage", "&Display"},
        {form_->MnuGrille, "&Tableau", "&Table background"},
        {form_->MnuTxtGrille, "&Texte", "Te&xt table"},
        {form_->MnuOptionsCartes, "&Cartes", "&Maps"},
        {form_->MnuLangue->menuAction(), "&Langue", "&Language"},
        {form_->MnuLang[0], "&Français", "&French"},
        {form_->MnuLang[1], "&Anglais", "&English"},
        {form_->MnuLang[2], "&Espagnol", "&Spanish"},
        {form_->MnuLang[3], "Alle&mand", "&German"},
        {form_->MnuLang[4], "&Italien", "&Italian"},
        {form_->MnuLang[5], "&Néerlandais", "&Dutch"},
        {form_->MnuAide->menuAction(), "&Aide", "&Help"},
        {form_->MnuInfo[0], "&Aide", "&Help"},
        {form_->MnuInfo[1], "A &Propos", "&About"},
    };
    for (const int language : {0, 1}) {
        form_->MnuLang_Click(language);
        for (const Caption& caption : captions) {
            EXPECT_EQ(caption.item->text(), language == 0 ? caption.french : caption.english)
                << caption.french;
        }
    }
}

TEST_F(CaptionsTest, SortControlsButtonBarAndBoxesInFrenchAndEnglish) {
    struct Texts {
        int language;
        QStringList sortList;
        QStringList sortControls; // label, ascending, descending
        QStringList tips;
        QString editCaption;
        QStringList boxes; // title, comment label
    };
    const Texts languages[] = {
        {0,
         {"None", "Période", "Latitude", "Longitude", "Chiffre 1", "Chiffre 2", "Ellipsoide",
          "Coordonnées originales", "Date", "Sex"},
         {"Tri:", "Croissant", "Décroissant"},
         {"Ouvrir", "Sauver", "Nouveau", "Edition", "Chercher", "Supprimer"},
         "E&dition",
         {"Titre", "Commentaire du titre"}},
        {1,
         {"None", "Period", "Latitude", "Longitude", "Number 1", "Number 2", "Ellipsoid",
          "Original coordinates", "Date", "Sex"},
         {"Sort:", "Ascending", "Descending"},
         {"Open", "Save", "New", "Edition", "Find", "Delete"},
         "E&dit",
         {"Title", "Title comment"}},
    };
    for (const Texts& texts : languages) {
        form_->MnuLang_Click(texts.language);
        QStringList sortList;
        for (int i = 0; i < form_->CmbTri->count(); ++i) {
            sortList << form_->CmbTri->itemText(i);
        }
        EXPECT_EQ(sortList, texts.sortList);
        EXPECT_EQ(form_->CmbTri->currentIndex(), 0);
        EXPECT_EQ((QStringList{form_->LblTri->text(), form_->OptTri[0]->text(),
                               form_->OptTri[1]->text()}),
                  texts.sortControls);
        QStringList tips;
        for (const QPushButton* button : form_->cmd) {
            tips << button->toolTip();
        }
        EXPECT_EQ(tips, texts.tips);
        EXPECT_EQ(form_->cmd[3]->text(), texts.editCaption);
        EXPECT_EQ(form_->windowTitle(), "DOVazov");
        EXPECT_EQ((QStringList{form_->LabelTitre->text(), form_->LabelCommentaire->text()}),
                  texts.boxes);
    }
}

TEST_F(CaptionsTest, LayoutCaptionsStayInEveryLanguage) {
    for (const int language : {0, 1, 3, 4, 5}) {
        form_->MnuLang_Click(language);
        const std::pair<QAction*, const char*> kept[] = {
            {form_->mnuImport[0], "Fichier &Ascii"},
            {form_->mnuImport[1], "Garmin &PCX5 2.07"},
            {form_->mnuImport[2], "&Garmin Mapsource 4"},
            {form_->mnuImportGarmin[0], "&Waypoints"},
            {form_->mnuImportGarmin[1], "&Tracks"},
            {form_->MnuExpDB[4], "Fichier Excel"},
            {form_->MnuSelection, "Sélection a&vancée..."},
            {form_->MnuRemplirXY[3], "&IFBL"},
            {form_->mnuAjustGrid[0], "&UTM - British Grid - Irish Grid..."},
            {form_->mnuAjustGrid[1], "&Degrés Greenwich..."},
            {form_->mnuAjustGrid[2], "&Grades Paris"},
            {form_->mnuAjustGridIFBL->menuAction(), "&IFBL"},
            {form_->mnuAjustIFBL[0], "32 x 20 km"},
            {form_->mnuAjustIFBL[1], "4 x 4 km"},
            {form_->mnuAjustIFBL[2], "1 x 1 km"},
        };
        for (const auto& [item, text] : kept) {
            EXPECT_EQ(item->text(), text);
        }
    }
}

TEST_F(CaptionsTest, GridColumnCaptionsInFrenchAndEnglish) {
    const std::pair<int, QStringList> languages[] = {
        {0,
         {"Numéro période", "Latitude", "Longitude", "Number 1", "Number 2", "Sex", "Datum",
          "Coordonnées originales", "Date", "Commentaire"}},
        {1,
         {"Period number", "Latitude", "Longitude", "Number 1", "Number 2", "Sex", "Datum",
          "Original coordinates", "Date", "Comments"}},
    };
    for (const auto& [language, expected] : languages) {
        form_->MnuLang_Click(language);
        QStringList captions;
        for (int column = 0; column < 10; ++column) {
            captions << form_->model->headerData(column, Qt::Horizontal).toString();
        }
        EXPECT_EQ(captions, expected);
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

TEST_F(CaptionsTest, ANewLanguageKeepsTheFileInTheTitleAndResetsTheSortTheSameOneChangesNothing) {
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
    EXPECT_EQ(form_->windowTitle(), opened);
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

#include "../support/ScopedEnv.h"
#include "MainWindowFixture.h"
#include "app/QtTranslations.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <functional>

namespace {

using testing_support::ScopedEnv;

// The texts of a widget's buttons, without their accelerator marks, sorted.
QStringList ButtonTexts(const QWidget* widget) {
    QStringList texts;
    for (const QAbstractButton* button : widget->findChildren<QAbstractButton*>()) {
        if (!button->text().isEmpty() && button->isVisible()) {
            texts << QString(button->text()).remove(QLatin1Char('&'));
        }
    }
    texts.sort();
    return texts;
}

QString LabelText(const QWidget* dialog, const char* name) {
    const auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? QString(label->text()).remove(QLatin1Char('&')) : QString();
}

// The button that refuses: the dialog's Cancel.
QAbstractButton* CancelButton(const QWidget* dialog) {
    for (const QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QDialogButtonBox::RejectRole) {
                return button;
            }
        }
    }
    return nullptr;
}

// What Qt's own dialogs said while a command ran.
struct SeenTexts {
    QStringList buttons;
    QString lookIn;
    QString fileName;
};

// Runs `command` (which shows one modal dialog); reads the dialog's texts and clicks its Cancel.
SeenTexts Probe(const std::function<void()>& command) {
    SeenTexts seen;
    bool probed = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) {
            return;
        }
        if (probed) {
            // Another dialog after the one looked at: it fails the test, closed so that the test
            // ends.
            ADD_FAILURE() << "another dialog: " << dialog->metaObject()->className();
            dialog->close();
            return;
        }
        probed = true;
        seen.buttons = ButtonTexts(dialog);
        seen.lookIn = LabelText(dialog, "lookInLabel");
        seen.fileName = LabelText(dialog, "fileNameLabel");
        QAbstractButton* cancel = CancelButton(dialog);
        if (cancel != nullptr) {
            QTest::mouseClick(cancel, Qt::LeftButton);
        } else {
            dialog->close();
        }
    });
    timer.start(10);
    command();
    EXPECT_TRUE(probed);
    return seen;
}

struct Language {
    int langue;
    int menuIndex; // of Options > Language
    QStringList saveQuestion;
    QStringList inputBox;
    QStringList fileDialog;
    QStringList colourDialog;
    const char* lookIn;
    const char* fileName;
};

const Language kFrench{
    platform::kFrench,
    0,
    {"Annuler", "Non", "Oui"},
    {"Annuler", "OK"},
    {"Annuler", "Ouvrir"},
    {"Ajouter aux couleurs personnalisées", "Annuler", "OK", "Sélectionner une couleur à l'écran"},
    "Voir dans :",
    "Nom de fichier :"};
const Language kEnglish{platform::kEnglish,
                        1,
                        {"Cancel", "No", "Yes"},
                        {"Cancel", "OK"},
                        {"Cancel", "Open"},
                        {"Add to Custom Colors", "Cancel", "OK", "Pick Screen Color"},
                        "Look in:",
                        "File name:"};

class QtLanguageTest : public app_test::MainWindowTest {
protected:
    // Qt's own texts of the file dialog of File > Open, the input box of Edit > Find, the colour
    // dialog of the grid's colour and the save question of File > Open over a changed document, as
    // the program's windows show them now.
    void ExpectQtTextsIn(const Language& language) {
        SCOPED_TRACE(language.langue);
        document::Document().FileModified = 0;
        const SeenTexts open = Probe([this] { form_->MnuOuvrir->trigger(); });
        EXPECT_EQ(open.buttons, language.fileDialog);
        EXPECT_EQ(open.lookIn, QString::fromUtf8(language.lookIn));
        EXPECT_EQ(open.fileName, QString::fromUtf8(language.fileName));

        EXPECT_EQ(Probe([this] { form_->mnuChercher[0]->trigger(); }).buttons, language.inputBox);
        EXPECT_EQ(Probe([this] { form_->MnuGrille->trigger(); }).buttons, language.colourDialog);

        document::Document().FileModified = -1;
        EXPECT_EQ(Probe([this] { form_->MnuOuvrir->trigger(); }).buttons, language.saveQuestion);
        document::Document().FileModified = 0;
    }
};

// One language in every window: the language chosen in the program, not the desktop's, also for
// Qt's own buttons and dialogs, from the start and again after a switch in Options > Language.
TEST_F(QtLanguageTest, QtsOwnTextsFollowTheLanguageChosenInTheProgram) {
    const struct {
        const Language& session;
        QByteArray desktop;
        const Language& switchedTo;
    } cases[] = {
        {kFrench, "en_US.UTF-8", kEnglish},
        {kEnglish, "fr_FR.UTF-8", kFrench},
    };
    for (const auto& c : cases) {
        const ScopedEnv lang("LANG", c.desktop);
        const ScopedEnv all("LC_ALL", c.desktop);
        const ScopedEnv language("LANGUAGE", c.desktop.left(2));
        platform::SaveSetting("DOVAZOV", "Language", "Language", QString::number(c.session.langue));
        ASSERT_TRUE(Load());
        ASSERT_EQ(platform::Langue(), c.session.langue);
        OpenFixture();
        ExpectQtTextsIn(c.session);

        form_->MnuLang[static_cast<std::size_t>(c.switchedTo.menuIndex)]->trigger();
        ASSERT_EQ(platform::Langue(), c.switchedTo.langue);
        ExpectQtTextsIn(c.switchedTo);
        form_.reset();
    }
}

// Qt's translations of the program's five languages are at hand: English needs none.
TEST(QtLanguage, EveryLanguageOfTheProgramHasQtsTranslation) {
    const auto cancel = [] {
        const QDialogButtonBox fresh(QDialogButtonBox::Cancel);
        return QString(fresh.button(QDialogButtonBox::Cancel)->text()).remove(QLatin1Char('&'));
    };
    const std::pair<int, const char*> cases[] = {{platform::kFrench, "Annuler"},
                                                 {platform::kGerman, "Abbrechen"},
                                                 {platform::kItalian, "Annulla"},
                                                 {platform::kDutch, "Annuleren"},
                                                 {platform::kEnglish, "Cancel"}};
    app::QtLanguage language;
    for (const auto& [langue, text] : cases) {
        language.follow(langue);
        EXPECT_EQ(cancel(), QString::fromUtf8(text)) << langue;
    }
    // French again after English: the translation comes back.
    language.follow(platform::kFrench);
    EXPECT_EQ(cancel(), QStringLiteral("Annuler"));
}

} // namespace

#include "LanguageTexts.h"

#include "ProgramWindows.h"
#include "app/QtTranslations.h"
#include "platform/StringTable.h"

#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>
#include <algorithm>
#include <array>

namespace windows_test {

namespace {

// The string table's ids of one language lie below the next language's offset.
constexpr int kIdsPerLanguage = platform::kEnglish - platform::kFrench;

// Qt's own texts that the program's windows and prompts show, in Qt's (English) source form: the
// standard buttons of message boxes and button boxes, and the file dialog's captions.
struct QtText {
    const char* context;
    const char* source;
};
constexpr std::array kQtTexts{
    QtText{"QPlatformTheme", "OK"},          QtText{"QPlatformTheme", "Save"},
    QtText{"QPlatformTheme", "Save All"},    QtText{"QPlatformTheme", "Open"},
    QtText{"QPlatformTheme", "&Yes"},        QtText{"QPlatformTheme", "Yes to &All"},
    QtText{"QPlatformTheme", "&No"},         QtText{"QPlatformTheme", "N&o to All"},
    QtText{"QPlatformTheme", "Abort"},       QtText{"QPlatformTheme", "Retry"},
    QtText{"QPlatformTheme", "Ignore"},      QtText{"QPlatformTheme", "Close"},
    QtText{"QPlatformTheme", "Cancel"},      QtText{"QPlatformTheme", "Discard"},
    QtText{"QPlatformTheme", "Help"},        QtText{"QPlatformTheme", "Apply"},
    QtText{"QPlatformTheme", "Reset"},       QtText{"QPlatformTheme", "Restore Defaults"},
    QtText{"QFileDialog", "Look in:"},       QtText{"QFileDialog", "File &name:"},
    QtText{"QFileDialog", "Files of type:"}, QtText{"QFileDialog", "&Open"},
    QtText{"QFileDialog", "&Save"},
};

// Texts the program shows in one language in both sessions, as the other session meets them: in
// the windows whose catalogue name holds `window` (every window when empty).
struct Fixed {
    const char* window;
    const char* text;
    const char* reason;
};
constexpr std::array kFixed{
    Fixed{"", "Number 1", "the user's caption of the first numeric field"},
    Fixed{"", "Number 2", "the user's caption of the second numeric field"},
    Fixed{"", "IFBL", "the Belgian grid's name, the same in every language"},
    Fixed{"main window", "None", "the sort list's first item, fixed in every language"},
    Fixed{"main window", "Fichier Ascii", "the import menu keeps its layout captions"},
    Fixed{"main window", "Sélection avancée", "the selection menu item keeps its layout caption"},
    Fixed{"selection", "Sélection avancée", "the selection dialog's fixed caption"},
    Fixed{"coordinate import", "Importation", "the import chooser's caption in every language"},
    Fixed{"waypoint import", "Cancel", "the waypoint import windows are in English only"},
    Fixed{"waypoint import", "Change", "the waypoint import windows are in English only"},
    Fixed{"waypoint import", "Period", "the waypoint import windows are in English only"},
    Fixed{"waypoint import", "Color", "a column title of the waypoint file read"},
    Fixed{"datum chooser", "Close", "the datum chooser's fixed English captions"},
    Fixed{"datum chooser", "Ellipsoid", "the datum chooser's fixed English captions"},
    Fixed{"preferences", "Change", "the change-datum button's fixed English caption"},
    Fixed{"gazetteer", "Cancel", "the gazetteer's fonts dialog is in English only"},
    Fixed{"gazetteer", "Change", "the gazetteer setup's fixed English captions"},
    Fixed{"gazetteer", "Help", "the gazetteer setup's fixed English captions"},
    Fixed{"cartography", "Fichier", "the cartography windows are in French only"},
    Fixed{"cartography", "Ouvrir", "the cartography windows are in French only"},
    Fixed{"cartography", "Fermer", "the cartography windows are in French only"},
    Fixed{"cartography", "Couleur", "the cartography windows are in French only"},
    Fixed{"cartography", "Affichage", "the cartography windows are in French only"},
    Fixed{"cartography", "Annuler", "the cartography windows are in French only"},
};

// The texts of `langue`, each with where it comes from.
QHash<QString, QString> TextsOf(int langue) {
    QHash<QString, QString> texts;
    for (int id = 0; id < kIdsPerLanguage; ++id) {
        if (const auto entry = platform::StringEntry(id + langue)) {
            const QString text = Comparable(*entry);
            if (!text.isEmpty()) {
                texts.insert(text, QStringLiteral("string %1").arg(id));
            }
        }
    }
    QTranslator translator;
    if (langue != platform::kEnglish &&
        !translator.load(app::LocaleOfLangue(langue), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return texts;
    }
    for (const QtText& qt : kQtTexts) {
        const QString source = QString::fromLatin1(qt.source);
        const QString translated = translator.translate(qt.context, qt.source);
        texts.insert(Comparable(translated.isEmpty() ? source : translated),
                     QStringLiteral("Qt's %1").arg(ShownText(source)));
    }
    return texts;
}

} // namespace

QString Comparable(const QString& text) {
    static const QRegularExpression tail(QStringLiteral("[\\s:.…]+$"));
    QString shown = ShownText(text).trimmed();
    shown.remove(tail);
    // A text without a letter (a number, a sign) belongs to no language.
    const bool letter =
        std::any_of(shown.begin(), shown.end(), [](QChar c) { return c.isLetter(); });
    return letter ? shown : QString();
}

QHash<QString, QString> OtherLanguageTexts(int langue, const std::string& window) {
    const int other = langue == platform::kFrench ? platform::kEnglish : platform::kFrench;
    QHash<QString, QString> texts = TextsOf(other);
    for (const QString& own : TextsOf(langue).keys()) {
        texts.remove(own);
    }
    for (const Fixed& fixed : kFixed) {
        if (window.find(fixed.window) != std::string::npos) {
            texts.remove(QString::fromUtf8(fixed.text));
        }
    }
    return texts;
}

} // namespace windows_test

#pragma once

#include <QLocale>
#include <QTranslator>
#include <memory>

namespace app {

// Qt's own texts (the buttons of its message boxes, its file and colour dialogs) in `locale`'s
// language, from the translations installed with Qt. Installed into the application while the
// returned translator lives; null when Qt has no translation for that language.
std::unique_ptr<QTranslator> InstallQtTranslations(const QLocale& locale);

// The locale of a language offset of the string table (`Langue`).
QLocale LocaleOfLangue(int langue);

// Keeps Qt's own texts in the language chosen in the program, whatever the desktop's: `follow`
// puts in the translation of that language in place of the one before. English, Qt's own
// language, needs none.
class QtLanguage {
public:
    void follow(int langue);

private:
    std::unique_ptr<QTranslator> translator_;
    int langue_ = -1;
};

} // namespace app

#pragma once

#include <QLocale>
#include <QTranslator>
#include <memory>

namespace app {

// Qt's own texts (the buttons of its message boxes, its file dialogs) in the desktop's language,
// from the translations installed with Qt. Installed into the application while the returned
// translator lives; null when Qt has no translation for that language.
std::unique_ptr<QTranslator> InstallQtTranslations(const QLocale& locale = QLocale::system());

} // namespace app

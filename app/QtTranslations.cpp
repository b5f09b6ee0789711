#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace app {

std::unique_ptr<QTranslator> InstallQtTranslations(const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace app

#include "app/QtTranslations.h"

#include "platform/StringTable.h"

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

QLocale LocaleOfLangue(int langue) {
    switch (langue) {
    case platform::kFrench:
        return QLocale(QLocale::French, QLocale::France);
    case platform::kGerman:
        return QLocale(QLocale::German, QLocale::Germany);
    case platform::kItalian:
        return QLocale(QLocale::Italian, QLocale::Italy);
    case platform::kDutch:
        return QLocale(QLocale::Dutch, QLocale::Netherlands);
    default:
        return QLocale(QLocale::English, QLocale::UnitedStates);
    }
}

void QtLanguage::follow(int langue) {
    if (langue == langue_) {
        return;
    }
    // The old translation goes first: Qt looks the newest one up first.
    translator_.reset();
    langue_ = langue;
    if (langue != platform::kEnglish) {
        translator_ = InstallQtTranslations(LocaleOfLangue(langue));
    }
}

} // namespace app

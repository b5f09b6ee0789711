#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

QString CancelText() {
    const QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&'));
}

// Qt's own buttons speak the language of an installed translation while it lives.
TEST(QtTranslations, QtsOwnButtonsSpeakTheInstalledLanguage) {
    const QString english = CancelText();
    const std::pair<const char*, const char*> cases[] = {
        {"fr_FR", "Annuler"}, {"de_DE", "Abbrechen"}, {"it_IT", "Annulla"}, {"nl_NL", "Annuleren"}};
    for (const auto& [name, cancel] : cases) {
        const auto translator = app::InstallQtTranslations(QLocale(QString::fromLatin1(name)));
        ASSERT_NE(translator, nullptr) << name;
        EXPECT_EQ(CancelText(), QString::fromUtf8(cancel)) << name;
    }
    EXPECT_EQ(CancelText(), english); // gone with its translator
    EXPECT_EQ(app::InstallQtTranslations(QLocale(QLocale::C)), nullptr);
}

} // namespace

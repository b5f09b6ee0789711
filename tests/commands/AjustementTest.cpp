#include "commands/Ajustement.h"

#include "CommandsFixture.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

using testing_support::CommandsTest;

class AjustementTest : public CommandsTest {
protected:
    // Runs the dialog and lets `act` close it.
    static bool Choose(const std::function<void(commands::Ajustement&)>& act) {
        commands::Ajustement dialog;
        QTimer::singleShot(0, &dialog, [&] { act(dialog); });
        return dialog.choose();
    }
};

TEST_F(AjustementTest, ShowsTheStoredChoiceAndTheDestinationDatum) {
    platform::Settings().UtmAjust = 4;
    platform::Settings().GridAjust = 2;
    SetDestination("NTF");
    commands::Ajustement dialog;
    EXPECT_TRUE(dialog.OptionAjust[4]->isChecked());
    EXPECT_TRUE(dialog.OptionAjustGrid[2]->isChecked());
    const geodesy::DatumRec& ntf = geodesy::Datums().datum(geodesy::Datums().DestIndex);
    EXPECT_EQ(commands::DatumLine(geodesy::Datums().DestIndex),
              "NTF   - " + QString::fromStdString(ntf.Name));
    EXPECT_TRUE(dialog.ButOk->isDefault());
}

TEST_F(AjustementTest, OkStoresTheChoice) {
    EXPECT_TRUE(Choose([](commands::Ajustement& d) {
        d.OptionAjust[2]->click();
        d.OptionAjustGrid[1]->click();
        d.ButOk->click();
    }));
    EXPECT_EQ(platform::Settings().UtmAjust, 2);
    EXPECT_EQ(platform::Settings().GridAjust, 1);
}

TEST_F(AjustementTest, CancelEscapeAndTheCloseBoxStoreNothingAndSnapNothing) {
    const std::function<void(commands::Ajustement&)> ways[] = {
        [](commands::Ajustement& d) { d.ButEsc->click(); },
        [](commands::Ajustement& d) { d.reject(); }, // Esc
        [](commands::Ajustement& d) { d.close(); },  // the close box
    };
    for (const auto& way : ways) {
        platform::Settings().UtmAjust = 3;
        platform::Settings().GridAjust = 0;
        EXPECT_FALSE(Choose([&](commands::Ajustement& d) {
            d.OptionAjust[6]->click();
            way(d);
        }));
        EXPECT_EQ(platform::Settings().UtmAjust, 3);
        EXPECT_EQ(platform::Settings().GridAjust, 0);
    }
}

} // namespace

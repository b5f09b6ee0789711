// The export options dialog, offscreen.

#include "exchange/OptionsExport.h"

#include "../support/ScriptedPrompter.h"
#include "../support/TempSettings.h"
#include "platform/ProgramSettings.h"
#include "platform/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace export_test {
namespace {

using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;

class OptionsExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetProgramSettings();
        platform::SetLangue(platform::kFrench);
        platform::ProgramSettings& s = platform::Settings();
        for (auto flag :
             {&platform::ProgramSettings::ExportPeriod, &platform::ProgramSettings::ExportLatitude,
              &platform::ProgramSettings::ExportLongitude,
              &platform::ProgramSettings::ExportNumber1, &platform::ProgramSettings::ExportNumber2,
              &platform::ProgramSettings::ExportEllipsoid,
              &platform::ProgramSettings::ExportOriginalCoord,
              &platform::ProgramSettings::ExportDate, &platform::ProgramSettings::ExportFreeField,
              &platform::ProgramSettings::ExportSex}) {
            s.*flag = 1;
        }
        s.ExportCoordSystem = -1;
    }
    void TearDown() override {
        platform::ResetProgramSettings();
        platform::SetLangue(platform::kFrench);
    }

    // Shows the dialog modally and lets `act` work on it once it is up.
    static std::int16_t Run(const std::function<void(exchange::OptionsExport&)>& act) {
        exchange::OptionsExport dialog;
        QTimer::singleShot(0, &dialog, [&] { act(dialog); });
        dialog.exec();
        return dialog.ExportOk;
    }

    static void TickOnly(exchange::OptionsExport& dialog, std::size_t box) {
        for (std::size_t i = 0; i < dialog.IncludeField.size(); ++i) {
            dialog.IncludeField[i]->setChecked(i == box);
        }
    }

    testing_support::TempSettings settings_;
};

TEST_F(OptionsExportTest, OnlySexTickedIsRefusedAndTheTicksAreKept) {
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    platform::Settings().ExportCoordSystem = 7;
    const auto ok = Run([](exchange::OptionsExport& d) {
        TickOnly(d, 9);
        d.cmbSystem->setCurrentIndex(0);
        d.ButOk->click();
    });
    EXPECT_EQ(ok, 0);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "Impossible d'exporter!");
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
    const platform::ProgramSettings& s = platform::Settings();
    EXPECT_EQ(s.ExportSex, 1);
    EXPECT_EQ(s.ExportPeriod, 0);
    EXPECT_EQ(s.ExportFreeField, 0);
    EXPECT_EQ(s.ExportCoordSystem, 7); // a refusal keeps the coordinate choice
    // The next opening shows what was stored.
    exchange::OptionsExport again;
    EXPECT_TRUE(again.IncludeField[9]->isChecked());
    EXPECT_FALSE(again.IncludeField[0]->isChecked());
}

TEST_F(OptionsExportTest, OnlyDateTickedIsAcceptedWithTheChosenCoordinates) {
    const auto ok = Run([](exchange::OptionsExport& d) {
        TickOnly(d, 7);
        d.cmbSystem->setCurrentIndex(1);
        d.ButOk->click();
    });
    EXPECT_EQ(ok, -1);
    EXPECT_EQ(platform::Settings().ExportDate, 1);
    EXPECT_EQ(platform::Settings().ExportLatitude, 0);
    EXPECT_EQ(platform::Settings().ExportCoordSystem, 7);
}

TEST_F(OptionsExportTest, AStoredSystemOtherThanSevenOpensAsNoneAndOkStoresMinusOne) {
    for (const std::int16_t stored : {0, 3, -1}) {
        platform::Settings().ExportCoordSystem = stored;
        const auto ok = Run([](exchange::OptionsExport& d) {
            EXPECT_EQ(d.cmbSystem->currentText(), "none");
            d.ButOk->click();
        });
        EXPECT_EQ(ok, -1);
        EXPECT_EQ(platform::Settings().ExportCoordSystem, -1);
    }
}

TEST_F(OptionsExportTest, CancelAndTheCloseBoxChangeNothing) {
    for (const bool closeBox : {false, true}) {
        const auto ok = Run([closeBox](exchange::OptionsExport& d) {
            TickOnly(d, 0);
            closeBox ? d.reject() : d.ButEsc->click();
        });
        EXPECT_EQ(ok, 0);
        EXPECT_EQ(platform::Settings().ExportLatitude, 1);
    }
}

TEST_F(OptionsExportTest, CaptionsFollowTheLanguageSexAndTheCoordinateLabelDoNot) {
    platform::SetLangue(platform::kEnglish);
    exchange::OptionsExport dialog;
    EXPECT_EQ(dialog.windowTitle(), "Export options");
    EXPECT_EQ(dialog.IncludeField[0]->text(), "Period");
    EXPECT_EQ(dialog.IncludeField[7]->text(), "Date");
    EXPECT_EQ(dialog.IncludeField[8]->text(), "Free text");
    EXPECT_EQ(dialog.IncludeField[9]->text(), "Sexe");
    EXPECT_EQ(dialog.ButEsc->text(), "Cancel");
}

} // namespace
} // namespace export_test

#include "platform/Settings.h"

#include "../support/TempSettings.h"

#include <gtest/gtest.h>

namespace {

using platform::DeleteSetting;
using platform::GetSetting;
using platform::SaveSetting;

TEST(Settings, DefaultsUntilSavedThenRoundTrip) {
    testing_support::TempSettings folder;
    EXPECT_EQ(GetSetting("DOVAZOV", "Settings", "Silence", "0"), "0");
    EXPECT_EQ(GetSetting("DOVAZOV", "Settings", "Silence"), "");
    SaveSetting("DOVAZOV", "Settings", "Silence", "1");
    SaveSetting("DOVAZOV", "Files", "LastFile1", "/home/me/a b/survey & co.deg");
    SaveSetting("ZEB", "Datum", "DestCode", "NTF  ");
    EXPECT_EQ(GetSetting("DOVAZOV", "Settings", "Silence", "0"), "1");
    EXPECT_EQ(GetSetting("DOVAZOV", "Files", "LastFile1"), "/home/me/a b/survey & co.deg");
    EXPECT_EQ(GetSetting("ZEB", "Datum", "DestCode"), "NTF  ");
    // Another application keeps its own values.
    EXPECT_EQ(GetSetting("ZEB", "Settings", "Silence", "none"), "none");
}

TEST(Settings, ThreeSpellingsOfTheApplicationAreOne) {
    testing_support::TempSettings folder;
    SaveSetting("DOVazov", "Config", "WorkingDir", "/tmp/work");
    EXPECT_EQ(GetSetting("DOVAZOV", "Config", "WorkingDir"), "/tmp/work");
    EXPECT_EQ(GetSetting("DOVAzov", "config", "workingdir"), "/tmp/work");
    SaveSetting("DOVAzov", "CONFIG", "WORKINGDIR", "/tmp/other");
    EXPECT_EQ(GetSetting("DOVazov", "Config", "WorkingDir"), "/tmp/other");
}

TEST(Settings, DeleteOneKeyOrASection) {
    testing_support::TempSettings folder;
    SaveSetting("ZEB", "EditForm", "Height", "7260");
    SaveSetting("ZEB", "EditForm", "Top", "9840");
    DeleteSetting("ZEB", "EditForm", "Height");
    EXPECT_EQ(GetSetting("ZEB", "EditForm", "Height", "gone"), "gone");
    EXPECT_EQ(GetSetting("ZEB", "EditForm", "Top"), "9840");
    DeleteSetting("zeb", "editform");
    EXPECT_EQ(GetSetting("ZEB", "EditForm", "Top", "gone"), "gone");
}

} // namespace

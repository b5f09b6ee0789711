#include "platform/Settings.h"

#include "../support/TempSettings.h"
#include "platform/FileReplacement.h"
#include "platform/IniCodec.h"

#include <QDir>
#include <QFile>
#include <QSettings>
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

// Values an INI file must carry unchanged: blanks, the characters INI files treat specially,
// escapes, non-ASCII text, an empty value.
const QString kAwkwardValues[] = {
    "plain",
    "two words",
    "  blanks around  ",
    "a=b",
    "semi;colon",
    "comma, separated",
    "\"quoted\"",
    "C:\\Data\\bees.deg",
    "trailing backslash\\",
    "r\u00e9sum\u00e9 \u4e2d\u6587 \U0001F600",
    "",
    "tab\tline\nreturn\r",
    "@at the start",
    "[not a section]",
    "; not a comment",
    "\\x41 is not an escape",
    QStringLiteral("nul") + QChar(0) + QStringLiteral("7 inside"),
    QString(platform::kMaxIniValueLength, QLatin1Char('x')),
};

TEST(Settings, FilesThatQSettingsWroteAreReadAsItReadsThem) {
    testing_support::TempSettings folder;
    {
        QSettings reference(folder.folder() + "/DOVAZOV.ini", QSettings::IniFormat);
        for (std::size_t i = 0; i < std::size(kAwkwardValues); ++i) {
            reference.setValue(QStringLiteral("Files/Value%1").arg(i), kAwkwardValues[i]);
        }
        reference.setValue("General/InGeneral", "section named General");
        reference.setValue("Outside", "no section");
    }
    for (std::size_t i = 0; i < std::size(kAwkwardValues); ++i) {
        EXPECT_EQ(GetSetting("DOVazov", "FILES", QStringLiteral("value%1").arg(i), "absent"),
                  kAwkwardValues[i])
            << i;
    }
    EXPECT_EQ(GetSetting("DOVAZOV", "general", "InGeneral"), "section named General");
    EXPECT_EQ(GetSetting("DOVAZOV", "", "Outside"), "no section");
}

TEST(Settings, QSettingsReadsWhatTheStoreWrites) {
    testing_support::TempSettings folder;
    for (std::size_t i = 0; i < std::size(kAwkwardValues); ++i) {
        SaveSetting("DOVAZOV", "Files", QStringLiteral("Value%1").arg(i), kAwkwardValues[i]);
    }
    SaveSetting("DOVAZOV", "General", "InGeneral", "section named General");
    platform::FlushSettings();

    QSettings reference(folder.folder() + "/DOVAZOV.ini", QSettings::IniFormat);
    EXPECT_EQ(reference.status(), QSettings::NoError);
    for (std::size_t i = 0; i < std::size(kAwkwardValues); ++i) {
        EXPECT_EQ(reference.value(QStringLiteral("Files/Value%1").arg(i)).toString(),
                  kAwkwardValues[i])
            << i;
    }
    EXPECT_EQ(reference.value("General/InGeneral").toString(), "section named General");
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Settings, ChangesStayInMemoryUntilTheFlushWritesEachChangedFile) {
    testing_support::TempSettings folder;
    const QString main = folder.folder() + "/DOVAZOV.ini";
    const QString zeb = folder.folder() + "/ZEB.ini";
    SaveSetting("DOVAZOV", "Settings", "Silence", "1");
    GetSetting("ZEB", "Datum", "DestCode"); // read, not changed
    EXPECT_FALSE(QFile::exists(main));

    platform::FlushSettings();
    EXPECT_EQ(Bytes(main), "[Settings]\nSilence=1\n");
    EXPECT_FALSE(QFile::exists(zeb));

    // Read once: what the file says afterwards is not read again.
    ASSERT_TRUE(QFile::remove(main));
    EXPECT_EQ(GetSetting("DOVAZOV", "Settings", "Silence"), "1");
    platform::FlushSettings(); // nothing changed since the last write
    EXPECT_FALSE(QFile::exists(main));
}

TEST(Settings, AFileThatCannotBeWrittenIsReportedAndStaysPending) {
    testing_support::TempSettings folder;
    const QString zeb = folder.folder() + "/ZEB.ini";
    ASSERT_TRUE(QDir().mkdir(zeb)); // a folder where the file should be
    SaveSetting("ZEB", "Datum", "DestCode", "NTF");
    SaveSetting("DOVAZOV", "Settings", "Silence", "1");

    try {
        platform::FlushSettings();
        ADD_FAILURE() << "no error";
    } catch (const platform::FileWriteError& error) {
        EXPECT_EQ(QFileInfo(error.path()).fileName(), "ZEB.ini") << error.text().toStdString();
    }
    // The other file was written all the same.
    EXPECT_EQ(Bytes(folder.folder() + "/DOVAZOV.ini"), "[Settings]\nSilence=1\n");

    ASSERT_TRUE(QDir().rmdir(zeb));
    platform::FlushSettings();
    EXPECT_EQ(Bytes(zeb), "[Datum]\nDestCode=NTF\n");
}

TEST(Settings, SwitchingTheFolderDropsWhatWasNotWritten) {
    testing_support::TempSettings first;
    SaveSetting("DOVAZOV", "Settings", "Silence", "1");
    {
        testing_support::TempSettings second;
        EXPECT_EQ(GetSetting("DOVAZOV", "Settings", "Silence", "absent"), "absent");
    }
    platform::SetSettingsFolder(first.folder());
    EXPECT_EQ(GetSetting("DOVAZOV", "Settings", "Silence", "absent"), "absent");
    EXPECT_TRUE(QDir(first.folder()).isEmpty());
}

TEST(Settings, OversizedFilesAndValuesGiveTheDefaults) {
    testing_support::TempSettings folder;
    QFile big(folder.folder() + "/DOVAZOV.ini");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("[Settings]\nSilence=1\n");
    big.write(QByteArray(platform::kMaxIniFileBytes, ';'));
    big.close();
    QFile zeb(folder.folder() + "/ZEB.ini");
    ASSERT_TRUE(zeb.open(QIODevice::WriteOnly));
    zeb.write("[Datum]\nDestCode=" + QByteArray(platform::kMaxIniValueLength + 1, 'N') +
              "\nFromCode=NTF\n");
    zeb.close();

    EXPECT_EQ(GetSetting("DOVAZOV", "Settings", "Silence", "0"), "0");
    EXPECT_EQ(GetSetting("ZEB", "Datum", "DestCode", "EUR-M"), "EUR-M");
    EXPECT_EQ(GetSetting("ZEB", "Datum", "FromCode"), "NTF");

    // A value too long to keep is not kept in memory either.
    SaveSetting("ZEB", "Datum", "FromCode", QString(platform::kMaxIniValueLength + 1, 'N'));
    EXPECT_EQ(GetSetting("ZEB", "Datum", "FromCode", "EUR-M"), "EUR-M");
}

} // namespace

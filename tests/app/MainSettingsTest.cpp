#include "app/MainSettings.h"

#include "../support/ErrorOf.h"
#include "../support/ScopedEnv.h"
#include "../support/ScriptedPrompter.h"
#include "../support/TempSettings.h"
#include "DatumFixture.h"
#include "common/AppError.h"
#include "platform/ProgramSettings.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QDateTime>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

using platform::GetSetting;
using platform::SaveSetting;
using testing_support::AnswerWith;
using testing_support::ScopedEnv;
using testing_support::ScriptedPrompter;
using testing_support::TempSettings;

const QSizeF kScreen(19200, 14400);

class MainSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetProgramSettings();
        app_test::FillSmallDatumTable();
        platform::SetLangue(platform::kEnglish);
    }
    void TearDown() override {
        platform::ResetProgramSettings();
        geodesy::ResetDatumState();
        platform::SetLangue(platform::kEnglish);
    }

    // Loads with a window that still has its design values.
    app::MainWindowSettings Load() {
        app::MainWindowSettings window;
        window.Height = 6000;
        window.ColWidth.fill(999);
        app::ChargeParametres(window, kScreen);
        return window;
    }

    TempSettings store_;
};

TEST_F(MainSettingsTest, FirstStartLoadsEveryDefaultWithoutAMessage) {
    platform::SetLangue(platform::kFrench);
    ScriptedPrompter prompter; // any message would fail the test

    const app::MainWindowSettings window = Load();

    EXPECT_EQ(platform::Langue(), 1000);
    EXPECT_EQ(window.Height, 14400);
    EXPECT_EQ(window.Width, 19200);
    EXPECT_EQ(window.Top, 0);
    EXPECT_EQ(window.Left, 0);
    EXPECT_EQ(window.WindowState, 2);
    const std::array<float, 10> widths{734, 945, 1035, 375, 450, 500, 810, 2400, 1110, 3570};
    EXPECT_EQ(window.ColWidth, widths);
    EXPECT_EQ(window.GridBackColor, 0xE0FFFF);
    EXPECT_EQ(window.GridForeColor, -2147483640);

    const platform::ProgramSettings& s = platform::Settings();
    EXPECT_EQ(s.LabelNumeric1, "Number 1");
    EXPECT_EQ(s.LabelNumeric2, "Number 2");
    EXPECT_EQ(s.Separator, ",");
    EXPECT_EQ(s.PeriodFillColor, (std::array<std::int32_t, 3>{0xFF, 0xFFFF, 0xFF00}));
    EXPECT_EQ(s.MapStrokeColor, 0);
    EXPECT_EQ(s.MapPointDiameter, -1.0F);
    EXPECT_EQ(geodesy::Datums().Ellipsoid, 15);
    EXPECT_EQ(s.InputMode, 3);
    EXPECT_EQ(s.UtmAjust, 0);
    EXPECT_EQ(s.GridAjust, 0);
    for (const std::int16_t flag :
         {s.ExportPeriod, s.ExportLatitude, s.ExportLongitude, s.ExportNumber1, s.ExportNumber2,
          s.ExportEllipsoid, s.ExportOriginalCoord, s.ExportDate, s.ExportFreeField, s.ExportSex}) {
        EXPECT_EQ(flag, 1);
    }
    EXPECT_EQ(s.ExportCoordSystem, -1);
    EXPECT_TRUE(s.File.endsWith("/zebgazet.mdb")) << s.File.toStdString();
    EXPECT_EQ(s.Sort, 0);
    EXPECT_EQ(s.Table, "ZEBGazet_Decoding");
    EXPECT_EQ(s.ResearchField, "Sort_Name");
    EXPECT_EQ(s.LatitudeField, "Latitude");
    EXPECT_EQ(s.LongitudeField, "Longitude");
    EXPECT_EQ(s.FullNameField, "Full_Name");
    EXPECT_EQ(s.FipsField, "FIPS_QOV");
    EXPECT_EQ(s.ProvinceField, "");
    EXPECT_EQ(s.FeatureField, "Feature_Desig_Code");
    EXPECT_EQ(s.CoordinatesType, 1);
    EXPECT_EQ(s.CountryName, "Country_Name");
    EXPECT_EQ(s.ProvinceName, "Province_Name");
    EXPECT_EQ(s.LocalitiesDatum, "WGS84");
    EXPECT_EQ(s.DbType, "");
    EXPECT_EQ(s.Silence, 0);
    EXPECT_EQ(s.SaveInterval, 5);
    EXPECT_EQ(s.AutoSave, 0);
    for (const QString& file : s.LastFiles) {
        EXPECT_TRUE(file.isEmpty());
    }

    const geodesy::DatumState& datums = geodesy::Datums();
    EXPECT_EQ(datums.DestCode, "EUR-M");
    EXPECT_EQ(datums.FromCode, "EUR-M");
    EXPECT_EQ(datums.UTMCode, "EUR-M");
    EXPECT_EQ(datums.DestIndex, 2);
    EXPECT_EQ(datums.FromIndex, 2);
    EXPECT_EQ(datums.UTMIndex, 2);
}

TEST_F(MainSettingsTest, SettingsWrittenAtTheQuitComeBackAtTheNextStart) {
    app::MainWindowSettings window = Load();
    window.Height = 7000.5F;
    window.Width = 9000;
    window.Top = 120;
    window.Left = -45;
    window.WindowState = 0;
    window.ColWidth[9] = 5000; // the comment column widened
    window.GridBackColor = 0x123456;
    window.GridForeColor = app::kWindowTextColor;
    platform::SetLangue(platform::kDutch);
    platform::ProgramSettings& s = platform::Settings();
    s.LabelNumeric1 = "Males";
    s.Separator = ";";
    s.PeriodFillColor = {1, 2, 3};
    s.MapStrokeColor = 0xFFFFFF;
    s.MapPointDiameter = 0.1F;
    s.InputMode = 0;
    geodesy::Datums().Ellipsoid = 4;
    s.UtmAjust = 2;
    s.GridAjust = 1;
    s.ExportSex = 0;
    s.ExportCoordSystem = 7;
    s.File = "/media/usb/gazet.mdb";
    s.LocalitiesDatum = "NTF";
    s.Silence = 1;
    s.SaveInterval = 12;
    s.AutoSave = 1;
    s.LastFiles = {"/data/a.deg", "", "/data/b & c.deg", ""};
    const platform::ProgramSettings written = s;

    app::SauveParametres(window);

    EXPECT_EQ(GetSetting("DOVAZOV", "Grid", "GridForeColor"), "-2147483640");
    EXPECT_EQ(GetSetting("DOVAZOV", "Grid", "Height"), "7000.5");
    EXPECT_EQ(GetSetting("DOVAZOV", "Symbols", "DiamPoints"), "0.1");
    EXPECT_EQ(GetSetting("DOVAZOV", "Files", "LastFile2", "absent"), "");
    EXPECT_EQ(GetSetting("DOVAZOV", "Language", "Language"), "5000");

    platform::ResetProgramSettings();
    platform::SetLangue(platform::kEnglish);
    geodesy::Datums().Ellipsoid = 15;
    const app::MainWindowSettings again = Load();

    EXPECT_EQ(again.Height, window.Height);
    EXPECT_EQ(again.Width, window.Width);
    EXPECT_EQ(again.Top, window.Top);
    EXPECT_EQ(again.Left, window.Left);
    EXPECT_EQ(again.WindowState, 0);
    EXPECT_EQ(again.ColWidth, window.ColWidth);
    EXPECT_EQ(again.GridBackColor, 0x123456);
    EXPECT_EQ(again.GridForeColor, app::kWindowTextColor);
    EXPECT_EQ(platform::Langue(), platform::kDutch);
    const platform::ProgramSettings& loaded = platform::Settings();
    EXPECT_EQ(loaded.LabelNumeric1, written.LabelNumeric1);
    EXPECT_EQ(loaded.Separator, written.Separator);
    EXPECT_EQ(loaded.PeriodFillColor, written.PeriodFillColor);
    EXPECT_EQ(loaded.MapStrokeColor, written.MapStrokeColor);
    EXPECT_EQ(loaded.MapPointDiameter, written.MapPointDiameter);
    EXPECT_EQ(geodesy::Datums().Ellipsoid, 4);
    EXPECT_EQ(loaded.UtmAjust, 2);
    EXPECT_EQ(loaded.GridAjust, 1);
    EXPECT_EQ(loaded.ExportSex, 0);
    EXPECT_EQ(loaded.ExportCoordSystem, 7);
    EXPECT_EQ(loaded.File, written.File);
    EXPECT_EQ(loaded.LocalitiesDatum, "NTF");
    EXPECT_EQ(loaded.Silence, 1);
    EXPECT_EQ(loaded.SaveInterval, 12);
    EXPECT_EQ(loaded.AutoSave, 1);
    EXPECT_EQ(loaded.LastFiles, written.LastFiles);
}

struct StoredCase {
    const char* section;
    const char* key;
    const char* stored;
    std::int16_t ellipsoid;
    std::int16_t saveInterval;
};

TEST_F(MainSettingsTest, EllipsoidAndIntervalRules) {
    // Ellipsoid 7 is stored throughout; the input system may force another.
    const StoredCase cases[] = {
        {"Settings", "Ellipsoid", "0", 15, 5},        {"Settings", "InputMode", "5", 1, 5},
        {"Settings", "InputMode", "6", 2, 5},         {"Settings", "InputMode", "7", 15, 5},
        {"Settings", "InputMode", "8", 15, 5},        {"Settings", "InputMode", "0", 7, 5},
        {"Settings", "SaveInterval", "7.5", 7, 8},    {"Settings", "SaveInterval", "6.5", 7, 6},
        {"Settings", "SaveInterval", "12abc", 7, 12}, {"Settings", "SaveInterval", "abc", 7, 0},
        {"Settings", "SaveInterval", " 1 0", 7, 10},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.stored);
        platform::DeleteSetting("DOVAZOV", "Settings");
        SaveSetting("DOVAZOV", "Settings", "Ellipsoid", "7");
        SaveSetting("DOVAZOV", c.section, c.key, c.stored);
        Load();
        EXPECT_EQ(geodesy::Datums().Ellipsoid, c.ellipsoid);
        EXPECT_EQ(platform::Settings().SaveInterval, c.saveInterval);
    }
}

TEST_F(MainSettingsTest, AnIntervalBelowOneCountsAsFive) {
    platform::ProgramSettings s;
    for (const auto& [stored, effective] :
         std::initializer_list<std::pair<int, int>>{{0, 5}, {-3, 5}, {1, 1}, {12, 12}}) {
        s.SaveInterval = static_cast<std::int16_t>(stored);
        EXPECT_EQ(platform::EffectiveSaveInterval(s), effective) << stored;
    }
}

TEST_F(MainSettingsTest, LanguageOutsideTheFiveOffsetsFallsBackToEnglish) {
    for (const auto& [stored, langue] : std::initializer_list<std::pair<const char*, int>>{
             {"0", 0}, {"3000", 3000}, {"2000", 1000}, {"-1", 1000}}) {
        SaveSetting("DOVAZOV", "Language", "Language", stored);
        platform::SetLangue(platform::kGerman);
        Load();
        EXPECT_EQ(platform::Langue(), langue) << stored;
    }
}

TEST_F(MainSettingsTest, AValueThatIsNotANumberIsReportedAndTheRestStillLoads) {
    SaveSetting("DOVAZOV", "Grid", "Height", "tall");
    SaveSetting("DOVAZOV", "Grid", "Width", "5000");
    SaveSetting("DOVAZOV", "Grid", "ColWidth3", "wide"); // leading number: 0, no message
    SaveSetting("DOVAZOV", "Settings", "Separator", "|");
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));

    const app::MainWindowSettings window = Load();

    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "Error during loading INI file\rType mismatch");
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::None);
    EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::Ok);
    EXPECT_EQ(window.Height, 6000); // the design value stays
    EXPECT_EQ(window.Width, 5000);
    EXPECT_EQ(window.ColWidth[3], 0);
    EXPECT_EQ(platform::Settings().Separator, "|");
    EXPECT_EQ(platform::Settings().InputMode, 3);
}

TEST_F(MainSettingsTest, DatumCodesThatAreNotLoadedPointAtEurM) {
    SaveSetting("ZEB", "Datum", "DestCode", "NTF");
    SaveSetting("ZEB", "Datum", "FromCode", "XYZ");
    SaveSetting("ZEB", "Datum", "UTMCode", " ABC ");
    Load();
    const geodesy::DatumState& datums = geodesy::Datums();
    EXPECT_EQ(datums.DestCode, "NTF");
    EXPECT_EQ(datums.DestIndex, 3);
    EXPECT_EQ(datums.FromCode, "XYZ");
    EXPECT_EQ(datums.FromIndex, 2);
    EXPECT_EQ(datums.UTMCode, " ABC ");
    EXPECT_EQ(datums.UTMIndex, 1);
}

TEST_F(MainSettingsTest, CompanionWorkingDirBecomesTheCurrentFolder) {
    const QString before = QDir::currentPath();
    QTemporaryDir folder;
    SaveSetting("DORUVUD.INI", "DORUVUD", "WorkingDir", folder.path());
    Load();
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(folder.path()).canonicalPath());
    QDir::setCurrent(before);

    SaveSetting("DORUVUD.INI", "DORUVUD", "WorkingDir", folder.path() + "/missing");
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    Load();
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "Error during loading INI file\rPath not found");
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST_F(MainSettingsTest, AStoreThatCannotBeWrittenDoesNotStopTheQuit) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    platform::SetSettingsFolder(dir.filePath("file/settings")); // a folder under a file
    EXPECT_NO_THROW(app::SauveParametres(app::MainWindowSettings{}));
}

// What one loaded value is, read from the window or the settings variables.
using Loaded = double (*)(const app::MainWindowSettings& window);

struct BoundCase {
    const char* application;
    const char* section;
    const char* key;
    QString stored;
    Loaded loaded;
    double expected; // the key's default when the stored value is out of bounds
};

double SettingsOf(std::int16_t platform::ProgramSettings::*member) {
    return platform::Settings().*member;
}

TEST_F(MainSettingsTest, ValuesOutOfBoundsLoadAsTheKeysDefaultsWithoutAMessage) {
    const QString longName(256, QLatin1Char('n'));
    const QString longestName(255, QLatin1Char('n'));
    const BoundCase cases[] = {
        // The window's geometry: the screen's size, 0, maximised.
        {"DOVAZOV", "Grid", "Height", "1e30", [](const auto& w) { return double(w.Height); },
         14400},
        {"DOVAZOV", "Grid", "Height", "-5", [](const auto& w) { return double(w.Height); }, 14400},
        {"DOVAZOV", "Grid", "Width", "2000000", [](const auto& w) { return double(w.Width); },
         19200},
        {"DOVAZOV", "Grid", "Width", "1000000", [](const auto& w) { return double(w.Width); },
         1000000},
        {"DOVAZOV", "Grid", "Left", "-2000000", [](const auto& w) { return double(w.Left); }, 0},
        {"DOVAZOV", "Grid", "Top", "-1000", [](const auto& w) { return double(w.Top); }, -1000},
        {"DOVAZOV", "Grid", "WindowState", "7", [](const auto& w) { return double(w.WindowState); },
         2},
        {"DOVAZOV", "Grid", "WindowState", "-1",
         [](const auto& w) { return double(w.WindowState); }, 2},
        {"DOVAZOV", "Grid", "WindowState", "1", [](const auto& w) { return double(w.WindowState); },
         1},
        {"DOVAZOV", "Grid", "ColWidth0", "1e12",
         [](const auto& w) { return double(w.ColWidth[0]); }, 734},
        {"DOVAZOV", "Grid", "ColWidth1", "-3", [](const auto& w) { return double(w.ColWidth[1]); },
         945},
        {"DOVAZOV", "Grid", "ColWidth2", "0", [](const auto& w) { return double(w.ColWidth[2]); },
         0},
        // Colours: 0x00BBGGRR or a system colour 0x80000000 to 0x80000018.
        {"DOVAZOV", "Grid", "GridBackColor", "16777216",
         [](const auto& w) { return double(w.GridBackColor); }, 0xE0FFFF},
        {"DOVAZOV", "Grid", "GridBackColor", "16777215",
         [](const auto& w) { return double(w.GridBackColor); }, 0xFFFFFF},
        {"DOVAZOV", "Grid", "GridForeColor", "-1",
         [](const auto& w) { return double(w.GridForeColor); }, -2147483640},
        {"DOVAZOV", "Grid", "GridForeColor", "-2147483623",
         [](const auto& w) { return double(w.GridForeColor); }, -2147483640},
        {"DOVAZOV", "Grid", "GridForeColor", "-2147483624",
         [](const auto& w) { return double(w.GridForeColor); }, -2147483624},
        {"DOVAZOV", "Symbols", "SymbolColor1", "-5",
         [](const auto&) { return double(platform::Settings().PeriodFillColor[1]); }, 0xFFFF},
        {"DOVAZOV", "Symbols", "StrokeColor", "&H7FFFFFFF",
         [](const auto&) { return double(platform::Settings().MapStrokeColor); }, 0},
        // The symbol diameter in kilometres, -1 automatic.
        {"DOVAZOV", "Symbols", "DiamPoints", "-2",
         [](const auto&) { return double(platform::Settings().MapPointDiameter); }, -1},
        {"DOVAZOV", "Symbols", "DiamPoints", "1e9",
         [](const auto&) { return double(platform::Settings().MapPointDiameter); }, -1},
        {"DOVAZOV", "Symbols", "DiamPoints", "0",
         [](const auto&) { return double(platform::Settings().MapPointDiameter); }, 0},
        // List positions: sixteen input systems, eight snapping sizes, three grids.
        {"DOVAZOV", "Settings", "InputMode", "16",
         [](const auto&) { return SettingsOf(&platform::ProgramSettings::InputMode); }, 3},
        {"DOVAZOV", "Settings", "InputMode", "-1",
         [](const auto&) { return SettingsOf(&platform::ProgramSettings::InputMode); }, 3},
        {"DOVAZOV", "Settings", "InputMode", "15",
         [](const auto&) { return SettingsOf(&platform::ProgramSettings::InputMode); }, 15},
        {"DOVAZOV", "Settings", "UtmAjust", "8",
         [](const auto&) { return SettingsOf(&platform::ProgramSettings::UtmAjust); }, 0},
        {"DOVAZOV", "Settings", "UtmAjust", "7",
         [](const auto&) { return SettingsOf(&platform::ProgramSettings::UtmAjust); }, 7},
        {"DOVAZOV", "Settings", "GridAjust", "3",
         [](const auto&) { return SettingsOf(&platform::ProgramSettings::GridAjust); }, 0},
        {"DOVAZOV", "Settings", "ExportCoordSystem", "99",
         [](const auto&) { return SettingsOf(&platform::ProgramSettings::ExportCoordSystem); }, -1},
        {"DOVAZOV", "Settings", "ExportCoordSystem", "7",
         [](const auto&) { return SettingsOf(&platform::ProgramSettings::ExportCoordSystem); }, 7},
        {"DOVAZOV", "Localities", "CoordinatesType", "2",
         [](const auto&) { return SettingsOf(&platform::ProgramSettings::CoordinatesType); }, 1},
        {"DOVAZOV", "Localities", "CoordinatesType", "0",
         [](const auto&) { return SettingsOf(&platform::ProgramSettings::CoordinatesType); }, 0},
        {"DOVAZOV", "Settings", "Ellipsoid", "-4",
         [](const auto&) { return double(geodesy::Datums().Ellipsoid); }, 15},
        // Texts: captions, separators and names of at most 255 characters.
        {"DOVAZOV", "Settings", "LabelNumeric1", longName,
         [](const auto&) { return double(platform::Settings().LabelNumeric1.size()); }, 8},
        {"DOVAZOV", "Settings", "LabelNumeric1", longestName,
         [](const auto&) { return double(platform::Settings().LabelNumeric1.size()); }, 255},
        {"DOVAZOV", "Settings", "Separator", longName,
         [](const auto&) { return double(platform::Settings().Separator.size()); }, 1},
        {"DOVAZOV", "Localities", "Table", longName,
         [](const auto&) { return double(platform::Settings().Table.size()); }, 17},
        {"ZEB", "Datum", "DestCode", longName,
         [](const auto&) { return double(geodesy::Datums().DestCode.size()); }, 5},
    };
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.stored.left(20).toStdString());
        platform::DeleteSetting(c.application, c.section);
        SaveSetting(c.application, c.section, c.key, c.stored);
        platform::ResetProgramSettings();
        ScriptedPrompter prompter; // a message would fail the test
        const app::MainWindowSettings window = Load();
        EXPECT_EQ(c.loaded(window), c.expected);
        platform::DeleteSetting(c.application, c.section);
    }
}

TEST_F(MainSettingsTest, ASettingsFileOfSeveralMegabytesIsIgnored) {
    QByteArray bytes = "[Settings]\nInputMode=5\nSeparator=|\n";
    bytes += "[Padding]\n";
    for (int i = 0; bytes.size() < 3 * 1024 * 1024; ++i) {
        bytes += "Key" + QByteArray::number(i) + "=" + QByteArray(64, 'x') + "\n";
    }
    QFile file(store_.folder() + "/DOVAZOV.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    ScriptedPrompter prompter;
    Load();
    EXPECT_EQ(platform::Settings().InputMode, 3);
    EXPECT_EQ(platform::Settings().Separator, ",");
}

TEST_F(MainSettingsTest, TheQuitChangesTheStoreInMemoryAndTheFileIsWrittenOnce) {
    const QString path = store_.folder() + "/DOVAZOV.ini";
    {
        QSettings before(path, QSettings::IniFormat);
        before.setValue("Paths/LastDeg", "/data/surveys/"); // written by Open, not by the quit
        before.setValue("Settings/Separator", "|");
    }
    const QDateTime old(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    const auto age = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadWrite) ? file.fileTime(QFileDevice::FileModificationTime)
                                               : QDateTime();
    };
    const auto makeOld = [&path, &old] {
        QFile file(path);
        return file.open(QIODevice::ReadWrite) &&
               file.setFileTime(old, QFileDevice::FileModificationTime);
    };
    ASSERT_TRUE(makeOld());

    app::MainWindowSettings window = Load();
    platform::Settings().Separator = ";";
    window.Width = 9000;
    app::SauveParametres(window);
    EXPECT_EQ(age(), old); // nothing reached the file yet

    platform::FlushSettings();
    EXPECT_NE(age(), old);
    QSettings after(path, QSettings::IniFormat);
    EXPECT_EQ(after.value("Settings/Separator").toString(), ";");
    EXPECT_EQ(after.value("Grid/Width").toString(), "9000");
    EXPECT_EQ(after.value("Files/LastFile4", "absent").toString(), "");
    EXPECT_EQ(after.value("Paths/LastDeg").toString(), "/data/surveys/");

    // Written values that did not change leave the file alone.
    ASSERT_TRUE(makeOld());
    app::SauveParametres(window);
    platform::FlushSettings();
    EXPECT_EQ(age(), old);
}

TEST(WorkingDirSetting, StoredFolderElseTheUsersRuntimeElseCacheFolder) {
    TempSettings store;
    QTemporaryDir runtime;
    QTemporaryDir cache;
    // The shared temporary folder is not the default, whatever the environment names.
    const ScopedEnv temp("TEMP", "/from/temp");
    const ScopedEnv tmpdir("TMPDIR", "/from/tmpdir");
    const ScopedEnv cacheHome("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    {
        const ScopedEnv session("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        EXPECT_EQ(app::WorkingDirSetting(), runtime.path());
    }
    {
        const ScopedEnv noSession = ScopedEnv::Unset("XDG_RUNTIME_DIR");
        EXPECT_TRUE(app::WorkingDirSetting().startsWith(cache.path() + "/"))
            << app::WorkingDirSetting().toStdString();
    }
    SaveSetting("DOVAZOV", "Config", "WorkingDir", "/chosen"); // "DOVazov" is the same name
    EXPECT_EQ(app::WorkingDirSetting(), "/chosen");
}

TEST(RecentFileCaption, AccessKeyThenThePathAsWritten) {
    EXPECT_EQ(app::RecentFileCaption(1, "/data/a.deg"), "&1 /data/a.deg");
    EXPECT_EQ(app::RecentFileCaption(3, "/data/b & c.deg"), "&3 /data/b && c.deg");
}

using testing_support::ErrorOf;

TEST(StrictConversion, NumbersOrErrors) {
    struct Case {
        const char* text;
        int value; // when error is 0
        int error;
    };
    const Case cases[] = {
        {" 12 ", 12, 0},  {"-7", -7, 0},  {"+3", 3, 0},     {"7.5", 8, 0},     {"6.5", 6, 0},
        {"1e3", 1000, 0}, {".5", 0, 0},   {"&HFF", 255, 0}, {"&hFFFF", -1, 0}, {"&O17", 15, 0},
        {"", 0, 13},      {"abc", 0, 13}, {"12abc", 0, 13}, {"1 2", 0, 13},    {"-", 0, 13},
        {"nan", 0, 13},   {"inf", 0, 13}, {"&HXY", 0, 13},  {"40000", 0, 6},   {"&H10000", 0, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::int16_t value = 0;
        EXPECT_EQ(ErrorOf([&] { value = app::StrictInt16(c.text); }), c.error);
        if (c.error == 0) {
            EXPECT_EQ(value, c.value);
        }
    }
    EXPECT_EQ(app::StrictInt32("&H80000008"), -2147483640);
    EXPECT_EQ(app::StrictInt32("14745599"), 0xE0FFFF);
    EXPECT_EQ(ErrorOf([] { app::StrictInt32("3000000000"); }), 6);
    EXPECT_EQ(app::StrictSingle("-1"), -1.0F);
    EXPECT_EQ(app::StrictSingle("0.1"), 0.1F);
    EXPECT_EQ(ErrorOf([] { app::StrictSingle("1e39"); }), 6);
}

TEST(SingleText, ShortestTextThatReadsBack) {
    EXPECT_EQ(app::SingleText(0.1F), "0.1");
    EXPECT_EQ(app::SingleText(-1.0F), "-1");
    EXPECT_EQ(app::SingleText(7000.5F), "7000.5");
    EXPECT_EQ(app::SingleText(3570.0F), "3570");
    EXPECT_EQ(app::SingleText(100000.0F), "100000");
    EXPECT_EQ(app::SingleText(1e30F), "1e+30");
}

} // namespace

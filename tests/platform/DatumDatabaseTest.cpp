#include "platform/DatumDatabase.h"

#include "../support/ScriptedPrompter.h"
#include "../support/TempSettings.h"
#include "geodesy/DatumTables.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QDir>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

namespace {

using geodesy::DatumIndex;
using geodesy::Datums;
using namespace testing_support;

// A tiny datum database: rows are (Code, Name, Applic, Use, ELLI_ID), ellipsoids by ELLI_ID.
class DatumDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        geodesy::ResetDatumState();
        platform::SetLangue(platform::kEnglish);
    }
    void TearDown() override { geodesy::ResetDatumState(); }

    QString makeDatabase(const std::vector<std::string>& datumRows,
                         const std::vector<std::string>& ellipsoidRows) {
        const QString path = dir_.filePath("DATUM.MDB");
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec("CREATE TABLE Datum (Code TEXT COLLATE NOCASE, Name TEXT COLLATE NOCASE, Applic "
                "TEXT COLLATE NOCASE, da INTEGER, df REAL, dx REAL, dy REAL, dz REAL, Use "
                "INTEGER, ELLI_ID INTEGER)");
        db.exec("CREATE TABLE ELLI (ELLI_ID INTEGER, ELLI TEXT, ELLI_NAME TEXT, A REAL, f_Inv "
                "REAL)");
        for (const auto& row : datumRows) {
            db.exec("INSERT INTO Datum VALUES (" + row + ")");
        }
        for (const auto& row : ellipsoidRows) {
            db.exec("INSERT INTO ELLI VALUES (" + row + ")");
        }
        return path;
    }

    void useDatabase(const QString& path) { platform::SaveSetting("ZEB", "Datum", "DB", path); }

    QTemporaryDir dir_;
    TempSettings settings_;
};

const std::vector<std::string> kEllipsoids = {
    "1, 'AA', 'Airy 1830', 6377563.396, 299.3249646", "2, 'IN', 'International 1924', 6378388, 297",
    "5, 'WE', 'WGS 1984', 6378137, 298.257223563", // third in ELLI_ID order
};

TEST_F(DatumDatabaseTest, LoadsUsableRowsInNameOrderAndFindsCodes) {
    useDatabase(makeDatabase(
        {
            "'EUR-M', 'EUROPEAN 1950', 'Mean', -251, -1.4e-5, -87, -98, -121, 4, 2",
            "'ZZZ', 'ALPHA', 'hidden', 0, 0, 0, 0, 0, 0, 1",
            "'NUL', 'ALPHA', 'null use', 0, 0, 0, 0, 0, NULL, 1",
            "'WGS84', 'world geodetic', 'Global', 0, 0, 0, 0, 0, 4, 3",
            "'NTF', 'ntf', 'b', 0, 0, 0, 0, 0, 1, 1",
            "'NTF  ', 'NTF', 'c', 0, 0, 0, 0, 0, 1, 1",
        },
        kEllipsoids));

    EXPECT_EQ(platform::LoadDatums(dir_.path()), platform::DatumLoad::Loaded);
    const auto& state = Datums();
    ASSERT_EQ(state.datumCount(), 4);
    // Name order ignores case: EUROPEAN, ntf (b), NTF (c), world.
    EXPECT_EQ(state.datum(1).Code, "EUR-M");
    EXPECT_EQ(state.datum(2).Code, "NTF  ");
    EXPECT_EQ(state.datum(2).Applic, "b");
    EXPECT_EQ(state.datum(4).Name, "world geodetic");
    EXPECT_EQ(state.datum(1).da, -251);

    EXPECT_EQ(DatumIndex("ZZZ"), 0); // Use 0
    EXPECT_EQ(DatumIndex("NUL"), 0); // Use Null
    EXPECT_EQ(DatumIndex("NTF"), 2); // first match
    EXPECT_EQ(DatumIndex("NTF   "), 2);
    EXPECT_EQ(state.GridDatums[geodesy::kNtf], 3); // last match
    EXPECT_EQ(state.GridDatums[geodesy::kEurM], 1);
    EXPECT_EQ(state.Wgs84Datum, 4);
    EXPECT_EQ(DatumIndex("eur-m"), 0);
    EXPECT_EQ(DatumIndex("  EUR-M "), 1);

    // ELLI_ID is a position: 3 is the third row, whatever number it carries.
    geodesy::SelectDatum(4);
    EXPECT_EQ(state.Ellipsoid, 3);
    EXPECT_DOUBLE_EQ(state.EllipsoidA, 6378137);
    EXPECT_DOUBLE_EQ(state.EllipsoidF, 1 / 298.257223563);
    EXPECT_DOUBLE_EQ(state.EllipsoidB, (1 - 1 / 298.257223563) * 6378137);

    geodesy::Datums().DestCode = "XXXXX";
    geodesy::Datums().FromCode = "NTF";
    geodesy::SetDefaultDatumIndexes();
    EXPECT_EQ(state.DestIndex, 1);
    EXPECT_EQ(state.DestCode, "XXXXX");
    EXPECT_EQ(state.FromIndex, 2);
    EXPECT_EQ(state.UTMIndex, 1);
}

TEST_F(DatumDatabaseTest, ErrorsStopTheLoadThroughTheErrorBox) {
    const struct {
        const char* name;
        std::vector<std::string> datums;
        std::vector<std::string> ellipsoids;
        long number;
        int datumsLoaded;
    } cases[] = {
        {"null name",
         {"'A', 'A', 'x', 0, 0, 0, 0, 0, 1, 1", "'B', NULL, 'x', 0, 0, 0, 0, 0, 1, 1"},
         kEllipsoids,
         94,
         2},
        {"da overflow", {"'A', 'A', 'x', 40000, 0, 0, 0, 0, 1, 1"}, kEllipsoids, 6, 1},
        {"no datum rows", {"'A', 'A', 'x', 0, 0, 0, 0, 0, 0, 1"}, kEllipsoids, 3021, 0},
        {"no ellipsoid rows", {"'A', 'A', 'x', 0, 0, 0, 0, 0, 1, 1"}, {}, 3021, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        geodesy::ResetDatumState();
        QFile::remove(dir_.filePath("DATUM.MDB"));
        useDatabase(makeDatabase(c.datums, c.ellipsoids));
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok));
        EXPECT_EQ(platform::LoadDatums(dir_.path()), platform::DatumLoad::Reported);
        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_TRUE(
            prompter.messages()[0].text.startsWith("Error " + QString::number(c.number) + "\r"))
            << prompter.messages()[0].text.toStdString();
        EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
        EXPECT_EQ(Datums().datumCount(), c.datumsLoaded);
    }
}

TEST_F(DatumDatabaseTest, MissingFileAskedForThenRemembered) {
    const QString real = makeDatabase({"'EUR-M', 'E', 'x', 0, 0, 0, 0, 0, 4, 1"}, kEllipsoids);
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    prompter.expect(ChooseFile(real));
    const QString emptyFolder = dir_.filePath("nowhere");
    EXPECT_EQ(platform::LoadDatums(emptyFolder), platform::DatumLoad::Loaded);
    EXPECT_EQ(prompter.messages()[0].text, "The file DATUM.MDB cannot be found!");
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Critical);
    EXPECT_EQ(prompter.fileDialogs()[0].title, "Where is DATUM.MDB?");
    EXPECT_EQ(prompter.fileDialogs()[0].filter, "*.mdb");
    EXPECT_EQ(platform::GetSetting("ZEB", "Datum", "DB"), real);
    EXPECT_EQ(DatumIndex("EUR-M"), 1);
}

TEST_F(DatumDatabaseTest, MissingFileAndCancelEndsTheProgram) {
    platform::SetLangue(platform::kFrench);
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    prompter.expect(ChooseFile({}));
    EXPECT_EQ(platform::LoadDatums(dir_.filePath("nowhere")), platform::DatumLoad::Quit);
    EXPECT_EQ(prompter.messages()[0].text, "Le fichier DATUM.MDB est introuvable!");
    EXPECT_EQ(platform::GetSetting("ZEB", "Datum", "DB", "unset"), "unset");
    EXPECT_FALSE(Datums().datumTableFilled);
}

TEST(ShippedDatumDatabase, HoldsEveryCodeTheProgramNames) {
    geodesy::ResetDatumState();
    TempSettings settings;
    platform::SaveSetting("ZEB", "Datum", "DB", DOVAZOV_DATUM_DB);
    ASSERT_EQ(platform::LoadDatums({}), platform::DatumLoad::Loaded);
    const auto& state = Datums();
    EXPECT_EQ(state.datumCount(), 230);
    EXPECT_EQ(state.ellipsoidCount(), 24);
    for (int i = 1; i <= state.ellipsoidCount(); ++i) {
        EXPECT_EQ(state.ellipsoid(i).ELLI_ID, i);
    }
    for (int g = geodesy::kEurM; g <= geodesy::kMer; ++g) {
        EXPECT_NE(state.GridDatums[static_cast<size_t>(g)], 0) << g;
    }
    EXPECT_NE(state.Wgs84Datum, 0);
    // The grid datums and every code the GPS datum names give.
    const char* codes[] = {
        "EUR-M", "WGS84", "NTF",   "OGB-M", "IRL",   "BEL72", "MER",   "ADI-M", "AFG",   "AIN-B",
        "ANO",   "ARF-M", "ARS-M", "ASC",   "ASQ",   "ATF",   "AUA",   "AUG",   "BAT",   "BER",
        "BOO",   "BUR",   "CAC",   "CAI",   "CAO",   "CAP",   "CAZ",   "CGE",   "CHI",   "CHU",
        "COA",   "DOB",   "EAS",   "ENW",   "EUS",   "GEO",   "GIZ",   "GSE",   "GUA",   "HEN",
        "HIT",   "HJO",   "HKD",   "HTN",   "IBE",   "IDN",   "IND-B", "INH-A", "IST",   "JOH",
        "KAN",   "KEA",   "KEG",   "LCF",   "LIB",   "LUZ-A", "LUZ-B", "MAS",   "MID",   "MIK",
        "MOD",   "MVS",   "NAH-A", "NAH-B", "NAH-C", "NAP",   "NAS-C", "NAS-E", "NAS-L", "NAS-O",
        "NAS-T", "NAS-U", "OEG",   "OHA-B", "OHA-C", "OHA-D", "OHA-M", "PIT",   "PLN",   "PRP-M",
        "QAT",   "QUO",   "REU",   "SAE",   "SAN-M", "SAO",   "SAP",   "SCK",   "SHB",   "SOA",
        "TAN",   "TDC",   "TIL",   "TOY-M", "WGS72", "YAC",   "ZAN"};
    for (const char* code : codes) {
        EXPECT_NE(DatumIndex(code), 0) << code;
    }
    // Destination datums are offered at usage level 4.
    for (const char* code : {"EUR-M", "WGS84", "NTF", "OGB-M", "IRL", "BEL72", "MER"}) {
        EXPECT_EQ(state.datum(DatumIndex(code)).Use, geodesy::kUseDestination) << code;
    }
    geodesy::ResetDatumState();
}

} // namespace

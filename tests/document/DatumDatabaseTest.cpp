#include "document/DatumDatabase.h"

#include "../support/OutsideFiles.h"
#include "../support/ScriptedPrompter.h"
#include "../support/TempSettings.h"
#include "geodesy/DatumTables.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QDir>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <mutex>
#include <thread>

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

    // `datumTable` and `ellipsoidTable` replace the plain tables when given.
    QString makeDatabase(const std::vector<std::string>& datumRows,
                         const std::vector<std::string>& ellipsoidRows,
                         const std::string& datumTable = {},
                         const std::string& ellipsoidTable = {}) {
        const QString path = dir_.filePath("DATUM.MDB");
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(datumTable.empty()
                    ? "CREATE TABLE Datum (Code TEXT COLLATE NOCASE, Name TEXT COLLATE NOCASE, "
                      "Applic TEXT COLLATE NOCASE, da INTEGER, df REAL, dx REAL, dy REAL, dz REAL, "
                      "Use INTEGER, ELLI_ID INTEGER)"
                    : datumTable);
        db.exec(ellipsoidTable.empty()
                    ? "CREATE TABLE ELLI (ELLI_ID INTEGER, ELLI TEXT, ELLI_NAME TEXT, A REAL, "
                      "f_Inv REAL)"
                    : ellipsoidTable);
        SQLite::Transaction transaction(db);
        for (const auto& row : datumRows) {
            db.exec("INSERT INTO Datum VALUES (" + row + ")");
        }
        for (const auto& row : ellipsoidRows) {
            db.exec("INSERT INTO ELLI VALUES (" + row + ")");
        }
        transaction.commit();
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

    EXPECT_EQ(document::LoadDatums(dir_.path()), document::DatumLoad::Loaded);
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
        int datumsLoaded; // none: the database cannot serve, and another one is asked for
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
        if (c.datumsLoaded == 0) {
            prompter.expect(ChooseFile({}));
        }
        EXPECT_EQ(document::LoadDatums(dir_.path()),
                  c.datumsLoaded == 0 ? document::DatumLoad::Quit : document::DatumLoad::Reported);
        EXPECT_EQ(prompter.pending(), 0U);
        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_TRUE(
            prompter.messages()[0].text.startsWith("Error " + QString::number(c.number) + "\r"))
            << prompter.messages()[0].text.toStdString();
        EXPECT_TRUE(prompter.messages()[0].text.contains(dir_.filePath("DATUM.MDB")));
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
    EXPECT_EQ(document::LoadDatums(emptyFolder), document::DatumLoad::Loaded);
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
    EXPECT_EQ(document::LoadDatums(dir_.filePath("nowhere")), document::DatumLoad::Quit);
    EXPECT_EQ(prompter.messages()[0].text, "Le fichier DATUM.MDB est introuvable!");
    EXPECT_EQ(platform::GetSetting("ZEB", "Datum", "DB", "unset"), "unset");
    EXPECT_FALSE(Datums().datumTableFilled);
}

// Ends the test program when what it guards still runs after ten seconds: a hang then fails the
// test instead of stopping the whole run.
class HangGuard {
public:
    HangGuard()
        : thread_([this] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, std::chrono::seconds(10), [this] { return finished_; })) {
                  std::fputs("still running after 10 s: hung\n", stderr);
                  std::abort();
              }
          }) {}
    ~HangGuard() {
        {
            const std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

TEST_F(DatumDatabaseTest, RowsBeyondSixteenBitIndexesAreLeftOutAndSaidSo) {
    constexpr int kRows = 40000;
    constexpr int kKept = std::numeric_limits<std::int16_t>::max();
    // Codes and names are the row number in five digits, so name order is number order.
    std::vector<std::string> datums;
    std::vector<std::string> ellipsoids;
    for (int i = 0; i < kRows; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%05d", i);
        datums.push_back(std::string("'") + number + "', 'N" + number +
                         "', 'x', 0, 0, 0, 0, 0, 1, 1");
        ellipsoids.push_back(std::to_string(i + 1) + ", 'E" + std::to_string(i % 10) +
                             "', 'ellipsoid', 6378137, 298.257223563");
    }
    useDatabase(makeDatabase(datums, ellipsoids));
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    prompter.expect(AnswerWith(platform::Answer::Ok));

    EXPECT_EQ(document::LoadDatums(dir_.path()), document::DatumLoad::Loaded);

    const auto& state = Datums();
    ASSERT_EQ(state.datumCount(), kKept);
    EXPECT_EQ(state.datum(kKept).Code, "32766");
    EXPECT_EQ(DatumIndex("32766"), kKept);
    EXPECT_EQ(DatumIndex("32767"), 0);
    ASSERT_EQ(state.ellipsoidCount(), kKept);
    EXPECT_EQ(state.ellipsoid(kKept).ELLI_ID, kKept);
    ASSERT_EQ(prompter.messages().size(), 2U);
    for (const auto& [message, table] :
         {std::pair{prompter.messages()[0], "Datum"}, std::pair{prompter.messages()[1], "ELLI"}}) {
        EXPECT_EQ(message.icon, platform::Icon::Exclamation);
        for (const QString& part : {QString(table), QString("40000"), QString("32767"),
                                    QString("7233"), dir_.filePath("DATUM.MDB")}) {
            EXPECT_TRUE(message.text.contains(part)) << message.text.toStdString();
        }
    }
}

TEST_F(DatumDatabaseTest, TablesThatAreNotPlainTablesAreRefused) {
    const std::string endless = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) ";
    const std::vector<std::string> oneDatum = {"'A', 'A', 'x', 0, 0, 0, 0, 0, 1, 1"};
    const struct {
        const char* name;
        std::string datumTable;
        std::string ellipsoidTable;
        std::vector<std::string> datums;
        int datumsLoaded;
    } cases[] = {
        {"Datum an endless view",
         "CREATE VIEW Datum AS " + endless +
             "SELECT 'C' || i AS Code, 'N' AS Name, 'A' AS Applic, 0 AS da, 0.0 AS df, 0.0 AS "
             "dx, 0.0 AS dy, 0.0 AS dz, 1 AS Use, 1 AS ELLI_ID FROM n",
         "",
         {},
         0},
        {"Datum a plain view",
         "CREATE VIEW Datum AS SELECT 'A' AS Code, 'A' AS Name, 'x' AS Applic, 0 AS da, 0 AS df, "
         "0 AS dx, 0 AS dy, 0 AS dz, 1 AS Use, 1 AS ELLI_ID",
         "",
         {},
         0},
        {"Datum a virtual table",
         "CREATE VIRTUAL TABLE Datum USING fts4(Code, Name, Applic, da, df, dx, dy, dz, Use, "
         "ELLI_ID)",
         "", oneDatum, 0},
        {"ELLI an endless view", "",
         "CREATE VIEW elli AS " + endless +
             "SELECT i AS ELLI_ID, 'AA' AS ELLI, 'x' AS ELLI_NAME, 6378137 AS A, 298 AS f_Inv "
             "FROM n",
         oneDatum, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        geodesy::ResetDatumState();
        QFile::remove(dir_.filePath("DATUM.MDB"));
        useDatabase(makeDatabase(
            c.datums, c.ellipsoidTable.empty() ? kEllipsoids : std::vector<std::string>{},
            c.datumTable, c.ellipsoidTable));
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok));
        if (c.datumsLoaded == 0) {
            prompter.expect(ChooseFile({}));
        }
        {
            const HangGuard guard;
            EXPECT_EQ(document::LoadDatums(dir_.path()), c.datumsLoaded == 0
                                                             ? document::DatumLoad::Quit
                                                             : document::DatumLoad::Reported);
        }
        EXPECT_EQ(prompter.pending(), 0U);
        ASSERT_EQ(prompter.messages().size(), 1U);
        const QString& text = prompter.messages()[0].text;
        EXPECT_TRUE(text.startsWith("Error 3078\r")) << text.toStdString();
        EXPECT_TRUE(text.contains("not a plain table")) << text.toStdString();
        EXPECT_TRUE(text.contains(dir_.filePath("DATUM.MDB"))) << text.toStdString();
        EXPECT_EQ(Datums().datumCount(), c.datumsLoaded);
        EXPECT_EQ(Datums().ellipsoidCount(), 0);
    }
}

TEST_F(DatumDatabaseTest, TextsAreKeptShortAndOversizedValuesRefused) {
    // 100,000 two-byte characters as a name, 300 as an area of use, ten as a code.
    const std::string many = "replace(hex(zeroblob(100000)), '00', 'é')";
    useDatabase(makeDatabase(
        {"'ABCDEFGHIJ', " + many + ", substr(" + many + ", 1, 300), 0, 0, 0, 0, 0, 1, 1"},
        {"1, 'ABC', " + many + ", 6378137, 298.257223563"}));
    EXPECT_EQ(document::LoadDatums(dir_.path()), document::DatumLoad::Loaded);
    std::string expected;
    for (int i = 0; i < 255; ++i) {
        expected += "é";
    }
    EXPECT_EQ(Datums().datum(1).Code, "ABCDE");
    EXPECT_EQ(Datums().datum(1).Name, expected);
    EXPECT_EQ(Datums().datum(1).Applic, expected);
    EXPECT_EQ(Datums().ellipsoid(1).ELLI, "AB");
    EXPECT_EQ(Datums().ellipsoid(1).ELLI_NAME, expected);

    // A value of two million bytes is not read at all: with no datum read, another database is
    // asked for.
    geodesy::ResetDatumState();
    QFile::remove(dir_.filePath("DATUM.MDB"));
    useDatabase(
        makeDatabase({"'A', printf('%.*c', 2000000, 'x'), 'x', 0, 0, 0, 0, 0, 1, 1"}, kEllipsoids));
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    prompter.expect(ChooseFile({}));
    EXPECT_EQ(document::LoadDatums(dir_.path()), document::DatumLoad::Quit);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_TRUE(prompter.messages()[0].text.startsWith("Error 3078\r"))
        << prompter.messages()[0].text.toStdString();
}

// Files that are no datum database this program can read: each gives one message naming the
// file and what is wrong, then the search for another file, and the program goes on with the one
// chosen.
TEST_F(DatumDatabaseTest, UnreadableFilesAreReportedOnceAndAnotherIsAskedFor) {
    const QString good = dir_.filePath("good.sqlite");
    ASSERT_TRUE(
        QFile::rename(makeDatabase({"'EUR-M', 'E', 'x', 0, 0, 0, 0, 0, 4, 1"}, kEllipsoids), good));
    const QByteArray access = NpmFileBytes("node-adodb/examples/node-adodb.mdb");
    const QByteArray noise = NoiseBytes(64 * 1024, 25);
    const struct {
        const char* name;
        QByteArray bytes;
        const char* says;
    } cases[] = {
        {"zero-filled", QByteArray(64 * 1024, '\0'), "neither an Access nor an SQLite database"},
        {"random bytes", noise, "neither an Access nor an SQLite database"},
        {"a cut Access file", access.left(3 * 4096), "Cannot read the database"},
        {"an Access file without the datum tables", NpmFileBytes("mdb/test/fruit.mdb"),
         "cannot find the input table or query 'Datum'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        geodesy::ResetDatumState();
        const QString bad = dir_.filePath("DATUM.MDB");
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        useDatabase(bad);
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok));
        prompter.expect(ChooseFile(good));
        {
            const HangGuard guard;
            EXPECT_EQ(document::LoadDatums(dir_.path()), document::DatumLoad::Loaded);
        }
        ASSERT_EQ(prompter.messages().size(), 1U);
        const QString& text = prompter.messages()[0].text;
        EXPECT_TRUE(text.contains(bad)) << text.toStdString();
        EXPECT_TRUE(text.contains(c.says)) << text.toStdString();
        ASSERT_EQ(prompter.fileDialogs().size(), 1U);
        EXPECT_EQ(prompter.fileDialogs()[0].title, "Where is DATUM.MDB?");
        EXPECT_EQ(platform::GetSetting("ZEB", "Datum", "DB"), good);
        EXPECT_EQ(DatumIndex("EUR-M"), 1);
    }

    // Cancel ends the program, as for a missing file.
    geodesy::ResetDatumState();
    useDatabase(dir_.filePath("DATUM.MDB"));
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    prompter.expect(ChooseFile({}));
    EXPECT_EQ(document::LoadDatums(dir_.path()), document::DatumLoad::Quit);
}

TEST(ShippedDatumDatabase, HoldsEveryCodeTheProgramNames) {
    geodesy::ResetDatumState();
    TempSettings settings;
    platform::SaveSetting("ZEB", "Datum", "DB", DOVAZOV_DATUM_DB);
    ASSERT_EQ(document::LoadDatums({}), document::DatumLoad::Loaded);
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

#include "ImportFixture.h"
#include "exchange/ImportCommands.h"
#include "exchange/ImportPcx5.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <sqlite3.h>
#include <string>

namespace {

using import_test::ImportTest;
using testing_support::ScriptedPrompter;

// Every stored value of every row, its storage class and bytes: a REAL compares bit for bit.
std::vector<std::string> StoredRows() {
    std::vector<std::string> rows;
    SQLite::Statement query(document::WorkDb(), "SELECT * FROM DOVAZOV ORDER BY Counter");
    while (query.executeStep()) {
        std::string row;
        for (int i = 0; i < query.getColumnCount(); ++i) {
            const SQLite::Column column = query.getColumn(i);
            row += std::to_string(column.getType()) + ':';
            if (column.getType() == SQLITE_FLOAT) {
                row += std::to_string(std::bit_cast<std::uint64_t>(column.getDouble()));
            } else if (!column.isNull()) {
                row += column.getString();
            }
            row += '|';
        }
        rows.push_back(row);
    }
    return rows;
}

// A MapSource input of the grid of decimal degrees, its columns those of a waypoint line.
exchange::WaypointImportInput WaypointInput(const QString& datum) {
    exchange::WaypointImportInput input;
    input.grid = 0;
    input.datum = datum;
    input.columns =
        QStringList{QStringLiteral("Header"), QStringLiteral("Name"), QStringLiteral("Description"),
                    QStringLiteral("Type"), QStringLiteral("Position")};
    return input;
}

class ImportKeepsRowsTest : public ImportTest {
protected:
    // Rows whose stored positions differ from what their ORIGINAL gives: snapped to a square,
    // never computed, and a text that gives no position at all.
    static void EarlierRows() {
        document::WorkDb().exec(
            "INSERT INTO DOVAZOV (PERIOD, LATITUDE, LONGITUDE, N1, N2, DATUM, ORIGINAL) VALUES "
            "(1, 50.45, 4.05, 1, 0, 'WGS84', 'deg 50.5 4.25'),"
            "(2, NULL, NULL, 2, 0, 'WGS84', 'deg 51 5'),"
            "(3, -12.5, 7.125, 3, 0, 'WGS84', 'nothing')");
        Show(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
    }
};

// Each import gives its new rows a position and leaves the rows already there byte for byte.
TEST_F(ImportKeepsRowsTest, TheRowsAlreadyThereKeepTheirPositions) {
    const QString coordFile =
        WriteLines(QStringLiteral("in.txt"), {QStringLiteral("1,48.25,2.5,1,1,,new")});
    QStringList pcx5;
    for (int i = 1; i <= 11; ++i) {
        pcx5.append(QStringLiteral("H  header line %1").arg(i));
    }
    pcx5[5] = QStringLiteral("M  WGS 84");
    pcx5[8] = QStringLiteral("U  LAT LON DM");
    pcx5.append(import_test::AtColumns({{1, QStringLiteral("W")},
                                        {4, QStringLiteral("CAMP")},
                                        {11, QStringLiteral("N4815.000")},
                                        {23, QStringLiteral("E00230.000")},
                                        {55, QStringLiteral("ABCDE")}}));
    const QString pcx5File = WriteLines(QStringLiteral("in.wpt"), pcx5);
    const exchange::WaypointImportInput waypoints = WaypointInput(QStringLiteral("WGS84"));
    const std::vector<QStringList> waypointCells{{QStringLiteral("Waypoint"),
                                                  QStringLiteral("CAMP"), QStringLiteral("river"),
                                                  QString(), QStringLiteral("N48.25 E2.5")}};

    const std::pair<const char*, std::function<int()>> imports[] = {
        {"coordinates", [&] { return exchange::ImportCoordRecords(coordFile, 0); }},
        {"waypoints", [&] { return exchange::ImportWaypointRecords(waypoints, waypointCells); }},
        {"PCX5", [&] { return exchange::ImportPcx5Records(pcx5File); }},
    };
    for (const auto& [name, import] : imports) {
        document::WorkDb().exec("DELETE FROM DOVAZOV");
        EarlierRows();
        const std::vector<std::string> before = StoredRows();
        ScriptedPrompter prompter;
        ASSERT_EQ(import(), 1) << name;
        std::vector<std::string> after = StoredRows();
        ASSERT_EQ(after.size(), before.size() + 1) << name;
        after.pop_back();
        EXPECT_EQ(after, before) << name;
        const document::Record added = Table().back();
        ASSERT_TRUE(added.LATITUDE && added.LONGITUDE) << name;
        EXPECT_FLOAT_EQ(*added.LATITUDE, 48.25F) << name;
        EXPECT_FLOAT_EQ(*added.LONGITUDE, 2.5F) << name;
        EXPECT_EQ(document::Data1().recordset().recordCount(), 4) << name;
    }
}

// The progress bar follows the reading of a large input in steps of 10 % and is hidden at the
// end, for each import.
TEST_F(ImportKeepsRowsTest, TheProgressBarFollowsTheReading) {
    constexpr int kRows = 10000; // a few blocks of rows
    QStringList coordinates;
    QStringList pcx5;
    for (int i = 1; i <= 11; ++i) {
        pcx5.append(i == 9 ? QStringLiteral("U  LAT LON DM") : QStringLiteral("H  header"));
    }
    std::vector<QStringList> waypointCells;
    for (int i = 0; i < kRows; ++i) {
        coordinates.append(QStringLiteral("1,48.25,2.5,1,1,,new"));
        pcx5.append(import_test::AtColumns({{1, QStringLiteral("W")},
                                            {4, QStringLiteral("CAMP")},
                                            {11, QStringLiteral("N4815.000")},
                                            {23, QStringLiteral("E00230.000")}}));
        waypointCells.push_back({QStringLiteral("Waypoint"), QStringLiteral("CAMP"),
                                 QStringLiteral("river"), QString(), QStringLiteral("N48 E2")});
    }
    const QString coordFile = WriteLines(QStringLiteral("in.txt"), coordinates);
    const QString pcx5File = WriteLines(QStringLiteral("in.wpt"), pcx5);
    const exchange::WaypointImportInput waypoints = WaypointInput(QStringLiteral("WGS84"));
    const std::pair<const char*, std::function<int()>> imports[] = {
        {"coordinates", [&] { return exchange::ImportCoordRecords(coordFile, 0); }},
        {"waypoints", [&] { return exchange::ImportWaypointRecords(waypoints, waypointCells); }},
        {"PCX5", [&] { return exchange::ImportPcx5Records(pcx5File); }},
    };
    for (const auto& [name, import] : imports) {
        feedback_.progress.clear();
        ScriptedPrompter prompter;
        ASSERT_EQ(import(), kRows) << name;
        const std::vector<int>& steps = feedback_.progress;
        ASSERT_GE(steps.size(), 3U) << name;
        EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end())) << name;
        EXPECT_TRUE(std::all_of(steps.begin(), steps.end(), [](int p) { return p % 10 == 0; }))
            << name;
        EXPECT_GT(steps.front(), 0) << name;
        EXPECT_LT(steps.front(), 100) << name;
        EXPECT_EQ(steps.back(), 100) << name;
        EXPECT_FALSE(feedback_.progressShown) << name;
    }
}

// A new row that gets no position (its datum is not loaded) is left without one, as a recompute
// leaves it.
TEST_F(ImportKeepsRowsTest, ANewRowWithoutAPositionHasNone) {
    const exchange::WaypointImportInput input = WaypointInput(QStringLiteral("NONE"));
    const QStringList cells{QStringLiteral("Waypoint"), QStringLiteral("A"), QStringLiteral("b"),
                            QString(), QStringLiteral("N50 E4")};
    ScriptedPrompter prompter;
    ASSERT_EQ(exchange::ImportWaypointRecords(input, {cells}), 1);
    const document::Record row = Table().at(0);
    EXPECT_FALSE(row.LATITUDE);
    EXPECT_FALSE(row.LONGITUDE);
}

} // namespace

// The walks convert a block of rows at a time with the batch conversions; what they store must be
// exactly what the one-point path stores (ParseCoordinates, the rule's one-point form, then
// FiveDecimals), bit for bit, over a large random table and on the boundaries where a micrometre
// turns the result: halves of the fifth decimal, cell and grade edges, UTM zone and band edges.
#include "CommandsFixture.h"
#include "commands/SnapRules.h"
#include "document/PositionWalk.h"
#include "document/TextRules.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/GridDigits.h"

#include <bit>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using testing_support::CommandsTest;

class BlockWalkTest : public CommandsTest {};

struct StoredRow {
    std::optional<QString> original;
    std::optional<QString> datum;
    double lat = 0.0;
    double lon = 0.0;
};

QString Format(const char* pattern, double a, double b) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b);
    return QString::fromLatin1(text);
}

// Random rows in every system the walks meet, world-wide, in several datums, and the boundary
// cases.
std::vector<StoredRow> MakeRows(std::size_t randomRows) {
    std::vector<StoredRow> rows;
    const auto add = [&rows](std::optional<QString> original, std::optional<QString> datum) {
        rows.push_back({std::move(original), std::move(datum), 1.0, 2.0});
    };
    // Boundaries in the destination datum (EUR-M), where no shift blurs them.
    const char* edges[] = {
        "deg 50.123455 4.000005",
        "deg -50.123455 -4.000005",
        "deg 50.25 4.5",
        "deg 56 3",
        "deg 64 6",
        "deg 72 9",
        "deg 84 21",
        "deg -80 -180",
        "deg 0 0",
        "deg 45 2.337222",
        "deg 45.18 2.697222",
        "deg 83.99999999 33",
        "deg 55.99999999 2.99999",
        "deg 48 2",
        "deg 60 3",
        "deg 999 4.2",
        "deg 50.7 999",
        "MGR 31 U ER7167039221",
        "MGR 6 V VN1234567890",
        "MGR 31 U",
        "UTM 31 571670 5539221",
        "BNG TQ 1234567890",
        "ITM O 1234567890",
        "IFB E435",
        "LMB 150000 170000",
        "GRP 55.5 1.2",
    };
    for (const char* edge : edges) {
        add(QString::fromLatin1(edge), QStringLiteral("EUR-M"));
        add(QString::fromLatin1(edge), QStringLiteral("WGS84"));
    }
    add(std::nullopt, QStringLiteral("EUR-M"));
    add(QStringLiteral("deg 50 4"), std::nullopt);
    add(QStringLiteral("deg 50 4"), QStringLiteral("  "));
    add(QStringLiteral("deg 50 4"), QStringLiteral("NOPE"));

    std::mt19937 random(20261211);
    std::uniform_real_distribution<double> latitude(-84.0, 84.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    std::uniform_int_distribution<int> pick(0, 99);
    const char* datums[] = {"WGS84", "EUR-M", "OGB-M", "NTF", "IRL", "BEL72"};
    for (std::size_t i = 0; i < randomRows; ++i) {
        const int kind = pick(random);
        const QString datum = QString::fromLatin1(datums[pick(random) % std::size(datums)]);
        if (kind < 70) {
            add(Format("deg %.5f %.5f", latitude(random), longitude(random)), datum);
        } else if (kind < 85) {
            // On a zone's or band's edge, or a cell's, give or take a little, in the destination
            // datum, which no shift moves.
            const double lat =
                std::round(latitude(random) / 4.0) * 4.0 + (pick(random) - 50) * 1e-5;
            const double lon =
                std::round(longitude(random) / 3.0) * 3.0 + (pick(random) - 50) * 1e-5;
            add(Format("deg %.5f %.5f", lat, lon), QStringLiteral("EUR-M"));
        } else if (kind < 95) {
            add(Format("UTM %.0f %.0f", 1 + pick(random) % 60, 200000 + pick(random) * 6000.0) +
                    QStringLiteral(" ") + QString::number(100000 + pick(random) * 89000),
                datum);
        } else {
            // Halves of the fifth decimal.
            add(Format("deg %.5f5 %.5f5", std::fabs(latitude(random)),
                       std::fabs(longitude(random)) / 2.0),
                pick(random) % 2 == 0 ? datum : QStringLiteral("EUR-M"));
        }
    }
    return rows;
}

void Fill(const std::vector<StoredRow>& rows) {
    SQLite::Database& db = document::WorkDb();
    db.exec("DELETE FROM DOVAZOV");
    SQLite::Transaction transaction(db);
    SQLite::Statement insert(db, document::kInsertRecordSql);
    for (const StoredRow& row : rows) {
        document::Record r;
        r.PERIOD = 1;
        r.LATITUDE = static_cast<float>(row.lat);
        r.LONGITUDE = static_cast<float>(row.lon);
        r.ORIGINAL = row.original;
        r.DATUM = row.datum;
        insert.reset();
        document::BindRecord(insert, r);
        insert.exec();
    }
    transaction.commit();
}

// What the one-point path stores for a row.
std::pair<double, double> OnePoint(const StoredRow& row, const document::PositionRule& rule) {
    const QString code = row.datum ? document::TrimBlanks(*row.datum).toUpper() : QString();
    const std::string name =
        !row.datum || (code.isEmpty() && rule.blankDatumIsWgs84) ? "WGS84" : code.toStdString();
    const std::int16_t datum = geodesy::DatumIndex(name);
    const std::pair<double, double> kept{static_cast<float>(row.lat), static_cast<float>(row.lon)};
    if (datum == 0) {
        return kept;
    }
    document::RowPosition position;
    position.datum = datum;
    position.text = row.original ? document::TrimBlanks(*row.original).toUpper().toStdString()
                                 : std::string("   ");
    position.lat = geodesy::InvalidCoord;
    position.lon = geodesy::InvalidCoord;
    geodesy::ParseCoordinates(position.text, datum, position.lat, position.lon, position.system);
    const bool none = rule.eitherAxisUnknown ? (position.lat == geodesy::InvalidCoord ||
                                                position.lon == geodesy::InvalidCoord)
                                             : geodesy::IsInvalidCoord(position.lat, position.lon);
    if (none) {
        return kept;
    }
    const std::optional<document::LatLon> placed = rule.one(position);
    if (!placed) {
        return kept;
    }
    return {document::FiveDecimals(placed->lat), document::FiveDecimals(placed->lon)};
}

TEST_F(BlockWalkTest, EveryWalkStoresWhatTheOnePointPathStores) {
    const std::vector<StoredRow> rows = MakeRows(20000);
    struct Walk {
        const char* name;
        std::function<document::PositionRule()> rule;
    };
    const auto recompute = [](float lat, float lon) {
        document::PositionRule rule = document::ShiftAndCellRule(lat, lon);
        rule.eitherAxisUnknown = false;
        rule.blankDatumIsWgs84 = false;
        return rule;
    };
    std::vector<Walk> walks = {
        {"recompute", [&] { return recompute(document::kNoMesh, document::kNoMesh); }},
        {"recompute in cells", [&] { return recompute(0.25F, 0.5F); }},
        {"degree cells", [] { return commands::DegreeCellRule(1.0F, document::kNoMesh); }},
        {"Paris grades", [] { return commands::GradeRule(); }},
        {"British 1 km", [] { return commands::GridSquareRule(geodesy::kSnap1km, 1); }},
        {"Irish 10 km", [] { return commands::GridSquareRule(geodesy::kSnap10km, 2); }},
        {"IFBL 1 km", [] { return commands::IfblSquareRule(6); }},
    };
    for (int size = geodesy::kSnapNone; size <= geodesy::kSnap100km; ++size) {
        walks.push_back({"UTM squares", [size] { return commands::GridSquareRule(size, 0); }});
    }
    for (const Walk& walk : walks) {
        SCOPED_TRACE(walk.name);
        Fill(rows);
        ShowAll();
        const document::PositionRule rule = walk.rule();
        document::WalkPositions(document::Data1().recordset().clone(), rule);
        SQLite::Statement stored(document::WorkDb(),
                                 "SELECT LATITUDE, LONGITUDE FROM DOVAZOV ORDER BY Counter");
        std::size_t differing = 0;
        for (const StoredRow& row : rows) {
            ASSERT_TRUE(stored.executeStep());
            const std::pair<double, double> expected = OnePoint(row, rule);
            const double lat = stored.getColumn(0).getDouble();
            const double lon = stored.getColumn(1).getDouble();
            if (std::bit_cast<std::uint64_t>(lat) != std::bit_cast<std::uint64_t>(expected.first) ||
                std::bit_cast<std::uint64_t>(lon) !=
                    std::bit_cast<std::uint64_t>(expected.second)) {
                if (++differing <= 5) {
                    ADD_FAILURE() << row.original.value_or("<null>").toStdString() << " in "
                                  << row.datum.value_or("<null>").toStdString() << ": stored "
                                  << lat << " " << lon << ", one-point " << expected.first << " "
                                  << expected.second;
                }
            }
        }
        EXPECT_EQ(differing, 0U);
    }
}

} // namespace

// An import computes the positions of its rows a block at a time with the batch conversions, as
// it reads them; what it stores must be exactly what the one-point path stores for each row
// (ParseCoordinates, the datum shift, then FiveDecimals), bit for bit, in every system a file may
// be written in, across block boundaries, on halves of the fifth decimal and where no position
// can be found.
#include "ImportFixture.h"
#include "document/Recompute.h"
#include "exchange/ImportCommands.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/CoordinateText.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

namespace {

using import_test::ImportTest;

class ImportPositionsTest : public ImportTest {};

// What the one-point path stores for a row: none when its text gives no position.
std::optional<std::pair<double, double>> OnePoint(const QString& original, const QString& datum) {
    const document::PositionRule rule =
        document::RecomputeRule(document::kNoMesh, document::kNoMesh);
    const std::int16_t index = geodesy::DatumIndex(datum.trimmed().toUpper().toStdString());
    if (index == 0) {
        return std::nullopt;
    }
    document::RowPosition position;
    position.datum = index;
    position.text = original.trimmed().toUpper().toStdString();
    position.lat = geodesy::InvalidCoord;
    position.lon = geodesy::InvalidCoord;
    geodesy::ParseCoordinates(position.text, index, position.lat, position.lon, position.system);
    if (geodesy::IsInvalidCoord(position.lat, position.lon)) {
        return std::nullopt;
    }
    const std::optional<document::LatLon> placed = rule.one(position);
    if (!placed) {
        return std::nullopt;
    }
    return std::pair<double, double>{document::FiveDecimals(placed->lat),
                                     document::FiveDecimals(placed->lon)};
}

QString Format(const char* pattern, double a, double b) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b);
    return QString::fromLatin1(text);
}

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TEST_F(ImportPositionsTest, EveryImportedRowHoldsWhatTheOnePointPathGives) {
    geodesy::DatumState& datums = geodesy::Datums();
    datums.FromCode = "EUR-M";
    datums.UTMCode = "OGB-M";
    datums.DestCode = "WGS84";
    geodesy::SetDefaultDatumIndexes();

    std::mt19937 random(20261211);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> pick(0, 99);
    const auto u = [&](double from, double to) { return from + (to - from) * unit(random); };
    const auto letter = [&] {
        return QChar(QLatin1Char(static_cast<char>('A' + pick(random) % 26)));
    };
    const auto digits = [&](int n) {
        QString text;
        for (int i = 0; i < n; ++i) {
            text += QChar(QLatin1Char(static_cast<char>('0' + pick(random) % 10)));
        }
        return text;
    };
    // The position fields of a line, by system; every tenth line of the degree systems sits on a
    // half of the fifth decimal.
    struct System {
        int index;
        std::function<QString()> position;
    };
    const System systems[] = {
        {0,
         [&] {
             return pick(random) < 10 ? Format("%.5f5,%.5f5", u(-84, 84), u(-180, 180))
                                      : Format("%.6f,%.6f", u(-84, 84), u(-180, 180));
         }},
        {1, [&] { return Format("%.6f,%.6f", u(-60, 60), u(-170, 170)); }},
        {2,
         [&] {
             return QString::number(1 + pick(random) % 60) +
                    Format(",%.0f,%.0f", u(200000, 800000),
                           (pick(random) % 2 ? -1 : 1) * u(1000000, 8000000));
         }},
        {3,
         [&] {
             // Squares of zone 31 U, and now and then letters that name no square.
             const char* squares[] = {"ES", "FS", "DR", "ER", "FR", "DQ", "EQ", "FQ"};
             const QString square = pick(random) < 10 ? QString(letter()) + letter()
                                                      : QLatin1String(squares[pick(random) % 8]);
             return QStringLiteral("31U") + square + digits(2 * (pick(random) % 6));
         }},
        {4, [&] { return Format("%.6f,%.6f", u(46, 56), u(-5, 8)); }},
        {5,
         [&] {
             const char* squares[] = {"tq", "su", "nt", "hu", "sv", "xx"};
             return QString::fromLatin1(squares[pick(random) % 6]) +
                    digits(2 * (1 + pick(random) % 5));
         }},
        {6,
         [&] {
             const char* squares[] = {"IO", "IN", "IS", "IT", "IH", "IX"};
             return QString::fromLatin1(squares[pick(random) % 6]) +
                    digits(2 * (1 + pick(random) % 5));
         }},
        {7, [&] { return Format("%.1f,%.1f", u(20000, 300000), u(20000, 250000)); }},
        {8,
         [&] {
             return QString(QLatin1Char(static_cast<char>('A' + pick(random) % 11))) +
                    digits(1 + pick(random) % 5);
         }},
        {10, [&] { return Format("%.1f,%.1f", u(100000, 1200000), u(1600000, 2700000)); }},
        {14, [&] { return Format("%.1f,%.1f", u(100000, 900000), u(100000, 500000)); }},
    };
    for (const System& system : systems) {
        SCOPED_TRACE(system.index);
        document::WorkDb().exec("DELETE FROM DOVAZOV");
        QStringList lines;
        for (int i = 0; i < 5000; ++i) {
            lines.append(QStringLiteral("1,") + system.position() + QStringLiteral(",1,1,,r"));
        }
        const int added =
            exchange::ImportCoordRecords(WriteLines(QStringLiteral("in.txt"), lines), system.index);
        ASSERT_GT(added, 4096); // more than a block
        SQLite::Statement stored(document::WorkDb(),
                                 "SELECT ORIGINAL, DATUM, LATITUDE, LONGITUDE FROM DOVAZOV");
        int rows = 0;
        int placed = 0;
        int differing = 0;
        while (stored.executeStep()) {
            ++rows;
            const QString original = QString::fromStdString(stored.getColumn(0).getString());
            const auto expected =
                OnePoint(original, QString::fromStdString(stored.getColumn(1).getString()));
            const bool same = expected
                                  ? SameBits(stored.getColumn(2).getDouble(), expected->first) &&
                                        SameBits(stored.getColumn(3).getDouble(), expected->second)
                                  : stored.getColumn(2).isNull() && stored.getColumn(3).isNull();
            placed += expected ? 1 : 0;
            if (!same && ++differing <= 5) {
                ADD_FAILURE() << original.toStdString() << ": stored "
                              << stored.getColumn(2).getText() << " "
                              << stored.getColumn(3).getText();
            }
        }
        EXPECT_EQ(rows, added);
        EXPECT_GT(placed, added / 4);
        EXPECT_EQ(differing, 0);
    }
}

} // namespace

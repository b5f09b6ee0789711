#include "commands/CommentFill.h"

#include "CommandsFixture.h"
#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DocumentState.h"
#include "geodesy/Angles.h"
#include "geodesy/Ifbl.h"

#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <QStringList>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace {

using testing_support::AnswerWith;
using testing_support::CommandsTest;
using testing_support::ExpectPosition;
using testing_support::ScriptedPrompter;
using testing_support::TypeText;

class CommentFillTest : public CommandsTest {};

// Kilometre offsets "E.EEE N.NNN" of a comment ending in letters, easting and northing.
std::pair<double, double> Offsets(const QString& reference) {
    const QStringList parts = reference.split(' ');
    EXPECT_EQ(parts.size(), 3) << reference.toStdString();
    return {parts.value(1).toDouble() * 1000, parts.value(2).toDouble() * 1000};
}

TEST_F(CommentFillTest, MgrsReferencesAgainstGeographicLib) {
    SetDestination("WGS84");
    struct Case {
        float lat, lon;
    };
    const Case cases[] = {{50.85F, 4.35F}, {-33.9F, 18.4F}, {57.0F, 4.0F}, {71.9F, 20.0F}};
    for (const Case& c : cases) {
        Row(std::nullopt, QString("WGS84"), c.lat, c.lon);
    }
    Row(std::nullopt, QString("WGS84"), 84.5F, 10.0F);
    ShowAll();
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    ASSERT_TRUE(commands::MnuRemplirCoo(0, {}));
    EXPECT_EQ(prompter.beeps(), 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        int zone = 0;
        bool northp = false;
        double x = 0;
        double y = 0;
        GeographicLib::UTMUPS::Forward(cases[i].lat, cases[i].lon, zone, northp, x, y);
        std::string expected;
        GeographicLib::MGRS::Forward(zone, northp, x, y, cases[i].lat, 5, expected);
        const std::string ours = Comment(i).toStdString();
        ASSERT_EQ(ours.size(), 15U) << ours;
        // Same zone, band and square; digits to the nearest metre against GeographicLib's floor.
        EXPECT_EQ(ours.substr(0, 5), expected.substr(0, 5)) << ours << " " << expected;
        EXPECT_NEAR(std::stod(ours.substr(5, 5)), std::stod(expected.substr(5, 5)), 1.0);
        EXPECT_NEAR(std::stod(ours.substr(10, 5)), std::stod(expected.substr(10, 5)), 1.0);
    }
    EXPECT_EQ(Comment(4), "N  POLAR REGION");
    EXPECT_EQ(document::Document().FileModified, -1);
}

TEST_F(CommentFillTest, BritishAndIrishReferencesAreThoseOfTheGridsOwnDatum) {
    SetDestination("WGS84");
    const std::int64_t london = Row(std::nullopt, QString("WGS84"), 51.5F, -0.12F, QString("abc"));
    const std::int64_t dublin = Row(std::nullopt, QString("WGS84"), 53.35F, -6.26F);
    ShowAll();
    struct Case {
        int item;
        std::size_t row;
        const char* datum;
        const char* geographic;
        const char* projected;
        const char* letters;
        std::int64_t bookmark;
    };
    const Case cases[] = {{1, 0, "OGB-M", "EPSG:4277", "EPSG:27700", "TQ", london},
                          {2, 1, "IRL", "EPSG:4300", "EPSG:29902", "IO", dublin}};
    for (const Case& c : cases) {
        ScriptedPrompter prompter;
        const std::vector<std::int64_t> selected{c.bookmark};
        ASSERT_TRUE(commands::MnuRemplirCoo(c.item, selected));
        EXPECT_EQ(prompter.beeps(), 0);
        const auto [lat, lon] = Position(c.row);
        double gridLat = 0;
        double gridLon = 0;
        geodesy::ShiftDatum(lat, lon, 0, gridLat, gridLon, Index("WGS84"), Index(c.datum));
        const testref::ProjGrid grid(c.geographic, c.projected);
        double x = 0;
        double y = 0;
        grid.forward(gridLat, gridLon, x, y);
        QString comment = Comment(c.row);
        if (c.row == 0) {
            ASSERT_TRUE(comment.startsWith("abc ")) << comment.toStdString();
            comment = comment.mid(4);
        }
        EXPECT_TRUE(comment.startsWith(c.letters)) << comment.toStdString();
        const auto [e, n] = Offsets(comment);
        EXPECT_NEAR(e, std::fmod(x, 100000), 1.5) << c.item;
        EXPECT_NEAR(n, std::fmod(y, 100000), 1.5) << c.item;
    }
}

TEST_F(CommentFillTest, OnlySelectedRowsWithAPositionChange) {
    const std::int64_t first = Row(std::nullopt, QString("EUR-M"), 50.0F, 4.0F);
    Row(std::nullopt, QString("EUR-M"), 50.0F, 4.0F);
    const std::int64_t zero = Row(std::nullopt, QString("EUR-M"), 0.0F, 4.0F);
    const std::int64_t null = Row(std::nullopt, QString("EUR-M"), std::nullopt, 4.0F);
    ShowAll();
    const std::vector<std::int64_t> selected{first, zero, null};
    ScriptedPrompter prompter;
    const auto result = commands::MnuRemplirCoo(1, selected);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->changed, 1);
    EXPECT_NE(Comment(0), "<null>");
    EXPECT_EQ(Comment(1), "<null>");
    EXPECT_EQ(Comment(2), "<null>");
    EXPECT_EQ(Comment(3), "<null>");
}

TEST_F(CommentFillTest, CancelledWarningChangesNothing) {
    Row(std::nullopt, QString("EUR-M"), 50.0F, 4.0F);
    ShowAll();
    platform::Settings().Silence = 1;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Cancel));
    EXPECT_FALSE(commands::MnuRemplirCoo(0, {}));
    EXPECT_EQ(prompter.beeps(), 0);
    EXPECT_EQ(Comment(0), "<null>");
    EXPECT_EQ(document::Document().FileModified, 0);
    EXPECT_TRUE(feedback_.progress.empty() || feedback_.progress == std::vector<int>{});
}

TEST_F(CommentFillTest, TypedTextJoinedWithTheSeparator) {
    struct Case {
        std::optional<QString> old;
        QString separator;
        QString typed;
        QString expected;
    };
    const Case cases[] = {
        {std::nullopt, ",", "b", "b"},       {QString(""), ",", "b", "b"},
        {QString("a"), ",", "b", "a,b"},     {QString("a"), "", "b", "ab"},
        {QString("a"), ",", "   ", "a,   "},
    };
    for (const Case& c : cases) {
        document::WorkDb().exec("DELETE FROM DOVAZOV");
        Row(std::nullopt, std::nullopt, std::nullopt, std::nullopt, c.old);
        ShowAll();
        platform::Settings().Separator = c.separator;
        ScriptedPrompter prompter;
        prompter.expect(TypeText(c.typed));
        ASSERT_TRUE(commands::MnuRemplirTexte({}));
        EXPECT_EQ(Comment(0), c.expected);
    }
    document::Document().FileModified = 0;
    ScriptedPrompter prompter;
    prompter.expect(TypeText(""));
    EXPECT_FALSE(commands::MnuRemplirTexte({}));
    EXPECT_EQ(document::Document().FileModified, 0);
}

TEST_F(CommentFillTest, PositionTexts) {
    platform::Settings().Separator = QStringLiteral(";");
    Row(std::nullopt, QString("EUR-M"), 50.8503F, 4.3517F, QString("abc"));
    Row(std::nullopt, QString("EUR-M"), -33.5F, 4.3517F);
    Row(std::nullopt, std::nullopt, 50.8503F, 4.3517F); // no datum: unchanged
    ShowAll();
    ScriptedPrompter prompter;
    commands::MnuRemplirXY(0, {});
    EXPECT_EQ(Comment(0), QString::fromUtf8("abc,50°51'01.1'';4°21'06.1''"));
    EXPECT_TRUE(Comment(1).startsWith(QString::fromUtf8("-33°30'00.0'';")))
        << Comment(1).toStdString();
    EXPECT_EQ(Comment(2), "<null>");
    EXPECT_EQ(commands::SecondsText(59.97F, ','), "60,0''");
    EXPECT_EQ(commands::SecondsText(1.08F, '.'), "01.1''");
    // Grades from the Paris meridian of EPSG 8903 (2.33722917°): (2.5 - 2.33722917) / 0.9.
    EXPECT_EQ(*commands::PositionText(1, 45.0, 2.5), "50,.1808565");
}

TEST_F(CommentFillTest, DegreesMinutesSecondsKeepTheSignOfAnAngleBetweenMinusOneAndZero) {
    platform::Settings().Separator = QStringLiteral(";");
    struct Case {
        double lat, lon;
        const char* text;
    };
    const Case cases[] = {
        // 0.1246° = 7' 28.56''; 0.99999° = 59' 59.964'', written 60.0 in the same minute.
        {-0.1246, -0.99999, "-0°7'28.6'';-0°59'60.0''"},
        {0.1246, -1.0, "0°7'28.6'';-1°0'00.0''"},
        {-0.0, -0.00002, "0°0'00.0'';-0°0'00.1''"},
        {-0.00001, -4.35, "0°0'00.0'';-4°21'00.0''"}, // 0.036'' shows as zero: no sign
    };
    for (const Case& c : cases) {
        EXPECT_EQ(*commands::PositionText(0, c.lat, c.lon), QString::fromUtf8(c.text)) << c.text;
    }
    // Through the command, from the stored single-precision position.
    Row(std::nullopt, QString("EUR-M"), -0.1246F, 2.0F);
    ShowAll();
    ScriptedPrompter prompter;
    commands::MnuRemplirXY(0, {});
    EXPECT_EQ(Comment(0), QString::fromUtf8("-0°7'28.6'';2°0'00.0''"));
}

// The fill's degrees-minutes-seconds text as it was written with the float printing of each
// part: the reference that the byte-buffer text must match for every value.
QString PreviousDmsText(double degrees, QChar mark) {
    const auto single = [](double value) {
        return QString::fromStdString(common::CStrSingle(static_cast<float>(value)));
    };
    const geodesy::ShownDms dms = geodesy::DmsOfDegrees(degrees, 1);
    const double tenths =
        std::floor(static_cast<double>(static_cast<float>(dms.seconds())) * 10.0 + 0.5);
    QString seconds = QString::number(tenths / 10.0, 'f', 1);
    if (seconds.indexOf(QLatin1Char('.')) < 2) {
        seconds.prepend(QLatin1Char('0'));
    }
    seconds.replace(QLatin1Char('.'), mark);
    return (dms.negative ? QStringLiteral("-") : QString()) + single(dms.degrees) + QChar(0xB0) +
           single(dms.minutes) + QLatin1Char('\'') + seconds + QStringLiteral("''");
}

TEST_F(CommentFillTest, DegreesMinutesSecondsTextIsThatOfTheFloatPrinting) {
    platform::Settings().Separator = QStringLiteral(";");
    std::vector<double> values = {-0.1246,  0.1246,  -0.0,     0.0,      -1.0,         1.0,
                                  -0.99999, 0.99999, -0.00001, -0.00002, 59.97 / 3600, 179.99999,
                                  -180.0,   90.0,    -90.0,    1.0e6,    9999999.0,    1.0e7,
                                  -1.0e7,   1.6e7,   -1.0e30,  5.0e36};
    // Seconds that round to 60.0 in the same minute, and values a hair either side of each
    // minute and tenth of a second.
    for (int minute = 0; minute < 120; ++minute) {
        const double at = minute / 60.0;
        values.insert(values.end(), {at, -at, std::nextafter(at, 0.0), std::nextafter(at, 1.0),
                                     at - 0.03 / 3600, -(at - 0.03 / 3600), at + 0.05 / 3600});
    }
    std::mt19937_64 random(20261211);
    std::uniform_real_distribution<double> world(-180.0, 180.0);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_real_distribution<double> exponent(-8.0, 30.0);
    for (int i = 0; i < 50000; ++i) {
        values.push_back(world(random));
        values.push_back(static_cast<float>(world(random))); // as the fill reads them
        values.push_back(unit(random));
        values.push_back(unit(random) * std::pow(10.0, exponent(random)));
    }
    int mismatches = 0;
    for (const double value : values) {
        for (const QChar mark : {QChar('.'), QChar(',')}) {
            const QString expected =
                PreviousDmsText(value, mark) + ';' + PreviousDmsText(-value, mark);
            const QString shown = *commands::PositionText(0, value, -value, mark);
            if (shown != expected && ++mismatches <= 10) {
                ADD_FAILURE() << value << ": " << shown.toStdString() << " instead of "
                              << expected.toStdString();
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    // 59.97'' is written 60.0 in the same minute; a float too large for minutes is error 6.
    EXPECT_EQ(*commands::PositionText(0, 59.97 / 3600, 1.0e6),
              QString::fromUtf8("0°0'60.0'';1000000°0'00.0''"));
    EXPECT_THROW(commands::PositionText(0, 1.0e37, 0.0), common::AppError);
}

TEST_F(CommentFillTest, LambertAndIfblAgainstProj) {
    SetDestination("WGS84");
    const float lat = 50.85F;
    const float lon = 4.35F;
    const std::int64_t inside = Row(std::nullopt, QString("WGS84"), lat, lon);
    const std::int64_t outside = Row(std::nullopt, QString("WGS84"), 48.0F, 2.0F); // off the grid
    ShowAll();
    double bel72Lat = 0;
    double bel72Lon = 0;
    geodesy::ShiftDatum(lat, lon, 0, bel72Lat, bel72Lon, Index("WGS84"), Index("BEL72"));
    const testref::ProjGrid lambert("EPSG:4313", "EPSG:31370");
    double x = 0;
    double y = 0;
    lambert.forward(bel72Lat, bel72Lon, x, y);
    {
        ScriptedPrompter prompter;
        commands::MnuRemplirXY(2, {});
    }
    const QStringList xy = Comment(0).split(',');
    ASSERT_EQ(xy.size(), 2);
    EXPECT_NEAR(xy[0].toDouble(), x, 0.1);
    EXPECT_NEAR(xy[1].toDouble(), y, 0.1);

    document::WorkDb().exec("UPDATE DOVAZOV SET COMMENT = NULL WHERE Counter = " +
                            std::to_string(inside));
    document::WorkDb().exec("UPDATE DOVAZOV SET COMMENT = 'x' WHERE Counter = " +
                            std::to_string(outside));
    ScriptedPrompter prompter;
    commands::MnuRemplirXY(3, {});
    // The 1 km square that holds the point, counted from the grid's south-west corner.
    std::string code;
    std::int32_t status = 0;
    geodesy::LambertToIfbl(x, y, code, status, 6);
    double cx = 0;
    double cy = 0;
    geodesy::IfblToLambert(code, cx, cy, status);
    EXPECT_LT(std::fabs(cx - x), 500.0);
    EXPECT_LT(std::fabs(cy - y), 500.0);
    EXPECT_EQ(Comment(0).toStdString(), code);
    EXPECT_EQ(Comment(1), "x") << "a row off the grid is left as it was";
}

// The fills that convert a block at a time: every row must read what the one-point text gives,
// world-wide and on the zone and band edges of MGRS, where the one-point path decides.
TEST_F(CommentFillTest, BlockFillsWriteWhatEachRowWouldReceive) {
    SetDestination("EUR-M");
    std::mt19937 random(20261211);
    std::uniform_real_distribution<float> latitude(-80.0F, 84.0F);
    std::uniform_real_distribution<float> longitude(-180.0F, 180.0F);
    std::uniform_real_distribution<float> nearLatitude(20.0F, 60.0F);
    std::uniform_real_distribution<float> nearLongitude(-15.0F, 15.0F);
    std::vector<std::pair<float, float>> positions;
    for (int i = 0; i < 1500; ++i) {
        positions.emplace_back(latitude(random), longitude(random));
        positions.emplace_back(nearLatitude(random), nearLongitude(random));
    }
    for (const float lat : {52.0F, 56.0F, 72.0F}) {
        for (const float lon : {3.0F, 6.0F, 9.0F, -9.0F}) {
            positions.emplace_back(lat, lon);
        }
    }
    for (const auto& [lat, lon] : positions) {
        Row(std::nullopt, QString("EUR-M"), lat, lon);
    }
    Row(std::nullopt, QString("EUR-M"), 0.0F, 4.0F); // on the equator: unchanged
    struct Fill {
        const char* name;
        std::function<void()> run;
        std::function<std::optional<QString>(double, double)> one;
    };
    const Fill fills[] = {
        {"MGRS",
         [] {
             ScriptedPrompter prompter;
             prompter.expect(AnswerWith(platform::Answer::Ok));
             commands::MnuRemplirCoo(0, {});
         },
         [](double lat, double lon) { return commands::GridReferenceText(0, lat, lon); }},
        {"British", [] { commands::MnuRemplirCoo(1, {}); },
         [](double lat, double lon) { return commands::GridReferenceText(1, lat, lon); }},
        {"Irish", [] { commands::MnuRemplirCoo(2, {}); },
         [](double lat, double lon) { return commands::GridReferenceText(2, lat, lon); }},
        {"Lambert 72", [] { commands::MnuRemplirXY(2, {}); },
         [](double lat, double lon) { return commands::PositionText(2, lat, lon); }},
        {"North Morocco", [] { commands::MnuRemplirXY(4, {}); },
         [](double lat, double lon) { return commands::PositionText(4, lat, lon); }},
        {"South Morocco", [] { commands::MnuRemplirXY(5, {}); },
         [](double lat, double lon) { return commands::PositionText(5, lat, lon); }},
    };
    for (const Fill& fill : fills) {
        SCOPED_TRACE(fill.name);
        document::WorkDb().exec("UPDATE DOVAZOV SET COMMENT = NULL");
        ShowAll();
        fill.run();
        SQLite::Statement comments(document::WorkDb(),
                                   "SELECT COMMENT FROM DOVAZOV ORDER BY Counter");
        for (const auto& [lat, lon] : positions) {
            const std::optional<QString> expected =
                fill.one(static_cast<double>(lat), static_cast<double>(lon));
            ASSERT_TRUE(expected);
            ASSERT_TRUE(comments.executeStep());
            ASSERT_EQ(comments.getColumn(0).getString(), expected->toStdString())
                << lat << " " << lon;
        }
        EXPECT_EQ(Comment(positions.size()), "<null>");
    }
}

} // namespace

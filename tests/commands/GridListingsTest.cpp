#include "commands/GridListings.h"

#include "CommandsFixture.h"
#include "geodesy/Ifbl.h"
#include "platform/TextFile.h"

#include <QStringList>

namespace {

using testing_support::CommandsTest;

class GridListingsTest : public CommandsTest {
protected:
    static QStringList Lines(const QString& file) {
        QStringList lines;
        platform::TextFileReader reader(file);
        while (!reader.atEnd()) {
            lines.append(reader.readLine());
        }
        return lines;
    }
};

// Every square read back from the MapInfo pair: a rectangle of the pair's size whose code, read
// back to Lambert 72, is the rectangle's centre.
TEST_F(GridListingsTest, MapInfoPairsReadBack) {
    commands::WriteIfblSquaresMif(folder());
    struct Pair {
        const char* name;
        int count;
        double width, height;
        int codeLength;
    };
    const Pair pairs[] = {{"ifbl01x01", 240 * 320, 1000, 1000, 6},
                          {"ifbl04x04", 60 * 80, 4000, 4000, 4},
                          {"ifbl32x20", 12 * 10, 32000, 20000, 2}};
    for (const Pair& p : pairs) {
        const QStringList mif = Lines(path(QString(p.name) + ".mif"));
        const QStringList mid = Lines(path(QString(p.name) + ".mid"));
        ASSERT_EQ(mif.size(), 7 + 3 * p.count) << p.name;
        ASSERT_EQ(mid.size(), p.count) << p.name;
        EXPECT_EQ(mif[0], "Version 300");
        EXPECT_EQ(mif[1], "Charset \"WindowsLatin1\"");
        EXPECT_EQ(mif[6], "Data");
        for (int i = 0; i < p.count; ++i) {
            const QStringList rect = mif[7 + 3 * i].split(' ', Qt::SkipEmptyParts);
            ASSERT_EQ(rect.size(), 5) << mif[7 + 3 * i].toStdString();
            ASSERT_EQ(rect[0], "Rect");
            const double x1 = rect[1].toDouble();
            const double y1 = rect[2].toDouble();
            EXPECT_EQ(rect[3].toDouble() - x1, p.width);
            EXPECT_EQ(rect[4].toDouble() - y1, p.height);
            QString code = mid[i];
            ASSERT_TRUE(code.startsWith('"') && code.endsWith('"'));
            std::string text = code.mid(1, code.size() - 2).toStdString();
            ASSERT_EQ(static_cast<int>(text.size()), p.codeLength) << text;
            double x = 0;
            double y = 0;
            std::int32_t status = 0;
            geodesy::IfblToLambert(text, x, y, status);
            ASSERT_EQ(status, 0) << text;
            ASSERT_EQ(x, x1 + p.width / 2) << text;
            ASSERT_EQ(y, y1 + p.height / 2) << text;
        }
    }
    // The grid's worked example: the 1 km square E43522 has its south-west corner at
    // 149,012 / 169,180.
    const QStringList mif = Lines(path("ifbl01x01.mif"));
    const QStringList mid = Lines(path("ifbl01x01.mid"));
    const int index = static_cast<int>(mid.indexOf("\"E43522\""));
    ASSERT_GE(index, 0);
    EXPECT_EQ(mif[7 + 3 * index].split(' ', Qt::SkipEmptyParts).mid(1, 2),
              (QStringList{"149012", "169180"}));
}

TEST_F(GridListingsTest, GridLinesInEurMDegreesAgainstProj) {
    const QString file = path("ifbl.prn");
    commands::WriteIfblGridListing(file);
    const QStringList lines = Lines(file);
    ASSERT_EQ(lines.size(), 61 * 321 + 81 * 241 + 13 * 161 + 11 * 121);
    int starts = 0;
    for (const QString& line : lines) {
        starts += line.startsWith("-1") ? 1 : 0;
    }
    EXPECT_EQ(starts, 61 + 81 + 13 + 11);
    // The grid's south-west corner.
    SetDestination("EUR-M");
    const auto corner = FromPlane("EPSG:4313", "EPSG:31370", 2012, 18180, "BEL72");
    const QStringList first = lines[0].split(' ', Qt::SkipEmptyParts);
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(first[0], "-1");
    EXPECT_NEAR(first[1].toDouble(), corner.first, 1.1e-5);
    EXPECT_NEAR(first[2].left(first[2].indexOf(':')).toDouble(), corner.second, 1.1e-5);
    EXPECT_TRUE(first[2].endsWith(":G2"));
}

TEST_F(GridListingsTest, RandomDistributionLines) {
    const QString file = path("aleatoire2.deg");
    commands::WriteRandomDistribution(file);
    const QStringList lines = Lines(file);
    ASSERT_EQ(lines.size(), 1005);
    EXPECT_EQ(lines[0], QString::fromUtf8("Distribution aléatoire"));
    for (int i = 5; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const double lat = line.mid(2, 9).toDouble();
        const double lon = line.mid(11, 10).toDouble();
        EXPECT_TRUE(lat >= -90 && lat <= 90) << line.toStdString();
        EXPECT_TRUE(lon >= -180 && lon <= 180) << line.toStdString();
        EXPECT_EQ(line.mid(21, 30), "00001000012001/01/26 EUR-Mdeg ");
        EXPECT_EQ(line.mid(51, 9), line.mid(2, 9));
        EXPECT_TRUE(line.endsWith("BBBBB - " + QString::number(i - 4)));
    }
}

} // namespace

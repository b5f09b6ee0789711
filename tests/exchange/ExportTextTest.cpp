// The text export: the layouts, the header, the values of each column, the Nulls.

#include "exchange/ExportText.h"

#include "../geodesy/ProjReference.h"
#include "ExportFixture.h"

#include <QFile>
#include <QLocale>
#include <cmath>
#include <random>

namespace export_test {
namespace {

exchange::ExportChoice FiveNumbersOnly() {
    exchange::ExportChoice choice;
    choice.ExportEllipsoid = 0;
    choice.ExportOriginalCoord = 0;
    choice.ExportDate = 0;
    choice.ExportFreeField = 0;
    choice.ExportSex = 0;
    return choice;
}

QByteArray Export(const document::RecordSet& records, const exchange::ExportChoice& choice,
                  int mode, const QString& file) {
    exchange::WriteTextExport(file, records, choice, mode);
    QFile in(file);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    return in.readAll();
}

class ExportTextTest : public ExportTest {};

struct LayoutCase {
    int mode;
    QByteArray header;
    QByteArray line;
};

TEST_F(ExportTextTest, EachLayoutJoinsTheColumnsWithItsSeparator) {
    Add({2, -33.5F, 151.25F, 3, 0, "", "EUR-M", "deg -33.5 151.25", "", ""});
    const LayoutCase cases[] = {
        {0, "PeriodeLatitudeLongitudeN1N2", "2-33.50000+151.250000000300000"},
        {1, "Periode,Latitude,Longitude,N1,N2", "2,-33.50000,+151.25000,00003,00000"},
        {2, "Periode\tLatitude\tLongitude\tN1\tN2", "2\t-33.50000\t+151.25000\t00003\t00000"},
        {3, "Periode Latitude Longitude N1 N2", "2 -33.50000 +151.25000 00003 00000"},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(Export(Shown("DOVAZOV"), FiveNumbersOnly(), c.mode, path("out.txt")),
                  c.header + "\r\n" + c.line + "\r\n");
    }
}

TEST_F(ExportTextTest, EveryColumnWithLambertComesInItsOrderAndNullsAreEmpty) {
    // A comment with commas and a line break is written as it is, also between commas.
    Add({4, 50.8F, 4.35F, -12, 123456, "F", "BEL72", "lmb 150000 170000", "1999/01/02",
         " a,b\r\nc é "});
    Add({});
    Add({1, 999.0F, 999.0F, 0, 0, std::nullopt, "EUR-M", "utm 31 1 2", "", ""});
    exchange::ExportChoice choice;
    choice.ExportCoordSystem = 7;

    double x = 0;
    double y = 0;
    testref::ProjGrid("EPSG:4313", "EPSG:31370").forward(50.8F, 4.35F, x, y);
    const QByteArray bytes = Export(Shown("DOVAZOV"), choice, 1, path("all.txt"));
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 6); // four lines, one of them split by the comment's line break
    EXPECT_EQ(lines[0], "X,Y,Periode,Latitude,Longitude,N1,N2,Datum,Coord_Orig,Date,Sex,Comment\r");
    const QList<QByteArray> first = lines[1].split(',');
    EXPECT_NEAR(first[0].toDouble(), x, 0.51);
    EXPECT_NEAR(first[1].toDouble(), y, 0.51);
    EXPECT_EQ(lines[1].mid(first[0].size() + first[1].size() + 2),
              "4,+50.80000,+004.35000,-00012,123456,BEL72,lmb 150000 170000,1999/01/02,F, a,b\r");
    EXPECT_EQ(lines[2], "c \xE9 \r");
    EXPECT_EQ(lines[3], ",,,,,,,,,,,\r");
    // No position: X and Y empty; a Null sex is an empty text.
    EXPECT_EQ(lines[4], ",,1,+999.00000,+999.00000,00000,00000,EUR-M,utm 31 1 2,,,\r");
    EXPECT_EQ(lines[5], "");
}

TEST_F(ExportTextTest, PositionsCarryAPointWhateverTheLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    Add({1, 45.25F, -1.5F, 1, 1, "", "EUR-M", "deg 45.25 -1.5", "", ""});
    const QByteArray bytes = Export(Shown("DOVAZOV"), FiveNumbersOnly(), 1, path("fr.txt"));
    QLocale::setDefault(previous);
    EXPECT_EQ(bytes.split('\n')[1], "1,+45.25000,-001.50000,00001,00001\r");
}

// The Lambert 72 columns of a long export go through the batch conversions: each value must be
// what the one-point path gives for the same stored position, over many blocks of random points
// (on and off Belgium, off the globe, without a position).
TEST_F(ExportTextTest, LambertColumnsEqualTheOnePointPath) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> lat(-89.0F, 89.0F);
    std::uniform_real_distribution<float> lon(-179.0F, 179.0F);
    std::uniform_real_distribution<float> belgianLat(49.5F, 51.5F);
    std::uniform_real_distribution<float> belgianLon(2.5F, 6.4F);
    std::vector<document::Record> records;
    document::WorkDb().exec("BEGIN");
    for (int i = 0; i < 10000; ++i) {
        document::Record r;
        if (i % 97 == 0) {
            r.LATITUDE = r.LONGITUDE = 999.0F;
        } else if (i % 89 != 0) {
            const bool belgian = i % 3 != 0;
            r.LATITUDE = belgian ? belgianLat(random) : lat(random);
            r.LONGITUDE = belgian ? belgianLon(random) : lon(random);
        }
        Add({1, r.LATITUDE, r.LONGITUDE, 1, 1, "", "WGS84", "deg 1 1", "", ""});
        records.push_back(r);
    }
    document::WorkDb().exec("COMMIT");
    exchange::ExportChoice choice;
    choice.ExportCoordSystem = 7;
    const QList<QByteArray> lines =
        Export(Shown("DOVAZOV"), choice, 1, path("lambert.txt")).split('\n');
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(records.size()) + 2);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto xy = exchange::Lambert72Of(records[i]);
        const QList<QByteArray> cells = lines[static_cast<qsizetype>(i) + 1].split(',');
        const QByteArray want =
            xy ? QByteArray::number((*xy)[0]) + ',' + QByteArray::number((*xy)[1])
               : QByteArray(",");
        ASSERT_EQ(cells[0] + ',' + cells[1], want) << i;
    }
}

TEST_F(ExportTextTest, AnEmptyDocumentGivesTheHeaderAlone) {
    EXPECT_EQ(Export(Shown("DOVAZOV"), FiveNumbersOnly(), 1, path("empty.txt")),
              "Periode,Latitude,Longitude,N1,N2\r\n");
}

} // namespace
} // namespace export_test

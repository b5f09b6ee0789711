#include "commands/GridListings.h"

#include "commands/SnapWalk.h"
#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Ifbl.h"
#include "geodesy/Lambert72.h"
#include "geodesy/Molodensky.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "platform/WaitCursor.h"

#include <QDateTime>
#include <QDir>
#include <QRandomGenerator>
#include <cmath>

namespace commands {

namespace {

constexpr int kWest = 2012;
constexpr int kEast = 322012;
constexpr int kSouth = 18180;
constexpr int kNorth = 258180;

// A Lambert 72 point of the grid in EUR-M degrees.
std::pair<double, double> ToEurM(double x, double y) {
    double lat = 0.0;
    double lon = 0.0;
    geodesy::Lambert72ToLatLon(x, y, lat, lon);
    double outLat = lat;
    double outLon = lon;
    const std::int16_t eurM = geodesy::DatumIndex("EUR-M");
    if (eurM == 0) {
        throw common::AppError(common::kSubscript, "The datum table holds no datum \"EUR-M\".");
    }
    geodesy::ShiftDatum(lat, lon, 0.0, outLat, outLon, RequireGridDatum(geodesy::kBel72), eurM);
    return {outLat, outLon};
}

QString Fixed5(double value, int width) {
    return QString::asprintf("%0*.5f", width, value);
}

// One polyline: the outer value fixed, the inner one stepping from `from` to `to` inclusive.
void WriteLine(platform::TextFileWriter& out, bool alongX, int fixed, int from, int to, int step,
               const QString& pen) {
    for (int v = from; v <= to; v += step) {
        const auto [lat, lon] = alongX ? ToEurM(v, fixed) : ToEurM(fixed, v);
        QString line = (v == from ? QStringLiteral("-1") : QStringLiteral(" 0")) +
                       QLatin1Char(' ') + Fixed5(lat, 8) + QLatin1Char(' ') + Fixed5(lon, 8) +
                       QLatin1Char(':');
        if (v == from) {
            line += pen;
        }
        out.writeLine(line);
    }
}

// A number as a whole number with its sign position and a trailing blank.
QString Whole(long value) {
    return (value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value)) +
           QLatin1Char(' ');
}

struct MifPair {
    const char* name;
    int xLast, yLast, stepX, stepY, width, height;
    const char* pen;
    const char* brush;
    int codeLength;
};

void WriteMifPair(const QString& folder, const MifPair& pair) {
    platform::TextFileWriter mif(QDir(folder).filePath(QString(pair.name) + ".mif"));
    platform::TextFileWriter mid(QDir(folder).filePath(QString(pair.name) + ".mid"));
    mif.writeLine(QStringLiteral("Version 300"));
    mif.writeLine(QStringLiteral("Charset \"WindowsLatin1\""));
    mif.writeLine(QStringLiteral("Delimiter \",\""));
    mif.writeLine(
        QStringLiteral("CoordSys Earth Projection 19, 110, \"m\", 4.3569397222, 90, 49.8333333333, "
                       "51.1666666667, 150000.01256, 5400088.4378000004 Bounds (-128761662.607, "
                       "-123511574.182) (129061662.632, 134311751.057)"));
    mif.writeLine(QStringLiteral("Columns 1"));
    mif.writeLine(QStringLiteral("   IFBL Char(10)"));
    mif.writeLine(QStringLiteral("Data"));
    for (int y = kSouth; y <= pair.yLast; y += pair.stepY) {
        for (int x = kWest; x <= pair.xLast; x += pair.stepX) {
            mif.writeLine(QStringLiteral("Rect ") + Whole(x) + QLatin1Char(' ') + Whole(y) +
                          QLatin1Char(' ') + Whole(x + pair.width) + QLatin1Char(' ') +
                          Whole(y + pair.height));
            mif.writeLine(QString::fromLatin1(pair.pen));
            mif.writeLine(QString::fromLatin1(pair.brush));
            std::string code;
            std::int32_t status = 0;
            geodesy::LambertToIfbl(x + pair.width / 2.0, y + pair.height / 2.0, code, status,
                                   pair.codeLength);
            mid.writeLine(QLatin1Char('"') + QString::fromStdString(code) + QLatin1Char('"'));
        }
    }
    mif.commit();
    mid.commit();
}

void Done(const QString& text, platform::Icon icon) {
    platform::MsgBox(text, platform::Buttons::Ok, icon);
}

} // namespace

void WriteIfblGridListing(const QString& path) {
    platform::TextFileWriter out(path);
    const QString g2 = QStringLiteral("G2");
    const QString g1 = QStringLiteral("G1");
    for (int y = kSouth; y <= kNorth; y += 4000) {
        WriteLine(out, true, y, kWest, kEast, 1000, g2);
    }
    for (int x = kWest; x <= kEast; x += 4000) {
        WriteLine(out, false, x, kSouth, kNorth, 1000, g2);
    }
    for (int y = kSouth; y <= kNorth; y += 20000) {
        WriteLine(out, true, y, kWest, kEast, 2000, g1);
    }
    for (int x = kWest; x <= kEast; x += 32000) {
        WriteLine(out, false, x, kSouth, kNorth, 2000, g1);
    }
    out.commit();
}

void WriteIfblSquaresMif(const QString& folder) {
    static const MifPair kPairs[] = {
        {"ifbl01x01", 321012, 257180, 1000, 1000, 1000, 1000, "Pen (1,3,0)", "Brush (1,16777215)",
         6},
        {"ifbl04x04", 318012, 254180, 4000, 4000, 4000, 4000, "Pen (1,2,0)", "Brush (1,16777215)",
         4},
        {"ifbl32x20", 290012, 238180, 32000, 20000, 32000, 20000, "   Pen (4,2,16711680)",
         "   Brush (1,16777215)", 2},
    };
    for (const MifPair& pair : kPairs) {
        WriteMifPair(folder, pair);
    }
}

void WriteIfblBlockListing(const QString& path) {
    platform::TextFileWriter out(path);
    const auto point = [&](double x, double y, bool first) {
        const auto [lat, lon] = ToEurM(x, y);
        const auto text = [](double v) {
            return (v < 0 ? QString() : QStringLiteral(" ")) +
                   QString::fromStdString(common::CStrDouble(v)) + QLatin1Char(' ');
        };
        out.writeLine((first ? QStringLiteral("-1 ") : QStringLiteral(" 0 ")) + text(lat) +
                      text(lon) + QLatin1Char(':'));
    };
    for (int x = kWest; x <= kEast; x += 32000) {
        for (int y = kSouth; y <= kNorth; y += 2000) {
            point(x, y, y == kSouth);
        }
    }
    for (int y = kSouth; y <= kNorth; y += 20000) {
        for (int x = kWest; x <= kEast; x += 3200) {
            point(x, y, x == kWest);
        }
    }
    out.commit();
}

void WriteRandomDistribution(const QString& path) {
    platform::TextFileWriter out(path);
    out.writeLine(QString::fromUtf8("Distribution aléatoire"));
    out.writeLine(QStringLiteral("NINDTOT=       OCCTOT=       CARTOT="));
    out.writeLine(QStringLiteral("0000 - 1949   1950 - 2001   0 - 0"));
    out.writeLine(QStringLiteral("NIND1=000001 OCC1=000001 CAR1=000001 NIND2=000001 OCC2=000001 "
                                 "CAR2=000001 NIND3=000001 OCC3=000001 CAR3=000001"));
    out.writeLine();
    QRandomGenerator random(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
    for (int i = 1; i <= 1000; ++i) {
        auto lat = static_cast<float>(90.0 * random.generateDouble());
        auto lon = static_cast<float>(180.0 * random.generateDouble());
        if (std::floor(2.0 * random.generateDouble()) < 1.0) {
            lat = -lat;
        }
        if (std::floor(2.0 * random.generateDouble()) < 1.0) {
            lon = -lon;
        }
        const QString latText = QString::asprintf("%+09.5f", static_cast<double>(lat));
        const QString lonText = QString::asprintf("%+010.5f", static_cast<double>(lon));
        out.writeLine(QStringLiteral("1K") + latText + lonText +
                      QStringLiteral("00001000012001/01/26 EUR-Mdeg ") + latText +
                      QLatin1Char(' ') + lonText + QStringLiteral("BBBBB - ") + QString::number(i));
    }
    out.commit();
}

void CreationIFBLGrid(const QString& folder) {
    {
        const platform::WaitCursor busy;
        WriteIfblGridListing(QDir(folder).filePath(QStringLiteral("ifbl.prn")));
    }
    Done(QString::fromUtf8("traitement terminé"), platform::Icon::Information);
}

void CreationIFBLGridPolygon(const QString& folder) {
    {
        const platform::WaitCursor busy;
        WriteIfblSquaresMif(folder);
    }
    Done(QString::fromUtf8("traitement terminé"), platform::Icon::Information);
}

void GenereDeg(const QString& folder) {
    WriteRandomDistribution(QDir(folder).filePath(QStringLiteral("aleatoire2.deg")));
    Done(QStringLiteral("Terminé"), platform::Icon::Information);
}

void mnuGrid_Click(const QString& folder) {
    WriteIfblBlockListing(QDir(folder).filePath(QStringLiteral("IFBL.PRN")));
    Done(QStringLiteral("Terminé"), platform::Icon::None);
}

} // namespace commands

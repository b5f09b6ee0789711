#include "exchange/ImportPcx5.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "exchange/ImportText.h"
#include "geodesy/Angles.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Molodensky.h"
#include "platform/TextFile.h"

#include <cmath>

namespace exchange {

namespace {

// A waypoint line is about 100 characters; anything far longer is not a PCX5 file.
constexpr qsizetype kMaxLineBytes = 4096;
constexpr int kHeaderLines = 11;

double NumberAt(const QString& line, int start, int length) {
    const double value = common::NumericValue(Utf8Of(ColumnsView(line, start, length)));
    if (!std::isfinite(value)) {
        throw common::AppError(common::kOverflow);
    }
    return value;
}

float SingleAt(const QString& line, int start, int length) {
    const double value = NumberAt(line, start, length);
    if (std::fabs(value) > 3.4e38) {
        throw common::AppError(common::kOverflow);
    }
    return static_cast<float>(value);
}

// Degrees, minutes and the fraction of a minute from their columns, as decimal degrees.
double Angle(const QString& line, int hemisphere, QChar negative, int degrees, int degreeWidth) {
    const std::string sign =
        ColumnsView(line, hemisphere, 1) == QStringView(&negative, 1) ? "-" : "+";
    const float d = SingleAt(line, degrees, degreeWidth);
    const float m = SingleAt(line, degrees + degreeWidth, 2);
    const float s = static_cast<float>(60.0 * NumberAt(line, degrees + degreeWidth + 2, 4));
    return geodesy::DmsToDecimal(d, m, s, sign);
}

// "1998/03/27" when columns 63, 67 and 73 hold "-", "-" and ":" and the month is one of the
// twelve; empty otherwise. Whether the date test held goes to `dated`.
QString WaypointDate(const QString& line, bool& dated) {
    dated = ColumnsView(line, 63, 1) == QLatin1String("-") &&
            ColumnsView(line, 67, 1) == QLatin1String("-") &&
            ColumnsView(line, 73, 1) == QLatin1String(":");
    if (!dated) {
        return {};
    }
    const int month = MonthNumber(ColumnsView(line, 64, 3));
    const QStringView yy = ColumnsView(line, 68, 2);
    const bool digits = yy.size() == 2 && yy[0].isDigit() && yy[1].isDigit();
    const std::optional<int> year = digits ? GpsYear(yy.toInt()) : std::nullopt;
    if (month == 0 || !year) {
        return {};
    }
    QString date = QString::number(*year);
    date.reserve(10);
    date += QLatin1Char('/');
    date += QLatin1Char(static_cast<char>('0' + month / 10)); // two digits: 1 to 12
    date += QLatin1Char(static_cast<char>('0' + month % 10));
    date += QLatin1Char('/');
    date += ColumnsView(line, 61, 2);
    return date;
}

} // namespace

Pcx5Shift Pcx5ShiftOf(const QString& line6) {
    Pcx5Shift s;
    s.da = NumberAt(line6, 31, 13);
    s.df = NumberAt(line6, 45, 13);
    s.dx = NumberAt(line6, 59, 13);
    s.dy = NumberAt(line6, 73, 13);
    s.dz = NumberAt(line6, 87, 13);
    return s;
}

document::Record Pcx5Waypoint(const QString& line, const Pcx5Shift& shift,
                              const Pcx5Document& doc) {
    const double lat = Angle(line, 11, QLatin1Char('S'), 12, 2);
    const double lon = Angle(line, 23, QLatin1Char('W'), 24, 3);
    double wgsLat = 0;
    double wgsLon = 0;
    geodesy::MolodenskyParams(lat, lon, 0, shift.da, shift.df, shift.dx, shift.dy, shift.dz, wgsLat,
                              wgsLon);
    const geodesy::DatumState& datums = geodesy::Datums();
    double outLat = 0;
    double outLon = 0;
    geodesy::MolodenskyTable(wgsLat, wgsLon, 0, outLat, outLon, datums.FromIndex, -1);

    bool dated = false;
    document::Record r;
    r.PERIOD = 1;
    r.N1 = 1;
    r.N2 = 1;
    r.DATUM = QString::fromStdString(datums.FromCode);
    r.ORIGINAL = LatLonText("deg", outLat, outLon);
    r.DATE = WaypointDate(line, dated);
    constexpr qsizetype kCommentRoom = 64; // the longest comment: 6 + 1 + 40 + 1 + 5 characters
    QString text;
    text.reserve(kCommentRoom);
    text += ColumnsView(line, 4, 6);
    if (!dated) {
        text += QLatin1Char(' ');
        text += ColumnsView(line, 61, 40);
    }
    text += QLatin1Char(' ');
    text += ColumnsView(line, 55, 5);
    if (!doc.separator.isEmpty()) {
        text.replace(doc.separator, QStringLiteral(" "));
    }
    r.COMMENT = doc.separator.repeated(doc.freeFieldCount) + text;
    return r;
}

void ReadPcx5(const QString& path, const Pcx5Document& doc,
              const std::function<void(const document::Record&)>& sink,
              const std::function<void(double)>& read) {
    platform::TextFileReader file(path, kMaxLineBytes);
    qint64 lineNumber = 0;
    const auto nextLine = [&] {
        ++lineNumber;
        if (file.atEnd()) {
            throw common::AppError(
                common::kInputPastEnd,
                AtLine(lineNumber, QStringLiteral("the file ends inside its header"))
                    .toStdString());
        }
        QString line = file.readLine();
        if (HoldsBinary(line)) {
            throw common::AppError(
                common::kTypeMismatch,
                AtLine(lineNumber, QStringLiteral("the line holds binary data, not text"))
                    .toStdString());
        }
        return line;
    };
    const auto atLine = [&](const common::AppError& e) {
        return common::AppError(
            e.number(), AtLine(lineNumber, QString::fromStdString(e.description())).toStdString());
    };
    Pcx5Shift shift;
    for (int i = 1; i <= kHeaderLines; ++i) {
        const QString line = nextLine();
        try {
            if (i == 6) {
                shift = Pcx5ShiftOf(line);
            }
        } catch (const common::AppError& e) {
            throw atLine(e);
        }
        if (i == 9 && line != QLatin1String(kPcx5PositionLine)) {
            throw Pcx5NotLatLonDm();
        }
    }
    while (!file.atEnd()) {
        const QString line = nextLine();
        if (line.trimmed().isEmpty()) {
            continue;
        }
        if (read && file.size() > 0) {
            read(static_cast<double>(file.position()) / static_cast<double>(file.size()));
        }
        try {
            sink(Pcx5Waypoint(line, shift, doc));
        } catch (const common::AppError& e) {
            throw atLine(e);
        }
    }
}

} // namespace exchange

#include "exchange/GpsWaypointFile.h"

#include "common/AppError.h"
#include "exchange/ImportText.h"
#include "geodesy/GpsDatumNames.h"
#include "platform/TextFile.h"

namespace exchange {

namespace {

// A waypoint line with many long descriptions stays far below this.
constexpr qsizetype kMaxLineBytes = 64 * 1024;

} // namespace

const std::array<QString, kGpsGridCount>& GpsGridNames() {
    static const std::array<QString, kGpsGridCount> names{
        QStringLiteral("Lat/Lon hddd.ddddd\u00b0"),
        QStringLiteral("Lat/Lon hddd\u00b0mm.mmm'"),
        QStringLiteral("Lat/Lon hddd\u00b0mm'ss.s\""),
        QStringLiteral("MGRS"),
        QStringLiteral("UTM"),
        QStringLiteral("British National Grid"),
        QStringLiteral("Irish National Grid")};
    return names;
}

std::optional<int> GpsGridIndex(const QString& name) {
    const QString upper = name.toUpper();
    const auto& names = GpsGridNames();
    for (int i = 0; i < kGpsGridCount; ++i) {
        if (names[static_cast<std::size_t>(i)].toUpper() == upper) {
            return i;
        }
    }
    return std::nullopt;
}

namespace {

// Fills `result` line by line, so that what was read before an error is there to show.
void ReadWaypointLines(platform::TextFileReader& file, GpsWaypointFile& result) {
    qint64 lineNumber = 0;
    const auto fail = [&](int number, const QString& what) {
        throw common::AppError(number, AtLine(lineNumber, what).toStdString());
    };
    const auto nextLine = [&] {
        ++lineNumber;
        if (file.atEnd()) {
            fail(common::kInputPastEnd, QStringLiteral("the file ends before its Header line"));
        }
        QString line = file.readLine();
        if (HoldsBinary(line)) {
            fail(common::kTypeMismatch, QStringLiteral("the line holds binary data, not text"));
        }
        return line;
    };
    const auto secondField = [&](const QString& line) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 2) {
            fail(common::kSubscript, QStringLiteral("the line holds no tab"));
        }
        return fields[1];
    };

    const QString line1 = nextLine();
    if (!line1.left(4).toUpper().startsWith(QLatin1String("GRID"))) {
        throw GpsWrongFileType(result);
    }
    result.header += line1;
    result.grid = GpsGridIndex(secondField(line1));

    const QString line2 = nextLine();
    result.header += QStringLiteral("\r\n") + line2;
    if (!line2.left(5).toUpper().startsWith(QLatin1String("DATUM"))) {
        throw GpsWrongFileType(result);
    }
    result.datum = QString::fromStdString(geodesy::GpsDatumCode(secondField(line2).toStdString()));

    result.header += QStringLiteral("\r\n") + nextLine();

    const QStringList header = nextLine().split(QLatin1Char('\t'));
    if (header[0].toUpper() != QLatin1String("HEADER")) {
        throw GpsWrongFileType(result);
    }
    result.columns = header.mid(0, header.size() - 1);

    // The waypoint lines are judged on their bytes: tabs, control characters and the type word
    // are the same bytes in Windows-1252 as in ASCII.
    while (!file.atEnd()) {
        ++lineNumber;
        const qint64 offset = file.position();
        const QByteArray line = file.readRawLine();
        if (HoldsBinary(line)) {
            fail(common::kTypeMismatch, QStringLiteral("the line holds binary data, not text"));
        }
        const qsizetype firstTab = line.indexOf('\t');
        if (firstTab < 0 || QLatin1StringView(line.first(firstTab))
                                    .compare(QLatin1String("WAYPOINT"), Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (line.count('\t') + 1 > header.size()) {
            fail(common::kSubscript,
                 QStringLiteral("the Waypoint line has more fields than the Header line"));
        }
        result.waypoints.append(offset);
    }
}

} // namespace

GpsWaypointFile ReadGpsWaypointFile(const QString& path) {
    platform::TextFileReader file(path, kMaxLineBytes);
    GpsWaypointFile result;
    result.header = path + QStringLiteral("\r\n");
    result.waypoints = GpsWaypointList(path);
    try {
        ReadWaypointLines(file, result);
    } catch (const common::AppError& e) {
        throw GpsReadError(e, std::move(result));
    }
    return result;
}

} // namespace exchange

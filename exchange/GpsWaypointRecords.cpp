#include "exchange/GpsWaypointRecords.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "exchange/ImportText.h"

#include <QRegularExpression>

namespace exchange {

namespace {

QString Part(const QStringList& parts, int index) {
    if (index >= parts.size()) {
        throw common::AppError(common::kSubscript,
                               "the position holds fewer parts than its grid format needs");
    }
    return parts[index];
}

QString Sign(const QString& part, QChar negative) {
    return part.startsWith(negative) ? QStringLiteral("-") : QString();
}

float Number(const QString& text) {
    return static_cast<float>(common::NumericValue(text.toStdString()));
}

QString WithoutPoints(QString text) {
    return text.remove(QLatin1Char('.'));
}

// "31U 500000 5600000" or "31 U 500000 5600000"; a band below N is south of the equator, which
// the utm text marks with a negative northing.
QString UtmOriginal(const QString& position) {
    static const QRegularExpression layout(
        QStringLiteral(
            R"(^\s*(\d{1,2})\s*([C-X])?\s+(\d{1,7}(?:\.\d*)?)\s+(\d{1,8}(?:\.\d*)?)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = layout.match(position);
    if (!match.hasMatch()) {
        throw common::AppError(common::kTypeMismatch,
                               "the UTM position is not \"zone band easting northing\"");
    }
    const QString band = match.captured(2).toUpper();
    const bool south = !band.isEmpty() && band < QLatin1String("N");
    const auto whole = [](const QString& text) {
        return QString::number(common::ToInt32(common::NumericValue(text.toStdString())));
    };
    return QStringLiteral("utm ") + QString::number(match.captured(1).toInt()) + QLatin1Char(' ') +
           whole(match.captured(3)) + QLatin1Char(' ') + (south ? QStringLiteral("-") : QString()) +
           whole(match.captured(4));
}

// The 1-based place of the first column titled `title` exactly; none for an empty title.
std::optional<int> ColumnOf(const QStringList& columns, const QString& title) {
    if (title.isEmpty()) {
        return std::nullopt;
    }
    const qsizetype at = columns.indexOf(title);
    return at < 0 ? std::nullopt : std::optional<int>(static_cast<int>(at) + 1);
}

} // namespace

QString WaypointOriginal(int grid, const QString& position) {
    const QStringList parts = position.toUpper().split(QLatin1Char(' '));
    const QChar s = QLatin1Char('S');
    const QChar w = QLatin1Char('W');
    switch (grid) {
    case 0:
        return QStringLiteral("deg ") + Sign(Part(parts, 0), s) + Part(parts, 0).mid(1) +
               QLatin1Char(' ') + Sign(Part(parts, 1), w) + Part(parts, 1).mid(1);
    case 1: {
        float lat = Number(Part(parts, 0).mid(1)) + Number(Part(parts, 1)) / 60.0F;
        float lon = Number(Part(parts, 2).mid(1)) + Number(Part(parts, 3)) / 60.0F;
        if (parts[0].startsWith(s)) {
            lat = -lat;
        }
        if (parts[2].startsWith(w)) {
            lon = -lon;
        }
        return QStringLiteral("deg ") + ShortDegreeForm(static_cast<double>(lat)) +
               QLatin1Char(' ') + ShortDegreeForm(static_cast<double>(lon));
    }
    case 2:
        return QStringLiteral("dms ") + Sign(Part(parts, 0), s) + Part(parts, 0).mid(1) +
               QLatin1Char('.') + Part(parts, 1) + WithoutPoints(Part(parts, 2)) +
               QLatin1Char(' ') + Sign(Part(parts, 3), w) + Part(parts, 3).mid(1) +
               QLatin1Char('.') + Part(parts, 4) + WithoutPoints(Part(parts, 5));
    case 3: {
        const qsizetype n = position.size();
        if (n < 13) {
            throw common::AppError(common::kInvalidCall,
                                   "the MGRS position is shorter than 13 characters");
        }
        return QStringLiteral("mgr ") + position.left(n == 14 ? 1 : 2) + QLatin1Char(' ') +
               position.mid(n - 13, 1) + QLatin1Char(' ') + position.right(12);
    }
    case 4:
        return UtmOriginal(position);
    case 5:
        return QStringLiteral("bng ") + Part(parts, 0) + QLatin1Char(' ') + Part(parts, 1) +
               Part(parts, 2);
    case 6:
        return QStringLiteral("itm ") + Part(parts, 0) + QLatin1Char(' ') + Part(parts, 1) +
               Part(parts, 2);
    default:
        return {};
    }
}

QString AltitudeFromCell(const QString& cell, int begin, int length) {
    if (begin < 1) {
        throw common::AppError(common::kInvalidCall, "the altitude's first character is below 1");
    }
    QString text = Columns(cell, begin, length).toUpper();
    text.remove(QLatin1Char('M'));
    text.remove(QLatin1Char(' '));
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)$)"));
    return number.match(text).hasMatch() ? text : QString();
}

WaypointRecordBuilder::WaypointRecordBuilder(WaypointImportInput input) : input_(std::move(input)) {
    const objGraminImport& s = input_.settings;
    dateColumn_ = ColumnOf(input_.columns, s.DateField);
    if (s.AltitudeImport > 0) {
        for (std::size_t i = 0; i < input_.freeFields.size(); ++i) {
            const QString code = input_.freeFields[i].Code.toUpper();
            if (code == QLatin1String("STAT.ALTI") || code == QLatin1String("ALTI")) {
                altitudeSlot_ = static_cast<int>(i);
                break;
            }
        }
        altitudeSlotMissing_ = altitudeSlot_ < 0;
    }
    altitudeColumn_ = ColumnOf(input_.columns, s.AltitudeField);
}

QString WaypointRecordBuilder::cell(const QStringList& cells, std::optional<int> column,
                                    const char* what) const {
    if (!column || *column < 2) {
        throw common::AppError(
            common::kSubscript,
            QStringLiteral("the %1 column is not among the list's columns, or is the first one")
                .arg(QLatin1String(what))
                .toStdString());
    }
    const int index = *column - 1;
    return index < cells.size() ? cells[index] : QString();
}

std::optional<document::Record> WaypointRecordBuilder::record(const QStringList& cells) const {
    const QString position = cells.size() > 4 ? cells[4] : QString();
    if (position.isEmpty()) {
        return std::nullopt;
    }
    const objGraminImport& s = input_.settings;
    document::Record r;
    r.ORIGINAL = input_.grid ? WaypointOriginal(*input_.grid, position) : QString();
    r.DATUM = input_.datum;
    r.PERIOD = s.Period;
    if (s.DateImport == kSourceFixed) {
        r.DATE = s.DateFixed;
    } else if (s.DateImport == kSourceColumn) {
        if (s.DateBegin < 1) {
            throw common::AppError(common::kInvalidCall, "the date's first character is below 1");
        }
        r.DATE = GpsDate(Columns(cell(cells, dateColumn_, "date"), s.DateBegin, s.DateLength));
    }
    QString prefix;
    if (altitudeSlot_ >= 0 &&
        (s.AltitudeImport == kSourceFixed || s.AltitudeImport == kSourceColumn)) {
        QString altitude;
        if (s.AltitudeImport == kSourceFixed) {
            altitude = s.AltitudeFixed;
        } else {
            const auto whole = [](const QString& text) {
                return static_cast<int>(common::ToInt16(common::NumericValue(text.toStdString())));
            };
            altitude = AltitudeFromCell(cell(cells, altitudeColumn_, "altitude"),
                                        whole(s.AltitudeBegin), whole(s.AltitudeLength));
        }
        for (int i = 0; i < static_cast<int>(input_.freeFields.size()); ++i) {
            prefix += (i == altitudeSlot_ ? altitude : QString()) + input_.separator;
        }
    }
    const QString name = cells.size() > 1 ? cells[1] : QString();
    const QString description = cells.size() > 2 ? cells[2] : QString();
    r.COMMENT = prefix + name + QStringLiteral(" - ") + description;
    document::ValidateRecord(r);
    return r;
}

} // namespace exchange

#include "gazetteer/PlaceRows.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/Angles.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace gazetteer {

namespace {

constexpr int kNameWidth = 200;

QString TextOf(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

double NumberOf(const QVariant& value) {
    if (const int error = CoordinateError(value); error != 0) {
        throw common::AppError(error);
    }
    return value.toDouble();
}

QString Digits(long long value, int width) {
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

} // namespace

int CoordinateError(const QVariant& value) {
    if (value.isNull()) {
        return common::kInvalidNull;
    }
    bool ok = false;
    value.toDouble(&ok);
    return ok ? 0 : common::kTypeMismatch;
}

QString GeoFormat(QString name) {
    if (name.contains(QLatin1Char('<'))) {
        static const QStringList tags = [] {
            QStringList list;
            for (int n = 1; n <= 6; ++n) {
                for (const char* tag : {"<B", "</B", "<N", "</N", "<I", "</I"}) {
                    list << QString::fromLatin1(tag) + QString::number(n) + QLatin1Char('>');
                }
            }
            return list;
        }();
        for (const QString& tag : tags) {
            name.remove(tag);
        }
    }
    return name.replace(QLatin1Char('/'), QLatin1Char('-'));
}

int LanguageCode(const QString& name) {
    const qsizetype open = name.indexOf(QLatin1Char('<'));
    if (open < 0) {
        return 1;
    }
    const QChar code = open + 2 < name.size() ? name.at(open + 2) : QChar();
    return code >= QLatin1Char('0') && code <= QLatin1Char('9') ? code.digitValue() : 0;
}

QString SignedDecimalText(double value, int integerDigits, QChar decimalPoint) {
    const auto scaled = static_cast<long long>(std::llround(std::fabs(value) * 100000.0));
    return (value < 0.0 && scaled != 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           Digits(scaled / 100000, integerDigits) + decimalPoint + Digits(scaled % 100000, 5);
}

QString DmsText(double value, int coordinatesType, bool longitude) {
    long long degrees = 0;
    long long minutes = 0;
    long long seconds = 0;
    bool negative = value < 0.0;
    if (coordinatesType == 1) {
        const geodesy::ShownDms dms =
            geodesy::DmsOfDegrees(value, 0, geodesy::SecondsCut::Truncate);
        degrees = static_cast<long long>(dms.degrees);
        minutes = static_cast<long long>(dms.minutes);
        seconds = dms.secondUnits;
        negative = dms.negative;
    } else if (coordinatesType == 0) {
        const auto packed = static_cast<long long>(std::fabs(std::trunc(value)));
        degrees = packed / 10000;
        minutes = packed % 10000 / 100;
        seconds = packed % 100;
    } else {
        return {};
    }
    const QChar hemisphere = longitude ? (negative ? QLatin1Char('W') : QLatin1Char('E'))
                                       : (negative ? QLatin1Char('S') : QLatin1Char('N'));
    return Digits(degrees, 2) + QChar(0x00B0) + Digits(minutes, 2) + QLatin1Char('\'') +
           Digits(seconds, 2) + QLatin1Char('"') + hemisphere;
}

QString Fixed(const QString& text, int width) {
    return text.left(width).leftJustified(width, QLatin1Char(' '));
}

QString ColumnText(const PlaceRecord& record, const RowFormat& format, int column) {
    switch (column) {
    case 0:
        return GeoFormat(TextOf(record.name).left(kNameWidth)).trimmed();
    case kFips: {
        const QString fips = format.hasFips ? TextOf(record.fips).trimmed() : QString();
        QString province;
        if (format.hasProvince) {
            province = TextOf(record.province).trimmed();
        } else if (fips.size() == 4) {
            province = fips.mid(2, 2);
        }
        return Fixed(fips, 2) + Fixed(province, 2);
    }
    case kCountry:
        return format.hasCountryName ? TextOf(record.countryName).trimmed() : QString();
    case kProvince:
        return format.hasProvinceName ? TextOf(record.provinceName).trimmed() : QString();
    case kDesignation:
        return Fixed(format.hasFeature ? TextOf(record.feature) : QString(), 5);
    case kLatDms:
        return Fixed(DmsText(NumberOf(record.latitude), format.coordinatesType, false), 10);
    case kLonDms:
        return Fixed(DmsText(NumberOf(record.longitude), format.coordinatesType, true), 11);
    case kLatitude:
        return SignedDecimalText(NumberOf(record.latitude), 2, format.decimalPoint);
    case kLongitude:
        return SignedDecimalText(NumberOf(record.longitude), 3, format.decimalPoint);
    case kLanguage:
        // Taken before the tags are removed.
        return QString::number(LanguageCode(TextOf(record.name).left(kNameWidth)));
    default:
        return {};
    }
}

PlaceRow MakeRow(const PlaceRecord& record, const RowFormat& format) {
    // The latitude is checked before the longitude, whichever column asks first.
    NumberOf(record.latitude);
    NumberOf(record.longitude);
    PlaceRow row;
    for (int column = 0; column < kColumnCount; ++column) {
        row[static_cast<std::size_t>(column)] = ColumnText(record, format, column);
    }
    return row;
}

QString IconKey(const QString& designation) {
    const QString code = designation.toUpper().trimmed();
    static const QStringList stm = {QStringLiteral("STM"), QStringLiteral("STMI")};
    static const QStringList mt = {QStringLiteral("MT"), QStringLiteral("MTS"),
                                   QStringLiteral("MTSU"), QStringLiteral("MTU"),
                                   QStringLiteral("HLL")};
    static const QStringList ppl = {QStringLiteral("PPL"),  QStringLiteral("POPL"),
                                    QStringLiteral("LCTY"), QStringLiteral("PPLX"),
                                    QStringLiteral("PPLW"), QStringLiteral("PPLA"),
                                    QStringLiteral("PPLC"), QStringLiteral("PPLL"),
                                    QStringLiteral("PPLR"), QStringLiteral("PPLS")};
    if (stm.contains(code)) {
        return QStringLiteral("STM");
    }
    if (mt.contains(code)) {
        return QStringLiteral("MT");
    }
    if (ppl.contains(code)) {
        return QStringLiteral("PPL");
    }
    if (code == QLatin1String("FRST") || code == QLatin1String("FRM")) {
        return code;
    }
    return {};
}

float RowCoordinate(const QString& decimalText) {
    QString text = decimalText;
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    return static_cast<float>(common::NumericValue(text.toStdString()));
}

double AsDecimal(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    double decimal = 0.0;
    std::from_chars(buffer, result.ptr, decimal);
    return decimal;
}

} // namespace gazetteer

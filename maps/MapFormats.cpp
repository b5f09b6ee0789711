#include "maps/MapFormats.h"

#include "common/Numeric.h"

#include <cmath>

namespace maps {
namespace {

// The absolute value rounded to `decimals`, split into its integer and decimal digits.
void Digits(double value, int decimals, QString& integer, QString& fraction) {
    const QString text = QString::number(std::abs(value), 'f', decimals);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    integer = point < 0 ? text : text.left(point);
    fraction = point < 0 ? QString() : text.mid(point + 1);
}

} // namespace

QString SignedDecimal(double value, int maxDecimals) {
    QString integer;
    QString fraction;
    Digits(value, maxDecimals, integer, fraction);
    while (fraction.endsWith(QLatin1Char('0'))) {
        fraction.chop(1);
    }
    if (integer == QLatin1String("0")) {
        integer.clear();
    }
    // The sign follows the value as rounded: -0.000001 writes as "-." like the old formats do.
    const QString sign = value < 0 ? QStringLiteral("-") : QStringLiteral("+");
    return sign + integer + QLatin1Char('.') + fraction;
}

QString SignedFixed(double value, const QString& positive, const QString& negative, int intDigits,
                    int decimals) {
    QString integer;
    QString fraction;
    Digits(value, decimals, integer, fraction);
    return (value < 0 ? negative : positive) + integer.rightJustified(intDigits, QLatin1Char('0')) +
           QLatin1Char('.') + fraction;
}

QString LatitudeText(double lat) {
    return SignedDecimal(lat, 5);
}

QString LongitudeText(double lon) {
    return SignedDecimal(lon, 5);
}

double LeadingNumber(const QString& text) {
    return common::NumericValue(text.toStdString());
}

} // namespace maps

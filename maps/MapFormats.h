#pragma once

// The number texts of the region maps: coordinates written with a sign, no leading zero and at most
// a few decimals, and grades with fixed digits. Always with a decimal point, whatever the locale.

#include <QString>

namespace maps {

// "+" for zero and above, "-" below; the integer digits without leading zeros (none for 0); a
// point; at most `maxDecimals` decimals, rounded, without trailing zeros. 12 gives "+12.",
// 0.5 gives "+.5", 0 gives "+.".
QString SignedDecimal(double value, int maxDecimals);

// `positive` for zero and above and `negative` below, then the absolute value with at least
// `intDigits` integer digits and exactly `decimals` decimals: (46.5, "+", "-", 2, 3) gives
// "+46.500".
QString SignedFixed(double value, const QString& positive, const QString& negative, int intDigits,
                    int decimals);

// The coordinate texts of a record added on a map: latitude "+##.#####", longitude
// "+###.#####" (five decimals at most).
QString LatitudeText(double lat);
QString LongitudeText(double lon);

// The number that a coordinate text begins with ("+." reads as 0).
double LeadingNumber(const QString& text);

} // namespace maps

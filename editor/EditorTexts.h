#pragma once

#include <QString>
#include <string_view>

// The number texts the record editor writes into its fields and its check panel, with "." as the
// decimal separator whatever the user's locale. Rounding to a number of decimals takes halves away
// from zero; a value too large for a text raises the overflow error 6.

namespace editor {

// The number a text begins with, after every "," was turned into "."; 0 when it begins with none.
double CommaValue(const QString& text);
// The number a text begins with, a "," ending it.
double PlainValue(const QString& text);

// At most seven significant digits of the value as a single, no trailing zeros, no 0 before the
// point, "-" before a negative value and nothing before another (50, .5, -.25).
QString GeneralText(double value);
// The same with "+" before a value of 0 or more (+50.5, -4.35, +0, +.5).
QString SignedGeneralText(double value);

// A sign, the integer digits without leading zeros, the point, and at most five decimals without
// trailing zeros (+50.5, -4.35, +.5, +50.).
QString FiveDecimalText(double value);
// A sign, at least `integerDigits` integer digits, the point and exactly five decimals
// (+50.30000, -004.30000).
QString PaddedFiveDecimalText(double value, int integerDigits);

// Seconds of arc with at least two integer digits and one decimal, then two apostrophes (05.3'').
QString SecondsText(double seconds);
// A whole number in digits, "-" before a negative one.
QString WholeText(double wholeValue);
// A whole number with at least five digits (00450).
QString FiveDigitText(double wholeValue);

} // namespace editor

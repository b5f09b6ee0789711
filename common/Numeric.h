#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace common {

// The powers of ten a double holds exactly, 10^0 to 10^22.
inline constexpr std::array<double, 23> kExactPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The number a text begins with: blanks, tabs and line feeds are skipped anywhere in it, then an
// optional sign, digits with at most one "." and an optional exponent are read up to the first
// other character. A text without a number reads as 0. "31U" -> 31, "4,25" -> 4, " - 4 .5" -> -4.5.
double NumericValue(std::string_view text);

// The value of a text that reads as a number as a whole, as the old platform's conversions into a
// number ("CDbl") and its number test ("IsNumeric") take it: blanks, tabs and line ends around it,
// an optional sign, digits with at most one "." (one digit at least), an optional exponent ("E",
// an optional sign, digits). Nothing for any other text: "12a", "1 2", "4,5", "- 1", "nan".
// A number beyond the range of a double raises the overflow error 6; one too small for it reads
// as 0. With RadixPrefixes::Read, "&H" and "&O" followed by hexadecimal or octal digits read as
// the old platform's integer literals: four hexadecimal digits or fewer (an octal value up to
// &O177777) give a signed 16-bit integer, anything longer up to 32 bits a signed 32-bit one
// ("&HFFFF" -> -1, "&H0000FFFF" -> 65535); beyond 32 bits is the overflow error 6.
enum class RadixPrefixes { Ignore, Read };
std::optional<double> StrictNumber(std::string_view text,
                                   RadixPrefixes prefixes = RadixPrefixes::Ignore);
// Whether a text reads as a number as a whole (StrictNumber's form), whatever its range.
bool IsStrictNumber(std::string_view text);

// Rounding to an integer as stored into a 16- or 32-bit variable: halves to the even neighbour;
// out of range (or not a finite number) raises the overflow error 6.
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);

// "Int" (floor) and "Fix" (truncation toward zero).
double IntPart(double value);
double FixPart(double value);

// The text of a single-precision number: at most 7 significant digits, "." as separator, no 0
// before the point, no trailing zeros ("CStr": 0.5 -> ".5"). `StrSingle` adds the leading blank of
// a non-negative number (" .5").
std::string CStrSingle(float value);
std::string StrSingle(float value);
// The same rules with 15 significant digits, for doubles.
std::string CStrDouble(double value);
// The same rules with `digits` significant digits, through the C library's correctly rounded
// printing; CStrSingle gives the text of 7 digits without it.
std::string CStrSignificant(double value, int digits);

} // namespace common

#include "exchange/XlsxNumbers.h"

#include "common/Numeric.h"
#include "exchange/ExportColumns.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace exchange {

namespace {

constexpr int kSignificant = 16; // the precision of "%.16G"
constexpr int kG16Bytes = 24;

// Half a unit of the sixteenth significant digit, as a share of the unit of the last digit of a
// number of `digits` digits, kept under the half with a margin: 0.4 * 10^(digits - 16).
constexpr std::array<double, 10> kNearEnough = {0,     4e-16, 4e-15, 4e-14, 4e-13,
                                                4e-12, 4e-11, 4e-10, 4e-9,  4e-8};

// A decimal: digits (no trailing zero) times ten to the exponent.
struct Decimal {
    bool negative = false;
    std::uint64_t digits = 0;
    int count = 0; // of the digits
    int exponent = 0;
};

// The decimal of to_chars' shortest text of a finite float ("-12.5", "1e-07").
Decimal DecimalOf(const char* text, const char* end) {
    Decimal d;
    d.negative = *text == '-';
    const char* at = text + (d.negative ? 1 : 0);
    bool point = false;
    for (; at < end && *at != 'e'; ++at) {
        if (*at == '.') {
            point = true;
            continue;
        }
        d.exponent -= point ? 1 : 0;
        if (*at != '0' || d.count > 0) {
            d.digits = d.digits * 10 + static_cast<std::uint64_t>(*at - '0');
            ++d.count;
        }
    }
    if (at < end) {
        int written = 0;
        std::from_chars(at + 1 + (at[1] == '+' ? 1 : 0), end, written);
        d.exponent += written;
    }
    while (d.count > 1 && d.digits % 10 == 0) {
        d.digits /= 10;
        --d.count;
        ++d.exponent;
    }
    return d;
}

// Whether `value`, the double nearest the decimal, rounds to the decimal's own digits at sixteen
// significant digits: its distance from the decimal, in units of the decimal's last digit, is
// well under half a unit of the sixteenth digit.
bool SixteenDigitsAreItsDigits(const Decimal& d, double value) {
    // A float's shortest text has at most nine digits, but the fixed form of a large whole float
    // is written with all its exact digits; those go the long way.
    if (d.count == 0 || d.count >= static_cast<int>(kNearEnough.size()) || d.exponent < -22 ||
        d.exponent > 22) {
        return false;
    }
    const double digits = static_cast<double>(d.digits);
    const double magnitude = std::abs(value);
    const double distance =
        d.exponent < 0 ? std::fma(magnitude, common::kExactPowersOfTen[-d.exponent], -digits)
                       : std::fma(digits, common::kExactPowersOfTen[d.exponent], -magnitude) /
                             common::kExactPowersOfTen[d.exponent];
    // Just below a power of ten the sixteenth digit is ten times finer.
    const double nearEnough = d.digits == 1 ? kNearEnough[1] / 10 : kNearEnough[d.count];
    return std::abs(distance) < nearEnough;
}

// The decimal laid out as "%G" lays out a number whose rounded digits these are.
char* PutLaidOut(char* out, const Decimal& d) {
    char digits[20];
    std::to_chars(digits, digits + sizeof digits, d.digits);
    if (d.negative) {
        *out++ = '-';
    }
    const int exponent = d.count - 1 + d.exponent; // of the first digit
    if (exponent < -4 || exponent >= kSignificant) {
        *out++ = digits[0];
        if (d.count > 1) {
            *out++ = '.';
            out = std::copy(digits + 1, digits + d.count, out);
        }
        *out++ = 'E';
        *out++ = exponent < 0 ? '-' : '+';
        const int size = std::abs(exponent);
        if (size < 10) {
            *out++ = '0';
        }
        return std::to_chars(out, out + 4, size).ptr;
    }
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        return std::copy(digits, digits + d.count, out);
    }
    const int whole = exponent + 1;
    if (d.count <= whole) {
        out = std::copy(digits, digits + d.count, out);
        return std::fill_n(out, whole - d.count, '0');
    }
    out = std::copy(digits, digits + whole, out);
    *out++ = '.';
    return std::copy(digits + whole, digits + d.count, out);
}

} // namespace

char* PutG16(char* out, double value) {
    char* const end =
        std::to_chars(out, out + kG16Bytes, value, std::chars_format::general, kSignificant).ptr;
    // printf's %G: E, INF and NAN in capitals.
    std::transform(out, end, out, [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
    return end;
}

char* PutSingleG16(char* out, float value) {
    const double wide = SingleAsDouble(value);
    if (std::isfinite(value) && value != 0.0F) {
        char shortest[32];
        const char* end = std::to_chars(shortest, shortest + sizeof shortest, value).ptr;
        const Decimal d = DecimalOf(shortest, end);
        if (SixteenDigitsAreItsDigits(d, wide)) {
            return PutLaidOut(out, d);
        }
    }
    return PutG16(out, wide);
}

} // namespace exchange

#include "common/Numeric.h"

#include "common/AppError.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace common {

namespace {

bool IsSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

template <typename Int> Int RoundToInteger(double value) {
    if (!std::isfinite(value)) {
        throw AppError(kOverflow);
    }
    const double rounded = std::nearbyint(value); // default mode: halves to even
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        throw AppError(kOverflow);
    }
    return static_cast<Int>(rounded);
}

// Writes `value` with `digits` significant digits the way the old platform printed numbers.
std::string FormatSignificant(double value, int digits) {
    if (value == 0.0 || !std::isfinite(value)) {
        return "0";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*E", digits - 1, value);
    // buffer: [-]d.dddddE[+-]xx
    std::string text(buffer);
    const auto ePos = text.find('E');
    const int exponent = std::stoi(text.substr(ePos + 1));
    std::string mantissa = text.substr(0, ePos);
    const bool negative = mantissa[0] == '-';
    if (negative) {
        mantissa.erase(0, 1);
    }
    std::string significant;
    for (char c : mantissa) {
        if (IsDigit(c)) {
            significant += c;
        }
    }
    while (significant.size() > 1 && significant.back() == '0') {
        significant.pop_back();
    }
    std::string out;
    if (exponent >= digits || exponent < -digits) {
        out = significant.substr(0, 1);
        if (significant.size() > 1) {
            out.append(".").append(significant, 1);
        }
        char expText[16];
        std::snprintf(expText, sizeof expText, "E%c%02d", exponent < 0 ? '-' : '+',
                      std::abs(exponent));
        out += expText;
    } else if (exponent < 0) {
        out.assign(".").append(static_cast<size_t>(-exponent - 1), '0').append(significant);
    } else {
        const auto intDigits = static_cast<size_t>(exponent + 1);
        if (significant.size() <= intDigits) {
            out.assign(significant).append(intDigits - significant.size(), '0');
        } else {
            out.assign(significant, 0, intDigits).append(".").append(significant, intDigits);
        }
    }
    return negative ? "-" + out : out;
}

} // namespace

double NumericValue(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!IsSkipped(c)) {
            s += c;
        }
    }
    std::size_t pos = 0;
    std::string number;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        if (s[pos] == '-') {
            number += '-';
        }
        ++pos;
    }
    number += '0'; // from_chars wants a digit before the point: ".5" reads as "0.5"
    bool anyDigit = false;
    bool seenPoint = false;
    while (pos < s.size()) {
        const char c = s[pos];
        if (IsDigit(c)) {
            anyDigit = true;
            number += c;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            number += c;
        } else {
            break;
        }
        ++pos;
    }
    if (!anyDigit) {
        return 0.0;
    }
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E' || s[pos] == 'd' || s[pos] == 'D')) {
        std::size_t p = pos + 1;
        std::string exponent = "e";
        if (p < s.size() && (s[p] == '+' || s[p] == '-')) {
            exponent += s[p];
            ++p;
        }
        if (p < s.size() && IsDigit(s[p])) {
            while (p < s.size() && IsDigit(s[p])) {
                exponent += s[p];
                ++p;
            }
            number += exponent;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (number.find("e-") != std::string::npos) {
            return 0.0; // too small: reads as zero
        }
        throw AppError(kOverflow);
    }
    return value;
}

std::int16_t ToInt16(double value) {
    return RoundToInteger<std::int16_t>(value);
}
std::int32_t ToInt32(double value) {
    return RoundToInteger<std::int32_t>(value);
}

double IntPart(double value) {
    return std::floor(value);
}
double FixPart(double value) {
    return std::trunc(value);
}

std::string CStrSingle(float value) {
    return FormatSignificant(static_cast<double>(value), 7);
}

std::string StrSingle(float value) {
    const std::string text = CStrSingle(value);
    return value < 0 ? text : " " + text;
}

std::string CStrDouble(double value) {
    return FormatSignificant(value, 15);
}

} // namespace common

#include "common/Numeric.h"

#include "common/AppError.h"

#include <algorithm>
#include <array>
#include <bit>
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

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

enum class Exponents { EOnly, EOrD };

// A number read from the start of a text: sign, digits with at most one ".", and an exponent when
// one with digits follows.
struct Scanned {
    std::string number;  // for from_chars: "-0123.45e-6" (a 0 before the digits, "e" exponent)
    std::size_t end = 0; // where the number ends in the text
    bool digits = false; // whether any digit was read
    long magnitude = 0;  // where the leading digit stands: above 0 for a number of 1 or more
};

Scanned Scan(std::string_view s, Exponents exponents) {
    Scanned out;
    std::size_t pos = 0;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        if (s[pos] == '-') {
            out.number += '-';
        }
        ++pos;
    }
    out.number += '0'; // from_chars wants a digit before the point: ".5" reads as "0.5"
    bool seenPoint = false;
    bool seenNonZero = false;
    // The digits before the point from the first non-zero one; for a number below 1, minus the
    // zeros between the point and its first non-zero digit.
    long leadingPosition = 0;
    while (pos < s.size()) {
        const char c = s[pos];
        if (IsDigit(c)) {
            out.digits = true;
            out.number += c;
            seenNonZero = seenNonZero || c != '0';
            if (seenNonZero && !seenPoint) {
                ++leadingPosition;
            } else if (!seenNonZero && seenPoint) {
                --leadingPosition;
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            out.number += c;
        } else {
            break;
        }
        ++pos;
    }
    out.end = pos;
    if (!out.digits || pos >= s.size()) {
        out.magnitude = leadingPosition;
        return out;
    }
    const char e = s[pos];
    const bool exponent =
        e == 'e' || e == 'E' || (exponents == Exponents::EOrD && (e == 'd' || e == 'D'));
    std::size_t p = pos + 1;
    long power = 0;
    bool negative = false;
    if (exponent && p < s.size() && (s[p] == '+' || s[p] == '-')) {
        negative = s[p] == '-';
        ++p;
    }
    if (exponent && p < s.size() && IsDigit(s[p])) {
        std::string text = negative ? "e-" : "e";
        for (; p < s.size() && IsDigit(s[p]); ++p) {
            text += s[p];
            power = std::min(power * 10 + (s[p] - '0'), 1'000'000L);
        }
        out.number += text;
        out.end = p;
    }
    out.magnitude = leadingPosition + (negative ? -power : power);
    return out;
}

// The double of a scanned number: error 6 beyond the range, 0 below it.
double ValueOf(const Scanned& scanned) {
    double value = 0.0;
    const std::string& n = scanned.number;
    const auto result = std::from_chars(n.data(), n.data() + n.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (scanned.magnitude <= 0) {
            return 0.0; // too small: reads as zero
        }
        throw AppError(kOverflow);
    }
    return value;
}

// An "&H" or "&O" literal's value, `digits` being what follows the prefix.
std::optional<double> RadixValue(std::string_view digits, bool hex) {
    unsigned long long bits = 0;
    const char* first = digits.data();
    const char* last = digits.data() + digits.size();
    const auto [end, error] = std::from_chars(first, last, bits, hex ? 16 : 8);
    if (error == std::errc::result_out_of_range || (error == std::errc() && bits > 0xFFFFFFFFULL)) {
        throw AppError(kOverflow);
    }
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    if (bits <= 0xFFFFULL && (!hex || digits.size() <= 4)) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(bits));
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
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

} // namespace

std::string CStrSignificant(double value, int digits) {
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

namespace {

using Wide = unsigned __int128;

// 10^0 to 10^32, all below 2^107.
constexpr std::array<Wide, 33> kWidePowers = [] {
    std::array<Wide, 33> powers{};
    Wide p = 1;
    for (Wide& power : powers) {
        power = p;
        p *= 10U;
    }
    return powers;
}();

constexpr std::uint32_t kSevenDigits = 10'000'000U;
constexpr std::uint32_t kSixDigits = 1'000'000U;

// The seven significant digits of a single: |value| = mantissa * 2^power, rounded to
// digits * 10^(exponent - 6) with halves to even, as the C library prints it, in exact integer
// arithmetic. False for the values too small for it (below about 1E-25), left to the C library.
bool SevenDigits(std::uint32_t mantissa, int power, std::uint32_t& digits, int& exponent) {
    // floor(log10(2) * the position of the leading bit), one off at most.
    const int leadingBit = 31 - std::countl_zero(mantissa) + power;
    exponent = static_cast<int>(std::floor(leadingBit * 0.30102999566398120));
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int scale = 6 - exponent; // value * 10^scale has seven digits before the point
        Wide quotient = 0;
        int beyondHalf = -1; // the rest against one half: -1 below (none), 0 equal, 1 above
        if (scale > 31 || (scale >= 0 && power < -126)) {
            return false;
        }
        if (scale >= 0) {
            Wide n = static_cast<Wide>(mantissa) * kWidePowers[static_cast<std::size_t>(scale)];
            if (power >= 0) {
                quotient = n << power;
            } else {
                const int shift = -power;
                quotient = n >> shift;
                const Wide rest = n & ((static_cast<Wide>(1) << shift) - 1U);
                const Wide half = static_cast<Wide>(1) << (shift - 1);
                beyondHalf = rest > half ? 1 : (rest == half ? 0 : -1);
            }
        } else {
            const Wide divisor = kWidePowers[static_cast<std::size_t>(-scale)];
            const Wide n = static_cast<Wide>(mantissa) << power; // power > 0 for 1E7 and more
            quotient = n / divisor;
            const Wide rest = n % divisor;
            beyondHalf = 2U * rest > divisor ? 1 : (2U * rest == divisor ? 0 : -1);
        }
        if (quotient < kSixDigits) {
            --exponent;
            continue;
        }
        if (quotient >= kSevenDigits) {
            ++exponent;
            continue;
        }
        digits = static_cast<std::uint32_t>(quotient);
        if (beyondHalf > 0 || (beyondHalf == 0 && (digits & 1U) != 0)) {
            ++digits;
        }
        if (digits == kSevenDigits) {
            digits = kSixDigits;
            ++exponent;
        }
        return true;
    }
    return false;
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
    const Scanned scanned = Scan(s, Exponents::EOrD);
    return scanned.digits ? ValueOf(scanned) : 0.0;
}

std::optional<double> StrictNumber(std::string_view text, RadixPrefixes prefixes) {
    const std::string_view s = Trimmed(text);
    if (prefixes == RadixPrefixes::Read && s.size() > 2 && s[0] == '&') {
        const char kind = static_cast<char>(s[1] | 0x20); // lower case
        if (kind == 'h' || kind == 'o') {
            return RadixValue(s.substr(2), kind == 'h');
        }
    }
    const Scanned scanned = Scan(s, Exponents::EOnly);
    if (!scanned.digits || scanned.end != s.size()) {
        return std::nullopt;
    }
    return ValueOf(scanned);
}

bool IsStrictNumber(std::string_view text) {
    const std::string_view s = Trimmed(text);
    const Scanned scanned = Scan(s, Exponents::EOnly);
    return scanned.digits && scanned.end == s.size();
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
    if (value == 0.0F || !std::isfinite(value)) {
        return "0";
    }
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t biased = bits >> 23 & 0xFFU;
    const std::uint32_t mantissa = biased == 0 ? bits & 0x7FFFFFU : (bits & 0x7FFFFFU) | 0x800000U;
    const int power = biased == 0 ? -149 : static_cast<int>(biased) - 150;
    std::uint32_t digits = 0;
    int exponent = 0;
    if (!SevenDigits(mantissa, power, digits, exponent)) {
        return CStrSignificant(static_cast<double>(value), 7);
    }
    char significant[8];
    int count = 7;
    for (int i = 6; i >= 0; --i) {
        significant[i] = static_cast<char>('0' + digits % 10U);
        digits /= 10U;
    }
    while (count > 1 && significant[count - 1] == '0') {
        --count;
    }
    char text[24];
    int n = 0;
    if ((bits >> 31) != 0U) {
        text[n++] = '-';
    }
    if (exponent >= 7 || exponent < -7) {
        text[n++] = significant[0];
        if (count > 1) {
            text[n++] = '.';
            for (int i = 1; i < count; ++i) {
                text[n++] = significant[i];
            }
        }
        const int magnitude = exponent < 0 ? -exponent : exponent;
        text[n++] = 'E';
        text[n++] = exponent < 0 ? '-' : '+';
        text[n++] = static_cast<char>('0' + magnitude / 10);
        text[n++] = static_cast<char>('0' + magnitude % 10);
    } else if (exponent < 0) {
        text[n++] = '.';
        for (int i = 0; i < -exponent - 1; ++i) {
            text[n++] = '0';
        }
        for (int i = 0; i < count; ++i) {
            text[n++] = significant[i];
        }
    } else {
        for (int i = 0; i <= exponent || i < count; ++i) {
            if (i == exponent + 1) {
                text[n++] = '.';
            }
            text[n++] = i < count ? significant[i] : '0';
        }
    }
    return std::string(text, static_cast<std::size_t>(n));
}

std::string StrSingle(float value) {
    const std::string text = CStrSingle(value);
    return value < 0 ? text : " " + text;
}

std::string CStrDouble(double value) {
    return CStrSignificant(value, 15);
}

} // namespace common

#include "document/RecordLineBytes.h"

#include "document/DistributionFormat.h"
#include "platform/Windows1252.h"

#include <QString>
#include <cmath>

namespace document::deg {

namespace {

// Positions from this magnitude on never fit their columns.
constexpr float kNoPositionFrom = 1000.0F;

void AppendBlanks(std::string& out, int count) {
    if (count > 0) {
        out.append(static_cast<std::size_t>(count), ' ');
    }
}

// The digits of `value` right-aligned in `width` columns after blanks, with `sign` (when not
// '\0') just before the first digit.
void AppendRightAligned(std::string& out, std::uint64_t value, char sign, int width) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10U);
        value /= 10U;
    } while (value != 0U);
    AppendBlanks(out, width - n - (sign != '\0' ? 1 : 0));
    if (sign != '\0') {
        out += sign;
    }
    while (n > 0) {
        out += digits[--n];
    }
}

// The position column: the sign just before the first digit of the integer part (a single 0 for
// none), right-aligned in `intDigits` + 1 columns, then "." and five decimals; the no-position
// marker when the value is Null or does not fit.
void AppendPosition(std::string& out, std::optional<float> value, char plusSign, int intDigits,
                    int width) {
    if (!value || !std::isfinite(*value) || std::fabs(*value) >= kNoPositionFrom) {
        AppendRightAligned(out, 999U, '\0', width);
        return;
    }
    const std::int64_t scaled = ScaledHalfAway(static_cast<double>(*value), 5);
    const bool negative = scaled < 0;
    const auto magnitude = static_cast<std::uint64_t>(negative ? -scaled : scaled);
    const std::uint64_t whole = magnitude / 100000U;
    std::uint64_t limit = 1;
    for (int i = 0; i < intDigits; ++i) {
        limit *= 10U;
    }
    if (whole >= limit) {
        AppendRightAligned(out, 999U, '\0', width);
        return;
    }
    AppendRightAligned(out, whole, negative ? '-' : plusSign, intDigits + 1);
    out += '.';
    std::uint64_t fraction = magnitude % 100000U;
    char decimals[5];
    for (int i = 4; i >= 0; --i) {
        decimals[i] = static_cast<char>('0' + fraction % 10U);
        fraction /= 10U;
    }
    out.append(decimals, 5);
}

// One character of a UTF-8 text: its code point and length, or nothing for what this fast form
// leaves to Qt's decoder (a malformed sequence, a character beyond the Basic Multilingual Plane,
// a byte-order mark or a non-character), so that the result stays Qt's in every case.
struct Decoded {
    char16_t c = 0;
    int length = 0; // 0: not taken
};

Decoded DecodeOne(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        return {b0, 1};
    }
    const auto continuation = [&](std::size_t k) {
        return k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80;
    };
    const auto low = [&](std::size_t k) {
        return static_cast<char16_t>(static_cast<unsigned char>(s[k]) & 0x3F);
    };
    if (b0 >= 0xC2 && b0 <= 0xDF && continuation(i + 1)) {
        return {static_cast<char16_t>((b0 & 0x1F) << 6 | low(i + 1)), 2};
    }
    if (b0 >= 0xE0 && b0 <= 0xEF && continuation(i + 1) && continuation(i + 2)) {
        const auto c = static_cast<char16_t>((b0 & 0x0F) << 12 | low(i + 1) << 6 | low(i + 2));
        const bool plain = c >= 0x800 && (c < 0xD800 || c > 0xDFFF) && c != 0xFEFF &&
                           (c < 0xFDD0 || c > 0xFDEF) && c < 0xFFFE;
        if (plain) {
            return {c, 3};
        }
    }
    return {};
}

// The run of plain ASCII bytes (no CR or LF) at the start of `s`.
std::size_t AsciiRun(std::string_view s) {
    std::size_t n = 0;
    while (n < s.size()) {
        const auto b = static_cast<unsigned char>(s[n]);
        if (b >= 0x80 || b == '\r' || b == '\n') {
            break;
        }
        ++n;
    }
    return n;
}

void AppendEncoded(std::string& out, const QString& text) {
    const QByteArray bytes = platform::EncodeWindows1252(text);
    out.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

void AppendLatitude(std::string& out, std::optional<float> latitude) {
    AppendPosition(out, latitude, '+', 2, kLatitudeWidth);
}

void AppendLongitude(std::string& out, std::optional<float> longitude) {
    AppendPosition(out, longitude, ' ', 3, kLongitudeWidth);
}

bool AppendCount(std::string& out, std::optional<std::int64_t> count) {
    if (!count || *count == 0) {
        AppendRightAligned(out, 0U, '\0', kCountWidth);
        return true;
    }
    if (*count > 99999 || *count < -9999) {
        return false;
    }
    const bool negative = *count < 0;
    AppendRightAligned(out, static_cast<std::uint64_t>(negative ? -*count : *count),
                       negative ? '-' : '\0', kCountWidth);
    return true;
}

void AppendFixedText(std::string& out, std::optional<std::string_view> utf8, int width) {
    if (!utf8) {
        AppendBlanks(out, width);
        return;
    }
    const std::size_t start = out.size();
    const std::string_view s = *utf8;
    int taken = 0;
    std::size_t i = 0;
    while (taken < width && i < s.size()) {
        const Decoded d = DecodeOne(s, i);
        if (d.length == 0) {
            // Qt's decoding, then the text columns' rule: cut to the width, blank-filled.
            out.resize(start);
            AppendEncoded(out, FromUtf8(s).left(width).leftJustified(width, QLatin1Char(' ')));
            return;
        }
        out += d.c < 0x80 ? static_cast<char>(d.c) : platform::Windows1252Byte(d.c);
        i += static_cast<std::size_t>(d.length);
        ++taken;
    }
    AppendBlanks(out, width - taken);
}

void AppendComment(std::string& out, std::optional<std::string_view> utf8) {
    if (!utf8) {
        return;
    }
    const std::size_t start = out.size();
    std::string_view s = *utf8;
    while (!s.empty()) {
        const std::size_t run = AsciiRun(s);
        out.append(s.data(), run);
        s.remove_prefix(run);
        if (s.empty()) {
            break;
        }
        if (s[0] == '\r' || s[0] == '\n') {
            // CR LF, a lone CR and a lone LF each become one blank.
            const bool pair = s[0] == '\r' && s.size() > 1 && s[1] == '\n';
            out += ' ';
            s.remove_prefix(pair ? 2 : 1);
            continue;
        }
        const Decoded d = DecodeOne(s, 0);
        if (d.length == 0) {
            out.resize(start);
            AppendEncoded(out, CommentColumn(FromUtf8(*utf8)));
            return;
        }
        out += platform::Windows1252Byte(d.c);
        s.remove_prefix(static_cast<std::size_t>(d.length));
    }
}

} // namespace document::deg

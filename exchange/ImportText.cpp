#include "exchange/ImportText.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DistributionFormat.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace exchange {

namespace {

struct Scaled {
    bool negative = false;
    std::uint64_t whole = 0;
    std::uint64_t fraction = 0; // five decimals
};

Scaled ScaleFive(double value) {
    const std::int64_t scaled = document::deg::ScaledHalfAway(value, 5);
    Scaled s;
    s.negative = scaled < 0;
    const auto magnitude = s.negative ? static_cast<std::uint64_t>(-(scaled + 1)) + 1U
                                      : static_cast<std::uint64_t>(scaled);
    s.whole = magnitude / 100000U;
    s.fraction = magnitude % 100000U;
    return s;
}

QString FixedFive(double value, int intDigits) {
    QByteArray bytes;
    AppendFixedFive(bytes, value, intDigits);
    return QString::fromLatin1(bytes);
}

QString DigitsOf(QStringView text) {
    return QString::fromStdString(std::to_string(
        static_cast<long long>(common::NumericValue(text.toString().toStdString()))));
}

} // namespace

QString Columns(QStringView text, int start, int length) {
    return ColumnsView(text, start, length).toString();
}

QStringView ColumnsView(QStringView text, int start, int length) {
    if (start < 1 || length <= 0 || start > text.size()) {
        return {};
    }
    return text.mid(start - 1, length);
}

std::string Utf8Of(QStringView text) {
    std::string bytes(static_cast<std::size_t>(text.size()), '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            return text.toString().toStdString();
        }
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(c);
    }
    return bytes;
}

void AppendFixedFive(QByteArray& out, double value, int intDigits) {
    const Scaled s = ScaleFive(value);
    // A value that rounds to zero carries no sign of its own.
    const bool minus = s.negative && (s.whole != 0 || s.fraction != 0);
    out += minus ? '-' : '+';
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, s.whole).ptr;
    const auto length = static_cast<int>(end - digits);
    for (int i = length; i < intDigits; ++i) {
        out += '0';
    }
    out.append(digits, length);
    out += '.';
    char fraction[5];
    std::uint64_t rest = s.fraction;
    for (int i = 4; i >= 0; --i) {
        fraction[i] = static_cast<char>('0' + rest % 10U);
        rest /= 10U;
    }
    out.append(fraction, 5);
}

QString LatitudeForm(double value) {
    return FixedFive(value, 2);
}

QString LongitudeForm(double value) {
    return FixedFive(value, 3);
}

QString LatLonText(std::string_view code, double lat, double lon) {
    constexpr qsizetype kRoom = 32; // "deg +50.12345 +004.12345" and a little more
    QByteArray text;
    text.reserve(kRoom);
    text.append(code.data(), static_cast<qsizetype>(code.size()));
    text += ' ';
    AppendFixedFive(text, lat, 2);
    text += ' ';
    AppendFixedFive(text, lon, 3);
    return QString::fromLatin1(text);
}

QString ShortDegreeForm(double value) {
    const Scaled s = ScaleFive(value);
    const bool minus = s.negative && (s.whole != 0 || s.fraction != 0);
    QString text(QLatin1Char(minus ? '-' : '+'));
    if (s.whole != 0) {
        text += QString::number(s.whole);
    }
    text += QLatin1Char('.');
    QString decimals = QString::number(s.fraction).rightJustified(5, QLatin1Char('0'));
    while (decimals.endsWith(QLatin1Char('0'))) {
        decimals.chop(1);
    }
    return text + decimals;
}

std::optional<int> GpsYear(int twoDigits) {
    if (twoDigits < 0 || twoDigits > 99) {
        return std::nullopt;
    }
    return twoDigits >= 80 ? 1900 + twoDigits : 2000 + twoDigits;
}

int MonthNumber(QStringView name) {
    static constexpr std::array<const char*, 12> kMonths{"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (name == QLatin1String(kMonths[i])) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

QString GpsDate(QStringView text) {
    const QString day = DigitsOf(Columns(text, 1, 2));
    const int month = MonthNumber(Columns(text, 4, 3));
    const double yearValue = common::NumericValue(Columns(text, 8, 2).toStdString());
    const std::optional<int> year = yearValue == static_cast<int>(yearValue)
                                        ? GpsYear(static_cast<int>(yearValue))
                                        : std::nullopt;
    const QString yearText = year ? QString::number(*year) : DigitsOf(Columns(text, 8, 2));
    return yearText.rightJustified(4, QLatin1Char('0')) + QLatin1Char('/') +
           QString::number(month).rightJustified(2, QLatin1Char('0')) + QLatin1Char('/') +
           day.rightJustified(2, QLatin1Char('0'));
}

bool HoldsBinary(QStringView line) {
    for (const QChar c : line) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t')) {
            return true;
        }
    }
    return false;
}

bool HoldsBinary(QByteArrayView line) {
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            return true;
        }
    }
    return false;
}

QString AtLine(qint64 line, const QString& description) {
    return QStringLiteral("Line %1: %2").arg(line).arg(description);
}

} // namespace exchange

#include "document/DistributionFormat.h"

#include "common/AppError.h"
#include "common/Numeric.h"

#include <cmath>
#include <string_view>

namespace document::deg {

namespace {

constexpr double kPowersOfTen[] = {1.0, 10.0, 100.0, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// Old ellipsoid names of the datum column and the datum each stands for.
struct OldName {
    std::string_view name;
    std::string_view datum;
};
constexpr OldName kOldNames[] = {
    {"HAYFO", "EUR-M"}, {"WGS84", "WGS84"}, {"AIRY", "OGB-M"},  {"AIRMO", "IRL"},
    {"AUSTR", "AUG"},   {"BESSE", "TOY-M"}, {"CLA66", "NAS-C"}, {"CLA80", "NTF"},
    {"EVERE", "IND-B"}, {"EVEMO", "KEA"},   {"WGS72", "WGS72"},
};

QByteArrayView View(std::string_view text) {
    return QByteArrayView(text.data(), text.size());
}

// Mid(line, first, length) of the old platform on bytes: 1-based, cut at the end of the line.
QByteArrayView Mid(QByteArrayView line, qsizetype first, qsizetype length = -1) {
    const qsizetype start = first - 1;
    if (start >= line.size()) {
        return {};
    }
    if (length < 0 || start + length > line.size()) {
        length = line.size() - start;
    }
    return line.sliced(start, length);
}

QByteArrayView LeftTrimmed(QByteArrayView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    return text.sliced(i);
}

QByteArrayView RightTrimmed(QByteArrayView text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == ' ') {
        --n;
    }
    return text.first(n);
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithNoCase(QByteArrayView text, std::string_view prefix) {
    if (text.size() < static_cast<qsizetype>(prefix.size())) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Upper(text[static_cast<qsizetype>(i)]) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// The digits of a whole number, at least `width` of them, after a "-" for a negative one.
QString ZeroPadded(std::int64_t value, int width) {
    const bool negative = value < 0;
    const auto magnitude =
        static_cast<std::uint64_t>(negative ? -(value + 1) : value) + (negative ? 1U : 0U);
    QString digits = QString::number(magnitude).rightJustified(width, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + digits : digits;
}

// A number rounded to 5 decimals with its sign character and at least `intDigits` integer digits.
QString FixedFive(double value, QChar plusSign, int intDigits) {
    const std::int64_t scaled = ScaledHalfAway(value, 5);
    const bool negative = scaled < 0;
    const auto magnitude = negative ? static_cast<std::uint64_t>(-(scaled + 1)) + 1U
                                    : static_cast<std::uint64_t>(scaled);
    const QString whole =
        QString::number(magnitude / 100000U).rightJustified(intDigits, QLatin1Char('0'));
    const QString fraction =
        QString::number(magnitude % 100000U).rightJustified(5, QLatin1Char('0'));
    return (negative ? QChar(QLatin1Char('-')) : plusSign) + whole + QLatin1Char('.') + fraction;
}

// The position column: the formatted value, or the no-position marker when it does not fit.
QString PositionColumn(std::optional<float> value, QChar plusSign, int intDigits, int width) {
    const QString marker = QStringLiteral("999").rightJustified(width, QLatin1Char(' '));
    if (!value || !std::isfinite(*value)) {
        return marker;
    }
    QString text;
    try {
        text = FixedFive(static_cast<double>(*value), plusSign, intDigits);
    } catch (const common::AppError&) {
        return marker;
    }
    FormateCoord(text);
    return text.size() == width ? text : marker;
}

QString LeftAligned(const std::optional<QString>& text, int width) {
    if (!text) {
        return QString(width, QLatin1Char(' '));
    }
    return text->left(width).leftJustified(width, QLatin1Char(' '));
}

} // namespace

bool IsCurrentLayout(QByteArrayView firstLine) {
    return StartsWithNoCase(firstLine, "<DOVAZOV");
}

QString DelimitedField(QStringView line) {
    qsizetype i = 0;
    while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t'))) {
        ++i;
    }
    if (i < line.size() && line[i] == QLatin1Char('"')) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
        return (close < 0 ? line.sliced(i + 1) : line.sliced(i + 1, close - i - 1)).toString();
    }
    const qsizetype comma = line.indexOf(QLatin1Char(','), i);
    return (comma < 0 ? line.sliced(i) : line.sliced(i, comma - i)).toString();
}

QString PeriodLine(const PeriodScheme& scheme, int year) {
    const QString y = ZeroPadded(year, 4);
    const QString head = QStringLiteral(" 0000 - ");
    switch (scheme.PeriodOption) {
    case 1:
        return head + ZeroPadded(scheme.PivotYear1 - 1, 4) + QStringLiteral("   ") +
               ZeroPadded(scheme.PivotYear1, 4) + QStringLiteral(" - ") + y +
               QStringLiteral("   0 - 0");
    case 2:
        return head + ZeroPadded(scheme.PivotYear1 - 1, 4) + QStringLiteral("   ") +
               ZeroPadded(scheme.PivotYear1, 4) + QStringLiteral(" - ") +
               ZeroPadded(scheme.PivotYear2 - 1, 4) + QStringLiteral("   ") +
               ZeroPadded(scheme.PivotYear2, 4) + QStringLiteral(" - ") + y;
    default:
        return head + y + QStringLiteral("   0 - 0   0 - 0");
    }
}

std::optional<PeriodScheme> PeriodSchemeFromLine(QStringView line, const PeriodScheme& current) {
    auto year = [&](qsizetype column) {
        const std::optional<std::int16_t> value = YearFromText(line.mid(column - 1, 4).toString());
        if (!value) {
            throw common::AppError(common::kOverflow);
        }
        return *value;
    };
    const qsizetype found = line.indexOf(u"0 - 0");
    PeriodScheme scheme = current;
    if (found == 15) {
        scheme.PeriodOption = 0;
    } else if (found == 29) {
        scheme.PeriodOption = 1;
        scheme.PivotYear1 = year(16);
    } else if (found < 0) {
        scheme.PeriodOption = 2;
        scheme.PivotYear1 = year(16);
        scheme.PivotYear2 = year(30);
    } else {
        return std::nullopt;
    }
    return scheme;
}

std::int64_t ScaledHalfAway(double value, int decimals) {
    if (decimals < 0 || decimals >= static_cast<int>(std::size(kPowersOfTen))) {
        throw common::AppError(common::kInvalidCall);
    }
    const double scale = kPowersOfTen[decimals];
    const double product = value * scale;
    if (!std::isfinite(product) || std::fabs(product) >= 9.0e18) {
        throw common::AppError(common::kOverflow);
    }
    // value * scale == product + error exactly, so the half can be judged without rounding error.
    const double error = std::fma(value, scale, -product);
    const bool negative = product < 0 || (product == 0 && error < 0);
    const double magnitude = std::fabs(product);
    const double whole = std::floor(magnitude);
    const double beyondHalf = ((magnitude - whole) - 0.5) + (negative ? -error : error);
    const auto rounded = static_cast<std::int64_t>(whole) + (beyondHalf >= 0 ? 1 : 0);
    return negative ? -rounded : rounded;
}

void FormateCoord(QString& text) {
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0) {
        text[comma] = QLatin1Char('.');
    }
    if (text.isEmpty()) {
        return;
    }
    const QChar sign = text[0];
    qsizetype i = 2; // 1-based, as the old code counted
    while (i <= text.size()) {
        if (text.mid(i - 1, 2) == QLatin1String("0.") || text[i - 1] != QLatin1Char('0')) {
            break;
        }
        ++i;
    }
    if (i >= 3) {
        text = QString(i - 2, QLatin1Char(' ')) + sign + text.mid(i - 1);
    }
}

void ZerosEnBlancs(QString& text, int start) {
    if (start < 1 || start >= text.size()) {
        return;
    }
    for (qsizetype i = start - 1; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('0')) {
            break;
        }
        text[i] = QLatin1Char(' ');
    }
}

QString PeriodColumn(std::optional<std::int16_t> period) {
    if (!period) {
        return QStringLiteral(" ");
    }
    if (*period < 0 || *period > 9) {
        throw common::AppError(common::kOverflow, "Overflow: the period " +
                                                      std::to_string(*period) +
                                                      " does not fit its one column");
    }
    return QString::number(*period);
}

QString LatitudeColumn(std::optional<float> latitude) {
    return PositionColumn(latitude, QLatin1Char('+'), 2, kLatitudeWidth);
}

QString LongitudeColumn(std::optional<float> longitude) {
    return PositionColumn(longitude, QLatin1Char(' '), 3, kLongitudeWidth);
}

QString CountColumn(std::optional<std::int64_t> count) {
    const QString zero = QStringLiteral("    0");
    if (!count || *count == 0) {
        return zero;
    }
    if (*count > 99999 || *count < -9999) {
        throw common::AppError(common::kOverflow, "Overflow: the count " + std::to_string(*count) +
                                                      " does not fit its five columns");
    }
    if (*count < 0) {
        return QString::number(*count).rightJustified(kCountWidth, QLatin1Char(' '));
    }
    QString text = ZeroPadded(*count, kCountWidth);
    ZerosEnBlancs(text, 1);
    return text;
}

QString DateColumn(const std::optional<QString>& date) {
    return LeftAligned(date, kDateWidth);
}

QString SexColumn(const std::optional<QString>& sex) {
    return LeftAligned(sex, 1);
}

QString DatumColumn(const std::optional<QString>& datum) {
    return LeftAligned(datum, kDatumWidth);
}

QString OriginalColumn(const std::optional<QString>& original) {
    return LeftAligned(original, kOriginalWidth);
}

QString CommentColumn(const std::optional<QString>& comment) {
    return comment ? SingleLine(*comment) : QString();
}

QString SingleLine(const QString& text) {
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))) {
        return text;
    }
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

RecordLineColumns SplitRecordLine(QByteArrayView line) {
    RecordLineColumns c;
    c.period = Mid(line, 1, 1);
    c.latitude = LeftTrimmed(Mid(line, 3, kLatitudeWidth));
    c.longitude = LeftTrimmed(Mid(line, 12, kLongitudeWidth));
    c.n1 = LeftTrimmed(Mid(line, 22, kCountWidth));
    c.n2 = LeftTrimmed(Mid(line, 27, kCountWidth));
    const qsizetype length = line.size();
    if (length > kShortLineLength) {
        c.date = Mid(line, 32, kDateWidth);
    }
    if (length >= 42 && line[41] != ' ') {
        c.sex = Mid(line, 42, 1); // a blank column means no value
    }
    if (length > 42) {
        c.datum = Mid(line, 43, kDatumWidth);
    }
    if (length > 47) {
        c.original = Mid(line, 48, kOriginalWidth);
    }
    if (length > 71) {
        c.comment = Mid(line, 72);
    }
    return c;
}

bool IsEndMarker(QByteArrayView line) {
    if (line.size() > kShortLineLength) {
        return false;
    }
    for (qsizetype i = 0; i + 6 <= line.size(); ++i) {
        if (StartsWithNoCase(line.sliced(i), "FIN DU")) {
            return true;
        }
    }
    return false;
}

double ColumnNumber(QByteArrayView text, bool commaIsPoint) {
    if (!commaIsPoint || !text.contains(',')) {
        return common::NumericValue(
            std::string_view(text.data(), static_cast<size_t>(text.size())));
    }
    std::string copy(text.data(), static_cast<size_t>(text.size()));
    for (char& c : copy) {
        if (c == ',') {
            c = '.';
        }
    }
    return common::NumericValue(copy);
}

std::optional<QByteArrayView> DatumOfOldName(QByteArrayView datum) {
    const QByteArrayView name = RightTrimmed(datum);
    for (const OldName& old : kOldNames) {
        if (name == View(old.name)) {
            return View(old.datum);
        }
    }
    return std::nullopt;
}

std::optional<QByteArrayView> DatumOfSystem(QByteArrayView original, bool olderLayout) {
    if (original.isEmpty()) {
        return std::nullopt;
    }
    struct SystemDatum {
        std::string_view code;
        std::string_view datum;
        bool olderOnly;
    };
    static constexpr SystemDatum kSystems[] = {
        {"GRP", "NTF", false},   {"BNG", "OGB-M", false}, {"ITM", "IRL", false},
        {"LMB", "BEL72", false}, {"IFB", "BEL72", false}, {"UTM", "EUR-M", true},
        {"MGR", "EUR-M", true},
    };
    for (const SystemDatum& s : kSystems) {
        if ((!s.olderOnly || olderLayout) && StartsWithNoCase(original, s.code)) {
            return View(s.datum);
        }
    }
    return std::nullopt;
}

} // namespace document::deg

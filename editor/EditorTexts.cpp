#include "editor/EditorTexts.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DistributionFormat.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace editor {

namespace {

// The magnitude of value x 10^decimals rounded half away from zero, and its sign.
struct Scaled {
    std::uint64_t magnitude = 0;
    bool negative = false;
};

Scaled Scale(double value, int decimals) {
    const std::int64_t scaled = document::deg::ScaledHalfAway(value, decimals);
    Scaled s;
    // A negative value that rounds to zero keeps its minus, as the negative section of a pattern
    // is chosen by the value, not by its rounded text.
    s.negative = value < 0;
    s.magnitude = scaled < 0 ? static_cast<std::uint64_t>(-(scaled + 1)) + 1U
                             : static_cast<std::uint64_t>(scaled);
    return s;
}

QString Sign(bool negative) {
    return negative ? QStringLiteral("-") : QStringLiteral("+");
}

float ToSingle(double value) {
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        throw common::AppError(common::kOverflow);
    }
    return static_cast<float>(value);
}

} // namespace

double CommaValue(const QString& text) {
    QString s = text;
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    return common::NumericValue(s.toStdString());
}

double PlainValue(const QString& text) {
    return common::NumericValue(text.toStdString());
}

QString GeneralText(double value) {
    return QString::fromStdString(common::CStrSingle(ToSingle(value)));
}

QString SignedGeneralText(double value) {
    const QString text = GeneralText(value);
    return text.startsWith(QLatin1Char('-')) ? text : QLatin1Char('+') + text;
}

QString FiveDecimalText(double value) {
    const Scaled s = Scale(value, 5);
    const std::uint64_t whole = s.magnitude / 100000U;
    QString fraction = QString::number(s.magnitude % 100000U).rightJustified(5, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0'))) {
        fraction.chop(1);
    }
    return Sign(s.negative) + (whole == 0 ? QString() : QString::number(whole)) + QLatin1Char('.') +
           fraction;
}

QString PaddedFiveDecimalText(double value, int integerDigits) {
    const Scaled s = Scale(value, 5);
    return Sign(s.negative) +
           QString::number(s.magnitude / 100000U).rightJustified(integerDigits, QLatin1Char('0')) +
           QLatin1Char('.') +
           QString::number(s.magnitude % 100000U).rightJustified(5, QLatin1Char('0'));
}

QString SecondsText(double seconds) {
    const Scaled s = Scale(seconds, 1);
    return (s.negative ? QStringLiteral("-") : QString()) +
           QString::number(s.magnitude / 10U).rightJustified(2, QLatin1Char('0')) +
           QLatin1Char('.') + QString::number(s.magnitude % 10U) + QStringLiteral("''");
}

QString WholeText(double wholeValue) {
    if (!std::isfinite(wholeValue) || std::fabs(wholeValue) >= 9.0e18) {
        throw common::AppError(common::kOverflow);
    }
    return QString::number(static_cast<std::int64_t>(wholeValue));
}

QString FiveDigitText(double wholeValue) {
    const QString digits = WholeText(std::fabs(wholeValue)).rightJustified(5, QLatin1Char('0'));
    return wholeValue < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace editor

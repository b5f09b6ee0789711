#include "exchange/GarminOptionsSample.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "exchange/ImportText.h"

#include <QRegularExpression>

namespace exchange {

namespace {

std::optional<int> WholeNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    if (!number.match(text).hasMatch()) {
        return std::nullopt;
    }
    try {
        return common::ToInt16(common::NumericValue(text.toStdString()));
    } catch (const common::AppError&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<QString> FindExample(const std::vector<QStringList>& items, int column) {
    if (items.empty()) {
        return std::nullopt;
    }
    for (const QStringList& cells : items) {
        const QString value = cells.value(column);
        if (!value.isEmpty()) {
            return value;
        }
    }
    return QString();
}

std::optional<QString> CutSample(const QString& example, const QString& begin,
                                 const QString& length) {
    const std::optional<int> first = WholeNumber(begin);
    const std::optional<int> count = WholeNumber(length);
    if (!first || !count || example.isEmpty()) {
        return std::nullopt;
    }
    return Columns(example, *first, std::min(*count, static_cast<int>(example.size())));
}

} // namespace exchange

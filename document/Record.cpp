#include "document/Record.h"

#include "common/AppError.h"
#include "common/Numeric.h"

#include <cmath>
#include <limits>

namespace document {

namespace {

using namespace column;

// The number a value gives when stored into a number field: a text must read as a number as a
// whole.
double NumberOf(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        if (const std::optional<double> number =
                common::StrictNumber(value.toString().toStdString())) {
            return *number;
        }
        throw common::AppError(common::kTypeMismatch);
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok) {
        throw common::AppError(common::kTypeMismatch);
    }
    return number;
}

QString TextOf(const QVariant& value) {
    if (value.typeId() == QMetaType::Float) {
        return QString::fromStdString(common::CStrSingle(value.toFloat()));
    }
    if (value.typeId() == QMetaType::Double) {
        return QString::fromStdString(common::CStrDouble(value.toDouble()));
    }
    return value.toString();
}

float SingleOf(double number) {
    if (!std::isfinite(number) || std::abs(number) > std::numeric_limits<float>::max()) {
        throw common::AppError(common::kOverflow);
    }
    return static_cast<float>(number);
}

template <typename T> QVariant Boxed(const std::optional<T>& value) {
    return value ? QVariant::fromValue(*value) : QVariant();
}

void CheckText(const std::optional<QString>& text, const char* name, qsizetype size,
               bool emptyAllowed) {
    if (!text) {
        return;
    }
    if (!emptyAllowed && text->isEmpty()) {
        throw common::AppError(
            common::kZeroLengthString,
            common::ErrorDescription(common::kZeroLengthString, std::string("DOVAZOV.") + name));
    }
    if (size > 0 && text->size() > size) {
        throw common::AppError(common::kFieldTooSmall);
    }
}

} // namespace

int FieldIndex(QStringView name) {
    for (int i = 0; i < kFieldCount; ++i) {
        if (name.compare(QLatin1String(kFieldNames[i]), Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QVariant Record::field(QStringView name) const {
    switch (FieldIndex(name)) {
    case kCounter:
        return QVariant::fromValue(Counter);
    case kPeriod:
        return Boxed(PERIOD);
    case kLatitude:
        return Boxed(LATITUDE);
    case kLongitude:
        return Boxed(LONGITUDE);
    case kN1:
        return Boxed(N1);
    case kN2:
        return Boxed(N2);
    case kSex:
        return Boxed(SEX);
    case kDatum:
        return Boxed(DATUM);
    case kOriginal:
        return Boxed(ORIGINAL);
    case kDate:
        return Boxed(DATE);
    case kComment:
        return Boxed(COMMENT);
    default:
        throw common::AppError(common::kItemNotFound);
    }
}

void Record::setField(QStringView name, const QVariant& value) {
    const int index = FieldIndex(name);
    if (index < 0) {
        throw common::AppError(common::kItemNotFound);
    }
    const bool null = !value.isValid() || value.isNull();
    auto text = [&]() -> std::optional<QString> {
        return null ? std::nullopt : std::optional<QString>(TextOf(value));
    };
    switch (index) {
    case kCounter:
        throw common::AppError(common::kFieldNotUpdatable,
                               common::ErrorDescription(common::kFieldNotUpdatable, "Counter"));
    case kPeriod:
        PERIOD =
            null ? std::nullopt : std::optional<std::int16_t>(common::ToInt16(NumberOf(value)));
        break;
    case kLatitude:
        LATITUDE = null ? std::nullopt : std::optional<float>(SingleOf(NumberOf(value)));
        break;
    case kLongitude:
        LONGITUDE = null ? std::nullopt : std::optional<float>(SingleOf(NumberOf(value)));
        break;
    case kN1:
        N1 = null ? std::nullopt : std::optional<std::int32_t>(common::ToInt32(NumberOf(value)));
        break;
    case kN2:
        N2 = null ? std::nullopt : std::optional<std::int32_t>(common::ToInt32(NumberOf(value)));
        break;
    case kSex:
        CheckText(text(), "SEX", 1, true);
        SEX = text();
        break;
    case kDatum:
        CheckText(text(), "DATUM", 5, false);
        DATUM = text();
        break;
    case kOriginal:
        CheckText(text(), "ORIGINAL", 24, false);
        ORIGINAL = text();
        break;
    case kDate:
        CheckText(text(), "DATE", 10, true);
        DATE = text();
        break;
    case kComment:
        COMMENT = text();
        break;
    }
}

void ValidateRecord(const Record& record) {
    CheckText(record.SEX, "SEX", 1, true);
    CheckText(record.DATUM, "DATUM", 5, false);
    CheckText(record.ORIGINAL, "ORIGINAL", 24, false);
    CheckText(record.DATE, "DATE", 10, true);
}

} // namespace document

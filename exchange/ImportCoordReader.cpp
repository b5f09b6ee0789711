#include "exchange/ImportCoordReader.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "exchange/ImportText.h"
#include "geodesy/DatumTables.h"

#include <cfloat>
#include <cmath>

namespace exchange {

namespace {

using geodesy::CoordSystem;

// An optional sign, digits with at most one point (at least one digit), an optional exponent.
bool IsNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto digits = [&] {
        const qsizetype start = i;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            ++i;
        }
        return i - start;
    };
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        ++i;
    }
    qsizetype mantissa = digits();
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return false;
    }
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            ++i;
        }
        if (digits() == 0) {
            return false;
        }
    }
    return i == n;
}

double FieldNumber(const QString& field) {
    const QStringView text = QStringView(field).trimmed();
    if (text.isEmpty()) {
        return 0.0;
    }
    if (!IsNumber(text)) {
        throw common::AppError(
            common::kTypeMismatch,
            QStringLiteral("\"%1\" is not a number").arg(text.toString()).toStdString());
    }
    // IsNumber let only ASCII through, which Utf8Of copies without an allocation.
    const double value = common::NumericValue(Utf8Of(text));
    if (!std::isfinite(value)) {
        throw common::AppError(common::kOverflow);
    }
    return value;
}

QString Code(CoordSystem system) {
    return QString::fromLatin1(geodesy::CoordSystemCode(system));
}

// The code of the datum a national grid is written in, as the table keeps it.
QString GridDatumCode(geodesy::GridDatum grid) {
    const geodesy::DatumState& datums = geodesy::Datums();
    const std::int16_t index = datums.GridDatums[static_cast<std::size_t>(grid)];
    if (index == 0) {
        throw common::AppError(common::kSubscript,
                               "the datum of this grid is not in the datum table");
    }
    return QString::fromStdString(geodesy::FixedCode(datums.datum(index).Code));
}

QString SevenFieldText(CoordSystem system, const QStringList& fields) {
    const float first = FieldSingle(fields[1]);
    const float second = FieldSingle(fields[2]);
    switch (system) {
    case CoordSystem::Deg:
    case CoordSystem::Dms:
    case CoordSystem::Grp:
        return LatLonText(geodesy::CoordSystemCode(system), static_cast<double>(first),
                          static_cast<double>(second));
    default:
        return Code(system) + QLatin1Char(' ') + QString::fromStdString(common::CStrSingle(first)) +
               QLatin1Char(' ') + QString::fromStdString(common::CStrSingle(second));
    }
}

QString SixFieldText(CoordSystem system, const QString& reference) {
    switch (system) {
    case CoordSystem::Mgr: {
        const QString r = reference.toUpper();
        if (r.size() < 5) {
            return {};
        }
        return QStringLiteral("mgr ") + r.left(2) + QLatin1Char(' ') + r.mid(2, 1) +
               QLatin1Char(' ') + r.mid(3);
    }
    case CoordSystem::Bng:
    case CoordSystem::Itm: {
        const QString r = reference.toUpper();
        if (r.size() < 4) {
            return {};
        }
        return Code(system) + QLatin1Char(' ') + r.left(2) + QLatin1Char(' ') + r.mid(2);
    }
    default: // ifb
        return QStringLiteral("ifb ") + reference;
    }
}

QString DatumOf(CoordSystem system) {
    const geodesy::DatumState& datums = geodesy::Datums();
    switch (system) {
    case CoordSystem::Deg:
    case CoordSystem::Dms:
        return QString::fromStdString(datums.FromCode);
    case CoordSystem::Utm:
    case CoordSystem::Mgr:
        return QString::fromStdString(datums.UTMCode);
    case CoordSystem::Grp:
    case CoordSystem::Lf1:
    case CoordSystem::Lf2:
    case CoordSystem::Lf3:
    case CoordSystem::Lf4:
    case CoordSystem::Lfe:
        return GridDatumCode(geodesy::kNtf);
    case CoordSystem::Bng:
        return GridDatumCode(geodesy::kOgbM);
    case CoordSystem::Itm:
        return GridDatumCode(geodesy::kIrl);
    case CoordSystem::Lmb:
    case CoordSystem::Ifb:
        return GridDatumCode(geodesy::kBel72);
    case CoordSystem::Nma:
    case CoordSystem::Sma:
        return GridDatumCode(geodesy::kMer);
    }
    return {};
}

} // namespace

CoordLayout LayoutOf(CoordSystem system) {
    switch (system) {
    case CoordSystem::Utm:
        return CoordLayout::Eight;
    case CoordSystem::Mgr:
    case CoordSystem::Bng:
    case CoordSystem::Itm:
    case CoordSystem::Ifb:
        return CoordLayout::Six;
    default:
        return CoordLayout::Seven;
    }
}

int FieldCount(CoordLayout layout) {
    switch (layout) {
    case CoordLayout::Seven:
        return 7;
    case CoordLayout::Eight:
        return 8;
    case CoordLayout::Six:
        return 6;
    }
    return 0;
}

std::int16_t FieldInt16(const QString& field) {
    return common::ToInt16(FieldNumber(field));
}

std::int32_t FieldInt32(const QString& field) {
    return common::ToInt32(FieldNumber(field));
}

float FieldSingle(const QString& field) {
    const double value = FieldNumber(field);
    if (std::fabs(value) > static_cast<double>(FLT_MAX)) {
        throw common::AppError(common::kOverflow);
    }
    return static_cast<float>(value);
}

CoordText BuildCoordText(CoordSystem system, const QStringList& fields) {
    CoordText text;
    switch (LayoutOf(system)) {
    case CoordLayout::Seven:
        text.original = SevenFieldText(system, fields);
        break;
    case CoordLayout::Eight:
        text.original = QStringLiteral("utm %1 %2 %3")
                            .arg(FieldInt16(fields[1]))
                            .arg(FieldInt32(fields[2]))
                            .arg(FieldInt32(fields[3]));
        break;
    case CoordLayout::Six:
        text.original = SixFieldText(system, fields[1]);
        break;
    }
    if (text.original.isEmpty()) {
        return text;
    }
    // The written forms carry points already; a quoted reference may still hold a comma.
    text.original.replace(QLatin1Char(','), QLatin1Char('.'));
    text.datum = DatumOf(system);
    return text;
}

CoordFileReader::CoordFileReader(const QString& path, CoordSystem system)
    : file_(path, kMaxLineBytes), system_(system), layout_(LayoutOf(system)) {}

void CoordFileReader::fail(int number, const QString& what) const {
    throw common::AppError(number, AtLine(lineNumber_, what).toStdString());
}

bool CoordFileReader::nextLine() {
    if (file_.atEnd()) {
        return false;
    }
    line_ = file_.readLine();
    ++lineNumber_;
    pos_ = 0;
    haveLine_ = true;
    if (HoldsBinary(line_)) {
        fail(common::kTypeMismatch, QStringLiteral("the line holds binary data, not text"));
    }
    return true;
}

bool CoordFileReader::startRecord() {
    const auto restIsBlank = [this] { return QStringView(line_).mid(pos_).trimmed().isEmpty(); };
    if (haveLine_ && restIsBlank()) {
        haveLine_ = false;
    }
    const auto skipBlankLines = [&] {
        do {
            if (!nextLine()) {
                return false;
            }
        } while (restIsBlank());
        return true;
    };
    if (!haveLine_ && !skipBlankLines()) {
        return false;
    }
    // One comment line may stand before a record; the line after it is read as the record.
    if (QStringView(line_).mid(pos_).startsWith(QLatin1Char('*'))) {
        haveLine_ = false;
        return skipBlankLines();
    }
    return true;
}

QString CoordFileReader::readField() {
    if (!haveLine_ && !nextLine()) {
        fail(common::kInputPastEnd, QStringLiteral("the file ends inside a record"));
    }
    while (pos_ < line_.size() &&
           (line_[pos_] == QLatin1Char(' ') || line_[pos_] == QLatin1Char('\t'))) {
        ++pos_;
    }
    QString value;
    qsizetype end = 0;
    if (pos_ < line_.size() && line_[pos_] == QLatin1Char('"')) {
        const qsizetype close = line_.indexOf(QLatin1Char('"'), pos_ + 1);
        if (close < 0) {
            fail(common::kTypeMismatch, QStringLiteral("a quoted text has no closing quote"));
        }
        value = line_.mid(pos_ + 1, close - pos_ - 1);
        end = line_.indexOf(QLatin1Char(','), close + 1);
    } else {
        end = line_.indexOf(QLatin1Char(','), pos_);
        value = (end < 0 ? line_.mid(pos_) : line_.mid(pos_, end - pos_));
        while (value.endsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char('\t'))) {
            value.chop(1);
        }
    }
    if (end < 0) {
        haveLine_ = false; // the line end ends the field
    } else {
        pos_ = end + 1;
    }
    return value;
}

std::optional<document::Record> CoordFileReader::next() {
    const int count = FieldCount(layout_);
    while (startRecord()) {
        const qint64 first = lineNumber_;
        QStringList fields;
        for (int i = 0; i < count; ++i) {
            fields.append(readField());
        }
        try {
            const CoordText text = BuildCoordText(system_, fields);
            if (text.original.isEmpty()) {
                continue; // a reference too short to name a square
            }
            document::Record r;
            r.PERIOD = FieldInt16(fields[0]);
            r.N1 = FieldInt32(fields[count - 4]);
            r.N2 = FieldInt32(fields[count - 3]);
            r.DATUM = text.datum;
            r.ORIGINAL = text.original;
            r.DATE = fields[count - 2];
            r.COMMENT = fields[count - 1];
            document::ValidateRecord(r);
            return r;
        } catch (const common::AppError& e) {
            throw common::AppError(
                e.number(), AtLine(first, QString::fromStdString(e.description())).toStdString());
        }
    }
    return std::nullopt;
}

} // namespace exchange

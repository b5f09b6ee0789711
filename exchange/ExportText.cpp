#include "exchange/ExportText.h"

#include "document/RecordSet.h"
#include "document/RowStream.h"
#include "exchange/ImportText.h"
#include "platform/TextFile.h"

#include <cstdlib>

namespace exchange {

namespace {

// "00000": at least five digits, zeros in front, a minus sign before them when negative.
QString FiveDigits(std::int32_t value) {
    const QString digits = QString::number(std::llabs(static_cast<long long>(value)))
                               .rightJustified(5, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString CellText(const ExportColumn& column, const document::Record& record,
                 const std::optional<std::array<std::int32_t, 2>>& xy) {
    switch (column.field) {
    case ExportField::X:
        return xy ? QString::number((*xy)[0]) : QString();
    case ExportField::Y:
        return xy ? QString::number((*xy)[1]) : QString();
    case ExportField::Period:
        return record.PERIOD ? QString::number(*record.PERIOD) : QString();
    case ExportField::Latitude:
        return record.LATITUDE ? LatitudeForm(*record.LATITUDE) : QString();
    case ExportField::Longitude:
        return record.LONGITUDE ? LongitudeForm(*record.LONGITUDE) : QString();
    case ExportField::N1:
        return record.N1 ? FiveDigits(*record.N1) : QString();
    case ExportField::N2:
        return record.N2 ? FiveDigits(*record.N2) : QString();
    case ExportField::Datum:
        return record.DATUM.value_or(QString());
    case ExportField::Original:
        return record.ORIGINAL.value_or(QString());
    case ExportField::Date:
        return record.DATE.value_or(QString());
    case ExportField::Sex:
        return record.SEX.value_or(QString());
    case ExportField::Comment:
        return record.COMMENT.value_or(QString());
    case ExportField::Memo:
        break;
    }
    return {};
}

} // namespace

QString TextSeparator(int mode) {
    switch (mode) {
    case 1:
        return QStringLiteral(",");
    case 2:
        return QStringLiteral("\t");
    case 3:
        return QStringLiteral(" ");
    default:
        return {};
    }
}

QString TextHeader(const std::vector<ExportColumn>& columns, const QString& separator) {
    QString line;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) {
            line += separator;
        }
        line += columns[i].name;
    }
    return line;
}

QString TextLine(const std::vector<ExportColumn>& columns, const document::Record& record,
                 const QString& separator) {
    std::optional<std::array<std::int32_t, 2>> xy;
    if (!columns.empty() && columns.front().field == ExportField::X) {
        xy = Lambert72Of(record);
    }
    QString line;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) {
            line += separator;
        }
        line += CellText(columns[i], record, xy);
    }
    return line;
}

void WriteTextExport(const QString& path, const document::RecordSet& records,
                     const ExportChoice& choice, int mode) {
    const std::vector<ExportColumn> columns = TextColumns(choice);
    const QString separator = TextSeparator(mode);
    platform::TextFileWriter file(path);
    file.writeLine(TextHeader(columns, separator));
    document::RowStream rows(records);
    document::Record record;
    while (rows.next(record)) {
        file.writeLine(TextLine(columns, record, separator));
    }
    file.commit();
}

} // namespace exchange

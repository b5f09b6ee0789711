#include "gazetteer/PlaceQuery.h"

#include "common/AppError.h"
#include "gazetteer/GazetteerSource.h"
#include "platform/ProgramSettings.h"

#include <QLocale>
#include <exception>

namespace gazetteer {

QVariant ColumnValue(const SQLite::Column& column) {
    if (column.isNull()) {
        return {};
    }
    if (column.isInteger()) {
        return QVariant::fromValue(column.getInt64());
    }
    if (column.isFloat()) {
        return column.getDouble();
    }
    return QString::fromStdString(column.getString());
}

namespace {

std::string RowStatement(const PlaceColumns& c) {
    return QStringLiteral("SELECT %1, %2, %3, %4, %5, %6, %7, %8 FROM %9 WHERE rowid = ?")
        .arg(c.name, c.latitude, c.longitude, c.fips, c.province, c.feature, c.countryName,
             c.provinceName, c.table)
        .toStdString();
}

} // namespace

QString SearchKey(const QString& typed, const QString& table) {
    QString key = typed;
    if (table == QLatin1String("bgntable")) {
        key.remove(QLatin1Char(' '));
        key.remove(QLatin1Char('-'));
    }
    return key.toUpper().trimmed();
}

RowFormat FormatOf(const platform::ProgramSettings& mapping) {
    RowFormat format;
    format.coordinatesType = mapping.CoordinatesType;
    format.hasFips = !mapping.FipsField.isEmpty();
    format.hasProvince = !mapping.ProvinceField.isEmpty();
    format.hasFeature = !mapping.FeatureField.isEmpty();
    format.hasCountryName = !mapping.CountryName.isEmpty();
    format.hasProvinceName = !mapping.ProvinceName.isEmpty();
    const QString point = QLocale().decimalPoint();
    format.decimalPoint = point.isEmpty() ? QLatin1Char('.') : point.at(0);
    return format;
}

PlaceColumns ResolveColumns(GazetteerSource& source, const platform::ProgramSettings& mapping) {
    PlaceColumns c;
    c.table = source.searchableTable(mapping.Table, mapping.ResearchField);
    const QStringList fields = source.fields(mapping.Table);
    const auto column = [&](const QString& name) -> QString {
        if (name.isEmpty()) {
            return QStringLiteral("NULL");
        }
        const QString found = FindName(fields, name);
        if (found.isEmpty()) {
            throw common::AppError(
                kItemNotFound, QStringLiteral("Field '%1' not found in the gazetteer table '%2'.")
                                   .arg(name, mapping.Table)
                                   .toStdString());
        }
        return QuoteIdentifier(found);
    };
    c.research = column(mapping.ResearchField);
    c.name = column(mapping.FullNameField);
    c.latitude = column(mapping.LatitudeField);
    c.longitude = column(mapping.LongitudeField);
    c.fips = column(mapping.FipsField);
    c.province = column(mapping.ProvinceField);
    c.feature = column(mapping.FeatureField);
    c.countryName = column(mapping.CountryName);
    c.provinceName = column(mapping.ProvinceName);
    c.byFips = mapping.Sort != 0;
    c.numericCoordinates =
        source.declaresNumbers(mapping.Table, {mapping.LatitudeField, mapping.LongitudeField});
    if (c.byFips && mapping.FipsField.isEmpty()) {
        throw common::AppError(kItemNotFound,
                               "Sorting by the FIPS field needs a FIPS field in the mapping.");
    }
    return c;
}

PlaceReader::PlaceReader(std::shared_ptr<GazetteerSource> source, const PlaceColumns& columns,
                         const RowFormat& format)
    : source_(std::move(source)), columns_(columns), format_(format),
      statement_(source_->database(), RowStatement(columns)) {}

bool PlaceReader::reads(const GazetteerSource* source, const PlaceColumns& columns,
                        const RowFormat& format) const {
    return source_.get() == source && columns_ == columns && format_ == format;
}

PlaceRecord PlaceReader::read(std::int64_t id) {
    statement_.reset();
    statement_.bind(1, static_cast<int64_t>(id));
    if (!statement_.executeStep()) {
        throw common::AppError(common::kNoCurrentRecord);
    }
    PlaceRecord record;
    record.name = ColumnValue(statement_.getColumn(0));
    record.latitude = ColumnValue(statement_.getColumn(1));
    record.longitude = ColumnValue(statement_.getColumn(2));
    record.fips = ColumnValue(statement_.getColumn(3));
    record.province = ColumnValue(statement_.getColumn(4));
    record.feature = ColumnValue(statement_.getColumn(5));
    record.countryName = ColumnValue(statement_.getColumn(6));
    record.provinceName = ColumnValue(statement_.getColumn(7));
    return record;
}

PlaceRow PlaceReader::row(std::int64_t id) {
    return MakeRow(read(id), format_);
}

QString PlaceReader::columnText(std::int64_t id, int column) {
    try {
        return ColumnText(read(id), format_, column);
    } catch (const std::exception&) {
        return {};
    }
}

std::vector<QString> PlaceReader::columnTexts(const std::vector<std::int64_t>& ids, int column) {
    std::vector<QString> texts;
    texts.reserve(ids.size());
    for (const std::int64_t id : ids) {
        texts.push_back(columnText(id, column));
    }
    return texts;
}

} // namespace gazetteer

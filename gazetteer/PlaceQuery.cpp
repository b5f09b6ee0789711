#include "gazetteer/PlaceQuery.h"

#include "common/AppError.h"
#include "gazetteer/GazetteerSource.h"
#include "platform/ProgramSettings.h"

#include <QLocale>
#include <SQLiteCpp/Statement.h>

namespace gazetteer {

namespace {

// The largest character: a prefix followed by it bounds every text that begins with the prefix.
const QString kAfterEverything = QString::fromUcs4(U"\U0010FFFF");

QVariant ValueOf(const SQLite::Column& column) {
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

std::vector<PlaceRecord> FindPlaces(GazetteerSource& source,
                                    const platform::ProgramSettings& mapping, const QString& key,
                                    bool exact) {
    const QString table = source.searchableTable(mapping.Table, mapping.ResearchField);
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
    const QString research = column(mapping.ResearchField) + QStringLiteral(" COLLATE NOCASE");
    if (mapping.Sort != 0 && mapping.FipsField.isEmpty()) {
        throw common::AppError(kItemNotFound,
                               "Sorting by the FIPS field needs a FIPS field in the mapping.");
    }
    const QString order = mapping.Sort != 0 ? column(mapping.FipsField) : research;
    const QString sql =
        QStringLiteral("SELECT %1, %2, %3, %4, %5, %6, %7, %8 FROM %9 WHERE ")
            .arg(column(mapping.FullNameField), column(mapping.LatitudeField),
                 column(mapping.LongitudeField), column(mapping.FipsField),
                 column(mapping.ProvinceField), column(mapping.FeatureField),
                 column(mapping.CountryName), column(mapping.ProvinceName), table) +
        (exact ? research + QStringLiteral(" = ?1")
               : research + QStringLiteral(" >= ?1 AND ") + research + QStringLiteral(" < ?2")) +
        QStringLiteral(" ORDER BY ") + order;
    SQLite::Statement query(source.database(), sql.toStdString());
    query.bind(1, key.toStdString());
    if (!exact) {
        query.bind(2, (key + kAfterEverything).toStdString());
    }
    std::vector<PlaceRecord> records;
    while (query.executeStep()) {
        PlaceRecord record;
        record.name = ValueOf(query.getColumn(0));
        record.latitude = ValueOf(query.getColumn(1));
        record.longitude = ValueOf(query.getColumn(2));
        record.fips = ValueOf(query.getColumn(3));
        record.province = ValueOf(query.getColumn(4));
        record.feature = ValueOf(query.getColumn(5));
        record.countryName = ValueOf(query.getColumn(6));
        record.provinceName = ValueOf(query.getColumn(7));
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace gazetteer

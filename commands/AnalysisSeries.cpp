#include "commands/AnalysisSeries.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DataControl.h"
#include "document/RowStream.h"
#include "document/WorkDatabase.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <cmath>

namespace commands {

QString TooManyPointsText() {
    return QStringLiteral("X axis exeeds 3800 points!");
}

std::optional<ValueSeries> ValueGraphSeries(int field) {
    const std::string name = field == 1 ? "N1" : "N2";
    SQLite::Database& db = document::WorkDb();
    SQLite::Statement maximum(db, "SELECT MAX(" + name + ") AS Maximum FROM DOVAZOV");
    if (!maximum.executeStep() || maximum.getColumn(0).isNull()) {
        return std::nullopt;
    }
    const std::int64_t max = maximum.getColumn(0).getInt64();
    if (max == 0) {
        return std::nullopt;
    }
    if (max + 1 > kMaxGraphPoints) {
        throw common::AppError(common::kOverflow, TooManyPointsText().toStdString());
    }
    ValueSeries series;
    series.numPoints = static_cast<int>(max + 1);
    series.labelEvery = series.numPoints / 2 > 1000 ? 1000 : 2;

    SQLite::Statement rows(db, "SELECT " + name + ", LATITUDE, LONGITUDE FROM DOVAZOV ORDER BY " +
                                   name + ", LATITUDE, LONGITUDE");
    std::optional<std::int64_t> current;
    double count = 0;
    bool first = true;
    float previousLat = 0.0F;
    float previousLon = 0.0F;
    const auto emitPoint = [&] {
        if (current && *current > 0) {
            series.points.push_back({static_cast<int>(*current), count});
        }
    };
    while (rows.executeStep()) {
        std::optional<std::int64_t> value;
        if (!rows.getColumn(0).isNull()) {
            value = rows.getColumn(0).getInt64();
        }
        const bool hasPosition = !rows.getColumn(1).isNull() && !rows.getColumn(2).isNull();
        const auto lat = static_cast<float>(rows.getColumn(1).getDouble());
        const auto lon = static_cast<float>(rows.getColumn(2).getDouble());
        if (first) {
            current = value;
            count = 1;
            first = false;
        } else if (value != current) {
            emitPoint();
            current = value;
            count = 1;
        } else if (!hasPosition || lat != previousLat || lon != previousLon) {
            ++count; // a row without a position always counts as a new one
        }
        previousLat = lat;
        previousLon = lon;
    }
    if (first) {
        return std::nullopt;
    }
    emitPoint();
    return series;
}

std::optional<std::array<std::optional<double>, 12>>
PhenologySums(std::span<const std::int64_t> selected) {
    document::DataControl& data = document::Data1();
    if (!data.bound() || data.recordset().recordCount() == 0) {
        return std::nullopt;
    }
    const document::RecordSet clone = data.recordset().clone();
    const std::span<const std::int64_t> marks =
        selected.empty() ? std::span<const std::int64_t>(clone.bookmarks()) : selected;
    std::array<std::optional<double>, 12> sums{};
    document::RowStream stream(clone.database(), marks, document::RowFields{"N1", "DATE"});
    document::Record row;
    while (stream.next(row)) {
        if (!row.DATE || !row.N1) {
            continue;
        }
        const double month = common::NumericValue(row.DATE->mid(5, 2).toStdString());
        if (month >= 1 && month <= 12 && month == std::floor(month)) {
            std::optional<double>& sum = sums.at(static_cast<std::size_t>(month) - 1);
            sum = sum.value_or(0.0) + *row.N1;
        }
    }
    return sums;
}

} // namespace commands

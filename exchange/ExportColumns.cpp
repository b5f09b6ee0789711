#include "exchange/ExportColumns.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/PositionWalk.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Lambert72.h"
#include "geodesy/Molodensky.h"
#include "platform/ProgramSettings.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>

namespace exchange {

ExportChoice CurrentExportChoice() {
    const platform::ProgramSettings& s = platform::Settings();
    ExportChoice choice;
    choice.ExportPeriod = s.ExportPeriod;
    choice.ExportLatitude = s.ExportLatitude;
    choice.ExportLongitude = s.ExportLongitude;
    choice.ExportNumber1 = s.ExportNumber1;
    choice.ExportNumber2 = s.ExportNumber2;
    choice.ExportEllipsoid = s.ExportEllipsoid;
    choice.ExportOriginalCoord = s.ExportOriginalCoord;
    choice.ExportDate = s.ExportDate;
    choice.ExportFreeField = s.ExportFreeField;
    choice.ExportSex = s.ExportSex;
    choice.ExportCoordSystem = s.ExportCoordSystem;
    return choice;
}

namespace {

struct ColumnRule {
    ExportField field;
    const char* textWord;  // header word of the text export
    const char* tableName; // column name of a database table
    ColumnType type;
    int size;
    std::int16_t ExportChoice::*flag; // nullptr: X and Y, which follow ExportCoordSystem
};

// Both exports put "Sex" before the comment, whatever the order of the flags.
constexpr ColumnRule kRules[] = {
    {ExportField::X, "X", "X", ColumnType::Long, 0, nullptr},
    {ExportField::Y, "Y", "y", ColumnType::Long, 0, nullptr},
    {ExportField::Period, "Periode", "Period", ColumnType::Text, 1, &ExportChoice::ExportPeriod},
    {ExportField::Latitude, "Latitude", "Latitude", ColumnType::Single, 0,
     &ExportChoice::ExportLatitude},
    {ExportField::Longitude, "Longitude", "Longitude", ColumnType::Single, 0,
     &ExportChoice::ExportLongitude},
    {ExportField::N1, "N1", "Number 1", ColumnType::Long, 0, &ExportChoice::ExportNumber1},
    {ExportField::N2, "N2", "Number 2", ColumnType::Long, 0, &ExportChoice::ExportNumber2},
    {ExportField::Datum, "Datum", "Ellipsoid", ColumnType::Text, 5, &ExportChoice::ExportEllipsoid},
    {ExportField::Original, "Coord_Orig", "Orig Coor", ColumnType::Text, 24,
     &ExportChoice::ExportOriginalCoord},
    {ExportField::Date, "Date", "Date", ColumnType::Text, 10, &ExportChoice::ExportDate},
    {ExportField::Sex, "Sex", "Sex", ColumnType::Text, 1, &ExportChoice::ExportSex},
    {ExportField::Comment, "Comment", "Free text", ColumnType::Text, 150,
     &ExportChoice::ExportFreeField},
};

std::vector<ExportColumn> Columns(const ExportChoice& choice, bool table) {
    std::vector<ExportColumn> columns;
    for (const ColumnRule& rule : kRules) {
        const bool present = rule.flag == nullptr ? choice.lambert() : choice.*rule.flag == 1;
        if (present) {
            columns.push_back({rule.field,
                               QString::fromLatin1(table ? rule.tableName : rule.textWord),
                               rule.type, rule.size});
        }
    }
    if (table) {
        columns.push_back({ExportField::Memo, QStringLiteral("Memo"), ColumnType::Memo, 0});
    }
    return columns;
}

QString TextOf(const std::optional<QString>& value) {
    return value.value_or(QString());
}

} // namespace

std::vector<ExportColumn> TextColumns(const ExportChoice& choice) {
    return Columns(choice, false);
}

std::vector<ExportColumn> TableColumns(const ExportChoice& choice) {
    return Columns(choice, true);
}

namespace {

// 999 marks a text that gave no position; anything else off the globe has none either.
bool OnTheGlobe(double lat, double lon) {
    return std::abs(lat) <= 90.0 && std::abs(lon) <= 180.0;
}

// The datum pair of the shift: the destination datum the positions are stored in, and "BEL72".
std::optional<std::array<int, 2>> Bel72Shift() {
    const geodesy::DatumState& datums = geodesy::Datums();
    const int from = datums.DestIndex;
    const int to = datums.GridDatums[geodesy::kBel72];
    if (from < 1 || from > datums.datumCount() || to < 1 || to > datums.datumCount()) {
        return std::nullopt;
    }
    return std::array<int, 2>{from, to};
}

std::optional<std::array<std::int32_t, 2>> WholeMetres(double x, double y) {
    const double ex = std::nearbyint(x);
    const double ey = std::nearbyint(y);
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    if (!(ex >= kMin && ex <= kMax && ey >= kMin && ey <= kMax)) {
        return std::nullopt;
    }
    return std::array<std::int32_t, 2>{static_cast<std::int32_t>(ex),
                                       static_cast<std::int32_t>(ey)};
}

std::optional<std::array<std::int32_t, 2>> OnePointLambert72(double lat, double lon,
                                                             const std::array<int, 2>& shift) {
    double shiftedLat = 0.0;
    double shiftedLon = 0.0;
    geodesy::ShiftDatum(lat, lon, 0.0, shiftedLat, shiftedLon, shift[0], shift[1]);
    double x = 0.0;
    double y = 0.0;
    geodesy::LatLonToLambert72(shiftedLat, shiftedLon, x, y);
    return WholeMetres(x, y);
}

} // namespace

std::optional<std::array<std::int32_t, 2>> Lambert72Of(const document::Record& record) {
    if (!record.LATITUDE || !record.LONGITUDE) {
        return std::nullopt;
    }
    const double lat = *record.LATITUDE;
    const double lon = *record.LONGITUDE;
    const std::optional<std::array<int, 2>> shift = Bel72Shift();
    if (!OnTheGlobe(lat, lon) || !shift) {
        return std::nullopt;
    }
    return OnePointLambert72(lat, lon, *shift);
}

void Lambert72OfBlock(std::span<const std::optional<std::array<float, 2>>> positions,
                      std::vector<std::optional<std::array<std::int32_t, 2>>>& out) {
    out.assign(positions.size(), std::nullopt);
    const std::optional<std::array<int, 2>> shift = Bel72Shift();
    if (!shift) {
        return;
    }
    std::vector<std::size_t> at;
    std::vector<double> lat;
    std::vector<double> lon;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (positions[i] && OnTheGlobe((*positions[i])[0], (*positions[i])[1])) {
            at.push_back(i);
            lat.push_back((*positions[i])[0]);
            lon.push_back((*positions[i])[1]);
        }
    }
    std::vector<double> shiftedLat(at.size());
    std::vector<double> shiftedLon(at.size());
    geodesy::batch::ShiftDatum(lat, lon, shiftedLat, shiftedLon, (*shift)[0], (*shift)[1]);
    std::vector<double> x(at.size());
    std::vector<double> y(at.size());
    geodesy::batch::LatLonToLambert72(shiftedLat, shiftedLon, x, y);
    for (std::size_t k = 0; k < at.size(); ++k) {
        out[at[k]] = document::NearHalfMetre(x[k]) || document::NearHalfMetre(y[k])
                         ? OnePointLambert72(lat[k], lon[k], *shift)
                         : WholeMetres(x[k], y[k]);
    }
}

std::vector<CellValue> TableRow(const std::vector<ExportColumn>& columns,
                                const document::Record& record, const QString& memo) {
    std::vector<CellValue> row;
    row.reserve(columns.size());
    std::optional<std::array<std::int32_t, 2>> xy;
    bool xyDone = false;
    const auto lambert = [&]() -> const std::optional<std::array<std::int32_t, 2>>& {
        if (!xyDone) {
            xyDone = true;
            // A row without a datum has no entered position to carry over.
            if (!TextOf(record.DATUM).isEmpty()) {
                xy = Lambert72Of(record);
            }
        }
        return xy;
    };
    for (const ExportColumn& column : columns) {
        switch (column.field) {
        case ExportField::X:
            row.emplace_back(lambert() ? (*lambert())[0] : 0);
            break;
        case ExportField::Y:
            row.emplace_back(lambert() ? (*lambert())[1] : 0);
            break;
        case ExportField::Period:
            row.emplace_back(record.PERIOD ? QString::number(*record.PERIOD) : QString());
            break;
        case ExportField::Latitude:
            row.emplace_back(record.LATITUDE.value_or(0.0F));
            break;
        case ExportField::Longitude:
            row.emplace_back(record.LONGITUDE.value_or(0.0F));
            break;
        case ExportField::N1:
            row.emplace_back(record.N1.value_or(0));
            break;
        case ExportField::N2:
            row.emplace_back(record.N2.value_or(0));
            break;
        case ExportField::Datum:
            row.emplace_back(TextOf(record.DATUM));
            break;
        case ExportField::Original:
            row.emplace_back(TextOf(record.ORIGINAL));
            break;
        case ExportField::Date:
            row.emplace_back(TextOf(record.DATE).trimmed());
            break;
        case ExportField::Sex:
            row.emplace_back(TextOf(record.SEX).trimmed());
            break;
        case ExportField::Comment:
            row.emplace_back(TextOf(record.COMMENT).trimmed());
            break;
        case ExportField::Memo:
            row.emplace_back(memo);
            break;
        }
    }
    return row;
}

void RefuseValue(std::int64_t row, const QString& column, const QString& why) {
    throw common::AppError(3163,
                           QStringLiteral("Record %1, column \"%2\": %3. Nothing was written.")
                               .arg(row)
                               .arg(column, why)
                               .toStdString());
}

void CheckRow(const std::vector<ExportColumn>& columns, const std::vector<CellValue>& row,
              std::int64_t rowNumber) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ExportColumn& column = columns[i];
        if (column.type != ColumnType::Text) {
            continue;
        }
        const QString& text = std::get<QString>(row[i]);
        if (text.size() > column.size) {
            RefuseValue(rowNumber, column.name,
                        QStringLiteral("\"%1\" is longer than the %2 characters the column holds")
                            .arg(text)
                            .arg(column.size));
        }
    }
}

namespace {

// The double nearest a decimal text of at most nine digits ("-12.5", "1e-07"), as from_chars reads
// it: digits and power of ten both exact, one correctly rounded product or quotient is that
// nearest double (Clinger's fast path). Nothing for another text (inf, nan) or a power of ten
// beyond those a double holds.
std::optional<double> ShortDecimal(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    std::size_t i = negative ? 1 : 0;
    std::uint64_t digits = 0;
    int count = 0;
    int exponent = 0;
    bool point = false;
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (text[i] == '.') {
            point = true;
        } else if (text[i] >= '0' && text[i] <= '9' && ++count <= 15) {
            digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
            exponent -= point ? 1 : 0;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0 || count > 15) {
        return std::nullopt;
    }
    if (i < text.size()) {
        int written = 0;
        const char* first = text.data() + i + 1;
        first += *first == '+' ? 1 : 0;
        if (std::from_chars(first, text.data() + text.size(), written).ec != std::errc()) {
            return std::nullopt;
        }
        exponent += written;
    }
    if (exponent < -22 || exponent > 22) {
        return std::nullopt;
    }
    const auto mantissa = static_cast<double>(digits);
    const double value = exponent < 0 ? mantissa / common::kExactPowersOfTen[-exponent]
                                      : mantissa * common::kExactPowersOfTen[exponent];
    return negative ? -value : value;
}

} // namespace

double SingleAsDouble(float value) {
    char digits[64];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    if (const std::optional<double> exact =
            ShortDecimal(std::string_view(digits, static_cast<std::size_t>(end - digits)))) {
        return *exact;
    }
    // from_chars, unlike strtod, reads the "." whatever the user's locale.
    double result = 0.0;
    std::from_chars(digits, end, result);
    return result;
}

QString MemoText(const QString& title, const QString& comment) {
    return title + QStringLiteral(" / ") + comment;
}

} // namespace exchange

#pragma once

#include <QString>
#include <QVariant>
#include <array>

namespace gazetteer {

// One hit as the gazetteer holds it: the mapped fields, null where the record has no value and
// where the mapping names no field.
struct PlaceRecord {
    QVariant name;
    QVariant latitude;
    QVariant longitude;
    QVariant fips;
    QVariant province;
    QVariant feature;
    QVariant countryName;
    QVariant provinceName;
};

// The columns of a row of the place list after the name.
enum Column : int {
    kFips = 1,    // FIPS country code and province code, 4 characters
    kCountry,     // country name
    kProvince,    // province name
    kDesignation, // feature designation, 5 characters
    kLatDms,      // latitude in degrees, minutes, seconds, 10 characters
    kLonDms,      // longitude, 11 characters
    kLatitude,    // latitude as a signed decimal text
    kLongitude,   // longitude as a signed decimal text
    kLanguage,    // language code of the name
};
inline constexpr int kColumnCount = 10;

// A row of the place list: the name (column 0) and its nine further columns.
using PlaceRow = std::array<QString, kColumnCount>;

// How the row texts are built from the mapping.
struct RowFormat {
    int coordinatesType = 1; // 1 decimal degrees, 0 packed degrees-minutes-seconds
    bool hasFips = true;
    bool hasProvince = false;
    bool hasFeature = true;
    bool hasCountryName = true;
    bool hasProvinceName = true;
    QChar decimalPoint = QLatin1Char('.');

    bool operator==(const RowFormat&) const = default;
};

// Removes the script tags "<B n>", "</B n>", "<N n>", "</N n>", "<I n>", "</I n>" (n 1 to 6,
// written without the blank) and turns "/" into "-".
QString GeoFormat(QString name);

// The language code of a name: the digit two places after its first "<" (0 for another
// character, or when the name ends before it); 1 for a name without "<".
int LanguageCode(const QString& name);

// A signed decimal text with at least `integerDigits` digits before the separator and five
// after it ("+00.00000" / "-000.00000" pictures).
QString SignedDecimalText(double value, int integerDigits, QChar decimalPoint);

// Degrees, minutes and seconds of a latitude (`longitude` false) or longitude, decoded as
// `coordinatesType` says; empty for a type other than 0 and 1.
QString DmsText(double value, int coordinatesType, bool longitude);

// The text cut or blank-padded to `width` characters.
QString Fixed(const QString& text, int width);

// The error a coordinate value gives when a row is built: 94 (invalid use of null) for a null,
// 13 (type mismatch) for a value that is no number, 0 for a number.
int CoordinateError(const QVariant& value);

// The text of column `column` of the row listed for a record. Error 94 or 13 for a coordinate
// column whose value is null or no number.
QString ColumnText(const PlaceRecord& record, const RowFormat& format, int column);

// The row listed for a record. Error 94 (invalid use of null) when a coordinate is null.
PlaceRow MakeRow(const PlaceRecord& record, const RowFormat& format);

// The icon key of a designation ("STM", "MT", "PPL", "FRST", "FRM"); empty for none.
QString IconKey(const QString& designation);

// The coordinates the record editor receives from a listed row: its decimal texts with ","
// read as ".", each the number the text begins with, in single precision.
float RowCoordinate(const QString& decimalText);

// A single-precision value as the double written with the same shortest decimal text (4.84671F
// gives 4.84671, not 4.8467102...), so that its text shows no more digits than the single holds.
double AsDecimal(float value);

} // namespace gazetteer

#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

namespace document {

// One row of the working table DOVAZOV. Every field but Counter may be Null (an empty optional).
struct Record {
    std::int64_t Counter = 0; // assigned by the table when the row is added; the bookmark
    std::optional<std::int16_t> PERIOD;
    std::optional<float> LATITUDE;  // decimal degrees in the destination datum
    std::optional<float> LONGITUDE; // 999 in both marks a text that gave no position
    std::optional<std::int32_t> N1;
    std::optional<std::int32_t> N2;
    std::optional<QString> SEX;      // at most 1 character, may be empty
    std::optional<QString> DATUM;    // 1 to 5 characters, never empty
    std::optional<QString> ORIGINAL; // 1 to 24 characters, never empty
    std::optional<QString> DATE;     // at most 10 characters, may be empty
    std::optional<QString> COMMENT;  // unbounded, may be empty

    // A field by name, compared without case ("Period", "PERIOD"); an invalid QVariant for Null.
    // Error 3265 for a name that is not a field.
    QVariant field(QStringView name) const;
    // Stores a value the way the table converts it: a text into a number field is read as a
    // number ("1" -> 1); a value the field cannot hold raises the table's error (13 type mismatch,
    // 6 overflow, 3163 too long, 3315 empty text where none is allowed). Counter cannot be set.
    void setField(QStringView name, const QVariant& value);

    bool operator==(const Record&) const = default;
};

// The field names in table order.
inline constexpr const char* kFieldNames[] = {"Counter",  "PERIOD", "LATITUDE", "LONGITUDE",
                                              "N1",       "N2",     "SEX",      "DATUM",
                                              "ORIGINAL", "DATE",   "COMMENT"};
inline constexpr int kFieldCount = 11;

// The place of each field in table order, as in kFieldNames: also its column in a row read as
// Counter followed by the fields.
namespace column {
enum : int {
    kCounter,
    kPeriod,
    kLatitude,
    kLongitude,
    kN1,
    kN2,
    kSex,
    kDatum,
    kOriginal,
    kDate,
    kComment
};
} // namespace column

// Index of a field name in table order, compared without case; -1 when it is not a field.
int FieldIndex(QStringView name);

// Checks a record against the table's rules (sizes, empty texts); raises the table's error.
void ValidateRecord(const Record& record);

} // namespace document

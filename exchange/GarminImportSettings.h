#pragma once

#include <QString>
#include <cstdint>

namespace exchange {

// Where an imported waypoint's date or altitude comes from.
enum GarminSource : std::int16_t { kSourceNone = 0, kSourceFixed = 1, kSourceColumn = 2 };

// The options of a MapSource waypoint import, as kept in the settings store (application
// "DOVazov", section "ImportGarmin", one key per field named like it).
struct objGraminImport {
    std::int16_t Period = 1;
    std::int16_t DateImport = kSourceNone;
    QString DateFixed;
    std::int16_t DateBegin = 1;
    std::int16_t DateLength = 9;
    QString DateField;
    std::int16_t DateFormat = 0;
    std::int16_t AltitudeImport = kSourceNone;
    QString AltitudeFixed;
    QString AltitudeBegin = QStringLiteral("1");
    QString AltitudeLength = QStringLiteral("4");
    QString AltitudeField;

    bool operator==(const objGraminImport&) const = default;
};

inline constexpr const char* kGarminApplication = "DOVazov";
inline constexpr const char* kGarminSection = "ImportGarmin";

// Each key with its default; an integer key that does not hold a whole number in the 16-bit range
// (only an edited store holds one) reads as its default.
objGraminImport LoadGarminImportSettings();
// All twelve keys, numbers as decimal text.
void SaveGarminImportSettings(const objGraminImport& settings);

// The stored width of waypoint list column `column` (1-based), 1000 when absent or not a number.
int GarminColumnWidth(int column);
void SaveGarminColumnWidth(int column, int width);

} // namespace exchange

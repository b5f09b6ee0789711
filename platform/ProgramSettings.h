#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace platform {

// The program-wide variables of the main settings, each named after its key in the settings store.
// They hold zero or empty values until the settings are loaded at start-up (app/MainSettings.h);
// the dialogs and commands change them during the run, and they are written back at the quit.
// The language offset lives in StringTable.h (`Langue`), the current ellipsoid `Ellipsoid` and the
// datum codes in geodesy::Datums(), the window geometry and grid columns in the main window.
struct ProgramSettings {
    // Section Settings.
    QString LabelNumeric1;      // caption of N1
    QString LabelNumeric2;      // caption of N2
    QString Separator;          // joins texts in grouped saves and fill commands
    std::int16_t InputMode = 0; // index of the current input coordinate system
    std::int16_t UtmAjust = 0;  // grid snapping size index
    std::int16_t GridAjust = 0; // grid of the snapping
    // Export choices, non-zero exports the field: PERIOD, LATITUDE, LONGITUDE, N1, N2, DATUM,
    // ORIGINAL, DATE, COMMENT, SEX; and the extra coordinate system of the export.
    std::int16_t ExportPeriod = 0;
    std::int16_t ExportLatitude = 0;
    std::int16_t ExportLongitude = 0;
    std::int16_t ExportNumber1 = 0;
    std::int16_t ExportNumber2 = 0;
    std::int16_t ExportEllipsoid = 0;
    std::int16_t ExportOriginalCoord = 0;
    std::int16_t ExportDate = 0;
    std::int16_t ExportFreeField = 0;
    std::int16_t ExportSex = 0;
    std::int16_t ExportCoordSystem = 0;
    // Check-box values, 0 or 1: test them for non-zero.
    std::int16_t Silence = 0;  // non-zero suppresses the beeps
    std::int16_t AutoSave = 0; // automatic save on or off
    // Automatic-save period in timer ticks. The timer treats a value below 1 as 5
    // (EffectiveSaveInterval), so a stored 0 never makes it save at every tick.
    std::int16_t SaveInterval = 0;

    // Section Symbols: the region maps' symbols (colours 0x00BBGGRR).
    std::array<std::int32_t, 3> PeriodFillColor{}; // fill of periods 1 to 3
    std::int32_t MapStrokeColor = 0;
    float MapPointDiameter = 0.0F; // -1 automatic

    // Section Localities: the gazetteer database and its field mapping.
    QString File;
    std::int16_t Sort = 0;
    QString Table;
    QString ResearchField;
    QString LatitudeField;
    QString LongitudeField;
    QString FullNameField;
    QString FipsField;
    QString ProvinceField;
    QString FeatureField;
    std::int16_t CoordinatesType = 0;
    QString CountryName;
    QString ProvinceName;
    QString LocalitiesDatum; // key Datum: datum code of the gazetteer's coordinates
    QString DbType;          // connect string of the gazetteer database

    // Section Files: the recent files, newest first; empty entries are unused.
    std::array<QString, 4> LastFiles;
};

// The program's settings variables. Test fixtures reset them with ResetProgramSettings().
ProgramSettings& Settings();
void ResetProgramSettings();

// The automatic-save period the timer uses: SaveInterval, or 5 when it is below 1.
int EffectiveSaveInterval(const ProgramSettings& settings);

} // namespace platform

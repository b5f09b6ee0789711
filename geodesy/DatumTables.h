#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace geodesy {

// One loaded datum: a row of the datum table whose usage level is above 0.
struct DatumRec {
    std::int16_t da = 0;                 // semi-major axis of WGS84 minus the datum's, metres
    double df = 0.0;                     // flattening of WGS84 minus the datum's
    double dx = 0.0, dy = 0.0, dz = 0.0; // shift of the datum's centre to WGS84, metres
    std::int16_t ELLI_ID = 0;            // position of the datum's ellipsoid in EllipsoidTable
    std::string Code;                    // fixed text of 5 characters, blank-filled
    std::string Name;
    std::string Applic;
    std::int16_t Use = 0;
};

struct EllipsoidRec {
    std::int16_t ELLI_ID = 0;
    std::string ELLI; // fixed text of 2 characters
    std::string ELLI_NAME;
    double A = 0.0;     // semi-major axis, metres
    double f_Inv = 0.0; // inverse flattening
};

// Usage levels of a datum.
inline constexpr int kUseDegrees = 1;     // usable for degree coordinates
inline constexpr int kUseUtm = 2;         // also for UTM and MGRS coordinates
inline constexpr int kUseDestination = 4; // may be chosen as the destination datum

// Positions in GridDatums (numbered from 1, as the table is).
enum GridDatum : int { kEurM = 1, kNtf = 2, kOgbM = 3, kIrl = 4, kBel72 = 5, kMer = 6 };

// The program-wide datum variables. Tables are numbered from 1: element 0 of the vectors is unused,
// so that a datum's index and an ellipsoid's ELLI_ID address them directly.
struct DatumState {
    std::vector<DatumRec> DatumTable{1};
    std::vector<EllipsoidRec> EllipsoidTable{1};
    bool datumTableFilled = false; // the table was dimensioned by a load

    std::array<std::int16_t, 7> GridDatums{}; // [1..6]
    std::int16_t Wgs84Datum = 0;

    std::string DestCode = "EUR-M", FromCode = "EUR-M", UTMCode = "EUR-M";
    std::int16_t DestIndex = 0, FromIndex = 0, UTMIndex = 0;
    std::int16_t InputDatum = 0;

    // Current ellipsoid.
    std::int16_t Ellipsoid = 15;
    double EllipsoidA = 0.0, EllipsoidF = 0.0, EllipsoidB = 0.0;

    int datumCount() const { return static_cast<int>(DatumTable.size()) - 1; }
    int ellipsoidCount() const { return static_cast<int>(EllipsoidTable.size()) - 1; }

    // Element `index` (1-based); error 9 outside 1..count.
    const DatumRec& datum(int index) const;
    const EllipsoidRec& ellipsoid(int index) const;
};

// The program's datum state. Test fixtures reset it with ResetDatumState().
DatumState& Datums();
void ResetDatumState();

// A code with leading and trailing blanks removed.
std::string TrimCode(std::string_view code);
// A code cut or blank-filled to the 5 characters the table keeps.
std::string FixedCode(std::string_view code);

// Index of the first datum whose trimmed code equals the trimmed code given (exact,
// case-sensitive); 0 when there is none. Error 9 when the table was never filled.
std::int16_t DatumIndex(std::string_view code);

// Makes the ellipsoid of DatumTable(datum) current. Error 9 for an index outside the tables,
// error 11 for an inverse flattening of 0.
void SelectDatum(int datum);

// Records the grid datums and WGS84 for the datum loaded at `index` (the last row wins).
void NoteSystemDatum(const DatumRec& datum, std::int16_t index);

// DestIndex, FromIndex and UTMIndex from their codes; a code that is not loaded gives the index of
// "EUR-M" (the code keeps its text).
void SetDefaultDatumIndexes();

} // namespace geodesy

#pragma once

#include "document/Record.h"

#include <QString>
#include <functional>
#include <stdexcept>

namespace exchange {

// The exact text line 9 of a PCX5 waypoint file must hold: positions in degrees and decimal
// minutes.
inline constexpr const char* kPcx5PositionLine = "U  LAT LON DM";

// The file's positions are not in degrees and decimal minutes: refused before anything is read.
class Pcx5NotLatLonDm : public std::runtime_error {
public:
    Pcx5NotLatLonDm() : std::runtime_error("positions not in LAT LON DM") {}
};

// The five shift parameters of a PCX5 file's datum towards WGS84.
struct Pcx5Shift {
    double da = 0, df = 0, dx = 0, dy = 0, dz = 0;
};
Pcx5Shift Pcx5ShiftOf(const QString& line6);

// What a waypoint's COMMENT needs of the document: its free-field count and separator.
struct Pcx5Document {
    int freeFieldCount = 0;
    QString separator = QStringLiteral("/");
};

// One waypoint line (from line 12 on) as a row of DOVAZOV: PERIOD, N1, N2 1, DATUM FromCode,
// ORIGINAL "deg" with the position shifted from the file's datum to FromCode, DATE, COMMENT.
// Errors are the conversion's.
document::Record Pcx5Waypoint(const QString& line, const Pcx5Shift& shift, const Pcx5Document& doc);

// Reads a PCX5 waypoint file (lines 1 to 11 a header, then one waypoint a line; blank lines are
// skipped) and hands each waypoint's row to `sink`. Pcx5NotLatLonDm for a wrong line 9; AppErrors
// whose description names the line for a file that ends before line 12, a line that holds binary
// data or one too long, and any conversion error. `read`, when given, is told before each waypoint
// how much of the file has been read (0 to 1).
void ReadPcx5(const QString& path, const Pcx5Document& doc,
              const std::function<void(const document::Record&)>& sink,
              const std::function<void(double)>& read = {});

} // namespace exchange

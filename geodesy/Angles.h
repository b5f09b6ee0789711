#pragma once

#include "geodesy/CheckedMath.h"

#include <string>

namespace geodesy {

// π as the angle conversions write it (ten decimals), not the full double value.
inline constexpr double kPiTenDecimals = 3.1415926535;

// The Paris meridian in degrees east of Greenwich, 2 grads 59 69 213 (2°20'14.025", EPSG 8903):
// the origin of the longitudes in Paris grades and of the Lambert zones of France, everywhere.
inline constexpr double kParisMeridian = 2.33722917;
// Degrees in a grade.
inline constexpr double kDegreesPerGrade = 0.9;

// The degree factor of DegToRad. A limit that a converted angle is compared with is built with
// this same factor (limit degrees × kRadiansPerDegree), so that an angle of exactly the limit's
// degrees compares equal to it.
inline constexpr double kRadiansPerDegree = kPiTenDecimals / 180.0;

// Reads a packed "dms" value: optional "-", whole degrees, a point or comma, two digits of
// minutes, then whole seconds and their decimals without a second separator ("50.301525").
// The text is trimmed in place. d, m and s receive magnitudes, sign "+" or "-". An empty text
// leaves the outputs as they were. Error 6 when a part does not fit a single-precision number.
void ParseDms(std::string& text, float& d, float& m, float& s, std::string& sign);

// Decimal degrees of d, m, s; negative for any sign other than exactly "+".
double DmsToDecimal(float d, float m, float s, const std::string& sign);

// Splits an angle given in minutes of arc: d carries the sign (-0 for a small negative angle),
// m and s are magnitudes, all in single precision. Error 6 when the angle does not fit a single.
void MinutesToDms(double angle, float& d, float& m, float& s);

// An angle as it is shown in degrees, minutes and seconds: MinutesToDms's split of its magnitude,
// the seconds cut to `secondDecimals` decimals (rounded halves away from zero, or truncated) with
// no carry (59.97 seconds round to 60.0 in the same minute). The sign is kept apart: `negative` for
// an angle below zero whose shown figures are not all zero, so that -0.1246 shows as minus
// 0° 7' 28.6'' and -0.0 as 0° 0' 00.0''. Error 6 as MinutesToDms.
enum class SecondsCut { Round, Truncate };
struct ShownDms {
    bool negative = false;
    double degrees = 0.0;      // whole degrees
    double minutes = 0.0;      // whole minutes
    long long secondUnits = 0; // the seconds × 10^secondDecimals, whole
    int secondDecimals = 0;
    double seconds() const; // secondUnits as seconds
};
ShownDms DmsOfDegrees(double degrees, int secondDecimals, SecondsCut cut = SecondsCut::Round);

// Degrees of an angle in radians as RadToDeg works them out, without its check: for the loops and
// kernels that test their results themselves.
constexpr double DegreesOf(double radians) {
    return radians * 180.0 / kPiTenDecimals;
}

// Radians and degrees with π written 3.1415926535. Error 6 on overflow. Inline: every
// conversion of one point goes through them.
inline double RadToDeg(double x) {
    return checked::Finite(DegreesOf(x));
}
inline double DegToRad(double x) {
    return checked::Finite(kRadiansPerDegree * x);
}

} // namespace geodesy

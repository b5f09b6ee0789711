#pragma once

// The UTM grid by the series of the DMA manual TM 8358.2: meridian arc from the third flattening,
// forward terms T1 to T9, inverse by a footpoint latitude and the terms T10 to T17. The footpoint
// latitude comes in closed form from the arc's series inverted, not by iteration: it stays within
// 1e-14 rad of the arc's exact inverse, and needs one sine and cosine.
// Angles in radians, lengths in metres; the ellipsoid comes as semi-major axis a and flattening f.
// Arithmetic faults raise numbered errors (11 division by zero, 6 overflow, 5 invalid argument);
// no range is checked otherwise.

#include <span>

namespace geodesy {

inline constexpr double kUtmScale = 0.9996;
inline constexpr double kUtmFalseEasting = 500000.0;
inline constexpr double kUtmFalseNorthingSouth = 10000000.0;

// W = sqrt(1 - e2 sin^2 phi).
double CurvatureW(double e2, double phi);
// Radius of curvature in the prime vertical.
double RadiusN(double a, double e2, double phi);
// Radius of curvature in the meridian.
double RadiusM(double a, double e2, double phi);
// Meridian arc from the equator, from the coefficients A' to E' of the third flattening.
double MeridianArc(double A, double B, double C, double D, double E, double phi);

// Projects lat, lon into UTM. With zoneFixed 0 the zone is chosen from the longitude (clamped to
// 1..60) and written into `zone`; otherwise the point is projected into the zone `zone` holds.
// The northing carries the false northing of 10,000,000 m south of the equator.
void LatLonToUtm(double a, double f, double lat, double lon, int& zone, double& northing,
                 double& easting, int zoneFixed);

// The inverse. A negative northing means the southern hemisphere: it is replaced by its absolute
// value in the caller's variable. Note the order: northing before easting.
void UtmToLatLon(double a, double f, double& lat, double& lon, int zone, double& northing,
                 double easting);

// batch::*: the same over arrays of one length, in loops the compiler vectorises; point i of the
// outputs is what the one-point function gives for point i of the inputs, to a few micrometres. A
// point that function refuses raises its error once the loop has run, so the points before it are
// converted. Error 5 for arrays of different lengths.
namespace batch {
// With zoneFixed 0 each point's zone is chosen and written into zone[i]; otherwise each point is
// projected into the zone zone[i] holds.
void LatLonToUtm(double a, double f, std::span<const double> lat, std::span<const double> lon,
                 std::span<int> zone, std::span<double> northing, std::span<double> easting,
                 int zoneFixed);
// Point i in zone[i]; a negative northing means the southern hemisphere (the inputs are not
// changed).
void UtmToLatLon(double a, double f, std::span<const int> zone, std::span<const double> northing,
                 std::span<const double> easting, std::span<double> lat, std::span<double> lon);
} // namespace batch

} // namespace geodesy

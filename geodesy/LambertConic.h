#pragma once

#include "geodesy/ConeNearReference.h"
#include "geodesy/ConformalLatitude.h"

#include <cstdint>
#include <span>

namespace geodesy {

// Lambert conformal conic zones: the one-parallel zones (Nord Maroc 1, Sud Maroc 2, and the
// unused zones 3 to 6, 98 and 99) and the two-parallel zones (Lambert France I to IV 1 to 4,
// Lambert II etendu 5, and the unused zone 6). Positions are in decimal degrees on the zone's own
// ellipsoid, plane coordinates in metres; no datum shift happens here.

// The constants of one zone with the values derived from them (angles in radians).
struct LambertZone {
    double a = 0.0, invF = 0.0; // semi-major axis, inverse flattening
    double phi0 = 0.0, lambda0 = 0.0;
    double phi1 = 0.0, phi2 = 0.0; // standard parallels (two-parallel zones)
    double k0 = 1.0;               // scale factor at the origin (1 for the two-parallel zones)
    double FE = 0.0, FN = 0.0;
    double b = 0.0, e2 = 0.0, e = 0.0;
    double n = 0.0, F = 0.0, t0 = 0.0, rho0 = 0.0;
    double m1 = 0.0, m2 = 0.0; // two-parallel zones only
    double aFk0 = 0.0;         // a F k0, the radius factor of rho = a F k0 t^n
    ConformalSeries conformal; // conformal latitude series of the ellipsoid
    ConeReference origin;      // the latitude of origin, whose rho is rho0, as a reference parallel
};

// The zone's constants and derived values. A zone outside the tables raises error 5.
LambertZone InitLambertAfrica(std::int32_t zone);
LambertZone InitLambertFrance(std::int16_t zone);

// One-parallel zones.
void LatLonToLambertAfrica(double lat, double lon, double& x, double& y, std::int32_t zone);
void LambertAfricaToLatLon(double x, double y, double& lat, double& lon, std::int32_t zone);

// Two-parallel zones.
void LatLonToLambertFrance(double lat, double lon, double& x, double& y, std::int16_t zone);
void LambertFranceToLatLon(double x, double y, double& lat, double& lon, std::int16_t zone);

// batch::*: the same over arrays of one length, in loops the compiler vectorises: point i of the
// outputs is what the one-point function gives for point i of the inputs, to a few micrometres. A
// point that function refuses raises its error once the loop has run, so the points before it are
// converted. Error 5 for arrays of different lengths or a zone outside the tables.
namespace batch {
void LatLonToLambertAfrica(std::span<const double> lat, std::span<const double> lon,
                           std::span<double> x, std::span<double> y, std::int32_t zone);
void LambertAfricaToLatLon(std::span<const double> x, std::span<const double> y,
                           std::span<double> lat, std::span<double> lon, std::int32_t zone);
void LatLonToLambertFrance(std::span<const double> lat, std::span<const double> lon,
                           std::span<double> x, std::span<double> y, std::int16_t zone);
void LambertFranceToLatLon(std::span<const double> x, std::span<const double> y,
                           std::span<double> lat, std::span<double> lon, std::int16_t zone);
} // namespace batch

// Arithmetic faults (a point where the formulas have no value) raise error 5, 6 or 11; no result is
// ever NaN or infinite.

} // namespace geodesy

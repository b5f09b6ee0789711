#pragma once

#include <cstdint>

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
    double m1 = 0.0, m2 = 0.0;                 // two-parallel zones only
    double aFk0 = 0.0;                         // a F k0, the radius factor of rho = a F k0 t^n
    double chi2 = 0.0, chi4 = 0.0, chi6 = 0.0; // conformal to geodetic latitude series
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

// Arithmetic faults (a point where the formulas have no value) raise error 5, 6 or 11; no result is
// ever NaN or infinite.

} // namespace geodesy

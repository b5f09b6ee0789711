#include "geodesy/LambertConic.h"

#include "common/AppError.h"
#include "geodesy/Angles.h"
#include "geodesy/CheckedMath.h"

#include <array>
#include <cmath>
#include <string>

namespace geodesy {

namespace {

using checked::Finite;

constexpr double kHalfPi = 1.57079632675;

// The Paris meridian, 2 grads 59 69 213 (2deg 20' 14.025") east of Greenwich.
constexpr double kParisMeridian = 2.33722917;

// IEEE arithmetic raises nothing: the faults the formulas can meet are raised here by number.
double Pow(double base, double exponent) {
    if (base < 0.0 && exponent != std::trunc(exponent)) {
        throw common::AppError(common::kInvalidCall);
    }
    if (base == 0.0 && exponent < 0.0) {
        throw common::AppError(common::kDivisionByZero);
    }
    const double result = std::pow(base, exponent);
    if (!std::isfinite(result)) {
        throw common::AppError(common::kOverflow);
    }
    return result;
}

double Log(double x) {
    if (!(x > 0.0)) {
        throw common::AppError(common::kInvalidCall);
    }
    return std::log(x);
}

// t of a latitude (radians), tan(pi/4 - phi/2) / ((1 - e sin phi) / (1 + e sin phi))^(e/2), by
// its logarithm: ln t = -atanh(sin phi) + e atanh(e sin phi). The conversions work with ln t
// (t^n = exp(n ln t)), which needs no powers.
double LnT(const LambertZone& z, double phi) {
    const double s = std::sin(phi);
    return -std::atanh(s) + z.e * std::atanh(z.e * s);
}

double T(const LambertZone& z, double phi) {
    return Finite(std::exp(LnT(z, phi)));
}

// m of a latitude (radians).
double M(const LambertZone& z, double phi) {
    const double s = std::sin(phi);
    return common::Divide(std::cos(phi), std::sqrt(1.0 - z.e2 * s * s));
}

void DeriveEllipsoid(LambertZone& z) {
    const double a2 = z.a * z.a;
    z.b = (1.0 - 1.0 / z.invF) * z.a;
    z.e2 = (a2 - z.b * z.b) / a2;
    z.e = std::sqrt(z.e2);
    // Series from the conformal latitude back to the geodetic one (Snyder, Map Projections: A
    // Working Manual, 3-5).
    const double e4 = z.e2 * z.e2, e6 = e4 * z.e2;
    z.chi2 = z.e2 / 2 + 5 * e4 / 24 + e6 / 12;
    z.chi4 = 7 * e4 / 48 + 29 * e6 / 240;
    z.chi6 = 7 * e6 / 120;
}

struct AfricaRow {
    std::int32_t zone;
    double a, invF, phi0, lambda0, k0, FE, FN;
    bool radians; // phi0 and lambda0 are already in radians
};

constexpr std::array<AfricaRow, 8> kAfricaRows{{
    {1, 6378249.145, 293.465, 33.3, -5.4, 0.999625769, 500000, 300000, false},
    {2, 6378249.145, 293.465, 29.7, -5.4, 0.999615596, 500000, 300000, false},
    {3, 6378249.145, 293.465, 36.0, 2.7, 0.999625544, 500000, 300000, false},
    {4, 6378249.145, 293.465, 33.3, 2.7, 0.999625769, 500000, 300000, false},
    {5, 6378249.145, 293.465, 36.0, 9.9, 0.999625544, 500000, 300000, false},
    {6, 6378249.145, 293.465, 33.3, 9.9, 0.999625769, 500000, 300000, false},
    {98, 6378249.2, 293.46602, 0.604756586, 0.651880476, 0.9996256, 300000, 300000, true},
    {99, 6378206.4, 294.9787, 18.0, -77.0, 1.0, 250000, 150000, false},
}};

struct FranceRow {
    std::int16_t zone;
    double a, invF, lambda0, phi0, phi1, phi2, FE, FN;
};

// Zones 1 to 4 have their latitudes of origin at 55, 52, 49 and 46.85 grads; zone 5 (II etendu)
// is zone 2 with 2,000 km more false northing.
constexpr std::array<FranceRow, 6> kFranceRows{{
    {1, 6378249.2, 293.465, kParisMeridian, 49.5, 48.598523, 50.395912, 600000, 200000},
    {2, 6378249.2, 293.465, kParisMeridian, 46.8, 45.898919, 47.696014, 600000, 200000},
    {3, 6378249.2, 293.465, kParisMeridian, 44.1, 43.199291, 44.996094, 600000, 200000},
    {4, 6378249.2, 293.465, kParisMeridian, 42.165, 41.560388, 42.767663, 234.358, 185861.369},
    {5, 6378249.2, 293.465, kParisMeridian, 46.8, 45.898919, 47.696014, 600000, 2200000},
    {6, 6378206.4, 294.9786982, -96.0, 23.0, 33.0, 45.0, 0, 0},
}};

LambertZone MakeAfricaZone(const AfricaRow& row) {
    LambertZone z;
    z.a = row.a;
    z.invF = row.invF;
    z.phi0 = row.radians ? row.phi0 : DegToRad(row.phi0);
    z.lambda0 = row.radians ? row.lambda0 : DegToRad(row.lambda0);
    z.k0 = row.k0;
    z.FE = row.FE;
    z.FN = row.FN;
    z.n = std::sin(z.phi0);
    DeriveEllipsoid(z);
    const double m0 = M(z, z.phi0);
    z.t0 = T(z, z.phi0);
    z.F = common::Divide(m0, z.n * Pow(z.t0, z.n));
    z.rho0 = z.a * z.F * Pow(z.t0, z.n) * z.k0;
    z.aFk0 = z.a * z.F * z.k0;
    return z;
}

LambertZone MakeFranceZone(const FranceRow& row) {
    LambertZone z;
    z.a = row.a;
    z.invF = row.invF;
    z.lambda0 = DegToRad(row.lambda0);
    z.phi0 = DegToRad(row.phi0);
    z.phi1 = DegToRad(row.phi1);
    z.phi2 = DegToRad(row.phi2);
    z.FE = row.FE;
    z.FN = row.FN;
    DeriveEllipsoid(z);
    z.m1 = M(z, z.phi1);
    z.m2 = M(z, z.phi2);
    const double t1 = T(z, z.phi1);
    const double t2 = T(z, z.phi2);
    z.t0 = T(z, z.phi0);
    z.n = common::Divide(Log(z.m1) - Log(z.m2), Log(t1) - Log(t2));
    z.F = common::Divide(z.m1, z.n * Pow(t1, z.n));
    z.rho0 = z.a * z.F * Pow(z.t0, z.n);
    z.aFk0 = z.a * z.F;
    return z;
}

// The zones' constants never change: they are derived once, on first use.
const LambertZone& AfricaZone(std::int32_t zone) {
    static const std::array<LambertZone, kAfricaRows.size()> zones = [] {
        std::array<LambertZone, kAfricaRows.size()> all;
        for (std::size_t i = 0; i < kAfricaRows.size(); ++i) {
            all[i] = MakeAfricaZone(kAfricaRows[i]);
        }
        return all;
    }();
    for (std::size_t i = 0; i < kAfricaRows.size(); ++i) {
        if (kAfricaRows[i].zone == zone) {
            return zones[i];
        }
    }
    throw common::AppError(common::kInvalidCall, common::ErrorDescription(common::kInvalidCall) +
                                                     ": no one-parallel Lambert zone " +
                                                     std::to_string(zone));
}

const LambertZone& FranceZone(std::int16_t zone) {
    static const std::array<LambertZone, kFranceRows.size()> zones = [] {
        std::array<LambertZone, kFranceRows.size()> all;
        for (std::size_t i = 0; i < kFranceRows.size(); ++i) {
            all[i] = MakeFranceZone(kFranceRows[i]);
        }
        return all;
    }();
    if (zone < 1 || zone > static_cast<std::int16_t>(kFranceRows.size())) {
        throw common::AppError(common::kInvalidCall,
                               common::ErrorDescription(common::kInvalidCall) +
                                   ": no two-parallel Lambert zone " + std::to_string(zone));
    }
    return zones[static_cast<std::size_t>(zone - 1)];
}

void Forward(const LambertZone& z, double lat, double lon, double& x, double& y) {
    if (!(lat >= -90.0 && lat <= 90.0)) {
        throw common::AppError(common::kInvalidCall); // beyond the poles the cone has no value
    }
    const double phi = DegToRad(lat);
    const double lambda = DegToRad(lon);
    const double rho = Finite(z.aFk0 * std::exp(z.n * LnT(z, phi)));
    const double theta = z.n * (lambda - z.lambda0);
    const double newX = Finite(rho * std::sin(theta) + z.FE);
    const double newY = Finite(z.rho0 - rho * std::cos(theta) + z.FN);
    x = newX;
    y = newY;
}

// pi/2 - 2 atan(exp(-psi)) = atan(sinh psi), with its sine and cosine, from u = exp(-|psi|) so
// that nothing overflows towards the poles.
double GudermannianOf(double psi, double& sine, double& cosine) {
    const double u = std::exp(-std::fabs(psi));
    const double u2 = u * u;
    sine = std::copysign((1.0 - u2) / (1.0 + u2), psi);
    cosine = 2.0 * u / (1.0 + u2);
    return std::atan2(sine, cosine);
}

void Inverse(const LambertZone& z, double x, double y, double& lat, double& lon) {
    const double dx = x - z.FE;
    const double dy = y - z.FN;
    const double q = z.rho0 - dy;
    double rho = Finite(std::sqrt(Finite(dx * dx + q * q)));
    if (z.n < 0.0) {
        rho = -rho;
    }
    const double theta = std::atan(common::Divide(dx, q));
    const double lambda = theta / z.n + z.lambda0;

    double phiNew = kHalfPi; // rho 0: the pole of the cone
    const double ratio = rho / z.aFk0;
    if (ratio > 0.0) {
        // t' = ratio^(1/n) through the isometric latitude psi = -ln t'.
        const double psi = -std::log(ratio) / z.n;
        // The conformal latitude pi/2 - 2 atan(t'), corrected by its series in e^2, starts the
        // fixed-point iteration close enough that its first evaluation meets the tolerance.
        double sinChi = 0, cosChi = 0;
        const double chi = GudermannianOf(psi, sinChi, cosChi);
        const double s2 = 2.0 * sinChi * cosChi, c2 = cosChi * cosChi - sinChi * sinChi;
        const double s4 = 2.0 * s2 * c2;
        const double s6 = s4 * c2 + (c2 * c2 - s2 * s2) * s2;
        double phi = chi + z.chi2 * s2 + z.chi4 * s4 + z.chi6 * s6;
        // phi_new = pi/2 - 2 atan(t' ((1 - e sin phi) / (1 + e sin phi))^(e/2)), eleven
        // evaluations at most.
        for (int evaluation = 0; evaluation < 11; ++evaluation) {
            const double es = z.e * std::sin(phi);
            phiNew =
                GudermannianOf(psi + z.e * 0.5 * std::log((1.0 + es) / (1.0 - es)), sinChi, cosChi);
            if (std::fabs(phiNew - phi) < 1e-7) {
                break;
            }
            phi = phiNew;
        }
    }
    const double newLat = Finite(RadToDeg(phiNew));
    const double newLon = Finite(RadToDeg(lambda));
    lat = newLat;
    lon = newLon;
}

} // namespace

LambertZone InitLambertAfrica(std::int32_t zone) {
    return AfricaZone(zone);
}
LambertZone InitLambertFrance(std::int16_t zone) {
    return FranceZone(zone);
}

void LatLonToLambertAfrica(double lat, double lon, double& x, double& y, std::int32_t zone) {
    Forward(AfricaZone(zone), lat, lon, x, y);
}

void LambertAfricaToLatLon(double x, double y, double& lat, double& lon, std::int32_t zone) {
    Inverse(AfricaZone(zone), x, y, lat, lon);
}

void LatLonToLambertFrance(double lat, double lon, double& x, double& y, std::int16_t zone) {
    Forward(FranceZone(zone), lat, lon, x, y);
}

void LambertFranceToLatLon(double x, double y, double& lat, double& lon, std::int16_t zone) {
    Inverse(FranceZone(zone), x, y, lat, lon);
}

} // namespace geodesy

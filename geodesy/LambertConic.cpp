#include "geodesy/LambertConic.h"

#include "common/AppError.h"
#include "geodesy/Angles.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/PointBatch.h"
#include "geodesy/PointMath.h"
#include "geodesy/SmallSeries.h"
#include "geodesy/VectorMath.h"

#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace geodesy {

namespace {

using checked::Finite;

constexpr double kHalfPi = 1.57079632675;

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

// ln t of a latitude with sine s and cosine c:
// t = tan(pi/4 - phi/2) / ((1 - e s) / (1 + e s))^(e/2), ln t = ln(c / (1 + s)) + e atanh(e s).
// The conversions work with ln t (t^n = exp(n ln t)), which needs no powers.
template <typename Math>
GEODESY_ALWAYS_INLINE double LnTWith(const LambertZone& z, double s, double c) {
    return Math::Log(c / (1.0 + s)) + z.e * AtanhSmall(z.e * s);
}

double LnT(const LambertZone& z, double phi) {
    return LnTWith<vecmath::Library>(z, std::sin(phi), std::cos(phi));
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
    z.conformal = MakeConformalSeries(1.0 / z.invF);
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
    z.origin = MakeConeReference(z.phi0, z.e);
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
    z.origin = MakeConeReference(z.phi0, z.e);
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

// x and y of latitude phi and longitude lambda in radians. Written against the math functions of
// M: the library's or the inlined kernels' for one point, the vectorisable ones for the batches.
// For one point, near the latitude of origin, rho = rho0 (t / t0)^n by the series of
// ConeNearReference.h.
template <typename Math>
GEODESY_ALWAYS_INLINE void ForwardWith(const LambertZone& z, double phi, double lambda, double& x,
                                       double& y) {
    double rho = 0.0;
    NearParallel near;
    if (kShortcuts<Math> && LnTRatioNear(z.origin, phi, near)) {
        rho = z.rho0 * ExpSmall(z.n * near.lnRatio);
    } else {
        double s = 0.0, c = 0.0;
        Math::SinCos(phi, s, c);
        rho = z.aFk0 * Math::Exp(z.n * LnTWith<Math>(z, s, c));
    }
    double sinTheta = 0.0, cosTheta = 0.0;
    SinCosNearZero<Math>(z.n * (lambda - z.lambda0), sinTheta, cosTheta);
    x = rho * sinTheta + z.FE;
    y = z.rho0 - rho * cosTheta + z.FN;
}

GEODESY_VECTOR_CLONES
void Forward(const LambertZone& z, double lat, double lon, double& x, double& y) {
    // The inlined kernels first; a point outside their range, or one they cannot convert, takes
    // the library's functions and their checks.
    if (lat >= -90.0 && lat <= 90.0 && std::abs(lon) <= 1e5) {
        double px = 0.0, py = 0.0;
        ForwardWith<PointMath>(z, kRadiansPerDegree * lat, kRadiansPerDegree * lon, px, py);
        if (std::isfinite(px) && std::isfinite(py)) {
            x = px;
            y = py;
            return;
        }
    }
    if (!(lat >= -90.0 && lat <= 90.0)) {
        throw common::AppError(common::kInvalidCall); // beyond the poles the cone has no value
    }
    double newX = 0.0, newY = 0.0;
    ForwardWith<vecmath::Library>(z, DegToRad(lat), DegToRad(lon), newX, newY);
    x = Finite(newX);
    y = Finite(newY);
}

// Latitude and longitude in radians of x and y; false on the cone's pole (rho 0) and on the
// apex's parallel. The isometric latitude psi = -ln(rho / aFk0) / n gives the conformal latitude
// chi = atan(sinh psi), whose sine and cosine come from u = exp(-|psi|) so that nothing overflows
// towards the poles, and the geodetic latitude by the series of chi, without iterating.
template <typename Math>
GEODESY_ALWAYS_INLINE bool InverseWith(const LambertZone& z, double x, double y, double& phi,
                                       double& lambda) {
    const double dx = x - z.FE;
    const double q = z.rho0 - (y - z.FN);
    const double rhoAbs = std::sqrt(dx * dx + q * q);
    const double rho = z.n < 0.0 ? -rhoAbs : rhoAbs;
    const double tangent = dx / q;
    lambda = Math::Atan2(tangent, 1.0) / z.n + z.lambda0;
    const double ratio = rho / z.aFk0;
    const double psi = -Math::Log(ratio) / z.n;
    const double u = Math::Exp(-std::abs(psi));
    const double u2 = u * u, w = 1.0 / (1.0 + u2);
    const double sinChi = vecmath::WithSignOf((1.0 - u2) * w, psi);
    const double cosChi = 2.0 * u * w;
    phi = Math::Atan2(sinChi, cosChi) + SinSeries(z.conformal.toGeodetic, 2.0 * sinChi * cosChi,
                                                  cosChi * cosChi - sinChi * sinChi);
    return ratio > 0.0 && std::abs(tangent) <= std::numeric_limits<double>::max();
}

GEODESY_VECTOR_CLONES
void Inverse(const LambertZone& z, double x, double y, double& lat, double& lon) {
    // The inlined kernels first; a point they cannot convert takes the library's functions and
    // their checks.
    if (DegreesByKernels(
            [&z, x, y](double& phi, double& lambda) {
                return InverseWith<PointMath>(z, x, y, phi, lambda);
            },
            lat, lon)) {
        return;
    }
    const double dx = x - z.FE;
    const double q = z.rho0 - (y - z.FN);
    Finite(std::sqrt(Finite(dx * dx + q * q)));
    common::Divide(dx, q); // the apex's parallel
    double phi = 0.0, lambda = 0.0;
    if (!InverseWith<vecmath::Library>(z, x, y, phi, lambda)) {
        phi = kHalfPi; // rho 0: the pole of the cone
    }
    const double newLat = Finite(RadToDeg(phi));
    const double newLon = Finite(RadToDeg(lambda));
    lat = newLat;
    lon = newLon;
}

// The vectorised loops of the batches; a point they cannot convert comes out as NaN.
GEODESY_VECTOR_CLONES
void ForwardLoop(const LambertZone& zone, const double* lat, const double* lon, double* x,
                 double* y, std::size_t count) {
    const LambertZone z = zone; // a copy the stores cannot alias
    for (std::size_t i = 0; i < count; ++i) {
        ForwardWith<vecmath::Vector>(z, kRadiansPerDegree * lat[i], kRadiansPerDegree * lon[i],
                                     x[i], y[i]);
    }
}

GEODESY_VECTOR_CLONES
void InverseLoop(const LambertZone& zone, const double* x, const double* y, double* lat,
                 double* lon, std::size_t count) {
    const LambertZone z = zone;
    for (std::size_t i = 0; i < count; ++i) {
        double phi = 0.0, lambda = 0.0;
        const bool ok = InverseWith<vecmath::Vector>(z, x[i], y[i], phi, lambda);
        lat[i] = ok ? DegreesOf(phi) : vecmath::kNaN;
        lon[i] = DegreesOf(lambda);
    }
}

// The one-point conversion of a zone family, which the batches fall back on.
template <typename ZoneNumber>
using OnePoint = void (*)(double, double, double&, double&, ZoneNumber);

template <typename ZoneNumber>
void ForwardBatch(const LambertZone& z, std::span<const double> lat, std::span<const double> lon,
                  std::span<double> x, std::span<double> y, ZoneNumber zone,
                  OnePoint<ZoneNumber> one) {
    batch::RequireSameSize(lat.size(), lon.size(), x.size(), y.size());
    ForwardLoop(z, lat.data(), lon.data(), x.data(), y.data(), lat.size());
    batch::RedoRefused(
        lat, lon, x, y,
        [](double la, double lo) { return la >= -90.0 && la <= 90.0 && std::abs(lo) <= 1e5; },
        [zone, one](double la, double lo, double& px, double& py) { one(la, lo, px, py, zone); });
}

template <typename ZoneNumber>
void InverseBatch(const LambertZone& z, std::span<const double> x, std::span<const double> y,
                  std::span<double> lat, std::span<double> lon, ZoneNumber zone,
                  OnePoint<ZoneNumber> one) {
    batch::RequireSameSize(x.size(), y.size(), lat.size(), lon.size());
    InverseLoop(z, x.data(), y.data(), lat.data(), lon.data(), x.size());
    batch::RedoRefused(
        x, y, lat, lon, [](double, double) { return true; },
        [zone, one](double px, double py, double& la, double& lo) { one(px, py, la, lo, zone); });
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

void batch::LatLonToLambertAfrica(std::span<const double> lat, std::span<const double> lon,
                                  std::span<double> x, std::span<double> y, std::int32_t zone) {
    ForwardBatch(AfricaZone(zone), lat, lon, x, y, zone, &geodesy::LatLonToLambertAfrica);
}

void batch::LambertAfricaToLatLon(std::span<const double> x, std::span<const double> y,
                                  std::span<double> lat, std::span<double> lon, std::int32_t zone) {
    InverseBatch(AfricaZone(zone), x, y, lat, lon, zone, &geodesy::LambertAfricaToLatLon);
}

void batch::LatLonToLambertFrance(std::span<const double> lat, std::span<const double> lon,
                                  std::span<double> x, std::span<double> y, std::int16_t zone) {
    ForwardBatch(FranceZone(zone), lat, lon, x, y, zone, &geodesy::LatLonToLambertFrance);
}

void batch::LambertFranceToLatLon(std::span<const double> x, std::span<const double> y,
                                  std::span<double> lat, std::span<double> lon, std::int16_t zone) {
    InverseBatch(FranceZone(zone), x, y, lat, lon, zone, &geodesy::LambertFranceToLatLon);
}

} // namespace geodesy

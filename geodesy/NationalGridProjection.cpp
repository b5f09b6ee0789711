#include "geodesy/NationalGridProjection.h"

#include "common/AppError.h"
#include "geodesy/Angles.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/ConformalLatitude.h"
#include "geodesy/PointBatch.h"
#include "geodesy/PointMath.h"
#include "geodesy/SmallSeries.h"
#include "geodesy/VectorMath.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace geodesy {

namespace {

// Krüger's series of the transverse Mercator for one ellipsoid and scale factor, to the fourth
// power of the third flattening n (the first omitted terms are below 1e-7 m for these ellipsoids).
// The conformal latitude and its inverse, the footpoint latitude, come from series as well, so
// neither direction iterates.
struct KruegerSeries {
    double kA = 0.0; // k0 x rectifying radius
    double inverseKA = 0.0;
    std::array<double, 4> alpha{};
    std::array<double, 4> beta{};
    ConformalSeries conformal;
    // A latitude in the middle of the grid, which its latitudes and the xi of its northings lie
    // within 0.125 rad of.
    ReferenceAngle middle;
};

KruegerSeries MakeSeries(double a, double inverseF, double k0) {
    const double f = 1.0 / inverseF;
    const double n = f / (2.0 - f);
    const double n2 = n * n, n3 = n2 * n, n4 = n3 * n;
    KruegerSeries s;
    s.kA = k0 * a / (1.0 + n) * (1.0 + n2 / 4.0 + n4 / 64.0);
    s.inverseKA = 1.0 / s.kA;
    s.alpha = {n / 2.0 - 2.0 * n2 / 3.0 + 5.0 * n3 / 16.0 + 41.0 * n4 / 180.0,
               13.0 * n2 / 48.0 - 3.0 * n3 / 5.0 + 557.0 * n4 / 1440.0,
               61.0 * n3 / 240.0 - 103.0 * n4 / 140.0, 49561.0 * n4 / 161280.0};
    s.beta = {n / 2.0 - 2.0 * n2 / 3.0 + 37.0 * n3 / 96.0 - n4 / 360.0,
              n2 / 48.0 + n3 / 15.0 - 437.0 * n4 / 1440.0, 17.0 * n3 / 480.0 - 37.0 * n4 / 840.0,
              4397.0 * n4 / 161280.0};
    s.conformal = MakeConformalSeries(f);
    return s;
}

// Plane coordinates (x east of the central meridian, y from the equator, both scaled by k0) of a
// latitude and a longitude difference in radians; false 90 degrees from the central meridian on
// the equator, where the easting is infinite. Written against the math functions of M: the
// library's or the inlined kernels' for one point, the vectorisable ones for the batches.
template <typename M>
GEODESY_ALWAYS_INLINE bool ForwardWith(const KruegerSeries& s, double phi, double dlam, double& x,
                                       double& y) {
    double sinPhi = 0.0, cosPhi = 0.0, sinLam = 0.0, cosLam = 0.0, sinChi = 0.0, cosChi = 0.0;
    SinCosNear<M>(s.middle, phi, sinPhi, cosPhi);
    SinCosNearZero<M>(dlam, sinLam, cosLam);
    ConformalSinCos(s.conformal, sinPhi, cosPhi, sinChi, cosChi);
    // Spherical transverse Mercator of the conformal sphere (latitude chi): tanh eta' = b,
    // tan xi' = tan chi / cos dlam, and cosh^2 eta' = 1 / (1 - b^2), taken as 1 / d2 without
    // cancellation. The doubles of xi' and eta' that the series take follow without a root.
    const double cc = cosChi * cosLam;
    const double b = sinLam * cosChi;
    const double d2 = sinChi * sinChi + cc * cc;
    const double inv = 1.0 / d2;
    // eta' = atanh b, the log of (1 + |b|)^2 / d2; by its series near the central meridian.
    const double etap =
        kShortcuts<M> && std::abs(b) <= 0.1
            ? AtanhSmall(b)
            : vecmath::WithSignOf(0.5 * M::Log((1.0 + std::abs(b)) * (1.0 + std::abs(b)) * inv), b);
    double xip = 0.0;
    if constexpr (kShortcuts<M>) {
        // xi' = chi + atan u, u = sin chi cos chi (1 - cos dlam) / (sin^2 chi + cos^2 chi
        // cos dlam), by its series near the central meridian.
        const double chi = phi + SinSeries(s.conformal.toConformal, 2.0 * sinPhi * cosPhi,
                                           cosPhi * cosPhi - sinPhi * sinPhi);
        const double u =
            sinChi * cosChi * (1.0 - cosLam) / (sinChi * sinChi + cosChi * cosChi * cosLam);
        xip = cosLam > 0.0 && std::abs(u) <= 0.01 ? chi + AtanSmall(u) : M::Atan2(sinChi, cc);
    } else {
        xip = M::Atan2(sinChi, cc);
    }
    double re = 0.0, im = 0.0;
    SinSeriesComplex(s.alpha, 2.0 * sinChi * cc * inv, (cc * cc - sinChi * sinChi) * inv,
                     2.0 * b * inv, (1.0 + b * b) * inv, re, im);
    x = s.kA * (etap + im);
    y = s.kA * (xip + re);
    return d2 != 0.0;
}

void Forward(const KruegerSeries& s, double phi, double dlam, double& x, double& y) {
    if (!ForwardWith<vecmath::Library>(s, phi, dlam, x, y)) {
        throw common::AppError(common::kOverflow); // no finite easting
    }
}

// Latitude and longitude difference in radians of x = k0 eta', y = k0 xi' (conformal sphere).
// On a pole phi is +-pi/2 and dlam 0.
template <typename M>
GEODESY_ALWAYS_INLINE void FromConformalSphere(const KruegerSeries& s, double xip, double sinXip,
                                               double cosXip, double sinhEtap, double& phi,
                                               double& dlam) {
    const double c = std::max(0.0, cosXip); // past a pole is the pole
    const double r2 = sinhEtap * sinhEtap + c * c;
    const double r = std::sqrt(r2);
    // Conformal latitude chi, tan chi = sin xi' / r, then the footpoint (geodetic) latitude.
    double chi = 0.0;
    if constexpr (kShortcuts<M>) {
        // Near the central meridian, by series: dlam = atan(sinh eta' / c), and chi = xi' + atan w,
        // w = sin xi' (c - r) / (r c + sin^2 xi') with c - r written without cancellation.
        const double t = sinhEtap / c;
        dlam = std::abs(t) <= 0.125 ? AtanEighth(t) : M::Atan2(sinhEtap, c);
        const double w = -sinXip * sinhEtap * sinhEtap / ((c + r) * (r * c + sinXip * sinXip));
        chi = c > 0.0 && std::abs(w) <= 0.01 ? xip + AtanSmall(w) : M::Atan2(sinXip, r);
    } else {
        dlam = M::Atan2(sinhEtap, c);
        chi = M::Atan2(sinXip, r);
    }
    const double q2Inv = 1.0 / (sinXip * sinXip + r2);
    phi = chi + SinSeries(s.conformal.toGeodetic, 2.0 * sinXip * r * q2Inv,
                          (r2 - sinXip * sinXip) * q2Inv);
}

// The inverse of Forward near the grid, where the series' corrections to xi and eta stay below
// 0.01 and their sines, cosines and exponentials come from Taylor series (exact to 1e-18). False
// elsewhere and on a pole.
template <typename M>
GEODESY_ALWAYS_INLINE bool InverseNear(const KruegerSeries& s, double x, double y, double& phi,
                                       double& dlam) {
    // For one point, the multiplications by 1 / kA save the latency of the divisions.
    const double xi = kShortcuts<M> ? y * s.inverseKA : y / s.kA;
    const double eta = kShortcuts<M> ? x * s.inverseKA : x / s.kA;
    double sinXi = 0.0, cosXi = 0.0;
    SinCosNear<M>(s.middle, xi, sinXi, cosXi);
    double sinhEta = 0.0, coshEta = 0.0;
    if (kShortcuts<M> && std::abs(eta) <= 0.1) {
        SinhCoshSmall(eta, sinhEta, coshEta);
    } else {
        const double ex = M::Exp(eta), exInv = 1.0 / ex;
        sinhEta = (ex - exInv) * 0.5;
        coshEta = (ex + exInv) * 0.5;
    }
    double re = 0.0, im = 0.0;
    SinSeriesComplex(s.beta, 2.0 * sinXi * cosXi, cosXi * cosXi - sinXi * sinXi,
                     2.0 * sinhEta * coshEta, coshEta * coshEta + sinhEta * sinhEta, re, im);
    // xi' = xi - re and eta' = eta - im.
    const double r2 = re * re;
    const double sinRe = re * (1.0 - r2 * (1.0 / 6.0) * (1.0 - r2 * (1.0 / 20.0)));
    const double cosRe = 1.0 - r2 * 0.5 * (1.0 - r2 * (1.0 / 12.0) * (1.0 - r2 * (1.0 / 30.0)));
    const double sinXip = sinXi * cosRe - cosXi * sinRe;
    const double cosXip = cosXi * cosRe + sinXi * sinRe;
    const double i2 = im * im;
    const double sinhIm = im * (1.0 + i2 * (1.0 / 6.0) * (1.0 + i2 * (1.0 / 20.0)));
    const double coshIm = 1.0 + i2 * 0.5 * (1.0 + i2 * (1.0 / 12.0) * (1.0 + i2 * (1.0 / 30.0)));
    const double sinhEtap = sinhEta * coshIm - coshEta * sinhIm;
    FromConformalSphere<M>(s, xi - re, sinXip, cosXip, sinhEtap, phi, dlam);
    return std::abs(re) < 0.01 && std::abs(im) < 0.01 &&
           sinhEtap * sinhEtap + std::max(0.0, cosXip) * std::max(0.0, cosXip) != 0.0;
}

// The inverse of Forward: latitude and longitude difference in radians.
void Inverse(const KruegerSeries& s, double x, double y, double& phi, double& dlam) {
    if (InverseNear<vecmath::Library>(s, x, y, phi, dlam)) {
        return;
    }
    // Far off the grid, or a pole: the corrections' sines and exponentials in full.
    const double xi = y / s.kA, eta = x / s.kA;
    const double sinXi = std::sin(xi), cosXi = std::cos(xi);
    const double sinhEta = std::sinh(eta), coshEta = std::cosh(eta);
    double re = 0.0, im = 0.0;
    SinSeriesComplex(s.beta, 2.0 * sinXi * cosXi, cosXi * cosXi - sinXi * sinXi,
                     2.0 * sinhEta * coshEta, coshEta * coshEta + sinhEta * sinhEta, re, im);
    const double xip = xi - re;
    const double sinhEtap = std::sinh(eta - im);
    if (sinhEtap == 0.0 && std::cos(xip) <= 0.0) { // a pole
        phi = std::copysign(std::acos(0.0), xip);
        dlam = 0.0;
        return;
    }
    FromConformalSphere<vecmath::Library>(s, xip, std::sin(xip), std::cos(xip), sinhEtap, phi,
                                          dlam);
}

struct NationalGrid {
    NationalGridDef def;
    KruegerSeries series;
};

NationalGrid MakeGrid(double a, double inverseF, double lat0, double lon0, double k0, double fe,
                      double fn, double middleLatitude) {
    NationalGrid grid{{a, inverseF, lat0, lon0, k0, fe, fn, 500000.0 - fe, 0.0},
                      MakeSeries(a, inverseF, k0)};
    grid.series.middle = MakeReferenceAngle(DegToRad(middleLatitude));
    double x = 0.0, y = 0.0;
    Forward(grid.series, DegToRad(lat0), 0.0, x, y);
    grid.def.northingK = y - fn;
    return grid;
}

const NationalGrid* FindGrid(int type) {
    // Irish grid on the Modified Airy ellipsoid of its datum "IRL" (EPSG:29902); British National
    // Grid on Airy 1830 (EPSG:27700), in the order of their types; the last figure is a latitude in
    // the middle of each.
    static_assert(kIrishGrid == 0 && kBritishGrid == 1);
    static const std::array<NationalGrid, 2> grids{
        MakeGrid(6377340.189, 299.3249646, 53.5, -8.0, 1.000035, 200000.0, 250000.0, 53.5),
        MakeGrid(6377563.396, 299.3249646, 49.0, -2.0, 0.9996012717, 400000.0, -100000.0, 55.0)};
    return type == kIrishGrid || type == kBritishGrid ? &grids[static_cast<std::size_t>(type)]
                                                      : nullptr;
}

const NationalGrid& GridOrRaise(int type) {
    const NationalGrid* grid = FindGrid(type);
    if (grid == nullptr) {
        // Without constants the first division of the projection is by zero.
        throw common::AppError(common::kDivisionByZero);
    }
    return *grid;
}

// The vectorised loops of the batches; a point they cannot convert comes out as NaN.
GEODESY_VECTOR_CLONES
void ForwardLoop(const NationalGrid& grid, const double* lat, const double* lon, double* easting,
                 double* northing, std::size_t count) {
    const NationalGrid g = grid; // a copy the stores cannot alias
    for (std::size_t i = 0; i < count; ++i) {
        double x = 0.0, y = 0.0;
        const bool ok = ForwardWith<vecmath::Vector>(
            g.series, kRadiansPerDegree * lat[i], kRadiansPerDegree * (lon[i] - g.def.lon0), x, y);
        easting[i] = ok ? x + g.def.falseEasting : vecmath::kNaN;
        northing[i] = y - g.def.northingK;
    }
}

GEODESY_VECTOR_CLONES
void InverseLoop(const NationalGrid& grid, const double* northing, const double* easting,
                 double* lat, double* lon, std::size_t count) {
    const NationalGrid g = grid;
    for (std::size_t i = 0; i < count; ++i) {
        double phi = 0.0, dlam = 0.0;
        const bool ok =
            InverseNear<vecmath::Vector>(g.series, easting[i] - 500000.0, northing[i], phi, dlam);
        const double latitude = DegreesOf(phi);
        const double longitude = g.def.lon0 + DegreesOf(dlam);
        lat[i] = ok ? std::min(std::max(latitude, -90.0), 90.0) : vecmath::kNaN;
        lon[i] = longitude > 180.0     ? longitude - 360.0
                 : longitude <= -180.0 ? longitude + 360.0
                                       : longitude;
    }
}

// Latitude and longitude in degrees of a latitude and a longitude difference in radians, with
// RadToDeg's factor and checks, inlined.
GEODESY_ALWAYS_INLINE void ToDegrees(const NationalGrid& grid, double phi, double dlam, double& lat,
                                     double& lon) {
    // The degree factor with pi to ten decimals can carry a pole a hair past 90.
    const double latitude = std::clamp(checked::Finite(DegreesOf(phi)), -90.0, 90.0);
    double longitude = checked::Finite(grid.def.lon0 + checked::Finite(DegreesOf(dlam)));
    if (longitude > 180.0) {
        longitude -= 360.0;
    } else if (longitude <= -180.0) {
        longitude += 360.0;
    }
    lat = latitude;
    lon = longitude;
}

} // namespace

const NationalGridDef* FindNationalGrid(int type) {
    const NationalGrid* grid = FindGrid(type);
    return grid == nullptr ? nullptr : &grid->def;
}

GEODESY_VECTOR_CLONES
void LatLonToGrid(int type, double lat, double lon, double& easting, double& northing) {
    const NationalGrid& grid = GridOrRaise(type);
    double fromMeridian = lon - grid.def.lon0;
    // The inlined kernels first; a point outside their range, or one they cannot convert, takes
    // the library's functions and their checks.
    if (std::abs(lat) <= 90.0 && std::abs(fromMeridian) <= 180.0) {
        double x = 0.0, y = 0.0;
        const bool ok = ForwardWith<PointMath>(grid.series, kRadiansPerDegree * lat,
                                               kRadiansPerDegree * fromMeridian, x, y);
        const double e = x + grid.def.falseEasting, n = y - grid.def.northingK;
        if (ok && std::isfinite(e) && std::isfinite(n)) {
            easting = e;
            northing = n;
            return;
        }
    }
    checked::Finite(lat);
    checked::Finite(lon);
    if (std::abs(lat) > 90.0) {
        throw common::AppError(common::kInvalidCall);
    }
    if (std::abs(fromMeridian) > 180.0) {
        fromMeridian = std::remainder(fromMeridian, 360.0);
    }
    const double dlam = DegToRad(fromMeridian);
    double x = 0.0, y = 0.0;
    Forward(grid.series, DegToRad(lat), dlam, x, y);
    easting = checked::Finite(x + grid.def.falseEasting);
    northing = checked::Finite(y - grid.def.northingK);
}

GEODESY_VECTOR_CLONES
void GridToLatLon(int type, double northing, double easting, double& lat, double& lon) {
    const NationalGrid& grid = GridOrRaise(type);
    double phi = 0.0, dlam = 0.0;
    // The inlined kernels first, near the grid; anything else takes the library's functions.
    if (InverseNear<PointMath>(grid.series, easting - 500000.0, northing, phi, dlam) &&
        std::isfinite(phi) && std::isfinite(dlam)) {
        ToDegrees(grid, phi, dlam, lat, lon);
        return;
    }
    checked::Finite(northing);
    checked::Finite(easting);
    Inverse(grid.series, easting - 500000.0, northing, phi, dlam);
    ToDegrees(grid, phi, dlam, lat, lon);
}

void batch::LatLonToGrid(int type, std::span<const double> lat, std::span<const double> lon,
                         std::span<double> easting, std::span<double> northing) {
    batch::RequireSameSize(lat.size(), lon.size(), easting.size(), northing.size());
    const NationalGrid& grid = GridOrRaise(type);
    ForwardLoop(grid, lat.data(), lon.data(), easting.data(), northing.data(), lat.size());
    batch::RedoRefused(
        lat, lon, easting, northing,
        [&grid](double la, double lo) {
            return std::abs(la) <= 90.0 && std::abs(lo - grid.def.lon0) <= 180.0;
        },
        [type](double la, double lo, double& e, double& n) {
            geodesy::LatLonToGrid(type, la, lo, e, n);
        });
}

void batch::GridToLatLon(int type, std::span<const double> northing,
                         std::span<const double> easting, std::span<double> lat,
                         std::span<double> lon) {
    batch::RequireSameSize(northing.size(), easting.size(), lat.size(), lon.size());
    const NationalGrid& grid = GridOrRaise(type);
    InverseLoop(grid, northing.data(), easting.data(), lat.data(), lon.data(), northing.size());
    batch::RedoRefused(
        northing, easting, lat, lon, [](double, double) { return true; },
        [type](double n, double e, double& la, double& lo) {
            geodesy::GridToLatLon(type, n, e, la, lo);
        });
}

} // namespace geodesy

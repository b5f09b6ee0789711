#include "geodesy/Lambert72.h"

#include "common/AppError.h"
#include "geodesy/Angles.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/ConeNearReference.h"
#include "geodesy/ConformalLatitude.h"
#include "geodesy/PointBatch.h"
#include "geodesy/PointMath.h"
#include "geodesy/SmallSeries.h"
#include "geodesy/VectorMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace geodesy {

namespace {

// International 1924 ellipsoid: a = 6,378,388 m (carried by the radius factor), f = 1/297.
constexpr double kF = 1.0 / 297.0;
constexpr double kN = 0.7716421928;      // cone constant
constexpr double kAF = 11565915.812935;  // radius factor: rho = aF t^n
constexpr double kLambda0 = 0.076042943; // central meridian, 4 deg 21' 24.983" E, radians
constexpr double kX0 = 150000.01256;     // false easting
constexpr double kY0 = 5400088.4378;     // false northing of the cone's apex
constexpr double kAlpha = 0.000142043;   // rotation of the Belgian variant, 29.2985", radians
constexpr double kQuarterPi = 0.785398163375;
constexpr double kHalfPi = 1.57079632675;
// Conformal latitude and its inverse on the ellipsoid: the cone's t = tan(pi/4 - chi/2), so the
// inverse needs no iteration.
constexpr ConformalSeries kConformal = MakeConformalSeries(kF);
// The truncated pi/4 above falls short of the true one by this angle.
constexpr double kQuarterPiShort = vecmath::kQuarterPi - kQuarterPi;

// The parallel that the one-point forward measures from, 50 deg 30' N between the standard
// parallels, and its rho on the untruncated cone.
struct ReferenceParallel {
    ConeReference cone;
    double rho = 0.0;
};

const ReferenceParallel& Reference() {
    static const ReferenceParallel reference = [] {
        ReferenceParallel r;
        r.cone = MakeConeReference(50.5 * kRadiansPerDegree, std::sqrt(kF * (2.0 - kF)));
        r.rho = kAF * std::exp(kN * (r.cone.eAtanh - std::atanh(r.cone.latitude.sine)));
        return r;
    }();
    return reference;
}

// rho of latitude phi near the reference parallel (ConeNearReference.h); false farther from it.
// The truncated pi/4 takes a factor 1 - 2 n epsilon cosh(psi) off rho (to within 1e-20), epsilon
// the truncation and cosh(psi) = 1 / cos chi = (cosh w - s sinh w) / c with w = e atanh(e s), to
// within 1e-7 of itself.
GEODESY_ALWAYS_INLINE bool RhoNearReference(double phi, double& rho) {
    const ReferenceParallel& ref = Reference();
    NearParallel p;
    if (!LnTRatioNear(ref.cone, phi, p)) {
        return false;
    }
    const double w = p.eAtanh;
    const double coshPsi = (1.0 - p.sinPhi * w + 0.5 * w * w) / p.cosPhi;
    rho = ref.rho * ExpSmall(kN * p.lnRatio) * (1.0 - 2.0 * kN * kQuarterPiShort * coshPsi);
    return true;
}

// x and y of latitude phi and longitude lambda in radians; false at the apex (t = 0), whose
// logarithm only the library's takes (to -infinity, and rho to 0). t = tan(pi/4 - chi/2) =
// cos chi / (1 + sin chi) of the conformal latitude chi, moved by the truncation of pi/4;
// rho = aF t^n = aF exp(n ln t). Written against the math functions of M: the library's or the
// inlined kernels' for one point, the vectorisable ones for the batches.
template <typename M>
GEODESY_ALWAYS_INLINE bool ForwardWith(double phi, double lambda, double& x, double& y) {
    double rho = 0.0;
    bool ok = true;
    if (!(kShortcuts<M> && RhoNearReference(phi, rho))) {
        double sinPhi = 0.0, cosPhi = 0.0, sinChi = 0.0, cosChi = 0.0;
        M::SinCos(phi, sinPhi, cosPhi);
        ConformalSinCos(kConformal, sinPhi, cosPhi, sinChi, cosChi);
        const double tExact = cosChi / (1.0 + sinChi);
        // tan(a - e) = tan a - e (1 + tan^2 a) to within e^2, 5e-22 here; the north pole, a
        // rounding step past the apex, is the apex.
        const double t = std::max(tExact - kQuarterPiShort * (1.0 + tExact * tExact), 0.0);
        rho = kAF * M::Exp(kN * M::Log(t));
        ok = t > 0.0;
    }
    double sinTheta = 0.0, cosTheta = 0.0;
    SinCosNearZero<M>(kN * (lambda - kLambda0) - kAlpha, sinTheta, cosTheta);
    x = kX0 + rho * sinTheta;
    y = kY0 - rho * cosTheta;
    return ok;
}

// The cone's t of the reference parallel's rho, as the inverse works it out, and atan t.
struct InverseReference {
    double rho = 0.0, t = 0.0, atanT = 0.0;
};

const InverseReference& InverseReferenceOf() {
    static const InverseReference reference = [] {
        InverseReference r;
        r.rho = Reference().rho;
        r.t = std::exp(std::log(r.rho / kAF) * (1.0 / kN));
        r.atanT = std::atan(r.t);
        return r;
    }();
    return reference;
}

// t = (rho / aF)^(1/n) and atan t within some 5 % of the reference parallel's rho, by short
// series from the reference's: ln(rho / rhoRef) = 2 atanh u with u = (rho - rhoRef) /
// (rho + rhoRef), and atan t = atan tRef + atan((t - tRef) / (1 + t tRef)). False farther off.
GEODESY_ALWAYS_INLINE bool TNearReference(double rho, double& t, double& atanT) {
    const InverseReference& ref = InverseReferenceOf();
    const double u = (rho - ref.rho) / (rho + ref.rho);
    if (!(std::abs(u) <= 0.05)) {
        return false;
    }
    t = ref.t * ExpSmall(2.0 * AtanhSmall(u) * (1.0 / kN));
    atanT = ref.atanT + AtanEighth((t - ref.t) / (1.0 + t * ref.t));
    return true;
}

// Latitude and longitude in radians of x and y; false on the apex's parallel, where the angle
// at the apex has no value. t = (rho / aF)^(1/n), chi = pi/2 - 2 atan t, whose sine and cosine
// are (1 - t^2) / (1 + t^2) and 2t / (1 + t^2).
template <typename M>
GEODESY_ALWAYS_INLINE bool InverseWith(double x, double y, double& phi, double& lambda) {
    const double dx = x - kX0, dy = kY0 - y;
    const double ratio = dx / dy;
    const double thetaP =
        kShortcuts<M> && std::abs(ratio) <= 0.125 ? AtanEighth(ratio) : M::Atan2(ratio, 1.0);
    lambda = (thetaP + kAlpha) * (1.0 / kN) + kLambda0;
    const double rho = std::sqrt(dy * dy + dx * dx);
    double t = 0.0, atanT = 0.0;
    if (!(kShortcuts<M> && TNearReference(rho, t, atanT))) {
        t = M::Exp(M::Log(rho / kAF) * (1.0 / kN));
        atanT = M::Atan2(t, 1.0);
    }
    const double chi = kHalfPi - 2.0 * atanT;
    const double t2 = t * t, q = 1.0 / (1.0 + t2);
    const double sinChi = (1.0 - t2) * q, cosChi = 2.0 * t * q;
    // The series at the true pi/2: chi differs from it by 4.5e-11 rad, which moves the series by
    // less than 1e-12 rad.
    phi = chi + SinSeries(kConformal.toGeodetic, 2.0 * sinChi * cosChi,
                          cosChi * cosChi - sinChi * sinChi);
    return std::abs(ratio) <= std::numeric_limits<double>::max();
}

// The vectorised loops of the batches; a point they cannot convert comes out as NaN.
GEODESY_VECTOR_CLONES
void ForwardLoop(const double* lat, const double* lon, double* x, double* y, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        double px = 0.0, py = 0.0;
        const bool ok = ForwardWith<vecmath::Vector>(kRadiansPerDegree * lat[i],
                                                     kRadiansPerDegree * lon[i], px, py);
        x[i] = ok ? px : vecmath::kNaN;
        y[i] = py;
    }
}

GEODESY_VECTOR_CLONES
void InverseLoop(const double* x, const double* y, double* lat, double* lon, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        double phi = 0.0, lambda = 0.0;
        const bool ok = InverseWith<vecmath::Vector>(x[i], y[i], phi, lambda);
        lat[i] = ok ? DegreesOf(phi) : vecmath::kNaN;
        lon[i] = DegreesOf(lambda);
    }
}

} // namespace

GEODESY_VECTOR_CLONES
void LatLonToLambert72(double lat, double lon, double& x, double& y) {
    // The inlined kernels first; a point outside their range, or one they cannot convert, takes
    // the library's functions and their checks.
    if (std::abs(lat) <= 90.0 && std::abs(lon) <= 1e5) {
        double px = 0.0, py = 0.0;
        if (ForwardWith<PointMath>(kRadiansPerDegree * lat, kRadiansPerDegree * lon, px, py) &&
            std::isfinite(px) && std::isfinite(py)) {
            x = px;
            y = py;
            return;
        }
    }
    checked::Finite(lat);
    checked::Finite(lon);
    if (std::abs(lat) > 90.0) {
        throw common::AppError(common::kInvalidCall);
    }
    double px = 0.0, py = 0.0;
    // The library's logarithm takes the apex's t = 0 to -infinity, and rho to 0.
    ForwardWith<vecmath::Library>(DegToRad(lat), DegToRad(lon), px, py);
    x = checked::Finite(px);
    y = checked::Finite(py);
}

GEODESY_VECTOR_CLONES
void Lambert72ToLatLon(double x, double y, double& lat, double& lon) {
    // The inlined kernels first; a point they cannot convert takes the library's functions and
    // their checks.
    if (DegreesByKernels(
            [x, y](double& phi, double& lambda) {
                return InverseWith<PointMath>(x, y, phi, lambda);
            },
            lat, lon)) {
        return;
    }
    checked::Finite(x);
    checked::Finite(y);
    checked::Div(x - kX0, kY0 - y);
    double phi = 0.0, lambda = 0.0;
    InverseWith<vecmath::Library>(x, y, phi, lambda);
    const double latitude = checked::Finite(RadToDeg(phi));
    const double longitude = checked::Finite(RadToDeg(lambda));
    lat = latitude;
    lon = longitude;
}

void batch::LatLonToLambert72(std::span<const double> lat, std::span<const double> lon,
                              std::span<double> x, std::span<double> y) {
    batch::RequireSameSize(lat.size(), lon.size(), x.size(), y.size());
    ForwardLoop(lat.data(), lon.data(), x.data(), y.data(), lat.size());
    batch::RedoRefused(
        lat, lon, x, y,
        [](double la, double lo) { return std::abs(la) <= 90.0 && std::abs(lo) <= 1e5; },
        [](double la, double lo, double& px, double& py) {
            geodesy::LatLonToLambert72(la, lo, px, py);
        });
}

void batch::Lambert72ToLatLon(std::span<const double> x, std::span<const double> y,
                              std::span<double> lat, std::span<double> lon) {
    batch::RequireSameSize(x.size(), y.size(), lat.size(), lon.size());
    InverseLoop(x.data(), y.data(), lat.data(), lon.data(), x.size());
    batch::RedoRefused(
        x, y, lat, lon, [](double, double) { return true; },
        [](double px, double py, double& la, double& lo) {
            geodesy::Lambert72ToLatLon(px, py, la, lo);
        });
}

} // namespace geodesy

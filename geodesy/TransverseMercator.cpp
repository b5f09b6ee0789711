#include "geodesy/TransverseMercator.h"

#include "common/AppError.h"
#include "geodesy/Angles.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/PointBatch.h"
#include "geodesy/UtmSeries.h"
#include "geodesy/VectorMath.h"

#include <cmath>

namespace geodesy {

namespace utm {

namespace {

EllipsoidConstants Derive(double a, double f) {
    const double inverse = checked::Div(1.0, f);
    const double b = checked::Div(a * (inverse - 1.0), inverse);
    const double a2 = a * a, b2 = b * b;
    EllipsoidConstants el;
    el.a = a;
    el.f = f;
    el.e2 = checked::Div(a2 - b2, a2);
    el.ep2 = checked::Div(a2 - b2, b2);
    const double n = checked::Div(a - b, a + b);
    const double n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n;
    el.A = a * (1.0 - n + 5.0 / 4.0 * (n2 - n3) + 81.0 / 64.0 * (n4 - n5));
    el.B = 3.0 * a / 2.0 * (n - n2 + 7.0 / 8.0 * (n3 - n4) + 55.0 / 64.0 * n5);
    el.C = 15.0 * a / 16.0 * (n2 - n3 + 3.0 / 4.0 * (n4 - n5));
    el.D = 35.0 * a / 48.0 * (n3 - n4 + 11.0 / 16.0 * n5);
    el.E = 315.0 * a / 512.0 * (n4 - n5);
    checked::Finite(el.A + el.B + el.C + el.D + el.E + el.e2 + el.ep2);
    el.inverseA = checked::Div(1.0, a);
    el.inverseRadius0 = checked::Div(1.0, (1.0 - el.e2) * a);
    el.inverseArc = checked::Div(1.0, el.A);
    // The arc series inverted (rectifying to geodetic latitude); the first omitted terms, of n^5,
    // stay below 1e-14 rad, some 0.1 micrometre.
    el.footpoint[0] = 3.0 / 2.0 * n - 27.0 / 32.0 * n3;
    el.footpoint[1] = 21.0 / 16.0 * n2 - 55.0 / 32.0 * n4;
    el.footpoint[2] = 151.0 / 96.0 * n3;
    el.footpoint[3] = 1097.0 / 512.0 * n4;
    return el;
}

} // namespace

const EllipsoidConstants& Constants(double a, double f) {
    // The last ellipsoid of this thread; a fault in the derivation leaves the entry as it was.
    thread_local EllipsoidConstants last;
    thread_local bool valid = false;
    if (!(valid && last.a == a && last.f == f)) {
        last = Derive(a, f);
        valid = true;
    }
    return last;
}

} // namespace utm

namespace {

using checked::Div;
using checked::Finite;
using utm::EllipsoidConstants;

// Degree factor of the central meridians, as the module computes it: Atn(1) / 45.
const double kDegree = std::atan(1.0) / 45.0;

double CentralMeridian(int zone) {
    return (6.0 * zone - 183.0) * kDegree;
}

void RequireFinite(double x) {
    Finite(x);
}

// The meridian arc from sin and cos 2 phi, with sin 4, 6 and 8 phi by the multiple-angle formulas.
GEODESY_ALWAYS_INLINE double ArcOf(const EllipsoidConstants& el, double phi, double s2, double c2) {
    const double s4 = 2.0 * s2 * c2, c4 = 2.0 * c2 * c2 - 1.0;
    const double s6 = s4 * c2 + c4 * s2;
    const double s8 = 2.0 * s4 * c4;
    return el.A * phi - el.B * s2 + el.C * s4 - el.D * s6 + el.E * s8;
}

// What both series of the forward projection need at one latitude.
struct PointTerms {
    double s, c, t2, t4, t6, h2, h4, h6, h8, nu, c3, c5, c7, S;
};

// Written against the math functions of M: the library's for one point, the vectorisable ones for
// the batches. cos phi is never 0 for a finite phi in radians, so t is finite.
template <typename M>
GEODESY_ALWAYS_INLINE PointTerms PointTermsWith(const EllipsoidConstants& el, double lat) {
    PointTerms p{};
    M::SinCos(lat, p.s, p.c);
    const double t = p.s / p.c;
    p.t2 = t * t;
    p.t4 = p.t2 * p.t2;
    p.t6 = p.t4 * p.t2;
    p.h2 = el.ep2 * p.c * p.c; // eta squared
    p.h4 = p.h2 * p.h2;
    p.h6 = p.h4 * p.h2;
    p.h8 = p.h4 * p.h4;
    p.nu = el.a / std::sqrt(1.0 - el.e2 * p.s * p.s);
    p.S = ArcOf(el, lat, 2.0 * p.s * p.c, p.c * p.c - p.s * p.s);
    p.c3 = p.c * p.c * p.c;
    p.c5 = p.c3 * p.c * p.c;
    p.c7 = p.c5 * p.c * p.c;
    return p;
}

// The terms of one point with the checks of the series' divisions and root.
PointTerms PointTermsAt(const EllipsoidConstants& el, double lat) {
    RequireFinite(lat);
    const PointTerms p = PointTermsWith<vecmath::Library>(el, lat);
    if (!(1.0 - el.e2 * p.s * p.s >= 0.0)) {
        checked::Raise(common::kInvalidCall);
    }
    if (p.c == 0.0) {
        checked::Raise(common::kDivisionByZero);
    }
    return p;
}

GEODESY_ALWAYS_INLINE utm::NorthingTerms NorthingTermsOf(const PointTerms& p, double lat) {
    constexpr double k0 = kUtmScale;
    const double s = p.s, nu = p.nu, t2 = p.t2, t4 = p.t4, t6 = p.t6;
    const double h2 = p.h2, h4 = p.h4, h6 = p.h6, h8 = p.h8;
    utm::NorthingTerms n;
    n.falseNorthing = lat < 0.0 ? kUtmFalseNorthingSouth : 0.0;
    n.T1 = p.S * k0;
    n.T2 = nu * s * p.c * k0 / 2.0;
    n.T3 = nu * s * p.c3 * k0 * (1.0 / 24.0) * (5.0 - t2 + 9.0 * h2 + 4.0 * h4);
    n.T4 = nu * s * p.c5 * k0 * (1.0 / 720.0) *
           (61.0 - 58.0 * t2 + t4 + 270.0 * h2 - 330.0 * t2 * h2 + 445.0 * h4 + 324.0 * h6 -
            680.0 * t2 * h4 + 88.0 * h8 - 600.0 * t2 * h6 - 192.0 * t2 * h8);
    n.T5 = nu * s * p.c7 * k0 * (1.0 / 40320.0) * (1385.0 - 3111.0 * t2 + 543.0 * t4 - t6);
    return n;
}

// Northing and easting of a point's terms and its longitude difference from the central meridian.
GEODESY_ALWAYS_INLINE void ForwardFrom(const PointTerms& p, double lat, double dl, double& northing,
                                       double& easting) {
    constexpr double k0 = kUtmScale;
    northing = utm::NorthingOf(NorthingTermsOf(p, lat), dl);

    const double nu = p.nu, c = p.c, t2 = p.t2, t4 = p.t4, t6 = p.t6;
    const double h2 = p.h2, h4 = p.h4, h6 = p.h6;
    const double T6 = nu * c * k0;
    const double T7 = nu * p.c3 * k0 * (1.0 / 6.0) * (1.0 - t2 + h2);
    const double T8 = nu * p.c5 * k0 * (1.0 / 120.0) *
                      (5.0 - 18.0 * t2 + t4 + 14.0 * h2 - 58.0 * t2 * h2 + 13.0 * h4 + 4.0 * h6 -
                       64.0 * t2 * h4 - 24.0 * t2 * h6);
    const double T9 = nu * p.c7 * k0 * (1.0 / 5040.0) * (61.0 - 479.0 * t2 + 179.0 * t4 - t6);
    const double dl2 = dl * dl, dl4 = dl2 * dl2, dl6 = dl4 * dl2;
    easting = kUtmFalseEasting + dl * T6 + dl * dl2 * T7 + dl * dl4 * T8 + dl * dl6 * T9;
}

// The zone of a longitude in radians as DegToRad gives them, 1 to 60: zone edges are built with
// DegToRad's factor, so that a longitude of exactly an edge's degrees starts the zone east of it.
// The quotient gives the zone but for a rounding at an edge, which comparing with the edge settles.
GEODESY_ALWAYS_INLINE double ZoneOfLongitude(double lon) {
    constexpr double kZoneWidth = 6.0 * kRadiansPerDegree;
    double k = std::floor(lon / kZoneWidth);
    if (lon < 6.0 * k * kRadiansPerDegree) {
        k -= 1.0;
    } else if (lon >= 6.0 * (k + 1.0) * kRadiansPerDegree) {
        k += 1.0;
    }
    const double z = k + 31.0;
    return z > 60.0 ? 60.0 : (z < 1.0 ? 1.0 : z);
}

// Latitude and longitude from the meridian arc M of the footpoint (false northing removed and
// divided by k0), the easting from the central meridian dE and that meridian cm. The footpoint
// latitude comes from the arc's inverted series with one sine and cosine, of mu = M / A'; the
// sine and cosine of phi1 = mu + delta follow from those of mu and of the small delta
// (|delta| < 0.003 rad) by Taylor series. Returns cos phi1, 0 on a pole.
template <typename M>
GEODESY_ALWAYS_INLINE double InverseWith(const EllipsoidConstants& el, double arc, double dE,
                                         double cm, double& lat, double& lon) {
    constexpr double k0 = kUtmScale;
    const double mu = arc * el.inverseArc;
    double sm = 0.0, cmu = 0.0;
    M::SinCos(mu, sm, cmu);
    const double s2 = 2.0 * sm * cmu, c2 = cmu * cmu - sm * sm;
    const double s4 = 2.0 * s2 * c2, c4 = c2 * c2 - s2 * s2;
    const double s6 = s4 * c2 + c4 * s2;
    const double s8 = 2.0 * s4 * c4;
    const double delta =
        el.footpoint[0] * s2 + el.footpoint[1] * s4 + el.footpoint[2] * s6 + el.footpoint[3] * s8;
    const double phi1 = mu + delta;
    // Up to delta^5 and delta^6: the next terms are below 1e-21.
    const double d2 = delta * delta;
    const double sd = delta * (1.0 - d2 * (1.0 / 6.0) * (1.0 - d2 * (1.0 / 20.0)));
    const double cd = 1.0 - d2 * 0.5 * (1.0 - d2 * (1.0 / 12.0) * (1.0 - d2 * (1.0 / 30.0)));
    const double s = sm * cd + cmu * sd;
    const double c = cmu * cd - sm * sd;

    const double cc = c * c, ic = 1.0 / c;
    // x = 1 - e2 sin^2 phi1 = W^2; nu = a / W and rho = a (1 - e2) / W^3.
    const double x = 1.0 - el.e2 * s * s;
    const double w = std::sqrt(x);
    const double inu = w * el.inverseA, irho = x * w * el.inverseRadius0;
    const double t = s * ic;
    const double t2 = t * t, t4 = t2 * t2, t6 = t4 * t2;
    const double h2 = el.ep2 * cc;
    const double h4 = h2 * h2, h6 = h4 * h2, h8 = h4 * h4;
    const double dE2 = dE * dE, dE4 = dE2 * dE2, dE6 = dE4 * dE2, dE8 = dE4 * dE4;

    // The denominators of T10 to T17 as powers of 1/nu, 1/rho and 1/cos phi1.
    const double inu2 = inu * inu, inu3 = inu2 * inu, inu5 = inu3 * inu2, inu7 = inu5 * inu2;
    constexpr double ik = 1.0 / k0, ik2 = ik * ik, ik3 = ik2 * ik, ik4 = ik2 * ik2, ik5 = ik4 * ik,
                     ik6 = ik4 * ik2, ik7 = ik6 * ik, ik8 = ik4 * ik4;

    const double T10 = t * irho * inu * (ik2 / 2.0);
    const double T11 =
        t * (5.0 + 3.0 * t2 + h2 - 4.0 * h4 - 9.0 * t2 * h2) * irho * inu3 * (ik4 / 24.0);
    const double T12 = t *
                       (61.0 + 90.0 * t2 + 46.0 * h2 + 45.0 * t4 - 252.0 * t2 * h2 - 3.0 * h4 +
                        100.0 * h6 - 66.0 * t2 * h4 - 90.0 * t4 * h2 + 88.0 * h8 + 225.0 * t4 * h4 +
                        84.0 * t2 * h6 - 192.0 * t2 * h8) *
                       irho * inu5 * (ik6 / 720.0);
    const double T13 =
        t * (1385.0 + 3633.0 * t2 + 4095.0 * t4 + 1575.0 * t6) * irho * inu7 * (ik8 / 40320.0);
    lat = phi1 - dE2 * T10 + dE4 * T11 - dE6 * T12 + dE8 * T13;

    const double T14 = inu * ic * ik;
    const double T15 = (1.0 + 2.0 * t2 + h2) * inu3 * ic * (ik3 / 6.0);
    const double T16 = (5.0 + 6.0 * h2 + 28.0 * t2 - 3.0 * h4 + 8.0 * t2 * h2 + 24.0 * t4 -
                        4.0 * h6 + 4.0 * t2 * h4 + 24.0 * t2 * h6) *
                       inu5 * ic * (ik5 / 120.0);
    const double T17 = (61.0 + 662.0 * t2 + 1320.0 * t4 + 720.0 * t6) * inu7 * ic * (ik7 / 5040.0);
    lon = cm + dE * T14 - dE * dE2 * T15 + dE * dE4 * T16 - dE * dE6 * T17;
    return c;
}

// The footpoint arc of a northing (negative in the southern hemisphere).
GEODESY_ALWAYS_INLINE double ArcOfNorthing(double northing) {
    const double falseNorthing = northing < 0.0 ? kUtmFalseNorthingSouth : 0.0;
    return (std::fabs(northing) - falseNorthing) * (1.0 / kUtmScale);
}

// The vectorised loops of the batches; a point they cannot convert comes out as NaN.
GEODESY_VECTOR_CLONES
void ZoneLoop(const double* lon, int* zone, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        zone[i] = static_cast<int>(ZoneOfLongitude(lon[i]));
    }
}

GEODESY_VECTOR_CLONES
void ForwardLoop(const EllipsoidConstants& constants, const double* lat, const double* lon,
                 const int* zone, double* northing, double* easting, std::size_t count) {
    const EllipsoidConstants el = constants; // a copy the stores cannot alias
    const double degree = kDegree;
    for (std::size_t i = 0; i < count; ++i) {
        const double cm = (6.0 * static_cast<double>(zone[i]) - 183.0) * degree;
        double n = 0.0, e = 0.0;
        ForwardFrom(PointTermsWith<vecmath::Vector>(el, lat[i]), lat[i], lon[i] - cm, n, e);
        northing[i] = n;
        easting[i] = e;
    }
}

GEODESY_VECTOR_CLONES
void InverseLoop(const EllipsoidConstants& constants, const int* zone, const double* northing,
                 const double* easting, double* lat, double* lon, std::size_t count) {
    const EllipsoidConstants el = constants;
    const double degree = kDegree;
    for (std::size_t i = 0; i < count; ++i) {
        double phi = 0.0, lambda = 0.0;
        const double cm = (6.0 * static_cast<double>(zone[i]) - 183.0) * degree;
        const double c = InverseWith<vecmath::Vector>(
            el, ArcOfNorthing(northing[i]), easting[i] - kUtmFalseEasting, cm, phi, lambda);
        lat[i] = c != 0.0 ? phi : vecmath::kNaN;
        lon[i] = lambda;
    }
}

} // namespace

utm::NorthingTerms utm::NorthingTermsAt(const EllipsoidConstants& el, double lat) {
    return NorthingTermsOf(PointTermsAt(el, lat), lat);
}

double CurvatureW(double e2, double phi) {
    const double s = std::sin(phi);
    return checked::Sqrt(1.0 - e2 * s * s);
}

double RadiusN(double a, double e2, double phi) {
    const double s = std::sin(phi);
    return Div(a, checked::Sqrt(1.0 - e2 * s * s));
}

double RadiusM(double a, double e2, double phi) {
    const double w = CurvatureW(e2, phi);
    return Div((1.0 - e2) * a, w * w * w);
}

double MeridianArc(double A, double B, double C, double D, double E, double phi) {
    return A * phi - B * std::sin(2.0 * phi) + C * std::sin(4.0 * phi) - D * std::sin(6.0 * phi) +
           E * std::sin(8.0 * phi);
}

void LatLonToUtm(double a, double f, double lat, double lon, int& zone, double& northing,
                 double& easting, int zoneFixed) {
    const EllipsoidConstants& el = utm::Constants(a, f);
    RequireFinite(lat);
    RequireFinite(lon);
    if (zoneFixed == 0) {
        zone = static_cast<int>(ZoneOfLongitude(lon));
    }
    double north = 0.0, east = 0.0;
    ForwardFrom(PointTermsAt(el, lat), lat, lon - CentralMeridian(zone), north, east);
    northing = Finite(north);
    easting = Finite(east);
}

void UtmToLatLon(double a, double f, double& lat, double& lon, int zone, double& northing,
                 double easting) {
    const EllipsoidConstants& el = utm::Constants(a, f);
    RequireFinite(northing);
    RequireFinite(easting);
    const double arc = ArcOfNorthing(northing);
    northing = std::fabs(northing);
    double phi = 0.0, lambda = 0.0;
    const double c = InverseWith<vecmath::Library>(el, arc, easting - kUtmFalseEasting,
                                                   CentralMeridian(zone), phi, lambda);
    if (c == 0.0) {
        checked::Raise(common::kDivisionByZero); // the footpoint is a pole: no tan phi1
    }
    lat = Finite(phi);
    lon = Finite(lambda);
}

void batch::LatLonToUtm(double a, double f, std::span<const double> lat,
                        std::span<const double> lon, std::span<int> zone,
                        std::span<double> northing, std::span<double> easting, int zoneFixed) {
    batch::RequireSameSize(lat.size(), lon.size(), northing.size(), easting.size());
    batch::RequireSameSize(lat.size(), zone.size(), lat.size(), lat.size());
    const EllipsoidConstants& el = utm::Constants(a, f);
    if (zoneFixed == 0) {
        ZoneLoop(lon.data(), zone.data(), lon.size());
    }
    ForwardLoop(el, lat.data(), lon.data(), zone.data(), northing.data(), easting.data(),
                lat.size());
    for (std::size_t i = 0; i < lat.size(); ++i) {
        if (!(std::isfinite(northing[i]) && std::isfinite(easting[i]))) {
            geodesy::LatLonToUtm(a, f, lat[i], lon[i], zone[i], northing[i], easting[i], 1);
        }
    }
}

void batch::UtmToLatLon(double a, double f, std::span<const int> zone,
                        std::span<const double> northing, std::span<const double> easting,
                        std::span<double> lat, std::span<double> lon) {
    batch::RequireSameSize(northing.size(), easting.size(), lat.size(), lon.size());
    batch::RequireSameSize(northing.size(), zone.size(), lat.size(), lat.size());
    const EllipsoidConstants& el = utm::Constants(a, f);
    InverseLoop(el, zone.data(), northing.data(), easting.data(), lat.data(), lon.data(),
                northing.size());
    for (std::size_t i = 0; i < northing.size(); ++i) {
        if (!(std::isfinite(lat[i]) && std::isfinite(lon[i]))) {
            double n = northing[i];
            geodesy::UtmToLatLon(a, f, lat[i], lon[i], zone[i], n, easting[i]);
        }
    }
}

} // namespace geodesy

#pragma once

// What the UTM series derive from an ellipsoid, shared by the projection and the MGRS decoder.
// The constants are derived once per (a, f) and kept per thread for the last ellipsoid asked for,
// so that batches over one ellipsoid pay for them once.

#include "common/AppError.h"
#include "geodesy/Angles.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/TransverseMercator.h"
#include "geodesy/VectorMath.h"

#include <array>
#include <cmath>

namespace geodesy::utm {

struct EllipsoidConstants {
    double a = 0.0, f = 0.0; // the key
    double e2 = 0.0, ep2 = 0.0;
    double A = 0.0, B = 0.0, C = 0.0, D = 0.0, E = 0.0; // meridian-arc coefficients
    double inverseScaledA = 0.0;                        // 1 / (a k0)
    // The footpoint latitude of a meridian arc S: phi1 = mu + sin 2mu (footpoint[0] +
    // footpoint[1] c + footpoint[2] c^2 + footpoint[3] c^3) with mu = S / A' and c = cos 2mu, the
    // series in n that inverts the arc's own.
    double inverseArc = 0.0; // 1 / A'
    std::array<double, 4> footpoint{};
};

// The constants of the last ellipsoid this thread asked for, once there is one.
struct KeptConstants {
    EllipsoidConstants el;
    bool valid = false;
};

GEODESY_ALWAYS_INLINE KeptConstants& Kept() {
    thread_local KeptConstants kept;
    return kept;
}

// The constants of (a, f) where they are the ones kept, or null: the one-point conversions look
// them up inline, without a call.
GEODESY_ALWAYS_INLINE const EllipsoidConstants* KeptFor(double a, double f) {
    const KeptConstants& kept = Kept();
    return kept.valid && kept.el.a == a && kept.el.f == f ? &kept.el : nullptr;
}

// The constants of (a, f) derived and kept in place of the ones kept (Constants looks those up
// first); raises error 11 or 6 as the derivation's divisions do
// (a flattening of 0, for one), leaving the kept ones as they were.
const EllipsoidConstants& Keep(double a, double f);

// The constants of the ellipsoid (a, f), kept or derived.
GEODESY_ALWAYS_INLINE const EllipsoidConstants& Constants(double a, double f) {
    if (const EllipsoidConstants* el = KeptFor(a, f)) {
        return *el;
    }
    return Keep(a, f);
}

// The terms of the northing series at one latitude: northing = falseNorthing + T1 + dl^2 T2 +
// dl^4 T3 + dl^6 T4 + dl^8 T5, dl being the longitude from the central meridian.
struct NorthingTerms {
    double falseNorthing = 0.0;
    double T1 = 0.0, T2 = 0.0, T3 = 0.0, T4 = 0.0, T5 = 0.0;
};

NorthingTerms NorthingTermsAt(const EllipsoidConstants& el, double lat);

// The northing of the terms at the longitude lon (radians) in zone `zone`, worked out as the
// forward projection works out that of a point there, to the last bit.
double NorthingAt(const NorthingTerms& t, double lon, int zone);

// The forward series of one point, inlined into the one-point conversions that project.

// Degree factor of the central meridians, as the module computes it: Atn(1) / 45.
inline const double kDegree = std::atan(1.0) / 45.0;

GEODESY_ALWAYS_INLINE double CentralMeridian(int zone) {
    return (6.0 * zone - 183.0) * kDegree;
}

// The meridian arc from sin and cos 2 phi, with sin 4, 6 and 8 phi by the multiple-angle formulas.
GEODESY_ALWAYS_INLINE double ArcOf(const EllipsoidConstants& el, double phi, double s2, double c2) {
    const double s4 = 2.0 * s2 * c2, c4 = 2.0 * c2 * c2 - 1.0;
    const double s6 = s4 * c2 + c4 * s2;
    const double s8 = 2.0 * s4 * c4;
    return el.A * phi - el.B * s2 + el.C * s4 - el.D * s6 + el.E * s8;
}

// What both series of the forward projection need at one latitude: its sine and cosine, their
// squares, eta squared, the prime vertical's radius and the meridian arc.
struct PointTerms {
    double s, c, s2, c2, h2, nu, S;
};

// Written against the math functions of M: the inlined ones or the library's for one point, the
// vectorisable ones for the batches.
template <typename M>
GEODESY_ALWAYS_INLINE PointTerms PointTermsWith(const EllipsoidConstants& el, double lat) {
    PointTerms p{};
    M::SinCos(lat, p.s, p.c);
    p.s2 = p.s * p.s;
    p.c2 = p.c * p.c;
    p.h2 = el.ep2 * p.c2; // eta squared
    p.nu = M::Radius(el.a, el.e2 * p.s2);
    p.S = ArcOf(el, lat, 2.0 * p.s * p.c, p.c2 - p.s2);
    return p;
}

// The terms of one point by the library's functions, with the checks of the series' root and of
// its tangent (cos phi is never 0 for a finite phi in radians).
[[gnu::noinline]] inline PointTerms PointTermsAt(const EllipsoidConstants& el, double lat) {
    checked::Finite(lat);
    const PointTerms p = PointTermsWith<vecmath::Library>(el, lat);
    if (!(1.0 - el.e2 * p.s2 >= 0.0)) {
        checked::Raise(common::kInvalidCall);
    }
    if (p.c == 0.0) {
        checked::Raise(common::kDivisionByZero);
    }
    return p;
}

// The terms of one point by the inlined functions, or by the library's where those cannot (a
// latitude beyond their range, or a root or tangent the checks refuse).
GEODESY_ALWAYS_INLINE PointTerms PointTermsOf(const EllipsoidConstants& el, double lat) {
    const PointTerms p = PointTermsWith<vecmath::Point>(el, lat);
    if (std::isfinite(p.nu) && p.c != 0.0) {
        return p;
    }
    return PointTermsAt(el, lat);
}

// The series' terms are those of the manual with each power of tan phi multiplied out by the
// power of cos phi in front of it (t^2 c^2 = s^2), so that no tangent is divided out, and each
// polynomial in eta squared summed by Horner's rule.
GEODESY_ALWAYS_INLINE utm::NorthingTerms NorthingTermsOf(const PointTerms& p, double lat) {
    constexpr double k0 = kUtmScale;
    const double s2 = p.s2, c2 = p.c2, h2 = p.h2, c4 = c2 * c2, s4 = s2 * s2;
    const double k = k0 * p.nu * p.s * p.c;
    utm::NorthingTerms n;
    n.falseNorthing = lat < 0.0 ? kUtmFalseNorthingSouth : 0.0;
    n.T1 = p.S * k0;
    n.T2 = k * 0.5;
    n.T3 = k * (1.0 / 24.0) * (c2 * (5.0 + h2 * (9.0 + 4.0 * h2)) - s2);
    n.T4 = k * (1.0 / 720.0) *
           (c4 * (61.0 + h2 * (270.0 + h2 * (445.0 + h2 * (324.0 + 88.0 * h2)))) -
            c2 * s2 * (58.0 + h2 * (330.0 + h2 * (680.0 + h2 * (600.0 + 192.0 * h2)))) + s4);
    n.T5 = k * (1.0 / 40320.0) * (c4 * (1385.0 * c2 - 3111.0 * s2) + s4 * (543.0 * c2 - s2));
    return n;
}

// The northing of the series' terms, dl being the longitude from the central meridian.
GEODESY_ALWAYS_INLINE double NorthingOf(const utm::NorthingTerms& t, double dl) {
    const double dl2 = dl * dl;
    return t.falseNorthing + t.T1 + dl2 * (t.T2 + dl2 * (t.T3 + dl2 * (t.T4 + dl2 * t.T5)));
}

// Northing and easting of a point's terms and its longitude difference from the central meridian.
GEODESY_ALWAYS_INLINE void ForwardFrom(const PointTerms& p, double lat, double dl, double& northing,
                                       double& easting) {
    constexpr double k0 = kUtmScale;
    northing = NorthingOf(NorthingTermsOf(p, lat), dl);

    const double s2 = p.s2, c2 = p.c2, h2 = p.h2, c4 = c2 * c2, s4 = s2 * s2;
    const double T6 = k0 * p.nu * p.c;
    const double T7 = T6 * (1.0 / 6.0) * (c2 * (1.0 + h2) - s2);
    const double T8 = T6 * (1.0 / 120.0) *
                      (c4 * (5.0 + h2 * (14.0 + h2 * (13.0 + 4.0 * h2))) -
                       c2 * s2 * (18.0 + h2 * (58.0 + h2 * (64.0 + 24.0 * h2))) + s4);
    const double T9 =
        T6 * (1.0 / 5040.0) * (c4 * (61.0 * c2 - 479.0 * s2) + s4 * (179.0 * c2 - s2));
    const double dl2 = dl * dl;
    easting = kUtmFalseEasting + dl * (T6 + dl2 * (T7 + dl2 * (T8 + dl2 * T9)));
}

// The zone of a longitude in radians as DegToRad gives them, 1 to 60: zone edges are built with
// DegToRad's factor, so that a longitude of exactly an edge's degrees starts the zone east of it.
// The quotient gives the zone but for a rounding at an edge, which comparing with the edge settles:
// a first guess one zone off either way comes to the same zone.
GEODESY_ALWAYS_INLINE double ZoneOfLongitude(double lon) {
    constexpr double kZonesPerRadian = 1.0 / (6.0 * kRadiansPerDegree);
    double k = std::floor(lon * kZonesPerRadian);
    if (lon < 6.0 * k * kRadiansPerDegree) {
        k -= 1.0;
    } else if (lon >= 6.0 * (k + 1.0) * kRadiansPerDegree) {
        k += 1.0;
    }
    const double z = k + 31.0;
    return z > 60.0 ? 60.0 : (z < 1.0 ? 1.0 : z);
}

// The forward projection of one point on the ellipsoid's constants, as LatLonToUtm does it.
GEODESY_ALWAYS_INLINE void Forward(const EllipsoidConstants& el, double lat, double lon, int& zone,
                                   double& northing, double& easting, int zoneFixed) {
    checked::Finite(lat);
    checked::Finite(lon);
    if (zoneFixed == 0) {
        zone = static_cast<int>(ZoneOfLongitude(lon));
    }
    double north = 0.0, east = 0.0;
    ForwardFrom(PointTermsOf(el, lat), lat, lon - CentralMeridian(zone), north, east);
    northing = checked::Finite(north);
    easting = checked::Finite(east);
}

// The inverse series of one point, inlined into the one-point conversions that unproject.

// Latitude and longitude from the meridian arc M of the footpoint (false northing removed and
// divided by k0), the easting from the central meridian dE and that meridian cm. The footpoint
// latitude comes from the arc's inverted series with one sine and cosine, of mu = M / A'; the
// sine and cosine of phi1 = mu + delta follow from those of mu and of the small delta
// (|delta| < 0.003 rad) by Taylor series. Returns cos phi1, 0 on a pole.
// The terms T10 to T17 are taken in powers of D = dE / (k0 nu), with rho = nu / (1 + eta^2), and
// each polynomial in tan^2 phi1 and eta squared summed by Horner's rule.
template <typename M>
GEODESY_ALWAYS_INLINE double InverseWith(const EllipsoidConstants& el, double arc, double dE,
                                         double cm, double& lat, double& lon) {
    const double mu = arc * el.inverseArc;
    double sm = 0.0, cmu = 0.0;
    M::SinCos(mu, sm, cmu);
    const double s2mu = 2.0 * sm * cmu, c2mu = cmu * cmu - sm * sm, c2mu2 = c2mu * c2mu;
    const auto& u = el.footpoint;
    const double delta = s2mu * ((u[0] + u[1] * c2mu) + c2mu2 * (u[2] + u[3] * c2mu));
    const double phi1 = mu + delta;
    // Up to delta^5 and delta^6: the next terms are below 1e-21.
    const double d2 = delta * delta, d4 = d2 * d2;
    const double sd = delta + delta * d2 * (-1.0 / 6.0 + d2 * (1.0 / 120.0));
    const double cd = 1.0 + (d2 * -0.5 + d4 * (1.0 / 24.0 + d2 * (-1.0 / 720.0)));
    const double s = sm * cd + cmu * sd;
    const double c = cmu * cd - sm * sd;

    const double ic = 1.0 / c;
    const double t = s * ic, t2 = t * t;
    const double h2 = el.ep2 * c * c;
    // D = dE / (k0 nu), 1 / nu being sqrt(1 - e2 sin^2 phi1) / a.
    const double D = std::sqrt(1.0 - el.e2 * s * s) * (dE * el.inverseScaledA);
    const double D2 = D * D, D4 = D2 * D2;

    // Each series in D^2 as (1 - D^2 a1) + D^4 (a2 - D^2 a3), the two halves side by side.
    const double P11 = 5.0 + 3.0 * t2 + h2 * (1.0 - 4.0 * h2 - 9.0 * t2);
    const double P12 = 61.0 + h2 * (46.0 + h2 * (-3.0 + h2 * (100.0 + 88.0 * h2))) +
                       t2 * ((90.0 + h2 * (-252.0 + h2 * (-66.0 + h2 * (84.0 - 192.0 * h2)))) +
                             t2 * (45.0 + h2 * (-90.0 + 225.0 * h2)));
    const double P13 = 1385.0 + t2 * (3633.0 + t2 * (4095.0 + 1575.0 * t2));
    lat = phi1 - t * (1.0 + h2) * 0.5 * D2 *
                     ((1.0 - D2 * (P11 * (1.0 / 12.0))) +
                      D4 * (P12 * (1.0 / 360.0) - D2 * (P13 * (1.0 / 20160.0))));

    const double P15 = 1.0 + 2.0 * t2 + h2;
    const double P16 = 5.0 + h2 * (6.0 + h2 * (-3.0 - 4.0 * h2)) +
                       t2 * ((28.0 + h2 * (8.0 + h2 * (4.0 + 24.0 * h2))) + 24.0 * t2);
    const double P17 = 61.0 + t2 * (662.0 + t2 * (1320.0 + 720.0 * t2));
    lon = cm + ic * D *
                   ((1.0 - D2 * (P15 * (1.0 / 6.0))) +
                    D4 * (P16 * (1.0 / 120.0) - D2 * (P17 * (1.0 / 5040.0))));
    return c;
}

// The footpoint arc of a northing (negative in the southern hemisphere).
GEODESY_ALWAYS_INLINE double ArcOfNorthing(double northing) {
    const double falseNorthing = northing < 0.0 ? kUtmFalseNorthingSouth : 0.0;
    return (std::fabs(northing) - falseNorthing) * (1.0 / kUtmScale);
}

// The latitude and longitude of a finite northing (negative in the southern hemisphere) and
// easting, and cos phi1: 0 where the footpoint is a pole.
GEODESY_ALWAYS_INLINE double InverseFinite(const EllipsoidConstants& el, double northing,
                                           double easting, int zone, double& lat, double& lon) {
    const double arc = ArcOfNorthing(northing);
    const double dE = easting - kUtmFalseEasting, cm = CentralMeridian(zone);
    // The inlined functions, or the library's for an arc beyond their range and for a footpoint
    // within metres of a pole, whose cosine the library's may find 0.
    constexpr double kNearPole = 1e-9;
    double c = InverseWith<vecmath::Point>(el, arc, dE, cm, lat, lon);
    if (!(std::fabs(c) > kNearPole)) {
        c = InverseWith<vecmath::Library>(el, arc, dE, cm, lat, lon);
    }
    return c;
}

// The inverse projection of one point on the ellipsoid's constants, as UtmToLatLon does it: a
// negative northing is the southern hemisphere, and is replaced by its absolute value.
GEODESY_ALWAYS_INLINE void Inverse(const EllipsoidConstants& el, double& lat, double& lon, int zone,
                                   double& northing, double easting) {
    checked::Finite(northing);
    checked::Finite(easting);
    double phi = 0.0, lambda = 0.0;
    const double c = InverseFinite(el, northing, easting, zone, phi, lambda);
    northing = std::fabs(northing);
    if (c == 0.0) {
        checked::Raise(common::kDivisionByZero); // the footpoint is a pole: no tan phi1
    }
    lat = checked::Finite(phi);
    lon = checked::Finite(lambda);
}

// Inverse's latitude and longitude without its errors: false, with nothing written, where Inverse
// raises one.
GEODESY_ALWAYS_INLINE bool TryInverse(const EllipsoidConstants& el, double northing, double easting,
                                      int zone, double& lat, double& lon) {
    if (!(std::isfinite(northing) && std::isfinite(easting))) {
        return false;
    }
    double phi = 0.0, lambda = 0.0;
    const double c = InverseFinite(el, northing, easting, zone, phi, lambda);
    if (c == 0.0 || !std::isfinite(phi) || !std::isfinite(lambda)) {
        return false;
    }
    lat = phi;
    lon = lambda;
    return true;
}

} // namespace geodesy::utm

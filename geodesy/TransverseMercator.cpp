#include "geodesy/TransverseMercator.h"

#include "common/AppError.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/UtmSeries.h"

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
    el.halfE2 = 0.5 * el.e2;
    el.oneLessHalfE2 = 1.0 - el.halfE2;
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

// Degree factor as the module computes it: Atn(1) / 45.
const double kDegree = std::atan(1.0) / 45.0;

double CentralMeridian(int zone) {
    return (6.0 * zone - 183.0) * kDegree;
}

void RequireFinite(double x) {
    Finite(x);
}

// The meridian arc from sin and cos 2 phi, with sin 4, 6 and 8 phi by the multiple-angle formulas.
double ArcOf(const EllipsoidConstants& el, double phi, double s2, double c2) {
    const double s4 = 2.0 * s2 * c2, c4 = 2.0 * c2 * c2 - 1.0;
    const double s6 = s4 * c2 + c4 * s2;
    const double s8 = 2.0 * s4 * c4;
    return el.A * phi - el.B * s2 + el.C * s4 - el.D * s6 + el.E * s8;
}

// Sine and cosine of a small angle (|x| < 0.02) by their series, exact to rounding.
void SmallSinCos(double x, double& s, double& c) {
    if (std::fabs(x) < 1e-4) { // the further terms are below the rounding of s and c
        s = x - x * x * x * (1.0 / 6.0);
        c = 1.0 - 0.5 * x * x;
        return;
    }
    // Up to x^7 and x^6: the next terms are below 2e-21 for |x| < 0.02.
    constexpr double k6 = 1.0 / 6, k20 = 1.0 / 20, k42 = 1.0 / 42;
    constexpr double k2 = 1.0 / 2, k12 = 1.0 / 12, k30 = 1.0 / 30;
    const double x2 = x * x;
    s = x * (1.0 - x2 * k6 * (1.0 - x2 * k20 * (1.0 - x2 * k42)));
    c = 1.0 - x2 * k2 * (1.0 - x2 * k12 * (1.0 - x2 * k30));
}

// What both series of the forward projection need at one latitude.
struct PointTerms {
    double s, c, t2, t4, t6, h2, h4, h6, h8, nu, c3, c5, c7, S;
};

PointTerms PointTermsAt(const EllipsoidConstants& el, double lat) {
    PointTerms p{};
    p.s = std::sin(lat);
    p.c = std::cos(lat);
    const double t = Div(p.s, p.c);
    p.t2 = t * t;
    p.t4 = p.t2 * p.t2;
    p.t6 = p.t4 * p.t2;
    p.h2 = el.ep2 * p.c * p.c; // eta squared
    p.h4 = p.h2 * p.h2;
    p.h6 = p.h4 * p.h2;
    p.h8 = p.h4 * p.h4;
    p.nu = Div(el.a, checked::Sqrt(1.0 - el.e2 * p.s * p.s));
    p.S = ArcOf(el, lat, std::sin(2.0 * lat), std::cos(2.0 * lat));
    p.c3 = p.c * p.c * p.c;
    p.c5 = p.c3 * p.c * p.c;
    p.c7 = p.c5 * p.c * p.c;
    return p;
}

utm::NorthingTerms NorthingTermsOf(const PointTerms& p, double lat) {
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

} // namespace

utm::NorthingTerms utm::NorthingTermsAt(const EllipsoidConstants& el, double lat) {
    RequireFinite(lat);
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
        double z = std::floor(lon / kDegree / 6.0) + 31.0;
        z = z > 60.0 ? 60.0 : (z < 1.0 ? 1.0 : z);
        zone = static_cast<int>(z);
    }
    constexpr double k0 = kUtmScale;
    const double dl = lon - CentralMeridian(zone);

    const PointTerms p = PointTermsAt(el, lat);
    const double north = utm::NorthingOf(NorthingTermsOf(p, lat), dl);

    const double nu = p.nu, c = p.c, t2 = p.t2, t4 = p.t4, t6 = p.t6;
    const double h2 = p.h2, h4 = p.h4, h6 = p.h6;
    const double T6 = nu * c * k0;
    const double T7 = nu * p.c3 * k0 * (1.0 / 6.0) * (1.0 - t2 + h2);
    const double T8 = nu * p.c5 * k0 * (1.0 / 120.0) *
                      (5.0 - 18.0 * t2 + t4 + 14.0 * h2 - 58.0 * t2 * h2 + 13.0 * h4 + 4.0 * h6 -
                       64.0 * t2 * h4 - 24.0 * t2 * h6);
    const double T9 = nu * p.c7 * k0 * (1.0 / 5040.0) * (61.0 - 479.0 * t2 + 179.0 * t4 - t6);
    const double dl2 = dl * dl, dl4 = dl2 * dl2, dl6 = dl4 * dl2;
    const double east = kUtmFalseEasting + dl * T6 + dl * dl2 * T7 + dl * dl4 * T8 + dl * dl6 * T9;

    northing = Finite(north);
    easting = Finite(east);
}

void UtmToLatLon(double a, double f, double& lat, double& lon, int zone, double& northing,
                 double easting) {
    const EllipsoidConstants& el = utm::Constants(a, f);
    RequireFinite(northing);
    RequireFinite(easting);
    double falseNorthing = 0.0;
    if (northing < 0.0) {
        northing = std::fabs(northing);
        falseNorthing = kUtmFalseNorthingSouth;
    }
    constexpr double k0 = kUtmScale;
    const double M = (northing - falseNorthing) * (1.0 / kUtmScale);

    // Footpoint latitude: five Newton steps on the meridian arc, always. Each step divides by the
    // meridian radius a (1 - e2) / W^3 as a product with W^3 = x sqrt(x), x = 1 - e2 sin^2 phi1
    // taken from cos 2 phi1, and turns sin and cos 2 phi1 on by twice its increment instead of
    // evaluating them afresh.
    double phi1 = M * el.inverseRadius0;
    double s2 = std::sin(2.0 * phi1), c2 = std::cos(2.0 * phi1);
    for (int i = 0; i < 5; ++i) {
        const double x = el.oneLessHalfE2 + el.halfE2 * c2;
        const double w = checked::Sqrt(x);
        const double step = (M - ArcOf(el, phi1, s2, c2)) * el.inverseRadius0 * x * w;
        phi1 += step;
        if (std::fabs(2.0 * step) < 0.02) {
            double ss = 0.0, cs = 1.0;
            SmallSinCos(2.0 * step, ss, cs);
            const double turned = s2 * cs + c2 * ss;
            c2 = c2 * cs - s2 * ss;
            s2 = turned;
        } else {
            s2 = std::sin(2.0 * phi1);
            c2 = std::cos(2.0 * phi1);
        }
    }
    RequireFinite(phi1);

    // sin and cos phi1 from those of 2 phi1 while the latitude is well inside the poles, where
    // cos phi1 = sqrt((1 + cos 2 phi1) / 2) loses nothing that matters; afresh elsewhere.
    double s = 0.0, c = 0.0, cc = 0.0, ic = 0.0;
    if (c2 > -0.99 && std::fabs(phi1) < 1.5) {
        cc = 0.5 + 0.5 * c2;
        c = std::sqrt(cc);
        ic = 1.0 / c;
        s = 0.5 * s2 * ic;
    } else {
        s = std::sin(phi1);
        c = std::cos(phi1);
        cc = c * c;
        ic = Div(1.0, c);
    }
    // x = 1 - e2 sin^2 phi1 = W^2; nu = a / W and rho = a (1 - e2) / W^3.
    const double x = 1.0 - el.e2 * s * s;
    const double w = checked::Sqrt(x);
    if (w == 0.0) {
        checked::Raise(common::kDivisionByZero);
    }
    const double inu = w * el.inverseA, irho = x * w * el.inverseRadius0;
    const double t = s * ic;
    const double t2 = t * t, t4 = t2 * t2, t6 = t4 * t2;
    const double h2 = el.ep2 * cc;
    const double h4 = h2 * h2, h6 = h4 * h2, h8 = h4 * h4;
    const double dE = easting - kUtmFalseEasting;
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
    const double phi = phi1 - dE2 * T10 + dE4 * T11 - dE6 * T12 + dE8 * T13;

    const double T14 = inu * ic * ik;
    const double T15 = (1.0 + 2.0 * t2 + h2) * inu3 * ic * (ik3 / 6.0);
    const double T16 = (5.0 + 6.0 * h2 + 28.0 * t2 - 3.0 * h4 + 8.0 * t2 * h2 + 24.0 * t4 -
                        4.0 * h6 + 4.0 * t2 * h4 + 24.0 * t2 * h6) *
                       inu5 * ic * (ik5 / 120.0);
    const double T17 = (61.0 + 662.0 * t2 + 1320.0 * t4 + 720.0 * t6) * inu7 * ic * (ik7 / 5040.0);
    const double lambda =
        CentralMeridian(zone) + dE * T14 - dE * dE2 * T15 + dE * dE4 * T16 - dE * dE6 * T17;

    lat = Finite(phi);
    lon = Finite(lambda);
}

} // namespace geodesy

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
    el.inverseScaledA = checked::Div(1.0, a) * (1.0 / kUtmScale);
    el.inverseArc = checked::Div(1.0, el.A);
    // The arc series inverted (rectifying to geodetic latitude); the first omitted terms, of n^5,
    // stay below 1e-14 rad, some 0.1 micrometre. Its coefficients f1 to f4 of sin 2mu to sin 8mu,
    // then those of sin 2mu times a cubic in cos 2mu (sin 2kx = sin 2x U_k-1(cos 2x), U being
    // Chebyshev's polynomials).
    const double f1 = 3.0 / 2.0 * n - 27.0 / 32.0 * n3;
    const double f2 = 21.0 / 16.0 * n2 - 55.0 / 32.0 * n4;
    const double f3 = 151.0 / 96.0 * n3;
    const double f4 = 1097.0 / 512.0 * n4;
    el.footpoint = {f1 - f3, 2.0 * f2 - 4.0 * f4, 4.0 * f3, 8.0 * f4};
    return el;
}

} // namespace

const EllipsoidConstants& Keep(double a, double f) {
    KeptConstants& kept = Kept();
    kept.el = Derive(a, f); // a fault in the derivation leaves the entry as it was
    kept.valid = true;
    return kept.el;
}

} // namespace utm

namespace {

using checked::Div;
using checked::Finite;
using utm::EllipsoidConstants;

using utm::ArcOfNorthing;
using utm::CentralMeridian;
using utm::ForwardFrom;
using utm::InverseWith;
using utm::kDegree;
using utm::PointTermsWith;
using utm::ZoneOfLongitude;

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

// Compiled as the one-point forward projection is, below, so that they work out what it does.
GEODESY_VECTOR_CLONES
utm::NorthingTerms utm::NorthingTermsAt(const EllipsoidConstants& el, double lat) {
    Finite(lat);
    return NorthingTermsOf(PointTermsOf(el, lat), lat);
}

GEODESY_VECTOR_CLONES
double utm::NorthingAt(const NorthingTerms& t, double lon, int zone) {
    return NorthingOf(t, lon - CentralMeridian(zone));
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

// The one-point conversions are compiled for the instruction sets of the batch loops too: the
// series' products and sums are fused where the processor can, as the batches' are.
GEODESY_VECTOR_CLONES
void LatLonToUtm(double a, double f, double lat, double lon, int& zone, double& northing,
                 double& easting, int zoneFixed) {
    utm::Forward(utm::Constants(a, f), lat, lon, zone, northing, easting, zoneFixed);
}

GEODESY_VECTOR_CLONES
void UtmToLatLon(double a, double f, double& lat, double& lon, int zone, double& northing,
                 double easting) {
    utm::Inverse(utm::Constants(a, f), lat, lon, zone, northing, easting);
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

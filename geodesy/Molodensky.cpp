#include "geodesy/Molodensky.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/Angles.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/DatumTables.h"
#include "geodesy/PointBatch.h"
#include "geodesy/VectorMath.h"

#include <algorithm>
#include <cmath>

namespace geodesy {

namespace {

using checked::Div;
using checked::Finite;

// Beyond this latitude (degrees) the shift is the geocentric translation that the formulas
// approximate: their longitude change divides by cos phi and grows without bound towards the
// poles, and their error there passes metres, while the translation stays exact and carries a
// position across a pole.
constexpr double kPolarCap = 85.0;

// A longitude brought into -180..180 and a latitude that never passes a pole, so that every
// shifted position can be written back.
void Normalise(double& lat, double& lon) {
    if (lat > 90.0) {
        lat = 180.0 - lat;
        lon += 180.0;
    } else if (lat < -90.0) {
        lat = -180.0 - lat;
        lon += 180.0;
    }
    lat = std::clamp(lat, -90.0, 90.0);
    if (!(std::fabs(lon) <= 180.0)) { // within it the remainder is the longitude itself
        lon = std::remainder(lon, 360.0);
    }
}

// A step's values derived from its ellipsoid and parameters.
MolodenskyStep Derived(MolodenskyStep p) {
    p.e2 = 2.0 * p.f - p.f * p.f;
    p.daE2OverA = Div(p.da * p.e2, p.a);
    p.inverseOneLessF = Div(1.0, 1.0 - p.f);
    p.oneLessF = 1.0 - p.f;
    p.aOneLessE2 = p.a * (1.0 - p.e2);
    return p;
}

// Steps 1 and 4 to 8 of one shift, on the ellipsoid of the step.
void Step(double lat, double lon, double h, const MolodenskyStep& p, double& latOut,
          double& lonOut) {
    if (std::isfinite(lat) && std::fabs(lat) >= 90.0) {
        // Every meridian meets at a pole: it stays the pole and keeps the longitude it was given.
        latOut = std::copysign(90.0, lat);
        lonOut = lon;
        return;
    }
    const double phi = DegToRad(lat);
    const double lambda = DegToRad(lon);
    const double sp = std::sin(phi), cp = std::cos(phi);
    const double sl = std::sin(lambda), cl = std::cos(lambda);

    const double a = p.a, f = p.f, e2 = p.e2;
    const double w2 = 1.0 - e2 * sp * sp;
    const double w = checked::Sqrt(w2);
    const double rn = Div(a, w);
    const double rm = Div(p.aOneLessE2, w * w2);

    double outLat = 0.0, outLon = 0.0;
    if (std::fabs(lat) > kPolarCap) {
        // Geocentric on the datum's ellipsoid, translated, and back on the other ellipsoid.
        const double radius = (rn + h) * cp;
        const double x = radius * cl + p.dx;
        const double y = radius * sl + p.dy;
        const double z = (rn * (1.0 - e2) + h) * sp + p.dz;
        const double a2 = a + p.da;
        const double f2 = f + p.df;
        const double e22 = 2.0 * f2 - f2 * f2;
        const double distance = std::hypot(x, y);
        double phi2 = std::atan2(z, distance * (1.0 - e22));
        for (int i = 0; i < 3; ++i) { // near a pole sin phi is close to 1: this settles fast
            const double s2 = std::sin(phi2);
            const double rn2 = Div(a2, checked::Sqrt(1.0 - e22 * s2 * s2));
            const double h2 = Div(z, s2) - rn2 * (1.0 - e22);
            phi2 = std::atan2(z, distance * (1.0 - Div(e22 * rn2, rn2 + h2)));
        }
        outLat = RadToDeg(Finite(phi2));
        outLon = distance > 0.0 ? RadToDeg(std::atan2(y, x)) : lon;
    } else {
        // Displacements in metres, north along the meridian and east along the parallel.
        const double north = -p.dx * sp * cl - p.dy * sp * sl + p.dz * cp +
                             p.daE2OverA * rn * sp * cp +
                             p.df * (rm * p.inverseOneLessF + rn * p.oneLessF) * sp * cp;
        const double east = -p.dx * sl + p.dy * cl;
        const double dphi = Div(north, rm + h);
        const double dlambda = Div(east, (rn + h) * cp);
        outLat = RadToDeg(Finite(phi + dphi));
        outLon = RadToDeg(Finite(lambda + dlambda));
    }
    Normalise(outLat, outLon);
    latOut = outLat;
    lonOut = outLon;
}

// The step of DatumTable(datum) on its own ellipsoid: direction +1 from the datum to WGS84, -1 from
// WGS84 to the datum (all five parameters negated).
MolodenskyStep TableStep(int datum, int direction) {
    const DatumState& state = Datums();
    const DatumRec& rec = state.datum(datum);
    const double s = direction;
    MolodenskyStep p;
    p.dx = s * rec.dx;
    p.dy = s * rec.dy;
    p.dz = s * rec.dz;
    // da is a 16-bit integer: the product is one too, and overflows as one.
    p.da = common::ToInt16(static_cast<double>(direction) * rec.da);
    p.df = s * rec.df;
    const EllipsoidRec& ellipsoid = state.ellipsoid(rec.ELLI_ID);
    p.a = ellipsoid.A;
    p.f = Div(1.0, ellipsoid.f_Inv);
    return Derived(p);
}

// The non-polar branch of Step at h = 0, in degrees, with the inlined sine and cosine; NaN where
// Step would take another branch or bring the result back onto the globe, which Step then does.
GEODESY_ALWAYS_INLINE void VectorStep(const MolodenskyStep& k, double lat, double lon,
                                      double& latOut, double& lonOut) {
    const double phi = kRadiansPerDegree * lat;
    const double lambda = kRadiansPerDegree * lon;
    double sp = 0, cp = 0, sl = 0, cl = 0;
    vecmath::SinCos(phi, sp, cp);
    vecmath::SinCos(lambda, sl, cl);
    const double w2 = 1.0 - k.e2 * sp * sp;
    const double w = std::sqrt(w2);
    const double rn = k.a / w;
    const double rm = k.aOneLessE2 / (w * w2);
    const double spcp = sp * cp;
    const double north = -k.dx * sp * cl - k.dy * sp * sl + k.dz * cp + k.daE2OverA * rn * spcp +
                         k.df * (rm * k.inverseOneLessF + rn * k.oneLessF) * spcp;
    const double east = -k.dx * sl + k.dy * cl;
    const double outLat = DegreesOf(phi + north / rm);
    const double outLon = DegreesOf(lambda + east / (rn * cp));
    const bool inside = vecmath::Abs(lat) <= kPolarCap && vecmath::Abs(outLat) <= 90.0 &&
                        vecmath::Abs(outLon) <= 180.0;
    latOut = inside ? outLat : vecmath::kNaN;
    lonOut = outLon;
}

// One loop for each number of steps: a test of it inside the loop stops the vectoriser.
GEODESY_VECTOR_CLONES
void OneStepLoop(const MolodenskyStep& first, const double* lat, const double* lon, double* latOut,
                 double* lonOut, std::size_t count) {
    const MolodenskyStep k1 = first; // a copy the stores cannot alias
    for (std::size_t i = 0; i < count; ++i) {
        double t1 = 0, t2 = 0;
        VectorStep(k1, lat[i], lon[i], t1, t2);
        latOut[i] = t1;
        lonOut[i] = t2;
    }
}

GEODESY_VECTOR_CLONES
void TwoStepLoop(const MolodenskyStep& first, const MolodenskyStep& second, const double* lat,
                 const double* lon, double* latOut, double* lonOut, std::size_t count) {
    const MolodenskyStep k1 = first, k2 = second;
    for (std::size_t i = 0; i < count; ++i) {
        double t1 = 0, t2 = 0, u1 = 0, u2 = 0;
        VectorStep(k1, lat[i], lon[i], t1, t2);
        VectorStep(k2, t1, t2, u1, u2);
        latOut[i] = u1;
        lonOut[i] = u2;
    }
}

} // namespace

void batch::ShiftDatum(std::span<const double> lat, std::span<const double> lon,
                       std::span<double> latOut, std::span<double> lonOut, int from, int to) {
    batch::RequireSameSize(lat.size(), lon.size(), latOut.size(), lonOut.size());
    if (from == to) {
        std::copy(lat.begin(), lat.end(), latOut.begin());
        std::copy(lon.begin(), lon.end(), lonOut.begin());
        return;
    }
    const MolodenskyStep first = TableStep(from, +1);
    const bool twoSteps = Datums().datum(to).Code != "WGS84";
    if (twoSteps) {
        TwoStepLoop(first, TableStep(to, -1), lat.data(), lon.data(), latOut.data(), lonOut.data(),
                    lat.size());
    } else {
        OneStepLoop(first, lat.data(), lon.data(), latOut.data(), lonOut.data(), lat.size());
    }
    batch::RedoRefused(
        lat, lon, latOut, lonOut, [](double, double) { return true; },
        [from, to](double la, double lo, double& laOut, double& loOut) {
            geodesy::ShiftDatum(la, lo, 0.0, laOut, loOut, from, to);
        });
}

DatumShift::DatumShift(int from, int to) {
    if (from == to) {
        return;
    }
    first_ = TableStep(from, +1);
    steps_ = 1;
    if (Datums().datum(to).Code != "WGS84") {
        second_ = TableStep(to, -1);
        steps_ = 2;
    }
}

GEODESY_VECTOR_CLONES
void DatumShift::Apply(double lat, double lon, double h, double& latOut, double& lonOut) const {
    if (steps_ == 0) {
        latOut = lat;
        lonOut = lon;
        return;
    }
    if (h == 0.0) {
        // The batch's steps first, so that a point shifts alone as it does in a run; Step's
        // checks and branches for what they refuse.
        double t1 = 0.0, t2 = 0.0;
        VectorStep(first_, lat, lon, t1, t2);
        if (steps_ == 2) {
            VectorStep(second_, t1, t2, t1, t2);
        }
        if (!std::isnan(t1)) {
            latOut = t1;
            lonOut = t2;
            return;
        }
    }
    if (steps_ == 1) {
        Step(lat, lon, h, first_, latOut, lonOut);
        return;
    }
    double t1 = 0.0, t2 = 0.0;
    Step(lat, lon, h, first_, t1, t2);
    Step(t1, t2, h, second_, latOut, lonOut);
}

void ShiftDatum(double lat, double lon, double h, double& latOut, double& lonOut, int from,
                int to) {
    DatumShift(from, to).Apply(lat, lon, h, latOut, lonOut);
}

void MolodenskyTable(double lat, double lon, double h, double& latOut, double& lonOut, int datum,
                     int direction) {
    Step(lat, lon, h, TableStep(datum, direction), latOut, lonOut);
}

void MolodenskyParams(double lat, double lon, double h, double da, double df, double dx, double dy,
                      double dz, double& latOut, double& lonOut) {
    MolodenskyStep p{dx, dy, dz, da, df};
    p.a = da == 0.0 ? kWgs84A : kWgs84A - da;
    // The local flattening by the standard Molodensky relation df = f(WGS84) - f(local).
    p.f = df == 0.0 ? 1.0 / kWgs84InverseFlatteningShort : 1.0 / kWgs84InverseFlattening - df;
    Step(lat, lon, h, Derived(p), latOut, lonOut);
}

} // namespace geodesy

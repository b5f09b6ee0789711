#include "geodesy/Molodensky.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/Angles.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/DatumTables.h"

#include <cmath>

namespace geodesy {

namespace {

using checked::Div;
using checked::Finite;

struct Shift {
    double dx, dy, dz, da, df;
};

// Steps 1 and 4 to 8 of one shift, on the ellipsoid (a, f).
void Step(double lat, double lon, double h, const Shift& p, double a, double f, double& latOut,
          double& lonOut) {
    const double phi = DegToRad(lat);
    const double lambda = DegToRad(lon);
    const double sp = std::sin(phi), cp = std::cos(phi);
    const double sl = std::sin(lambda), cl = std::cos(lambda);

    const double e2 = 2.0 * f - f * f;
    const double w2 = 1.0 - e2 * sp * sp;
    const double rn = Div(a, checked::Sqrt(w2));
    const double rm = Div(a * (1.0 - e2), checked::Sqrt(w2) * w2);

    const double dphi =
        Div(-p.dx * sp * cl - p.dy * sp * sl + p.dz * cp + Div(p.da * rn * e2 * sp * cp, a) +
                p.df * (Div(rm, 1.0 - f) + rn * (1.0 - f)) * sp * cp,
            rm + h);
    const double dlambda = Div(-p.dx * sl + p.dy * cl, (rn + h) * cp);

    const double outLat = RadToDeg(Finite(phi + dphi));
    const double outLon = RadToDeg(Finite(lambda + dlambda));
    latOut = outLat;
    lonOut = outLon;
}

} // namespace

void ShiftDatum(double lat, double lon, double h, double& latOut, double& lonOut, int from,
                int to) {
    if (from == to) {
        latOut = lat;
        lonOut = lon;
        return;
    }
    double t1 = 0.0, t2 = 0.0;
    MolodenskyTable(lat, lon, h, t1, t2, from, +1);
    if (Datums().datum(to).Code == "WGS84") {
        latOut = t1;
        lonOut = t2;
        return;
    }
    MolodenskyTable(t1, t2, h, latOut, lonOut, to, -1);
}

void MolodenskyTable(double lat, double lon, double h, double& latOut, double& lonOut, int datum,
                     int direction) {
    const DatumState& state = Datums();
    const DatumRec& rec = state.datum(datum);
    const double s = direction;
    // da is a 16-bit integer: the product is one too, and overflows as one.
    const double da = common::ToInt16(static_cast<double>(direction) * rec.da);
    const Shift p{s * rec.dx, s * rec.dy, s * rec.dz, da, s * rec.df};
    const EllipsoidRec& ellipsoid = state.ellipsoid(rec.ELLI_ID);
    const double f = Div(1.0, ellipsoid.f_Inv);
    Step(lat, lon, h, p, ellipsoid.A, f, latOut, lonOut);
}

void MolodenskyParams(double lat, double lon, double h, double da, double df, double dx, double dy,
                      double dz, double& latOut, double& lonOut) {
    const double a = da == 0.0 ? kWgs84A : kWgs84A - da;
    // The local flattening by the standard Molodensky relation df = f(WGS84) - f(local).
    const double f =
        df == 0.0 ? 1.0 / kWgs84InverseFlatteningShort : 1.0 / kWgs84InverseFlattening - df;
    Step(lat, lon, h, Shift{dx, dy, dz, da, df}, a, f, latOut, lonOut);
}

} // namespace geodesy

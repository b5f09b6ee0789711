#pragma once

// PROJ as the independent reference of the editor's positions: the inverse of a plane point in its
// EPSG projection, then the standard Molodensky shift through WGS84 into another datum, with the
// datum table's parameters (the data the program ships, not its arithmetic).

#include "../geodesy/ProjReference.h"
#include "geodesy/DatumTables.h"

#include <cstdio>
#include <memory>
#include <proj.h>
#include <string>

namespace editor_test {

struct LatLon {
    double lat = 0.0;
    double lon = 0.0;
};

inline std::string ProjNumber(double x) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", x);
    return buffer;
}

// The standard Molodensky shift of a datum of the table: forward to WGS84, inverse from it.
class ProjMolodensky {
public:
    explicit ProjMolodensky(int datum) : op_(nullptr, proj_destroy) {
        const geodesy::DatumRec& d = geodesy::Datums().datum(datum);
        const geodesy::EllipsoidRec& e = geodesy::Datums().ellipsoid(d.ELLI_ID);
        const std::string definition =
            "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=molodensky "
            "+a=" +
            ProjNumber(e.A) + " +rf=" + ProjNumber(e.f_Inv) + " +dx=" + ProjNumber(d.dx) +
            " +dy=" + ProjNumber(d.dy) + " +dz=" + ProjNumber(d.dz) + " +da=" + ProjNumber(d.da) +
            " +df=" + ProjNumber(d.df) + " +step +proj=unitconvert +xy_in=rad +xy_out=deg";
        op_.reset(proj_create(PJ_DEFAULT_CTX, definition.c_str()));
    }
    LatLon toWgs84(const LatLon& p) const { return Run(PJ_FWD, p); }
    LatLon fromWgs84(const LatLon& p) const { return Run(PJ_INV, p); }

private:
    LatLon Run(PJ_DIRECTION direction, const LatLon& p) const {
        const PJ_COORD r = proj_trans(op_.get(), direction, proj_coord(p.lon, p.lat, 0, 0));
        return {r.lp.phi, r.lp.lam};
    }
    std::unique_ptr<PJ, decltype(&proj_destroy)> op_;
};

// A position from datum `from` into datum `to` (table indexes) through WGS84.
inline LatLon ReferenceShift(const LatLon& p, int from, int to) {
    if (from == to) {
        return p;
    }
    const LatLon wgs84 = ProjMolodensky(from).toWgs84(p);
    if (geodesy::TrimCode(geodesy::Datums().datum(to).Code) == "WGS84") {
        return wgs84;
    }
    return ProjMolodensky(to).fromWgs84(wgs84);
}

// The latitude and longitude of a plane point of `projected`, on the datum of `geographic`.
inline LatLon ReferenceInverse(const char* geographic, const char* projected, double x, double y) {
    const testref::ProjGrid grid(geographic, projected);
    LatLon p;
    grid.inverse(x, y, p.lat, p.lon);
    return p;
}

// The plane point of a position on the datum of `geographic`.
inline void ReferenceForward(const char* geographic, const char* projected, const LatLon& p,
                             double& x, double& y) {
    const testref::ProjGrid grid(geographic, projected);
    grid.forward(p.lat, p.lon, x, y);
}

} // namespace editor_test

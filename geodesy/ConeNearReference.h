#pragma once

// The radius of a Lambert cone near a reference parallel, for one point. On the ellipsoid
// ln t = -atanh(sin phi) + e atanh(e sin phi) (t = tan(pi/4 - chi/2) of the conformal latitude chi,
// minus the isometric latitude), so that ln(t / t_ref) = -atanh((s - s_ref) / (1 - s s_ref)) plus
// the difference of the e atanh(e s) terms, and rho = rho_ref exp(n ln(t / t_ref)): near the
// reference both come from short series, where ln t and exp take the library's functions or the
// longer kernels.

#include "geodesy/PointMath.h"
#include "geodesy/SmallSeries.h"

#include <cmath>

namespace geodesy {

// A reference parallel of a cone: its latitude (radians) with sine and cosine, the eccentricity of
// the ellipsoid, and e atanh(e sin phi_ref).
struct ConeReference {
    ReferenceAngle latitude;
    double e = 0.0;
    double eAtanh = 0.0;
};

inline ConeReference MakeConeReference(double latitude, double e) {
    ConeReference r;
    r.latitude = MakeReferenceAngle(latitude);
    r.e = e;
    r.eAtanh = e * std::atanh(e * r.latitude.sine);
    return r;
}

// What LnTRatioNear finds of a latitude phi: sin phi, cos phi, e atanh(e sin phi) and ln(t /
// t_ref).
struct NearParallel {
    double sinPhi = 0.0, cosPhi = 0.0, eAtanh = 0.0, lnRatio = 0.0;
};

// The terms of latitude phi (radians) within 0.125 of the reference; false, nothing written,
// farther from it.
GEODESY_ALWAYS_INLINE bool LnTRatioNear(const ConeReference& r, double phi, NearParallel& p) {
    const double d = phi - r.latitude.angle;
    if (!(std::abs(d) <= 0.125)) {
        return false;
    }
    double sinD = 0.0, cosDMinusOne = 0.0;
    SinCosSmall(d, sinD, cosDMinusOne);
    const double s0 = r.latitude.sine, c0 = r.latitude.cosine;
    const double ds = s0 * cosDMinusOne + c0 * sinD; // s - s_ref, without cancellation
    const double s = s0 + ds;
    // Beyond some 45 degrees of latitude |u| can pass 0.2 within 0.125 rad of the reference.
    const double u = ds / (1.0 - s * s0);
    if (!(std::abs(u) <= 0.2)) {
        return false;
    }
    p.sinPhi = s;
    p.cosPhi = c0 + (c0 * cosDMinusOne - s0 * sinD);
    p.eAtanh = r.e * AtanhSmall(r.e * s);
    p.lnRatio = (p.eAtanh - r.eAtanh) - AtanhFifth(u);
    return true;
}

} // namespace geodesy

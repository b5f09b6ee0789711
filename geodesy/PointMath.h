#pragma once

// The math functions of the one-point conversions: the batches' kernels (VectorMath.h) inlined for
// one point, where the library's sine, cosine, arctangent, logarithm and exponential would cost
// several times as much in calls. A one-point conversion tries them first and takes a NaN out of
// them, or an input outside their range, as the sign to redo the point with the library's
// functions and the checks that raise its errors.

#include "geodesy/Angles.h"
#include "geodesy/SmallSeries.h"
#include "geodesy/VectorMath.h"

#include <cmath>
#include <type_traits>

namespace geodesy {

struct PointMath : vecmath::Vector {};

// Whether a conversion written against math functions M may branch to shorter series where an
// argument is small: for one point only, where a branch skips the longer way, while a vectorised
// loop would compute both ways for every point.
template <typename M> inline constexpr bool kShortcuts = std::is_same_v<M, PointMath>;

// Latitude and longitude in degrees (RadToDeg's factor) of the radians that
// inverse(phi, lambda) finds with these kernels, a function that returns false for a point it
// cannot convert; false, nothing written, for such a point or one without finite degrees.
template <typename Inverse>
GEODESY_ALWAYS_INLINE bool DegreesByKernels(Inverse inverse, double& lat, double& lon) {
    double phi = 0.0, lambda = 0.0;
    if (!inverse(phi, lambda)) {
        return false;
    }
    const double latitude = DegreesOf(phi);
    const double longitude = DegreesOf(lambda);
    if (!(std::isfinite(latitude) && std::isfinite(longitude))) {
        return false;
    }
    lat = latitude;
    lon = longitude;
    return true;
}

// An angle in radians with its sine and cosine, near which a conversion's angles mostly fall.
struct ReferenceAngle {
    double angle = 0.0, sine = 0.0, cosine = 1.0;
};

inline ReferenceAngle MakeReferenceAngle(double angle) {
    return {angle, std::sin(angle), std::cos(angle)};
}

// sin x and cos x by M's functions; for one point, within 0.125 of the reference, from the
// reference's by the series of the difference, which need no reduction of the angle.
template <typename M>
GEODESY_ALWAYS_INLINE void SinCosNear(const ReferenceAngle& reference, double x, double& sine,
                                      double& cosine) {
    const double d = x - reference.angle;
    if (kShortcuts<M> && std::abs(d) <= 0.125) {
        double sinD = 0.0, cosDMinusOne = 0.0;
        SinCosSmall(d, sinD, cosDMinusOne);
        sine = reference.sine + (reference.sine * cosDMinusOne + reference.cosine * sinD);
        cosine = reference.cosine + (reference.cosine * cosDMinusOne - reference.sine * sinD);
    } else {
        M::SinCos(x, sine, cosine);
    }
}

// The same near 0.
template <typename M>
GEODESY_ALWAYS_INLINE void SinCosNearZero(double x, double& sine, double& cosine) {
    if (kShortcuts<M> && std::abs(x) <= 0.125) {
        double cosMinusOne = 0.0;
        SinCosSmall(x, sine, cosMinusOne);
        cosine = 1.0 + cosMinusOne;
    } else {
        M::SinCos(x, sine, cosine);
    }
}

} // namespace geodesy

#pragma once

// Conformal latitude of an ellipsoid and its inverse by trigonometric series in the third
// flattening n (Krüger; the series PROJ's transverse Mercator uses), summed by Clenshaw's method.
// Carried to n^4, they are exact to 5e-13 rad (a few micrometres on the ground) for any terrestrial
// ellipsoid, and need no iteration.

#include "geodesy/VectorMath.h"

#include <array>

namespace geodesy {

// Coefficients of chi = phi + sum c_k sin(2k phi) and phi = chi + sum d_k sin(2k chi), k = 1..4.
struct ConformalSeries {
    std::array<double, 4> toConformal{};
    std::array<double, 4> toGeodetic{};
};

constexpr ConformalSeries MakeConformalSeries(double flattening) {
    const double n = flattening / (2.0 - flattening);
    const double n2 = n * n, n3 = n2 * n, n4 = n3 * n;
    ConformalSeries s;
    s.toConformal = {-2.0 * n + 2.0 * n2 / 3.0 + 4.0 * n3 / 3.0 - 82.0 * n4 / 45.0,
                     5.0 * n2 / 3.0 - 16.0 * n3 / 15.0 - 13.0 * n4 / 9.0,
                     -26.0 * n3 / 15.0 + 34.0 * n4 / 21.0, 1237.0 * n4 / 630.0};
    s.toGeodetic = {2.0 * n - 2.0 * n2 / 3.0 - 2.0 * n3 + 116.0 * n4 / 45.0,
                    7.0 * n2 / 3.0 - 8.0 * n3 / 5.0 - 227.0 * n4 / 45.0,
                    56.0 * n3 / 15.0 - 136.0 * n4 / 35.0, 4279.0 * n4 / 630.0};
    return s;
}

// sum c_k sin(2k x), k = 1..4, from sin 2x and cos 2x. The steps are written out, without a loop,
// so that a loop over points that calls this one is vectorised.
GEODESY_ALWAYS_INLINE double SinSeries(const std::array<double, 4>& c, double sin2x, double cos2x) {
    const double a = 2.0 * cos2x;
    const double b4 = c[3];
    const double b3 = a * b4 + c[2];
    const double b2 = a * b3 - b4 + c[1];
    const double b1 = a * b2 - b3 + c[0];
    return b1 * sin2x;
}

// The same sum for a complex argument x + iy, from sin 2x, cos 2x, sinh 2y and cosh 2y:
// re = sum c_k sin(2kx) cosh(2ky) and im = sum c_k cos(2kx) sinh(2ky).
GEODESY_ALWAYS_INLINE void SinSeriesComplex(const std::array<double, 4>& c, double sin2x,
                                            double cos2x, double sinh2y, double cosh2y, double& re,
                                            double& im) {
    // a = 2 cos(2z) and the sum is b1 sin(2z), in complex arithmetic written out, step by step.
    const double ar = 2.0 * cos2x * cosh2y, ai = -2.0 * sin2x * sinh2y;
    const double b4r = c[3]; // b4 is real
    const double b3r = ar * b4r + c[2], b3i = ai * b4r;
    const double b2r = ar * b3r - ai * b3i - b4r + c[1], b2i = ar * b3i + ai * b3r;
    const double b1r = ar * b2r - ai * b2i - b3r + c[0], b1i = ar * b2i + ai * b2r - b3i;
    const double sr = sin2x * cosh2y, si = cos2x * sinh2y; // sin(2z)
    re = b1r * sr - b1i * si;
    im = b1r * si + b1i * sr;
}

// Sine and cosine of the conformal latitude chi = phi + delta from those of phi. delta stays below
// 0.004 rad for any terrestrial ellipsoid and latitude, so its sine and cosine come from their
// Taylor series (exact to 1e-19 at that size).
GEODESY_ALWAYS_INLINE void ConformalSinCos(const ConformalSeries& s, double sinPhi, double cosPhi,
                                           double& sinChi, double& cosChi) {
    const double delta =
        SinSeries(s.toConformal, 2.0 * sinPhi * cosPhi, cosPhi * cosPhi - sinPhi * sinPhi);
    const double d2 = delta * delta;
    const double sinDelta = delta * (1.0 - d2 * (1.0 / 6.0) * (1.0 - d2 * (1.0 / 20.0)));
    const double cosDelta = 1.0 - d2 * 0.5 * (1.0 - d2 * (1.0 / 12.0) * (1.0 - d2 * (1.0 / 30.0)));
    sinChi = sinPhi * cosDelta + cosPhi * sinDelta;
    cosChi = cosPhi * cosDelta - sinPhi * sinDelta;
}

} // namespace geodesy

#pragma once

// Conformal latitude of an ellipsoid and its inverse by trigonometric series in the third
// flattening n (Krüger; the series PROJ's transverse Mercator uses), summed by Clenshaw's method.
// Carried to n^4, they are exact to 5e-13 rad (a few micrometres on the ground) for any terrestrial
// ellipsoid, and need no iteration.

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

// sum c_k sin(2k x), k = 1..4, from sin 2x and cos 2x.
inline double SinSeries(const std::array<double, 4>& c, double sin2x, double cos2x) {
    const double a = 2.0 * cos2x;
    double b1 = 0.0, b2 = 0.0;
    for (int k = 3; k >= 0; --k) {
        const double b0 = a * b1 - b2 + c[static_cast<std::size_t>(k)];
        b2 = b1;
        b1 = b0;
    }
    return b1 * sin2x;
}

// The same sum for a complex argument x + iy, from sin 2x, cos 2x, sinh 2y and cosh 2y:
// re = sum c_k sin(2kx) cosh(2ky) and im = sum c_k cos(2kx) sinh(2ky).
inline void SinSeriesComplex(const std::array<double, 4>& c, double sin2x, double cos2x,
                             double sinh2y, double cosh2y, double& re, double& im) {
    // a = 2 cos(2z) and the sum is b1 sin(2z), in complex arithmetic written out.
    const double ar = 2.0 * cos2x * cosh2y, ai = -2.0 * sin2x * sinh2y;
    double b1r = 0.0, b1i = 0.0, b2r = 0.0, b2i = 0.0;
    for (int k = 3; k >= 0; --k) {
        const double b0r = ar * b1r - ai * b1i - b2r + c[static_cast<std::size_t>(k)];
        const double b0i = ar * b1i + ai * b1r - b2i;
        b2r = b1r;
        b2i = b1i;
        b1r = b0r;
        b1i = b0i;
    }
    const double sr = sin2x * cosh2y, si = cos2x * sinh2y; // sin(2z)
    re = b1r * sr - b1i * si;
    im = b1r * si + b1i * sr;
}

} // namespace geodesy

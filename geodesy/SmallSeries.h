#pragma once

// Functions of small arguments by their Taylor series: a few multiply-adds in place of a
// logarithm, an arctangent or an exponential, where a conversion knows the argument to be small.
// The longer ones are summed by Estrin's scheme, in pairs of terms, then pairs of pairs, so that
// a one-point conversion waits for a handful of steps rather than one step a term.

#include "geodesy/VectorMath.h"

#include <array>
#include <cstddef>
#include <utility>

namespace geodesy {

namespace series_detail {

// c[2k] + c[2k + 1] x, or c[2k] alone for the last of an odd count.
template <std::size_t K, std::size_t N>
GEODESY_ALWAYS_INLINE double PairAt(const std::array<double, N>& c, double x) {
    if constexpr (2 * K + 1 < N) {
        return c[2 * K] + c[2 * K + 1] * x;
    } else {
        return c[2 * K];
    }
}

template <std::size_t N, std::size_t... K>
GEODESY_ALWAYS_INLINE std::array<double, sizeof...(K)> Pairs(const std::array<double, N>& c,
                                                             double x, std::index_sequence<K...>) {
    return {PairAt<K>(c, x)...};
}

} // namespace series_detail

// c[0] + c[1] x + ... + c[N - 1] x^(N - 1) by Estrin's scheme.
template <std::size_t N>
GEODESY_ALWAYS_INLINE double Estrin(const std::array<double, N>& c, double x) {
    if constexpr (N == 1) {
        return c[0];
    } else {
        return Estrin(series_detail::Pairs(c, x, std::make_index_sequence<(N + 1) / 2>{}), x * x);
    }
}

// atanh u for |u| <= 0.1, by its series to u^15 (the first omitted term is below 1e-17 u).
GEODESY_ALWAYS_INLINE double AtanhSmall(double u) {
    const double v = u * u;
    return u + u * v *
                   (1.0 / 3.0 +
                    v * (1.0 / 5.0 +
                         v * (1.0 / 7.0 +
                              v * (1.0 / 9.0 +
                                   v * (1.0 / 11.0 + v * (1.0 / 13.0 + v * (1.0 / 15.0)))))));
}

// atanh u for |u| <= 0.2, by its series to u^23 (the first omitted term is below 1e-18 u).
GEODESY_ALWAYS_INLINE double AtanhFifth(double u) {
    static constexpr std::array<double, 11> kTerms{1.0 / 3.0,  1.0 / 5.0,  1.0 / 7.0,  1.0 / 9.0,
                                                   1.0 / 11.0, 1.0 / 13.0, 1.0 / 15.0, 1.0 / 17.0,
                                                   1.0 / 19.0, 1.0 / 21.0, 1.0 / 23.0};
    const double v = u * u;
    return u + u * v * Estrin(kTerms, v);
}

// atan u for |u| <= 0.01, by its series to u^9 (the first omitted term is below 1e-22 u).
GEODESY_ALWAYS_INLINE double AtanSmall(double u) {
    const double v = u * u;
    return u - u * v * (1.0 / 3.0 - v * (1.0 / 5.0 - v * (1.0 / 7.0 - v * (1.0 / 9.0))));
}

// atan u for |u| <= 1/8, by its series to u^17 (the first omitted term is below 1e-17 u).
GEODESY_ALWAYS_INLINE double AtanEighth(double u) {
    static constexpr std::array<double, 8> kTerms{-1.0 / 3.0,  1.0 / 5.0,  -1.0 / 7.0,  1.0 / 9.0,
                                                  -1.0 / 11.0, 1.0 / 13.0, -1.0 / 15.0, 1.0 / 17.0};
    const double v = u * u;
    return u + u * v * Estrin(kTerms, v);
}

// e^x for |x| <= 0.25, by its series to x^12 (the first omitted term is below 3e-18).
GEODESY_ALWAYS_INLINE double ExpSmall(double x) {
    static constexpr std::array<double, 11> kTerms{
        1.0 / 2.0,       1.0 / 6.0,        1.0 / 24.0,       1.0 / 120.0,
        1.0 / 720.0,     1.0 / 5040.0,     1.0 / 40320.0,    1.0 / 362880.0,
        1.0 / 3628800.0, 1.0 / 39916800.0, 1.0 / 479001600.0};
    return 1.0 + (x + x * x * Estrin(kTerms, x));
}

// sin x and cos x - 1 for |x| <= 0.125, by their series to x^11 and x^12 (the first omitted terms
// are below 1e-20 x and 1e-23).
GEODESY_ALWAYS_INLINE void SinCosSmall(double x, double& sine, double& cosMinusOne) {
    static constexpr std::array<double, 5> kSin{-1.0 / 6.0, 1.0 / 120.0, -1.0 / 5040.0,
                                                1.0 / 362880.0, -1.0 / 39916800.0};
    static constexpr std::array<double, 6> kCos{-0.5,          1.0 / 24.0,       -1.0 / 720.0,
                                                1.0 / 40320.0, -1.0 / 3628800.0, 1.0 / 479001600.0};
    const double v = x * x;
    sine = x + x * v * Estrin(kSin, v);
    cosMinusOne = v * Estrin(kCos, v);
}

// sinh x and cosh x for |x| <= 0.1, by their series to x^11 and x^12 (the first omitted terms are
// below 1e-21 x and 1e-24).
GEODESY_ALWAYS_INLINE void SinhCoshSmall(double x, double& sinh, double& cosh) {
    static constexpr std::array<double, 5> kSinh{1.0 / 6.0, 1.0 / 120.0, 1.0 / 5040.0,
                                                 1.0 / 362880.0, 1.0 / 39916800.0};
    static constexpr std::array<double, 6> kCosh{0.5,           1.0 / 24.0,      1.0 / 720.0,
                                                 1.0 / 40320.0, 1.0 / 3628800.0, 1.0 / 479001600.0};
    const double v = x * x;
    sinh = x + x * v * Estrin(kSinh, v);
    cosh = 1.0 + v * Estrin(kCosh, v);
}

} // namespace geodesy

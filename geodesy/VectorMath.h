#pragma once

// Sine and cosine, arctangent, logarithm and exponential written without branches, tables or
// library calls, so that a loop over arrays that uses them is vectorised by the compiler (the
// library's functions are calls, which stop it). Each is exact to a few units in the last place
// over the range it states. Outside that range the result is NaN: the batch conversions take a
// NaN as the sign to redo the point with the library functions and their checks.

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

// Everything a vectorised loop calls must be inlined into it.
#if defined(__GNUC__)
#define GEODESY_ALWAYS_INLINE [[gnu::always_inline]] inline
#else
#define GEODESY_ALWAYS_INLINE inline
#endif

namespace geodesy::vecmath {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kHalfPi = 1.57079632679489661923;
inline constexpr double kHalfPiLow = 6.123233995736766036e-17; // pi/2 - kHalfPi
inline constexpr double kQuarterPi = 0.78539816339744830962;
inline constexpr double kQuarterPiLow = 3.061616997868383018e-17;
inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kPiLow = 1.2246467991473532072e-16;

// 1.5 x 2^52: adding it rounds a double below 2^51 to an integer, kept in the low mantissa bits.
inline constexpr double kRoundingShift = 0x1.8p52;

GEODESY_ALWAYS_INLINE std::uint64_t Bits(double x) {
    return std::bit_cast<std::uint64_t>(x);
}
GEODESY_ALWAYS_INLINE double FromBits(std::uint64_t b) {
    return std::bit_cast<double>(b);
}
GEODESY_ALWAYS_INLINE double Abs(double x) {
    return FromBits(Bits(x) & 0x7FFFFFFFFFFFFFFFULL);
}
// |x| with the sign of s.
GEODESY_ALWAYS_INLINE double WithSignOf(double x, double s) {
    return FromBits((Bits(x) & 0x7FFFFFFFFFFFFFFFULL) | (Bits(s) & 0x8000000000000000ULL));
}

// Sine and cosine for |x| < 1e6 (Cody and Waite's reduction by pi/2 in three parts, then the
// Taylor series of both to the 17th power on |r| <= pi/4, whose first omitted terms are below
// 1e-17).
GEODESY_ALWAYS_INLINE void SinCos(double x, double& sine, double& cosine) {
    constexpr double kTwoOverPi = 0.63661977236758134308;
    constexpr double kPio2Part1 = 1.57079632673412561417e+00; // 33 bits: q x part1 is exact
    constexpr double kPio2Part2 = 6.07710050630396597660e-11;
    constexpr double kPio2Part3 = 2.02226624879595063154e-21;
    const double shifted = x * kTwoOverPi + kRoundingShift;
    const double q = shifted - kRoundingShift;
    const std::uint64_t quadrant = Bits(shifted);
    const double r = ((x - q * kPio2Part1) - q * kPio2Part2) - q * kPio2Part3;
    const double z = r * r;
    const double sinR =
        r + r * z *
                (-1.0 / 6.0 +
                 z * (1.0 / 120.0 +
                      z * (-1.0 / 5040.0 + z * (1.0 / 362880.0 +
                                                z * (-1.0 / 39916800.0 +
                                                     z * (1.0 / 6227020800.0 +
                                                          z * (-1.0 / 1307674368000.0 +
                                                               z * (1.0 / 355687428096000.0))))))));
    const double cosR =
        1.0 - 0.5 * z +
        z * z *
            (1.0 / 24.0 +
             z * (-1.0 / 720.0 +
                  z * (1.0 / 40320.0 + z * (-1.0 / 3628800.0 +
                                            z * (1.0 / 479001600.0 +
                                                 z * (-1.0 / 87178291200.0 +
                                                      z * (1.0 / 20922789888000.0 +
                                                           z * (-1.0 / 6402373705728000.0))))))));
    // Quadrant q mod 4: (sin, cos) = (s, c), (c, -s), (-s, -c), (-c, s).
    // The swap is a blend of bits: a select on a 64-bit integer test has no SSE2 instruction.
    const std::uint64_t odd = 0U - (quadrant & 1U); // all ones in odd quadrants
    const double s = FromBits((Bits(sinR) & ~odd) | (Bits(cosR) & odd));
    const double c = FromBits((Bits(cosR) & ~odd) | (Bits(sinR) & odd));
    const bool inRange = Abs(x) < 1e6;
    sine = inRange ? FromBits(Bits(s) ^ ((quadrant & 2U) << 62)) : kNaN;
    cosine = inRange ? FromBits(Bits(c) ^ (((quadrant + 1U) & 2U) << 62)) : kNaN;
}

// Arctangent of 0 <= a <= 1 (Cephes' rational approximation on |u| <= 0.66 after the reduction
// atan a = pi/4 + atan((a - 1) / (a + 1)) above 0.66).
GEODESY_ALWAYS_INLINE double AtanUnit(double a) {
    const bool reduce = a > 0.66;
    const double u = reduce ? (a - 1.0) / (a + 1.0) : a;
    const double z = u * u;
    const double p = (((-8.750608600031904122785e-1 * z - 1.615753718733365076637e1) * z -
                       7.500855792314704667340e1) *
                          z -
                      1.228866684490136173410e2) *
                         z -
                     6.485021904942025371773e1;
    const double q = ((((z + 2.485846490142306297962e1) * z + 1.650270098316988542046e2) * z +
                       4.328810604912902668951e2) *
                          z +
                      4.853903996359136964868e2) *
                         z +
                     1.945506571482613964425e2;
    const double atanU = u + u * z * p / q;
    return reduce ? kQuarterPi + (atanU + kQuarterPiLow) : atanU;
}

// atan2(y, x) for finite y and x, in -pi..pi (0 for 0, 0).
GEODESY_ALWAYS_INLINE double Atan2(double y, double x) {
    const double ax = Abs(x), ay = Abs(y);
    const bool steep = ay > ax;
    const double big = steep ? ay : ax;
    const double small = steep ? ax : ay;
    const double ratio = small / big;
    const double a = AtanUnit(big > 0.0 ? ratio : 0.0);
    double r = steep ? kHalfPi - (a - kHalfPiLow) : a;
    r = x < 0.0 ? kPi - (r - kPiLow) : r;
    return WithSignOf(r, y);
}

// Natural logarithm of a normal positive x; NaN for any other x. x = m 2^e with m within
// sqrt(1/2)..sqrt(2), ln m = 2 atanh f with f = (m - 1) / (m + 1), |f| <= 0.172, by its series to
// f^23.
GEODESY_ALWAYS_INLINE double Log(double x) {
    constexpr double kLn2High = 6.93147180369123816490e-01; // trailing zeros: e x high is exact
    constexpr double kLn2Low = 1.90821492927058770002e-10;
    constexpr double kSqrt2 = 1.41421356237309504880;
    const std::uint64_t bits = Bits(x);
    const double m1 = FromBits((bits & 0x000FFFFFFFFFFFFFULL) | 0x3FF0000000000000ULL);
    const double e1 = FromBits((bits >> 52) | 0x4330000000000000ULL) - (0x1p52 + 1023.0);
    const bool halve = m1 > kSqrt2;
    const double m = halve ? 0.5 * m1 : m1;
    const double e = halve ? e1 + 1.0 : e1;
    const double f = (m - 1.0) / (m + 1.0);
    const double s = f * f;
    const double series =
        s * (2.0 / 3.0 +
             s * (2.0 / 5.0 +
                  s * (2.0 / 7.0 +
                       s * (2.0 / 9.0 +
                            s * (2.0 / 11.0 +
                                 s * (2.0 / 13.0 +
                                      s * (2.0 / 15.0 +
                                           s * (2.0 / 17.0 +
                                                s * (2.0 / 19.0 +
                                                     s * (2.0 / 21.0 + s * (2.0 / 23.0)))))))))));
    const double result = e * kLn2High + (2.0 * f + (f * series + e * kLn2Low));
    // Two selects: one on the conjunction of both tests is not vectorised.
    const double positive = x >= 0x1p-1022 ? result : kNaN;
    return x <= std::numeric_limits<double>::max() ? positive : kNaN;
}

// e^x for |x| <= 708; NaN beyond. x = k ln 2 + r, |r| <= 0.347, e^r by its Taylor series to r^13.
GEODESY_ALWAYS_INLINE double Exp(double x) {
    constexpr double kLog2E = 1.44269504088896338700;
    constexpr double kLn2High = 6.93147180369123816490e-01;
    constexpr double kLn2Low = 1.90821492927058770002e-10;
    const double shifted = x * kLog2E + kRoundingShift;
    const double k = shifted - kRoundingShift;
    const double r = (x - k * kLn2High) - k * kLn2Low;
    const double p =
        1.0 +
        r * (1.0 +
             r * (1.0 / 2.0 +
                  r * (1.0 / 6.0 +
                       r * (1.0 / 24.0 +
                            r * (1.0 / 120.0 +
                                 r * (1.0 / 720.0 +
                                      r * (1.0 / 5040.0 +
                                           r * (1.0 / 40320.0 +
                                                r * (1.0 / 362880.0 +
                                                     r * (1.0 / 3628800.0 +
                                                          r * (1.0 / 39916800.0 +
                                                               r * (1.0 / 479001600.0 +
                                                                    r * (1.0 /
                                                                         6227020800.0)))))))))))));
    const double scale = FromBits((Bits(shifted) + 1023U) << 52);
    return Abs(x) <= 708.0 ? p * scale : kNaN;
}

// The two sets of functions the projections are written against: the library's for one point, and
// these for the batch loops.
struct Library {
    static void SinCos(double x, double& s, double& c) {
        s = std::sin(x);
        c = std::cos(x);
    }
    static double Atan2(double y, double x) { return std::atan2(y, x); }
    static double Log(double x) { return std::log(x); }
    static double Exp(double x) { return std::exp(x); }
};
struct Vector {
    static void SinCos(double x, double& s, double& c) { vecmath::SinCos(x, s, c); }
    static double Atan2(double y, double x) { return vecmath::Atan2(y, x); }
    static double Log(double x) { return vecmath::Log(x); }
    static double Exp(double x) { return vecmath::Exp(x); }
};

} // namespace geodesy::vecmath

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

// Sine and cosine of one angle |x| <= 1.5769 (a little over pi/2: latitudes and the like), NaN
// beyond: a table's short latency for a point converted alone, where the loops above are faster
// over arrays. x = k pi/256 + r with |r| <= pi/512 (pi/256 in two parts, the first with room for k
// in its low bits), sin and cos r by their Taylor series to r^5 and r^6 (the first omitted terms
// are below 1e-19), and the sine and cosine of x from those of k pi/256, correctly rounded in the
// table: within 2^-53 of the exact values.
GEODESY_ALWAYS_INLINE void SinCosNear(double x, double& sine, double& cosine) {
    // sin(k pi / 256) for k = 0 to 128; cos(k pi / 256) is entry 128 - k.
    static constexpr double kSines[129] = {
        0x0.0p+0,
        0x1.921d1fcdec784p-7,
        0x1.92155f7a3667ep-6,
        0x1.2d865759455cdp-5,
        0x1.91f65f10dd814p-5,
        0x1.f656e79f820e0p-5,
        0x1.2d52092ce19f6p-4,
        0x1.5f6d00a9aa419p-4,
        0x1.917a6bc29b42cp-4,
        0x1.c3785c79ec2d5p-4,
        0x1.f564e56a9730ep-4,
        0x1.139f0cedaf577p-3,
        0x1.2c8106e8e613ap-3,
        0x1.45576b1293e5ap-3,
        0x1.5e214448b3fc6p-3,
        0x1.76dd9de50bf31p-3,
        0x1.8f8b83c69a60bp-3,
        0x1.a82a025b00451p-3,
        0x1.c0b826a7e4f63p-3,
        0x1.d934fe5454311p-3,
        0x1.f19f97b215f1bp-3,
        0x1.04fb80e37fdaep-2,
        0x1.111d262b1f677p-2,
        0x1.1d3443f4cdb3ep-2,
        0x1.294062ed59f06p-2,
        0x1.35410c2e18152p-2,
        0x1.4135c94176601p-2,
        0x1.4d1e24278e76ap-2,
        0x1.58f9a75ab1fddp-2,
        0x1.64c7ddd3f27c6p-2,
        0x1.7088530fa459fp-2,
        0x1.7c3a9311dcce7p-2,
        0x1.87de2a6aea963p-2,
        0x1.9372a63bc93d7p-2,
        0x1.9ef7943a8ed8ap-2,
        0x1.aa6c82b6d3fcap-2,
        0x1.b5d1009e15cc0p-2,
        0x1.c1249d8011ee7p-2,
        0x1.cc66e9931c45ep-2,
        0x1.d79775b86e389p-2,
        0x1.e2b5d3806f63bp-2,
        0x1.edc1952ef78d6p-2,
        0x1.f8ba4dbf89abap-2,
        0x1.01cfc874c3eb7p-1,
        0x1.073879922ffeep-1,
        0x1.0c9704d5d898fp-1,
        0x1.11eb3541b4b23p-1,
        0x1.1734d63dedb49p-1,
        0x1.1c73b39ae68c8p-1,
        0x1.21a799933eb59p-1,
        0x1.26d054cdd12dfp-1,
        0x1.2bedb25faf3eap-1,
        0x1.30ff7fce17035p-1,
        0x1.36058b10659f3p-1,
        0x1.3affa292050b9p-1,
        0x1.3fed9534556d4p-1,
        0x1.44cf325091dd6p-1,
        0x1.49a449b9b0939p-1,
        0x1.4e6cabbe3e5e9p-1,
        0x1.5328292a35596p-1,
        0x1.57d69348ceca0p-1,
        0x1.5c77bbe65018cp-1,
        0x1.610b7551d2cdfp-1,
        0x1.6591925f0783dp-1,
        0x1.6a09e667f3bcdp-1,
        0x1.6e74454eaa8afp-1,
        0x1.72d0837efff96p-1,
        0x1.771e75f037261p-1,
        0x1.7b5df226aafafp-1,
        0x1.7f8ece3571771p-1,
        0x1.83b0e0bff976ep-1,
        0x1.87c400fba2ebfp-1,
        0x1.8bc806b151741p-1,
        0x1.8fbcca3ef940dp-1,
        0x1.93a22499263fbp-1,
        0x1.9777ef4c7d742p-1,
        0x1.9b3e047f38741p-1,
        0x1.9ef43ef29af94p-1,
        0x1.a29a7a0462782p-1,
        0x1.a63091b02fae2p-1,
        0x1.a9b66290ea1a3p-1,
        0x1.ad2bc9e21d511p-1,
        0x1.b090a58150200p-1,
        0x1.b3e4d3ef55712p-1,
        0x1.b728345196e3ep-1,
        0x1.ba5aa673590d2p-1,
        0x1.bd7c0ac6f952ap-1,
        0x1.c08c426725549p-1,
        0x1.c38b2f180bdb1p-1,
        0x1.c678b3488739bp-1,
        0x1.c954b213411f5p-1,
        0x1.cc1f0f3fcfc5cp-1,
        0x1.ced7af43cc773p-1,
        0x1.d17e7743e35dcp-1,
        0x1.d4134d14dc93ap-1,
        0x1.d696173c9e68bp-1,
        0x1.d906bcf328d46p-1,
        0x1.db6526238a09bp-1,
        0x1.ddb13b6ccc23cp-1,
        0x1.dfeae622dbe2bp-1,
        0x1.e212104f686e5p-1,
        0x1.e426a4b2bc17ep-1,
        0x1.e6288ec48e112p-1,
        0x1.e817bab4cd10dp-1,
        0x1.e9f4156c62ddap-1,
        0x1.ebbd8c8df0b74p-1,
        0x1.ed740e7684963p-1,
        0x1.ef178a3e473c2p-1,
        0x1.f0a7efb9230d7p-1,
        0x1.f2252f7763adap-1,
        0x1.f38f3ac64e589p-1,
        0x1.f4e603b0b2f2dp-1,
        0x1.f6297cff75cb0p-1,
        0x1.f7599a3a12077p-1,
        0x1.f8764fa714ba9p-1,
        0x1.f97f924c9099bp-1,
        0x1.fa7557f08a517p-1,
        0x1.fb5797195d741p-1,
        0x1.fc26470e19fd3p-1,
        0x1.fce15fd6da67bp-1,
        0x1.fd88da3d12526p-1,
        0x1.fe1cafcbd5b09p-1,
        0x1.fe9cdad01883ap-1,
        0x1.ff095658e71adp-1,
        0x1.ff621e3796d7ep-1,
        0x1.ffa72effef75dp-1,
        0x1.ffd886084cd0dp-1,
        0x1.fff62169b92dbp-1,
        0x1.0000000000000p+0,
    };
    constexpr double kStepsPerRadian = 0x1.45f306dc9c883p+6; // 256 / pi
    constexpr double kStepHigh =
        0x1.921fb54442d00p-7; // pi/256, eight low bits clear: k x it is exact
    constexpr double kStepLow = 0x1.8469898cc5170p-55;
    constexpr double kRange = 1.5769; // k stays at most 128
    const double ax = Abs(x);
    const double shifted = ax * kStepsPerRadian + kRoundingShift;
    const double k = shifted - kRoundingShift;
    const bool inRange = ax <= kRange;
    const auto index = static_cast<unsigned>(inRange ? Bits(shifted) & 255U : 0U);
    const double r = (ax - k * kStepHigh) - k * kStepLow;
    const double z = r * r;
    const double sinR = r + r * z * (-1.0 / 6.0 + z * (1.0 / 120.0));
    const double cosRm1 = z * (-0.5 + z * (1.0 / 24.0 + z * (-1.0 / 720.0)));
    const double sk = kSines[index], ck = kSines[128U - index];
    const double s = sk + (sk * cosRm1 + ck * sinR);
    const double c = ck + (ck * cosRm1 - sk * sinR);
    sine = inRange ? WithSignOf(s, x) : kNaN;
    cosine = inRange ? c : kNaN;
}

// a / sqrt(1 - y) for 0 <= y <= 0.01 (y = e2 sin^2 phi, a the semi-major axis: the radius of
// curvature in the prime vertical) by the binomial series of 1 / sqrt(1 - y) to y^8 in Estrin's
// form, whose first omitted term is below 2e-19 a: a few multiplications side by side in place of
// a root and a division one after the other.
GEODESY_ALWAYS_INLINE double RadiusSeries(double a, double y) {
    const double y2 = y * y, y4 = y2 * y2;
    const double low = (1.0 + y * (1.0 / 2.0)) + y2 * (3.0 / 8.0 + y * (5.0 / 16.0));
    const double high =
        (35.0 / 128.0 + y * (63.0 / 256.0)) + y2 * (231.0 / 1024.0 + y * (429.0 / 2048.0));
    return a * (low + y4 * (high + y4 * (6435.0 / 32768.0)));
}

// The sets of functions the projections are written against: the library's, the inlined ones of
// one point, and these for the batch loops. Radius(a, y) is a / sqrt(1 - y).
struct Library {
    static void SinCos(double x, double& s, double& c) {
        s = std::sin(x);
        c = std::cos(x);
    }
    static double Radius(double a, double y) { return a / std::sqrt(1.0 - y); }
    static double Atan2(double y, double x) { return std::atan2(y, x); }
    static double Log(double x) { return std::log(x); }
    static double Exp(double x) { return std::exp(x); }
};
struct Point {
    static void SinCos(double x, double& s, double& c) { vecmath::SinCosNear(x, s, c); }
    static double Radius(double a, double y) {
        return y >= 0.0 && y <= 0.01 ? RadiusSeries(a, y) : a / std::sqrt(1.0 - y);
    }
};
struct Vector {
    static double Radius(double a, double y) { return a / std::sqrt(1.0 - y); }
    static void SinCos(double x, double& s, double& c) { vecmath::SinCos(x, s, c); }
    static double Atan2(double y, double x) { return vecmath::Atan2(y, x); }
    static double Log(double x) { return vecmath::Log(x); }
    static double Exp(double x) { return vecmath::Exp(x); }
};

} // namespace geodesy::vecmath

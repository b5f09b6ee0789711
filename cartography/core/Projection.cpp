#include "cartography/core/Projection.h"

#include "common/AppError.h"
#include "geodesy/CheckedMath.h"

#include <cfloat>
#include <cmath>

namespace cartography {

namespace checked = geodesy::checked;

namespace {

// The constants as the stored maps were made with them.
constexpr double kA = 6378388.0;          // International 1924 semi-major axis, m
constexpr double kB = 6356911.9461279465; // its semi-minor axis, m
constexpr double kR = 6378388.0;          // radius of the sphere, m
constexpr double kPi = 3.1415926535;
constexpr double kHalfPi = 1.57079632675;
constexpr double kQuarterPi = 0.785398163375;
constexpr double kTwoPi = 6.283185307;
constexpr double kExactHalfPi = 1.5707963267949; // the Mercator inverse and the polar tests
constexpr int kLambertMaxPasses = 100;

// A value stored into a Single: error 6 when it does not fit (or is not a number).
float Single(double value) {
    if (!(std::fabs(value) <= FLT_MAX)) {
        checked::Raise(common::kOverflow);
    }
    return static_cast<float>(value);
}

// Natural logarithm; error 5 for an argument that is not positive.
double Log(double x) {
    if (!(x > 0.0)) {
        checked::Raise(common::kInvalidCall);
    }
    return std::log(x);
}

// Power; error 5 for a negative base with a fractional exponent, 6 on overflow.
double Pow(double base, double exponent) {
    if (base < 0.0 && exponent != std::floor(exponent)) {
        checked::Raise(common::kInvalidCall);
    }
    return checked::Finite(std::pow(base, exponent));
}

// Metres to kilometres, each stored as a Single on the way.
void StoreKm(double xMetres, double yMetres, float& x, float& y) {
    x = Single(Single(xMetres) / 1000.0);
    y = Single(Single(yMetres) / 1000.0);
}

// An exact (0, 0) is moved off the origin so that it never looks like "no point".
void AvoidOrigin(float& x, float y) {
    if (x == 0.0f && y == 0.0f) {
        x = kOriginMarker;
    }
}

void Hide(float& x) {
    x = kHiddenPoint;
}

// ---- forward routines (metres computed, kilometres stored) ----

void LambertGeneral(const ProjectionState& s, float phi, float dLambda, float& x, float& y) {
    const double es = s.LambertE * std::sin(phi);
    const double t =
        std::tan(kQuarterPi - phi / 2.0) * Pow(checked::Div(1.0 + es, 1.0 - es), s.LambertHalfE);
    const double rho = s.LambertAF * Pow(t, s.LambertN);
    const double theta = s.LambertN * dLambda;
    StoreKm(rho * std::sin(theta), -rho * std::cos(theta), x, y);
}

void Mercator(float phi, float dLambda, float& x, float& y) {
    constexpr float kLimit = static_cast<float>(1.37881);
    if (phi <= -1.37881) {
        phi = -kLimit;
    } else if (phi >= 1.37881) {
        phi = kLimit;
    }
    StoreKm(kR * dLambda, -kR * Log(std::tan((kHalfPi - phi) / 2.0)), x, y);
    AvoidOrigin(x, y);
}

void Stereo(const ProjectionState& s, float phi, float dLambda, float& x, float& y) {
    const float d = Single(s.StereoSinPhi1 * std::sin(phi) +
                           s.StereoCosPhi1 * std::cos(phi) * std::cos(dLambda));
    // The antipode of the centre (and rounding just past it) has no image.
    if (1.0 + d <= 0.0) {
        Hide(x);
        Hide(y);
        return;
    }
    const double k = 2.0 / (1.0 + d);
    const float north = Single(s.StereoCosPhi1 * std::sin(phi) -
                               s.StereoSinPhi1 * std::cos(phi) * std::cos(dLambda));
    StoreKm(kR * k * std::cos(phi) * std::sin(dLambda), kR * k * north, x, y);
}

void Sinusoidale(float phi, float dLambda, float& x, float& y) {
    StoreKm(kR * dLambda * std::cos(phi), kR * phi, x, y);
}

void PlateCarree(float phi, float dLambda, float& x, float& y) {
    StoreKm(kR * dLambda, kR * phi, x, y);
}

void MillerEqui(float k, float phi, float dLambda, float& x, float& y) {
    StoreKm(static_cast<double>(k) * dLambda, kR * phi, x, y);
    AvoidOrigin(x, y);
}

void BSAM(float k, float phi, float dLambda, float& x, float& y) {
    StoreKm(k * kR * dLambda, (k + 1.0) * kR * std::tan(phi / 2.0), x, y);
    AvoidOrigin(x, y);
}

void OrthographiqueObli(const ProjectionState& s, float phi, float dLambda, float& x, float& y) {
    const float cosC =
        Single(s.OrthoSinPhi1 * std::sin(phi) + s.OrthoCosPhi1 * std::cos(phi) * std::cos(dLambda));
    if (cosC < -0.01) {
        Hide(x);
        Hide(y);
        return;
    }
    const float north =
        Single(s.OrthoCosPhi1 * std::sin(phi) - s.OrthoSinPhi1 * std::cos(phi) * std::cos(dLambda));
    StoreKm(kR * std::cos(phi) * std::sin(dLambda), kR * north, x, y);
    AvoidOrigin(x, y);
}

// flag 1: north pole, the southern hemisphere hidden; flag 2: the reverse.
void OrthographiquePole(float phi, float dLambda, float& x, float& y, int flag) {
    if ((flag == 1 && phi < 0) || (flag == 2 && phi > 0)) {
        Hide(x);
        return;
    }
    const double sign = flag == 1 ? -1.0 : 1.0;
    StoreKm(kR * std::cos(phi) * std::sin(dLambda), sign * kR * std::cos(phi) * std::cos(dLambda),
            x, y);
}

// ---- inverse routines (X, Y in metres) ----

void LambertInverse(const ProjectionState& s, float X, float Y, float& lat, float& lon) {
    const double theta = std::atan(checked::Div(X, -static_cast<double>(Y)));
    lon = Single(checked::Div(theta, s.LambertN) + s.CentralMeridian);
    const double rho = std::sqrt(static_cast<double>(X) * X + static_cast<double>(Y) * Y);
    const double t = Pow(checked::Div(rho, s.LambertAF), checked::Div(1.0, s.LambertN));
    float phi = Single(2.0 * std::atan(t));
    // Single precision may settle into a two-value cycle instead of a fixed point: capped.
    for (int pass = 0; pass < kLambertMaxPasses; ++pass) {
        const double es = s.LambertE * std::sin(phi);
        const float next =
            Single(kHalfPi - 2.0 * std::atan(t * Pow((1.0 - es) / (1.0 + es), s.LambertHalfE)));
        const bool settled = std::fabs(static_cast<double>(next) - phi) <= 2.77777E-08;
        phi = next;
        if (settled) {
            break;
        }
    }
    lat = phi;
}

void MercatorInverse(const ProjectionState& s, float X, float Y, float& lat, float& lon) {
    lat = Single(kExactHalfPi - 2.0 * std::atan(checked::Finite(std::exp(-Y / kR))));
    lon = Single(X / kR + s.CentralMeridian);
}

void StereoInverse(const ProjectionState& s, float X, float Y, float& lat, float& lon) {
    const float rho = Single(std::sqrt(static_cast<double>(X) * X + static_cast<double>(Y) * Y));
    const float c = Single(2.0 * std::atan(rho / 12756776.0));
    if (rho <= 1E-10) {
        lat = static_cast<float>(s.StereoPhi1);
        lon = s.CentralMeridian;
        return;
    }
    const float phi =
        ArcSinus(Single(std::cos(c) * s.StereoSinPhi1 + Y * std::sin(c) * s.StereoCosPhi1 / rho));
    lat = phi;
    if (std::fabs(std::fabs(s.StereoPhi1) - kExactHalfPi) <= 1E-10) {
        lon = s.StereoPhi1 < 0 ? Single(s.CentralMeridian - ATN2(-X, Y))
                               : Single(ATN2(X, -Y) + static_cast<double>(s.CentralMeridian));
        return;
    }
    const double d = std::cos(c) - s.StereoSinPhi1 * std::sin(phi);
    if (std::fabs(d) < 1E-10 && std::fabs(X) < 1E-10) {
        return; // the image of a pole on the central meridian: no longitude to give
    }
    lon = Single(ATN2(Single(X * std::sin(c) * s.StereoCosPhi1), Single(rho * d)) +
                 static_cast<double>(s.CentralMeridian));
}

void SinusoidaleInverse(const ProjectionState& s, float X, float Y, float& lat, float& lon) {
    const float phi = Single(Y / kR);
    lat = phi;
    lon = Single(checked::Div(X, kR * std::cos(phi)) + s.CentralMeridian);
}

void PlateCarreeInverse(const ProjectionState& s, float X, float Y, float& lat, float& lon) {
    lon = Single(X / kR + s.CentralMeridian);
    lat = Single(Y / kR);
}

void MillerEquiInverse(const ProjectionState& s, float k, float X, float Y, float& lat,
                       float& lon) {
    lon = Single(checked::Div(X, k) + s.CentralMeridian);
    lat = Single(Y / kR);
}

void BSAMInverse(const ProjectionState& s, float k, float X, float Y, float& lat, float& lon) {
    lon = Single(checked::Div(X, k * kR) + s.CentralMeridian);
    lat = Single(2.0 * std::atan(checked::Div(Y, (k + 1.0) * kR)));
}

void OrthoObliqueInverse(const ProjectionState& s, float X, float Y, float& lat, float& lon) {
    const float rho = Single(std::sqrt(static_cast<double>(X) * X + static_cast<double>(Y) * Y));
    if (rho > kR) {
        lat = 0;
        lon = 0;
        return;
    }
    const float c = ArcSinus(Single(rho / kR));
    lon = s.CentralMeridian;
    if (rho <= 0.1) {
        lat = static_cast<float>(s.OrthoPhi1);
        return;
    }
    const float phi =
        ArcSinus(Single(std::cos(c) * s.OrthoSinPhi1 + Y * std::sin(c) * s.OrthoCosPhi1 / rho));
    lat = phi;
    float lambda = 0;
    if (std::fabs(std::fabs(s.OrthoPhi1) - kExactHalfPi) <= 0.1) {
        lambda = s.OrthoPhi1 < 0 ? Single(s.CentralMeridian - ATN2(-X, Y))
                                 : Single(ATN2(X, -Y) + static_cast<double>(s.CentralMeridian));
        lon = ADJLZ0(lambda);
        return;
    }
    const double d = std::cos(c) - s.OrthoSinPhi1 * std::sin(phi);
    if (std::fabs(d) < 0.1 && std::fabs(X) < 0.1) {
        return;
    }
    lambda = Single(ATN2(Single(X * std::sin(c) * s.OrthoCosPhi1), Single(rho * d)) +
                    static_cast<double>(s.CentralMeridian));
    lon = ADJLZ0(lambda);
}

} // namespace

void Project(const ProjectionState& state, float lat, float lon, float& x, float& y) {
    if (state.ProjCode < 1 || state.ProjCode > 13) {
        return;
    }
    // A vertex read as a NaN or an infinity is no place on the earth: not shown.
    if (!std::isfinite(lat) || !std::isfinite(lon)) {
        Hide(x);
        Hide(y);
        return;
    }
    const float dLambda = lon - state.CentralMeridian;
    switch (state.ProjCode) {
    case 1:
        LambertGeneral(state, lat, dLambda, x, y);
        break;
    case 2:
        Mercator(lat, dLambda, x, y);
        break;
    case 3:
        Stereo(state, lat, dLambda, x, y);
        break;
    case 4:
        Sinusoidale(lat, dLambda, x, y);
        break;
    case 5:
        PlateCarree(lat, dLambda, x, y);
        break;
    case 6:
        MillerEqui(state.K6, lat, dLambda, x, y);
        break;
    case 7:
        BSAM(state.K7, lat, dLambda, x, y);
        break;
    case 8:
        BSAM(state.K8, lat, dLambda, x, y);
        break;
    case 9:
        BSAM(state.K9, lat, dLambda, x, y);
        break;
    case 10:
    case 13:
        OrthographiqueObli(state, lat, dLambda, x, y);
        break;
    case 11:
        OrthographiquePole(lat, dLambda, x, y, 1);
        break;
    case 12:
        OrthographiquePole(lat, dLambda, x, y, 2);
        break;
    default:
        break;
    }
}

void ProjectionInverse(const ProjectionState& state, float x, float y, float& lat, float& lon) {
    const float X = x * 1000.0f;
    const float Y = y * 1000.0f;
    switch (state.ProjCode) {
    case 1:
        LambertInverse(state, X, Y, lat, lon);
        break;
    case 2:
        MercatorInverse(state, X, Y, lat, lon);
        break;
    case 3:
        StereoInverse(state, X, Y, lat, lon);
        break;
    case 4:
        SinusoidaleInverse(state, X, Y, lat, lon);
        break;
    case 5:
        PlateCarreeInverse(state, X, Y, lat, lon);
        break;
    case 6:
        MillerEquiInverse(state, state.K6, X, Y, lat, lon);
        break;
    case 7:
        BSAMInverse(state, state.K7, X, Y, lat, lon);
        break;
    case 8:
        BSAMInverse(state, state.K8, X, Y, lat, lon);
        break;
    case 9:
        BSAMInverse(state, state.K9, X, Y, lat, lon);
        break;
    case 10:
    case 11:
    case 12:
    case 13:
        OrthoObliqueInverse(state, X, Y, lat, lon);
        break;
    default:
        break;
    }
}

void DefConstantes(ProjectionState& state, float phi1Degrees, float phi2Degrees) {
    const double phi1 = radian(phi1Degrees);
    const double phi2 = radian(phi2Degrees);
    const double e2 = (kA * kA - kB * kB) / (kA * kA);
    state.LambertE = Single(std::sqrt(e2));
    state.LambertHalfE = state.LambertE / 2.0f;
    const double e = state.LambertE;
    const auto w = [&](double phi) {
        return checked::Sqrt(1.0 - e2 * std::sin(phi) * std::sin(phi));
    };
    const auto t = [&](double phi) {
        const double es = e * std::sin(phi);
        return std::tan(kPi / 4.0 - phi / 2.0) *
               Pow(checked::Div(1.0 + es, 1.0 - es), state.LambertHalfE);
    };
    const double w1 = w(phi1);
    const double w2 = w(phi2);
    const double t1 = t(phi1);
    const double t2 = t(phi2);
    const float numerator =
        Single(Log10(std::cos(phi1)) - Log10(std::cos(phi2)) - Log10(w1) + Log10(w2));
    state.LambertN = Single(checked::Div(numerator, Log10(t1) - Log10(t2)));
    state.LambertAF =
        Single(checked::Div(kA * std::cos(phi1), state.LambertN * w1 * Pow(t1, state.LambertN)));
}

void StereoInit(ProjectionState& state, float phi) {
    state.StereoPhi1 = phi;
    state.StereoSinPhi1 = std::sin(static_cast<double>(phi));
    state.StereoCosPhi1 = std::cos(static_cast<double>(phi));
}

void OrthoInit(ProjectionState& state, float phi) {
    state.OrthoPhi1 = phi;
    state.OrthoSinPhi1 = std::sin(static_cast<double>(phi));
    state.OrthoCosPhi1 = std::cos(static_cast<double>(phi));
}

void OrthoPoleInit(ProjectionState& state, int code) {
    OrthoInit(state, static_cast<float>(code == 12 ? -kExactHalfPi : kExactHalfPi));
}

void SetCylindricalFactors(ProjectionState& state) {
    state.K6 = static_cast<float>(6378388.0 * std::cos(0.8813913));
    state.K7 = static_cast<float>(std::cos(0.523598776));
    state.K8 = static_cast<float>(std::cos(0.785398163));
}

float radian(float degrees) {
    return Single(degrees * kPi / 180.0);
}

float Degre(float radians) {
    return Single(radians * 180.0 / kPi);
}

double Log10(double x) {
    return Log(x) / std::log(10.0);
}

float ArcSinus(float x) {
    const double rest = 1.0 - static_cast<double>(x) * x;
    if (rest > 0) {
        return static_cast<float>(std::atan(x / std::sqrt(rest)));
    }
    return 0;
}

float ATN2(float y, float x) {
    if (x == 0) {
        return y < 0 ? static_cast<float>(-kHalfPi) : static_cast<float>(kHalfPi);
    }
    const double angle = std::atan(static_cast<double>(y) / x);
    return static_cast<float>(x < 0 ? angle + kPi : angle);
}

float ADJLZ0(float& lon) {
    if (!std::isfinite(lon)) {
        checked::Raise(common::kOverflow);
    }
    const double limit = static_cast<double>(static_cast<float>(kPi)) + 0.01;
    // Far out, one turn is below a Single's step: bring it near first so the loop ends.
    if (std::fabs(lon) > 64 * kPi) {
        lon = static_cast<float>(std::remainder(static_cast<double>(lon), kTwoPi));
    }
    while (std::fabs(lon) > limit) {
        lon = static_cast<float>(lon >= 0 ? lon - kTwoPi : lon + kTwoPi);
    }
    return lon;
}

} // namespace cartography

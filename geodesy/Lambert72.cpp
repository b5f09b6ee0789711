#include "geodesy/Lambert72.h"

#include "common/AppError.h"
#include "geodesy/Angles.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/ConformalLatitude.h"

#include <cmath>

namespace geodesy {

namespace {

// International 1924 ellipsoid: a = 6,378,388 m (carried by the radius factor), f = 1/297.
constexpr double kF = 1.0 / 297.0;
constexpr double kN = 0.7716421928;      // cone constant
constexpr double kAF = 11565915.812935;  // radius factor: rho = aF t^n
constexpr double kLambda0 = 0.076042943; // central meridian, 4 deg 21' 24.983" E, radians
constexpr double kX0 = 150000.01256;     // false easting
constexpr double kY0 = 5400088.4378;     // false northing of the cone's apex
constexpr double kAlpha = 0.000142043;   // rotation of the Belgian variant, 29.2985", radians
constexpr double kQuarterPi = 0.785398163375;
constexpr double kHalfPi = 1.57079632675;
// Conformal latitude and its inverse on the ellipsoid: the cone's t = tan(pi/4 - chi/2), so the
// inverse needs no iteration.
constexpr ConformalSeries kConformal = MakeConformalSeries(kF);

} // namespace

void LatLonToLambert72(double lat, double lon, double& x, double& y) {
    checked::Finite(lat);
    checked::Finite(lon);
    if (std::abs(lat) > 90.0) {
        throw common::AppError(common::kInvalidCall);
    }
    const double phi = DegToRad(lat);
    const double lambda = DegToRad(lon);
    const double chi =
        phi + SinSeries(kConformal.toConformal, std::sin(2.0 * phi), std::cos(2.0 * phi));
    double t = std::tan(kQuarterPi - chi / 2.0);
    if (t < 0.0) {
        t = 0.0; // the north pole, a rounding step past the apex
    }
    const double rho = kAF * std::pow(t, kN);
    const double theta = kN * (lambda - kLambda0);
    x = checked::Finite(kX0 + rho * std::sin(theta - kAlpha));
    y = checked::Finite(kY0 - rho * std::cos(theta - kAlpha));
}

void Lambert72ToLatLon(double x, double y, double& lat, double& lon) {
    checked::Finite(x);
    checked::Finite(y);
    const double thetaP = std::atan(checked::Div(x - kX0, kY0 - y));
    const double lambda = (thetaP + kAlpha) * (1.0 / kN) + kLambda0;
    const double rho = std::sqrt((kY0 - y) * (kY0 - y) + (x - kX0) * (x - kX0));
    const double t = checked::Finite(std::pow(rho / kAF, 1.0 / kN));
    const double chi = kHalfPi - 2.0 * std::atan(t);
    const double phi =
        chi + SinSeries(kConformal.toGeodetic, std::sin(2.0 * chi), std::cos(2.0 * chi));
    const double latitude = checked::Finite(RadToDeg(phi));
    const double longitude = checked::Finite(RadToDeg(lambda));
    lat = latitude;
    lon = longitude;
}

} // namespace geodesy

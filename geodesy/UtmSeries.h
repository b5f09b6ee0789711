#pragma once

// What the UTM series derive from an ellipsoid, shared by the projection and the MGRS decoder.
// The constants are derived once per (a, f) and kept per thread for the last ellipsoid asked for,
// so that batches over one ellipsoid pay for them once.

#include <array>

namespace geodesy::utm {

struct EllipsoidConstants {
    double a = 0.0, f = 0.0; // the key
    double e2 = 0.0, ep2 = 0.0;
    double A = 0.0, B = 0.0, C = 0.0, D = 0.0, E = 0.0; // meridian-arc coefficients
    double inverseScaledA = 0.0;                        // 1 / (a k0)
    // The footpoint latitude of a meridian arc S: phi1 = mu + sin 2mu (footpoint[0] +
    // footpoint[1] c + footpoint[2] c^2 + footpoint[3] c^3) with mu = S / A' and c = cos 2mu, the
    // series in n that inverts the arc's own.
    double inverseArc = 0.0; // 1 / A'
    std::array<double, 4> footpoint{};
};

// The constants of the ellipsoid (a, f); raises error 11 or 6 as the derivation's divisions do
// (a flattening of 0, for one).
const EllipsoidConstants& Constants(double a, double f);

// The terms of the northing series at one latitude: northing = falseNorthing + T1 + dl^2 T2 +
// dl^4 T3 + dl^6 T4 + dl^8 T5, dl being the longitude from the central meridian.
struct NorthingTerms {
    double falseNorthing = 0.0;
    double T1 = 0.0, T2 = 0.0, T3 = 0.0, T4 = 0.0, T5 = 0.0;
};

NorthingTerms NorthingTermsAt(const EllipsoidConstants& el, double lat);

// The northing of the terms at the longitude lon (radians) in zone `zone`, worked out as the
// forward projection works out that of a point there, to the last bit.
double NorthingAt(const NorthingTerms& t, double lon, int zone);

} // namespace geodesy::utm

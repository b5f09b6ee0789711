#pragma once

// The thirteen projections of the cartography window, on the International 1924 ellipsoid
// (Lambert) or its sphere of radius a (all others). The plane is in kilometres, angles in
// radians; values are single precision where stored map files and pictures expect them.

namespace cartography {

// A point on the far side of an orthographic map; stored unscaled.
inline constexpr float kHiddenPoint = 3.4E+38f;
// The x given in place of an exact (0, 0) for codes 2, 6 to 10 and 13.
inline constexpr float kOriginMarker = 1E-13f;

// The projection variables of the cartography window: one set, kept until the next map is
// loaded. Everything starts at 0, the centres' cosines included.
struct ProjectionState {
    int ProjCode = 0;
    float CentralMeridian = 0; // radians

    // Lambert conformal conic (code 1), from DefConstantes.
    float LambertE = 0;
    float LambertHalfE = 0;
    float LambertN = 0;
    float LambertAF = 0; // metres

    // Oblique stereographic centre (code 3), from StereoInit.
    double StereoPhi1 = 0;
    double StereoSinPhi1 = 0;
    double StereoCosPhi1 = 0;

    // Orthographic centre (codes 10 to 13), from OrthoInit.
    double OrthoPhi1 = 0;
    double OrthoSinPhi1 = 0;
    double OrthoCosPhi1 = 0;

    // Cylindrical factors of codes 6 to 9.
    float K6 = 0;
    float K7 = 0;
    float K8 = 0;
    float K9 = 0;
};

// Whether a projected x is the hidden-point marker (the point is not on the map's side).
inline bool IsHiddenPoint(float x) {
    return x >= kHiddenPoint;
}

// Forward: latitude and longitude (radians) to x, y (km). A code outside 1..13 leaves x and y as
// they were. A point the projection cannot show gives x = kHiddenPoint (and y = kHiddenPoint for
// codes 3, 10 and 13 and for a latitude or longitude that is not a finite number; codes 11 and 12
// leave y as it was).
// Arithmetic faults raise common::AppError (6 overflow, 11 division by zero, 5 invalid call).
void Project(const ProjectionState& state, float lat, float lon, float& x, float& y);

// Inverse: x, y (km) to latitude and longitude (radians). A code outside 1..13 leaves them.
// Arithmetic faults raise common::AppError as above.
void ProjectionInverse(const ProjectionState& state, float x, float y, float& lat, float& lon);

// Set-up of the per-map constants.
void DefConstantes(ProjectionState& state, float phi1Degrees, float phi2Degrees);
void StereoInit(ProjectionState& state, float phi);
void OrthoInit(ProjectionState& state, float phi);
// Centre of the polar orthographic maps: +pi/2 for code 11, -pi/2 for code 12.
void OrthoPoleInit(ProjectionState& state, int code);
// k6, k7 and k8, set each time the window opens.
void SetCylindricalFactors(ProjectionState& state);

// Angle helpers of the projections, with their single-precision constants.
float radian(float degrees);
float Degre(float radians);
double Log10(double x);
float ArcSinus(float x);
float ATN2(float y, float x);
float ADJLZ0(float& lon);

} // namespace cartography

#pragma once

// Belgian Lambert 72 ("lmb", and the metric frame of the IFBL squares): Lambert conformal conic on
// the International 1924 (Hayford) ellipsoid, datum "BEL72", with the cone constant and radius
// factor that the Belgian survey publishes and the rotation of 29.2985" of the Belgian variant.
// It agrees with EPSG:31370 within 3 mm. x grows eastward and y northward, in metres;
// latitude and longitude are decimal degrees, positive north and east.

#include <span>

namespace geodesy {

// Forward projection. Error 5 for a latitude beyond +-90 degrees, error 6 for a value that is not a
// finite number.
void LatLonToLambert72(double lat, double lon, double& x, double& y);

// Inverse projection. Error 11 for y on the apex's parallel (y = 5,400,088.4378 m, far off the
// grid), error 6 for a value that is not a finite number.
void Lambert72ToLatLon(double x, double y, double& lat, double& lon);

// batch::*: the same over arrays of one length, in loops the compiler vectorises: point i of the
// outputs is what the one-point function gives for point i of the inputs, to a few micrometres. A
// point that function refuses raises its error once the loop has run, so the points before it are
// converted. Error 5 for arrays of different lengths.
namespace batch {
void LatLonToLambert72(std::span<const double> lat, std::span<const double> lon,
                       std::span<double> x, std::span<double> y);
void Lambert72ToLatLon(std::span<const double> x, std::span<const double> y, std::span<double> lat,
                       std::span<double> lon);
} // namespace batch

} // namespace geodesy

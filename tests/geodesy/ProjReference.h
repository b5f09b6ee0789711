#pragma once

// PROJ as the independent reference of the grid conversions: the EPSG conversion from a geographic
// CRS to a projected CRS on the same datum (no datum shift), latitude and longitude in degrees.

#include <cmath>
#include <memory>
#include <proj.h>
#include <string>

namespace testref {

class ProjGrid {
public:
    ProjGrid(const std::string& geographic, const std::string& projected)
        : ctx_(proj_context_create(), proj_context_destroy), op_(nullptr, proj_destroy) {
        PJ* raw =
            proj_create_crs_to_crs(ctx_.get(), geographic.c_str(), projected.c_str(), nullptr);
        if (raw != nullptr) {
            op_.reset(proj_normalize_for_visualization(ctx_.get(), raw)); // longitude first
            proj_destroy(raw);
        }
    }
    // A PROJ string (a pipeline whose first step takes degrees, longitude first).
    explicit ProjGrid(const std::string& definition)
        : ctx_(proj_context_create(), proj_context_destroy),
          op_(proj_create(ctx_.get(), definition.c_str()), proj_destroy) {}
    bool valid() const { return op_ != nullptr; }
    PJ* get() const { return op_.get(); }

    void forward(double lat, double lon, double& x, double& y) const {
        const PJ_COORD r = proj_trans(op_.get(), PJ_FWD, proj_coord(lon, lat, 0, 0));
        x = r.xy.x;
        y = r.xy.y;
    }
    void inverse(double x, double y, double& lat, double& lon) const {
        const PJ_COORD r = proj_trans(op_.get(), PJ_INV, proj_coord(x, y, 0, 0));
        lon = r.xy.x;
        lat = r.xy.y;
    }

private:
    std::unique_ptr<PJ_CONTEXT, decltype(&proj_context_destroy)> ctx_;
    std::unique_ptr<PJ, decltype(&proj_destroy)> op_;
};

// Ground distance in metres of small differences of latitude and longitude (degrees) at `lat`.
inline double GroundMetres(double dLat, double dLon, double lat) {
    constexpr double kMetresPerDegree = 111320.0;
    const double north = dLat * kMetresPerDegree;
    const double east = dLon * kMetresPerDegree * std::cos(lat * 3.14159265358979323846 / 180.0);
    return std::hypot(north, east);
}

// Degrees of d degrees, m minutes and s seconds.
inline double Dms(double d, double m, double s) {
    return d + m / 60.0 + s / 3600.0;
}

} // namespace testref

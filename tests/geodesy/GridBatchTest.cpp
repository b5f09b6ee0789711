// The batch conversions over arrays against PROJ and against the one-point functions, including
// the points their vectorised loops hand back to the one-point functions.

#include "../support/ErrorOf.h"
#include "ProjReference.h"
#include "geodesy/Lambert72.h"
#include "geodesy/LambertConic.h"
#include "geodesy/NationalGridProjection.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace {

using testing_support::ErrorOf;
using testref::GroundMetres;

using One = std::function<void(double, double, double&, double&)>;
using Many = std::function<void(std::span<const double>, std::span<const double>, std::span<double>,
                                std::span<double>)>;

struct Conversion {
    const char* name;
    One forward, inverse; // one point: (lat, lon) to (x, y), and (x, y) to (lat, lon)
    Many forwardBatch, inverseBatch;
    std::function<void(double&, double&)> toProjection; // grid to the inverse's inputs (x, y)
    std::string geographic, projected;                  // PROJ's CRSs, or a PROJ pipeline
    double south, west, north, east;
};

const char* const kNoCrs = "";

std::vector<Conversion> Conversions() {
    using namespace geodesy;
    const auto national = [](int type, const char* name, const char* geographic,
                             const char* projected, double s, double w, double n, double e) {
        const NationalGridDef def = *FindNationalGrid(type);
        return Conversion{
            name,
            [type](double la, double lo, double& x, double& y) {
                LatLonToGrid(type, la, lo, x, y);
            },
            [type, def](double x, double y, double& la, double& lo) {
                GridToLatLon(type, y + def.northingK, x + def.eastingOffset, la, lo);
            },
            [type](auto la, auto lo, auto x, auto y) { batch::LatLonToGrid(type, la, lo, x, y); },
            // The batch takes projection coordinates, northing first.
            [type](auto x, auto y, auto la, auto lo) { batch::GridToLatLon(type, y, x, la, lo); },
            [def](double& x, double& y) {
                x += def.eastingOffset;
                y += def.northingK;
            },
            geographic, projected, s, w, n, e};
    };
    const auto none = [](double&, double&) {};
    return {
        national(kBritishGrid, "British", "EPSG:4277", "EPSG:27700", 49.8, -8.9, 61.0, 2.0),
        national(kIrishGrid, "Irish", "EPSG:4299", "EPSG:29902", 51.3, -10.7, 55.5, -5.3),
        {"Lambert 72", LatLonToLambert72, Lambert72ToLatLon,
         [](auto la, auto lo, auto x, auto y) { batch::LatLonToLambert72(la, lo, x, y); },
         [](auto x, auto y, auto la, auto lo) { batch::Lambert72ToLatLon(x, y, la, lo); }, none,
         "EPSG:4313", "EPSG:31370", 49.4, 2.4, 51.6, 6.5},
        {"Lambert II etendu",
         [](double la, double lo, double& x, double& y) { LatLonToLambertFrance(la, lo, x, y, 5); },
         [](double x, double y, double& la, double& lo) { LambertFranceToLatLon(x, y, la, lo, 5); },
         [](auto la, auto lo, auto x, auto y) { batch::LatLonToLambertFrance(la, lo, x, y, 5); },
         [](auto x, auto y, auto la, auto lo) { batch::LambertFranceToLatLon(x, y, la, lo, 5); },
         none, kNoCrs,
         "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=lcc "
         "+lat_1=46.8 +lat_0=46.8 +lon_0=0 +k_0=0.99987742 +x_0=600000 +y_0=2200000 "
         "+a=6378249.2 +rf=293.465 +pm=paris",
         42.33, -4.87, 51.14, 8.23},
        {"Nord Maroc",
         [](double la, double lo, double& x, double& y) { LatLonToLambertAfrica(la, lo, x, y, 1); },
         [](double x, double y, double& la, double& lo) { LambertAfricaToLatLon(x, y, la, lo, 1); },
         [](auto la, auto lo, auto x, auto y) { batch::LatLonToLambertAfrica(la, lo, x, y, 1); },
         [](auto x, auto y, auto la, auto lo) { batch::LambertAfricaToLatLon(x, y, la, lo, 1); },
         none, kNoCrs,
         "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=lcc "
         "+lat_1=33.3 +lat_0=33.3 +lon_0=-5.4 +k_0=0.999625769 +x_0=500000 +y_0=300000 "
         "+a=6378249.145 +rf=293.465",
         31.49, -9.85, 35.97, -1.01},
    };
}

testref::ProjGrid Reference(const Conversion& c) {
    return c.geographic.empty() ? testref::ProjGrid(c.projected)
                                : testref::ProjGrid(c.geographic, c.projected);
}

// Both ways by the batches: (lat, lon) to (x, y) and grid coordinates (gridX, gridY) to
// (backLat, backLon); and the largest distances of the one-point functions' results from those.
struct BothWays {
    std::vector<double> x, y, backLat, backLon;
    double worstForward = 0, worstInverse = 0;
};

BothWays RunBothWays(const Conversion& c, const std::vector<double>& lat,
                     const std::vector<double>& lon, const std::vector<double>& gridX,
                     const std::vector<double>& gridY) {
    const std::size_t n = lat.size();
    BothWays r{std::vector<double>(n), std::vector<double>(n), std::vector<double>(n),
               std::vector<double>(n)};
    c.forwardBatch(lat, lon, r.x, r.y);
    std::vector<double> inX = gridX, inY = gridY;
    for (std::size_t i = 0; i < n; ++i) {
        c.toProjection(inX[i], inY[i]);
    }
    c.inverseBatch(inX, inY, r.backLat, r.backLon);
    for (std::size_t i = 0; i < n; ++i) {
        double oneX = 0, oneY = 0, oneLat = 0, oneLon = 0;
        c.forward(lat[i], lon[i], oneX, oneY);
        c.inverse(gridX[i], gridY[i], oneLat, oneLon);
        r.worstForward = std::max(r.worstForward, std::hypot(r.x[i] - oneX, r.y[i] - oneY));
        r.worstInverse =
            std::max(r.worstInverse,
                     GroundMetres(r.backLat[i] - oneLat, r.backLon[i] - oneLon, r.backLat[i]));
    }
    return r;
}

// Over a 61 x 61 lattice of each area, both ways: within 1 cm of PROJ, and within a micrometre of
// the one-point functions.
TEST(GridBatch, AgreesWithProjAndWithTheOnePointFunctions) {
    for (const Conversion& c : Conversions()) {
        SCOPED_TRACE(c.name);
        const testref::ProjGrid proj = Reference(c);
        ASSERT_TRUE(proj.valid());
        std::vector<double> lat, lon, refX, refY;
        constexpr int kSteps = 60;
        for (int i = 0; i <= kSteps; ++i) {
            for (int j = 0; j <= kSteps; ++j) {
                lat.push_back(c.south + (c.north - c.south) * i / kSteps);
                lon.push_back(c.west + (c.east - c.west) * j / kSteps);
                double x = 0, y = 0;
                proj.forward(lat.back(), lon.back(), x, y);
                refX.push_back(x);
                refY.push_back(y);
            }
        }
        const BothWays r = RunBothWays(c, lat, lon, refX, refY);
        double worstProj = 0;
        for (std::size_t i = 0; i < lat.size(); ++i) {
            worstProj =
                std::max({worstProj, std::hypot(r.x[i] - refX[i], r.y[i] - refY[i]),
                          GroundMetres(r.backLat[i] - lat[i], r.backLon[i] - lon[i], lat[i])});
        }
        EXPECT_LT(worstProj, 0.01);
        EXPECT_LT(r.worstForward, 1e-6);
        EXPECT_LT(r.worstInverse, 1e-6);
    }
}

// The one-point functions take shorter series near each grid and the full functions farther out;
// the batches take the full functions everywhere. Over 30 degrees around each grid, across every
// switch between the two, they agree within a micrometre both ways.
TEST(GridBatch, OnePointFunctionsAgreeWithTheBatchesFarBeyondTheGrids) {
    for (const Conversion& c : Conversions()) {
        SCOPED_TRACE(c.name);
        const double south = c.south - 30.0, north = std::min(c.north + 30.0, 85.0);
        const double west = c.west - 30.0, east = c.east + 30.0;
        constexpr int kSteps = 200;
        std::vector<double> lat, lon;
        for (int i = 0; i <= kSteps; ++i) {
            for (int j = 0; j <= kSteps; ++j) {
                lat.push_back(south + (north - south) * i / kSteps);
                lon.push_back(west + (east - west) * j / kSteps);
            }
        }
        // Grid points over the stretch of the batch forward's results.
        std::vector<double> x(lat.size()), y(lat.size());
        c.forwardBatch(lat, lon, x, y);
        const auto [x0, x1] = std::minmax_element(x.begin(), x.end());
        const auto [y0, y1] = std::minmax_element(y.begin(), y.end());
        std::vector<double> gridX, gridY;
        for (int i = 0; i <= kSteps; ++i) {
            for (int j = 0; j <= kSteps; ++j) {
                gridX.push_back(*x0 + (*x1 - *x0) * j / kSteps);
                gridY.push_back(*y0 + (*y1 - *y0) * i / kSteps);
            }
        }
        const BothWays r = RunBothWays(c, lat, lon, gridX, gridY);
        EXPECT_LT(r.worstForward, 1e-6);
        EXPECT_LT(r.worstInverse, 1e-6);
    }
}

// Points the loops leave to the one-point functions come out as those give them: the poles, far
// longitudes, and faults, which raise the one-point function's error.
TEST(GridBatch, PointsOutsideTheLoopsFollowTheOnePointFunctions) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Conversion& c : Conversions()) {
        SCOPED_TRACE(c.name);
        const std::vector<double> lat{90.0, -45.0, 50.0, 50.0}, lon{0.0, 1.0, 1e7, -725.0};
        std::vector<double> x(4), y(4);
        c.forwardBatch(lat, lon, x, y);
        for (std::size_t i = 0; i < lat.size(); ++i) {
            double oneX = 0, oneY = 0;
            const int error = ErrorOf([&] { c.forward(lat[i], lon[i], oneX, oneY); });
            if (error == 0) {
                EXPECT_NEAR(x[i], oneX, 1e-6) << i;
                EXPECT_NEAR(y[i], oneY, 1e-6) << i;
            }
        }
        for (const double bad : {91.0, nan}) {
            const std::vector<double> la{50.0, bad}, lo{2.0, 2.0};
            std::vector<double> bx(2), by(2);
            double oneX = 0, oneY = 0;
            EXPECT_EQ(ErrorOf([&] { c.forwardBatch(la, lo, bx, by); }),
                      ErrorOf([&] { c.forward(bad, 2.0, oneX, oneY); }))
                << bad;
        }
        std::vector<double> one(1), two(2);
        EXPECT_EQ(ErrorOf([&] { c.forwardBatch(two, two, one, two); }), 5);
    }
    // Far off the grid, on the apex's parallel, and not a number.
    const std::vector<double> x{1e12, 150000.01256, nan}, y{1e12, 5400088.4378, 100000};
    for (std::size_t i = 0; i < x.size(); ++i) {
        std::vector<double> lat(1), lon(1);
        double oneLat = 0, oneLon = 0;
        const int error = ErrorOf([&] { geodesy::Lambert72ToLatLon(x[i], y[i], oneLat, oneLon); });
        EXPECT_EQ(ErrorOf([&] {
                      geodesy::batch::Lambert72ToLatLon(std::span(x).subspan(i, 1),
                                                        std::span(y).subspan(i, 1), lat, lon);
                  }),
                  error)
            << i;
        if (error == 0) {
            EXPECT_NEAR(lat[0], oneLat, 1e-9);
            EXPECT_NEAR(lon[0], oneLon, 1e-9);
        }
    }
    const geodesy::LambertZone zone2 = geodesy::InitLambertFrance(2);
    const std::vector<double> apexX{6e5}, apexY{zone2.FN + zone2.rho0};
    std::vector<double> lat(1), lon(1);
    EXPECT_EQ(ErrorOf([&] { geodesy::batch::LambertFranceToLatLon(apexX, apexY, lat, lon, 2); }),
              11);
    EXPECT_EQ(ErrorOf([&] { geodesy::batch::GridToLatLon(2, apexX, apexY, lat, lon); }), 11);
}

} // namespace

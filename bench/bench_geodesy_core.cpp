// UTM, MGRS and the Molodensky datum shift against PROJ's proj_trans_generic on the same million
// points. Compare items_per_second of each .../ours with its .../proj. PROJ has no MGRS: the MGRS
// benchmarks are set against PROJ's UTM conversion of the same points, the projection inside them.

#include "geodesy/Angles.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Mgrs.h"
#include "geodesy/Molodensky.h"
#include "geodesy/TransverseMercator.h"
#include "support/ProjRunner.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <proj.h>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPoints = 1000000;
constexpr double kWgsA = 6378137.0, kWgsF = 1 / 298.257223563;
constexpr int kWgsEllipsoid = 21;

struct Points {
    std::vector<double> lat, lon; // degrees
};

// kPoints points on a regular lattice over zone 31 (0 to 6 E) from the equator to 79.5 N.
const Points& Zone31() {
    static const Points points = [] {
        Points p;
        p.lat.reserve(kPoints);
        p.lon.reserve(kPoints);
        constexpr std::size_t side = 1000;
        for (std::size_t i = 0; i < side; ++i) {
            for (std::size_t j = 0; j < side; ++j) {
                p.lat.push_back(0.5 + 79.0 * static_cast<double>(i) / (side - 1));
                p.lon.push_back(0.01 + 5.98 * static_cast<double>(j) / (side - 1));
            }
        }
        return p;
    }();
    return points;
}

// The same points in UTM zone 31 (our forward), easting and northing.
struct Grid {
    std::vector<double> easting, northing;
};
const Grid& Zone31Grid() {
    static const Grid grid = [] {
        Grid g;
        const Points& p = Zone31();
        g.easting.resize(kPoints);
        g.northing.resize(kPoints);
        for (std::size_t i = 0; i < kPoints; ++i) {
            int zone = 31;
            geodesy::LatLonToUtm(kWgsA, kWgsF, geodesy::DegToRad(p.lat[i]),
                                 geodesy::DegToRad(p.lon[i]), zone, g.northing[i], g.easting[i], 1);
        }
        return g;
    }();
    return grid;
}

const std::vector<std::string>& Zone31References() {
    static const std::vector<std::string> refs = [] {
        std::vector<std::string> r(kPoints);
        const Points& p = Zone31();
        for (std::size_t i = 0; i < kPoints; ++i) {
            int zone = 0;
            double n = 0, e = 0;
            geodesy::LatLonToMgrs(kWgsA, kWgsF, geodesy::DegToRad(p.lat[i]),
                                  geodesy::DegToRad(p.lon[i]), zone, n, e, r[i], kWgsEllipsoid);
        }
        return r;
    }();
    return refs;
}

using bench::ProjOp;
using bench::RunProj;

void Done(benchmark::State& state) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kPoints));
}

const ProjOp& Utm31() {
    static const ProjOp op("EPSG:4326", "EPSG:32631");
    return op;
}

// ---- UTM ----------------------------------------------------------------------------------

void BM_LatLonToUtm_ours(benchmark::State& state) {
    const Points& p = Zone31();
    std::vector<double> e(kPoints), n(kPoints);
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            int zone = 0;
            geodesy::LatLonToUtm(kWgsA, kWgsF, geodesy::DegToRad(p.lat[i]),
                                 geodesy::DegToRad(p.lon[i]), zone, n[i], e[i], 0);
        }
        benchmark::DoNotOptimize(e.data());
        benchmark::ClobberMemory();
    }
    Done(state);
}
BENCHMARK(BM_LatLonToUtm_ours)->Name("LatLonToUtm/ours")->Unit(benchmark::kMillisecond);

void BM_LatLonToUtm_proj(benchmark::State& state) {
    RunProj(state, Utm31(), PJ_FWD, Zone31().lon, Zone31().lat);
}
BENCHMARK(BM_LatLonToUtm_proj)->Name("LatLonToUtm/proj")->Unit(benchmark::kMillisecond);

void BM_UtmToLatLon_ours(benchmark::State& state) {
    const Grid& g = Zone31Grid();
    std::vector<double> lat(kPoints), lon(kPoints);
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            double northing = g.northing[i], phi = 0, lambda = 0;
            geodesy::UtmToLatLon(kWgsA, kWgsF, phi, lambda, 31, northing, g.easting[i]);
            lat[i] = geodesy::RadToDeg(phi);
            lon[i] = geodesy::RadToDeg(lambda);
        }
        benchmark::DoNotOptimize(lat.data());
        benchmark::ClobberMemory();
    }
    Done(state);
}
BENCHMARK(BM_UtmToLatLon_ours)->Name("UtmToLatLon/ours")->Unit(benchmark::kMillisecond);

void BM_UtmToLatLon_proj(benchmark::State& state) {
    RunProj(state, Utm31(), PJ_INV, Zone31Grid().easting, Zone31Grid().northing);
}
BENCHMARK(BM_UtmToLatLon_proj)->Name("UtmToLatLon/proj")->Unit(benchmark::kMillisecond);

// ---- MGRS (against PROJ's UTM of the same points) ----------------------------------------------

void BM_LatLonToMgrs_ours(benchmark::State& state) {
    const Points& p = Zone31();
    std::string text;
    std::size_t letters = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            int zone = 0;
            double n = 0, e = 0;
            geodesy::LatLonToMgrs(kWgsA, kWgsF, geodesy::DegToRad(p.lat[i]),
                                  geodesy::DegToRad(p.lon[i]), zone, n, e, text, kWgsEllipsoid);
            letters += static_cast<unsigned char>(text[3]);
        }
        benchmark::DoNotOptimize(letters);
    }
    Done(state);
}
BENCHMARK(BM_LatLonToMgrs_ours)->Name("LatLonToMgrs/ours")->Unit(benchmark::kMillisecond);

void BM_LatLonToMgrs_proj(benchmark::State& state) {
    RunProj(state, Utm31(), PJ_FWD, Zone31().lon, Zone31().lat);
}
BENCHMARK(BM_LatLonToMgrs_proj)->Name("LatLonToMgrs/proj-utm")->Unit(benchmark::kMillisecond);

void BM_MgrsToLatLon_ours(benchmark::State& state) {
    const std::vector<std::string>& refs = Zone31References();
    std::vector<double> lat(kPoints), lon(kPoints);
    std::string text;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            text = refs[i];
            int zone = 0, status = 0;
            double n = 0, e = 0;
            geodesy::MgrsToLatLon(text, kWgsEllipsoid, kWgsA, kWgsF, lat[i], lon[i], zone, n, e,
                                  status);
        }
        benchmark::DoNotOptimize(lat.data());
        benchmark::ClobberMemory();
    }
    Done(state);
}
BENCHMARK(BM_MgrsToLatLon_ours)->Name("MgrsToLatLon/ours")->Unit(benchmark::kMillisecond);

void BM_MgrsToLatLon_proj(benchmark::State& state) {
    RunProj(state, Utm31(), PJ_INV, Zone31Grid().easting, Zone31Grid().northing);
}
BENCHMARK(BM_MgrsToLatLon_proj)->Name("MgrsToLatLon/proj-utm")->Unit(benchmark::kMillisecond);

// ---- Molodensky: OGB-M to EUR-M through WGS84 ---------------------------------------------------

// Two datums and their ellipsoids, as the datum database holds them.
void LoadTwoDatums() {
    geodesy::ResetDatumState();
    geodesy::DatumState& s = geodesy::Datums();
    s.DatumTable.resize(3);
    s.datumTableFilled = true;
    s.DatumTable[1] = {574, 1.1960023250403e-05, 375, -111, 431, 1, "OGB-M", "OSGB 1936", "", 4};
    s.DatumTable[2] = {-251, -1.4192702255886366e-05, -87, -98, -121, 2, "EUR-M", "ED 1950", "", 4};
    s.EllipsoidTable.resize(3);
    s.EllipsoidTable[1] = {1, "AA", "Airy 1830", 6377563.396, 299.3249646};
    s.EllipsoidTable[2] = {2, "IN", "International 1924", 6378388, 297};
}

void BM_ShiftDatum_ours(benchmark::State& state) {
    LoadTwoDatums();
    const Points& p = Zone31();
    std::vector<double> lat(kPoints), lon(kPoints);
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            geodesy::ShiftDatum(p.lat[i], p.lon[i], 0.0, lat[i], lon[i], 1, 2);
        }
        benchmark::DoNotOptimize(lat.data());
        benchmark::ClobberMemory();
    }
    Done(state);
}
BENCHMARK(BM_ShiftDatum_ours)->Name("ShiftDatum/ours")->Unit(benchmark::kMillisecond);

void BM_ShiftDatum_proj(benchmark::State& state) {
    static const ProjOp op(
        "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
        "+step +proj=molodensky +a=6377563.396 +rf=299.3249646 +dx=375 +dy=-111 +dz=431 +da=574 "
        "+df=1.1960023250403e-05 "
        "+step +inv +proj=molodensky +a=6378388 +rf=297 +dx=-87 +dy=-98 +dz=-121 +da=-251 "
        "+df=-1.4192702255886366e-05 "
        "+step +proj=unitconvert +xy_in=rad +xy_out=deg");
    RunProj(state, op, PJ_FWD, Zone31().lon, Zone31().lat);
}
BENCHMARK(BM_ShiftDatum_proj)->Name("ShiftDatum/proj")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

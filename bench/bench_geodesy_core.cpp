// UTM, MGRS and the Molodensky datum shift against PROJ's proj_trans_generic on the same million
// points. Compare items_per_second of each .../ours with its .../proj. PROJ has no MGRS: the MGRS
// benchmarks are set against PROJ's UTM conversion of the same points, the projection inside them.
// Ours convert through the batch functions over arrays; .../one-point through the one-point
// functions, one call a point, as the record editor and the pointer readouts call them (their
// ratios to PROJ are printed at the end beside the goal). Each .../ours and .../one-point also
// compares its results with PROJ's on all its points (max_diff_mm); one beyond 1 cm fails that
// benchmark and the program's exit status.

#include "geodesy/Angles.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Mgrs.h"
#include "geodesy/Molodensky.h"
#include "geodesy/TransverseMercator.h"
#include "support/OnePointRatios.h"
#include "support/ProjCheck.h"
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
constexpr double kDegreesPerRadian = 180.0 / geodesy::kPiTenDecimals;

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

const ProjOp& Utm(int zone) {
    static const ProjOp zone31("EPSG:4326", "EPSG:32631");
    static const ProjOp zone32("EPSG:4326", "EPSG:32632");
    return zone == 32 ? zone32 : zone31;
}

void Scale(const std::vector<double>& in, double factor, std::vector<double>& out) {
    for (std::size_t i = 0; i < in.size(); ++i) {
        out[i] = in[i] * factor;
    }
}

// PROJ's UTM of points (degrees) in each point's zone (31 or 32; any other zone gives NaN).
void ProjUtm(const Points& p, const std::vector<int>& zones, std::vector<double>& easting,
             std::vector<double>& northing) {
    easting.assign(kPoints, NAN);
    northing.assign(kPoints, NAN);
    for (int zone : {31, 32}) {
        std::vector<double> x = p.lon, y = p.lat;
        Utm(zone).run(PJ_FWD, x, y);
        for (std::size_t i = 0; i < kPoints; ++i) {
            if (zones[i] == zone) {
                easting[i] = x[i];
                northing[i] = y[i];
            }
        }
    }
}

// PROJ's latitudes and longitudes (degrees) of UTM points in each point's zone (31 or 32).
void ProjLatLon(const std::vector<double>& easting, const std::vector<double>& northing,
                const std::vector<int>& zones, Points& out) {
    out.lat.assign(kPoints, NAN);
    out.lon.assign(kPoints, NAN);
    for (int zone : {31, 32}) {
        std::vector<double> x = easting, y = northing;
        Utm(zone).run(PJ_INV, x, y);
        for (std::size_t i = 0; i < kPoints; ++i) {
            if (zones[i] == zone) {
                out.lon[i] = x[i];
                out.lat[i] = y[i];
            }
        }
    }
}

// ---- UTM ----------------------------------------------------------------------------------

// The items done, then the zone-31 points' UTM values against PROJ's.
void JudgeUtm(benchmark::State& state, const std::vector<int>& zone, const std::vector<double>& e,
              const std::vector<double>& n) {
    Done(state);
    std::vector<double> projE, projN;
    ProjUtm(Zone31(), zone, projE, projN);
    bench::Judge(state, bench::WorstPlane(e, n, projE, projN));
}

// The items done, then latitudes and longitudes (degrees) of UTM points against PROJ's; every
// status given must be 0 (a decoded reference).
void JudgeLatLon(benchmark::State& state, const Points& out, const std::vector<double>& e,
                 const std::vector<double>& n, const std::vector<int>& zone,
                 const std::vector<int>& status) {
    Done(state);
    Points proj;
    ProjLatLon(e, n, zone, proj);
    double worst = bench::WorstGeographic(out.lat, out.lon, proj.lat, proj.lon);
    for (int s : status) {
        worst = s == 0 ? worst : INFINITY;
    }
    bench::Judge(state, worst);
}

void BM_LatLonToUtm_ours(benchmark::State& state) {
    const Points& p = Zone31();
    std::vector<double> lat(kPoints), lon(kPoints), e(kPoints), n(kPoints);
    std::vector<int> zone(kPoints);
    for (auto _ : state) {
        Scale(p.lat, geodesy::kRadiansPerDegree, lat);
        Scale(p.lon, geodesy::kRadiansPerDegree, lon);
        geodesy::batch::LatLonToUtm(kWgsA, kWgsF, lat, lon, zone, n, e, 0);
        benchmark::DoNotOptimize(e.data());
        benchmark::DoNotOptimize(n.data());
        benchmark::ClobberMemory();
    }
    JudgeUtm(state, zone, e, n);
}
BENCHMARK(BM_LatLonToUtm_ours)->Name("LatLonToUtm/ours")->Unit(benchmark::kMillisecond);

void BM_LatLonToUtm_onePoint(benchmark::State& state) {
    const Points& p = Zone31();
    std::vector<double> e(kPoints), n(kPoints);
    std::vector<int> zone(kPoints);
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            geodesy::LatLonToUtm(kWgsA, kWgsF, geodesy::DegToRad(p.lat[i]),
                                 geodesy::DegToRad(p.lon[i]), zone[i], n[i], e[i], 0);
        }
        benchmark::DoNotOptimize(e.data());
        benchmark::DoNotOptimize(n.data());
        benchmark::ClobberMemory();
    }
    JudgeUtm(state, zone, e, n);
}
BENCHMARK(BM_LatLonToUtm_onePoint)->Name("LatLonToUtm/one-point")->Unit(benchmark::kMillisecond);

void BM_LatLonToUtm_proj(benchmark::State& state) {
    RunProj(state, Utm(31), PJ_FWD, Zone31().lon, Zone31().lat);
}
BENCHMARK(BM_LatLonToUtm_proj)->Name("LatLonToUtm/proj")->Unit(benchmark::kMillisecond);

void BM_UtmToLatLon_ours(benchmark::State& state) {
    const Grid& g = Zone31Grid();
    const std::vector<int> zone(kPoints, 31);
    Points out{std::vector<double>(kPoints), std::vector<double>(kPoints)};
    for (auto _ : state) {
        geodesy::batch::UtmToLatLon(kWgsA, kWgsF, zone, g.northing, g.easting, out.lat, out.lon);
        Scale(out.lat, kDegreesPerRadian, out.lat);
        Scale(out.lon, kDegreesPerRadian, out.lon);
        benchmark::DoNotOptimize(out.lat.data());
        benchmark::DoNotOptimize(out.lon.data());
        benchmark::ClobberMemory();
    }
    JudgeLatLon(state, out, g.easting, g.northing, zone, {});
}
BENCHMARK(BM_UtmToLatLon_ours)->Name("UtmToLatLon/ours")->Unit(benchmark::kMillisecond);

void BM_UtmToLatLon_onePoint(benchmark::State& state) {
    const Grid& g = Zone31Grid();
    const std::vector<int> zone(kPoints, 31);
    Points out{std::vector<double>(kPoints), std::vector<double>(kPoints)};
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            double northing = g.northing[i], lat = 0, lon = 0;
            geodesy::UtmToLatLon(kWgsA, kWgsF, lat, lon, 31, northing, g.easting[i]);
            out.lat[i] = geodesy::RadToDeg(lat);
            out.lon[i] = geodesy::RadToDeg(lon);
        }
        benchmark::DoNotOptimize(out.lat.data());
        benchmark::DoNotOptimize(out.lon.data());
        benchmark::ClobberMemory();
    }
    JudgeLatLon(state, out, g.easting, g.northing, zone, {});
}
BENCHMARK(BM_UtmToLatLon_onePoint)->Name("UtmToLatLon/one-point")->Unit(benchmark::kMillisecond);

void BM_UtmToLatLon_proj(benchmark::State& state) {
    RunProj(state, Utm(31), PJ_INV, Zone31Grid().easting, Zone31Grid().northing);
}
BENCHMARK(BM_UtmToLatLon_proj)->Name("UtmToLatLon/proj")->Unit(benchmark::kMillisecond);

// ---- MGRS (against PROJ's UTM of the same points) ----------------------------------------------

void BM_LatLonToMgrs_ours(benchmark::State& state) {
    const Points& p = Zone31();
    std::vector<double> lat(kPoints), lon(kPoints), e(kPoints), n(kPoints);
    std::vector<int> zone(kPoints);
    std::vector<std::string> text(kPoints);
    for (auto _ : state) {
        Scale(p.lat, geodesy::kRadiansPerDegree, lat);
        Scale(p.lon, geodesy::kRadiansPerDegree, lon);
        geodesy::batch::LatLonToMgrs(kWgsA, kWgsF, lat, lon, zone, n, e, text, kWgsEllipsoid);
        benchmark::DoNotOptimize(text.data());
        benchmark::ClobberMemory();
    }
    JudgeUtm(state, zone, e, n);
}
BENCHMARK(BM_LatLonToMgrs_ours)->Name("LatLonToMgrs/ours")->Unit(benchmark::kMillisecond);

void BM_LatLonToMgrs_onePoint(benchmark::State& state) {
    const Points& p = Zone31();
    std::vector<double> e(kPoints), n(kPoints);
    std::vector<int> zone(kPoints);
    std::vector<std::string> text(kPoints);
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            geodesy::LatLonToMgrs(kWgsA, kWgsF, geodesy::DegToRad(p.lat[i]),
                                  geodesy::DegToRad(p.lon[i]), zone[i], n[i], e[i], text[i],
                                  kWgsEllipsoid);
        }
        benchmark::DoNotOptimize(text.data());
        benchmark::ClobberMemory();
    }
    JudgeUtm(state, zone, e, n);
}
BENCHMARK(BM_LatLonToMgrs_onePoint)->Name("LatLonToMgrs/one-point")->Unit(benchmark::kMillisecond);

void BM_LatLonToMgrs_proj(benchmark::State& state) {
    RunProj(state, Utm(31), PJ_FWD, Zone31().lon, Zone31().lat);
}
BENCHMARK(BM_LatLonToMgrs_proj)->Name("LatLonToMgrs/proj-utm")->Unit(benchmark::kMillisecond);

void BM_MgrsToLatLon_ours(benchmark::State& state) {
    const std::vector<std::string>& refs = Zone31References();
    std::vector<std::string> text(kPoints);
    Points out{std::vector<double>(kPoints), std::vector<double>(kPoints)};
    std::vector<double> e(kPoints), n(kPoints);
    std::vector<int> zone(kPoints), status(kPoints);
    for (auto _ : state) {
        state.PauseTiming(); // a refused reference is replaced by its message
        text = refs;
        state.ResumeTiming();
        geodesy::batch::MgrsToLatLon(text, kWgsEllipsoid, kWgsA, kWgsF, out.lat, out.lon, zone, n,
                                     e, status);
        Scale(out.lat, kDegreesPerRadian, out.lat);
        Scale(out.lon, kDegreesPerRadian, out.lon);
        benchmark::DoNotOptimize(out.lat.data());
        benchmark::DoNotOptimize(out.lon.data());
        benchmark::ClobberMemory();
    }
    JudgeLatLon(state, out, e, n, zone, status);
}
BENCHMARK(BM_MgrsToLatLon_ours)->Name("MgrsToLatLon/ours")->Unit(benchmark::kMillisecond);

void BM_MgrsToLatLon_onePoint(benchmark::State& state) {
    const std::vector<std::string>& refs = Zone31References();
    Points out{std::vector<double>(kPoints), std::vector<double>(kPoints)};
    std::vector<double> e(kPoints), n(kPoints);
    std::vector<int> zone(kPoints), status(kPoints);
    std::string text;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            text = refs[i]; // a refused reference is replaced by its message
            double lat = 0, lon = 0;
            geodesy::MgrsToLatLon(text, kWgsEllipsoid, kWgsA, kWgsF, lat, lon, zone[i], n[i], e[i],
                                  status[i]);
            out.lat[i] = geodesy::RadToDeg(lat);
            out.lon[i] = geodesy::RadToDeg(lon);
        }
        benchmark::DoNotOptimize(out.lat.data());
        benchmark::DoNotOptimize(out.lon.data());
        benchmark::ClobberMemory();
    }
    JudgeLatLon(state, out, e, n, zone, status);
}
BENCHMARK(BM_MgrsToLatLon_onePoint)->Name("MgrsToLatLon/one-point")->Unit(benchmark::kMillisecond);

void BM_MgrsToLatLon_proj(benchmark::State& state) {
    RunProj(state, Utm(31), PJ_INV, Zone31Grid().easting, Zone31Grid().northing);
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

const ProjOp& Molodensky() {
    static const ProjOp op(
        "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
        "+step +proj=molodensky +a=6377563.396 +rf=299.3249646 +dx=375 +dy=-111 +dz=431 +da=574 "
        "+df=1.1960023250403e-05 "
        "+step +inv +proj=molodensky +a=6378388 +rf=297 +dx=-87 +dy=-98 +dz=-121 +da=-251 "
        "+df=-1.4192702255886366e-05 "
        "+step +proj=unitconvert +xy_in=rad +xy_out=deg");
    return op;
}

// The items done, then the shifted zone-31 points against PROJ's.
void JudgeShift(benchmark::State& state, const Points& out) {
    Done(state);
    Points proj = Zone31();
    Molodensky().run(PJ_FWD, proj.lon, proj.lat);
    bench::Judge(state, bench::WorstGeographic(out.lat, out.lon, proj.lat, proj.lon));
}

void BM_ShiftDatum_ours(benchmark::State& state) {
    LoadTwoDatums();
    const Points& p = Zone31();
    Points out{std::vector<double>(kPoints), std::vector<double>(kPoints)};
    for (auto _ : state) {
        geodesy::batch::ShiftDatum(p.lat, p.lon, out.lat, out.lon, 1, 2);
        benchmark::DoNotOptimize(out.lat.data());
        benchmark::DoNotOptimize(out.lon.data());
        benchmark::ClobberMemory();
    }
    JudgeShift(state, out);
}
BENCHMARK(BM_ShiftDatum_ours)->Name("ShiftDatum/ours")->Unit(benchmark::kMillisecond);

void BM_ShiftDatum_onePoint(benchmark::State& state) {
    LoadTwoDatums();
    const Points& p = Zone31();
    Points out{std::vector<double>(kPoints), std::vector<double>(kPoints)};
    const geodesy::DatumShift shift(1, 2); // as a run of points between two datums holds it
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            shift.Apply(p.lat[i], p.lon[i], 0.0, out.lat[i], out.lon[i]);
        }
        benchmark::DoNotOptimize(out.lat.data());
        benchmark::DoNotOptimize(out.lon.data());
        benchmark::ClobberMemory();
    }
    JudgeShift(state, out);
}
BENCHMARK(BM_ShiftDatum_onePoint)->Name("ShiftDatum/one-point")->Unit(benchmark::kMillisecond);

void BM_ShiftDatum_proj(benchmark::State& state) {
    RunProj(state, Molodensky(), PJ_FWD, Zone31().lon, Zone31().lat);
}
BENCHMARK(BM_ShiftDatum_proj)->Name("ShiftDatum/proj")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::OnePointBenchmarkMain(
        argc, argv,
        {{"UTM forward", "LatLonToUtm/one-point", "LatLonToUtm/proj"},
         {"UTM inverse", "UtmToLatLon/one-point", "UtmToLatLon/proj"},
         {"MGRS forward (PROJ: UTM)", "LatLonToMgrs/one-point", "LatLonToMgrs/proj-utm"},
         {"MGRS inverse (PROJ: UTM)", "MgrsToLatLon/one-point", "MgrsToLatLon/proj-utm"},
         {"Molodensky OGB-M to EUR-M", "ShiftDatum/one-point", "ShiftDatum/proj"}});
}

// The national grid converters (British and Irish grids, Belgian Lambert 72, IFBL squares) against
// PROJ's proj_trans_generic with the EPSG definitions, on the same million points.
// Compare items_per_second of each .../ours with its .../proj.

#include "geodesy/Ifbl.h"
#include "geodesy/Lambert72.h"
#include "geodesy/NationalGridProjection.h"
#include "geodesy/NationalGrids.h"
#include "support/ProjRunner.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <proj.h>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPoints = 1000000;

struct Points {
    std::vector<double> a, b; // lat and lon, or easting and northing
};

// kPoints points on a regular lattice over [a0, a1] x [b0, b1].
Points Lattice(double a0, double a1, double b0, double b1) {
    Points p;
    p.a.reserve(kPoints);
    p.b.reserve(kPoints);
    constexpr std::size_t side = 1000;
    for (std::size_t i = 0; i < side; ++i) {
        for (std::size_t j = 0; j < side; ++j) {
            p.a.push_back(a0 + (a1 - a0) * static_cast<double>(i) / (side - 1));
            p.b.push_back(b0 + (b1 - b0) * static_cast<double>(j) / (side - 1));
        }
    }
    return p;
}

using bench::ProjOp;
using bench::RunProj;

template <typename Convert>
void RunOurs(benchmark::State& state, const Points& in, Convert convert) {
    std::vector<double> outA(in.a.size()), outB(in.a.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < in.a.size(); ++i) {
            convert(in.a[i], in.b[i], outA[i], outB[i]);
        }
        benchmark::DoNotOptimize(outA.data());
        benchmark::DoNotOptimize(outB.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(in.a.size()));
}

// The areas: latitude and longitude in degrees, and the matching grid rectangles in metres.
const Points& BritishLatLon() {
    static const Points p = Lattice(49.9, 60.8, -7.9, 1.8);
    return p;
}
const Points& BritishGrid() {
    static const Points p = Lattice(0, 700000, 0, 1300000);
    return p;
}
const Points& IrishLatLon() {
    static const Points p = Lattice(51.4, 55.4, -10.5, -5.5);
    return p;
}
const Points& IrishGrid() {
    static const Points p = Lattice(0, 500000, 0, 500000);
    return p;
}
const Points& BelgianLatLon() {
    static const Points p = Lattice(49.5, 51.5, 2.5, 6.4);
    return p;
}
const Points& BelgianGrid() {
    static const Points p = Lattice(20000, 300000, 10000, 250000);
    return p;
}

// Lambert 72 centres of a million IFBL 1 km squares (the 76,800 squares of the grid, repeated),
// with their codes.
struct IfblSquares {
    std::vector<std::string> codes;
    Points centres;
};
const IfblSquares& Squares() {
    static const IfblSquares squares = [] {
        IfblSquares s;
        const char rows[] = "MLKJHGFEDCBA";
        const char* subs[] = {"11", "12", "13", "14", "21", "22", "23", "24",
                              "31", "32", "33", "34", "41", "42", "43", "44"};
        std::vector<std::string> all;
        for (int r = 0; r < 12; ++r) {
            for (int c = 0; c <= 9; ++c) {
                for (int r4 = 1; r4 <= 5; ++r4) {
                    for (int c4 = 1; c4 <= 8; ++c4) {
                        for (const char* sub : subs) {
                            all.push_back(std::string(1, rows[r]) + std::to_string(c) +
                                          std::to_string(r4) + std::to_string(c4) + sub);
                        }
                    }
                }
            }
        }
        for (std::size_t i = 0; i < kPoints; ++i) {
            std::string code = all[i % all.size()];
            double x = 0, y = 0;
            std::int32_t status = 0;
            geodesy::IfblToLambert(code, x, y, status);
            s.codes.push_back(code);
            s.centres.a.push_back(x);
            s.centres.b.push_back(y);
        }
        return s;
    }();
    return squares;
}

const ProjOp& British() {
    static const ProjOp op("EPSG:4277", "EPSG:27700");
    return op;
}
const ProjOp& Irish() {
    static const ProjOp op("EPSG:4299", "EPSG:29902");
    return op;
}
const ProjOp& Belgian() {
    static const ProjOp op("EPSG:4313", "EPSG:31370");
    return op;
}

// ---- British National Grid ----

void BM_BritishForward_ours(benchmark::State& state) {
    RunOurs(state, BritishLatLon(), [](double lat, double lon, double& e, double& n) {
        geodesy::LatLonToGrid(geodesy::kBritishGrid, lat, lon, e, n);
    });
}
void BM_BritishForward_proj(benchmark::State& state) {
    RunProj(state, British(), PJ_FWD, BritishLatLon().b, BritishLatLon().a);
}
void BM_BritishInverse_ours(benchmark::State& state) {
    const geodesy::NationalGridDef& g = *geodesy::FindNationalGrid(geodesy::kBritishGrid);
    RunOurs(state, BritishGrid(), [&g](double e, double n, double& lat, double& lon) {
        geodesy::GridToLatLon(geodesy::kBritishGrid, n + g.northingK, e + g.eastingOffset, lat,
                              lon);
    });
}
void BM_BritishInverse_proj(benchmark::State& state) {
    RunProj(state, British(), PJ_INV, BritishGrid().a, BritishGrid().b);
}
// Lettered references, written and read (the parser's and the snapping command's paths).
void BM_BritishGridRef_ours(benchmark::State& state) {
    const Points& in = BritishLatLon();
    std::string letters, eDigits, nDigits;
    for (auto _ : state) {
        for (std::size_t i = 0; i < in.a.size(); ++i) {
            geodesy::LatLonToGridRef(geodesy::kBritishGrid, in.a[i], in.b[i], letters, eDigits,
                                     nDigits);
            benchmark::DoNotOptimize(letters.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(in.a.size()));
}
void BM_BritishReadRef_ours(benchmark::State& state) {
    const Points& in = BritishGrid();
    const char* squares[] = {"SV", "SU", "TQ", "NT", "HU", "SH", "NN", "TG"};
    std::vector<double> lat(in.a.size()), lon(in.a.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < in.a.size(); ++i) {
            double e = 0, n = 0;
            geodesy::BngLettersToEN(squares[i % 8], in.a[i] / 7000.0, in.b[i] / 13000.0, e, n);
            geodesy::GridToLatLon(geodesy::kBritishGrid, n, e, lat[i], lon[i]);
        }
        benchmark::DoNotOptimize(lat.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(in.a.size()));
}

// ---- Irish grid ----

void BM_IrishForward_ours(benchmark::State& state) {
    RunOurs(state, IrishLatLon(), [](double lat, double lon, double& e, double& n) {
        geodesy::LatLonToGrid(geodesy::kIrishGrid, lat, lon, e, n);
    });
}
void BM_IrishForward_proj(benchmark::State& state) {
    RunProj(state, Irish(), PJ_FWD, IrishLatLon().b, IrishLatLon().a);
}
void BM_IrishInverse_ours(benchmark::State& state) {
    const geodesy::NationalGridDef& g = *geodesy::FindNationalGrid(geodesy::kIrishGrid);
    RunOurs(state, IrishGrid(), [&g](double e, double n, double& lat, double& lon) {
        geodesy::GridToLatLon(geodesy::kIrishGrid, n + g.northingK, e + g.eastingOffset, lat, lon);
    });
}
void BM_IrishInverse_proj(benchmark::State& state) {
    RunProj(state, Irish(), PJ_INV, IrishGrid().a, IrishGrid().b);
}

// ---- Belgian Lambert 72 ----

void BM_Lambert72Forward_ours(benchmark::State& state) {
    RunOurs(state, BelgianLatLon(), [](double lat, double lon, double& x, double& y) {
        geodesy::LatLonToLambert72(lat, lon, x, y);
    });
}
void BM_Lambert72Forward_proj(benchmark::State& state) {
    RunProj(state, Belgian(), PJ_FWD, BelgianLatLon().b, BelgianLatLon().a);
}
void BM_Lambert72Inverse_ours(benchmark::State& state) {
    RunOurs(state, BelgianGrid(), [](double x, double y, double& lat, double& lon) {
        geodesy::Lambert72ToLatLon(x, y, lat, lon);
    });
}
void BM_Lambert72Inverse_proj(benchmark::State& state) {
    RunProj(state, Belgian(), PJ_INV, BelgianGrid().a, BelgianGrid().b);
}

// ---- IFBL squares: code to latitude and longitude, and back ----

void BM_IfblToLatLon_ours(benchmark::State& state) {
    const IfblSquares& s = Squares();
    std::vector<double> lat(kPoints), lon(kPoints);
    std::string code;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            code = s.codes[i];
            double x = 0, y = 0;
            std::int32_t status = 0;
            geodesy::IfblToLambert(code, x, y, status);
            geodesy::Lambert72ToLatLon(x, y, lat[i], lon[i]);
        }
        benchmark::DoNotOptimize(lat.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kPoints));
}
// PROJ has no IFBL codes: it inverts the square centres alone.
void BM_IfblToLatLon_proj(benchmark::State& state) {
    RunProj(state, Belgian(), PJ_INV, Squares().centres.a, Squares().centres.b);
}
// Latitudes and longitudes of the square centres.
const Points& SquareLatLon() {
    static const Points latLon = [] {
        Points p;
        for (std::size_t i = 0; i < kPoints; ++i) {
            double lat = 0, lon = 0;
            geodesy::Lambert72ToLatLon(Squares().centres.a[i], Squares().centres.b[i], lat, lon);
            p.a.push_back(lat);
            p.b.push_back(lon);
        }
        return p;
    }();
    return latLon;
}
void BM_LatLonToIfbl_ours(benchmark::State& state) {
    const Points& latLon = SquareLatLon();
    std::string code;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            double x = 0, y = 0;
            std::int32_t status = 0;
            geodesy::LatLonToLambert72(latLon.a[i], latLon.b[i], x, y);
            geodesy::LambertToIfbl(x, y, code, status, 6);
            benchmark::DoNotOptimize(code.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kPoints));
}

// PROJ projects the points alone.
void BM_LatLonToIfbl_proj(benchmark::State& state) {
    RunProj(state, Belgian(), PJ_FWD, SquareLatLon().b, SquareLatLon().a);
}

} // namespace

BENCHMARK(BM_BritishForward_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishForward_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishInverse_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishInverse_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishGridRef_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishReadRef_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrishForward_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrishForward_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrishInverse_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrishInverse_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lambert72Forward_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lambert72Forward_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lambert72Inverse_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lambert72Inverse_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IfblToLatLon_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IfblToLatLon_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LatLonToIfbl_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LatLonToIfbl_proj)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

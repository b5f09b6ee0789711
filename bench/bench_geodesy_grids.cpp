// The national grid converters (British and Irish grids, Belgian Lambert 72, IFBL squares, Lambert
// II etendu and Nord Maroc) against PROJ's proj_trans_generic on the same million points: the EPSG
// definitions, or for the Lambert zones the same projection on the zone's own ellipsoid.
// Compare items_per_second of each .../ours with its .../proj. Ours convert through the batch
// functions over arrays; ..._onePoint through the one-point functions, one call a point, as the
// record editor and the pointer readouts call them (their ratios to PROJ are printed at the end
// beside the goal). Each .../ours and ..._onePoint also compares its results with PROJ's on all
// its points (max_diff_mm); one beyond 1 cm fails that benchmark and the program's exit status.

#include "geodesy/Ifbl.h"
#include "geodesy/Lambert72.h"
#include "geodesy/LambertConic.h"
#include "geodesy/NationalGridProjection.h"
#include "geodesy/NationalGrids.h"
#include "support/OnePointRatios.h"
#include "support/ProjCheck.h"
#include "support/ProjRunner.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
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

using bench::Failures;
using bench::GroundMetres;

// Compares our outputs of `in` with PROJ's, records the largest difference and fails the
// benchmark beyond 1 cm. Plane outputs are (x, y); geographic ones (lat, lon), where PROJ
// gives (lon, lat).
void CheckAgainstProj(benchmark::State& state, const ProjOp& op, PJ_DIRECTION direction,
                      const Points& in, const Points& ours) {
    std::vector<double> px = direction == PJ_FWD ? in.b : in.a;
    std::vector<double> py = direction == PJ_FWD ? in.a : in.b;
    op.run(direction, px, py);
    double worst = 0.0;
    for (std::size_t i = 0; i < px.size(); ++i) {
        const double d = direction == PJ_FWD
                             ? std::hypot(ours.a[i] - px[i], ours.b[i] - py[i])
                             : GroundMetres(ours.a[i] - py[i], ours.b[i] - px[i], py[i]);
        worst = std::max(worst, std::isnan(d) ? INFINITY : d);
    }
    bench::Judge(state, worst);
}

void SetItems(benchmark::State& state, std::size_t perIteration) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(perIteration));
}

// Times convert(in.a, in.b, out.a, out.b) over the arrays, then checks the outputs against
// PROJ's.
template <typename Convert>
void RunOurs(benchmark::State& state, const Points& in, const ProjOp& op, PJ_DIRECTION direction,
             Convert convert) {
    Points out{std::vector<double>(in.a.size()), std::vector<double>(in.a.size())};
    for (auto _ : state) {
        convert(in.a, in.b, out.a, out.b);
        benchmark::DoNotOptimize(out.a.data());
        benchmark::DoNotOptimize(out.b.data());
        benchmark::ClobberMemory();
    }
    SetItems(state, in.a.size());
    CheckAgainstProj(state, op, direction, in, out);
}

// Times one(in.a[i], in.b[i], out.a[i], out.b[i]) point by point, then checks the outputs against
// PROJ's.
template <typename One>
void RunOnePoint(benchmark::State& state, const Points& in, const ProjOp& op,
                 PJ_DIRECTION direction, One one) {
    Points out{std::vector<double>(in.a.size()), std::vector<double>(in.a.size())};
    for (auto _ : state) {
        for (std::size_t i = 0; i < in.a.size(); ++i) {
            one(in.a[i], in.b[i], out.a[i], out.b[i]);
        }
        benchmark::DoNotOptimize(out.a.data());
        benchmark::DoNotOptimize(out.b.data());
        benchmark::ClobberMemory();
    }
    SetItems(state, in.a.size());
    CheckAgainstProj(state, op, direction, in, out);
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
const Points& FranceLatLon() {
    static const Points p = Lattice(42.4, 51.1, -4.8, 8.2);
    return p;
}
const Points& FranceGrid() {
    static const Points p = Lattice(100000, 1100000, 1650000, 2700000);
    return p;
}
const Points& MoroccoLatLon() {
    static const Points p = Lattice(31.5, 35.9, -9.8, -1.1);
    return p;
}
const Points& MoroccoGrid() {
    static const Points p = Lattice(100000, 900000, 100000, 600000);
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
const ProjOp& LambertIIEtendu() {
    static const ProjOp op(
        "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=lcc "
        "+lat_1=46.8 +lat_0=46.8 +lon_0=0 +k_0=0.99987742 +x_0=600000 +y_0=2200000 "
        "+a=6378249.2 +rf=293.465 +pm=paris");
    return op;
}
const ProjOp& NordMaroc() {
    static const ProjOp op(
        "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=lcc "
        "+lat_1=33.3 +lat_0=33.3 +lon_0=-5.4 +k_0=0.999625769 +x_0=500000 +y_0=300000 "
        "+a=6378249.145 +rf=293.465");
    return op;
}

using Span = std::span<const double>;
using Out = std::span<double>;

// The national grids' inverse takes projection coordinates: grid coordinates plus the grid's
// offsets, added inside the timing.
void GridInverse(benchmark::State& state, int type, const Points& grid, const ProjOp& op) {
    const geodesy::NationalGridDef& g = *geodesy::FindNationalGrid(type);
    std::vector<double> eP(grid.a.size()), nP(grid.a.size());
    RunOurs(state, grid, op, PJ_INV, [&](Span e, Span n, Out lat, Out lon) {
        for (std::size_t i = 0; i < e.size(); ++i) {
            eP[i] = e[i] + g.eastingOffset;
            nP[i] = n[i] + g.northingK;
        }
        geodesy::batch::GridToLatLon(type, nP, eP, lat, lon);
    });
}

// The same point by point, the offsets added as the editor adds them.
void GridInverseOnePoint(benchmark::State& state, int type, const Points& grid, const ProjOp& op) {
    const geodesy::NationalGridDef& g = *geodesy::FindNationalGrid(type);
    RunOnePoint(state, grid, op, PJ_INV, [&](double e, double n, double& lat, double& lon) {
        geodesy::GridToLatLon(type, n + g.northingK, e + g.eastingOffset, lat, lon);
    });
}

// ---- British National Grid ----

void BM_BritishForward_ours(benchmark::State& state) {
    RunOurs(state, BritishLatLon(), British(), PJ_FWD, [](Span lat, Span lon, Out e, Out n) {
        geodesy::batch::LatLonToGrid(geodesy::kBritishGrid, lat, lon, e, n);
    });
}
void BM_BritishForward_onePoint(benchmark::State& state) {
    RunOnePoint(state, BritishLatLon(), British(), PJ_FWD,
                [](double lat, double lon, double& e, double& n) {
                    geodesy::LatLonToGrid(geodesy::kBritishGrid, lat, lon, e, n);
                });
}
void BM_BritishForward_proj(benchmark::State& state) {
    RunProj(state, British(), PJ_FWD, BritishLatLon().b, BritishLatLon().a);
}
void BM_BritishInverse_ours(benchmark::State& state) {
    GridInverse(state, geodesy::kBritishGrid, BritishGrid(), British());
}
void BM_BritishInverse_onePoint(benchmark::State& state) {
    GridInverseOnePoint(state, geodesy::kBritishGrid, BritishGrid(), British());
}
void BM_BritishInverse_proj(benchmark::State& state) {
    RunProj(state, British(), PJ_INV, BritishGrid().a, BritishGrid().b);
}
// Lettered references, written and read (the parser's and the snapping command's paths), against
// PROJ's forward and inverse of the same points.

// Grid easting and northing (metres) of the south-west corner of a British 100 km square, read
// here from its letters: the 500 km letter's square, then the 100 km letter's place in it.
bool SquareCorner(const std::string& letters, double& easting, double& northing) {
    const std::string first = "STNOHJ";                     // by rows of two from the south-west
    const std::string second = "VWXYZQRSTULMNOPFGHJKABCDE"; // by rows of five from the south
    if (letters.size() != 2 || first.find(letters[0]) == std::string::npos ||
        second.find(letters[1]) == std::string::npos) {
        return false;
    }
    const auto big = static_cast<double>(first.find(letters[0]));
    const auto small = static_cast<double>(second.find(letters[1]));
    easting = 500000.0 * std::fmod(big, 2.0) + 100000.0 * std::fmod(small, 5.0);
    northing = 500000.0 * std::floor(big / 2.0) + 100000.0 * std::floor(small / 5.0);
    return true;
}

void BM_BritishGridRef_ours(benchmark::State& state) {
    const Points& in = BritishLatLon();
    const std::size_t n = in.a.size();
    std::vector<std::string> letters(n), eDigits(n), nDigits(n);
    for (auto _ : state) {
        geodesy::batch::LatLonToGridRef(geodesy::kBritishGrid, in.a, in.b, letters, eDigits,
                                        nDigits);
        benchmark::DoNotOptimize(letters.data());
        benchmark::ClobberMemory();
    }
    SetItems(state, n);
    // The references back to grid coordinates: the offsets are written to 7 digits, so to the
    // centimetre (at most 5 mm off) from 10 km on. Points off the lettered squares have none.
    Points written{std::vector<double>(n, NAN), std::vector<double>(n, NAN)};
    for (std::size_t i = 0; i < n; ++i) {
        double e = 0, no = 0;
        if (letters[i].empty() && eDigits[i].empty() && nDigits[i].empty()) {
            continue;
        }
        if (SquareCorner(letters[i], e, no)) {
            written.a[i] = e + 1000.0 * std::stod(eDigits[i]);
            written.b[i] = no + 1000.0 * std::stod(nDigits[i]);
        }
    }
    std::vector<double> px = in.b, py = in.a;
    British().run(PJ_FWD, px, py);
    double worst = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const bool lettered = px[i] >= 0 && px[i] < 700000 && py[i] >= 0 && py[i] < 1300000;
        const double d = std::hypot(written.a[i] - px[i], written.b[i] - py[i]);
        if (lettered || !std::isnan(written.a[i])) {
            worst = std::max(worst, std::isnan(d) ? INFINITY : d);
        }
    }
    bench::Judge(state, worst);
}
// PROJ projects the points alone.
void BM_BritishGridRef_proj(benchmark::State& state) {
    RunProj(state, British(), PJ_FWD, BritishLatLon().b, BritishLatLon().a);
}

void BM_BritishReadRef_ours(benchmark::State& state) {
    const Points& in = BritishGrid();
    const std::size_t n = in.a.size();
    const char* squares[] = {"SV", "SU", "TQ", "NT", "HU", "SH", "NN", "TG"};
    std::vector<double> eP(n), nP(n);
    Points latLon{std::vector<double>(n), std::vector<double>(n)};
    for (auto _ : state) {
        for (std::size_t i = 0; i < n; ++i) {
            geodesy::BngLettersToEN(squares[i % 8], in.a[i] / 7000.0, in.b[i] / 13000.0, eP[i],
                                    nP[i]);
        }
        geodesy::batch::GridToLatLon(geodesy::kBritishGrid, nP, eP, latLon.a, latLon.b);
        benchmark::DoNotOptimize(latLon.a.data());
        benchmark::ClobberMemory();
    }
    SetItems(state, n);
    // The grid coordinates of the same references, for PROJ.
    Points grid{std::vector<double>(n), std::vector<double>(n)};
    for (std::size_t i = 0; i < n; ++i) {
        double e = 0, no = 0;
        SquareCorner(squares[i % 8], e, no);
        grid.a[i] = e + in.a[i] / 7.0;
        grid.b[i] = no + in.b[i] / 13.0;
    }
    CheckAgainstProj(state, British(), PJ_INV, grid, latLon);
}
// PROJ inverts the same points.
void BM_BritishReadRef_proj(benchmark::State& state) {
    const Points& in = BritishGrid();
    const char* squares[] = {"SV", "SU", "TQ", "NT", "HU", "SH", "NN", "TG"};
    std::vector<double> x(in.a.size()), y(in.a.size());
    for (std::size_t i = 0; i < in.a.size(); ++i) {
        double e = 0, no = 0;
        SquareCorner(squares[i % 8], e, no);
        x[i] = e + in.a[i] / 7.0;
        y[i] = no + in.b[i] / 13.0;
    }
    RunProj(state, British(), PJ_INV, x, y);
}

// ---- Irish grid ----

void BM_IrishForward_ours(benchmark::State& state) {
    RunOurs(state, IrishLatLon(), Irish(), PJ_FWD, [](Span lat, Span lon, Out e, Out n) {
        geodesy::batch::LatLonToGrid(geodesy::kIrishGrid, lat, lon, e, n);
    });
}
void BM_IrishForward_onePoint(benchmark::State& state) {
    RunOnePoint(state, IrishLatLon(), Irish(), PJ_FWD,
                [](double lat, double lon, double& e, double& n) {
                    geodesy::LatLonToGrid(geodesy::kIrishGrid, lat, lon, e, n);
                });
}
void BM_IrishForward_proj(benchmark::State& state) {
    RunProj(state, Irish(), PJ_FWD, IrishLatLon().b, IrishLatLon().a);
}
void BM_IrishInverse_ours(benchmark::State& state) {
    GridInverse(state, geodesy::kIrishGrid, IrishGrid(), Irish());
}
void BM_IrishInverse_onePoint(benchmark::State& state) {
    GridInverseOnePoint(state, geodesy::kIrishGrid, IrishGrid(), Irish());
}
void BM_IrishInverse_proj(benchmark::State& state) {
    RunProj(state, Irish(), PJ_INV, IrishGrid().a, IrishGrid().b);
}

// ---- Belgian Lambert 72 ----

void BM_Lambert72Forward_ours(benchmark::State& state) {
    RunOurs(state, BelgianLatLon(), Belgian(), PJ_FWD, [](Span lat, Span lon, Out x, Out y) {
        geodesy::batch::LatLonToLambert72(lat, lon, x, y);
    });
}
void BM_Lambert72Forward_onePoint(benchmark::State& state) {
    RunOnePoint(state, BelgianLatLon(), Belgian(), PJ_FWD,
                [](double lat, double lon, double& x, double& y) {
                    geodesy::LatLonToLambert72(lat, lon, x, y);
                });
}
void BM_Lambert72Forward_proj(benchmark::State& state) {
    RunProj(state, Belgian(), PJ_FWD, BelgianLatLon().b, BelgianLatLon().a);
}
void BM_Lambert72Inverse_ours(benchmark::State& state) {
    RunOurs(state, BelgianGrid(), Belgian(), PJ_INV, [](Span x, Span y, Out lat, Out lon) {
        geodesy::batch::Lambert72ToLatLon(x, y, lat, lon);
    });
}
void BM_Lambert72Inverse_onePoint(benchmark::State& state) {
    RunOnePoint(state, BelgianGrid(), Belgian(), PJ_INV,
                [](double x, double y, double& lat, double& lon) {
                    geodesy::Lambert72ToLatLon(x, y, lat, lon);
                });
}
void BM_Lambert72Inverse_proj(benchmark::State& state) {
    RunProj(state, Belgian(), PJ_INV, BelgianGrid().a, BelgianGrid().b);
}

// ---- IFBL squares: code to latitude and longitude, and back ----

void BM_IfblToLatLon_ours(benchmark::State& state) {
    const IfblSquares& s = Squares();
    std::vector<double> x(kPoints), y(kPoints);
    Points latLon{std::vector<double>(kPoints), std::vector<double>(kPoints)};
    std::string code;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            code = s.codes[i];
            std::int32_t status = 0;
            geodesy::IfblToLambert(code, x[i], y[i], status);
        }
        geodesy::batch::Lambert72ToLatLon(x, y, latLon.a, latLon.b);
        benchmark::DoNotOptimize(latLon.a.data());
        benchmark::ClobberMemory();
    }
    SetItems(state, kPoints);
    CheckAgainstProj(state, Belgian(), PJ_INV, s.centres, latLon);
}
void BM_IfblToLatLon_onePoint(benchmark::State& state) {
    const IfblSquares& s = Squares();
    Points latLon{std::vector<double>(kPoints), std::vector<double>(kPoints)};
    std::string code;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            code = s.codes[i];
            double x = 0, y = 0;
            std::int32_t status = 0;
            geodesy::IfblToLambert(code, x, y, status);
            geodesy::Lambert72ToLatLon(x, y, latLon.a[i], latLon.b[i]);
        }
        benchmark::DoNotOptimize(latLon.a.data());
        benchmark::ClobberMemory();
    }
    SetItems(state, kPoints);
    CheckAgainstProj(state, Belgian(), PJ_INV, s.centres, latLon);
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
// The items done, then the square centres' Lambert 72 coordinates against PROJ's; every centre
// must come back to its own code.
void JudgeSquares(benchmark::State& state, const Points& latLon, const Points& xy,
                  const std::vector<std::string>& codes) {
    SetItems(state, kPoints);
    CheckAgainstProj(state, Belgian(), PJ_FWD, latLon, xy);
    const auto wrong = std::mismatch(codes.begin(), codes.end(), Squares().codes.begin());
    if (wrong.first != codes.end()) {
        Failures().push_back("IFBL code " + *wrong.first + " for " + *wrong.second);
        state.SkipWithError("a square centre came back to another square");
    }
}

void BM_LatLonToIfbl_ours(benchmark::State& state) {
    const Points& latLon = SquareLatLon();
    Points xy{std::vector<double>(kPoints), std::vector<double>(kPoints)};
    std::vector<std::string> codes(kPoints);
    for (auto _ : state) {
        geodesy::batch::LatLonToLambert72(latLon.a, latLon.b, xy.a, xy.b);
        for (std::size_t i = 0; i < kPoints; ++i) {
            std::int32_t status = 0;
            geodesy::LambertToIfbl(xy.a[i], xy.b[i], codes[i], status, 6);
        }
        benchmark::DoNotOptimize(codes.data());
        benchmark::ClobberMemory();
    }
    JudgeSquares(state, latLon, xy, codes);
}

void BM_LatLonToIfbl_onePoint(benchmark::State& state) {
    const Points& latLon = SquareLatLon();
    Points xy{std::vector<double>(kPoints), std::vector<double>(kPoints)};
    std::vector<std::string> codes(kPoints);
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            geodesy::LatLonToLambert72(latLon.a[i], latLon.b[i], xy.a[i], xy.b[i]);
            std::int32_t status = 0;
            geodesy::LambertToIfbl(xy.a[i], xy.b[i], codes[i], status, 6);
        }
        benchmark::DoNotOptimize(codes.data());
        benchmark::ClobberMemory();
    }
    JudgeSquares(state, latLon, xy, codes);
}

// PROJ projects the points alone.
void BM_LatLonToIfbl_proj(benchmark::State& state) {
    RunProj(state, Belgian(), PJ_FWD, SquareLatLon().b, SquareLatLon().a);
}

// ---- Lambert II etendu and Nord Maroc ----

void BM_LambertIIEtenduForward_ours(benchmark::State& state) {
    RunOurs(state, FranceLatLon(), LambertIIEtendu(), PJ_FWD, [](Span lat, Span lon, Out x, Out y) {
        geodesy::batch::LatLonToLambertFrance(lat, lon, x, y, 5);
    });
}
void BM_LambertIIEtenduForward_onePoint(benchmark::State& state) {
    RunOnePoint(state, FranceLatLon(), LambertIIEtendu(), PJ_FWD,
                [](double lat, double lon, double& x, double& y) {
                    geodesy::LatLonToLambertFrance(lat, lon, x, y, 5);
                });
}
void BM_LambertIIEtenduForward_proj(benchmark::State& state) {
    RunProj(state, LambertIIEtendu(), PJ_FWD, FranceLatLon().b, FranceLatLon().a);
}
void BM_LambertIIEtenduInverse_ours(benchmark::State& state) {
    RunOurs(state, FranceGrid(), LambertIIEtendu(), PJ_INV, [](Span x, Span y, Out lat, Out lon) {
        geodesy::batch::LambertFranceToLatLon(x, y, lat, lon, 5);
    });
}
void BM_LambertIIEtenduInverse_onePoint(benchmark::State& state) {
    RunOnePoint(state, FranceGrid(), LambertIIEtendu(), PJ_INV,
                [](double x, double y, double& lat, double& lon) {
                    geodesy::LambertFranceToLatLon(x, y, lat, lon, 5);
                });
}
void BM_LambertIIEtenduInverse_proj(benchmark::State& state) {
    RunProj(state, LambertIIEtendu(), PJ_INV, FranceGrid().a, FranceGrid().b);
}
void BM_NordMarocForward_ours(benchmark::State& state) {
    RunOurs(state, MoroccoLatLon(), NordMaroc(), PJ_FWD, [](Span lat, Span lon, Out x, Out y) {
        geodesy::batch::LatLonToLambertAfrica(lat, lon, x, y, 1);
    });
}
void BM_NordMarocForward_onePoint(benchmark::State& state) {
    RunOnePoint(state, MoroccoLatLon(), NordMaroc(), PJ_FWD,
                [](double lat, double lon, double& x, double& y) {
                    geodesy::LatLonToLambertAfrica(lat, lon, x, y, 1);
                });
}
void BM_NordMarocForward_proj(benchmark::State& state) {
    RunProj(state, NordMaroc(), PJ_FWD, MoroccoLatLon().b, MoroccoLatLon().a);
}
void BM_NordMarocInverse_ours(benchmark::State& state) {
    RunOurs(state, MoroccoGrid(), NordMaroc(), PJ_INV, [](Span x, Span y, Out lat, Out lon) {
        geodesy::batch::LambertAfricaToLatLon(x, y, lat, lon, 1);
    });
}
void BM_NordMarocInverse_onePoint(benchmark::State& state) {
    RunOnePoint(state, MoroccoGrid(), NordMaroc(), PJ_INV,
                [](double x, double y, double& lat, double& lon) {
                    geodesy::LambertAfricaToLatLon(x, y, lat, lon, 1);
                });
}
void BM_NordMarocInverse_proj(benchmark::State& state) {
    RunProj(state, NordMaroc(), PJ_INV, MoroccoGrid().a, MoroccoGrid().b);
}

} // namespace

BENCHMARK(BM_BritishForward_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishForward_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishForward_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishInverse_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishInverse_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishInverse_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishGridRef_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishGridRef_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishReadRef_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BritishReadRef_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrishForward_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrishForward_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrishForward_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrishInverse_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrishInverse_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IrishInverse_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lambert72Forward_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lambert72Forward_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lambert72Forward_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lambert72Inverse_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lambert72Inverse_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lambert72Inverse_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IfblToLatLon_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IfblToLatLon_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IfblToLatLon_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LatLonToIfbl_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LatLonToIfbl_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LatLonToIfbl_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LambertIIEtenduForward_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LambertIIEtenduForward_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LambertIIEtenduForward_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LambertIIEtenduInverse_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LambertIIEtenduInverse_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LambertIIEtenduInverse_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NordMarocForward_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NordMarocForward_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NordMarocForward_onePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NordMarocInverse_ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NordMarocInverse_proj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NordMarocInverse_onePoint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::OnePointBenchmarkMain(
        argc, argv,
        {{"British grid forward", "BM_BritishForward_onePoint", "BM_BritishForward_proj"},
         {"British grid inverse", "BM_BritishInverse_onePoint", "BM_BritishInverse_proj"},
         {"Irish grid forward", "BM_IrishForward_onePoint", "BM_IrishForward_proj"},
         {"Irish grid inverse", "BM_IrishInverse_onePoint", "BM_IrishInverse_proj"},
         {"Lambert 72 forward", "BM_Lambert72Forward_onePoint", "BM_Lambert72Forward_proj"},
         {"Lambert 72 inverse", "BM_Lambert72Inverse_onePoint", "BM_Lambert72Inverse_proj"},
         {"IFBL to lat/lon", "BM_IfblToLatLon_onePoint", "BM_IfblToLatLon_proj"},
         {"lat/lon to IFBL", "BM_LatLonToIfbl_onePoint", "BM_LatLonToIfbl_proj"},
         {"Lambert II etendu forward", "BM_LambertIIEtenduForward_onePoint",
          "BM_LambertIIEtenduForward_proj"},
         {"Lambert II etendu inverse", "BM_LambertIIEtenduInverse_onePoint",
          "BM_LambertIIEtenduInverse_proj"},
         {"Nord Maroc forward", "BM_NordMarocForward_onePoint", "BM_NordMarocForward_proj"},
         {"Nord Maroc inverse", "BM_NordMarocInverse_onePoint", "BM_NordMarocInverse_proj"}});
}

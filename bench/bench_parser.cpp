// The coordinate parser over a million texts of all sixteen systems, and the Lambert zone
// converters against PROJ's proj_trans_generic on the same million points.
#include "fuzz/support/GridDatums.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/DatumTables.h"
#include "geodesy/LambertConic.h"
#include "support/ProjRunner.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <proj.h>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPoints = 1'000'000;

// A datum table of the datums the texts use, filled in code.
void FillDatums() {
    fuzzsupport::FillGridDatums(fuzzsupport::Shifts::None).datumTableFilled = true;
}

struct Text {
    std::string text;
    std::int16_t datum;
};

// A million coordinate texts, the sixteen systems in turn, with values spread over their areas.
const std::vector<Text>& MixedTexts() {
    static const std::vector<Text> texts = [] {
        std::mt19937 rng(1234);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        std::uniform_int_distribution<int> digit(0, 9);
        const auto digits = [&](int n) {
            std::string s;
            for (int i = 0; i < n; ++i) {
                s += static_cast<char>('0' + digit(rng));
            }
            return s;
        };
        std::vector<Text> all;
        all.reserve(kPoints);
        char buffer[64];
        for (std::size_t i = 0; i < kPoints; ++i) {
            const double r = u(rng), s = u(rng);
            switch (i % 16) {
            case 0:
                std::snprintf(buffer, sizeof buffer, "DEG %.5f %.5f", 42 + 9 * r, -4 + 12 * s);
                all.push_back({buffer, 1});
                break;
            case 1:
                std::snprintf(buffer, sizeof buffer, "DMS %d.%02d%02d %d,%02d%02d", 42 + digit(rng),
                              static_cast<int>(60 * r), static_cast<int>(60 * s), digit(rng),
                              static_cast<int>(60 * s), static_cast<int>(60 * r));
                all.push_back({buffer, 1});
                break;
            case 2:
                std::snprintf(buffer, sizeof buffer, "UTM 31 %.0f %.0f", 300000 + 400000 * r,
                              4800000 + 800000 * s);
                all.push_back({buffer, 1});
                break;
            case 3:
                all.push_back({"MGR 31 U " + std::string(r < 0.5 ? "ER" : "FR") + digits(10), 1});
                break;
            case 4:
                std::snprintf(buffer, sizeof buffer, "GRP %.6f %.6f", 47 + 9 * r, -5 + 11 * s);
                all.push_back({buffer, 2});
                break;
            case 5:
                all.push_back({"BNG " + std::string(r < 0.5 ? "TQ" : "SU") + " " + digits(8), 3});
                break;
            case 6:
                all.push_back({"ITM I" + std::string(r < 0.5 ? "O" : "N") + " " + digits(6), 4});
                break;
            case 7:
                std::snprintf(buffer, sizeof buffer, "LMB %.2f %.2f", 30000 + 250000 * r,
                              30000 + 200000 * s);
                all.push_back({buffer, 5});
                break;
            case 8:
                all.push_back({"IFB E" + std::to_string(1 + digit(rng) % 8) +
                                   std::to_string(1 + digit(rng) % 5) +
                                   std::to_string(1 + digit(rng) % 8) + "22",
                               5});
                break;
            case 13:
                std::snprintf(buffer, sizeof buffer, "LFE %.2f %.2f", 100000 + 900000 * r,
                              1700000 + 1000000 * s);
                all.push_back({buffer, 2});
                break;
            case 14:
            case 15:
                std::snprintf(buffer, sizeof buffer, "%s %.2f %.2f", i % 16 == 14 ? "NMA" : "SMA",
                              200000 + 500000 * r, 100000 + 300000 * s);
                all.push_back({buffer, 6});
                break;
            default: // 9 to 12: Lambert France I to IV
                std::snprintf(buffer, sizeof buffer, "LF%d %.2f %.2f", static_cast<int>(i % 16) - 8,
                              100000 + 900000 * r, 100000 + 200000 * s);
                all.push_back({buffer, 2});
                break;
            }
        }
        return all;
    }();
    return texts;
}

void BM_ParseCoordinates_Mixed(benchmark::State& state) {
    FillDatums();
    const auto& texts = MixedTexts();
    double lat = 0, lon = 0;
    std::string code;
    for (auto _ : state) {
        for (const Text& t : texts) {
            geodesy::ParseCoordinates(t.text, t.datum, lat, lon, code);
            benchmark::DoNotOptimize(lat);
            benchmark::DoNotOptimize(lon);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(BM_ParseCoordinates_Mixed)->Unit(benchmark::kMillisecond);

// A million points over a zone's area, in degrees, with their plane coordinates from PROJ.
struct ZonePoints {
    std::vector<double> lat, lon, x, y;
};

struct Zone {
    const char* geographic;
    const char* projected;
    bool france;
    int zone;
    double south, west, north, east;
};

constexpr Zone kLambertII{"EPSG:4275", "EPSG:27572", true, 5, 42.33, -4.87, 51.14, 8.23};
constexpr Zone kNordMaroc{"EPSG:4261", "EPSG:26191", false, 1, 31.49, -9.85, 35.97, -1.01};

ZonePoints MakePoints(const Zone& zone) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    ZonePoints p;
    p.lat.resize(kPoints);
    p.lon.resize(kPoints);
    for (std::size_t i = 0; i < kPoints; ++i) {
        p.lat[i] = zone.south + (zone.north - zone.south) * u(rng);
        p.lon[i] = zone.west + (zone.east - zone.west) * u(rng);
    }
    p.x = p.lon;
    p.y = p.lat;
    bench::ProjOp(zone.geographic, zone.projected).run(PJ_FWD, p.x, p.y);
    return p;
}

const ZonePoints& PointsOf(const Zone& zone) {
    static const ZonePoints france = MakePoints(kLambertII);
    static const ZonePoints morocco = MakePoints(kNordMaroc);
    return zone.france ? france : morocco;
}

void OursForward(benchmark::State& state, const Zone& zone) {
    const ZonePoints& p = PointsOf(zone);
    double x = 0, y = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            if (zone.france) {
                geodesy::LatLonToLambertFrance(p.lat[i], p.lon[i], x, y,
                                               static_cast<std::int16_t>(zone.zone));
            } else {
                geodesy::LatLonToLambertAfrica(p.lat[i], p.lon[i], x, y, zone.zone);
            }
            benchmark::DoNotOptimize(x);
            benchmark::DoNotOptimize(y);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
}

void OursInverse(benchmark::State& state, const Zone& zone) {
    const ZonePoints& p = PointsOf(zone);
    double lat = 0, lon = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            if (zone.france) {
                geodesy::LambertFranceToLatLon(p.x[i], p.y[i], lat, lon,
                                               static_cast<std::int16_t>(zone.zone));
            } else {
                geodesy::LambertAfricaToLatLon(p.x[i], p.y[i], lat, lon, zone.zone);
            }
            benchmark::DoNotOptimize(lat);
            benchmark::DoNotOptimize(lon);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
}

void ProjTrans(benchmark::State& state, const Zone& zone, PJ_DIRECTION direction) {
    const ZonePoints& p = PointsOf(zone);
    const bench::ProjOp op(zone.geographic, zone.projected);
    const bool forward = direction == PJ_FWD;
    bench::RunProj(state, op, direction, forward ? p.lon : p.x, forward ? p.lat : p.y);
}

// The parser on "LFE x y" texts of the same million points, against PROJ's inverse alone.
void BM_ParseCoordinates_LambertIIEtendu(benchmark::State& state) {
    FillDatums();
    const ZonePoints& p = PointsOf(kLambertII);
    std::vector<std::string> texts(kPoints);
    char buffer[64];
    for (std::size_t i = 0; i < kPoints; ++i) {
        std::snprintf(buffer, sizeof buffer, "LFE %.2f %.2f", p.x[i], p.y[i]);
        texts[i] = buffer;
    }
    double lat = 0, lon = 0;
    std::string code;
    for (auto _ : state) {
        for (const std::string& t : texts) {
            geodesy::ParseCoordinates(t, 2, lat, lon, code);
            benchmark::DoNotOptimize(lat);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
}
BENCHMARK(BM_ParseCoordinates_LambertIIEtendu)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(OursForward, LambertIIEtendu, kLambertII)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ProjTrans, LambertIIEtenduForward, kLambertII, PJ_FWD)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursInverse, LambertIIEtendu, kLambertII)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ProjTrans, LambertIIEtenduInverse, kLambertII, PJ_INV)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursForward, NordMaroc, kNordMaroc)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ProjTrans, NordMarocForward, kNordMaroc, PJ_FWD)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursInverse, NordMaroc, kNordMaroc)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ProjTrans, NordMarocInverse, kNordMaroc, PJ_INV)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// The coordinate parser over a million texts of all sixteen systems, and the Lambert zone
// converters, against PROJ's proj_trans_generic on the same million points: for a text, PROJ's
// inverse projection of its plane coordinates (it has no coordinate texts; degrees, whether
// decimal, sexagesimal or centesimal, cost it nothing). Compare items_per_second of each .../ours
// with its
// .../proj. Ours parse and convert through the batch functions over arrays, and compare their
// results with PROJ's on all their points (max_diff_mm); one beyond 1 cm fails that benchmark and
// the program's exit status.
#include "fuzz/support/GridDatums.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "geodesy/GridDigits.h"
#include "geodesy/Ifbl.h"
#include "geodesy/LambertConic.h"
#include "geodesy/Mgrs.h"
#include "geodesy/NationalGridProjection.h"
#include "geodesy/NationalGrids.h"
#include "support/ProjCheck.h"
#include "support/ProjRunner.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <map>
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

// ---- The parser over the mixed texts ----------------------------------------------------------

// Each text's conversion as PROJ does it: the inverse of an operation from degrees (longitude
// first) to the system's plane coordinates, on the ellipsoid and meridian of our own constants.
const bench::ProjOp& ProjOpOf(const std::string& key) {
    static std::map<std::string, bench::ProjOp> ops;
    auto found = ops.find(key);
    if (found != ops.end()) {
        return found->second;
    }
    const std::string deg = "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step ";
    const std::string clarke = " +a=6378249.2 +rf=293.465 +pm=paris +lon_0=0";
    const std::string morocco = " +a=6378249.145 +rf=293.465 +lon_0=-5.4 +x_0=500000 +y_0=300000";
    std::string definition;
    if (key == "UTM" || key == "MGR") {
        definition = deg + "+proj=utm +zone=31 +ellps=intl";
    } else if (key == "LF1") {
        definition = deg +
                     "+proj=lcc +lat_0=49.5 +lat_1=48.598523 +lat_2=50.395912 +x_0=600000 "
                     "+y_0=200000" +
                     clarke;
    } else if (key == "LF2" || key == "LFE") {
        definition = deg + "+proj=lcc +lat_0=46.8 +lat_1=45.898919 +lat_2=47.696014 +x_0=600000 " +
                     (key == "LF2" ? "+y_0=200000" : "+y_0=2200000") + clarke;
    } else if (key == "LF3") {
        definition = deg +
                     "+proj=lcc +lat_0=44.1 +lat_1=43.199291 +lat_2=44.996094 +x_0=600000 "
                     "+y_0=200000" +
                     clarke;
    } else if (key == "LF4") {
        definition = deg +
                     "+proj=lcc +lat_0=42.165 +lat_1=41.560388 +lat_2=42.767663 "
                     "+x_0=234.358 +y_0=185861.369" +
                     clarke;
    } else if (key == "NMA") {
        definition = deg + "+proj=lcc +lat_1=33.3 +lat_0=33.3 +k_0=0.999625769" + morocco;
    } else if (key == "SMA") {
        definition = deg + "+proj=lcc +lat_1=29.7 +lat_0=29.7 +k_0=0.999615596" + morocco;
    }
    if (!definition.empty()) {
        return ops.try_emplace(key, definition.c_str()).first->second;
    }
    const char* epsg = key == "BNG" ? "EPSG:27700" : key == "ITM" ? "EPSG:29902" : "EPSG:31370";
    const char* geographic = key == "BNG" ? "EPSG:4277" : key == "ITM" ? "EPSG:4299" : "EPSG:4313";
    return ops.try_emplace(key, geographic, epsg).first->second;
}

// The mixed texts' plane coordinates, gathered by PROJ operation: the texts that give a position
// by a projection. Their values are read here from the texts (the letters and square codes
// through our one-point decoders: PROJ has none).
struct ProjGroup {
    std::vector<std::size_t> index;
    std::vector<double> x, y;
};
const std::map<std::string, ProjGroup>& MixedGroups() {
    static const std::map<std::string, ProjGroup> groups = [] {
        FillDatums();
        std::map<std::string, ProjGroup> g;
        const auto& texts = MixedTexts();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::string& text = texts[i].text;
            const std::string code = text.substr(0, 3);
            double lat = 0, lon = 0, x = 0, y = 0;
            std::string out;
            geodesy::ParseCoordinates(text, texts[i].datum, lat, lon, out);
            if (code == "DEG" || code == "DMS" || code == "GRP" ||
                geodesy::IsInvalidCoord(lat, lon)) {
                continue;
            }
            if (code == "MGR") {
                std::string reference = text.substr(4, 2) + text.substr(7, 1) + text.substr(9);
                const geodesy::DatumState& s = geodesy::Datums();
                int zone = 0, status = 0;
                geodesy::MgrsToLatLon(reference, s.Ellipsoid, s.EllipsoidA, s.EllipsoidF, lat, lon,
                                      zone, y, x, status);
            } else if (code == "BNG" || code == "ITM") {
                std::string digits = "**" + text.substr(7);
                geodesy::ExpandGridDigits(digits);
                const double e = std::stod(digits.substr(2, 5)) / 1000;
                const double n = std::stod(digits.substr(7, 5)) / 1000;
                const int type = code == "BNG" ? geodesy::kBritishGrid : geodesy::kIrishGrid;
                if (type == geodesy::kBritishGrid) {
                    geodesy::BngLettersToEN(text.substr(4, 2), e, n, x, y);
                } else {
                    geodesy::IrishLetterToEN(text.substr(4, 2), n, e, y, x);
                }
                const geodesy::NationalGridDef& def = *geodesy::FindNationalGrid(type);
                x -= def.eastingOffset;
                y -= def.northingK;
            } else if (code == "IFB") {
                std::string square = text.substr(4);
                std::int32_t status = 0;
                geodesy::IfblToLambert(square, x, y, status);
            } else if (code == "UTM") {
                std::sscanf(text.c_str() + 7, "%lf %lf", &x, &y);
            } else {
                std::sscanf(text.c_str() + 4, "%lf %lf", &x, &y);
            }
            ProjGroup& group = g[code == "IFB" ? "LMB" : code];
            group.index.push_back(i);
            group.x.push_back(x);
            group.y.push_back(y);
        }
        return g;
    }();
    return groups;
}

void BM_ParseCoordinates_Mixed_ours(benchmark::State& state) {
    FillDatums();
    const auto& mixed = MixedTexts();
    std::vector<std::string> texts;
    std::vector<std::int16_t> datums;
    for (const Text& t : mixed) {
        texts.push_back(t.text);
        datums.push_back(t.datum);
    }
    std::vector<double> lat(texts.size()), lon(texts.size());
    for (auto _ : state) {
        geodesy::batch::ParseCoordinates(texts, datums, lat, lon);
        benchmark::DoNotOptimize(lat.data());
        benchmark::DoNotOptimize(lon.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * texts.size()));
    double worst = 0;
    for (const auto& [code, group] : MixedGroups()) {
        std::vector<double> x = group.x, y = group.y;
        ProjOpOf(code).run(PJ_INV, x, y);
        for (std::size_t k = 0; k < group.index.size(); ++k) {
            const std::size_t i = group.index[k];
            const double d = bench::GroundMetres(lat[i] - y[k], lon[i] - x[k], y[k]);
            worst = std::max(worst, std::isnan(d) ? INFINITY : d);
        }
    }
    bench::Judge(state, worst);
}
BENCHMARK(BM_ParseCoordinates_Mixed_ours)->Unit(benchmark::kMillisecond);

// PROJ over each group of the mixed points; the copies of the inputs are not timed.
void BM_ParseCoordinates_Mixed_proj(benchmark::State& state) {
    const auto& groups = MixedGroups();
    std::vector<double> x, y;
    for (auto _ : state) {
        for (const auto& [code, group] : groups) {
            state.PauseTiming();
            x = group.x;
            y = group.y;
            state.ResumeTiming();
            ProjOpOf(code).run(PJ_INV, x, y);
            benchmark::DoNotOptimize(x.data());
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * MixedTexts().size()));
}
BENCHMARK(BM_ParseCoordinates_Mixed_proj)->Unit(benchmark::kMillisecond);

// ---- The Lambert zones
// ---------------------------------------------------------------------------

// A million points over a zone's area, in degrees, with their plane coordinates from PROJ.
struct ZonePoints {
    std::vector<double> lat, lon, x, y;
};

struct Zone {
    const char* proj; // ProjOpOf's key
    bool france;
    int zone;
    double south, west, north, east;
};

constexpr Zone kLambertII{"LFE", true, 5, 42.33, -4.87, 51.14, 8.23};
constexpr Zone kNordMaroc{"NMA", false, 1, 31.49, -9.85, 35.97, -1.01};

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
    ProjOpOf(zone.proj).run(PJ_FWD, p.x, p.y);
    return p;
}

const ZonePoints& PointsOf(const Zone& zone) {
    static const ZonePoints france = MakePoints(kLambertII);
    static const ZonePoints morocco = MakePoints(kNordMaroc);
    return zone.france ? france : morocco;
}

void OursForward(benchmark::State& state, const Zone& zone) {
    const ZonePoints& p = PointsOf(zone);
    std::vector<double> x(kPoints), y(kPoints);
    for (auto _ : state) {
        if (zone.france) {
            geodesy::batch::LatLonToLambertFrance(p.lat, p.lon, x, y,
                                                  static_cast<std::int16_t>(zone.zone));
        } else {
            geodesy::batch::LatLonToLambertAfrica(p.lat, p.lon, x, y, zone.zone);
        }
        benchmark::DoNotOptimize(x.data());
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
    bench::Judge(state, bench::WorstPlane(x, y, p.x, p.y));
}

void OursInverse(benchmark::State& state, const Zone& zone) {
    const ZonePoints& p = PointsOf(zone);
    std::vector<double> lat(kPoints), lon(kPoints);
    for (auto _ : state) {
        if (zone.france) {
            geodesy::batch::LambertFranceToLatLon(p.x, p.y, lat, lon,
                                                  static_cast<std::int16_t>(zone.zone));
        } else {
            geodesy::batch::LambertAfricaToLatLon(p.x, p.y, lat, lon, zone.zone);
        }
        benchmark::DoNotOptimize(lat.data());
        benchmark::DoNotOptimize(lon.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
    bench::Judge(state, bench::WorstGeographic(lat, lon, p.lat, p.lon));
}

void ProjTrans(benchmark::State& state, const Zone& zone, PJ_DIRECTION direction) {
    const ZonePoints& p = PointsOf(zone);
    const bool forward = direction == PJ_FWD;
    bench::RunProj(state, ProjOpOf(zone.proj), direction, forward ? p.lon : p.x,
                   forward ? p.lat : p.y);
}

// The parser on "LFE x y" texts of the same million points, against PROJ's inverse alone.
void BM_ParseCoordinates_LambertIIEtendu(benchmark::State& state) {
    FillDatums();
    const ZonePoints& p = PointsOf(kLambertII);
    std::vector<std::string> texts(kPoints);
    std::vector<double> x(kPoints), y(kPoints); // the values as the texts write them
    char buffer[64];
    for (std::size_t i = 0; i < kPoints; ++i) {
        std::snprintf(buffer, sizeof buffer, "LFE %.2f %.2f", p.x[i], p.y[i]);
        texts[i] = buffer;
        std::sscanf(buffer + 4, "%lf %lf", &x[i], &y[i]);
    }
    const std::vector<std::int16_t> datums(kPoints, 2);
    std::vector<double> lat(kPoints), lon(kPoints);
    for (auto _ : state) {
        geodesy::batch::ParseCoordinates(texts, datums, lat, lon);
        benchmark::DoNotOptimize(lat.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
    ProjOpOf("LFE").run(PJ_INV, x, y);
    bench::Judge(state, bench::WorstGeographic(lat, lon, y, x));
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

int main(int argc, char** argv) {
    return bench::CheckedBenchmarkMain(argc, argv);
}

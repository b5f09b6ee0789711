#pragma once

// The benchmarks' own check of their results against PROJ's on all their points: the largest
// difference goes into the counter max_diff_mm, and one beyond 1 cm fails the benchmark and the
// program's exit status (through CheckedBenchmarkMain).

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace bench {

inline constexpr double kToleranceMetres = 0.01;

// The benchmarks whose results strayed from PROJ's.
inline std::vector<std::string>& Failures() {
    static std::vector<std::string> failures;
    return failures;
}

// Ground distance in metres of small differences of latitude and longitude (degrees) at `lat`.
inline double GroundMetres(double dLat, double dLon, double lat) {
    constexpr double kMetresPerDegree = 111320.0;
    return std::hypot(dLat * kMetresPerDegree,
                      dLon * kMetresPerDegree * std::cos(lat * 3.14159265358979323846 / 180.0));
}

// Records the largest difference from PROJ's results (metres) and fails the benchmark beyond the
// tolerance.
inline void Judge(benchmark::State& state, double worst) {
    state.counters["max_diff_mm"] = worst * 1000.0;
    if (!(worst <= kToleranceMetres)) {
        const std::string message = "results " + std::to_string(worst * 1000.0) +
                                    " mm from PROJ's, beyond " +
                                    std::to_string(kToleranceMetres * 1000.0) + " mm";
        Failures().push_back(message);
        state.SkipWithError(message.c_str());
    }
}

// Largest distance between our plane coordinates and PROJ's.
inline double WorstPlane(std::span<const double> x, std::span<const double> y,
                         std::span<const double> projX, std::span<const double> projY) {
    double worst = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double d = std::hypot(x[i] - projX[i], y[i] - projY[i]);
        worst = std::max(worst, std::isnan(d) ? INFINITY : d);
    }
    return worst;
}

// Largest ground distance between our latitudes and longitudes (degrees) and PROJ's.
inline double WorstGeographic(std::span<const double> lat, std::span<const double> lon,
                              std::span<const double> projLat, std::span<const double> projLon) {
    double worst = 0.0;
    for (std::size_t i = 0; i < lat.size(); ++i) {
        const double d = GroundMetres(lat[i] - projLat[i], lon[i] - projLon[i], projLat[i]);
        worst = std::max(worst, std::isnan(d) ? INFINITY : d);
    }
    return worst;
}

// Prints the benchmarks whose results strayed from PROJ's; the exit status that says so.
inline int FailuresStatus() {
    for (const std::string& failure : Failures()) {
        std::fprintf(stderr, "FAILED: %s (see the benchmark marked ERROR)\n", failure.c_str());
    }
    return Failures().empty() ? 0 : 1;
}

// BENCHMARK_MAIN, with an exit status that says whether every result stayed within 1 cm of PROJ.
inline int CheckedBenchmarkMain(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return FailuresStatus();
}

} // namespace bench

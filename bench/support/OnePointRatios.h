#pragma once

// The one-point conversions against PROJ in one run: each .../one-point benchmark converts the
// points one call at a time, as the record editor, the pointer readouts and the commands do, and
// its items_per_second is set against that of PROJ's benchmark on the same points. The ratios are
// printed at the end beside their goal.

#include "support/ProjCheck.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

inline constexpr double kOnePointGoal = 3.0; // times PROJ's speed

// One ratio to print: our benchmark and PROJ's on the same points.
struct OnePointPair {
    const char* label;
    const char* ours;
    const char* proj;
};

// The console's report, keeping each benchmark's items_per_second: the median of its repetitions
// when it is repeated (--benchmark_repetitions), else that of its one run.
class RateReporter : public benchmark::ConsoleReporter {
public:
    // Coloured only on a terminal, as the library's own report.
    RateReporter() : ConsoleReporter(isatty(fileno(stdout)) != 0 ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto rate = run.counters.find("items_per_second");
            if (run.error_occurred || rate == run.counters.end()) {
                continue;
            }
            if (run.run_type != Run::RT_Aggregate) {
                single_[run.run_name.str()] = rate->second.value;
            } else if (run.aggregate_name == "median") {
                median_[run.run_name.str()] = rate->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // items_per_second of `name`, 0 when it did not run.
    double rate(const std::string& name) const {
        const auto median = median_.find(name);
        if (median != median_.end()) {
            return median->second;
        }
        const auto single = single_.find(name);
        return single == single_.end() ? 0.0 : single->second;
    }

private:
    std::map<std::string, double> single_, median_;
};

// CheckedBenchmarkMain that also prints the ratio of each pair whose two benchmarks ran.
inline int OnePointBenchmarkMain(int argc, char** argv, const std::vector<OnePointPair>& pairs) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bool printed = false;
    for (const OnePointPair& pair : pairs) {
        const double ours = reporter.rate(pair.ours), proj = reporter.rate(pair.proj);
        if (ours > 0.0 && proj > 0.0) {
            if (!printed) {
                std::printf("\nOne point at a time, against PROJ on the same points:\n");
                printed = true;
            }
            const double ratio = ours / proj;
            std::printf("%-34s %5.2fx PROJ   goal >= %.1fx   %s\n", pair.label, ratio,
                        kOnePointGoal, ratio >= kOnePointGoal ? "met" : "NOT MET");
        }
    }
    return FailuresStatus();
}

} // namespace bench

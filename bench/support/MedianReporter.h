#pragma once

// The console's report, keeping the median time of each benchmark so that a program can give
// ratios of one run at its end, each beside its goal.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>

namespace bench {

class MedianReporter : public benchmark::ConsoleReporter {
public:
    // Coloured only on a terminal, as the library's own report.
    MedianReporter()
        : ConsoleReporter(isatty(fileno(stdout)) != 0 ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred &&
                (run.aggregate_name == "median" || run.run_type == Run::RT_Iteration)) {
                // A benchmark of one repetition has no median: its one run stands for it.
                const std::string name = run.run_name.function_name +
                                         (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
                if (run.aggregate_name == "median" || !medians_.contains(name)) {
                    medians_[name] = run.GetAdjustedRealTime();
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // The median of `name` over that of `reference`; 0 when either did not run.
    double ratio(const std::string& name, const std::string& reference) const {
        const auto a = medians_.find(name);
        const auto b = medians_.find(reference);
        return a == medians_.end() || b == medians_.end() || b->second <= 0 ? 0.0
                                                                            : a->second / b->second;
    }
    // "<label>  <ratio>x <what the reference is>  goal <= <goal>x  met / NOT MET".
    void printRatio(const char* label, const std::string& name, const std::string& reference,
                    const char* referenceLabel, double goal) const {
        const double r = ratio(name, reference);
        if (r > 0) {
            std::printf("%-40s %5.2fx %-18s goal <= %.1fx   %s\n", label, r, referenceLabel, goal,
                        r <= goal ? "met" : "NOT MET");
        }
    }

private:
    std::map<std::string, double> medians_;
};

// The body of a benchmark program's main: runs the benchmarks the command line selects with a
// MedianReporter, then `ratios` to print the ratios of that run. 1 for an unknown argument.
inline int RunWithRatios(int argc, char** argv,
                         const std::function<void(const MedianReporter&)>& ratios) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    ratios(reporter);
    return 0;
}

} // namespace bench

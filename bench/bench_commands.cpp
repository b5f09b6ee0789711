// The batch commands over a document of a million records: the recompute, each snapping command at
// each size, each comment fill and the value transformations, beside the opening of the same file,
// their yardstick: a table at the end gives each walk's time as a ratio to the open, beside its
// goal. Every walk reads the shown rows a block at a time and writes the changed ones many a
// statement in one transaction. DOVAZOV_BENCH_RECORDS sets another number of records.
#include "commands/CommentFill.h"
#include "commands/SnapCommands.h"
#include "commands/SnapRules.h"
#include "commands/Statistics.h"
#include "document/DataControl.h"
#include "document/DistributionReader.h"
#include "document/DocumentState.h"
#include "document/Recompute.h"
#include "document/WorkDatabase.h"
#include "geodesy/DatumTables.h"
#include "geodesy/GridDigits.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "support/DocumentBenchData.h"

#include <QDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

using bench::OpenFresh;
using bench::Report;
using bench::Shared;

// Answers OK to the fills' warning and types a text at their prompt.
class Answering final : public platform::Prompter {
public:
    Answering() { platform::SetPrompter(this); }
    ~Answering() override { platform::SetPrompter(nullptr); }
    platform::Answer message(const platform::MessageRequest&) override {
        return platform::Answer::Ok;
    }
    QString input(const QString&, const QString&, const QString&) override {
        return QStringLiteral("bench");
    }
    QString openFile(const platform::FileDialogRequest&) override { return {}; }
    QString saveFile(const platform::FileDialogRequest&) override { return {}; }
    void beep() override {}
};

void BM_OpenDistributionFile(benchmark::State& state) {
    bench::TimeOpenDistributionFile(state);
    bench::Report(state);
}

// The walk of every goal is at most this many times the open of the same file.
constexpr double kWalkGoal = 0.6;

void BM_Recompute(benchmark::State& state) {
    OpenFresh();
    const Answering answers;
    // A destination other than the file's: every row moves.
    const int fileDestination = geodesy::Datums().DestIndex;
    geodesy::Datums().DestIndex = geodesy::DatumIndex("OGB-M");
    for (auto _ : state) {
        document::AjusteDegres(document::kNoMesh, document::kNoMesh);
    }
    geodesy::Datums().DestIndex = fileDestination;
    Report(state);
}

void BM_SnapDegreeCells(benchmark::State& state) {
    OpenFresh();
    const Answering answers;
    for (auto _ : state) {
        commands::AjusteDegreesCells(0.25F, 0.5F);
    }
    Report(state);
}

void BM_SnapParisGrades(benchmark::State& state) {
    OpenFresh();
    const Answering answers;
    for (auto _ : state) {
        commands::AjusteGrades();
    }
    Report(state);
}

// Arguments: the grid (0 UTM, 1 British, 2 Irish) and the size (UtmAjust, 0 none to 7 100 km).
void BM_SnapGridSquares(benchmark::State& state) {
    OpenFresh();
    const Answering answers;
    platform::Settings().UtmAjust = static_cast<std::int16_t>(state.range(1));
    platform::Settings().GridAjust = static_cast<std::int16_t>(state.range(0));
    for (auto _ : state) {
        commands::AjusteCoor(true);
    }
    Report(state);
}

// Argument: the menu item (0 blocks, 1 4 km, 2 1 km squares).
void BM_SnapIfblSquares(benchmark::State& state) {
    OpenFresh();
    const Answering answers;
    for (auto _ : state) {
        commands::AjusteIfbl(static_cast<int>(state.range(0)));
    }
    Report(state);
}

// Argument: the item (0 logarithm, 1 normal scores).
void BM_ValueTransformation(benchmark::State& state) {
    OpenFresh();
    const Answering answers;
    for (auto _ : state) {
        commands::MnuStd(static_cast<int>(state.range(0)));
    }
    Report(state);
}

// Argument: the item (0 MGRS, 1 British, 2 Irish).
void BM_FillGridReferences(benchmark::State& state) {
    const Answering answers;
    for (auto _ : state) {
        state.PauseTiming();
        OpenFresh();
        state.ResumeTiming();
        commands::MnuRemplirCoo(static_cast<int>(state.range(0)), {});
    }
    Report(state);
}

void BM_FillTypedText(benchmark::State& state) {
    const Answering answers;
    for (auto _ : state) {
        state.PauseTiming();
        OpenFresh();
        state.ResumeTiming();
        commands::MnuRemplirTexte({});
    }
    Report(state);
}

// Argument: the item (0 DMS ... 5 Lambert South Morocco).
void BM_FillPositionTexts(benchmark::State& state) {
    const Answering answers;
    for (auto _ : state) {
        state.PauseTiming();
        OpenFresh();
        state.ResumeTiming();
        commands::MnuRemplirXY(static_cast<int>(state.range(0)), {});
    }
    Report(state);
}

// Each walk after a fresh open, three times: the table gives the quickest of each, which the
// other programs sharing the machine disturb least.
constexpr int kRepetitions = 3;

void Configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(kRepetitions);
}

BENCHMARK(BM_OpenDistributionFile)->Apply(Configure);
BENCHMARK(BM_Recompute)->Apply(Configure);
BENCHMARK(BM_SnapDegreeCells)->Apply(Configure);
BENCHMARK(BM_SnapParisGrades)->Apply(Configure);
BENCHMARK(BM_SnapGridSquares)
    ->Apply(Configure)
    ->ArgsProduct({{0}, benchmark::CreateDenseRange(0, 7, 1)})
    ->ArgsProduct({{1, 2}, {geodesy::kSnap1km, geodesy::kSnap10km, geodesy::kSnap100km}});
BENCHMARK(BM_SnapIfblSquares)->Apply(Configure)->DenseRange(0, 2);
BENCHMARK(BM_FillGridReferences)->Apply(Configure)->DenseRange(0, 2);
BENCHMARK(BM_FillTypedText)->Apply(Configure);
BENCHMARK(BM_FillPositionTexts)->Apply(Configure)->DenseRange(0, 5);
BENCHMARK(BM_ValueTransformation)->Apply(Configure)->DenseRange(0, 1);

// Shows the runs as the console does and keeps the quickest real time of each benchmark.
class Capture final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) {
                continue;
            }
            const std::string name = run.run_name.str();
            const double ms = run.error_occurred ? -1.0 : run.GetAdjustedRealTime();
            auto it = std::find_if(times.begin(), times.end(),
                                   [&name](const auto& entry) { return entry.first == name; });
            if (it == times.end()) {
                times.emplace_back(name, ms);
            } else if (ms < it->second) {
                it->second = ms;
            }
        }
    }
    std::vector<std::pair<std::string, double>> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Capture capture;
    benchmark::RunSpecifiedBenchmarks(&capture);
    benchmark::Shutdown();
    double open = 0.0;
    for (const auto& [name, ms] : capture.times) {
        if (name.rfind("BM_OpenDistributionFile", 0) == 0) {
            open = ms;
        }
    }
    if (open <= 0.0) {
        return 0; // no open in this run: no ratios
    }
    std::printf("\n| %-52s | %9s | %10s | %5s | met |\n", "walk (ratio to the open of the file)",
                "ms", "walk/open", "goal");
    for (const auto& [name, ms] : capture.times) {
        if (name.rfind("BM_OpenDistributionFile", 0) == 0) {
            continue;
        }
        const double ratio = ms / open;
        std::printf("| %-52s | %9.0f | %10.2f | %5.1f | %-3s |\n", name.c_str(), ms, ratio,
                    kWalkGoal, ratio <= kWalkGoal ? "yes" : "NO");
    }
    std::printf("| %-52s | %9.0f | %10s | %5s |     |\n", "open of the same file", open, "", "");
    return 0;
}

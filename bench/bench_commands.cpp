// The batch commands over a document of a million records: each snapping command and each comment
// fill, beside the opening of the same file, their yardstick. Every walk reads the shown rows once
// and writes the changed ones with one prepared statement in one transaction.
// DOVAZOV_BENCH_RECORDS sets another number of records.
#include "commands/CommentFill.h"
#include "commands/SnapCommands.h"
#include "commands/SnapRules.h"
#include "document/DataControl.h"
#include "document/DistributionReader.h"
#include "document/DocumentState.h"
#include "document/WorkDatabase.h"
#include "geodesy/GridDigits.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "support/DocumentBenchData.h"

#include <QDir>
#include <benchmark/benchmark.h>

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

// Argument: the grid (0 UTM, 1 British, 2 Irish), 1 km squares.
void BM_SnapGridSquares(benchmark::State& state) {
    OpenFresh();
    const Answering answers;
    platform::Settings().UtmAjust = geodesy::kSnap1km;
    platform::Settings().GridAjust = static_cast<std::int16_t>(state.range(0));
    for (auto _ : state) {
        commands::AjusteCoor(true);
    }
    Report(state);
}

void BM_SnapIfblSquares(benchmark::State& state) {
    OpenFresh();
    const Answering answers;
    for (auto _ : state) {
        commands::AjusteIfbl(2);
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

void Configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(1);
}

BENCHMARK(BM_OpenDistributionFile)->Apply(Configure);
BENCHMARK(BM_SnapDegreeCells)->Apply(Configure);
BENCHMARK(BM_SnapParisGrades)->Apply(Configure);
BENCHMARK(BM_SnapGridSquares)->Apply(Configure)->DenseRange(0, 2);
BENCHMARK(BM_SnapIfblSquares)->Apply(Configure);
BENCHMARK(BM_FillGridReferences)->Apply(Configure)->DenseRange(0, 2);
BENCHMARK(BM_FillTypedText)->Apply(Configure);
BENCHMARK(BM_FillPositionTexts)->Apply(Configure)->DenseRange(0, 5);

} // namespace

BENCHMARK_MAIN();

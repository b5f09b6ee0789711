// A document of a million records: opening its distribution file, saving it plainly and grouped,
// and recomputing every position; beside them, the SQLite shell importing the same records from
// CSV into the same table, the reference for the cost of filling the table. Each benchmark
// reports the process's peak resident memory so far (maxrss_MB); the shell's own is
// shell_maxrss_MB. At the end the save and the recompute are given as ratios of the open of the
// same run (medians), beside their goals. DOVAZOV_BENCH_RECORDS sets another number of records.
// `make bench` builds and runs it with the other benchmarks (about two minutes for a million
// records).
#include "document/DataControl.h"
#include "document/DatumDatabase.h"
#include "document/DistributionReader.h"
#include "document/DistributionWriter.h"
#include "document/DocumentState.h"
#include "document/Recompute.h"
#include "document/WorkDatabase.h"
#include "geodesy/DatumTables.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "support/DocumentBenchData.h"
#include "support/MedianReporter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using bench::Data;
using bench::MaxRssMb;
using bench::OpenFresh;
using bench::Report;
using bench::Shared;

void BM_OpenDistributionFile(benchmark::State& state) {
    bench::TimeOpenDistributionFile(state);
    Report(state);
}

// Opening a file while a document of the same size is open: the table is emptied in the same
// transaction that fills it again.
void BM_OpenOverADocument(benchmark::State& state) {
    OpenFresh();
    for (auto _ : state) {
        if (!document::ChargeDeg(Shared().degPath(), document::kOpenMode)) {
            state.SkipWithError("the file could not be read");
        }
    }
    Report(state);
}

void BM_SqliteShellImport(benchmark::State& state) {
    Data& data = Shared();
    bench::TimeSqliteShellImport(state, data.csvPath(), data.dir.filePath("shell.db"),
                                 "PRAGMA journal_mode = MEMORY;\nPRAGMA synchronous = OFF;\n"
                                 "PRAGMA cache_size = -65536;\n");
    Report(state);
    state.counters["shell_maxrss_MB"] = MaxRssMb(RUSAGE_CHILDREN);
}

void BM_SaveDistributionFile(benchmark::State& state) {
    OpenFresh();
    const QString out = Shared().dir.filePath("saved.deg");
    for (auto _ : state) {
        if (!document::SauveDeg(out, false, {"Bench", "A million records"})) {
            state.SkipWithError("the file could not be written");
        }
    }
    Report(state);
}

void BM_GroupedSave(benchmark::State& state) {
    OpenFresh();
    const QString out = Shared().dir.filePath("grouped.deg");
    for (auto _ : state) {
        if (!document::SauveDeg(out, true, {"Bench", "A million records"})) {
            state.SkipWithError("the file could not be written");
        }
    }
    Report(state);
}

void BM_RecomputeAll(benchmark::State& state) {
    OpenFresh();
    for (auto _ : state) {
        document::AjusteDegres(document::kNoMesh, document::kNoMesh);
    }
    Report(state);
}

void Configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
    b->ReportAggregatesOnly(false);
}

BENCHMARK(BM_SqliteShellImport)->Apply(Configure);
BENCHMARK(BM_OpenDistributionFile)->Apply(Configure);
BENCHMARK(BM_OpenOverADocument)->Apply(Configure);
BENCHMARK(BM_SaveDistributionFile)->Apply(Configure);
BENCHMARK(BM_GroupedSave)->Apply(Configure);
BENCHMARK(BM_RecomputeAll)->Apply(Configure);

} // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(argc, argv, [](const bench::MedianReporter& reporter) {
        reporter.printRatio("save of the whole document", "BM_SaveDistributionFile",
                            "BM_OpenDistributionFile", "the open", 0.4);
        reporter.printRatio("recompute of all positions", "BM_RecomputeAll",
                            "BM_OpenDistributionFile", "the open", 0.6);
    });
}

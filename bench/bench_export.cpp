// The exports of a document of a million records: the text export and each database target,
// beside the reference the text export is held to, the sqlite3 shell writing the same table as
// CSV. DOVAZOV_BENCH_RECORDS sets another number of records.
#include "document/DataControl.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"
#include "exchange/ExportTable.h"
#include "exchange/ExportText.h"
#include "support/DocumentBenchData.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

namespace {

using bench::OpenFresh;
using bench::Report;
using bench::Shared;
using exchange::ExportTarget;

void BM_SqliteShellCsv(benchmark::State& state) {
    OpenFresh();
    const QString out = Shared().dir.filePath("shell.csv");
    const std::string command =
        "sqlite3 -csv -header '" + document::Work().WorkDbPath.toStdString() +
        "' 'SELECT * FROM DOVAZOV ORDER BY Counter' > '" + out.toStdString() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("sqlite3 failed");
        }
    }
    Report(state);
}

void BM_TextExport(benchmark::State& state) {
    OpenFresh();
    const QString out = Shared().dir.filePath("export.txt");
    exchange::ExportChoice choice;
    choice.ExportCoordSystem = static_cast<std::int16_t>(state.range(0));
    for (auto _ : state) {
        exchange::WriteTextExport(out, document::Data1().recordset(), choice, 1);
    }
    Report(state);
}

void BM_TableExport(benchmark::State& state) {
    OpenFresh();
    const auto target = static_cast<ExportTarget>(state.range(0));
    const char* names[] = {"export.sqlite", "export.dbf", "export4.dbf", "export.db",
                           "export.xlsx"};
    const QString out = Shared().dir.filePath(names[state.range(0)]);
    for (auto _ : state) {
        exchange::WriteTableExport(target, out, document::Data1().recordset(), {},
                                   QStringLiteral("Bench / A million records"));
    }
    Report(state);
}

void Configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
    b->ReportAggregatesOnly(false);
}

BENCHMARK(BM_SqliteShellCsv)->Apply(Configure);
// Without and with the Lambert 72 columns.
BENCHMARK(BM_TextExport)->Arg(-1)->Arg(7)->Apply(Configure);
// SQLite, FoxPro, dBASE IV, Paradox, Excel.
BENCHMARK(BM_TableExport)->DenseRange(0, 4)->Apply(Configure);

} // namespace

BENCHMARK_MAIN();

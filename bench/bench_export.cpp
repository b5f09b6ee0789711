// The exports of a document of a million records: the text export and each database target,
// beside the reference the text export is held to, the sqlite3 shell writing the same ten columns
// as CSV. At the end each export is given as a ratio of the same run (medians), beside its goal.
// A Paradox 3.x table holds fewer records than a million of every column: the Paradox export is
// timed on the records it holds, beside the text export of those same records.
// DOVAZOV_BENCH_RECORDS sets another number of records.
#include "document/DataControl.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"
#include "exchange/ExportTable.h"
#include "exchange/ExportText.h"
#include "support/DocumentBenchData.h"
#include "support/MedianReporter.h"

#include <QFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

namespace {

using bench::OpenFresh;
using bench::Report;
using bench::Shared;
using exchange::ExportTarget;

const QString kMemo = QStringLiteral("Bench / A million records");

void BM_SqliteShellCsv(benchmark::State& state) {
    OpenFresh();
    const QString out = Shared().dir.filePath("shell.csv");
    const std::string command =
        "sqlite3 -csv -header '" + document::Work().WorkDbPath.toStdString() +
        "' 'SELECT PERIOD, LATITUDE, LONGITUDE, N1, N2, DATUM, ORIGINAL, DATE, SEX, COMMENT "
        "FROM DOVAZOV ORDER BY Counter' > '" +
        out.toStdString() + "'";
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

const char* const kTableFiles[] = {"export.sqlite", "export.dbf", "export4.dbf", "export.db",
                                   "export.xlsx"};

void BM_TableExport(benchmark::State& state) {
    OpenFresh();
    const auto target = static_cast<ExportTarget>(state.range(0));
    const QString out = Shared().dir.filePath(kTableFiles[state.range(0)]);
    for (auto _ : state) {
        exchange::WriteTableExport(target, out, document::Data1().recordset(), {}, kMemo);
    }
    Report(state);
}

// The first records of the document, as many as a Paradox 3.x table of every column holds.
document::RecordSet ParadoxRows() {
    const std::int64_t limit = exchange::ParadoxRowLimit(exchange::TableColumns({}));
    return document::RecordSet::open(
        document::WorkDb(),
        QStringLiteral("SELECT Counter FROM DOVAZOV ORDER BY Counter LIMIT %1").arg(limit));
}

void BM_ParadoxRowsAsText(benchmark::State& state) {
    OpenFresh();
    const document::RecordSet rows = ParadoxRows();
    const QString out = Shared().dir.filePath("paradox-rows.txt");
    for (auto _ : state) {
        exchange::WriteTextExport(out, rows, {}, 1);
    }
    Report(state);
    state.counters["records"] = static_cast<double>(rows.recordCount());
}

void BM_ParadoxExport(benchmark::State& state) {
    OpenFresh();
    const document::RecordSet rows = ParadoxRows();
    const QString out = Shared().dir.filePath("export.db");
    for (auto _ : state) {
        exchange::WriteTableExport(ExportTarget::Paradox, out, rows, {}, kMemo);
    }
    Report(state);
    state.counters["records"] = static_cast<double>(rows.recordCount());
}

void Configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
    b->ReportAggregatesOnly(false);
}

BENCHMARK(BM_SqliteShellCsv)->Apply(Configure);
// Without and with the Lambert 72 columns.
BENCHMARK(BM_TextExport)->Arg(-1)->Arg(7)->Apply(Configure);
// SQLite, FoxPro, dBASE IV, Excel.
BENCHMARK(BM_TableExport)->Arg(0)->Arg(1)->Arg(2)->Arg(4)->Apply(Configure);
BENCHMARK(BM_ParadoxRowsAsText)->Apply(Configure);
BENCHMARK(BM_ParadoxExport)->Apply(Configure);

} // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(argc, argv, [](const bench::MedianReporter& reporter) {
        const std::string shell = "BM_SqliteShellCsv";
        const std::string text = "BM_TextExport/-1";
        reporter.printRatio("text export", text, shell, "the shell's CSV", 1.0);
        reporter.printRatio("text export with Lambert 72", "BM_TextExport/7", shell,
                            "the shell's CSV", 1.2);
        reporter.printRatio("FoxPro export", "BM_TableExport/1", text, "the text export", 1.5);
        reporter.printRatio("dBASE IV export", "BM_TableExport/2", text, "the text export", 1.5);
        reporter.printRatio("Paradox export", "BM_ParadoxExport", "BM_ParadoxRowsAsText",
                            "the text export", 3.0);
        reporter.printRatio("Excel export", "BM_TableExport/4", text, "the text export", 3.0);
    });
}

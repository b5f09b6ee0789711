// The main window's record commands over a document of a million records: duplicating a row,
// erasing columns in every row, deleting every row, and a Find that runs through all of them
// without a match. The table is filled straight through one prepared INSERT in one transaction,
// in a fresh working database in a temporary folder. DOVAZOV_BENCH_RECORDS sets another number
// of records. Beside them, the recompute of every position after a change of destination datum,
// on the generated distribution file of the document benchmarks.
#include "app/PreferencesLogic.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/RecordCommands.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"
#include "geodesy/DatumTables.h"
#include "support/DocumentBenchData.h"

#include <QTemporaryDir>
#include <SQLiteCpp/Transaction.h>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

using bench::RecordCount;

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

// A fresh working database holding RecordCount() records, Data1 on the sort query.
void FreshDocument() {
    document::Data1().reset();
    document::CreateWorkDatabase(Folder().path());
    SQLite::Database& db = document::WorkDb();
    document::Record record;
    record.LATITUDE = 50.5F;
    record.LONGITUDE = 4.25F;
    record.N1 = 3;
    record.N2 = 1;
    record.SEX = QStringLiteral("F");
    record.DATUM = QStringLiteral("EUR-M");
    record.ORIGINAL = QStringLiteral("deg 50.5 4.25");
    record.DATE = QStringLiteral("2001/05/17");
    SQLite::Transaction transaction(db);
    SQLite::Statement insert(db, document::kInsertRecordSql);
    const long count = RecordCount();
    for (long i = 0; i < count; ++i) {
        record.PERIOD = static_cast<std::int16_t>(1 + i % 3);
        record.COMMENT = QStringLiteral("HAB/12/ record %1").arg(i);
        document::BindRecord(insert, record);
        insert.exec();
        insert.reset();
    }
    transaction.commit();
    document::Data1().setRecordSource(document::Document().SqlTri);
    document::Data1().refresh();
}

void Report(benchmark::State& state) {
    state.counters["records"] = static_cast<double>(RecordCount());
}

// One row copied to the end; Data1 runs its query again, as the command does.
void BM_DuplicateRecord(benchmark::State& state) {
    FreshDocument();
    const std::int64_t middle = RecordCount() / 2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(document::DuplicateRecord(middle));
    }
    Report(state);
}
BENCHMARK(BM_DuplicateRecord)->Unit(benchmark::kMillisecond)->Iterations(5);

// All ten columns emptied in every row.
void BM_EraseColumns(benchmark::State& state) {
    FreshDocument();
    for (auto _ : state) {
        document::EraseColumns(0, 9);
    }
    Report(state);
}
BENCHMARK(BM_EraseColumns)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every row selected and deleted.
void BM_DeleteRecords(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FreshDocument();
        const std::vector<std::int64_t> all = document::Data1().recordset().bookmarks();
        state.ResumeTiming();
        benchmark::DoNotOptimize(document::DeleteRecords(all));
    }
    Report(state);
}
BENCHMARK(BM_DeleteRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

// A text found nowhere: every row is read and tested, through one stream of the five text fields
// the terms look at. A million records: about 1.1 s (1.5 s when every row was looked up by its
// own position with all ten fields).
void BM_FindNoMatch(benchmark::State& state) {
    FreshDocument();
    const document::FindTerms terms(QStringLiteral("O'NOWHERE"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(document::FindRecord(document::Data1().recordset(), terms, 0));
    }
    Report(state);
}
BENCHMARK(BM_FindNoMatch)->Unit(benchmark::kMillisecond)->Iterations(3);

// The preferences' OK after a new destination datum: every record recomputed, whatever the grid
// shows. The records were entered in WGS84 degrees; the destination alternates between two datums.
void BM_RecomputeAfterDestinationChange(benchmark::State& state) {
    bench::OpenFresh();
    auto& datums = geodesy::Datums();
    bool toNtf = true;
    for (auto _ : state) {
        state.PauseTiming();
        datums.DestCode = toNtf ? "NTF" : "EUR-M";
        datums.DestIndex = geodesy::DatumIndex(datums.DestCode);
        toNtf = !toNtf;
        state.ResumeTiming();
        app::RecomputeWholeTable();
    }
    bench::Report(state);
}
BENCHMARK(BM_RecomputeAfterDestinationChange)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();

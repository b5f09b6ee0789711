#pragma once

// The shared data of the document benchmarks: a distribution file of a million records (and the
// same records as CSV) generated once per process, a working folder, and the peak memory.
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace bench {

// Records in the generated file: 1,000,000 unless DOVAZOV_BENCH_RECORDS says otherwise.
long RecordCount();
// Peak resident memory in MB of this process (RUSAGE_SELF) or of its children (RUSAGE_CHILDREN).
double MaxRssMb(int who);

struct Data {
    Data();
    QString degPath() const { return dir.filePath("million.deg"); }
    QString csvPath() const { return dir.filePath("million.csv"); }
    QString workFolder() const { return dir.filePath("work"); }

    QTemporaryDir dir;

private:
    void Generate();
};

// The data, made at the first call.
Data& Shared();
// A fresh working database holding the opened file, Data1 on its sort query.
void OpenFresh();
// The record count and this process's peak memory as counters of a benchmark.
void Report(benchmark::State& state);

// Times the open of the generated distribution file into a fresh working database.
void TimeOpenDistributionFile(benchmark::State& state);
// Times the sqlite3 shell's `.import` of `csvPath` into a new working table in `dbPath`, after
// the SQL of `prelude` (pragmas); the reference the readers are measured against.
void TimeSqliteShellImport(benchmark::State& state, const QString& csvPath, const QString& dbPath,
                           const QByteArray& prelude = {});

} // namespace bench

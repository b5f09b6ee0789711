// Imports of a million records: a coordinate text file, a PCX5 waypoint file and a MapSource
// waypoint file, each read, appended and given positions in one transaction; beside them, the
// SQLite shell importing the same rows from CSV into the same table, the reference the imports are
// held to. At the end each import is given as a ratio of the shell's import of the same run
// (medians), beside its goal. DOVAZOV_BENCH_RECORDS sets another number of records.
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/WorkDatabase.h"
#include "exchange/GpsWaypointFile.h"
#include "exchange/ImportCommands.h"
#include "fuzz/support/GridDatums.h"
#include "geodesy/DatumTables.h"
#include "support/DocumentBenchData.h"
#include "support/MedianReporter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>
#include <string>

namespace {

struct ImportData {
    ImportData() {
        const long n = bench::RecordCount();
        std::mt19937 random(42);
        std::uniform_real_distribution<double> lat(35.0, 60.0);
        std::uniform_real_distribution<double> lon(-10.0, 30.0);
        QFile coord(coordPath());
        QFile csv(csvPath());
        QFile wpt(wptPath());
        QFile mapSource(mapSourcePath());
        coord.open(QIODevice::WriteOnly);
        csv.open(QIODevice::WriteOnly);
        wpt.open(QIODevice::WriteOnly);
        mapSource.open(QIODevice::WriteOnly);
        mapSource.write("Grid\tLat/Lon hddd.ddddd\xb0\t\r\nDatum\tWGS 84\t\r\n\r\n"
                        "Header\tName\tDescription\tType\tPosition\t\r\n");
        for (int i = 1; i <= 11; ++i) {
            wpt.write(i == 9 ? "U  LAT LON DM\r\n" : "H  header\r\n");
        }
        for (long i = 0; i < n; ++i) {
            const double a = lat(random);
            const double o = lon(random);
            char line[160];
            const int len = std::snprintf(
                line, sizeof line, "1,%.5f,%.5f,%ld,1,2004/05/01,r%ld\r\n", a, o, i % 100, i);
            coord.write(line, len);
            const int csvLen = std::snprintf(
                line, sizeof line, "%ld,1,,,%ld,1,,WGS84,deg %+09.5f %+010.5f,2004/05/01,r%ld\n",
                i + 1, i % 100, a, o, i);
            csv.write(line, csvLen);
            const double m = (a - static_cast<int>(a)) * 60.0;
            const double mo = (std::abs(o) - static_cast<int>(std::abs(o))) * 60.0;
            const int wLen = std::snprintf(
                line, sizeof line,
                "W  P%05ld N%02d%06.3f %c%03d%06.3f%-22s ABCDE 27-MAR-98 00:00:00\r\n", i % 100000,
                static_cast<int>(a), m, o < 0 ? 'W' : 'E', static_cast<int>(std::abs(o)), mo, "");
            wpt.write(line, wLen);
            const int mLen =
                std::snprintf(line, sizeof line, "Waypoint\tP%ld\tr%ld\tx\t%c%.5f %c%.5f\t\r\n", i,
                              i, a < 0 ? 'S' : 'N', std::abs(a), o < 0 ? 'W' : 'E', std::abs(o));
            mapSource.write(line, mLen);
        }
    }
    QString coordPath() const { return dir.filePath("million.txt"); }
    QString csvPath() const { return dir.filePath("million.csv"); }
    QString wptPath() const { return dir.filePath("million.wpt"); }
    QString mapSourcePath() const { return dir.filePath("million-mapsource.txt"); }
    QString workFolder() const { return dir.filePath("work"); }
    QTemporaryDir dir;
};

ImportData& Shared() {
    static ImportData data;
    return data;
}

void FreshDocument() {
    auto& state = fuzzsupport::FillGridDatums(fuzzsupport::Shifts::ToWgs84);
    fuzzsupport::AddWgs84(state);
    for (std::size_t i = 1; i < state.DatumTable.size(); ++i) {
        geodesy::NoteSystemDatum(state.DatumTable[i], static_cast<std::int16_t>(i));
    }
    state.datumTableFilled = true;
    state.FromCode = state.UTMCode = state.DestCode = "WGS84";
    geodesy::SetDefaultDatumIndexes();
    QDir().mkpath(Shared().workFolder());
    document::Data1().reset();
    document::ResetDocumentState();
    document::CreateWorkDatabase(Shared().workFolder());
    document::Data1().setRecordSource(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
    document::Data1().refresh();
}

void BM_SqliteShellImportOfTheSameRows(benchmark::State& state) {
    ImportData& data = Shared();
    bench::TimeSqliteShellImport(state, data.csvPath(), data.dir.filePath("shell.db"));
    state.counters["records"] = static_cast<double>(bench::RecordCount());
}

void BM_ImportCoordinateFile(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FreshDocument();
        state.ResumeTiming();
        benchmark::DoNotOptimize(exchange::ImportCoordRecords(Shared().coordPath(), 0));
    }
    bench::Report(state);
}

void BM_ImportPcx5Waypoints(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FreshDocument();
        state.ResumeTiming();
        benchmark::DoNotOptimize(exchange::ImportPcx5Records(Shared().wptPath()));
    }
    bench::Report(state);
}

// The MapSource file read as the waypoint window reads it, then every waypoint imported as the
// window hands them over (each one's cells, all checked).
void BM_ImportMapSourceWaypoints(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FreshDocument();
        state.ResumeTiming();
        const exchange::GpsWaypointFile file =
            exchange::ReadGpsWaypointFile(Shared().mapSourcePath());
        exchange::WaypointImportInput input;
        input.grid = file.grid;
        input.datum = file.datum;
        input.columns = file.columns;
        std::vector<QStringList> checked;
        checked.reserve(file.waypoints.size());
        for (QStringList cells : file.waypoints) {
            checked.push_back(std::move(cells));
        }
        benchmark::DoNotOptimize(exchange::ImportWaypointRecords(input, checked));
    }
    bench::Report(state);
}

void Configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(2);
}

BENCHMARK(BM_SqliteShellImportOfTheSameRows)->Apply(Configure);
BENCHMARK(BM_ImportCoordinateFile)->Apply(Configure);
BENCHMARK(BM_ImportPcx5Waypoints)->Apply(Configure);
BENCHMARK(BM_ImportMapSourceWaypoints)->Apply(Configure);

} // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(argc, argv, [](const bench::MedianReporter& reporter) {
        const std::string shell = "BM_SqliteShellImportOfTheSameRows";
        reporter.printRatio("coordinate import", "BM_ImportCoordinateFile", shell,
                            "the shell's import", 1.2);
        reporter.printRatio("PCX5 waypoint import", "BM_ImportPcx5Waypoints", shell,
                            "the shell's import", 1.2);
        reporter.printRatio("MapSource waypoint import", "BM_ImportMapSourceWaypoints", shell,
                            "the shell's import", 1.2);
    });
}

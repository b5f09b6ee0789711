// A document of a million records: opening its distribution file, saving it plainly and grouped,
// and recomputing every position; beside them, the SQLite shell importing the same records from
// CSV into the same table, the reference for the cost of filling the table. Each benchmark
// reports the process's peak resident memory so far (maxrss_MB); the shell's own is
// shell_maxrss_MB. DOVAZOV_BENCH_RECORDS sets another number of records. `make bench` builds and
// runs it with the other benchmarks (about two minutes for a million records).
#include "document/DataControl.h"
#include "document/DistributionReader.h"
#include "document/DistributionWriter.h"
#include "document/DocumentState.h"
#include "document/Recompute.h"
#include "document/WorkDatabase.h"
#include "geodesy/DatumTables.h"
#include "platform/DatumDatabase.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>

namespace {

class QuietPrompter final : public platform::Prompter {
public:
    platform::Answer message(const platform::MessageRequest&) override {
        return platform::Answer::Ok;
    }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const platform::FileDialogRequest&) override { return {}; }
    QString saveFile(const platform::FileDialogRequest&) override { return {}; }
    void beep() override {}
};

long RecordCount() {
    const char* text = std::getenv("DOVAZOV_BENCH_RECORDS");
    return text != nullptr ? std::atol(text) : 1000000L;
}

double MaxRssMb(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The shared files: a distribution file, the same records as CSV, and a working folder.
struct Data {
    Data() {
        platform::SetSettingsFolder(dir.filePath("settings"));
        platform::SetPrompter(&prompter);
        platform::Settings().Silence = 1;
        platform::Settings().Separator = QStringLiteral(",");
        const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        platform::SaveSetting("ZEB", "Datum", "DB",
                              QString::fromStdString((program / "DATUM.MDB").string()));
        if (platform::LoadDatums({}) != platform::DatumLoad::Loaded) {
            std::fprintf(stderr, "the datum database beside the program could not be read\n");
            std::exit(1);
        }
        geodesy::SetDefaultDatumIndexes();
        Generate();
    }

    // Records spread over Europe in a few hundred positions (so that grouping joins some), with
    // dates, counts, two free-field values and a comment, entered in WGS84 degrees.
    void Generate() {
        std::FILE* deg = std::fopen(degPath().toLocal8Bit().constData(), "wb");
        std::FILE* csv = std::fopen(csvPath().toLocal8Bit().constData(), "wb");
        std::fputs("<DOVAZOV 2.0>\r\nEUR-M\r\n/\r\nHAB,Habitat,3\r\nALT,Altitude,5\r\n<END>\r\n"
                   "Bench\r\nA million records\r\n 0000 - 1989   1990 - 2011   0 - 0\r\n"
                   "NIND1=000001 OCC1=000001 CAR1=000001 NIND2=000001 OCC2=000001 CAR2=000001 "
                   "NIND3=000001 OCC3=000001 CAR3=000001\r\nA million records\r\n",
                   deg);
        std::mt19937 random(42);
        std::uniform_int_distribution<int> cell(0, 399);
        std::uniform_int_distribution<int> small(0, 99);
        const long n = RecordCount();
        for (long i = 1; i <= n; ++i) {
            const int c = cell(random);
            const double lat = 45.0 + (c / 20) * 0.25 + 0.123450;
            const double lon = 2.0 + (c % 20) * 0.25 + 0.543210;
            const int period = 1 + c % 2;
            const int n1 = small(random) % 10;
            const int n2 = small(random) / 10;
            char date[16];
            std::snprintf(date, sizeof date, "%04d/%02d/%02d", 1980 + small(random) % 30,
                          1 + small(random) % 12, 1 + small(random) % 28);
            const char sex = "MF "[small(random) % 3];
            char original[32];
            std::snprintf(original, sizeof original, "deg %.5f %.5f", lat, lon);
            char comment[64];
            std::snprintf(comment, sizeof comment, "prairie/%d/observation %ld", 100 + c, i);
            std::fprintf(deg, "%dK%+9.5f%10.5f%5d%5d%-10s%c%-5s%-24s%s\r\n", period, lat, lon, n1,
                         n2, date, sex, "WGS84", original, comment);
            std::fprintf(csv, "%ld,%d,%.5f,%.5f,%d,%d,%s,WGS84,%s,%s,%s\n", i, period, lat, lon, n1,
                         n2, sex == ' ' ? "" : std::string(1, sex).c_str(), original, date,
                         comment);
        }
        std::fclose(deg);
        std::fclose(csv);
    }

    QString degPath() const { return dir.filePath("million.deg"); }
    QString csvPath() const { return dir.filePath("million.csv"); }
    QString workFolder() const { return dir.filePath("work"); }

    QTemporaryDir dir;
    QuietPrompter prompter;
};

Data& Shared() {
    static Data data;
    return data;
}

// A fresh working database holding the opened file, Data1 on its sort query.
void OpenFresh() {
    Data& data = Shared();
    QDir().mkpath(data.workFolder());
    document::Data1().reset();
    document::ResetDocumentState();
    document::CreateWorkDatabase(data.workFolder());
    if (!document::ChargeDeg(data.degPath(), document::kOpenMode)) {
        std::fprintf(stderr, "the bench file could not be read\n");
        std::exit(1);
    }
}

void Report(benchmark::State& state) {
    state.counters["records"] = static_cast<double>(RecordCount());
    state.counters["maxrss_MB"] = MaxRssMb(RUSAGE_SELF);
}

void BM_OpenDistributionFile(benchmark::State& state) {
    Data& data = Shared();
    for (auto _ : state) {
        state.PauseTiming();
        QDir().mkpath(data.workFolder());
        document::Data1().reset();
        document::ResetDocumentState();
        document::CreateWorkDatabase(data.workFolder());
        state.ResumeTiming();
        if (!document::ChargeDeg(data.degPath(), document::kOpenMode)) {
            state.SkipWithError("the file could not be read");
        }
    }
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
    const QString db = data.dir.filePath("shell.db");
    const QString script = data.dir.filePath("import.sql");
    {
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write("PRAGMA journal_mode = MEMORY;\nPRAGMA synchronous = OFF;\n"
                   "PRAGMA cache_size = -65536;\n"
                   "CREATE TABLE DOVAZOV ("
                   " Counter INTEGER PRIMARY KEY AUTOINCREMENT,"
                   " PERIOD INTEGER CHECK (PERIOD BETWEEN -32768 AND 32767),"
                   " LATITUDE REAL,"
                   " LONGITUDE REAL,"
                   " N1 INTEGER CHECK (N1 BETWEEN -2147483648 AND 2147483647),"
                   " N2 INTEGER CHECK (N2 BETWEEN -2147483648 AND 2147483647),"
                   " SEX TEXT COLLATE NOCASE CHECK (length(SEX) <= 1),"
                   " DATUM TEXT COLLATE NOCASE CHECK (length(DATUM) BETWEEN 1 AND 5),"
                   " ORIGINAL TEXT COLLATE NOCASE CHECK (length(ORIGINAL) BETWEEN 1 AND 24),"
                   " DATE TEXT COLLATE NOCASE CHECK (length(DATE) <= 10),"
                   " COMMENT TEXT COLLATE NOCASE);\n"
                   "CREATE INDEX PERIOD ON DOVAZOV (PERIOD);\n");
        file.write(".import --csv " + data.csvPath().toLocal8Bit() + " DOVAZOV\n");
    }
    const std::string command =
        "sqlite3 '" + db.toStdString() + "' < '" + script.toStdString() + "' > /dev/null";
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(db);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("sqlite3 failed");
        }
    }
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

BENCHMARK_MAIN();

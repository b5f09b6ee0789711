#include "DocumentBenchData.h"

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

namespace bench {

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

QuietPrompter& Prompter() {
    static QuietPrompter prompter;
    return prompter;
}

} // namespace

long RecordCount() {
    const char* text = std::getenv("DOVAZOV_BENCH_RECORDS");
    return text != nullptr ? std::atol(text) : 1000000L;
}

double MaxRssMb(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

Data::Data() {
    platform::SetSettingsFolder(dir.filePath("settings"));
    platform::SetPrompter(&Prompter());
    platform::Settings().Silence = 1;
    platform::Settings().Separator = QStringLiteral(",");
    const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    platform::SaveSetting("ZEB", "Datum", "DB",
                          QString::fromStdString((program / "DATUM.MDB").string()));
    if (document::LoadDatums({}) != document::DatumLoad::Loaded) {
        std::fprintf(stderr, "the datum database beside the program could not be read\n");
        std::exit(1);
    }
    geodesy::SetDefaultDatumIndexes();
    Generate();
}

// Records spread over Europe in a few hundred positions (so that grouping joins some), with
// dates, counts, two free-field values and a comment, entered in WGS84 degrees.
void Data::Generate() {
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
        std::fprintf(deg, "%dK%+9.5f%10.5f%5d%5d%-10s%c%-5s%-24s%s\r\n", period, lat, lon, n1, n2,
                     date, sex, "WGS84", original, comment);
        std::fprintf(csv, "%ld,%d,%.5f,%.5f,%d,%d,%s,WGS84,%s,%s,%s\n", i, period, lat, lon, n1, n2,
                     sex == ' ' ? "" : std::string(1, sex).c_str(), original, date, comment);
    }
    std::fclose(deg);
    std::fclose(csv);
}

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

void TimeOpenDistributionFile(benchmark::State& state) {
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
}

void TimeSqliteShellImport(benchmark::State& state, const QString& csvPath, const QString& dbPath,
                           const QByteArray& prelude) {
    const QString script = dbPath + QStringLiteral(".sql");
    {
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write(prelude);
        file.write(document::kCreateWorkTableSql);
        file.write(";\n");
        file.write(document::kCreatePeriodIndexSql);
        file.write(";\n");
        file.write(".import --csv " + csvPath.toLocal8Bit() + " DOVAZOV\n");
    }
    const std::string command =
        "sqlite3 '" + dbPath.toStdString() + "' < '" + script.toStdString() + "' > /dev/null";
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(dbPath);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("sqlite3 failed");
        }
    }
}

} // namespace bench

// A name search in the default gazetteer (about 135,000 GeoNames places, built beside the
// program) from the typed text to the filled list of the place search window: the exact search,
// and prefix searches of a few hits and of a few thousand. Goal: under 20 ms each.
#include "gazetteer/frmGeoQuery.h"
#include "platform/ProgramSettings.h"
#include "support/OffscreenMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

void DefaultGazetteer() {
    platform::ProgramSettings& s = platform::Settings();
    s.File = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zebgazet.mdb"));
    s.DbType.clear();
    s.Table = QStringLiteral("ZEBGazet_Decoding");
    s.ResearchField = QStringLiteral("Sort_Name");
    s.Sort = 0;
    s.FullNameField = QStringLiteral("Full_Name");
    s.LatitudeField = QStringLiteral("Latitude");
    s.LongitudeField = QStringLiteral("Longitude");
    s.CoordinatesType = 1;
    s.FipsField = QStringLiteral("FIPS_QOV");
    s.FeatureField = QStringLiteral("Feature_Desig_Code");
    s.CountryName = QStringLiteral("Country_Name");
    s.ProvinceName = QStringLiteral("Province_Name");
    s.Silence = 1;
}

void Search(benchmark::State& state, const QString& text, int button) {
    DefaultGazetteer();
    gazetteer::frmGeoQuery window{gazetteer::GazetteerHost{}};
    window.txt->setText(text);
    window.cmd_Click(button); // opens the database once, as the first search of a run does
    if (window.ListView1->topLevelItemCount() == 0) {
        state.SkipWithError("no hit: is zebgazet.mdb built beside the benchmark?");
        return;
    }
    for (auto _ : state) {
        window.cmd_Click(button);
    }
    state.counters["hits"] = window.ListView1->topLevelItemCount();
}

void BM_ExactSearch(benchmark::State& state) {
    Search(state, QStringLiteral("Zonhoven"), 0);
}
void BM_PrefixSearchFewHits(benchmark::State& state) {
    Search(state, QStringLiteral("lyon"), 1);
}
void BM_PrefixSearchThousands(benchmark::State& state) {
    Search(state, QStringLiteral("san"), 1);
}

BENCHMARK(BM_ExactSearch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrefixSearchFewHits)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrefixSearchThousands)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksOffscreen(argc, argv);
}

// A name search in the default gazetteer (about 135,000 GeoNames places, built beside the
// program), from the click on a search button to the first screen of the list painted: the
// exact search, prefix searches of a few hits, of a few thousand, and of a blank prefix, which
// lists every place. Goal: under 20 ms each. Beside them, for information: the first search of
// a run, which opens the database and reads its index; a header click that sorts every place by
// name; and letters typed in the list of every place that match no name, which read each row.
#include "gazetteer/frmGeoQuery.h"
#include "platform/ProgramSettings.h"
#include "support/OffscreenMain.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTableView>
#include <benchmark/benchmark.h>

namespace {

constexpr double kGoalMs = 20.0;
const QString kBlankPrefix = QStringLiteral(" ");

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

// The search window on screen, as the user sees it.
struct ShownWindow {
    ShownWindow() {
        DefaultGazetteer();
        window.show();
        QCoreApplication::processEvents();
    }
    int rows() const { return window.ListView1->model()->rowCount(); }
    // Paints the list as the screen shows it.
    void paint() {
        const QPixmap screen = window.ListView1->grab();
        benchmark::DoNotOptimize(screen.cacheKey());
    }
    gazetteer::frmGeoQuery window{gazetteer::GazetteerHost{}};
};

void Search(benchmark::State& state, const QString& text, int button) {
    ShownWindow shown;
    shown.window.txt->setText(text);
    shown.window.cmd_Click(button); // opens the database once, as the first search of a run does
    if (shown.rows() == 0) {
        state.SkipWithError("no hit: is zebgazet.mdb built beside the benchmark?");
        return;
    }
    for (auto _ : state) {
        shown.window.cmd_Click(button);
        shown.paint();
    }
    state.counters["hits"] = shown.rows();
    state.counters["goal_ms"] = kGoalMs;
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
void BM_PrefixSearchBlankListsEveryPlace(benchmark::State& state) {
    Search(state, kBlankPrefix, 1);
}

void BM_FirstSearchOfARun(benchmark::State& state) {
    int rows = 0;
    for (auto _ : state) {
        ShownWindow shown;
        shown.window.txt->setText(QStringLiteral("san"));
        shown.window.cmd_Click(1);
        shown.paint();
        rows = shown.rows();
    }
    state.counters["hits"] = rows;
}

void BM_HeaderClickSortsEveryPlace(benchmark::State& state) {
    ShownWindow shown;
    shown.window.txt->setText(kBlankPrefix);
    shown.window.cmd_Click(1);
    for (auto _ : state) {
        shown.window.ListView1_ColumnClick(0);
        shown.paint();
    }
    state.counters["hits"] = shown.rows();
}

void BM_TypeAheadInTheList(benchmark::State& state) {
    ShownWindow shown;
    shown.window.txt->setText(kBlankPrefix);
    shown.window.cmd_Click(1);
    for (auto _ : state) {
        shown.window.ListView1->setCurrentIndex(shown.window.ListView1->model()->index(0, 0));
        shown.window.ListView1->keyboardSearch(QStringLiteral("zz"));
        shown.paint();
    }
    state.counters["row"] = shown.window.ListView1->currentIndex().row();
}
BENCHMARK(BM_TypeAheadInTheList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK(BM_ExactSearch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrefixSearchFewHits)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrefixSearchThousands)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrefixSearchBlankListsEveryPlace)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstSearchOfARun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_HeaderClickSortsEveryPlace)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksOffscreen(argc, argv);
}

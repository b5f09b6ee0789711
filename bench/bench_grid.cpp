// The grid over a document of a million records: opening the file and painting the first screen,
// then jumping to the last row and painting again. The grid's model pages rows by bookmark and
// the view holds a window of them, so both paints should cost the same as with ten records;
// maxrss_MB is the process's peak memory.
#include "app/RecordGridView.h"
#include "app/RecordTableModel.h"
#include "document/DataControl.h"
#include "support/DocumentBenchData.h"
#include "support/OffscreenMain.h"

#include <QPixmap>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

struct Grid {
    Grid() {
        app::SetUpRecordGrid(view, model);
        view.resize(1200, 800);
        view.show();
    }
    app::RecordTableModel model;
    app::RecordGridView view;
};

void BM_OpenAndPaintFirstScreen(benchmark::State& state) {
    bench::Shared(); // generated outside the timing
    for (auto _ : state) {
        bench::OpenFresh();
        Grid grid;
        grid.model.reload();
        benchmark::DoNotOptimize(grid.view.grab());
    }
    bench::Report(state);
}

void BM_PaintFirstScreen(benchmark::State& state) {
    bench::OpenFresh();
    for (auto _ : state) {
        Grid grid;
        grid.model.reload();
        benchmark::DoNotOptimize(grid.view.grab());
    }
    bench::Report(state);
}

void BM_JumpToLastRowAndPaint(benchmark::State& state) {
    bench::OpenFresh();
    Grid grid;
    grid.model.reload();
    grid.view.grab();
    for (auto _ : state) {
        grid.view.setCurrentPosition(grid.model.recordCount() - 1,
                                     QItemSelectionModel::ClearAndSelect);
        benchmark::DoNotOptimize(grid.view.grab());
        state.PauseTiming();
        grid.view.setCurrentPosition(0, QItemSelectionModel::ClearAndSelect);
        grid.view.grab();
        state.ResumeTiming();
    }
    bench::Report(state);
    state.counters["rows"] = grid.model.recordCount();
}

} // namespace

BENCHMARK(BM_OpenAndPaintFirstScreen)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_PaintFirstScreen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_JumpToLastRowAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

int main(int argc, char** argv) {
    return RunBenchmarksOffscreen(argc, argv);
}

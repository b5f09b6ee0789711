// Drawing a million records on a region picture: one forward read of their positions and periods
// and a stamp per symbol. The goal is under a second.
#include "document/DataControl.h"
#include "document/WorkDatabase.h"
#include "maps/RegionCanvas.h"
#include "maps/RegionPlot.h"
#include "maps/RegionProjection.h"
#include "support/DocumentBenchData.h"
#include "support/OffscreenMain.h"

#include <benchmark/benchmark.h>

namespace {

void BM_DrawAllRecordsOnEurope(benchmark::State& state) {
    bench::OpenFresh();
    const maps::RegionRow& europe = maps::RegionTable()[maps::EuropeRow(0)];
    const maps::RegionProjection projection = maps::ProjectionOf(europe);
    const maps::RegionExtent extent = maps::ExtentOf(europe, projection);
    maps::RegionSymbols symbols;
    symbols.PeriodFillColor = {0x0000FF, 0x00FF00, 0xFF0000, 0};
    const document::RecordSet records = document::Data1().recordset().clone();
    for (auto _ : state) {
        maps::RegionCanvas canvas(QImage(), extent);
        const maps::PlotCount count =
            maps::PlotRecords(canvas, projection, records.database(), records.bookmarks(), symbols,
                              maps::SymbolDiameter(-1.0F, extent.width()) / 2.0F);
        benchmark::DoNotOptimize(count);
    }
    bench::Report(state);
}

} // namespace

BENCHMARK(BM_DrawAllRecordsOnEurope)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv) {
    return RunBenchmarksOffscreen(argc, argv);
}

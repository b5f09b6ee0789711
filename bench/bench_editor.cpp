// The record editor over a document of a million records: opening the window on a row anywhere in
// the document, stepping to the next and the previous row, and saving a changed row. The editor
// reads only the row it shows and takes the row number from the record set's position, so each
// should cost the same as with ten records (goal: under 20 ms each).
#include "app/RecordTableModel.h"
#include "document/DataControl.h"
#include "document/RecordSet.h"
#include "editor/EditForm.h"
#include "editor/EditorHost.h"
#include "support/DocumentBenchData.h"
#include "support/OffscreenMain.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

// The main window as the editor sees it, without a grid to follow the steps.
class BenchHost final : public editor::EditorHost {
public:
    document::RecordSet* records() override { return &document::Data1().recordset(); }
    QString gridText(const QVariant& value) const override { return app::CellText(value); }
    int currentColumn() const override { return 3; }
    void showCurrentRow() override {}
    void rowWritten() override {}
    void rowsAdded() override {}
    QString chooseDatum(const QString&) override { return {}; }
    editor::PlaceSearch* placeSearch() override { return nullptr; }
};

// Rows spread over the whole document, the same in every run.
std::ptrdiff_t RandomRow(std::mt19937& random) {
    const int count = document::Data1().recordset().recordCount();
    return std::uniform_int_distribution<std::ptrdiff_t>(1, count - 2)(random);
}

void BM_OpenOnAnyRow(benchmark::State& state) {
    bench::OpenFresh();
    BenchHost host;
    std::mt19937 random(42);
    for (auto _ : state) {
        state.PauseTiming();
        document::Data1().recordset().setAbsolutePosition(RandomRow(random));
        state.ResumeTiming();
        editor::EditForm window(host);
        benchmark::DoNotOptimize(window.lblCpt);
    }
    bench::Report(state);
}

void BM_StepNextAndPrevious(benchmark::State& state) {
    bench::OpenFresh();
    BenchHost host;
    std::mt19937 random(7);
    document::Data1().recordset().setAbsolutePosition(RandomRow(random));
    editor::EditForm window(host);
    int step = 0;
    for (auto _ : state) {
        window.cmdNavig_Click(step++ % 2);
    }
    bench::Report(state);
}

void BM_SaveAChangedRow(benchmark::State& state) {
    bench::OpenFresh();
    BenchHost host;
    std::mt19937 random(11);
    document::Data1().recordset().setAbsolutePosition(RandomRow(random));
    editor::EditForm window(host);
    int count = 0;
    for (auto _ : state) {
        window.logic().Edit(editor::Control::ChampCh1, QString::number(++count % 1000));
        window.ButOk_Click();
    }
    bench::Report(state);
}

} // namespace

BENCHMARK(BM_OpenOnAnyRow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_StepNextAndPrevious)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);
BENCHMARK(BM_SaveAChangedRow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);

int main(int argc, char** argv) {
    return RunBenchmarksOffscreen(argc, argv);
}

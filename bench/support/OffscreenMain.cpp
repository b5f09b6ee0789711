#include "OffscreenMain.h"

#include "platform/NumberLocale.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int RunBenchmarksOffscreen(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::KeepCNumberNotation(); // as the program does once its application exists
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The cartography map drawn again in full: a coastline layer of about 100,000 vertices, a
// graticule and the symbols of a million records, on a canvas the size of a large screen, in the
// most costly projection (Lambert conformal conic). The goal is under a second.
#include "cartography/CartoSession.h"
#include "cartography/EpsFile.h"
#include "cartography/MapCanvas.h"
#include "cartography/Redraw.h"
#include "cartography/core/LayerFile.h"
#include "cartography/core/MapDescription.h"
#include "document/DataControl.h"
#include "document/RecordSet.h"
#include "maps/MapRecords.h"
#include "support/DocumentBenchData.h"
#include "support/OffscreenMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>

namespace {

constexpr int kCanvasWidth = 2000;
constexpr int kCanvasHeight = 1500;
constexpr int kCoastLines = 1000;
constexpr int kVerticesPerLine = 100;

// Closed, wobbly outlines of islands spread over the map, each starting with pen -1.
void WriteCoastline(const std::filesystem::path& file) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> lat(25.0F, 75.0F);
    std::uniform_real_distribution<float> lon(-25.0F, 55.0F);
    std::uniform_real_distribution<float> wobble(0.8F, 1.2F);
    std::vector<cartography::LayerLine> lines;
    lines.reserve(kCoastLines);
    for (int i = 0; i < kCoastLines; ++i) {
        cartography::LayerLine line;
        line.FeatureCode = i % 10 == 0 ? 'R' : 'C';
        line.StyleChar = '1';
        const float lat0 = lat(random);
        const float lon0 = lon(random);
        line.LatMin = lat0 - 1.5F;
        line.LatMax = lat0 + 1.5F;
        line.LonMin = lon0 - 1.5F;
        line.LonMax = lon0 + 1.5F;
        for (int k = 0; k < kVerticesPerLine - 1; ++k) {
            const double a = 2.0 * 3.141592653589793 * k / (kVerticesPerLine - 1);
            const float r = wobble(random);
            line.Vertices.push_back({static_cast<std::int16_t>(k == 0 ? -1 : 0),
                                     lat0 + static_cast<float>(r * std::sin(a)),
                                     lon0 + static_cast<float>(r * std::cos(a))});
        }
        line.Vertices.push_back(
            {0, line.Vertices.front().Latitude, line.Vertices.front().Longitude});
        lines.push_back(std::move(line));
    }
    cartography::WriteLayerFile(file, {"Bench coastline", ""}, lines);
}

// The map of the redraw: Europe on its conic projection, the coastline layer, a 5° graticule and
// symbols of automatic size.
struct BenchMap {
    BenchMap() {
        const QString folder = bench::Shared().dir.filePath(QStringLiteral("carto"));
        QDir().mkpath(folder);
        const std::filesystem::path coast = QDir(folder).filePath("coast.zeb").toStdString();
        WriteCoastline(coast);

        cartography::MapDescription& map = session.map;
        map.ProjCode = 1;
        map.LatNorth = 72;
        map.LatSouth = 30;
        map.LonEast = 50;
        map.LonWest = -20;
        map.StdParallel1 = 40;
        map.StdParallel2 = 60;
        map.MeridianDeg = 15;
        cartography::SetUpProjection(map, session.projection);
        session.extent = cartography::ComputeExtent(map, session.projection);
        session.georeferenced = true;
        session.Options.Add(coast.string());
        session.Options.SetSymbolColor(0x0000FF);
        session.Options.SetSymbolDiameter(-1);
        session.GridShown = true;
        session.gridStep = 5;

        QImage picture(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32);
        picture.fill(QColor(238, 232, 205));
        canvas.setPicture(picture);
        const cartography::MapExtent& e = session.extent;
        canvas.setScale(e.Xmin, e.Ymax, e.ExtentWidth, -e.ExtentHeight);

        host.selectedRows = [] { return std::vector<std::int64_t>{}; };
        host.currentRow = [] { return std::int64_t{0}; };
        host.setCurrentRow = [](std::int64_t) {};
    }

    cartography::CartoSession session;
    cartography::MapCanvas canvas;
    maps::MapHost host;
};

BenchMap& Map() {
    static const std::unique_ptr<BenchMap> map = [] {
        bench::OpenFresh();
        return std::make_unique<BenchMap>();
    }();
    return *map;
}

void BM_RedrawMap(benchmark::State& state) {
    BenchMap& map = Map();
    for (auto _ : state) {
        cartography::RedrawMap(map.session, map.canvas, map.host);
        benchmark::DoNotOptimize(map.canvas.image().constBits());
    }
    state.counters["goal_s"] = 1.0;
    bench::Report(state);
}

// The EPS file of the same map, with the map set's prologue and the Europe base map drawn
// beside the program: the symbols of the million records and the graticule marks. The goal is
// under 2 s.
void BM_EpsOfTheMap(benchmark::State& state) {
    BenchMap& map = Map();
    const QString mapSet = QCoreApplication::applicationDirPath() + QStringLiteral("/carto/");
    if (!QFile::exists(mapSet + QLatin1String(cartography::kPrologueName))) {
        state.SkipWithError("the map set is not built (target carto_maps)");
        return;
    }
    map.session.map.MapFolder = mapSet.toStdString();
    map.session.map.BaseMapPath = (mapSet + QStringLiteral("europe.ps")).toStdString();
    const QString path = bench::Shared().dir.filePath(QStringLiteral("carto/map.eps"));
    for (auto _ : state) {
        if (!cartography::FaitEPS(map.session, map.canvas, map.host, path, 1)) {
            state.SkipWithError("the EPS file was not written");
            return;
        }
    }
    state.counters["goal_s"] = 2.0;
    state.counters["MB"] = static_cast<double>(QFileInfo(path).size()) / 1e6;
    bench::Report(state);
}

} // namespace

BENCHMARK(BM_RedrawMap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_EpsOfTheMap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv) {
    return RunBenchmarksOffscreen(argc, argv);
}

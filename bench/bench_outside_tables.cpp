// The first search of a gazetteer that the child process dovazov-table-copy reads: the copy of
// the table into the working copy, its index and the query, as the first search of a run pays
// them. A Paradox table of the default gazetteer's places (about 135,000 rows, written here with
// pxlib from zebgazet.mdb beside the program), and the real Access file of node-adodb (fetched
// by scripts/install-deps), whose time is the child's start.
#include "gazetteer/PlaceSearcher.h"
#include "platform/ProgramSettings.h"
#include "support/OffscreenMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <paradox.h>
}

namespace {

constexpr int kNameLength = 60;

// The places of zebgazet.mdb as a Paradox table PLACES.DB in `folder`; the number of rows.
int WriteParadoxPlaces(const QString& folder) {
    SQLite::Database source(
        QDir(QCoreApplication::applicationDirPath()).filePath("zebgazet.mdb").toStdString(),
        SQLite::OPEN_READONLY);
    PX_boot();
    pxdoc_t* doc = PX_new();
    auto* fields = static_cast<pxfield_t*>(std::calloc(3, sizeof(pxfield_t)));
    fields[0] = {strdup("Name"), pxfAlpha, kNameLength, 0};
    fields[1] = {strdup("Lat"), pxfNumber, 8, 0};
    fields[2] = {strdup("Lon"), pxfNumber, 8, 0};
    PX_create_file(doc, fields, 3,
                   QFile::encodeName(folder + QStringLiteral("/PLACES.DB")).constData(),
                   pxfFileTypNonIndexDB);
    PX_set_targetencoding(doc, "UTF-8");
    PX_set_inputencoding(doc, "UTF-8");
    char record[kNameLength + 16];
    SQLite::Statement rows(source, "SELECT Sort_Name, Latitude, Longitude FROM ZEBGazet_Decoding");
    int count = 0;
    while (rows.executeStep()) {
        std::memset(record, 0, sizeof record);
        std::string name = rows.getColumn(0).getString().substr(0, kNameLength);
        PX_put_data_alpha(doc, record, kNameLength, name.data());
        PX_put_data_double(doc, record + kNameLength, 8, rows.getColumn(1).getDouble());
        PX_put_data_double(doc, record + kNameLength + 8, 8, rows.getColumn(2).getDouble());
        PX_put_recordn(doc, record, count++);
    }
    PX_close(doc);
    PX_delete(doc);
    PX_shutdown();
    return count;
}

void Mapping(const QString& file, const QString& dbType, const QString& table, const QString& name,
             const QString& latitude, const QString& longitude) {
    platform::ProgramSettings& s = platform::Settings();
    s.File = file;
    s.DbType = dbType;
    s.Table = table;
    s.ResearchField = name;
    s.FullNameField = name;
    s.LatitudeField = latitude;
    s.LongitudeField = longitude;
    s.Sort = 0;
    s.CoordinatesType = 1;
    s.FipsField.clear();
    s.ProvinceField.clear();
    s.FeatureField.clear();
    s.CountryName.clear();
    s.ProvinceName.clear();
}

void FirstSearch(benchmark::State& state, const QString& typed) {
    std::size_t hits = 0;
    for (auto _ : state) {
        gazetteer::PlaceSearcher searcher;
        hits = searcher.search(platform::Settings(), typed, false).ids.size();
    }
    state.counters["hits"] = static_cast<double>(hits);
}

void BM_FirstSearchParadoxPlaces(benchmark::State& state) {
    QTemporaryDir folder;
    const int rows = WriteParadoxPlaces(folder.path());
    Mapping(folder.path(), QStringLiteral("Paradox 4.X;"), QStringLiteral("PLACES"),
            QStringLiteral("Name"), QStringLiteral("Lat"), QStringLiteral("Lon"));
    FirstSearch(state, QStringLiteral("lyon"));
    state.counters["rows"] = rows;
}

void BM_FirstSearchAccessUsers(benchmark::State& state) {
    Mapping(
        QStringLiteral(DOVAZOV_SOURCE_DIR "/.cache/npm-data/node-adodb/examples/node-adodb.mdb"),
        QString(), QStringLiteral("Users"), QStringLiteral("UserName"), QStringLiteral("UserId"),
        QStringLiteral("UserId"));
    FirstSearch(state, QStringLiteral("an"));
}

BENCHMARK(BM_FirstSearchParadoxPlaces)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstSearchAccessUsers)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksOffscreen(argc, argv);
}

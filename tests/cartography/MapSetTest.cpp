// The default map set the build draws into the program's "carto" folder: descriptions that load,
// pictures of the size their extent implies, land and sea where PROJ puts known places (on the
// picture and on the base map as Ghostscript renders it), and layers that read to their end.

#include "../geodesy/ProjReference.h"
#include "cartography/core/LayerFile.h"
#include "cartography/core/MapDescription.h"
#include "cartography/core/Projection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>

namespace {

using namespace cartography;

QDir CartoFolder() {
    return QDir(QCoreApplication::applicationDirPath() + "/carto");
}

std::filesystem::path CartoFile(const char* name) {
    return CartoFolder().filePath(QString::fromLatin1(name)).toStdString();
}

struct MapCase {
    const char* name;
    int code;
    const char* proj; // the same projection in PROJ, giving metres
};

const MapCase kMaps[] = {
    {"world", 5, "+proj=eqc +R=6378388 +lon_0=0"},
    // The program's conic has its origin at the apex: PROJ's false northing is zero at lat_0 90.
    {"europe", 1, "+proj=lcc +ellps=intl +lat_1=35 +lat_2=65 +lat_0=90 +lon_0=10"},
    {"polar", 11, "+proj=ortho +R=6378388 +lat_0=90 +lon_0=0"},
    {"globe", 10, "+proj=ortho +R=6378388 +lat_0=40 +lon_0=10"},
};

const MapCase& MapNamed(const std::string& name) {
    for (const MapCase& map : kMaps) {
        if (name == map.name) {
            return map;
        }
    }
    throw std::logic_error("no map " + name);
}

// A loaded map: its description, projection set up as the window does, and extent.
struct LoadedMap {
    MapDescription description;
    ProjectionState state;
    MapExtent extent;

    explicit LoadedMap(const char* name) {
        description = ReadMapDescription(CartoFile((std::string(name) + ".dsw").c_str()));
        SetCylindricalFactors(state);
        SetUpProjection(description, state);
        extent = ComputeExtent(description, state);
    }
};

// A place projected by PROJ, in kilometres of the map plane.
QPointF PlaneKm(const MapCase& map, double lat, double lon) {
    const testref::ProjGrid proj("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                 "+step " +
                                 std::string(map.proj));
    EXPECT_TRUE(proj.valid()) << map.proj;
    double x = 0;
    double y = 0;
    proj.forward(lat, lon, x, y);
    return {x / 1000.0, y / 1000.0};
}

TEST(MapSet, EveryMapLoadsWithAPictureOfItsExtentsProportions) {
    for (const MapCase& map : kMaps) {
        SCOPED_TRACE(map.name);
        const LoadedMap loaded(map.name);
        EXPECT_EQ(loaded.description.ProjCode, map.code);
        const QImage picture(QString::fromStdString(loaded.description.PicturePath));
        ASSERT_FALSE(picture.isNull()) << loaded.description.PicturePath;
        EXPECT_TRUE(QFile::exists(QString::fromStdString(loaded.description.BaseMapPath)));
        const double w = loaded.extent.ExtentWidth;
        const double h = loaded.extent.ExtentHeight;
        EXPECT_EQ(std::max(picture.width(), picture.height()), 1000);
        EXPECT_EQ(std::min(picture.width(), picture.height()),
                  std::lround(1000.0 * std::min(w, h) / std::max(w, h)));
    }
}

enum class Kind { Land, Sea, Coast };

struct Place {
    const char* map;
    double lat, lon;
    Kind kind;
    const char* what;
};

void PrintTo(const Place& place, std::ostream* os) {
    *os << place.map << ": " << place.what;
}

const Place kPlaces[] = {
    {"world", 40.42, -3.70, Kind::Land, "Madrid"},
    {"world", -23.70, 133.88, Kind::Land, "Alice Springs"},
    {"world", -15.79, -47.88, Kind::Land, "Brasilia"},
    {"world", 30.0, -40.0, Kind::Sea, "mid-Atlantic"},
    {"world", -30.0, -120.0, Kind::Sea, "South Pacific"},
    // Both sides of the 180th meridian.
    {"world", 66.0, 170.0, Kind::Land, "Chukotka"},
    {"world", 72.0, -170.0, Kind::Sea, "Chukchi Sea"},
    {"world", -34.357, 18.474, Kind::Coast, "Cape of Good Hope"},
    {"europe", 40.42, -3.70, Kind::Land, "Madrid"},
    {"europe", 52.23, 21.01, Kind::Land, "Warsaw"},
    {"europe", 45.5, -5.0, Kind::Sea, "Bay of Biscay"},
    {"europe", 37.0, 18.0, Kind::Sea, "Ionian Sea"},
    {"europe", 56.0, 3.0, Kind::Sea, "North Sea"},
    {"europe", 38.780, -9.499, Kind::Coast, "Cabo da Roca"},
    {"europe", 71.173, 25.784, Kind::Coast, "Nordkapp"},
    {"polar", 90.0, 0.0, Kind::Sea, "North Pole"},
    {"polar", 75.0, -40.0, Kind::Land, "Greenland ice sheet"},
    {"polar", 55.75, 37.62, Kind::Land, "Moscow"},
    {"polar", 74.0, 40.0, Kind::Sea, "Barents Sea"},
    {"polar", 73.0, -140.0, Kind::Sea, "Beaufort Sea"},
    {"polar", 71.173, 25.784, Kind::Coast, "Nordkapp"},
    {"globe", 40.42, -3.70, Kind::Land, "Madrid"},
    {"globe", 30.04, 31.24, Kind::Land, "Cairo"},
    {"globe", -4.32, 15.31, Kind::Land, "Kinshasa"},
    {"globe", 30.0, -40.0, Kind::Sea, "mid-Atlantic"},
    {"globe", 0.0, 0.0, Kind::Sea, "Gulf of Guinea"},
    // Near the horizon, where the land cut there is closed along it.
    {"globe", -15.79, -47.88, Kind::Land, "Brasilia"},
    {"globe", 62.03, 129.73, Kind::Land, "Yakutsk"},
    {"globe", -10.0, 75.0, Kind::Sea, "Indian Ocean"},
    {"globe", -34.357, 18.474, Kind::Coast, "Cape of Good Hope"},
    {"globe", 38.780, -9.499, Kind::Coast, "Cabo da Roca"},
};

// The pictures' sea is a light blue, their land a light beige, coasts and borders darker lines.
bool IsSea(QRgb pixel) {
    return qBlue(pixel) > qRed(pixel) + 20 && qRed(pixel) > 150;
}
bool IsLand(QRgb pixel) {
    return !IsSea(pixel) && pixel != qRgb(255, 255, 255);
}

class MapSetPlaces : public ::testing::TestWithParam<Place> {};

TEST_P(MapSetPlaces, LieOnThePictureWherePROJProjectsThem) {
    const Place& place = GetParam();
    const LoadedMap loaded(place.map);
    const QImage picture(QString::fromStdString(loaded.description.PicturePath));
    ASSERT_FALSE(picture.isNull());
    const QPointF km = PlaneKm(MapNamed(place.map), place.lat, place.lon);
    const MapExtent& e = loaded.extent;
    const int px = static_cast<int>((km.x() - e.Xmin) / e.ExtentWidth * picture.width());
    const int py = static_cast<int>((e.Ymax - km.y()) / e.ExtentHeight * picture.height());
    ASSERT_TRUE(picture.rect().contains(px, py)) << px << ", " << py;
    switch (place.kind) {
    case Kind::Land:
        EXPECT_TRUE(IsLand(picture.pixel(px, py)));
        break;
    case Kind::Sea:
        EXPECT_TRUE(IsSea(picture.pixel(px, py)));
        break;
    case Kind::Coast: {
        // A cape: land (or its coastline) and sea both within two pixels.
        bool land = false;
        bool sea = false;
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                const QPoint p(px + dx, py + dy);
                if (picture.rect().contains(p)) {
                    land = land || IsLand(picture.pixel(p));
                    sea = sea || IsSea(picture.pixel(p));
                }
            }
        }
        EXPECT_TRUE(land);
        EXPECT_TRUE(sea);
        break;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(KnownPlaces, MapSetPlaces, ::testing::ValuesIn(kPlaces));

// ---- the base maps ----

std::string ReadAll(const std::filesystem::path& path) {
    QFile file(QString::fromStdString(path.string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll().toStdString();
}

bool IsNumber(const std::string& token) {
    char* end = nullptr;
    std::strtod(token.c_str(), &end);
    return !token.empty() && end == token.c_str() + token.size();
}

TEST(MapSet, BaseMapsDrawPathsOnly) {
    // Path building, painting with the prologue's names, and the graphics state kept balanced.
    const std::set<std::string> operators = {
        "m", "l", "c", "s", "sg", "gsave", "grestore", "setlinewidth", "eofill"};
    for (const MapCase& map : kMaps) {
        SCOPED_TRACE(map.name);
        const std::string text = ReadAll(CartoFile((std::string(map.name) + ".ps").c_str()));
        std::istringstream lines(text);
        std::string line;
        int paths = 0;
        int depth = 0;
        while (std::getline(lines, line)) {
            ASSERT_TRUE(!line.empty() && line.back() == '\r') << "lines end in CR LF";
            line.pop_back();
            if (line.starts_with('%')) {
                continue;
            }
            std::istringstream tokens(line);
            std::string token;
            while (tokens >> token) {
                ASSERT_TRUE(IsNumber(token) || operators.count(token) == 1) << line;
                paths += token == "m" ? 1 : 0;
                depth += token == "gsave" ? 1 : (token == "grestore" ? -1 : 0);
                ASSERT_GE(depth, 0) << line;
            }
        }
        EXPECT_EQ(depth, 0);
        EXPECT_GT(paths, 20);
    }
}

// The base map inside the frame the EPS writer puts round it, rendered by Ghostscript at one pixel
// per point: land grey and sea white where PROJ puts the places.
QImage RenderBaseMap(const LoadedMap& loaded, int width, int height, const QString& folder) {
    const QString prologue = CartoFolder().filePath("prolzeb.ps");
    const std::string frame =
        "/Lx {50} bind def\n/Uy {800} bind def\n/Ux {" + std::to_string(width) +
        " 50 add} bind def\n/Ly {800 " + std::to_string(height) +
        " sub} bind def\n/Cadre {Lx Ly m Lx Uy l Ux Uy l Ux Ly l c clip clippath 0 setgray ec sl "
        "s} bind def\ngsave\nCadre\n/coul true def\n/PresLeg false def\n";
    const QString eps = folder + "/map.eps";
    QFile out(eps);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray::fromStdString(ReadAll(prologue.toStdString()) + frame +
                                        ReadAll(loaded.description.BaseMapPath) +
                                        "grestore showpage\n"));
    out.close();
    QProcess gs;
    gs.start("gs", {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pnggray", "-r72",
                    "-dDEVICEWIDTHPOINTS=600", "-dDEVICEHEIGHTPOINTS=842", "-dFIXEDMEDIA",
                    "-sOutputFile=" + folder + "/map.png", eps});
    EXPECT_TRUE(gs.waitForFinished(60000));
    EXPECT_EQ(gs.exitCode(), 0) << gs.readAllStandardError().toStdString();
    return QImage(folder + "/map.png");
}

TEST(MapSet, BaseMapsShowLandAndSeaWherePROJProjectsThem) {
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    std::map<std::string, QImage> pages;
    for (const Place& place : kPlaces) {
        if (place.kind == Kind::Coast) {
            continue;
        }
        SCOPED_TRACE(place.what);
        const LoadedMap loaded(place.map);
        const MapExtent& e = loaded.extent;
        // The page size of the EPS writer: the larger side 500 points.
        const int width = static_cast<int>(std::nearbyint(e.ExtentWidth / e.ExtentMax * 500.0f));
        const int height = static_cast<int>(std::nearbyint(e.ExtentHeight / e.ExtentMax * 500.0f));
        QImage& page = pages[place.map];
        if (page.isNull()) {
            page = RenderBaseMap(loaded, width, height, folder.path());
            ASSERT_FALSE(page.isNull());
        }
        const QPointF km = PlaneKm(MapNamed(place.map), place.lat, place.lon);
        const double x = (km.x() - e.Xmin) / e.ExtentWidth * width + 50.0;
        const double y = (km.y() - e.Ymin) / e.ExtentHeight * height + 800.0 - height;
        const int grey = qGray(page.pixel(static_cast<int>(x), static_cast<int>(842.0 - y)));
        if (place.kind == Kind::Land) {
            EXPECT_NEAR(grey, 0.85 * 255, 3) << place.map;
        } else {
            EXPECT_EQ(grey, 255) << place.map;
        }
    }
}

// ---- the layers ----

struct LayerCase {
    const char* file;
    char code;
    double lat, lon; // a point of the line work, within 0.05 degrees of a vertex
    const char* what;
};

TEST(MapSet, LayersReadToTheirEndWithOneLineAPen) {
    const LayerCase layers[] = {
        {"coast.zeb", 'R', 38.780, -9.499, "Cabo da Roca"},
        {"borders.zeb", 'A', 43.362, -1.791, "the Bidasoa mouth, France and Spain"},
    };
    for (const LayerCase& layer : layers) {
        SCOPED_TRACE(layer.file);
        LayerFileReader reader(CartoFile(layer.file));
        int lines = 0;
        double nearest = std::numeric_limits<double>::max();
        while (const std::optional<LayerLine> line = reader.NextLine()) {
            ++lines;
            EXPECT_EQ(line->FeatureCode, layer.code);
            ASSERT_GE(line->Vertices.size(), 2u);
            EXPECT_EQ(line->VertexTotal(), line->Vertices.size());
            for (std::size_t i = 0; i < line->Vertices.size(); ++i) {
                const LayerVertex& v = line->Vertices[i];
                ASSERT_EQ(v.Pen == -1, i == 0) << "line " << lines << " vertex " << i;
                ASSERT_TRUE(v.Latitude >= line->LatMin && v.Latitude <= line->LatMax);
                ASSERT_TRUE(v.Longitude >= line->LonMin && v.Longitude <= line->LonMax);
                ASSERT_TRUE(std::fabs(v.Latitude) <= 90 && std::fabs(v.Longitude) <= 180);
                // The edge by which the data closes Antarctica round the pole is no coastline.
                ASSERT_GT(v.Latitude, -89.0f);
                // Lines are cut at the 180th meridian, never drawn across the map.
                if (i > 0) {
                    ASSERT_LE(std::fabs(v.Longitude - line->Vertices[i - 1].Longitude), 180.0f);
                }
                nearest =
                    std::min(nearest, std::hypot(v.Latitude - layer.lat, v.Longitude - layer.lon));
            }
        }
        EXPECT_GT(lines, 100);
        EXPECT_LT(nearest, 0.05) << layer.what;
    }
}

} // namespace

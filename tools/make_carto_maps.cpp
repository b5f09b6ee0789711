// Draws the default map set of the cartography window from Natural Earth's TopoJSON: for each map a
// description file (.dsw), its picture with the edges on the map's projected extent, and its base
// map in PostScript for the EPS output; and the coastline and border layers (.zeb). Every point
// goes through the program's own projection and extent, so that what the program projects lands
// where the picture shows it.
//
// make_carto_maps <world-atlas folder> <output folder>

#include "cartography/core/LayerFile.h"
#include "cartography/core/MapDescription.h"
#include "make_carto_maps_clip.h"
#include "make_region_pictures_topology.h"
#include "tool_output.h"

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

namespace {

using tools::KmPath;
using tools::MapPlane;
using tools::Ring;

constexpr int kLongestSide = 1000; // pixels
constexpr int kPageSide = 500;     // points: the larger side of the EPS map

const QColor kOffEarth(255, 255, 255);
const QColor kSea(204, 228, 244);
const QColor kLand(238, 232, 205);
const QColor kCoast(60, 80, 120);
const QColor kBorder(150, 140, 130);

struct MapSpec {
    const char* name;
    const char* title;
    const char* projection; // the description's free text item
    std::int16_t code;
    float refLatitude, north, south, east, west, parallel1, parallel2, meridian;
    // Paths whose ranges come this close (degrees) to the bounds are drawn: conic maps show
    // beyond their bounds in their corners.
    double lonMargin, latMargin;
};

constexpr MapSpec kMaps[] = {
    {"world", "World, plate carree", "Plate carree", 5, 0, 90, -90, 180, -180, 0, 0, 0, 1, 1},
    {"europe", "Europe, Lambert conformal conic", "Lambert conformal conic", 1, 0, 72, 34, 45, -25,
     35, 65, 10, 40, 15},
    {"polar", "Arctic, north polar orthographic", "Polar orthographic", 11, 90, 90, 50, 180, -180,
     0, 0, 0, 0, 0},
    {"globe", "Europe and Africa, orthographic globe", "Orthographic", 10, 40, 90, -50, 180, -180,
     0, 0, 10, 0, 0},
};

cartography::MapDescription Description(const MapSpec& spec) {
    cartography::MapDescription map;
    map.Title = spec.title;
    map.BaseMapLine = std::string(spec.name) + ".ps";
    map.PictureLine = std::string(spec.name) + ".png";
    map.ProjCode = spec.code;
    map.RefLatitude = spec.refLatitude;
    map.TextItem = spec.projection;
    map.LatNorth = spec.north;
    map.LatSouth = spec.south;
    map.LonEast = spec.east;
    map.LonWest = spec.west;
    map.StdParallel1 = spec.parallel1;
    map.StdParallel2 = spec.parallel2;
    map.MeridianDeg = spec.meridian;
    return map;
}

// The polygons of a collection, each as its rings (outer ring and holes), in degrees.
std::vector<std::vector<Ring>> Polygons(const tools::Topology& topology, const QString& name) {
    const auto ringOf = [&topology](const QJsonArray& arcs) {
        Ring ring;
        for (const QJsonValue& value : arcs) {
            const int index = value.toInt();
            const std::size_t arc = static_cast<std::size_t>(index < 0 ? ~index : index);
            if (arc >= topology.arcs.size()) {
                throw std::runtime_error("arc index " + std::to_string(index) +
                                         " outside the topology");
            }
            Ring points = topology.arcs[arc];
            if (index < 0) {
                std::reverse(points.begin(), points.end());
            }
            ring.insert(ring.end(), points.begin() + (ring.empty() ? 0 : 1), points.end());
        }
        return ring;
    };
    std::vector<std::vector<Ring>> polygons;
    const auto addPolygon = [&](const QJsonArray& rings) {
        std::vector<Ring> polygon;
        for (const QJsonValue& ring : rings) {
            polygon.push_back(ringOf(ring.toArray()));
        }
        polygons.push_back(std::move(polygon));
    };
    for (const QJsonValue& value :
         topology.objects.value(name).toObject().value("geometries").toArray()) {
        const QJsonObject geometry = value.toObject();
        const QJsonArray arcs = geometry.value("arcs").toArray();
        if (geometry.value("type").toString() == "Polygon") {
            addPolygon(arcs);
        } else if (geometry.value("type").toString() == "MultiPolygon") {
            for (const QJsonValue& polygon : arcs) {
                addPolygon(polygon.toArray());
            }
        }
    }
    return polygons;
}

// The copies of a continuous path (degrees) that show on a map: on a map bounded in longitude,
// the path moved by each whole turn that brings it onto the map; on an orthographic map the path
// itself, which the plane cuts at the horizon.
std::vector<Ring> Copies(const MapSpec& spec, const MapPlane& plane, const Ring& path) {
    if (path.empty()) {
        return {};
    }
    if (plane.hasHorizon()) {
        return {path};
    }
    const auto [low, high] = std::minmax_element(
        path.begin(), path.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    if (high->y() < spec.south - spec.latMargin || low->y() > spec.north + spec.latMargin) {
        return {};
    }
    std::vector<Ring> copies;
    for (const double turn : tools::TurnsOnMap(path, spec.west, spec.east, spec.lonMargin)) {
        Ring copy = path;
        for (QPointF& p : copy) {
            p.rx() += turn;
        }
        copies.push_back(std::move(copy));
    }
    return copies;
}

// The coastline of a land ring, in pieces cut at the 180th meridian: without the edges by which
// the data closes Antarctica round the South Pole and along the 180th meridian, which are no coast.
std::vector<Ring> CoastLines(const Ring& ring) {
    const auto dataEdge = [](const QPointF& a, const QPointF& b) {
        const bool alongPole = a.y() < -89.9 && b.y() < -89.9;
        const bool alongCut = std::abs(a.x()) >= 179.999 && a.x() == b.x();
        return alongPole || alongCut;
    };
    std::vector<Ring> lines;
    for (const Ring& piece : tools::CutAtAntimeridian(ring, true)) {
        Ring line;
        for (std::size_t i = 0; i < piece.size(); ++i) {
            if (i > 0 && dataEdge(piece[i - 1], piece[i])) {
                if (line.size() >= 2) {
                    lines.push_back(std::move(line));
                }
                line.clear();
            }
            line.push_back(piece[i]);
        }
        if (line.size() >= 2) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

// ---- the picture ----

class Picture {
public:
    explicit Picture(const MapPlane& plane) : extent_(plane.extent()) {
        const double w = extent_.ExtentWidth;
        const double h = extent_.ExtentHeight;
        size_ = w >= h ? QSize(kLongestSide, static_cast<int>(std::lround(kLongestSide * h / w)))
                       : QSize(static_cast<int>(std::lround(kLongestSide * w / h)), kLongestSide);
    }
    QSize size() const { return size_; }
    // The picture's edges are the extent's: the program maps its user scale onto them.
    QPointF pixel(const QPointF& km) const {
        return {(km.x() - extent_.Xmin) / extent_.ExtentWidth * size_.width(),
                (extent_.Ymax - km.y()) / extent_.ExtentHeight * size_.height()};
    }
    void add(QPainterPath& path, const KmPath& km, bool closed) const {
        path.moveTo(pixel(km.front()));
        for (std::size_t i = 1; i < km.size(); ++i) {
            path.lineTo(pixel(km[i]));
        }
        if (closed) {
            path.closeSubpath();
        }
    }

private:
    cartography::MapExtent extent_;
    QSize size_;
};

QPainterPath HorizonPath(const Picture& picture) {
    const double r = MapPlane::horizonKm();
    const QPointF topLeft = picture.pixel({-r, r});
    const QPointF bottomRight = picture.pixel({r, -r});
    QPainterPath path;
    path.addEllipse(QRectF(topLeft, bottomRight));
    return path;
}

QImage DrawPicture(const MapSpec& spec, const MapPlane& plane, const tools::Topology& topology) {
    const Picture picture(plane);
    QImage image(picture.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (plane.hasHorizon()) {
        image.fill(kOffEarth);
        painter.fillPath(HorizonPath(picture), kSea);
    } else {
        image.fill(kSea);
    }

    const std::vector<Ring> land = tools::CollectionRings(topology, "land");
    QPainterPath landArea;
    landArea.setFillRule(Qt::OddEvenFill);
    QPainterPath coast;
    for (const Ring& ring : land) {
        for (const Ring& copy : Copies(spec, plane, tools::Unwrapped(ring, true))) {
            for (const KmPath& area : plane.areas(copy)) {
                picture.add(landArea, area, true);
            }
        }
        for (const Ring& piece : CoastLines(ring)) {
            for (const Ring& copy : Copies(spec, plane, piece)) {
                for (const KmPath& line : plane.lines(copy)) {
                    picture.add(coast, line, false);
                }
            }
        }
    }
    QPainterPath borders;
    for (const Ring& arc : tools::SharedArcs(topology, "countries")) {
        for (const Ring& copy : Copies(spec, plane, tools::Unwrapped(arc, false))) {
            for (const KmPath& line : plane.lines(copy)) {
                picture.add(borders, line, false);
            }
        }
    }
    painter.fillPath(landArea, kLand);
    painter.strokePath(borders, QPen(kBorder, 0.8));
    painter.strokePath(coast, QPen(kCoast, 1.0));
    if (plane.hasHorizon()) {
        painter.strokePath(HorizonPath(picture), QPen(kCoast, 1.0));
    }
    return image;
}

// ---- the base map in PostScript ----

// Page points as the EPS writer places a projected point: the map's larger side is 500 points,
// its top left corner at (50, 800).
class Page {
public:
    explicit Page(const MapPlane& plane) : extent_(plane.extent()) {
        width_ = static_cast<int>(std::nearbyint(extent_.ExtentWidth / extent_.ExtentMax *
                                                 static_cast<float>(kPageSide)));
        height_ = static_cast<int>(std::nearbyint(extent_.ExtentHeight / extent_.ExtentMax *
                                                  static_cast<float>(kPageSide)));
    }
    QPointF point(const QPointF& km) const {
        return {(km.x() - extent_.Xmin) / extent_.ExtentWidth * width_ + 50.0,
                (km.y() - extent_.Ymin) / extent_.ExtentHeight * height_ + 800.0 - height_};
    }

private:
    cartography::MapExtent extent_;
    int width_ = 0;
    int height_ = 0;
};

// A coordinate with at most two decimals, without trailing zeros.
std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string out = text;
    while (out.back() == '0') {
        out.pop_back();
    }
    if (out.back() == '.') {
        out.pop_back();
    }
    return out == "-0" ? "0" : out;
}

// One closed subpath: m, then l for every point that moves on the page, then c.
void AddSubpath(std::string& out, const Page& page, const KmPath& km) {
    std::string last;
    bool first = true;
    for (const QPointF& p : km) {
        const QPointF pt = page.point(p);
        const std::string xy = Number(pt.x()) + " " + Number(pt.y());
        if (xy == last) {
            continue;
        }
        out += xy + (first ? " m\r\n" : " l\r\n");
        last = xy;
        first = false;
    }
    out += "c\r\n";
}

std::string BaseMap(const MapSpec& spec, const MapPlane& plane, const tools::Topology& topology) {
    const Page page(plane);
    std::string out = std::string("% Base map of ") + spec.name +
                      ".dsw: land of Natural Earth 1:110m (public domain), in page points\r\n"
                      "gsave 0 sg .3 setlinewidth\r\n";
    for (const std::vector<Ring>& polygon : Polygons(topology, "land")) {
        std::string paths;
        for (const Ring& ring : polygon) {
            for (const Ring& copy : Copies(spec, plane, tools::Unwrapped(ring, true))) {
                for (const KmPath& area : plane.areas(copy)) {
                    AddSubpath(paths, page, area);
                }
            }
        }
        if (!paths.empty()) {
            // The rings of a polygon are one path, so that its lakes stay white.
            out += paths + "gsave .85 sg eofill grestore s\r\n";
        }
    }
    if (plane.hasHorizon()) {
        KmPath horizon;
        for (int degree = 0; degree < 360; degree += 2) {
            const double a = degree * 3.14159265358979323846 / 180.0;
            horizon.emplace_back(MapPlane::horizonKm() * std::cos(a),
                                 MapPlane::horizonKm() * std::sin(a));
        }
        AddSubpath(out, page, horizon);
        out += "s\r\n";
    }
    return out + "grestore\r\n";
}

// ---- the layers ----

cartography::LayerLine LayerLineOf(const Ring& path, const char* name, char code) {
    cartography::LayerLine line;
    line.Name = name;
    line.FeatureCode = code;
    line.StyleChar = '1';
    line.LatMin = line.LonMin = 1000.0f;
    line.LatMax = line.LonMax = -1000.0f;
    for (const QPointF& p : path) {
        cartography::LayerVertex vertex;
        // The pen -1 begins each line at its first point.
        vertex.Pen = line.Vertices.empty() ? -1 : 0;
        vertex.Latitude = static_cast<float>(p.y());
        vertex.Longitude = static_cast<float>(p.x());
        line.LatMin = std::min(line.LatMin, vertex.Latitude);
        line.LatMax = std::max(line.LatMax, vertex.Latitude);
        line.LonMin = std::min(line.LonMin, vertex.Longitude);
        line.LonMax = std::max(line.LonMax, vertex.Longitude);
        line.Vertices.push_back(vertex);
    }
    return line;
}

// Whether an arc runs along the 180th meridian: the cut of a country there, not a border.
bool OnAntimeridian(const Ring& arc) {
    return std::all_of(arc.begin(), arc.end(),
                       [](const QPointF& p) { return std::abs(p.x()) >= 179.999; });
}

void WriteLayers(const tools::Topology& topology, const QDir& out) {
    std::vector<cartography::LayerLine> coast;
    for (const Ring& ring : tools::CollectionRings(topology, "land")) {
        for (const Ring& piece : CoastLines(ring)) {
            coast.push_back(LayerLineOf(piece, "Coastline", 'R'));
        }
    }
    cartography::WriteLayerFile(out.filePath("coast.zeb").toStdString(),
                                {"Coastlines, Natural Earth 1:50m", "Public domain"}, coast);

    std::vector<cartography::LayerLine> borders;
    for (const Ring& arc : tools::SharedArcs(topology, "countries")) {
        if (OnAntimeridian(arc)) {
            continue;
        }
        for (const Ring& piece : tools::CutAtAntimeridian(arc, false)) {
            borders.push_back(LayerLineOf(piece, "Border", 'A'));
        }
    }
    cartography::WriteLayerFile(out.filePath("borders.zeb").toStdString(),
                                {"Country borders, Natural Earth 1:50m", "Public domain"}, borders);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_carto_maps <world-atlas folder> <output folder>\n");
        return 2;
    }
    try {
        const QDir data(QString::fromLocal8Bit(argv[1]));
        const QDir out(QString::fromLocal8Bit(argv[2]));
        if (!out.mkpath(".")) {
            throw std::runtime_error("cannot create " + out.path().toStdString());
        }
        const tools::Topology detailed = tools::ReadTopology(data.filePath("countries-50m.json"));
        const tools::Topology coarse = tools::ReadTopology(data.filePath("countries-110m.json"));
        for (const MapSpec& spec : kMaps) {
            const cartography::MapDescription map = Description(spec);
            const MapPlane plane(map);
            tools::SaveImageWhole(out.filePath(QString::fromStdString(map.PictureLine)),
                                  DrawPicture(spec, plane, detailed), "PNG");
            tools::SaveWhole(out.filePath(QString::fromStdString(map.BaseMapLine)),
                             QByteArray::fromStdString(BaseMap(spec, plane, coarse)));
            cartography::WriteMapDescription(
                out.filePath(QString::fromLatin1(spec.name) + ".dsw").toStdString(), map);
        }
        WriteLayers(detailed, out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_carto_maps: %s\n", e.what());
        return 1;
    }
    return 0;
}

// Draws the fourteen region pictures from Natural Earth's TopoJSON (land, coastline, country
// borders, white sea), each in its region's projection with its edges on the region's projected
// corners, through the same projection the program plots records with.
//
// make_region_pictures <world-atlas folder> <output folder>

#include "make_region_pictures_topology.h"
#include "maps/RegionProjection.h"
#include "tool_output.h"

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <exception>

namespace {

constexpr int kLongestSide = 680;
// Regions narrower than this (km) use the 1:10m data; the others 1:50m.
constexpr float kDetailedWidthKm = 2500.0F;

const QColor kSea(255, 255, 255);
const QColor kLand(238, 232, 205);
const QColor kCoast(70, 90, 120);
const QColor kBorder(150, 140, 130);

struct Canvas {
    maps::RegionProjection projection;
    maps::RegionExtent extent;
    double west = 0.0, east = 0.0;
    QSize size;

    QPointF pixel(const QPointF& degrees) const {
        const maps::PlanePoint p = maps::ProjectDegrees(projection, degrees.y(), degrees.x());
        return {(p.x - extent.x1) / extent.width() * size.width(),
                (extent.y2 - p.y) / extent.height() * size.height()};
    }
};

// The whole turns by which a continuous path must be shifted to show on the region: a ring that
// crosses the 180th meridian may lie on either side of the picture, or on both.
std::vector<double> Shifts(const Canvas& canvas, const tools::Ring& ring) {
    double low = ring.front().x();
    double high = low;
    for (const QPointF& p : ring) {
        low = std::min(low, p.x());
        high = std::max(high, p.x());
    }
    std::vector<double> shifts;
    for (const double shift : {-360.0, 0.0, 360.0}) {
        if (high + shift >= canvas.west - 1.0 && low + shift <= canvas.east + 1.0) {
            shifts.push_back(shift);
        }
    }
    return shifts;
}

QPainterPath PathOf(const Canvas& canvas, const std::vector<tools::Ring>& rings, bool closed) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const tools::Ring& raw : rings) {
        if (raw.size() < 2) {
            continue;
        }
        const tools::Ring ring = tools::Unwrapped(raw, closed);
        for (const double shift : Shifts(canvas, ring)) {
            path.moveTo(canvas.pixel(ring.front() + QPointF(shift, 0.0)));
            for (std::size_t i = 1; i < ring.size(); ++i) {
                path.lineTo(canvas.pixel(ring[i] + QPointF(shift, 0.0)));
            }
            if (closed) {
                path.closeSubpath();
            }
        }
    }
    return path;
}

QImage Draw(const Canvas& canvas, const tools::Topology& topology) {
    QImage image(canvas.size, QImage::Format_RGB32);
    image.fill(kSea);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const std::vector<tools::Ring> land = tools::CollectionRings(topology, "land");
    const QPainterPath landPath = PathOf(canvas, land, true);
    painter.fillPath(landPath, kLand);
    painter.strokePath(PathOf(canvas, tools::SharedArcs(topology, "countries"), false),
                       QPen(kBorder, 0.8));
    painter.strokePath(landPath, QPen(kCoast, 1.0));
    return image;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_region_pictures <world-atlas folder> <output folder>\n");
        return 2;
    }
    try {
        const QDir data(QString::fromLocal8Bit(argv[1]));
        const QDir out(QString::fromLocal8Bit(argv[2]));
        const tools::Topology medium = tools::ReadTopology(data.filePath("countries-50m.json"));
        const tools::Topology detailed = tools::ReadTopology(data.filePath("countries-10m.json"));
        for (const maps::RegionRow& row : maps::RegionTable()) {
            Canvas canvas;
            canvas.projection = maps::ProjectionOf(row);
            canvas.extent = maps::ExtentOf(row, canvas.projection);
            canvas.west = row.westLon;
            canvas.east = row.eastLon;
            const double w = canvas.extent.width();
            const double h = canvas.extent.height();
            canvas.size =
                w >= h ? QSize(kLongestSide, static_cast<int>(std::lround(kLongestSide * h / w)))
                       : QSize(static_cast<int>(std::lround(kLongestSide * w / h)), kLongestSide);
            const tools::Topology& topology = w < kDetailedWidthKm ? detailed : medium;
            tools::SaveImageWhole(out.filePath(QString::fromLatin1(row.pictureFile)),
                                  Draw(canvas, topology), "BMP");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_region_pictures: %s\n", e.what());
        return 1;
    }
    return 0;
}

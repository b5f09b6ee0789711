#include "cartography/MapCanvas.h"

#include "common/AppError.h"
#include "maps/RegionSymbols.h"

#include <QPainter>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace cartography {

namespace {

// Beyond this a position has no device pixel (a 32-bit device coordinate).
constexpr double kPixelLimit = std::numeric_limits<std::int32_t>::max();

// Circles up to this radius in pixels are copied from a stamp drawn once.
constexpr int kStampRadius = 64;

Qt::PenStyle PenStyleOf(int drawStyle, int width) {
    // Dashes and dots exist only for thin lines, as on the old platform.
    if (width > 1) {
        return Qt::SolidLine;
    }
    switch (drawStyle) {
    case kDash:
        return Qt::DashLine;
    case kDot:
        return Qt::DotLine;
    default:
        return Qt::SolidLine;
    }
}

} // namespace

// A circle of one radius, pen and fill drawn once. Without antialiasing every pixel of it is
// either drawn or left, so it is kept as runs of drawn pixels per row and copied at each centre.
struct MapCanvas::CircleStamp {
    struct Run {
        int dy = 0; // row, from the centre
        int dx = 0; // first pixel, from the centre
        std::vector<QRgb> pixels;
    };

    int radius = -1;
    OleColor fore = 0;
    int style = 0;
    int width = 0;
    OleColor fill = 0;
    int fillStyle = 0;
    std::vector<Run> runs;

    bool matches(const MapCanvas& c, int r) const {
        return r == radius && c.foreColor_ == fore && c.drawStyle_ == style &&
               c.drawWidth_ == width && c.fillColor_ == fill && c.fillStyle_ == fillStyle;
    }
};

MapCanvas::MapCanvas() {
    setPicture({});
}

MapCanvas::~MapCanvas() {
    endPainting();
}

void MapCanvas::setPicture(const QImage& picture) {
    endPainting();
    if (picture.isNull()) {
        picture_ = QImage(kBlankSize, QImage::Format_RGB32);
        picture_.fill(Qt::white);
    } else {
        picture_ = picture.convertToFormat(QImage::Format_RGB32);
    }
    image_ = picture_;
    scaleLeft_ = 0;
    scaleTop_ = 0;
    scaleWidth_ = static_cast<float>(picture_.width());
    scaleHeight_ = static_cast<float>(picture_.height());
}

void MapCanvas::setScale(float left, float top, float width, float height) {
    if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(width) ||
        !std::isfinite(height) || width == 0.0F || height == 0.0F) {
        throw common::AppError(common::kInvalidCall,
                               "The map's scale needs a width and a height other than 0");
    }
    scaleLeft_ = left;
    scaleTop_ = top;
    scaleWidth_ = width;
    scaleHeight_ = height;
}

QPointF MapCanvas::toPixel(double x, double y) const {
    return {(x - scaleLeft_) * pixelsPerUnitX(), (y - scaleTop_) * pixelsPerUnitY()};
}

QPointF MapCanvas::toUser(const QPointF& pixel) const {
    return {scaleLeft_ + pixel.x() / pixelsPerUnitX(), scaleTop_ + pixel.y() / pixelsPerUnitY()};
}

void MapCanvas::setForeColor(OleColor color) {
    penDirty_ = penDirty_ || color != foreColor_;
    foreColor_ = color;
}

void MapCanvas::setDrawStyle(int style) {
    penDirty_ = penDirty_ || style != drawStyle_;
    drawStyle_ = style;
}

void MapCanvas::setDrawWidth(int width) {
    const int w = width < 1 ? 1 : width;
    penDirty_ = penDirty_ || w != drawWidth_;
    drawWidth_ = w;
}

void MapCanvas::setFillColor(OleColor color) {
    brushDirty_ = brushDirty_ || color != fillColor_;
    fillColor_ = color;
}

void MapCanvas::setFillStyle(int style) {
    brushDirty_ = brushDirty_ || style != fillStyle_;
    fillStyle_ = style;
}

void MapCanvas::Cls() {
    endPainting();
    image_ = picture_;
}

const QImage& MapCanvas::image() {
    endPainting();
    return image_;
}

QPainter& MapCanvas::painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        penDirty_ = true;
        brushDirty_ = true;
    }
    return *painter_;
}

void MapCanvas::endPainting() {
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

void MapCanvas::applyPen() {
    QPainter& p = painter();
    if (penDirty_) {
        QPen pen(maps::ColorOf(foreColor_), drawWidth_ > 1 ? drawWidth_ : 0,
                 PenStyleOf(drawStyle_, drawWidth_));
        p.setPen(pen);
        penDirty_ = false;
    }
}

void MapCanvas::applyBrush() {
    QPainter& p = painter();
    if (brushDirty_) {
        p.setBrush(QBrush(maps::ColorOf(fillColor_), maps::BrushStyleOf(fillStyle_)));
        brushDirty_ = false;
    }
}

bool MapCanvas::devicePoint(float x, float y, QPoint& pixel) const {
    const QPointF p = toPixel(x, y);
    if (!(std::abs(p.x()) <= kPixelLimit) || !(std::abs(p.y()) <= kPixelLimit)) {
        return false;
    }
    pixel =
        QPoint(static_cast<int>(std::nearbyint(p.x())), static_cast<int>(std::nearbyint(p.y())));
    return true;
}

void MapCanvas::PSet(float x, float y) {
    QPoint p;
    if (!devicePoint(x, y, p)) {
        return;
    }
    applyPen();
    if (drawWidth_ > 1) {
        // A wide dot is a disc of the pen's width, whatever the drawing style.
        QPainter& painter = this->painter();
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(maps::ColorOf(foreColor_));
        painter.drawEllipse(QPointF(p), drawWidth_ / 2.0, drawWidth_ / 2.0);
        painter.restore();
        return;
    }
    painter().drawPoint(p);
}

void MapCanvas::Line(float x1, float y1, float x2, float y2) {
    QPoint a;
    QPoint b;
    if (!devicePoint(x1, y1, a) || !devicePoint(x2, y2, b)) {
        return;
    }
    applyPen();
    painter().drawLine(a, b);
}

void MapCanvas::Circle(float x, float y, float radius) {
    QPoint c;
    if (!devicePoint(x, y, c)) {
        return;
    }
    const double rpx = std::abs(radius * pixelsPerUnitX());
    if (!(rpx <= kStampRadius)) {
        // A large circle (or one beyond the device range) is drawn in place, clipped by the
        // surface.
        if (!(rpx <= kPixelLimit)) {
            return;
        }
        applyPen();
        applyBrush();
        const int r = static_cast<int>(std::nearbyint(rpx));
        painter().drawEllipse(c, r, r);
        return;
    }
    // Hatchings keep their pattern aligned on the surface, so they are drawn in place.
    if (fillStyle_ > kFillTransparent) {
        applyPen();
        applyBrush();
        const int r = static_cast<int>(std::nearbyint(rpx));
        painter().drawEllipse(c, r, r);
        return;
    }
    stampCircle(c, static_cast<int>(std::nearbyint(rpx)));
}

void MapCanvas::stampCircle(const QPoint& centre, int radius) {
    if (!stamp_) {
        stamp_ = std::make_unique<CircleStamp>();
    }
    CircleStamp& s = *stamp_;
    if (!s.matches(*this, radius)) {
        s.radius = radius;
        s.fore = foreColor_;
        s.style = drawStyle_;
        s.width = drawWidth_;
        s.fill = fillColor_;
        s.fillStyle = fillStyle_;
        s.runs.clear();
        // Drawn by the same painter calls as a circle in place, so both give the same pixels.
        const int half = radius + drawWidth_ + 1;
        QImage image(2 * half + 1, 2 * half + 1, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter sp(&image);
            sp.setPen(QPen(maps::ColorOf(foreColor_), drawWidth_ > 1 ? drawWidth_ : 0,
                           PenStyleOf(drawStyle_, drawWidth_)));
            sp.setBrush(QBrush(maps::ColorOf(fillColor_), maps::BrushStyleOf(fillStyle_)));
            sp.drawEllipse(QPoint(half, half), radius, radius);
        }
        for (int row = 0; row < image.height(); ++row) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
            int col = 0;
            while (col < image.width()) {
                if (qAlpha(line[col]) == 0) {
                    ++col;
                    continue;
                }
                CircleStamp::Run run{row - half, col - half, {}};
                while (col < image.width() && qAlpha(line[col]) != 0) {
                    run.pixels.push_back(line[col] | 0xFF000000U);
                    ++col;
                }
                s.runs.push_back(std::move(run));
            }
        }
    }
    // The painter's pending work reaches the image before its pixels are written directly.
    endPainting();
    const int w = image_.width();
    const int h = image_.height();
    const int cx = centre.x();
    const int cy = centre.y();
    if (cx + s.radius + s.width + 1 < 0 || cy + s.radius + s.width + 1 < 0 ||
        cx - s.radius - s.width - 1 >= w || cy - s.radius - s.width - 1 >= h) {
        return;
    }
    const auto stride = static_cast<std::size_t>(image_.bytesPerLine()) / sizeof(QRgb);
    auto* bits = reinterpret_cast<QRgb*>(image_.bits());
    for (const CircleStamp::Run& run : s.runs) {
        const int y = cy + run.dy;
        if (y < 0 || y >= h) {
            continue;
        }
        int first = cx + run.dx;
        int last = first + static_cast<int>(run.pixels.size()); // one past
        int skip = 0;
        if (first < 0) {
            skip = -first;
            first = 0;
        }
        if (last > w) {
            last = w;
        }
        if (first >= last) {
            continue;
        }
        std::memcpy(bits + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(first),
                    run.pixels.data() + skip,
                    static_cast<std::size_t>(last - first) * sizeof(QRgb));
    }
}

void MapCanvas::Polygon(std::span<const QPoint> vertices) {
    if (vertices.empty()) {
        return;
    }
    applyPen();
    applyBrush();
    painter().drawPolygon(vertices.data(), static_cast<int>(vertices.size()), Qt::OddEvenFill);
}

void MapCanvas::Polyline(std::span<const QPoint> vertices) {
    if (vertices.size() < 2) {
        return;
    }
    applyPen();
    painter().drawPolyline(vertices.data(), static_cast<int>(vertices.size()));
}

} // namespace cartography

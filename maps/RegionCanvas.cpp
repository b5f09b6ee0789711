#include "maps/RegionCanvas.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace maps {

QSize PictureSize(const RegionExtent& extent, int longest) {
    const double w = extent.width();
    const double h = extent.height();
    if (!(w > 0.0) || !(h > 0.0)) {
        return {longest, longest};
    }
    return w >= h ? QSize(longest, std::max(1, static_cast<int>(std::lround(longest * h / w))))
                  : QSize(std::max(1, static_cast<int>(std::lround(longest * w / h))), longest);
}

RegionCanvas::RegionCanvas(const QImage& picture, const RegionExtent& extent) : extent_(extent) {
    if (picture.isNull()) {
        picture_ = QImage(PictureSize(extent), QImage::Format_RGB32);
        picture_.fill(Qt::white);
    } else {
        picture_ = picture.convertToFormat(QImage::Format_RGB32);
    }
    image_ = picture_;
}

QPointF RegionCanvas::toPixel(float x, float y) const {
    return {(x - extent_.x1) / extent_.width() * image_.width(),
            (extent_.y2 - y) / extent_.height() * image_.height()};
}

PlanePoint RegionCanvas::toPlane(const QPointF& pixel) const {
    return {static_cast<float>(extent_.x1 + pixel.x() / image_.width() * extent_.width()),
            static_cast<float>(extent_.y2 - pixel.y() / image_.height() * extent_.height())};
}

double RegionCanvas::scale() const {
    return image_.width() / static_cast<double>(extent_.width());
}

void RegionCanvas::drawCircle(float x, float y, float radiusKm, const QColor& fill,
                              Qt::BrushStyle style, const QColor& stroke) {
    const double r = radiusKm * scale();
    if (!(r > 0.0)) {
        return;
    }
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(stroke, 1.0));
    painter.setBrush(QBrush(fill, style));
    painter.drawEllipse(toPixel(x, y), r, r);
}

void RegionCanvas::eraseCircle(float x, float y, float radiusKm) {
    const double r = radiusKm * scale();
    if (!(r > 0.0)) {
        return;
    }
    // The outline and its antialiased edge reach a pixel and a half beyond the radius.
    const QPointF centre = toPixel(x, y);
    const double reach = r + 2.0;
    QPainter painter(&image_);
    QPainterPath disc;
    disc.addEllipse(centre, reach, reach);
    painter.setClipPath(disc);
    painter.drawImage(0, 0, picture_);
}

void RegionCanvas::drawPoint(float x, float y, const QColor& color) {
    QPainter painter(&image_);
    painter.setPen(QPen(color, 1.0));
    painter.drawPoint(toPixel(x, y));
}

void RegionCanvas::drawSegment(float x0, float y0, float x1, float y1, const QColor& color) {
    QPainter painter(&image_);
    painter.setPen(QPen(color, 1.0));
    painter.drawLine(toPixel(x0, y0), toPixel(x1, y1));
}

RegionCanvas::Stamps::Stamps(const RegionCanvas& canvas, float radiusKm)
    : radius_(radiusKm * canvas.scale()) {
    half_ = radius_ > 0.0 ? static_cast<int>(std::ceil(radius_)) + 2 : 0;
}

void RegionCanvas::Stamps::set(int slot, const QColor& fill, Qt::BrushStyle style,
                               const QColor& stroke) {
    if (half_ <= 0) {
        return;
    }
    QImage image(2 * half_ + 1, 2 * half_ + 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(stroke, 1.0));
    painter.setBrush(QBrush(fill, style));
    // The centre of the middle pixel.
    painter.drawEllipse(QPointF(half_ + 0.5, half_ + 0.5), radius_, radius_);
    images_.at(static_cast<std::size_t>(slot)) = image;
}

void RegionCanvas::stamp(QPainter& painter, const Stamps& stamps, int slot, float x,
                         float y) const {
    if (stamps.empty()) {
        return;
    }
    const QImage& image = stamps.images_.at(static_cast<std::size_t>(slot));
    const QPointF p = toPixel(x, y);
    if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
        return;
    }
    const double left = std::floor(p.x()) - stamps.half_;
    const double top = std::floor(p.y()) - stamps.half_;
    if (left > image_.width() || top > image_.height() || left + image.width() < 0 ||
        top + image.height() < 0) {
        return;
    }
    painter.drawImage(QPoint(static_cast<int>(left), static_cast<int>(top)), image);
}

} // namespace maps

#pragma once

// The drawing surface of a region map: the region picture, the symbols drawn over it, and the
// mapping between its pixels and the kilometres of the region plane (the picture's edges lie on
// the region's projected corners).

#include "maps/RegionProjection.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <array>

class QPainter;

namespace maps {

class RegionCanvas {
public:
    // `picture` may be null (a missing picture file): the surface is then white, of a size with
    // the region's proportions.
    RegionCanvas(const QImage& picture, const RegionExtent& extent);

    const QImage& image() const { return image_; }
    const QImage& picture() const { return picture_; }
    const RegionExtent& extent() const { return extent_; }

    QPointF toPixel(float x, float y) const;
    PlanePoint toPlane(const QPointF& pixel) const;
    // Pixels per kilometre across the picture.
    double scale() const;

    // A circle of radius `radiusKm` centred at (x, y) km, filled with `fill` in `style`, outlined
    // in `stroke`. A radius of 0 draws nothing.
    void drawCircle(float x, float y, float radiusKm, const QColor& fill, Qt::BrushStyle style,
                    const QColor& stroke);
    // Gives back the picture under a circle drawn with that radius, outline included.
    void eraseCircle(float x, float y, float radiusKm);
    // A single point, and a segment from the previous point (for the grid lines).
    void drawPoint(float x, float y, const QColor& color);
    void drawSegment(float x0, float y0, float x1, float y1, const QColor& color);

    // Many circles of one radius: each style is drawn once into a small stamp that is then copied
    // at every position, so a million records draw in a fraction of a second.
    class Stamps {
    public:
        Stamps(const RegionCanvas& canvas, float radiusKm);
        void set(int slot, const QColor& fill, Qt::BrushStyle style, const QColor& stroke);
        bool empty() const { return half_ <= 0; }

    private:
        friend class RegionCanvas;
        double radius_ = 0.0;
        int half_ = 0; // the stamp's centre pixel
        std::array<QImage, 4> images_;
    };
    // Copies the stamp of `slot` centred at (x, y) km through `painter`, which paints on surface().
    void stamp(QPainter& painter, const Stamps& stamps, int slot, float x, float y) const;
    QImage& surface() { return image_; }

private:
    QImage picture_;
    QImage image_;
    RegionExtent extent_;
};

// The size of a picture made for a region: its longest side `longest` pixels.
QSize PictureSize(const RegionExtent& extent, int longest = 680);

} // namespace maps

#pragma once

// The picture box of the cartography window: the map picture, what is drawn over it, the user
// scale in which the drawing commands take their positions (one unit one kilometre of the map
// plane, y upwards, once a map is set up), and the pen and fill that the drawing commands use, as
// the old picture box kept them between commands. The window shows image(); the bitmap save and
// the printout take the same image.

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QSize>
#include <cstdint>
#include <memory>
#include <span>

class QPainter;

namespace cartography {

// A colour as the old platform kept it: 0x00BBGGRR.
using OleColor = std::int32_t;

// Drawing styles of lines and outlines.
enum DrawStyles : int { kSolid = 0, kDash = 1, kDot = 2 };
// Fill styles: 0 solid, 1 transparent, 2 to 7 the hatchings of the region maps.
enum FillStyles : int { kFillSolid = 0, kFillTransparent = 1 };

class MapCanvas {
public:
    // The size of the surface while no picture is loaded.
    static constexpr QSize kBlankSize{640, 480};

    // A blank white surface of kBlankSize, scaled in pixels.
    MapCanvas();
    ~MapCanvas();
    MapCanvas(const MapCanvas&) = delete;
    MapCanvas& operator=(const MapCanvas&) = delete;

    // The surface takes the picture's size (a null picture gives the blank surface), the drawing is
    // cleared and the scale becomes pixels until setScale.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    QSize size() const { return picture_.size(); }
    int width() const { return picture_.width(); }
    int height() const { return picture_.height(); }

    // The user scale: the left and top edges and the signed width and height in user units
    // (a negative height puts y upwards). A width or height of 0 (or not finite) is refused with
    // error 5 and leaves the scale as it was.
    void setScale(float left, float top, float width, float height);
    float ScaleLeft() const { return scaleLeft_; }
    float ScaleTop() const { return scaleTop_; }
    float ScaleWidth() const { return scaleWidth_; }
    float ScaleHeight() const { return scaleHeight_; }

    // Device pixels per user unit; negative along y when y points upwards.
    double pixelsPerUnitX() const { return width() / static_cast<double>(scaleWidth_); }
    double pixelsPerUnitY() const { return height() / static_cast<double>(scaleHeight_); }
    // A user position in device pixels (not rounded), and back.
    QPointF toPixel(double x, double y) const;
    QPointF toUser(const QPointF& pixel) const;

    // The pen and fill of the drawing commands.
    OleColor foreColor() const { return foreColor_; }
    void setForeColor(OleColor color);
    int drawStyle() const { return drawStyle_; }
    void setDrawStyle(int style);
    int drawWidth() const { return drawWidth_; }
    void setDrawWidth(int width);
    OleColor fillColor() const { return fillColor_; }
    void setFillColor(OleColor color);
    int fillStyle() const { return fillStyle_; }
    void setFillStyle(int style);

    // Clears the drawing; the picture stays.
    void Cls();

    // Drawing in user units. A position that falls beyond the range of device pixels (the hidden
    // point of an orthographic map among them) draws nothing.
    // A dot in the drawing colour and width.
    void PSet(float x, float y);
    // A line in the pen.
    void Line(float x1, float y1, float x2, float y2);
    // A circle of `radius` user units along x, outlined in the pen and filled with the fill.
    // Circles of one size, pen and fill are drawn once and then copied pixel for pixel, so a
    // million of them cost little more than reading their positions.
    void Circle(float x, float y, float radius);

    // Drawing in device pixels: a closed outline in the pen filled with the fill (alternate
    // filling, closed from the last vertex back to the first), and an open line in the pen.
    void Polygon(std::span<const QPoint> vertices);
    void Polyline(std::span<const QPoint> vertices);

    // The picture with the drawing over it, as shown, saved and printed.
    const QImage& image();

private:
    QPainter& painter();
    void endPainting();
    void applyPen();
    void applyBrush();
    bool devicePoint(float x, float y, QPoint& pixel) const;
    void stampCircle(const QPoint& centre, int radius);

    struct CircleStamp;

    QImage picture_;
    QImage image_;
    std::unique_ptr<QPainter> painter_;
    bool penDirty_ = true;
    bool brushDirty_ = true;
    std::unique_ptr<CircleStamp> stamp_;

    float scaleLeft_ = 0;
    float scaleTop_ = 0;
    float scaleWidth_ = 1;
    float scaleHeight_ = 1;

    OleColor foreColor_ = 0;
    int drawStyle_ = kSolid;
    int drawWidth_ = 1;
    OleColor fillColor_ = 0;
    int fillStyle_ = kFillTransparent;
};

} // namespace cartography

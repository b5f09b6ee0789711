#include "cartography/Polygon.h"

#include "cartography/MapCanvas.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

namespace cartography {

namespace {

// The device pixel of a user coordinate, halves to the even neighbour; false when it does not fit
// in 32 bits.
bool PixelOf(float user, float origin, float perUnit, int& pixel) {
    const float v = (user - origin) * perUnit;
    if (!(std::abs(v) <= static_cast<float>(std::numeric_limits<std::int32_t>::max() - 128))) {
        return false;
    }
    pixel = static_cast<int>(std::nearbyint(v));
    return true;
}

} // namespace

void Polygon::Device(const MapCanvas& canvas) {
    scaleLeft_ = canvas.ScaleLeft();
    scaleTop_ = canvas.ScaleTop();
    pixelsPerUnitX_ = static_cast<float>(canvas.width()) / canvas.ScaleWidth();
    pixelsPerUnitY_ = static_cast<float>(canvas.height()) / canvas.ScaleHeight();
}

void Polygon::Point(float x, float y) {
    int px = 0;
    int py = 0;
    if (!PixelOf(x, scaleLeft_, pixelsPerUnitX_, px) ||
        !PixelOf(y, scaleTop_, pixelsPerUnitY_, py)) {
        breakPending_ = !vertices_.empty();
        return;
    }
    if (breakPending_) {
        breaks_.push_back(vertices_.size());
        breakPending_ = false;
    }
    vertices_.emplace_back(px, py);
}

void Polygon::DrawZEB(MapCanvas& canvas) {
    if (breaks_.empty()) {
        if (vertices_.size() >= 2) {
            if (vertices_.front() == vertices_.back()) {
                canvas.Polygon(vertices_);
            } else {
                canvas.Polyline(vertices_);
            }
        }
    } else {
        drawPieces(canvas);
    }
    clear();
}

void Polygon::DrawLine(MapCanvas& canvas) {
    if (breaks_.empty()) {
        if (vertices_.size() >= 2) {
            canvas.Polyline(vertices_);
        }
    } else {
        drawPieces(canvas);
    }
    clear();
}

void Polygon::Draw(MapCanvas& canvas) {
    if (breaks_.empty() && !vertices_.empty()) {
        canvas.Polygon(vertices_);
    }
    clear();
}

void Polygon::drawPieces(MapCanvas& canvas) {
    std::size_t begin = 0;
    for (std::size_t b = 0; b <= breaks_.size(); ++b) {
        const std::size_t end = b < breaks_.size() ? breaks_[b] : vertices_.size();
        if (end - begin >= 2) {
            canvas.Polyline(std::span<const QPoint>(vertices_).subspan(begin, end - begin));
        }
        begin = end;
    }
}

void Polygon::clear() {
    vertices_.clear();
    breaks_.clear();
    breakPending_ = false;
}

} // namespace cartography

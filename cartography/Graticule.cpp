#include "cartography/Graticule.h"

#include "cartography/CartoSession.h"
#include "cartography/EpsOutput.h"
#include "cartography/MapCanvas.h"
#include "cartography/core/Projection.h"
#include "common/AppError.h"
#include "common/Numeric.h"
#include "platform/Prompter.h"

#include <cmath>
#include <string>

namespace cartography {

namespace {

// The values of a loop: from `first`, adding `step` in single precision, while not above `last`.
struct Range {
    float first = 0;
    float last = 0;
    float step = 1;

    // How many values the loop takes, counting no further than `cap` + 1.
    long count(long cap) const {
        long n = 0;
        for (float v = first; v <= last && n <= cap; v += step) {
            const float next = v + step;
            ++n;
            if (next == v) {
                // A step lost in the value's precision would never end the loop.
                return cap + 1;
            }
        }
        return n;
    }

    template <typename Visit> void forEach(long values, Visit visit) const {
        float v = first;
        for (long n = 0; n < values; ++n) {
            visit(v);
            v += step;
        }
    }
};

// One row or column on the screen: a dot at its first point, then a line from each point to the
// one before; a hidden point breaks it and the next point starts again with a dot.
class Trace {
public:
    explicit Trace(MapCanvas& canvas) : canvas_(canvas) {}
    void start() { drawing_ = false; }
    void add(bool visible, float x, float y) {
        if (!visible) {
            drawing_ = false;
            return;
        }
        if (drawing_) {
            canvas_.Line(x, y, previousX_, previousY_);
        } else {
            canvas_.PSet(x, y);
        }
        drawing_ = true;
        previousX_ = x;
        previousY_ = y;
    }

private:
    MapCanvas& canvas_;
    bool drawing_ = false;
    float previousX_ = 0;
    float previousY_ = 0;
};

} // namespace

float GridStart(float bound, float step) {
    const float v = std::floor(bound);
    if (v < 0.0F) {
        return std::floor(v / step) * step;
    }
    return std::floor(v / step) * step - step;
}

void DisplayGrid(CartoSession& session, MapCanvas& canvas, EpsOutput* file, int mode) {
    const MapDescription& map = session.map;
    const bool georeferenced = session.projection.ProjCode > 0;
    const bool asked = file == nullptr && mode == 1;
    if (asked) {
        const QString prompt =
            georeferenced
                ? QStringLiteral("Entrez le pas de la maille en degrés décimaux Greenwich.")
                : QStringLiteral("Entrez le pas de la maille.");
        const QString answer =
            platform::InputBox(prompt, QStringLiteral("Maille"), QStringLiteral("1"));
        session.gridStep = static_cast<float>(common::NumericValue(answer.toStdString()));
    }
    const float step = session.gridStep;
    if (!(step > 0.0F)) {
        return;
    }
    Range across;
    Range up;
    if (georeferenced) {
        const float s = radian(step);
        across = {radian(GridStart(map.LonWest, step)), radian(map.LonEast) + s, s};
        up = {radian(GridStart(map.LatSouth, step)), radian(map.LatNorth) + s, s};
    } else {
        across = {map.PlainXmin, map.PlainXmax, step};
        up = {map.PlainYmin, map.PlainYmax, step};
    }
    const long columns = across.count(kMaxGridPoints);
    const long rows = up.count(kMaxGridPoints);
    if (columns > kMaxGridPoints || rows > kMaxGridPoints ||
        (rows > 0 && columns > kMaxGridPoints / rows)) {
        if (asked) {
            session.gridStep = 0;
        }
        throw common::AppError(common::kInvalidCall,
                               "The graticule step " + common::CStrSingle(step) +
                                   " is too small for this map: it would give more than " +
                                   std::to_string(kMaxGridPoints) + " intersections");
    }
    if (file != nullptr) {
        file->line(std::string_view("0 sg .1 setlinewidth"));
    }
    canvas.setDrawStyle(kDot);
    const auto pointAt = [&](float lat, float lon, float& x, float& y) {
        if (georeferenced) {
            Project(session.projection, lat, lon, x, y);
        } else {
            x = lon;
            y = lat;
        }
        return !IsHiddenPoint(x) && std::isfinite(x) && std::isfinite(y);
    };
    Trace trace(canvas);
    std::string text;
    // Parallels; in a file, each intersection once.
    up.forEach(rows, [&](float lat) {
        trace.start();
        across.forEach(columns, [&](float lon) {
            float x = 0.0F;
            float y = 0.0F;
            const bool visible = pointAt(lat, lon, x, y);
            if (file == nullptr) {
                trace.add(visible, x, y);
            } else if (visible) {
                text = StrForm(file->page().px(x));
                text += ' ';
                text += StrForm(file->page().py(y));
                text += " m1";
                file->line(text);
            }
        });
    });
    // Meridians, on the screen only.
    if (file == nullptr) {
        across.forEach(columns, [&](float lon) {
            trace.start();
            up.forEach(rows, [&](float lat) {
                float x = 0.0F;
                float y = 0.0F;
                const bool visible = pointAt(lat, lon, x, y);
                trace.add(visible, x, y);
            });
        });
    }
    canvas.setDrawStyle(kSolid);
}

} // namespace cartography

#include "cartography/LayerDrawing.h"

#include "cartography/CartoSession.h"
#include "cartography/Polygon.h"
#include "cartography/core/Projection.h"
#include "common/AppError.h"

#include <cmath>
#include <system_error>

namespace cartography {

namespace {

constexpr OleColor kBlue = 0xFF0000;
constexpr OleColor kCyan = 0xFFFF00;

void SetPen(MapCanvas& canvas, char code, int style) {
    canvas.setForeColor(FeatureColor(code));
    canvas.setDrawStyle(LineDrawStyle(style));
    canvas.setDrawWidth(1);
}

} // namespace

OleColor FeatureColor(char code) {
    switch (code) {
    case 'R':
        return kBlue;
    case 'L':
        return kCyan;
    default:
        return 0;
    }
}

int LineDrawStyle(int style) {
    return style == 1 || style == 2 ? kSolid : kDash;
}

bool LineVisible(const LayerLine& line, const MapDescription& map) {
    const float north = map.LatNorth + 1.0F;
    const float south = map.LatSouth - 1.0F;
    return line.LatMin <= north && line.LatMax >= south && line.LonMin <= map.LonEast &&
           line.LonMax >= map.LonWest;
}

void Plot(LayerPlotState& state, Polygon& polygon, MapCanvas& canvas,
          const ProjectionState& projection, int pen, float latitude, float longitude, char code,
          int style) {
    // A map without projection leaves the point where the previous one was.
    float x = state.previousX;
    float y = state.previousY;
    if (std::isfinite(latitude) && std::isfinite(longitude)) {
        Project(projection, radian(latitude), radian(longitude), x, y);
    } else {
        // A vertex stored as a NaN or an infinity is no place: it breaks the line.
        x = kHiddenPoint;
        y = kHiddenPoint;
    }
    const std::string codeText(1, code);
    if (pen == -1) {
        // The finished line in its own pen, then the new line's pen whatever was drawn since.
        polygon.DrawZEB(canvas);
        SetPen(canvas, code, style);
    } else if (codeText != state.lastCode || style != state.lastStyle) {
        SetPen(canvas, code, style);
    }
    state.lastCode = codeText;
    state.lastStyle = style;
    polygon.Point(x, y);
    state.previousX = x;
    state.previousY = y;
}

void AfficheZEB(CartoSession& session, MapCanvas& canvas, const std::filesystem::path& file) {
    std::error_code missing;
    if (!std::filesystem::exists(file, missing)) {
        return;
    }
    Polygon& polygon = session.layerPolygon;
    polygon.Device(canvas);
    // A closed line is an outline: the solid fill the symbols leave on the canvas would otherwise
    // flood every island from the second drawing on.
    canvas.setFillStyle(kFillTransparent);
    try {
        LayerFileReader reader(file);
        // A layer's first vertex begins a line, and so sets the pen whatever the graticule or the
        // symbols of an earlier drawing left on the canvas.
        bool first = true;
        while (const auto line = reader.NextLine()) {
            if (!LineVisible(*line, session.map)) {
                continue;
            }
            const int style = line->Style();
            for (const LayerVertex& v : line->Vertices) {
                Plot(session.plot, polygon, canvas, session.projection, first ? -1 : v.Pen,
                     v.Latitude, v.Longitude, line->FeatureCode, style);
                first = false;
            }
        }
    } catch (const common::AppError& e) {
        polygon.DrawZEB(canvas);
        const std::string where = " (" + file.string() + ")";
        const std::string text = e.description();
        throw common::AppError(e.number(),
                               text.find(where) == std::string::npos ? text + where : text);
    }
    polygon.DrawZEB(canvas);
}

} // namespace cartography

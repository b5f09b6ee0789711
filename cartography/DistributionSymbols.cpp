#include "cartography/DistributionSymbols.h"

#include "cartography/CartoSession.h"
#include "cartography/EpsOutput.h"
#include "cartography/core/Projection.h"
#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/RecordSet.h"
#include "document/RowStream.h"
#include "maps/MapRecords.h"
#include "platform/ErrorBox.h"
#include "platform/FileReplacement.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace cartography {

namespace {

// What follows the radius on a symbol line: in colour, red, green and blue as fractions of 1.
std::string SymbolEnding(OleColor c, int mode) {
    if (mode != 1) {
        return " 0 s1";
    }
    std::string text(1, ' ');
    text.append(StrForm((c & 255) / 255.0));
    text.push_back(' ');
    text.append(StrForm(((c / 256) & 255) / 255.0));
    text.push_back(' ');
    text.append(StrForm(((c / 65536) & 255) / 255.0));
    text.append(" sc1");
    return text;
}

bool NoPosition(float lat, float lon) {
    return lat == 999.0F && lon == 999.0F;
}

} // namespace

float SymbolSize(const CartoSession& session) {
    const std::int32_t diameter = session.Options.SymbolDiameter();
    if (diameter == -1) {
        return session.extent.ExtentMax / 50.0F;
    }
    return static_cast<float>(diameter) / 1000.0F;
}

void PlotSymbol(CartoSession& session, MapCanvas& canvas, float x, float y, int type, float size,
                OleColor colour, int fill) {
    canvas.setFillColor(colour);
    canvas.setFillStyle(fill);
    const float h = size / 2.0F;
    const auto corners = [&](std::initializer_list<std::pair<float, float>> points) {
        Polygon& polygon = session.symbolPolygon;
        polygon.Device(canvas);
        for (const auto& [px, py] : points) {
            polygon.Point(px, py);
        }
        polygon.Draw(canvas);
    };
    switch (type) {
    case 1:
        canvas.Circle(x, y, h);
        break;
    case 2: {
        const float k = std::nearbyint(size / 8.0F);
        corners({{x - k, y + k},
                 {x - k, y + h},
                 {x + k, y + h},
                 {x + k, y + k},
                 {x + h, y + k},
                 {x + h, y - k},
                 {x + k, y - k},
                 {x + k, y - h},
                 {x - k, y - h},
                 {x - k, y - k},
                 {x - h, y - k},
                 {x - h, y + k}});
        break;
    }
    case 3: {
        const float k = std::nearbyint(size / 6.0F);
        corners({{x, y + k},
                 {x - k + h, y + h},
                 {x + h, y - k + h},
                 {x + k, y},
                 {x + h, y + k - h},
                 {x - k + h, y - h},
                 {x, y - k},
                 {x + k - h, y - h},
                 {x - h, y + k - h},
                 {x - k, y},
                 {x - h, y - k + h},
                 {x + k - h, y + h}});
        break;
    }
    case 4:
        corners({{x - h, y}, {x, y - h}, {x + h, y}, {x, y + h}});
        break;
    case 5:
        corners({{x - h, y - h}, {x + h, y - h}, {x + h, y + h}, {x - h, y + h}});
        break;
    case 6:
        corners({{x - h, y - h}, {x + h, y - h}, {x, y + h}});
        break;
    case 7:
        corners({{x - h, y + h}, {x, y - h}, {x + h, y + h}});
        break;
    default:
        break;
    }
}

void PlotDistri(CartoSession& session, MapCanvas& canvas, const maps::MapHost& host,
                EpsOutput* file, int mode) {
    try {
        const float size = SymbolSize(session);
        const document::RecordSet clone = document::Data1().recordset().clone();
        if (clone.recordCount() == 0) {
            platform::Beep();
            return;
        }
        if (session.projection.ProjCode == 0) {
            platform::MsgBox(QStringLiteral("This map is not georeferenced.\rMapping aborted"),
                             platform::Buttons::Ok, platform::Icon::Critical);
            return;
        }
        const OleColor colour = session.Options.SymbolColor();
        std::string radius;
        std::string ending;
        if (file != nullptr) {
            radius = StrForm(size / session.extent.ExtentMax * 500.0F / 2.0F);
            ending = SymbolEnding(colour, mode);
        }
        canvas.setDrawWidth(1);
        canvas.setForeColor(0);
        canvas.setDrawStyle(kSolid);
        const std::int64_t current = host.currentRow ? host.currentRow() : 0;
        const std::vector<std::int64_t> selected =
            host.selectedRows ? host.selectedRows() : std::vector<std::int64_t>{};
        const std::span<const std::int64_t> marks =
            selected.empty() ? std::span<const std::int64_t>(clone.bookmarks())
                             : std::span<const std::int64_t>(selected);
        document::RowStream rows(clone.database(), marks, {"LATITUDE", "LONGITUDE"});
        document::Record record;
        std::string text;
        while (rows.next(record)) {
            if (!record.LATITUDE || !record.LONGITUDE ||
                NoPosition(*record.LATITUDE, *record.LONGITUDE) ||
                !std::isfinite(*record.LATITUDE) || !std::isfinite(*record.LONGITUDE)) {
                continue;
            }
            float x = 0.0F;
            float y = 0.0F;
            Project(session.projection, radian(*record.LATITUDE), radian(*record.LONGITUDE), x, y);
            // The far side of an orthographic map has no place on the map or the page.
            if (IsHiddenPoint(x) || !std::isfinite(x) || !std::isfinite(y)) {
                continue;
            }
            if (file == nullptr) {
                PlotSymbol(session, canvas, x, y, 1, size, colour, kFillSolid);
                continue;
            }
            const PageGeometry& page = file->page();
            text = StrForm(page.px(x));
            text += ' ';
            text += StrForm(page.py(y));
            text += ' ';
            text += radius;
            text += ending;
            file->line(text);
        }
        platform::ResetCursor();
        if (current != 0 && host.setCurrentRow) {
            host.setCurrentRow(current);
        }
    } catch (const platform::FileWriteError&) {
        // A file that cannot be written ends the whole EPS file, not only its symbols.
        platform::ResetCursor();
        throw;
    } catch (const common::AppError& e) {
        platform::ResetCursor();
        if (e.number() != common::kObjectNotSet) {
            platform::ShowErrorOf(e);
        }
    } catch (const std::exception& e) {
        platform::ResetCursor();
        platform::ShowErrorOf(e);
    }
}

void ModifieCar(QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty()) {
        return;
    }
    text.replace(find, replacement, Qt::CaseSensitive);
}

} // namespace cartography

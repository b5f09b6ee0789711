#include "maps/RegionPlot.h"

#include "document/RowStream.h"
#include "geodesy/Angles.h"

#include <QPainter>

namespace maps {

bool DrawnPosition(float lat, float lon) {
    if (lat == 999.0F && lon == 999.0F) {
        return false;
    }
    return !(lat == 0.0F && lon == 0.0F);
}

PlotCount PlotRecords(RegionCanvas& canvas, const RegionProjection& projection,
                      SQLite::Database& db, std::span<const std::int64_t> bookmarks,
                      const RegionSymbols& symbols, float radiusKm, const PlotProgress& progress) {
    RegionCanvas::Stamps stamps(canvas, radiusKm);
    for (int slot = 0; slot < kPeriodSlots; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        stamps.set(slot, ColorOf(symbols.PeriodFillColor[i]),
                   BrushStyleOf(symbols.PeriodFillStyle[i]), ColorOf(symbols.MapStrokeColor));
    }
    document::RowStream rows(db, bookmarks, {"PERIOD", "LATITUDE", "LONGITUDE"});
    QPainter painter(&canvas.surface());
    PlotCount count;
    const double total = static_cast<double>(bookmarks.size());
    int lastPassed = 0;
    document::Record record;
    while (rows.next(record)) {
        if (!record.LATITUDE || !record.LONGITUDE) {
            continue;
        }
        float lat = static_cast<float>(geodesy::DegToRad(*record.LATITUDE));
        float lon = static_cast<float>(geodesy::DegToRad(*record.LONGITUDE));
        if (DrawnPosition(*record.LATITUDE, *record.LONGITUDE) && !stamps.empty()) {
            float x = 0.0F;
            float y = 0.0F;
            MapProject(projection, lat, lon, x, y);
            canvas.stamp(painter, stamps, PeriodSlot(record.PERIOD), x, y);
            ++count.drawn;
        }
        ++count.visited;
        const int pct = static_cast<int>(count.visited / total * 100.0);
        if (pct % 10 == 0 && pct != lastPassed) {
            lastPassed = pct;
            if (progress) {
                progress(pct);
            }
        }
    }
    return count;
}

} // namespace maps

#pragma once

// The symbols of the region maps: fill colour and pattern per period slot, outline colour, and the
// program-wide state of the maps (current region, patterns, the window's remembered choices).

#include "maps/RegionProjection.h"

#include <QBrush>
#include <QColor>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace maps {

// Slots of the period tables: periods 1 to 4.
inline constexpr int kPeriodSlots = 4;

struct RegionSymbols {
    std::array<std::int32_t, kPeriodSlots> PeriodFillColor{}; // 0x00BBGGRR; slot 3 stays black
    std::array<std::int16_t, kPeriodSlots> PeriodFillStyle{}; // pattern codes 0 to 7
    std::int32_t MapStrokeColor = 0;
};

// The slot of a record's period: below 1 and Null take the first slot, above the table the last.
int PeriodSlot(std::optional<std::int16_t> period);

// A colour value 0x00BBGGRR as a colour, and back.
QColor ColorOf(std::int32_t value);
std::int32_t ValueOf(const QColor& color);
// A fill pattern code (0 solid, 1 transparent, 2 to 7 hatchings) as a brush style.
Qt::BrushStyle BrushStyleOf(int pattern);

// The program-wide state of the region maps.
struct MapsState {
    // The current region, set by a region menu item and kept until the next one.
    QString MapBitmapPath;
    RegionProjection projection;
    RegionExtent extent;
    int regionRow = -1;
    // Patterns of the periods; not kept between runs, so they start solid.
    std::array<std::int16_t, kPeriodSlots> PeriodFillStyle{};
    // The region map window's choices, kept while the program runs.
    int ChosenPeriod = 0;
    bool PointsAdded = false;
};
MapsState& Maps();
void ResetMapsState();

// The symbols in force: the colours of the settings and the patterns of the maps' state.
RegionSymbols CurrentSymbols();

// Makes row `row` of the region table the current region, with its picture in `programFolder`.
void SelectRegion(int row, const QString& programFolder);

} // namespace maps

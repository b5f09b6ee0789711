#include "maps/RegionSymbols.h"

#include "platform/ProgramSettings.h"

#include <QDir>

namespace maps {

int PeriodSlot(std::optional<std::int16_t> period) {
    if (!period || *period < 1) {
        return 0;
    }
    return std::min<int>(*period, kPeriodSlots) - 1;
}

QColor ColorOf(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<int>(v & 0xFFU), static_cast<int>((v >> 8U) & 0xFFU),
            static_cast<int>((v >> 16U) & 0xFFU)};
}

std::int32_t ValueOf(const QColor& color) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(color.red()) |
                                     static_cast<std::uint32_t>(color.green()) << 8U |
                                     static_cast<std::uint32_t>(color.blue()) << 16U);
}

Qt::BrushStyle BrushStyleOf(int pattern) {
    switch (pattern) {
    case 1:
        return Qt::NoBrush;
    case 2:
        return Qt::HorPattern;
    case 3:
        return Qt::VerPattern;
    case 4:
        return Qt::BDiagPattern; // rising to the right
    case 5:
        return Qt::FDiagPattern; // falling to the right
    case 6:
        return Qt::CrossPattern;
    case 7:
        return Qt::DiagCrossPattern;
    default:
        return Qt::SolidPattern;
    }
}

MapsState& Maps() {
    static MapsState state;
    return state;
}

void ResetMapsState() {
    Maps() = MapsState{};
}

RegionSymbols CurrentSymbols() {
    const platform::ProgramSettings& settings = platform::Settings();
    RegionSymbols symbols;
    for (std::size_t i = 0; i < settings.PeriodFillColor.size(); ++i) {
        symbols.PeriodFillColor[i] = settings.PeriodFillColor[i];
    }
    symbols.PeriodFillStyle = Maps().PeriodFillStyle;
    symbols.MapStrokeColor = settings.MapStrokeColor;
    return symbols;
}

void SelectRegion(int row, const QString& programFolder) {
    const RegionRow& region = RegionTable().at(static_cast<std::size_t>(row));
    MapsState& state = Maps();
    state.MapBitmapPath = QDir(programFolder).filePath(QString::fromLatin1(region.pictureFile));
    state.projection = ProjectionOf(region);
    state.extent = ExtentOf(region, state.projection);
    state.regionRow = row;
}

} // namespace maps

#include "cartography/Redraw.h"

#include "cartography/CartoSession.h"
#include "cartography/DistributionSymbols.h"
#include "cartography/Graticule.h"
#include "cartography/LayerDrawing.h"
#include "cartography/MapCanvas.h"
#include "platform/WaitCursor.h"

#include <filesystem>
#include <optional>

namespace cartography {

void RedrawMap(CartoSession& session, MapCanvas& canvas, const maps::MapHost& host) {
    canvas.Cls();
    const std::int32_t layers = session.Options.LayerCount();
    if (layers > 0) {
        platform::WaitCursor wait;
        for (std::int32_t i = 1; i <= layers; ++i) {
            const std::optional<std::string> path =
                session.Options.Couche(static_cast<std::int16_t>(i));
            if (path && !path->empty()) {
                AfficheZEB(session, canvas, std::filesystem::path(*path));
            }
        }
    }
    if (session.GridShown) {
        DisplayGrid(session, canvas, nullptr, 0);
    }
    PlotDistri(session, canvas, host, nullptr, 0);
}

} // namespace cartography

#include "maps/GridLineExport.h"

#include "geodesy/NationalGridProjection.h"
#include "maps/MapFormats.h"

namespace maps {
namespace {

constexpr double kPointStep = 10000.0;

class Writer {
public:
    Writer(const GridArea& area, const GridLineDrawer& draw) : area_(area), draw_(draw) {}

    // One polyline from (e, n) in `steps` steps of (de, dn).
    void polyline(double e, double n, double de, double dn, int steps, const char* cls,
                  bool drawn) {
        for (int i = 0; i <= steps; ++i) {
            double lat = 0.0;
            double lon = 0.0;
            geodesy::GridToLatLon(area_.type, n + dn * i, e + de * i, lat, lon);
            text_ += i == 0 ? QStringLiteral("-1") : QStringLiteral(" 0");
            text_ += QLatin1Char(' ') + SignedDecimal(lat, 5) + QLatin1Char(' ') +
                     SignedDecimal(lon, 5) + QLatin1Char(':');
            if (i == 0) {
                text_ += QLatin1String(cls);
            }
            text_ += QStringLiteral("\r\n");
            if (drawn && draw_) {
                draw_(lat, lon, i == 0);
            }
        }
    }

    void lines(double step, const char* cls, bool drawn) {
        const int eSteps = Steps(area_.e0, area_.e1, kPointStep);
        const int nSteps = Steps(area_.n0, area_.n1, kPointStep);
        for (int k = 0; k <= Steps(area_.n0, area_.n1, step); ++k) {
            polyline(area_.e0, area_.n0 + step * k, kPointStep, 0.0, eSteps, cls, drawn);
        }
        for (int k = 0; k <= Steps(area_.e0, area_.e1, step); ++k) {
            polyline(area_.e0 + step * k, area_.n0, 0.0, kPointStep, nSteps, cls, drawn);
        }
    }

    void frame() {
        const int eSteps = Steps(area_.e0, area_.e1, kPointStep);
        const int nSteps = Steps(area_.n0, area_.n1, kPointStep);
        polyline(area_.e0, area_.n0, 0.0, kPointStep, nSteps, "G1", false);
        polyline(area_.e0, area_.n1, kPointStep, 0.0, eSteps, "G1", false);
        polyline(area_.e1, area_.n1, 0.0, -kPointStep, nSteps, "G1", false);
        polyline(area_.e1, area_.n0, -kPointStep, 0.0, eSteps, "G1", false);
    }

    QString take() { return std::move(text_); }

private:
    // The number of whole steps from a to b (both ends are on the grid of the step).
    static int Steps(double a, double b, double step) {
        return static_cast<int>((b - a) / step + 1e-9);
    }

    GridArea area_;
    const GridLineDrawer& draw_;
    QString text_;
};

} // namespace

GridArea GridAreaOf(int button) {
    // The area in the grid's own eastings and northings, moved into the projection coordinates of
    // the inverse conversion by the offsets of the grid's own definition (its ellipsoid, origin,
    // scale and false origin), so that every line lies on the grid line it stands for.
    struct Extent {
        int type;
        double e0, e1, n0, n1;
    };
    const Extent extent = button == 0 ? Extent{geodesy::kIrishGrid, 0, 400000, 0, 500000}
                                      : Extent{geodesy::kBritishGrid, -200000, 800000, 0, 1300000};
    const geodesy::NationalGridDef& def = *geodesy::FindNationalGrid(extent.type);
    return {extent.type, extent.e0 + def.eastingOffset, extent.e1 + def.eastingOffset,
            extent.n0 + def.northingK, extent.n1 + def.northingK};
}

QString GridLineText(int button, const GridLineDrawer& draw) {
    Writer writer(GridAreaOf(button), draw);
    writer.lines(10000.0, "G3", false);
    writer.lines(100000.0, "G2", true);
    writer.frame();
    return writer.take();
}

QString GridLinePrompt(int button) {
    return button == 0 ? QStringLiteral("File Name for the PRN Irish TM Grid")
                       : QStringLiteral("File Name for the PRN British National Grid");
}

} // namespace maps

#include "editor/CheckPanel.h"

#include "common/Numeric.h"
#include "editor/EditorTexts.h"
#include "geodesy/Angles.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Lambert72.h"
#include "geodesy/LambertConic.h"
#include "geodesy/Mgrs.h"
#include "geodesy/Molodensky.h"
#include "geodesy/NationalGrids.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"

#include <cmath>
#include <exception>
#include <string>

namespace editor {

namespace {

using geodesy::CoordSystem;

using geodesy::kDegreesPerGrade;
using geodesy::kParisMeridian;

struct LatLon {
    double lat = 0.0;
    double lon = 0.0;
};

// The position from the destination datum into datum `to`.
LatLon ShiftedTo(const LatLon& p, int to) {
    LatLon out;
    geodesy::ShiftDatum(p.lat, p.lon, 0.0, out.lat, out.lon, geodesy::Datums().DestIndex, to);
    return out;
}

int GridDatum(geodesy::GridDatum which) {
    return geodesy::Datums().GridDatums[static_cast<std::size_t>(which)];
}

// A kilometre text of a grid reference as whole metres, "00000".
QString GridMetres(const std::string& kilometres) {
    return FiveDigitText(std::floor(common::NumericValue(kilometres) * 1000.0));
}

QString GridReferenceText(int type, const LatLon& p) {
    std::string letters, east, north;
    geodesy::LatLonToGridRef(type, p.lat, p.lon, letters, east, north);
    return QString::fromStdString(letters) + QLatin1Char(' ') + GridMetres(east) +
           QLatin1Char(' ') + GridMetres(north);
}

// Plane metres cut down to the whole metre, three blanks between x and y.
QString FloorPair(double x, double y) {
    return WholeText(std::floor(x)) + QStringLiteral("   ") + WholeText(std::floor(y));
}

// The check panel's line in the input system.
QString InputSystemText(int mode, const LatLon& p) {
    switch (static_cast<CoordSystem>(mode)) {
    case CoordSystem::Grp: {
        const LatLon q = ShiftedTo(p, geodesy::Datums().InputDatum);
        return GeneralText(q.lat / kDegreesPerGrade) + QStringLiteral("  ") +
               GeneralText((q.lon - kParisMeridian) / kDegreesPerGrade);
    }
    case CoordSystem::Bng:
        return GridReferenceText(geodesy::kBritishGrid, ShiftedTo(p, GridDatum(geodesy::kOgbM)));
    case CoordSystem::Itm:
        return GridReferenceText(geodesy::kIrishGrid, ShiftedTo(p, GridDatum(geodesy::kIrl)));
    case CoordSystem::Lmb:
    case CoordSystem::Ifb: {
        const LatLon q = ShiftedTo(p, GridDatum(geodesy::kBel72));
        double x = 0, y = 0;
        geodesy::LatLonToLambert72(q.lat, q.lon, x, y);
        return FloorPair(x, y);
    }
    case CoordSystem::Lf1:
    case CoordSystem::Lf2:
    case CoordSystem::Lf3:
    case CoordSystem::Lf4:
    case CoordSystem::Lfe: {
        const LatLon q = ShiftedTo(p, GridDatum(geodesy::kNtf));
        double x = 0, y = 0;
        geodesy::LatLonToLambertFrance(q.lat, q.lon, x, y, static_cast<std::int16_t>(mode - 8));
        return FloorPair(x, y);
    }
    case CoordSystem::Nma:
    case CoordSystem::Sma: {
        const LatLon q = ShiftedTo(p, GridDatum(geodesy::kMer));
        double x = 0, y = 0;
        geodesy::LatLonToLambertAfrica(q.lat, q.lon, x, y, mode - 13);
        // The nearest whole metre, halves to the even one.
        return WholeText(std::nearbyint(x)) + QStringLiteral("   ") + WholeText(std::nearbyint(y));
    }
    default:
        return QString();
    }
}

} // namespace

QString DmsText(double degrees) {
    const geodesy::ShownDms dms = geodesy::DmsOfDegrees(degrees, 1);
    return (dms.negative ? QStringLiteral("-") : QString()) + GeneralText(dms.degrees) +
           QStringLiteral("° ") + GeneralText(dms.minutes) + QStringLiteral("' ") +
           SecondsText(dms.seconds());
}

void ControleRecalcul(EditorState& state) {
    LatLon p;
    p.lat = CommaValue(state.text(Control::ChampLatitude));
    p.lon = CommaValue(state.text(Control::ChampLongitude));
    state.setText(Control::ChampLatitude, SignedGeneralText(p.lat));
    state.setText(Control::ChampLongitude, SignedGeneralText(p.lon));

    state.ValeurDMS = DmsText(p.lat) + QLatin1Char(' ') + DmsText(p.lon);

    geodesy::DatumState& datums = geodesy::Datums();
    geodesy::SelectDatum(datums.UTMIndex);
    const LatLon utm = ShiftedTo(p, datums.UTMIndex);
    const double latRad = geodesy::DegToRad(utm.lat);
    const double lonRad = geodesy::DegToRad(utm.lon);
    if (latRad == 0.0 && lonRad == 0.0) {
        state.ValeurUtmMetrique.clear();
        state.ValeurUtmAlpha.clear();
        return;
    }
    int zone = 0;
    double northing = 0, easting = 0;
    std::string mgrs;
    geodesy::LatLonToMgrs(datums.EllipsoidA, datums.EllipsoidF, latRad, lonRad, zone, northing,
                          easting, mgrs, datums.Ellipsoid);
    state.ValeurUtmMetrique = QStringLiteral("E=") + GeneralText(easting) +
                              QStringLiteral("   N=") + GeneralText(northing);
    const QString reference = QString::fromStdString(mgrs);
    state.ValeurUtmAlpha = reference.mid(0, 2) + QLatin1Char(' ') + reference.mid(2, 1) +
                           QLatin1Char(' ') + reference.mid(3, 12);

    state.ValeurLibreVisible = true;
    state.ValeurLibre = InputSystemText(platform::Settings().InputMode, p);
}

void ControleRecalculGuarded(EditorState& state) {
    try {
        ControleRecalcul(state);
    } catch (const std::exception& error) {
        platform::ShowErrorOf(error);
    }
}

} // namespace editor

#include "maps/PointerReadout.h"

#include "common/Numeric.h"
#include "geodesy/Angles.h"
#include "geodesy/Lambert72.h"
#include "geodesy/Mgrs.h"
#include "geodesy/NationalGridProjection.h"
#include "geodesy/NationalGrids.h"
#include "maps/MapFormats.h"

#include <cmath>
#include <string>

namespace maps {
namespace {

// The International ellipsoid of the MGRS readout.
constexpr double kInternationalA = 6378388.0;
constexpr double kInternationalF = 1.0 / 297.0;
// The Paris meridian in single precision, as the readout computes.
constexpr auto kParisMeridian = static_cast<float>(geodesy::kParisMeridian);
constexpr auto kDegreesPerGrade = static_cast<float>(geodesy::kDegreesPerGrade);

QString WholeKm(const std::string& digits) {
    const double value = std::trunc(common::NumericValue(digits));
    return QString::number(static_cast<long long>(value)).rightJustified(2, QLatin1Char('0'));
}

} // namespace

GridReadout GridReadoutOf(const QString& bitmapPath) {
    const QString path = bitmapPath.toUpper();
    if (path.contains(QLatin1String("BRITISLE"))) {
        return GridReadout::BritishIsles;
    }
    if (path.contains(QLatin1String("BELGIUM"))) {
        return GridReadout::Belgium;
    }
    if (path.contains(QLatin1String("GAULE"))) {
        return GridReadout::Gaul;
    }
    return GridReadout::None;
}

QString LatLonTitle(double lat, double lon) {
    return QStringLiteral("Lat=") + SignedDecimal(lat, 2) + QStringLiteral(" / Lon=") +
           SignedDecimal(lon, lon < 0 ? 3 : 2);
}

QString MgrsTitlePart(double lat, double lon, int ellipsoid) {
    if (lat < -80.0 || lat > 84.0) {
        return {};
    }
    int zone = 0;
    double northing = 0.0;
    double easting = 0.0;
    std::string mgrs;
    geodesy::LatLonToMgrs(kInternationalA, kInternationalF, geodesy::DegToRad(lat),
                          geodesy::DegToRad(lon), zone, northing, easting, mgrs, ellipsoid);
    mgrs.resize(15, ' ');
    std::string square = mgrs.substr(3, 12);
    MapLabel(square);
    return QStringLiteral("  ") + QString::fromStdString(mgrs.substr(0, 2)) + QLatin1Char(' ') +
           QString::fromStdString(mgrs.substr(2, 1)) + QLatin1Char(' ') +
           QString::fromStdString(square);
}

QString NationalGridText(int type, double lat, double lon) {
    std::string letters;
    std::string e;
    std::string n;
    geodesy::LatLonToGridRef(type, lat, lon, letters, e, n);
    return QString::fromStdString(letters) + WholeKm(e) + WholeKm(n);
}

QString BelgianText(double lat, double lon) {
    double x = 0.0;
    double y = 0.0;
    geodesy::LatLonToLambert72(lat, lon, x, y);
    return QString::number(static_cast<long long>(std::trunc(x))) + QLatin1Char('\r') +
           QString::number(static_cast<long long>(std::trunc(y)));
}

QString GradeText(float lat, float lon) {
    const float gLat = lat / kDegreesPerGrade;
    const float gLon = (lon - kParisMeridian) / kDegreesPerGrade;
    return SignedFixed(gLat, QStringLiteral("+"), QStringLiteral("-"), 2, 3) + QLatin1Char('\r') +
           SignedFixed(gLon, QStringLiteral("+"), QStringLiteral("-"), 3, 3);
}

std::optional<PointerTexts> PointerReadout(const RegionProjection& projection, GridReadout grid,
                                           float x, float y, int ellipsoid) {
    const GeoPoint g = UnprojectKm(projection, x, y);
    if (geodesy::DegToRad(g.lat) == 0.0 && geodesy::DegToRad(g.lon) == 0.0) {
        return std::nullopt;
    }
    PointerTexts texts;
    texts.title = LatLonTitle(g.lat, g.lon) + MgrsTitlePart(g.lat, g.lon, ellipsoid);
    switch (grid) {
    case GridReadout::BritishIsles:
        texts.label0 = NationalGridText(geodesy::kBritishGrid, g.lat, g.lon);
        texts.label1 = NationalGridText(geodesy::kIrishGrid, g.lat, g.lon);
        break;
    case GridReadout::Belgium:
        texts.label0 = BelgianText(g.lat, g.lon);
        break;
    case GridReadout::Gaul:
        texts.label0 = GradeText(g.lat, g.lon);
        break;
    case GridReadout::None:
        break;
    }
    return texts;
}

} // namespace maps

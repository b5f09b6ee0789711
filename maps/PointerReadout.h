#pragma once

// What the region map window shows of the position under the pointer: the title with latitude,
// longitude and the 1 km MGRS square, and on three pictures a national grid readout.

#include "maps/RegionProjection.h"

#include <QString>
#include <optional>

namespace maps {

// The national grid readout a picture offers, from its upper-case path: the first of
// "BRITISLE", "BELGIUM", "GAULE" that it contains.
enum class GridReadout { None, BritishIsles, Belgium, Gaul };
GridReadout GridReadoutOf(const QString& bitmapPath);

struct PointerTexts {
    QString title;
    std::optional<QString> label0; // written only when set
    std::optional<QString> label1;
};

// The texts for the pointer at (x, y) km of the region plane; nothing when the position is
// latitude 0 and longitude 0 exactly (the texts then keep what they showed). `ellipsoid` chooses
// the lettering of the MGRS squares. The grid texts hold a carriage return between their two
// lines.
std::optional<PointerTexts> PointerReadout(const RegionProjection& projection, GridReadout grid,
                                           float x, float y, int ellipsoid);

// The parts of the readout, for their own tests.
QString LatLonTitle(double lat, double lon);
// Two blanks, zone, blank, band, blank and the 1 km square; empty outside -80..84 degrees.
QString MgrsTitlePart(double lat, double lon, int ellipsoid);
QString NationalGridText(int type, double lat, double lon);
QString BelgianText(double lat, double lon);
// Paris grades; the longitude east-positive like the grade coordinates typed into a record.
QString GradeText(float lat, float lon);

} // namespace maps

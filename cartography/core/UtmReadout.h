#pragma once

// The pointer readout of the cartography window: latitude, longitude and the lettered UTM
// reference (100 m) computed on the International ellipsoid with its own series, or the map
// coordinates on a map without projection.

#include "cartography/core/Projection.h"

#include <string>

namespace cartography {

// The meridian-arc constants of the International ellipsoid (double precision).
struct UtmConstants {
    double EPrime2 = 0; // e'^2
    double C = 0;       // a^2 / b
    double A = 0;
    double B = 0;
    double Cc = 0; // the series' "C"
    double D = 0;
};
UtmConstants InitUtm();

struct UtmPosition {
    float Northing = 0;    // metres
    float Easting = 0;     // metres
    std::string Reference; // " 31U ES 123 456"; "" above 84 or below -80 degrees
};
// Latitude and longitude in degrees.
UtmPosition UTM(const UtmConstants& constants, float lat, float lon);

// "lat=" / "lon=" with the degrees as "00.000".
std::string LatitudeText(float degrees);
std::string LongitudeText(float degrees);
// "X:" / "Y:" followed by the value with a leading blank when it is not negative.
std::string PlainXText(float x);
std::string PlainYText(float y);

struct ReadoutPanels {
    std::string Panel1;
    std::string Panel2;
    std::string Panel3;
};
// The three status panels for a pointer at x, y (the picture's user units). A position the
// projection cannot turn back into a latitude and longitude gives three empty panels.
ReadoutPanels PointerReadout(const ProjectionState& state, const UtmConstants& constants, float x,
                             float y);

} // namespace cartography

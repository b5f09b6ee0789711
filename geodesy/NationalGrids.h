#pragma once

// Lettered references of the British National Grid ("bng", datum "OGB-M") and of the Irish grid
// ("itm", datum "IRL"). A reference travels as three texts: the letters (British: 500 km letter and
// 100 km letter, "TQ"; Irish: "I" and the 100 km letter, "IO") and the easting and northing offsets
// from the south-west corner of the 100 km square, in kilometres ("34.56781", "05").
//
// Letter comparisons are exact: a lower-case letter is not recognised.

#include "geodesy/NationalGridProjection.h"

#include <span>
#include <string>
#include <string_view>

namespace geodesy {

// British letters and offsets in km to projection coordinates (see NationalGridProjection.h).
// A first or second letter that the tables do not hold gives E' = N' = 0; a missing letter reads as
// the first of its table (so "S" and "" read as square SV). Returns true only for exactly two
// recognised letters, so that a caller can refuse a reference without two valid square letters.
bool BngLettersToEN(std::string_view letters, double e_km, double n_km, double& easting,
                    double& northing);

// Irish letters ("I" and the 100 km letter; the first character is not examined) and offsets in km
// to projection coordinates. Note the order: northing before easting. A second letter that the
// table does not hold, or a missing one, reads as square "V". Returns true only when letters has
// two characters and the second is a square letter.
bool IrishLetterToEN(std::string_view letters, double n_km, double e_km, double& northing,
                     double& easting);

// Latitude and longitude in degrees, in the grid's datum, to a lettered reference of grid `type`
// (kBritishGrid or kIrishGrid). All three texts are empty when the point lies outside the lettered
// squares or cannot be projected.
void LatLonToGridRef(int type, double lat, double lon, std::string& letters, std::string& eDigits,
                     std::string& nDigits);

// The lettering step of LatLonToGridRef, from grid easting and northing in metres. A point on a
// 100 km line belongs to the square to its north or east.
void GridRefFromGridEN(int type, double easting, double northing, std::string& letters,
                       std::string& eDigits, std::string& nDigits);

// LatLonToGridRef over arrays of one length, the projection in the vectorised loop of
// batch::LatLonToGrid: the texts of point i are those LatLonToGridRef gives for it. Error 5 for
// arrays of different lengths.
namespace batch {
void LatLonToGridRef(int type, std::span<const double> lat, std::span<const double> lon,
                     std::span<std::string> letters, std::span<std::string> eDigits,
                     std::span<std::string> nDigits);
} // namespace batch

} // namespace geodesy

#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace geodesy {

// Turns a coordinate text (trimmed and upper-cased by the caller: "UTM 31 571670 5539221") into a
// latitude and longitude in decimal degrees, north and east positive, in the datum `datum` (an
// index of DatumTable), or both InvalidCoord when the text gives no position: an unknown code, a
// missing value, a UTM or MGRS zone outside 1 to 60, an MGRS reference that MgrsToLatLon refuses,
// grid letters that name no square, a digit group that cannot be completed to five plus five
// digits, an IFBL code that names no square, or a zero plane coordinate.
//
// The datum's ellipsoid becomes the current one first (error 9 for an index outside the table,
// raised before anything else is written); `code` then receives the first three characters of the
// text. An arithmetic fault of a conversion (a value too large for any grid) raises its error; lat
// and lon are written only on success, never NaN or infinite.
void ParseCoordinates(std::string text, std::int16_t datum, double& lat, double& lon,
                      std::string& code);

namespace batch {
// ParseCoordinates over arrays of one length: text i in the datum datums[i]. lat[i] and lon[i] are
// what ParseCoordinates gives for text i (InvalidCoord for no position), to a few micrometres;
// the datum of the last text is the current one afterwards. Texts are read in blocks and the points
// of a block converted together: an error of a conversion is raised once its block is read, one
// of reading at its text. Error 5 for arrays of different lengths.
void ParseCoordinates(std::span<const std::string> texts, std::span<const std::int16_t> datums,
                      std::span<double> lat, std::span<double> lon);
} // namespace batch

} // namespace geodesy

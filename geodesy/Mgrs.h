#pragma once

#include <span>
#include <string>

// MGRS references: UTM zone, latitude band letter, two letters of the 100 km square and five plus
// five digits in metres. Angles in radians, lengths in metres; the ellipsoid comes as a and f, and
// its ELLI_ID chooses the lettering (AA or AL). Polar references (UPS) are not supported.

namespace geodesy {

// Messages written in place of a reference.
inline constexpr const char* kMgrsSouthPolar = "S  POLAR REGION";
inline constexpr const char* kMgrsNorthPolar = "N  POLAR REGION";
inline constexpr const char* kMgrsNotValid = "MGRS  NOT VALID";
inline constexpr const char* kMgrsUtmError = "   UTM ERROR";
inline constexpr const char* kMgrsInvalid = " INVALID MGRS  ";
inline constexpr const char* kMgrsEllipsoidNA = " ELLIPSOID N/A  ";
inline constexpr const char* kMgrsOutsideRange = " OUTSIDE RANGE ";

// The UTM zone, northing and easting of a point (with the zones of Norway and Svalbard) and its
// 15-character reference, or one of the messages above in `mgrs`. Digits are the easting and
// northing rounded to the nearest metre. Arithmetic faults of the projection raise their errors.
void LatLonToMgrs(double a, double f, double lat, double lon, int& zone, double& northing,
                  double& easting, std::string& mgrs, int ellipsoid);

// Decodes a 15-character reference (five plus five digits). status 0 on success; status 1 when the
// reference is refused, `mgrs` then holding the message (kMgrsInvalid, kMgrsEllipsoidNA,
// kMgrsOutsideRange). Error 5 for a text of fewer than five characters.
void MgrsToLatLon(std::string& mgrs, int ellipsoid, double a, double f, double& lat, double& lon,
                  int& zone, double& northing, double& easting, int& status);

// The reference of a point whose latitude, zone, northing and easting are known.
void UtmToMgrs(double lat, int zone, double northing, double easting, std::string& mgrs,
               int ellipsoid);

// Latitude band (index of its letter; found from lat when band is 0 on entry) with its south and
// north limits, and the west and east limits of the zone in that band, in radians.
void MgrsBandLimits(int& band, double lat, int zone, double& south, double& north, double& east,
                    double& west);

// First column letter and row offset (metres) of the zone's set in the lettering of the ellipsoid;
// refused = 1 for an ELLI_ID that no lettering covers.
void MgrsSquareLetters(int zone, int& firstColumn, double& rowOffset, int ellipsoid, int& refused);

// batch::*: the same over arrays of one length, the projection in the vectorised loops of the UTM
// batches: point i of the outputs is what the one-point function gives for point i, to a few
// micrometres in the coordinates. MgrsToLatLon writes each northing positive. A point that
// function raises an error for raises it once the loop has run. Error 5 for arrays of different
// lengths.
namespace batch {
void LatLonToMgrs(double a, double f, std::span<const double> lat, std::span<const double> lon,
                  std::span<int> zone, std::span<double> northing, std::span<double> easting,
                  std::span<std::string> mgrs, int ellipsoid);
void MgrsToLatLon(std::span<std::string> mgrs, int ellipsoid, double a, double f,
                  std::span<double> lat, std::span<double> lon, std::span<int> zone,
                  std::span<double> northing, std::span<double> easting, std::span<int> status);
} // namespace batch

} // namespace geodesy

#pragma once

// Transverse Mercator of the British National Grid (OSGB 1936, Airy 1830; EPSG:27700) and of the
// Irish grid (TM65, Modified Airy; EPSG:29902), in double precision throughout.
//
// The projection is Krüger's series in the third flattening (the formulation PROJ and
// GeographicLib use), exact to well under a millimetre over both grids and far beyond them. The
// footpoint latitude of the inverse comes from a series too, so no step iterates.
//
// Two kinds of plane coordinates are handed around:
// - grid coordinates: the usual easting and northing of the grid, in metres from its false origin;
// - projection coordinates (E', N'), used between the letter routines and GridToLatLon:
//   E' = grid easting + 500,000 - false easting (500,000 m on the central meridian) and
//   N' = grid northing + K, the scaled meridian distance from the equator.

#include <span>

namespace geodesy {

// Grid types as the callers pass them.
inline constexpr int kIrishGrid = 0;
inline constexpr int kBritishGrid = 1;

// One national grid: its ellipsoid, its EPSG projection parameters and the derived offsets.
struct NationalGridDef {
    double a;             // semi-major axis, metres
    double inverseF;      // inverse flattening
    double lat0, lon0;    // natural origin, degrees
    double k0;            // scale factor on the central meridian
    double falseEasting;  // metres
    double falseNorthing; // metres
    double eastingOffset; // 500,000 - false easting: E' = grid easting + eastingOffset
    double northingK;     // k0 x meridian distance to lat0 - false northing: N' = grid northing + K
};

// The definition of grid `type` (kIrishGrid or kBritishGrid); nullptr for any other type.
const NationalGridDef* FindNationalGrid(int type);

// Forward projection: latitude and longitude in degrees, in the grid's datum ("OGB-M" or "IRL"),
// to grid easting and northing in metres. Error 11 for a type other than 0 and 1 (no grid
// constants), error 5 for a latitude beyond +-90 degrees, error 6 for a value that is not a finite
// number or a point too far from the central meridian to project.
void LatLonToGrid(int type, double lat, double lon, double& easting, double& northing);

// Inverse projection from projection coordinates (northing first) to latitude and longitude in
// degrees, positive north and east, longitude in -180..180. Error 11 for a type other than 0 and 1,
// error 6 for a value that is not a finite number or a point too far off the grid to invert.
void GridToLatLon(int type, double northing, double easting, double& lat, double& lon);

// batch::*: the same over arrays of one length, in loops the compiler vectorises: point i of the
// outputs is what the one-point function gives for point i of the inputs, to a few micrometres. A
// point that function refuses raises its error once the loop has run, so the points before it are
// converted. Error 5 for arrays of different lengths.
namespace batch {
void LatLonToGrid(int type, std::span<const double> lat, std::span<const double> lon,
                  std::span<double> easting, std::span<double> northing);
void GridToLatLon(int type, std::span<const double> northing, std::span<const double> easting,
                  std::span<double> lat, std::span<double> lon);
} // namespace batch

} // namespace geodesy

#pragma once

// The fourteen region maps: their table, and the cylindrical projections of a sphere that place a
// position on a region's picture. Plain C++ with no Qt, so that the tool that draws the pictures
// uses exactly the projection the program plots with.

#include <array>
#include <string>

namespace maps {

// Radius of the sphere of every region projection, in metres.
inline constexpr double kRegionRadius = 6378388.0;

// One row of the region table. Angles in degrees, longitudes east-positive.
struct RegionRow {
    const char* pictureFile;  // file name in the program folder, e.g. "europe.bmp"
    double centralMeridian;   // lambda0
    double referenceLatitude; // phi0
    int type;                 // 1 equirectangular, 2 cylindrical stereographic
    double southLat, westLon; // south-west corner
    double northLat, eastLon; // north-east corner
    int captionId;            // string id of the menu item (French; plus the language offset)
};

// The table in menu order: the world, the eight European regions (menu array indexes 0 to 7),
// Asia + Europe, Africa, North America, South America, Asia + Oceania.
inline constexpr int kRegionCount = 14;
const std::array<RegionRow, kRegionCount>& RegionTable();
// Row of the world item, of Europe item `index` (0 to 7), of the five continental items.
inline constexpr int kWorldRow = 0;
inline constexpr int EuropeRow(int index) {
    return 1 + index;
}
inline constexpr int kBritishIslesRow = EuropeRow(5);

// The projection of the current region: central meridian in radians, factor (type 1: R cos phi0 in
// metres; type 2: cos phi0) and type, each held as the program holds it (single precision).
struct RegionProjection {
    float MapCentralMeridian = 0.0F;
    float MapProjFactor = 0.0F;
    int MapProjType = 0;
};

// The projection of a table row.
RegionProjection ProjectionOf(const RegionRow& row);

// Latitude and longitude in radians to kilometres of the region plane (x east, y north). `lon` is
// left holding lon - lambda0. Longitudes are not wrapped: a longitude beyond the meridian opposite
// lambda0 lands outside the picture rather than on its other side.
void MapProject(const RegionProjection& projection, float& lat, float& lon, float& x, float& y);
// Kilometres of the region plane to latitude and longitude in degrees; `x` and `y` are left in
// metres.
void MapUnproject(const RegionProjection& projection, float& x, float& y, float& lat, float& lon);

// Value forms of the pair for callers that do not need the side effects.
struct PlanePoint {
    float x = 0.0F;
    float y = 0.0F;
};
PlanePoint ProjectDegrees(const RegionProjection& projection, double latDeg, double lonDeg);
struct GeoPoint {
    float lat = 0.0F;
    float lon = 0.0F;
};
GeoPoint UnprojectKm(const RegionProjection& projection, float x, float y);

// The rectangle of a region in its plane: (x1, y1) the projected south-west corner, (x2, y2) the
// north-east one. The picture's top-left corner is (x1, y2).
struct RegionExtent {
    float x1 = 0.0F, y1 = 0.0F, x2 = 0.0F, y2 = 0.0F;
    float width() const { return x2 - x1; }
    float height() const { return y2 - y1; }
};
RegionExtent ExtentOf(const RegionRow& row, const RegionProjection& projection);

// The 1 km MGRS square of a 12-character square reference (two letters, five easting and five
// northing digits): the letters, two easting digits, a blank and two northing digits. Rewrites
// `ref` in place; a shorter text keeps what it has of those characters.
void MapLabel(std::string& ref);

// The symbol diameter in kilometres: `diameter` itself, or a fiftieth of the region's width when it
// is exactly -1 (automatic).
float SymbolDiameter(float diameter, float scaleWidth);

} // namespace maps

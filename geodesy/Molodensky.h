#pragma once

// Datum shifts by the standard Molodensky formulas, always through WGS84. Angles in decimal
// degrees, heights in metres (no height is returned). The datum parameters and ellipsoids are read
// from the loaded DatumTable and EllipsoidTable by index; error 9 for an index outside them.
// Every result is a position a file can hold: latitude in -90..90, longitude in -180..180 (a shift
// across a pole comes down the other side); a pole stays the pole with the longitude it was given.

#include <span>

namespace geodesy {

// WGS84 as the shift with caller-given parameters uses it.
inline constexpr double kWgs84A = 6378137.0;
inline constexpr double kWgs84InverseFlattening = 298.257223563;
inline constexpr double kWgs84InverseFlatteningShort = 298.25722356; // where df is 0

// One step of a shift: the parameters (WGS84 minus the local datum, signed by the direction) and
// the ellipsoid the step starts on.
struct MolodenskyStep {
    double dx = 0.0, dy = 0.0, dz = 0.0, da = 0.0, df = 0.0;
    double a = 0.0, f = 0.0;
    double e2 = 0.0;              // 2f - f^2
    double daE2OverA = 0.0;       // da e2 / a
    double inverseOneLessF = 0.0; // 1 / (1 - f)
    double oneLessF = 0.0;        // 1 - f
    double aOneLessE2 = 0.0;      // a (1 - e2)
};

// The shift from datum index `from` to datum index `to` through WGS84 (one step when `to` is the
// datum coded "WGS84"), with what it reads from the datum tables looked up once: built once for a
// run of points between the same two datums, it shifts each with Apply, as ShiftDatum does. Error 9
// for an index outside the tables. The tables must not change while it is in use.
class DatumShift {
public:
    DatumShift(int from, int to);
    // from == to returns the input unchanged.
    void Apply(double lat, double lon, double h, double& latOut, double& lonOut) const;

private:
    int steps_ = 0; // 0 (the same datum), 1 or 2
    MolodenskyStep first_, second_;
};

// From datum index `from` to datum index `to`: DatumShift(from, to).Apply(lat, lon, h, ...).
void ShiftDatum(double lat, double lon, double h, double& latOut, double& lonOut, int from, int to);

// One step with the parameters of DatumTable(datum) on its own ellipsoid: direction +1 from the
// datum to WGS84, -1 from WGS84 to the datum (all five parameters negated).
void MolodenskyTable(double lat, double lon, double h, double& latOut, double& lonOut, int datum,
                     int direction);

// One step to WGS84 with parameters given by the caller (dx, dy, dz, da, df: WGS84 minus the local
// datum). The local ellipsoid is derived from WGS84 and the differences: a = 6378137 - da,
// f = 1/298.257223563 - df (1/298.25722356 when df is 0).
void MolodenskyParams(double lat, double lon, double h, double da, double df, double dx, double dy,
                      double dz, double& latOut, double& lonOut);

namespace batch {
// ShiftDatum with h = 0 over arrays of one length, in a loop the compiler vectorises, with the
// pair's constants derived once: point i of the outputs is what ShiftDatum gives for point i, to
// rounding. Error 5 for arrays of different lengths; the errors of ShiftDatum otherwise.
void ShiftDatum(std::span<const double> lat, std::span<const double> lon, std::span<double> latOut,
                std::span<double> lonOut, int from, int to);
} // namespace batch

} // namespace geodesy

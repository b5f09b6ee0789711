#pragma once

// A datum table filled in code for the fuzz targets and the parser benchmark: the datums of the
// coordinate systems with a grid (and their ellipsoids), without the generated datum database.

#include "geodesy/DatumTables.h"

#include <cstdint>

namespace fuzzsupport {

// A datum on ellipsoid `ellipsoid`, usable as destination, with its shift to WGS84 in metres.
inline geodesy::DatumRec Datum(const char* code, std::int16_t ellipsoid, double dx = 0,
                               double dy = 0, double dz = 0) {
    geodesy::DatumRec d;
    d.Code = geodesy::FixedCode(code);
    d.ELLI_ID = ellipsoid;
    d.dx = dx;
    d.dy = dy;
    d.dz = dz;
    d.Use = 4;
    return d;
}

// Whether the grid datums carry their shifts to WGS84 or none.
enum class Shifts { None, ToWgs84 };

// Resets the datum state, then fills ellipsoids 1 to 5 and the grid datums EUR-M, NTF, OGB-M, IRL,
// BEL72 and MER as datums 1 to 6. Callers append their own rows and then mark the table filled.
inline geodesy::DatumState& FillGridDatums(Shifts shifts) {
    geodesy::ResetDatumState();
    auto& state = geodesy::Datums();
    state.EllipsoidTable.resize(1);
    state.EllipsoidTable.push_back({1, "AA", "Airy 1830", 6377563.396, 299.3249646});
    state.EllipsoidTable.push_back({2, "AM", "Modified Airy", 6377340.189, 299.3249646});
    state.EllipsoidTable.push_back({3, "CG", "Clarke 1880 (IGN)", 6378249.2, 293.466021293627});
    state.EllipsoidTable.push_back({4, "IN", "International 1924", 6378388, 297});
    state.EllipsoidTable.push_back({5, "CD", "Clarke 1880", 6378249.145, 293.465});
    const bool shifted = shifts == Shifts::ToWgs84;
    const auto grid = [shifted](const char* code, std::int16_t ellipsoid, double dx, double dy,
                                double dz) {
        return shifted ? Datum(code, ellipsoid, dx, dy, dz) : Datum(code, ellipsoid);
    };
    state.DatumTable.resize(1);
    state.DatumTable.push_back(grid("EUR-M", 4, -87, -98, -121)); // 1
    state.DatumTable.push_back(grid("NTF", 3, -168, -60, 320));   // 2
    state.DatumTable.push_back(grid("OGB-M", 1, 375, -111, 431)); // 3
    state.DatumTable.push_back(grid("IRL", 2, 506, -122, 611));   // 4
    state.DatumTable.push_back(grid("BEL72", 4, -106, 52, -104)); // 5
    state.DatumTable.push_back(grid("MER", 5, 31, 146, 47));      // 6
    return state;
}

// Appends WGS 1984 as ellipsoid 6 and WGS84 on it as the next datum.
inline void AddWgs84(geodesy::DatumState& state) {
    state.EllipsoidTable.push_back({6, "WE", "WGS 1984", 6378137, 298.257223563});
    state.DatumTable.push_back(Datum("WGS84", 6));
}

} // namespace fuzzsupport

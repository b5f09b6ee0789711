#pragma once

#include "geodesy/DatumTables.h"

#include <string>

namespace app_test {

// A small datum table: EUR-M (destination), NTF (UTM allowed), ABC (degrees only), WGS84.
inline void FillSmallDatumTable() {
    geodesy::ResetDatumState();
    geodesy::DatumState& state = geodesy::Datums();
    state.EllipsoidTable.push_back({1, "AA", "Airy 1830", 6377563.396, 299.3249646});
    state.EllipsoidTable.push_back({2, "IN", "International 1924", 6378388.0, 297.0});
    state.EllipsoidTable.push_back({3, "WE", "WGS 84", 6378137.0, 298.257223563});
    const auto add = [&state](const std::string& code, const std::string& name, double dx,
                              std::int16_t use, std::int16_t ellipsoid) {
        geodesy::DatumRec datum;
        datum.Code = geodesy::FixedCode(code);
        datum.Name = name;
        datum.Applic = "Area of " + name;
        datum.dx = dx;
        datum.dy = -98;
        datum.dz = 121.5;
        datum.Use = use;
        datum.ELLI_ID = ellipsoid;
        state.DatumTable.push_back(datum);
        geodesy::NoteSystemDatum(datum, static_cast<std::int16_t>(state.datumCount()));
    };
    add("ABC", "Alpha", 12, 1, 2);
    add("EUR-M", "European 1950", -87, 4, 2);
    add("NTF", "Nouvelle Triangulation", -168, 2, 2);
    add("WGS84", "World Geodetic System 1984", 0, 4, 3);
    state.datumTableFilled = true;
}

} // namespace app_test

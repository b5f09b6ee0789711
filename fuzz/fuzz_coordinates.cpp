// Arbitrary coordinate texts through the parser (every system code), the grid-digit routines and
// the MGRS decoder. Numbered errors (5, 6, 9, 11) are the expected way to refuse a value; any other
// exception, a sanitizer report or a result that is not a finite number is a finding.
#include "common/AppError.h"
#include "fuzz/support/Check.h"
#include "fuzz/support/GridDatums.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "geodesy/GridDigits.h"
#include "geodesy/Mgrs.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

// A small datum table, filled in code: the grid datums, WGS84, and a datum whose ellipsoid no MGRS
// lettering covers.
void FillDatums() {
    auto& state = fuzzsupport::FillGridDatums(fuzzsupport::Shifts::None);
    fuzzsupport::AddWgs84(state);
    state.EllipsoidTable.push_back({7, "CC", "Clarke 1866", 6378206.4, 294.9786982});
    state.EllipsoidTable.push_back({8, "EA", "Everest (India 1830)", 6377276.345, 300.8017});
    state.EllipsoidTable.push_back({9, "EB", "Everest (Sabah)", 6377298.556, 300.8017});
    state.DatumTable.push_back(fuzzsupport::Datum("NAS-C", 7));
    state.DatumTable.push_back(fuzzsupport::Datum("TIL", 9));
    state.datumTableFilled = true;
}

using fuzzsupport::Check;

template <typename Call> void Guarded(Call&& call) {
    try {
        call();
    } catch (const common::AppError& e) {
        const int n = e.number();
        Check(n == common::kInvalidCall || n == common::kOverflow || n == common::kSubscript ||
              n == common::kDivisionByZero);
    }
}

constexpr int kMgrsEllipsoids[] = {15, 4, 5, 6, 9, 0, 21, 23};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool filled = (FillDatums(), true);
    (void)filled;
    if (size < 2) {
        return 0;
    }
    const std::uint8_t system = data[0];
    const std::uint8_t choice = data[1];
    const std::string body(reinterpret_cast<const char*>(data + 2), size - 2);

    // The parser: a system code (or none) in front of the text, in any datum, 0 and one past the
    // table included.
    std::string text = body;
    if (system % 17 < geodesy::kCoordSystemCount) {
        const auto code =
            geodesy::CoordSystemComparedCode(static_cast<geodesy::CoordSystem>(system % 17));
        text = std::string(code) + (system & 0x80 ? "  " : " ") + body;
    }
    const int datum = choice % (geodesy::Datums().datumCount() + 2);
    Guarded([&] {
        double lat = 0, lon = 0;
        std::string code;
        geodesy::ParseCoordinates(text, static_cast<std::int16_t>(datum), lat, lon, code);
        Check(std::isfinite(lat) && std::isfinite(lon));
        Check(code == text.substr(0, 3));
    });

    Guarded([&] {
        std::string ref = body;
        geodesy::ExpandGridDigits(ref);
    });
    Guarded([&] {
        std::string ref = body;
        geodesy::TryExpandGridDigits(ref);
    });
    Guarded([&] {
        std::string ref = body;
        geodesy::SnapGridPrecision(ref, choice % 10 - 1);
    });
    Guarded([&] {
        std::string ref = body;
        const int ellipsoid = kMgrsEllipsoids[choice % 8];
        const auto& e = geodesy::Datums().EllipsoidTable[1 + system % 9];
        double lat = 0, lon = 0, northing = 0, easting = 0;
        int zone = 0, status = 0;
        geodesy::MgrsToLatLon(ref, ellipsoid, e.A, 1.0 / e.f_Inv, lat, lon, zone, northing, easting,
                              status);
        if (status == 0) {
            Check(std::isfinite(lat) && std::isfinite(lon) && std::isfinite(northing) &&
                  std::isfinite(easting));
        }
    });
    return 0;
}

// Arbitrary coordinate texts through the parser (every system code), the grid-digit routines and
// the MGRS decoder. Numbered errors (5, 6, 9, 11) are the expected way to refuse a value; any other
// exception, a sanitizer report or a result that is not a finite number is a finding.
#include "common/AppError.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "geodesy/GridDigits.h"
#include "geodesy/Mgrs.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// A small datum table, filled in code: the grid datums, WGS84, and a datum whose ellipsoid no MGRS
// lettering covers.
void FillDatums() {
    geodesy::ResetDatumState();
    auto& state = geodesy::Datums();
    state.EllipsoidTable.resize(1);
    state.EllipsoidTable.push_back({1, "AA", "Airy 1830", 6377563.396, 299.3249646});
    state.EllipsoidTable.push_back({2, "AM", "Modified Airy", 6377340.189, 299.3249646});
    state.EllipsoidTable.push_back({3, "CG", "Clarke 1880 (IGN)", 6378249.2, 293.466021293627});
    state.EllipsoidTable.push_back({4, "IN", "International 1924", 6378388, 297});
    state.EllipsoidTable.push_back({5, "CD", "Clarke 1880", 6378249.145, 293.465});
    state.EllipsoidTable.push_back({6, "WE", "WGS 1984", 6378137, 298.257223563});
    state.EllipsoidTable.push_back({7, "CC", "Clarke 1866", 6378206.4, 294.9786982});
    state.EllipsoidTable.push_back({8, "EA", "Everest (India 1830)", 6377276.345, 300.8017});
    state.EllipsoidTable.push_back({9, "EB", "Everest (Sabah)", 6377298.556, 300.8017});
    const auto datum = [](const char* code, std::int16_t ellipsoid) {
        geodesy::DatumRec d;
        d.Code = geodesy::FixedCode(code);
        d.ELLI_ID = ellipsoid;
        d.Use = 4;
        return d;
    };
    state.DatumTable.resize(1);
    state.DatumTable.push_back(datum("EUR-M", 4));
    state.DatumTable.push_back(datum("NTF", 3));
    state.DatumTable.push_back(datum("OGB-M", 1));
    state.DatumTable.push_back(datum("IRL", 2));
    state.DatumTable.push_back(datum("BEL72", 4));
    state.DatumTable.push_back(datum("MER", 5));
    state.DatumTable.push_back(datum("WGS84", 6));
    state.DatumTable.push_back(datum("NAS-C", 7));
    state.DatumTable.push_back(datum("TIL", 9));
    state.datumTableFilled = true;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

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

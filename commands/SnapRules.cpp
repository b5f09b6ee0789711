#include "commands/SnapRules.h"

#include "common/Numeric.h"
#include "document/Recompute.h"
#include "document/TextRules.h"
#include "geodesy/Angles.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "geodesy/GridDigits.h"
#include "geodesy/Ifbl.h"
#include "geodesy/Lambert72.h"
#include "geodesy/Mgrs.h"
#include "geodesy/Molodensky.h"
#include "geodesy/NationalGridProjection.h"
#include "geodesy/NationalGrids.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace commands {

namespace {

using geodesy::kDegreesPerGrade;
using geodesy::kParisMeridian;
constexpr double kGradeLatCell = 0.2;
constexpr double kGradeLatHalf = 0.1;
constexpr double kGradeLonCell = 0.4;

// The IFBL grid in Lambert 72 metres.
constexpr double kIfblWest = 2012.0;
constexpr double kIfblEast = 322012.0;
constexpr double kIfblSouth = 18180.0;
constexpr double kIfblNorth = 258180.0;

LatLon Shift(double lat, double lon, int from, int to) {
    LatLon out{lat, lon};
    geodesy::ShiftDatum(lat, lon, 0.0, out.lat, out.lon, from, to);
    return out;
}

std::optional<LatLon> MgrsSquare(const RowPosition& row, int utmAjust) {
    geodesy::DatumState& datums = geodesy::Datums();
    const int dest = datums.DestIndex;
    std::string zone;
    std::string band;
    std::string square;
    if (row.system == "MGR" && row.datum == dest) {
        std::string text = row.text;
        geodesy::SplitTriple(text, zone, band, square);
        if (zone.empty() || band.empty() || square.empty()) {
            return std::nullopt; // no reference can be built from the text
        }
        if (zone.size() == 1) {
            zone.insert(0, 1, '0');
        }
    } else {
        const LatLon shifted = Shift(row.lat, row.lon, row.datum, dest);
        geodesy::SelectDatum(dest);
        int z = 0;
        double northing = 0.0;
        double easting = 0.0;
        std::string mgrs;
        geodesy::LatLonToMgrs(datums.EllipsoidA, datums.EllipsoidF, geodesy::DegToRad(shifted.lat),
                              geodesy::DegToRad(shifted.lon), z, northing, easting, mgrs,
                              datums.Ellipsoid);
        // Polar regions and failures come back as a message, not a reference.
        if (mgrs.size() < 15 || std::isdigit(static_cast<unsigned char>(mgrs[0])) == 0) {
            return std::nullopt;
        }
        zone = mgrs.substr(0, 2);
        band = mgrs.substr(2, 1);
        square = mgrs.substr(3, 12);
    }
    const std::optional<std::string> snapped = SnappedReference(
        document::TrimBlanks(QString::fromStdString(square)).toStdString(), utmAjust);
    if (!snapped) {
        return std::nullopt;
    }
    std::string reference =
        zone + document::TrimBlanks(QString::fromStdString(band)).toStdString() + *snapped;
    geodesy::SelectDatum(dest);
    double lat = 0.0;
    double lon = 0.0;
    int z = 0;
    double northing = 0.0;
    double easting = 0.0;
    int status = 0;
    geodesy::MgrsToLatLon(reference, datums.Ellipsoid, datums.EllipsoidA, datums.EllipsoidF, lat,
                          lon, z, northing, easting, status);
    // The centre of a square cut by the zone's edge may lie beyond it: it is still the centre of
    // that square in the zone's projection, which is what the atlas wants.
    if (status != 0 && reference != geodesy::kMgrsOutsideRange) {
        return std::nullopt;
    }
    return LatLon{geodesy::RadToDeg(lat), geodesy::RadToDeg(lon)};
}

std::optional<LatLon> NationalSquare(const RowPosition& row, int utmAjust, bool british) {
    const int gridType = british ? geodesy::kBritishGrid : geodesy::kIrishGrid;
    const std::int16_t gridDatum = RequireGridDatum(british ? geodesy::kOgbM : geodesy::kIrl);
    std::string reference;
    if (row.system == (british ? "BNG" : "ITM")) {
        std::string text = row.text;
        std::string letters;
        std::string digits;
        geodesy::SplitPair(text, letters, digits);
        if (letters.empty() || digits.empty()) {
            return std::nullopt;
        }
        reference = letters + digits;
    } else {
        const LatLon shifted = Shift(row.lat, row.lon, row.datum, gridDatum);
        std::string letters;
        std::string eDigits;
        std::string nDigits;
        geodesy::LatLonToGridRef(gridType, shifted.lat, shifted.lon, letters, eDigits, nDigits);
        if (letters.size() != 2) {
            return std::nullopt; // outside the lettered squares
        }
        const auto metres = [](const std::string& km) {
            char digits[16];
            std::snprintf(digits, sizeof digits, "%05d",
                          static_cast<int>(std::floor(common::NumericValue(km) * 1000.0)));
            return std::string(digits);
        };
        reference = letters + metres(eDigits) + metres(nDigits);
    }
    const std::optional<std::string> snapped = SnappedReference(reference, utmAjust);
    if (!snapped || snapped->size() != 12) {
        return std::nullopt;
    }
    const std::string letters = snapped->substr(0, 2);
    const double eKm = common::NumericValue(snapped->substr(2, 5)) / 1000.0;
    const double nKm = common::NumericValue(snapped->substr(7, 5)) / 1000.0;
    double easting = 0.0;
    double northing = 0.0;
    const bool lettered = british ? geodesy::BngLettersToEN(letters, eKm, nKm, easting, northing)
                                  : geodesy::IrishLetterToEN(letters, nKm, eKm, northing, easting);
    if (!lettered) {
        return std::nullopt;
    }
    double lat = 0.0;
    double lon = 0.0;
    geodesy::GridToLatLon(gridType, northing, easting, lat, lon);
    return Shift(lat, lon, gridDatum, geodesy::Datums().DestIndex);
}

} // namespace

LatLon SnapToGrades(double lat, double lon) {
    const double g = lat / kDegreesPerGrade;
    const double h = (lon - kParisMeridian) / kDegreesPerGrade;
    // Cells judged to 1e-5 grade (about a metre): grades are read in single precision, so a
    // grade typed on a cell's line (54.6) comes back a few millionths to either side of it.
    constexpr double kGridPerGrade = 1e5;
    const double gSnapped =
        document::CellIndex(g, kGradeLatCell, kGridPerGrade) * kGradeLatCell + kGradeLatHalf;
    const double hSnapped =
        document::CellIndex(h + kGradeLatCell, kGradeLonCell, kGridPerGrade) * kGradeLonCell;
    return {gSnapped * kDegreesPerGrade, hSnapped * kDegreesPerGrade + kParisMeridian};
}

SnapRule DegreeCellRule(float meshLat, float meshLon) {
    return [meshLat, meshLon](const RowPosition& row) -> std::optional<LatLon> {
        LatLon out = Shift(row.lat, row.lon, row.datum, geodesy::Datums().DestIndex);
        if (meshLat != document::kNoMesh) {
            out.lat = document::SnapToCell(out.lat, meshLat);
        }
        if (meshLon != document::kNoMesh) {
            out.lon = document::SnapToCell(out.lon, meshLon);
        }
        return out;
    };
}

SnapRule GradeRule() {
    return [](const RowPosition& row) -> std::optional<LatLon> {
        const LatLon shifted = Shift(row.lat, row.lon, row.datum, geodesy::Datums().DestIndex);
        return SnapToGrades(shifted.lat, shifted.lon);
    };
}

std::optional<std::string> SnappedReference(std::string reference, int utmAjust) {
    if (!geodesy::TryExpandGridDigits(reference) || reference.size() != 12) {
        return std::nullopt;
    }
    geodesy::SnapGridPrecision(reference, utmAjust);
    return reference;
}

SnapRule GridSquareRule(int utmAjust, int gridAjust) {
    return [utmAjust, gridAjust](const RowPosition& row) -> std::optional<LatLon> {
        if (utmAjust == geodesy::kSnapNone) {
            return Shift(row.lat, row.lon, row.datum, geodesy::Datums().DestIndex);
        }
        switch (gridAjust) {
        case kGridUtm:
            return MgrsSquare(row, utmAjust);
        case kGridBritish:
            return NationalSquare(row, utmAjust, true);
        case kGridIrish:
            return NationalSquare(row, utmAjust, false);
        default:
            return std::nullopt;
        }
    };
}

bool OnIfblGrid(double x, double y) {
    return x >= kIfblWest && x < kIfblEast && y >= kIfblSouth && y < kIfblNorth;
}

SnapRule IfblSquareRule(int codeLength) {
    return [codeLength](const RowPosition& row) -> std::optional<LatLon> {
        const std::int16_t bel72 = RequireGridDatum(geodesy::kBel72);
        std::string code;
        if (row.system == "IFB") {
            code = row.text.size() > 4 ? row.text.substr(4) : std::string();
        } else {
            const LatLon shifted = Shift(row.lat, row.lon, row.datum, bel72);
            double x = 0.0;
            double y = 0.0;
            geodesy::LatLonToLambert72(shifted.lat, shifted.lon, x, y);
            if (!OnIfblGrid(x, y)) {
                return std::nullopt;
            }
            std::int32_t status = 0;
            geodesy::LambertToIfbl(x, y, code, status, 6);
            if (status != 0) {
                return std::nullopt;
            }
        }
        std::string cut = code.substr(0, static_cast<std::size_t>(codeLength));
        double x = 0.0;
        double y = 0.0;
        std::int32_t status = 0;
        geodesy::IfblToLambert(cut, x, y, status);
        if (status != 0 || x < kIfblWest || x > kIfblEast || y < kIfblSouth || y > kIfblNorth) {
            return std::nullopt;
        }
        double lat = 0.0;
        double lon = 0.0;
        geodesy::Lambert72ToLatLon(x, y, lat, lon);
        return Shift(lat, lon, bel72, geodesy::Datums().DestIndex);
    };
}

} // namespace commands

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

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

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

// Whether LatLonToMgrs wrote a reference ("31UER7167039221", " 9UVB1234512345") rather than
// one of its messages, which start with a letter, blanks or a blank then a letter.
bool IsMgrsReference(const std::string& mgrs) {
    const auto digit = [&mgrs](std::size_t i) {
        return std::isdigit(static_cast<unsigned char>(mgrs[i])) != 0;
    };
    return mgrs.size() == 15 && (digit(0) || mgrs[0] == ' ') && digit(1) &&
           std::isupper(static_cast<unsigned char>(mgrs[2])) != 0;
}

// The reference of the square of size `utmAjust` that holds a reference LatLonToMgrs wrote; none
// when its digits cannot be completed.
std::optional<std::string> SnappedMgrs(const std::string& mgrs, int utmAjust) {
    // As LatLonToMgrs writes them: the square's letters and ten digits snapped in place.
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (mgrs.size() == 15 && !digit(mgrs[3]) && mgrs[3] != ' ' && mgrs[4] != ' ' &&
        std::all_of(mgrs.begin() + 5, mgrs.end(), digit)) {
        std::string snapped = mgrs;
        if (snapped[0] == ' ') {
            snapped[0] = '0'; // zones 1 to 9 are written with a blank before their digit
        }
        geodesy::SnapTenDigits(snapped.data() + 5, utmAjust);
        return snapped;
    }
    std::string zone = mgrs.substr(0, 2);
    if (zone[0] == ' ') {
        zone[0] = '0'; // zones 1 to 9 are written with a blank before their digit
    }
    const std::optional<std::string> snapped = SnappedReference(mgrs.substr(3, 12), utmAjust);
    if (!snapped) {
        return std::nullopt;
    }
    return zone + mgrs[2] + *snapped;
}

std::optional<LatLon> MgrsSquare(const RowPosition& row, int utmAjust) {
    geodesy::DatumState& datums = geodesy::Datums();
    const int dest = datums.DestIndex;
    std::string reference;
    if (row.system == "MGR" && row.datum == dest) {
        std::string text = row.text;
        std::string zone;
        std::string band;
        std::string square;
        geodesy::SplitTriple(text, zone, band, square);
        if (zone.empty() || band.empty() || square.empty()) {
            return std::nullopt; // no reference can be built from the text
        }
        if (zone.size() == 1) {
            zone.insert(0, 1, '0');
        }
        const std::optional<std::string> snapped = SnappedReference(
            document::TrimBlanks(QString::fromStdString(square)).toStdString(), utmAjust);
        if (!snapped) {
            return std::nullopt;
        }
        reference =
            zone + document::TrimBlanks(QString::fromStdString(band)).toStdString() + *snapped;
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
        if (!IsMgrsReference(mgrs)) {
            return std::nullopt;
        }
        const std::optional<std::string> snapped = SnappedMgrs(mgrs, utmAjust);
        if (!snapped) {
            return std::nullopt;
        }
        reference = *snapped;
    }
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

// Whether `value` lies within `hair` of a multiple of `step`.
bool NearMultiple(double value, double step, double hair) {
    const double steps = value / step;
    return std::fabs(steps - std::round(steps)) * step < hair;
}

// The arrays of MgrsSquares, kept from block to block so that no block allocates them again.
struct MgrsArrays {
    std::vector<std::size_t> index;
    std::vector<double> lat;
    std::vector<double> lon;
    std::vector<int> zone;
    std::vector<double> northing;
    std::vector<double> easting;
    std::vector<std::string> mgrs;
    std::vector<std::string> centres;
    std::vector<std::size_t> placed;
    std::vector<int> status;

    void resize(std::size_t n) {
        lat.resize(n);
        lon.resize(n);
        zone.resize(n);
        northing.resize(n);
        easting.resize(n);
    }
};

// MgrsSquare over a block, through the batch conversions. Rows whose text is an MGRS reference
// of the destination datum, rows near a zone's or band's edge or near a metre's half, and rows
// the batch cannot place are left to the one-point form.
void MgrsSquares(document::PositionBlock& block, int utmAjust, MgrsArrays& a) {
    using document::RowOutcome;
    geodesy::DatumState& datums = geodesy::Datums();
    const int dest = datums.DestIndex;
    document::ShiftMovedRows(block, dest);
    geodesy::SelectDatum(dest);
    a.index.clear();
    a.lat.clear();
    a.lon.clear();
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (block.outcome[i] != RowOutcome::Moved) {
            continue;
        }
        if ((block.datum[i] == dest && block.text[i].compare(0, 3, "MGR") == 0) ||
            MgrsNearEdge(block.newLat[i], block.newLon[i])) {
            block.outcome[i] = RowOutcome::Redo;
            continue;
        }
        a.index.push_back(i);
        a.lat.push_back(geodesy::DegToRad(block.newLat[i]));
        a.lon.push_back(geodesy::DegToRad(block.newLon[i]));
    }
    const std::size_t m = a.index.size();
    a.resize(m);
    a.mgrs.resize(m);
    geodesy::batch::LatLonToMgrs(datums.EllipsoidA, datums.EllipsoidF, a.lat, a.lon, a.zone,
                                 a.northing, a.easting, a.mgrs, datums.Ellipsoid);
    a.centres.resize(m);
    a.placed.clear();
    for (std::size_t k = 0; k < m; ++k) {
        const std::size_t i = a.index[k];
        std::optional<std::string> snapped;
        if (SteadyMgrs(a.mgrs[k], a.easting[k], a.northing[k])) {
            snapped = SnappedMgrs(a.mgrs[k], utmAjust);
        }
        if (!snapped) {
            block.outcome[i] = RowOutcome::Redo;
            continue;
        }
        a.centres[a.placed.size()] = std::move(*snapped);
        a.placed.push_back(i);
    }
    const std::size_t c = a.placed.size();
    a.centres.resize(c);
    a.resize(c);
    a.status.resize(c);
    geodesy::batch::MgrsToLatLon(a.centres, datums.Ellipsoid, datums.EllipsoidA, datums.EllipsoidF,
                                 a.lat, a.lon, a.zone, a.northing, a.easting, a.status);
    for (std::size_t k = 0; k < c; ++k) {
        const std::size_t i = a.placed[k];
        // A centre beyond the zone's edge stands, as in MgrsSquare.
        if (a.status[k] != 0 && a.centres[k] != geodesy::kMgrsOutsideRange) {
            block.outcome[i] = RowOutcome::Redo;
            continue;
        }
        block.newLat[i] = geodesy::RadToDeg(a.lat[k]);
        block.newLon[i] = geodesy::RadToDeg(a.lon[k]);
    }
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

bool MgrsNearEdge(double lat, double lon) {
    // Zones and bands turn at multiples of 3 degrees of longitude and 4 of latitude (their
    // exceptions too); a wider margin than the rounding's, as the rules compare in radians.
    constexpr double kEdgeHair = 1e-7;
    return NearMultiple(lat, 4.0, kEdgeHair) || NearMultiple(lon, 3.0, kEdgeHair);
}

bool SteadyMgrs(const std::string& mgrs, double easting, double northing) {
    return IsMgrsReference(mgrs) && !document::NearHalfMetre(easting) &&
           !document::NearHalfMetre(northing);
}

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
    return document::ShiftAndCellRule(meshLat, meshLon);
}

SnapRule GradeRule() {
    SnapRule rule;
    rule.one = [](const RowPosition& row) -> std::optional<LatLon> {
        const LatLon shifted = Shift(row.lat, row.lon, row.datum, geodesy::Datums().DestIndex);
        return SnapToGrades(shifted.lat, shifted.lon);
    };
    rule.block = [](document::PositionBlock& block) {
        document::ShiftMovedRows(block, geodesy::Datums().DestIndex);
        // Each axis is a step function of its own value: a value within a hair of a step may
        // fall on the other side of it in the one-point path.
        const auto lat = [](double v) { return SnapToGrades(v, kParisMeridian).lat; };
        const auto lon = [](double v) { return SnapToGrades(0.0, v).lon; };
        for (std::size_t i = 0; i < block.size(); ++i) {
            if (block.outcome[i] != document::RowOutcome::Moved) {
                continue;
            }
            if (!document::SteadyWithin(block.newLat[i], document::kHairDegrees, lat) ||
                !document::SteadyWithin(block.newLon[i], document::kHairDegrees, lon)) {
                block.outcome[i] = document::RowOutcome::Redo;
                continue;
            }
            const LatLon snapped = SnapToGrades(block.newLat[i], block.newLon[i]);
            block.newLat[i] = snapped.lat;
            block.newLon[i] = snapped.lon;
        }
    };
    return rule;
}

std::optional<std::string> SnappedReference(std::string reference, int utmAjust) {
    if (!geodesy::TryExpandGridDigits(reference) || reference.size() != 12) {
        return std::nullopt;
    }
    // Two letters and ten digits now, the form the square's digits are snapped in.
    geodesy::SnapTenDigits(reference.data() + 2, utmAjust);
    return reference;
}

SnapRule GridSquareRule(int utmAjust, int gridAjust) {
    if (utmAjust == geodesy::kSnapNone) {
        return document::ShiftAndCellRule(document::kNoMesh, document::kNoMesh);
    }
    SnapRule rule =
        OnePointRule([utmAjust, gridAjust](const RowPosition& row) -> std::optional<LatLon> {
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
        });
    if (gridAjust == kGridUtm) {
        rule.block = [utmAjust, arrays = std::make_shared<MgrsArrays>()](
                         document::PositionBlock& block) { MgrsSquares(block, utmAjust, *arrays); };
    }
    return rule;
}

bool OnIfblGrid(double x, double y) {
    return x >= kIfblWest && x < kIfblEast && y >= kIfblSouth && y < kIfblNorth;
}

SnapRule IfblSquareRule(int codeLength) {
    return OnePointRule([codeLength](const RowPosition& row) -> std::optional<LatLon> {
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
    });
}

} // namespace commands

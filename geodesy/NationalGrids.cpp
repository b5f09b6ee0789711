#include "geodesy/NationalGrids.h"

#include "common/AppError.h"

#include <array>
#include <charconv>
#include <cmath>

namespace geodesy {

namespace {

// The British 500 km letters row by row (south to north, west before east) and column by column
// (west to east, south before north).
constexpr std::string_view kBng500ByRow = "STNOHJ";
constexpr std::string_view kBng500ByColumn = "SNHTOJ";
// The 25 letters of the 100 km squares, row by row from the south and column by column from the
// west; "V" is the south-west square.
constexpr std::string_view kSquaresByRow = "VWXYZQRSTULMNOPFGHJKABCDE";
constexpr std::string_view kSquaresByColumn = "VQLFAWRMGBXSNHCYTOJDZUPKE";

// The projection northing of the British grid's false origin that the letter tables add, the
// figure to the millimetre that the grid's readers share. It lies 1.3 mm above the scaled meridian
// distance to 49 N (NationalGridDef::northingK), far inside the metre digits of a reference.
constexpr double kBritishLetterK = 5527063.816;

// 1-based position of `c` in `table`; an empty text sits at position 1, an unknown letter at 0.
int Position(std::string_view table, std::string_view c) {
    if (c.empty()) {
        return 1;
    }
    const auto found = table.find(c);
    return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}

std::string_view Character(std::string_view text, std::size_t index) {
    return index < text.size() ? text.substr(index, 1) : std::string_view{};
}

// An offset in km written with at most seven significant digits, no trailing zeros, "." as the
// separator and no 0 before it (".5"), at least two characters long ("05", "00").
std::string OffsetText(double km) {
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, km, std::chars_format::general, 7).ptr;
    std::string text(buffer, end);
    if (text.rfind("0.", 0) == 0) {
        text.erase(0, 1);
    } else if (text.rfind("-0.", 0) == 0) {
        text.erase(1, 1);
    }
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    if (text.size() < 2) {
        text.insert(0, 2 - text.size(), '0');
    }
    return text;
}

} // namespace

bool BngLettersToEN(std::string_view letters, double e_km, double n_km, double& easting,
                    double& northing) {
    const std::string_view l1 = Character(letters, 0);
    const std::string_view l2 = Character(letters, 1);
    const int p1 = Position(kBng500ByRow, l1);
    const int p2 = Position(kSquaresByRow, l2);
    const int p3 = Position(kBng500ByColumn, l1);
    const int p4 = Position(kSquaresByColumn, l2);
    if (p1 == 0 || p2 == 0 || p3 == 0 || p4 == 0) {
        easting = 0.0;
        northing = 0.0;
        return false;
    }
    const int c5 = (p1 - 1) % 2;
    const int r5 = (p3 - 1) % 3;
    const int c1 = (p2 - 1) % 5;
    const int r1 = (p4 - 1) % 5;
    const NationalGridDef& grid = *FindNationalGrid(kBritishGrid);
    easting = (500.0 * c5 + 100.0 * c1) * 1000.0 + 1000.0 * e_km + grid.eastingOffset;
    northing = (500.0 * r5 + 100.0 * r1) * 1000.0 + 1000.0 * n_km + kBritishLetterK;
    return letters.size() == 2;
}

bool IrishLetterToEN(std::string_view letters, double n_km, double e_km, double& northing,
                     double& easting) {
    const std::string_view letter = Character(letters, 1);
    int row = 0, column = 0;
    bool known = false;
    if (!letter.empty()) {
        const auto byRow = kSquaresByRow.find(letter);
        const auto byColumn = kSquaresByColumn.find(letter);
        if (byRow != std::string_view::npos && byColumn != std::string_view::npos) {
            row = static_cast<int>(byRow) / 5;
            column = static_cast<int>(byColumn) / 5;
            known = true;
        }
    }
    const NationalGridDef& grid = *FindNationalGrid(kIrishGrid);
    easting = (100.0 * column + e_km) * 1000.0 + grid.eastingOffset;
    northing = (100.0 * row + n_km) * 1000.0 + grid.northingK;
    return known && letters.size() == 2;
}

void GridRefFromGridEN(int type, double easting, double northing, std::string& letters,
                       std::string& eDigits, std::string& nDigits) {
    letters.clear();
    eDigits.clear();
    nDigits.clear();
    if (!std::isfinite(easting) || !std::isfinite(northing) ||
        (type != kBritishGrid && type != kIrishGrid)) {
        return;
    }
    const double ek = std::floor(easting * 0.001);
    const double nk = std::floor(northing * 0.001);
    const double ci = std::floor(ek / 100.0); // 100 km column from the grid's origin
    const double ri = std::floor(nk / 100.0); // 100 km row
    double c = ci, r = ri;
    std::string first = "I";
    if (type == kBritishGrid) {
        const bool east = ci > 4;
        c = east ? ci - 5 : ci;
        if (ri <= 4) {
            first = east ? "T" : "S";
        } else if (ri <= 9) {
            first = east ? "O" : "N";
            r = ri - 5;
        } else {
            first = east ? "J" : "H";
            r = ri - 10;
        }
    }
    if (c < 0 || c > 4 || r < 0 || r > 4) {
        return; // outside the lettered squares
    }
    const auto index = static_cast<std::size_t>(r * 5 + c);
    letters = first + std::string(1, kSquaresByRow[index]);
    eDigits = OffsetText(easting * 0.001 - 100.0 * ci);
    nDigits = OffsetText(northing * 0.001 - 100.0 * ri);
}

void LatLonToGridRef(int type, double lat, double lon, std::string& letters, std::string& eDigits,
                     std::string& nDigits) {
    letters.clear();
    eDigits.clear();
    nDigits.clear();
    double easting = 0.0, northing = 0.0;
    try {
        LatLonToGrid(type, lat, lon, easting, northing);
    } catch (const common::AppError&) {
        return; // a point that cannot be projected has no reference
    }
    GridRefFromGridEN(type, easting, northing, letters, eDigits, nDigits);
}

} // namespace geodesy

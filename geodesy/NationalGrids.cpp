#include "geodesy/NationalGrids.h"

#include "common/AppError.h"
#include "geodesy/NationalGridProjection.h"
#include "geodesy/PointBatch.h"
#include "geodesy/VectorMath.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

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

// OffsetText into `text` without temporaries for an offset of 0.001 to 1000 km, the digits taken
// from the offset scaled to seven significant digits and rounded; false, `text` unwritten, for any
// other offset and for one whose scaled value lies too near a half for that rounding to be sure
// of matching the exact one.
GEODESY_ALWAYS_INLINE bool FastOffsetText(double km, std::string& text) {
    if (!(km >= 0.001 && km < 1000.0)) {
        return false;
    }
    static constexpr std::array<double, 10> kPowers{1e0, 1e1, 1e2, 1e3, 1e4,
                                                    1e5, 1e6, 1e7, 1e8, 1e9};
    // Digits before the point (0 below 1 km) and, below 1 km, zeros after it.
    const int whole = km >= 100.0 ? 3 : km >= 10.0 ? 2 : km >= 1.0 ? 1 : 0;
    const int zeros = km >= 0.1 ? 0 : km >= 0.01 ? 1 : 2;
    const int decimals = whole > 0 ? 7 - whole : 7 + zeros;
    const double scaled = km * kPowers[static_cast<std::size_t>(decimals)];
    constexpr double kRoundingShift =
        0x1.8p52; // adding it rounds to a whole number, halves to even
    const double rounded = (scaled + kRoundingShift) - kRoundingShift;
    if (std::abs(std::abs(scaled - rounded) - 0.5) < 1e-6 || rounded >= 1e7 || rounded < 1e6) {
        return false;
    }
    // The seven digits, two at a time.
    static constexpr std::string_view kPairs =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char digits[7];
    const auto value = static_cast<std::uint32_t>(rounded);
    const std::uint32_t pairs[3] = {value / 100000, value / 1000 % 100, value / 10 % 100};
    for (std::size_t k = 0; k < 3; ++k) {
        digits[2 * k] = kPairs[2 * pairs[k]];
        digits[2 * k + 1] = kPairs[2 * pairs[k] + 1];
    }
    digits[6] = static_cast<char>('0' + value % 10);
    int last = 6; // the last digit to write: trailing zeros of the decimals go
    while (last >= whole && digits[last] == '0') {
        --last;
    }
    // The text is written in place, resized only when its length changes.
    const bool pad = whole == 1 && last < whole; // at least two characters: "05"
    const std::size_t length =
        whole == 0 ? static_cast<std::size_t>(1 + zeros + last + 1)
                   : static_cast<std::size_t>((pad ? 1 : 0) + std::max(last + 1, whole) +
                                              (last >= whole ? 1 : 0));
    if (text.size() != length) {
        text.resize(length);
    }
    char* out = text.data();
    std::size_t size = 0;
    if (whole == 0) {
        out[size++] = '.';
        for (int k = 0; k < zeros; ++k) {
            out[size++] = '0';
        }
        for (int k = 0; k <= last; ++k) {
            out[size++] = digits[k];
        }
    } else {
        if (pad) {
            out[size++] = '0';
        }
        for (int k = 0; k <= last || k < whole; ++k) {
            if (k == whole) {
                out[size++] = '.';
            }
            out[size++] = digits[k];
        }
    }
    return true;
}

GEODESY_ALWAYS_INLINE void WriteOffset(double km, std::string& text) {
    if (!FastOffsetText(km, text)) {
        text = OffsetText(km);
    }
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

namespace {

GEODESY_ALWAYS_INLINE void Reference(int type, double easting, double northing,
                                     std::string& letters, std::string& eDigits,
                                     std::string& nDigits) {
    const auto none = [&] {
        letters.clear();
        eDigits.clear();
        nDigits.clear();
    };
    if (!std::isfinite(easting) || !std::isfinite(northing) ||
        (type != kBritishGrid && type != kIrishGrid)) {
        none();
        return;
    }
    const double ek = std::floor(easting * 0.001);
    const double nk = std::floor(northing * 0.001);
    const double ci = std::floor(ek / 100.0); // 100 km column from the grid's origin
    const double ri = std::floor(nk / 100.0); // 100 km row
    double c = ci, r = ri;
    char first = 'I';
    if (type == kBritishGrid) {
        const bool east = ci > 4;
        c = east ? ci - 5 : ci;
        if (ri <= 4) {
            first = east ? 'T' : 'S';
        } else if (ri <= 9) {
            first = east ? 'O' : 'N';
            r = ri - 5;
        } else {
            first = east ? 'J' : 'H';
            r = ri - 10;
        }
    }
    if (c < 0 || c > 4 || r < 0 || r > 4) {
        none(); // outside the lettered squares
        return;
    }
    const auto index = static_cast<std::size_t>(r * 5 + c);
    letters.resize(2);
    letters[0] = first;
    letters[1] = kSquaresByRow[index];
    WriteOffset(easting * 0.001 - 100.0 * ci, eDigits);
    WriteOffset(northing * 0.001 - 100.0 * ri, nDigits);
}

// The lettering of a batch, compiled for the instruction sets of the vectorised loops, whose
// roundings it uses.
GEODESY_VECTOR_CLONES
void LetterLoop(int type, const double* easting, const double* northing, std::string* letters,
                std::string* eDigits, std::string* nDigits, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        Reference(type, easting[i], northing[i], letters[i], eDigits[i], nDigits[i]);
    }
}

} // namespace

void GridRefFromGridEN(int type, double easting, double northing, std::string& letters,
                       std::string& eDigits, std::string& nDigits) {
    Reference(type, easting, northing, letters, eDigits, nDigits);
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

void batch::LatLonToGridRef(int type, std::span<const double> lat, std::span<const double> lon,
                            std::span<std::string> letters, std::span<std::string> eDigits,
                            std::span<std::string> nDigits) {
    batch::RequireSameSize(lat.size(), lon.size(), letters.size(), eDigits.size());
    batch::RequireSameSize(lat.size(), nDigits.size(), lat.size(), lat.size());
    // In blocks that stay in the cache: projected as a batch, then lettered.
    constexpr std::size_t kBlock = 1024;
    std::array<double, kBlock> easting{}, northing{};
    for (std::size_t start = 0; start < lat.size(); start += kBlock) {
        const std::size_t count = std::min(kBlock, lat.size() - start);
        const std::span<double> e(easting.data(), count), n(northing.data(), count);
        try {
            batch::LatLonToGrid(type, lat.subspan(start, count), lon.subspan(start, count), e, n);
        } catch (const common::AppError&) {
            // A point that cannot be projected has no reference: the block one point at a time.
            for (std::size_t i = start; i < start + count; ++i) {
                geodesy::LatLonToGridRef(type, lat[i], lon[i], letters[i], eDigits[i], nDigits[i]);
            }
            continue;
        }
        LetterLoop(type, e.data(), n.data(), &letters[start], &eDigits[start], &nDigits[start],
                   count);
    }
}

} // namespace geodesy

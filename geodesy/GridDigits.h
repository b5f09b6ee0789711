#pragma once

#include <string>

// Digits of grid references (MGRS, British and Irish grids): a prefix (five characters when the
// reference begins with a digit, two otherwise) followed by an easting half and a northing half
// of the same length.

namespace geodesy {

// Snapping cells of the setting UtmAjust.
enum UtmAjustCell : int {
    kSnapNone = 0,
    kSnap100m = 1,
    kSnap1km = 2,
    kSnap5km = 3,
    kSnap10km = 4,
    kSnap20km = 5,
    kSnap50km = 6,
    kSnap100km = 7,
};

// Completes one to four digits per half to five, pointing just inside the centre of the square
// the reference names (fills 4999, 499, 49, 4: 1 m short of the centre). Blanks are removed first.
// Any other digit count leaves the reference as it is. Error 5, with the reference left without
// blanks, when it is shorter than its prefix.
void ExpandGridDigits(std::string& ref);

// ExpandGridDigits without the error: true when the reference now is its prefix followed by
// exactly ten decimal digits; false when it could not be split or completed (no digits, an odd
// count, more than ten, or a character that is not a digit), the reference then left as
// ExpandGridDigits leaves it.
bool TryExpandGridDigits(std::string& ref);

// Moves a reference with a two-letter prefix to the centre of the cell chosen by `utmAjust`
// (a UtmAjustCell); any other value only expands it. Error 5 as ExpandGridDigits.
void SnapGridPrecision(std::string& ref, int utmAjust);

// SnapGridPrecision of a reference of two letters and ten digits, on its ten digits (five of the
// easting, five of the northing) in place: what a walk over many references takes, without the
// copies of the general steps.
void SnapTenDigits(char* digits, int utmAjust);

} // namespace geodesy

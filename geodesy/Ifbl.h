#pragma once

// IFBL squares ("ifb"): blocks of 32 by 20 km laid on Belgian Lambert 72 from x = 2012 m,
// y = 18,180 m, each split into 8 by 5 squares of 4 km, each split into four 2 km quarters of four
// 1 km squares. A code is the block row letter ("M" southernmost to "A", no "I"), the block column
// number, the 4 km row (1 to 5 from the north) and column (1 to 8 from the west) digits, and the
// quarter and 1 km square digits (1 NW, 2 NE, 3 SW, 4 SE): "E5", "E435", "E43522".

#include <cstdint>
#include <string>

namespace geodesy {

// Lambert 72 x and y (metres) of the centre of the square named by `code`. The caller's code is
// cleaned in place (blanks removed, then upper-cased once its length is accepted). A code whose
// length is not 2, 4 or 6, or whose first character is "I" or comes after "M", sets status to -1
// and leaves x and y unchanged; on success status is not written.
void IfblToLambert(std::string& code, double& x, double& y, std::int32_t& status);

// Code of the block (length 2), 4 km square (length 4) or 1 km square (any other length) that holds
// the Lambert 72 point. A point outside 0..350,000 by 0..270,000 m sets status to 1 and leaves code
// unchanged; on success status is not written.
void LambertToIfbl(double x, double y, std::string& code, std::int32_t& status, int length);

} // namespace geodesy

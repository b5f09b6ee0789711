#include "geodesy/Ifbl.h"

#include "common/Numeric.h"
#include "geodesy/PointBatch.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace geodesy {

namespace {

constexpr double kOriginX = 2012.0;  // Lambert 72 x of the grid's origin, metres
constexpr double kOriginY = 18180.0; // Lambert 72 y of the grid's origin, metres
// The largest doubles below a block's 20 km height and 32 km width.
constexpr double kBelowBlockHeight = 0x1.3ffffffffffffp+4;
constexpr double kBelowBlockWidth = 0x1.fffffffffffffp+4;
constexpr std::string_view kRowLetters = "MLKJHGFEDCBA"; // block rows from the south, no "I"

// The value of a one- or two-character field: its digits, read directly, or whatever the number
// reader makes of any other text.
double FieldValue(std::string_view field) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (field.size() == 1 && digit(field[0])) {
        return field[0] - '0';
    }
    if (field.size() == 2 && digit(field[0]) && digit(field[1])) {
        return (field[0] - '0') * 10 + (field[1] - '0');
    }
    return common::NumericValue(field);
}

// Offsets in km of the centre of a 1 km square from the south-west corner of its 4 km square, by
// the quarter digit and the square digit (each numbered 1 NW, 2 NE, 3 SW, 4 SE).
bool SubsquareCentre(double s, double& dx, double& dy) {
    for (int quarter = 1; quarter <= 4; ++quarter) {
        for (int square = 1; square <= 4; ++square) {
            if (s == quarter * 10 + square) {
                dx = 2.0 * ((quarter - 1) % 2) + ((square - 1) % 2) + 0.5;
                dy = 3.5 - 2.0 * ((quarter - 1) / 2) - ((square - 1) / 2);
                return true;
            }
        }
    }
    return false;
}

// The subsquare code of the 1 km column i (0 west) and row j (0 south) inside a 4 km square.
int SubsquareCode(int i, int j) {
    const int quarter = 1 + (i / 2) + 2 * (1 - j / 2);
    const int square = 1 + (i % 2) + 2 * (1 - j % 2);
    return quarter * 10 + square;
}

} // namespace

void IfblToLambert(std::string& code, double& x, double& y, std::int32_t& status) {
    std::erase(code, ' ');
    if (code.size() != 2 && code.size() != 4 && code.size() != 6) {
        status = -1;
        return;
    }
    for (char& c : code) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    const auto letter = static_cast<unsigned char>(code[0]);
    if (letter == 'I' || letter > 'M') {
        status = -1;
        return;
    }
    // A character before "A" (a digit, say) is no row letter and reads as the row south of "M".
    const auto found = kRowLetters.find(code[0]);
    const double m = found == std::string_view::npos ? -1.0 : static_cast<double>(found);
    const std::string_view text = code;
    double yk = 20.0 * m;
    double xk = 32.0 * FieldValue(text.substr(1, 1));
    if (code.size() == 2) {
        xk += 16.0;
        yk += 10.0;
    } else {
        yk += 4.0 * (5.0 - FieldValue(text.substr(2, 1)));
        xk += 4.0 * (FieldValue(text.substr(3, 1)) - 1.0);
        if (code.size() == 4) {
            xk += 2.0;
            yk += 2.0;
        } else {
            double dx = 0.0, dy = 0.0;
            // An unlisted subsquare leaves the south-west corner of the 4 km square.
            if (SubsquareCentre(FieldValue(text.substr(4, 2)), dx, dy)) {
                xk += dx;
                yk += dy;
            }
        }
    }
    y = 1000.0 * yk + kOriginY;
    x = 1000.0 * xk + kOriginX;
}

// With the instruction sets of the batches' loops, whose roundings (floor) are single instructions.
GEODESY_VECTOR_CLONES
void LambertToIfbl(double x, double y, std::string& code, std::int32_t& status, int length) {
    if (!(x >= 0.0 && x <= 350000.0 && y >= 0.0 && y <= 270000.0)) {
        status = 1;
        return;
    }
    // Kilometres from the origin. Every line of the blocks and squares lies on a whole kilometre,
    // so away from one the products with 1/1000 and 1/20 fall on the same side of every line as
    // the quotients, which decide a point on or within a millimetre of a line.
    double yk = (y - kOriginY) * 0.001;
    double xk = (x - kOriginX) * 0.001;
    double rows = yk * 0.05;
    if (std::abs(yk - std::nearbyint(yk)) < 1e-6 || std::abs(xk - std::nearbyint(xk)) < 1e-6) {
        yk = (y - kOriginY) / 1000.0;
        xk = (x - kOriginX) / 1000.0;
        rows = yk / 20.0;
    }
    const double blockRow = std::floor(rows);
    const double blockColumn = std::floor(xk / 32.0);
    int r = 11 - static_cast<int>(blockRow);
    if (r > 7) {
        r += 1; // no "I"
    }
    // The block column, -1 to 10 inside the bounds above, written with one or two characters.
    const int column = static_cast<int>(blockColumn);
    const bool twoColumnCharacters = column < 0 || column >= 10;
    const std::size_t size = (twoColumnCharacters ? 3 : 2) + (length != 2 ? 2 : 0) +
                             (length != 2 && length != 4 ? 2 : 0);
    // Written in place: the caller's text keeps its buffer, resized only when its length changes.
    if (code.size() != size) {
        code.resize(size);
    }
    char* out = code.data();
    *out++ = static_cast<char>(65 + r);
    if (column < 0) {
        *out++ = '-';
        *out++ = static_cast<char>('0' - column);
    } else if (column >= 10) {
        *out++ = static_cast<char>('0' + column / 10);
        *out++ = static_cast<char>('0' + column % 10);
    } else {
        *out++ = static_cast<char>('0' + column);
    }
    if (length != 2) {
        // Kilometres inside the block; kept inside it where rounding would step over its edge.
        // Whole kilometres from there on: every 4 km and 1 km line lies on one.
        const auto yo =
            static_cast<unsigned>(std::clamp(yk - 20.0 * blockRow, 0.0, kBelowBlockHeight));
        const auto xo =
            static_cast<unsigned>(std::clamp(xk - 32.0 * blockColumn, 0.0, kBelowBlockWidth));
        const unsigned row4 = yo / 4, column4 = xo / 4;
        *out++ = static_cast<char>('0' + 5 - row4);
        *out++ = static_cast<char>('0' + 1 + column4);
        if (length != 4) {
            const int sub = SubsquareCode(static_cast<int>(xo % 4), static_cast<int>(yo % 4));
            *out++ = static_cast<char>('0' + sub / 10);
            *out = static_cast<char>('0' + sub % 10);
        }
    }
}

} // namespace geodesy

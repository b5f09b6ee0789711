#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace geodesy {

// The sixteen input coordinate systems. The index is the InputMode setting and the position of the
// system in every list of systems; the display name is string 300 + index.
enum class CoordSystem : int {
    Deg = 0, // decimal degrees
    Dms = 1, // degrees-minutes-seconds
    Utm = 2, // numeric UTM
    Mgr = 3, // MGRS
    Grp = 4, // Paris grades
    Bng = 5, // British National Grid
    Itm = 6, // Irish grid
    Lmb = 7, // Belgian Lambert 72
    Ifb = 8, // IFBL squares
    Lf1 = 9, // Lambert France I to IV
    Lf2 = 10,
    Lf3 = 11,
    Lf4 = 12,
    Lfe = 13, // Lambert France II etendu
    Nma = 14, // Lambert Nord Maroc
    Sma = 15, // Lambert Sud Maroc
};

inline constexpr int kCoordSystemCount = 16;

// The codes as written at the head of a coordinate text, by index.
inline constexpr std::array<std::string_view, kCoordSystemCount> kCoordSystemCodes{
    "deg", "dms", "utm", "mgr", "grp", "bng", "itm", "lmb",
    "ifb", "lf1", "lf2", "lf3", "lf4", "lfe", "nma", "sma"};

// The code written at the head of a coordinate text ("deg").
constexpr std::string_view CoordSystemCode(CoordSystem system) {
    return kCoordSystemCodes[static_cast<std::size_t>(system)];
}

// The code compared by the parser ("DEG").
std::string_view CoordSystemComparedCode(CoordSystem system);

// The system whose compared (upper-case) code is `code`, exactly; none for any other text.
std::optional<CoordSystem> CoordSystemFromComparedCode(std::string_view code);

// String-table id of the system's display name (before the language offset).
constexpr int CoordSystemNameId(CoordSystem system) {
    return 300 + static_cast<int>(system);
}

// Latitude and longitude both at this value: the coordinate text gave no position.
inline constexpr double InvalidCoord = 999.0;

constexpr bool IsInvalidCoord(double lat, double lon) {
    return lat == InvalidCoord && lon == InvalidCoord;
}

// Takes a coordinate text apart into its values after the code. Pairs of blanks in `text` are first
// replaced by one blank, in one pass from the left (the caller's text changes); the values are
// given only when the text then splits at its blanks into exactly three items (SplitPair) or four
// items (SplitTriple), the code being the first; otherwise they are all empty.
void SplitPair(std::string& text, std::string& first, std::string& second);
void SplitTriple(std::string& text, std::string& first, std::string& second, std::string& third);

// Replaces, in place, every occurrence of the one character `find` in `s` by `repl`. A `find` of
// any other length is never found.
void ReplaceChar(std::string& s, std::string_view find, std::string_view repl);

} // namespace geodesy

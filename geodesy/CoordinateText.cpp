#include "geodesy/CoordinateText.h"

namespace geodesy {

namespace {

constexpr std::array<std::string_view, kCoordSystemCount> kComparedCodes{
    "DEG", "DMS", "UTM", "MGR", "GRP", "BNG", "ITM", "LMB",
    "IFB", "LF1", "LF2", "LF3", "LF4", "LFE", "NMA", "SMA"};

// Every pair of blanks becomes one blank, in one pass from the left: three blanks become two.
void CollapseBlankPairs(std::string& text) {
    std::size_t pair = text.find("  ");
    if (pair == std::string::npos) {
        return;
    }
    std::size_t out = pair + 1;
    for (std::size_t i = pair + 2; i < text.size(); ++i) {
        text[out++] = text[i];
        if (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' ') {
            ++i;
        }
    }
    text.resize(out);
}

// Splits `text` at its blanks into exactly `count` items (an empty text has none) and gives
// items 2 to count; false when the text has another number of items.
template <std::size_t N>
bool SplitValues(const std::string& text, std::size_t count, std::array<std::string_view, N>& out) {
    if (text.empty()) {
        return false;
    }
    const std::string_view view(text);
    std::size_t items = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = view.find(' ', start);
        const std::size_t end = blank == std::string_view::npos ? view.size() : blank;
        if (items >= count) {
            return false;
        }
        if (items >= 1) {
            out[items - 1] = view.substr(start, end - start);
        }
        ++items;
        if (blank == std::string_view::npos) {
            return items == count;
        }
        start = blank + 1;
    }
}

} // namespace

std::string_view CoordSystemComparedCode(CoordSystem system) {
    return kComparedCodes[static_cast<std::size_t>(system)];
}

std::optional<CoordSystem> CoordSystemFromComparedCode(std::string_view code) {
    for (std::size_t i = 0; i < kComparedCodes.size(); ++i) {
        if (code == kComparedCodes[i]) {
            return static_cast<CoordSystem>(i);
        }
    }
    return std::nullopt;
}

void SplitPair(std::string& text, std::string& first, std::string& second) {
    CollapseBlankPairs(text);
    std::array<std::string_view, 2> values;
    if (SplitValues(text, 3, values)) {
        first.assign(values[0]);
        second.assign(values[1]);
    } else {
        first.clear();
        second.clear();
    }
}

void SplitTriple(std::string& text, std::string& first, std::string& second, std::string& third) {
    CollapseBlankPairs(text);
    std::array<std::string_view, 3> values;
    if (SplitValues(text, 4, values)) {
        first.assign(values[0]);
        second.assign(values[1]);
        third.assign(values[2]);
    } else {
        first.clear();
        second.clear();
        third.clear();
    }
}

void ReplaceChar(std::string& s, std::string_view find, std::string_view repl) {
    if (s.empty() || find.size() != 1) {
        return;
    }
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c == find[0]) {
            out += repl;
        } else {
            out += c;
        }
    }
    s = std::move(out);
}

} // namespace geodesy

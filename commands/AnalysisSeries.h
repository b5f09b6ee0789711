#pragma once

// The series of the analysis graphs: per value of N1 or N2 the number of distinct positions that
// carry it, and the sums of N1 per month of the observation date.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace commands {

inline constexpr int kMaxGraphPoints = 3800;

struct GraphPoint {
    int x = 0;
    double value = 0.0;
};

struct ValueSeries {
    int numPoints = 0;  // maximum + 1
    int labelEvery = 0; // x-axis labels every that many points
    std::vector<GraphPoint> points;
};

// Over the whole working table, field 1 (N1) or 2 (N2). None when the maximum is 0 or missing or
// the table has no row; error 3800 points when the maximum + 1 exceeds kMaxGraphPoints.
std::optional<ValueSeries> ValueGraphSeries(int field);

// The sums of N1 for the months 1 to 12 (index 0 to 11) of DATE ("yyyy/mm/dd"), over the
// `selected` bookmarks or, when there are none, the rows Data1 shows; a month without a row stays
// empty. None when Data1 shows no row.
std::optional<std::array<std::optional<double>, 12>>
PhenologySums(std::span<const std::int64_t> selected);

// The message of a value graph that would be too wide.
QString TooManyPointsText();

} // namespace commands

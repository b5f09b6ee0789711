#include "app/RecordGridRanges.h"

#include <algorithm>
#include <iterator>

namespace app {

void RecordGridRanges::add(int first, int last) {
    if (last < first) {
        return;
    }
    // Merge with every run that overlaps or touches first..last.
    auto run = runs_.upper_bound(first);
    if (run != runs_.begin() && std::prev(run)->second >= first - 1) {
        --run;
    }
    while (run != runs_.end() && run->first <= last + 1) {
        first = std::min(first, run->first);
        last = std::max(last, run->second);
        run = runs_.erase(run);
    }
    runs_.emplace(first, last);
}

void RecordGridRanges::remove(int first, int last) {
    take(first, last);
}

std::vector<std::pair<int, int>> RecordGridRanges::take(int first, int last) {
    std::vector<std::pair<int, int>> taken;
    if (last < first) {
        return taken;
    }
    auto run = runs_.upper_bound(first);
    if (run != runs_.begin() && std::prev(run)->second >= first) {
        --run;
    }
    while (run != runs_.end() && run->first <= last) {
        const int runFirst = run->first;
        const int runLast = run->second;
        run = runs_.erase(run);
        taken.emplace_back(std::max(runFirst, first), std::min(runLast, last));
        if (runFirst < first) {
            runs_.emplace(runFirst, first - 1);
        }
        if (runLast > last) {
            runs_.emplace(last + 1, runLast);
        }
    }
    return taken;
}

long long RecordGridRanges::count() const {
    long long total = 0;
    for (const auto& [first, last] : runs_) {
        total += static_cast<long long>(last) - first + 1;
    }
    return total;
}

void RecordGridRanges::appendTo(std::vector<int>& positions) const {
    for (const auto& [first, last] : runs_) {
        for (int position = first; position <= last; ++position) {
            positions.push_back(position);
        }
    }
}

} // namespace app

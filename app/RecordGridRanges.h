#pragma once

#include <map>
#include <vector>

namespace app {

// A set of record positions kept as disjoint runs, so that a selection of ten million rows costs
// one entry: the grid's selected rows that lie outside the rows its view holds.
class RecordGridRanges {
public:
    // Adds or removes the positions first to last (both included; nothing when last < first).
    void add(int first, int last);
    void remove(int first, int last);
    void clear() { runs_.clear(); }
    bool empty() const { return runs_.empty(); }
    long long count() const;
    // The positions of the runs that lie within first to last, taken out of the set.
    std::vector<std::pair<int, int>> take(int first, int last);
    // Every position, in order.
    void appendTo(std::vector<int>& positions) const;

private:
    std::map<int, int> runs_; // first position -> last position
};

} // namespace app

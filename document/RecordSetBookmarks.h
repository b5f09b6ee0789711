#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace document {

// The bookmark list of a record set: the Counter of each of its rows, by position. A list whose
// Counters ascend (the table's own order, filtered or not: the usual case) is kept as runs of
// consecutive Counters, sixteen bytes a run, so that a whole table of ten million rows costs a
// few bytes rather than eighty megabytes. A list in any other order, or one so broken up that
// runs would cost more than rows, is kept row by row, eight bytes a row.
class BookmarkList {
public:
    // An empty list.
    BookmarkList() = default;

    std::ptrdiff_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Whether the list is kept row by row.
    bool byRow() const { return byRow_; }

    // The Counter at `position`, which must be in [0, size()).
    std::int64_t at(std::ptrdiff_t position) const;
    // The position of `counter`, the first one when the list holds it twice; -1 when absent.
    std::ptrdiff_t find(std::int64_t counter) const;
    // Replaces `out` with the Counters of positions [first, first + count), a range that must
    // lie in the list.
    void copy(std::ptrdiff_t first, std::ptrdiff_t count, std::vector<std::int64_t>& out) const;

    void push_back(std::int64_t counter);
    // Adds the `count` consecutive Counters from `first` on.
    void pushRange(std::int64_t first, std::ptrdiff_t count);
    // Makes room for `more` rows added at the end, for a list kept row by row.
    void reserve(std::ptrdiff_t more);
    // Removes the row at `position`, which must be in [0, size()).
    void erase(std::ptrdiff_t position);

    // The list row by row. A list kept as runs is written out (eight bytes a row) and stays so
    // for the rest of its life, so that the reference given stays true as the list changes.
    const std::vector<std::int64_t>& rows();

private:
    // Runs of consecutive Counters: `first` is the Counter of the run's first row and `start`
    // its position; a run ends where the next starts (the last where the list ends).
    struct Run {
        std::int64_t first;
        std::ptrdiff_t start;
    };
    // The run holding `position`.
    std::size_t runAt(std::ptrdiff_t position) const;
    std::ptrdiff_t runLength(std::size_t run) const;
    std::int64_t lastOfRuns() const;
    // Whether runs now cost more than the rows would.
    bool runsTooMany() const;
    void toRows();

    std::vector<Run> runs_;
    std::vector<std::int64_t> rows_;
    std::ptrdiff_t size_ = 0;
    bool byRow_ = false;
};

} // namespace document

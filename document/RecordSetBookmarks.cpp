#include "document/RecordSetBookmarks.h"

#include <algorithm>
#include <iterator>

namespace document {

namespace {

// Below this many runs a list stays as runs whatever its size: the saving is not worth a copy.
constexpr std::size_t kFewRuns = 64;

} // namespace

std::size_t BookmarkList::runAt(std::ptrdiff_t position) const {
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), position,
                         [](std::ptrdiff_t p, const Run& run) { return p < run.start; });
    return static_cast<std::size_t>(std::distance(runs_.begin(), after) - 1);
}

std::ptrdiff_t BookmarkList::runLength(std::size_t run) const {
    const std::ptrdiff_t end = run + 1 < runs_.size() ? runs_[run + 1].start : size_;
    return end - runs_[run].start;
}

bool BookmarkList::runsTooMany() const {
    return runs_.size() > kFewRuns &&
           runs_.size() * sizeof(Run) > static_cast<std::size_t>(size_) * sizeof(std::int64_t);
}

std::int64_t BookmarkList::at(std::ptrdiff_t position) const {
    if (byRow_) {
        return rows_[static_cast<std::size_t>(position)];
    }
    const Run& run = runs_[runAt(position)];
    return run.first + (position - run.start);
}

std::ptrdiff_t BookmarkList::find(std::int64_t counter) const {
    if (byRow_) {
        const auto it = std::find(rows_.begin(), rows_.end(), counter);
        return it == rows_.end() ? -1 : it - rows_.begin();
    }
    // Runs ascend by Counter as they do by position.
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), counter,
                         [](std::int64_t c, const Run& run) { return c < run.first; });
    if (after == runs_.begin()) {
        return -1;
    }
    const auto run = static_cast<std::size_t>(std::distance(runs_.begin(), after) - 1);
    const std::int64_t offset = counter - runs_[run].first;
    return offset < runLength(run) ? runs_[run].start + offset : -1;
}

void BookmarkList::copy(std::ptrdiff_t first, std::ptrdiff_t count,
                        std::vector<std::int64_t>& out) const {
    out.clear();
    if (count <= 0) {
        return;
    }
    if (byRow_) {
        out.assign(rows_.begin() + first, rows_.begin() + first + count);
        return;
    }
    out.reserve(static_cast<std::size_t>(count));
    std::size_t run = runAt(first);
    std::ptrdiff_t position = first;
    while (position < first + count) {
        const std::ptrdiff_t end = std::min(runs_[run].start + runLength(run), first + count);
        for (; position < end; ++position) {
            out.push_back(runs_[run].first + (position - runs_[run].start));
        }
        ++run;
    }
}

std::int64_t BookmarkList::lastOfRuns() const {
    return runs_.back().first + (size_ - 1 - runs_.back().start);
}

void BookmarkList::push_back(std::int64_t counter) {
    if (!byRow_) {
        const std::int64_t last = empty() ? 0 : lastOfRuns();
        if (empty() || counter > last + 1) {
            runs_.push_back({counter, size_});
        } else if (counter != last + 1) {
            toRows(); // the Counters no longer ascend
        }
    }
    if (byRow_) {
        rows_.push_back(counter);
    }
    ++size_;
    if (!byRow_ && runsTooMany()) {
        toRows();
    }
}

void BookmarkList::pushRange(std::int64_t first, std::ptrdiff_t count) {
    if (count <= 0) {
        return;
    }
    if (byRow_ || (!empty() && first <= lastOfRuns())) {
        for (std::ptrdiff_t k = 0; k < count; ++k) {
            push_back(first + k);
        }
        return;
    }
    if (empty() || first > lastOfRuns() + 1) {
        runs_.push_back({first, size_});
    }
    size_ += count;
}

void BookmarkList::reserve(std::ptrdiff_t more) {
    if (byRow_ && more > 0) {
        rows_.reserve(rows_.size() + static_cast<std::size_t>(more));
    }
}

void BookmarkList::erase(std::ptrdiff_t position) {
    if (byRow_) {
        rows_.erase(rows_.begin() + position);
        --size_;
        return;
    }
    const std::size_t run = runAt(position);
    const std::ptrdiff_t offset = position - runs_[run].start;
    const std::ptrdiff_t length = runLength(run);
    std::size_t shiftFrom = run + 1; // runs after the removed row move up one position
    if (length == 1) {
        runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(run));
        shiftFrom = run;
    } else if (offset == 0) {
        ++runs_[run].first;
    } else if (offset < length - 1) {
        // The run splits: the rows after the removed one start a run at its position.
        runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(run + 1),
                     Run{runs_[run].first + offset + 1, position});
        shiftFrom = run + 2;
    }
    for (std::size_t k = shiftFrom; k < runs_.size(); ++k) {
        --runs_[k].start;
    }
    --size_;
    if (runsTooMany()) {
        toRows();
    }
}

const std::vector<std::int64_t>& BookmarkList::rows() {
    if (!byRow_) {
        toRows();
    }
    return rows_;
}

void BookmarkList::toRows() {
    std::vector<std::int64_t> rows;
    copy(0, size_, rows);
    rows_ = std::move(rows);
    runs_ = {};
    byRow_ = true;
}

} // namespace document

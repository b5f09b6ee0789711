#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace document {

// "WHERE Counter IN (?,?,...)" with `count` parameters, for reading a block of bookmarked rows.
inline std::string CounterInList(std::ptrdiff_t count) {
    std::string sql = "WHERE Counter IN (";
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        sql += i == 0 ? "?" : ",?";
    }
    sql += ")";
    return sql;
}

// The rows of `found` (in the table's order, as an IN query gives them) in the order of the
// `count` bookmarks at `marks`. A bookmark without a row (deleted behind the record set's back)
// is passed over; one listed twice is given twice.
template <class Row, class CounterOf>
std::vector<Row> InBookmarkOrder(const std::vector<Row>& found, const std::int64_t* marks,
                                 std::ptrdiff_t count, CounterOf counterOf) {
    std::vector<std::size_t> byCounter(found.size());
    for (std::size_t k = 0; k < found.size(); ++k) {
        byCounter[k] = k;
    }
    std::sort(byCounter.begin(), byCounter.end(), [&](std::size_t a, std::size_t b) {
        return counterOf(found[a]) < counterOf(found[b]);
    });
    std::vector<Row> ordered;
    ordered.reserve(static_cast<std::size_t>(count));
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        const auto it = std::lower_bound(
            byCounter.begin(), byCounter.end(), marks[i],
            [&](std::size_t k, std::int64_t mark) { return counterOf(found[k]) < mark; });
        if (it != byCounter.end() && counterOf(found[*it]) == marks[i]) {
            ordered.push_back(found[*it]);
        }
    }
    return ordered;
}

} // namespace document

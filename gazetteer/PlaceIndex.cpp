#include "gazetteer/PlaceIndex.h"

#include "common/AppError.h"
#include "gazetteer/PlaceQuery.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <algorithm>
#include <limits>

namespace gazetteer {

namespace {

// Appends `text` with its ASCII capitals in lower case, as the NOCASE collation compares it.
void AppendFolded(std::string& to, const char* text, std::size_t length) {
    const std::size_t start = to.size();
    to.resize(start + length);
    std::transform(
        text, text + length, to.begin() + static_cast<std::ptrdiff_t>(start),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
}

} // namespace

std::string_view PlaceIndex::keyOf(const Entry& entry) const {
    return std::string_view(keys_).substr(entry.keyStart, entry.keyLength);
}

PlaceIndex::PlaceIndex(SQLite::Database& database, const PlaceColumns& c) {
    // A number in the search field is compared as its text.
    const QString searched = QStringLiteral("CAST(%1 AS TEXT)").arg(c.research);
    const QString where = QStringLiteral(" FROM %1 WHERE %2 IS NOT NULL").arg(c.table, c.research);
    SQLite::Statement scan(
        database,
        (QStringLiteral("SELECT rowid, %1, %2, %3").arg(searched, c.latitude, c.longitude) + where)
            .toStdString());
    while (scan.executeStep()) {
        const SQLite::Column key = scan.getColumn(1);
        const auto start = keys_.size();
        AppendFolded(keys_, static_cast<const char*>(key.getBlob()),
                     static_cast<std::size_t>(key.getBytes()));
        if (keys_.size() > std::numeric_limits<std::uint32_t>::max()) {
            throw common::AppError(common::kOutOfStringSpace,
                                   "The gazetteer's search field holds too much text to index.");
        }
        int error = CoordinateError(ColumnValue(scan.getColumn(2)));
        if (error == 0) {
            error = CoordinateError(ColumnValue(scan.getColumn(3)));
        }
        entries_.push_back({scan.getColumn(0).getInt64(), static_cast<std::uint32_t>(start),
                            static_cast<std::uint32_t>(keys_.size() - start), error});
    }
    const auto byKey = [this](const Entry& a, const Entry& b) {
        const int order = keyOf(a).compare(keyOf(b));
        return order != 0 ? order < 0 : a.id < b.id;
    };
    // A table read through its index of the search field usually comes in order already.
    if (!std::is_sorted(entries_.begin(), entries_.end(), byKey)) {
        std::sort(entries_.begin(), entries_.end(), byKey);
    }
    if (!c.byFips) {
        return;
    }
    std::vector<std::pair<std::int64_t, std::uint32_t>> positions;
    positions.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        positions.emplace_back(entries_[i].id, static_cast<std::uint32_t>(i));
    }
    std::sort(positions.begin(), positions.end());
    SQLite::Statement order(
        database, (QStringLiteral("SELECT rowid") + where +
                   QStringLiteral(" ORDER BY %1, %2 COLLATE NOCASE, rowid").arg(c.fips, searched))
                      .toStdString());
    listing_.reserve(entries_.size());
    while (order.executeStep()) {
        const std::int64_t id = order.getColumn(0).getInt64();
        const auto found = std::lower_bound(positions.begin(), positions.end(),
                                            std::make_pair(id, std::uint32_t{0}));
        if (found != positions.end() && found->first == id) {
            listing_.push_back(found->second);
        }
    }
}

std::vector<std::int64_t> PlaceIndex::find(const QString& key, bool exact) const {
    const QByteArray utf8 = key.toUtf8();
    std::string folded;
    AppendFolded(folded, utf8.constData(), static_cast<std::size_t>(utf8.size()));
    const std::string_view wanted(folded);
    const auto first = std::lower_bound(
        entries_.begin(), entries_.end(), wanted,
        [this](const Entry& entry, std::string_view k) { return keyOf(entry) < k; });
    const auto last = std::partition_point(first, entries_.end(), [&](const Entry& entry) {
        return exact ? keyOf(entry) == wanted : keyOf(entry).starts_with(wanted);
    });
    std::vector<std::int64_t> ids;
    ids.reserve(static_cast<std::size_t>(last - first));
    const auto take = [&ids](const Entry& entry) {
        if (entry.coordinateError != 0) {
            throw common::AppError(entry.coordinateError);
        }
        ids.push_back(entry.id);
    };
    if (listing_.empty()) {
        std::for_each(first, last, take);
        return ids;
    }
    const auto low = static_cast<std::size_t>(first - entries_.begin());
    const auto high = static_cast<std::size_t>(last - entries_.begin());
    for (const std::uint32_t position : listing_) {
        if (position >= low && position < high) {
            take(entries_[position]);
        }
    }
    return ids;
}

} // namespace gazetteer

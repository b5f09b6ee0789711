#include "gazetteer/PlaceIndex.h"

#include "common/AppError.h"
#include "gazetteer/PlaceQuery.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <utility>

namespace gazetteer {

namespace {

// How many records are read between two looks at the stop flag.
constexpr std::size_t kStopCheckRows = 4096;
// The most records room is made for before they are read, and the bytes of key made room for
// with each.
constexpr sqlite3_int64 kMostReserved = 4'000'000;
constexpr std::size_t kReservedKeyBytes = 16;

void CheckStop(const std::atomic<bool>* stop, std::size_t rows) {
    if (stop != nullptr && rows % kStopCheckRows == 0 && stop->load(std::memory_order_relaxed)) {
        throw PlaceIndex::Stopped{};
    }
}

// Folds the ASCII capitals of `text` to lower case in place, as the NOCASE collation compares.
void Fold(char* text, std::size_t length) {
    std::transform(text, text + length, text, [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
}

// The positions of record ids in a list of them: a table indexed by id when the ids are dense,
// as rowids usually are, else the pairs ordered by id.
class PositionsById {
public:
    template <typename IdOf> PositionsById(std::size_t count, IdOf idOf) {
        std::int64_t low = std::numeric_limits<std::int64_t>::max();
        std::int64_t high = std::numeric_limits<std::int64_t>::min();
        for (std::size_t i = 0; i < count; ++i) {
            low = std::min(low, idOf(i));
            high = std::max(high, idOf(i));
        }
        if (count > 0 && static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low) <
                             4 * static_cast<std::uint64_t>(count) + 1024) {
            low_ = low;
            table_.assign(static_cast<std::size_t>(high - low) + 1, kNone);
            for (std::size_t i = 0; i < count; ++i) {
                table_[static_cast<std::size_t>(idOf(i) - low)] = static_cast<std::uint32_t>(i);
            }
            return;
        }
        pairs_.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            pairs_.emplace_back(idOf(i), static_cast<std::uint32_t>(i));
        }
        std::sort(pairs_.begin(), pairs_.end());
    }

    std::optional<std::uint32_t> find(std::int64_t id) const {
        if (!table_.empty()) {
            if (id < low_ || static_cast<std::uint64_t>(id - low_) >= table_.size()) {
                return std::nullopt;
            }
            const std::uint32_t position = table_[static_cast<std::size_t>(id - low_)];
            return position == kNone ? std::nullopt : std::optional(position);
        }
        const auto found =
            std::lower_bound(pairs_.begin(), pairs_.end(), std::make_pair(id, std::uint32_t{0}));
        return found != pairs_.end() && found->first == id ? std::optional(found->second)
                                                           : std::nullopt;
    }

private:
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
    std::int64_t low_ = 0;
    std::vector<std::uint32_t> table_;
    std::vector<std::pair<std::int64_t, std::uint32_t>> pairs_;
};

// A statement read through SQLite's own calls, without a column object for each value read.
class RawStatement {
public:
    RawStatement(SQLite::Database& database, const QString& sql) : db_(database.getHandle()) {
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt* prepared = nullptr;
        const int rc = sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()),
                                          &prepared, nullptr);
        statement_.reset(prepared);
        if (rc != SQLITE_OK) {
            throw SQLite::Exception(db_, rc);
        }
    }
    // Moves to the next row; false after the last. A failed read raises SQLite::Exception.
    bool step() {
        const int rc = sqlite3_step(statement_.get());
        if (rc == SQLITE_ROW) {
            return true;
        }
        if (rc != SQLITE_DONE) {
            throw SQLite::Exception(db_, rc);
        }
        return false;
    }
    void bind(int parameter, const std::string& text) {
        const int rc = sqlite3_bind_text(statement_.get(), parameter, text.data(),
                                         static_cast<int>(text.size()), SQLITE_TRANSIENT);
        if (rc != SQLITE_OK) {
            throw SQLite::Exception(db_, rc);
        }
    }
    sqlite3_stmt* row() const { return statement_.get(); }

private:
    sqlite3* db_;
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement_{nullptr,
                                                                          &sqlite3_finalize};
};

QString FromWhere(const PlaceColumns& c) {
    return QStringLiteral(" FROM %1 WHERE %2 IS NOT NULL").arg(c.table, c.research);
}

} // namespace

// The condition of a range of the search field, as its case-free index compares, on the
// parameters ?1 and ?2 that `BindRange` sets; none for the whole table.
QString PlaceIndex::RangeCondition(const PlaceColumns& c, const Range* range) {
    if (range == nullptr) {
        return {};
    }
    QString condition = QStringLiteral(" AND %1 >= ?1 COLLATE NOCASE").arg(c.research);
    if (range->high) {
        condition += QStringLiteral(" AND %1 < ?2 COLLATE NOCASE").arg(c.research);
    }
    return condition;
}

template <typename Statement> void PlaceIndex::BindRange(Statement& statement, const Range* range) {
    if (range == nullptr) {
        return;
    }
    statement.bind(1, range->low);
    if (range->high) {
        statement.bind(2, *range->high);
    }
}

std::string_view PlaceIndex::keyOf(const Entry& entry) const {
    return std::string_view(keys_).substr(entry.keyStart, entry.keyLength);
}

PlaceIndex::PlaceIndex(SQLite::Database& database, const PlaceColumns& c,
                       const std::atomic<bool>* stop)
    : PlaceIndex(database, c, stop, nullptr) {}

PlaceIndex::PlaceIndex(SQLite::Database& database, const PlaceColumns& c,
                       const std::atomic<bool>* stop, const Range* range) {
    readKeys(database, c, stop, range);
    readCoordinateErrors(database, c, range);
    if (c.byFips) {
        readFipsOrder(database, c, stop, range);
    }
}

std::optional<PlaceIndex> PlaceIndex::Narrowed(SQLite::Database& database, const PlaceColumns& c,
                                               const QString& prefix) {
    // The case-free index puts numbers before texts and blobs after them: its first and last
    // values are texts only when all are.
    for (const char* direction : {"", " DESC"}) {
        RawStatement end(database, QStringLiteral("SELECT typeof(%1)").arg(c.research) +
                                       FromWhere(c) +
                                       QStringLiteral(" ORDER BY %1 COLLATE NOCASE%2 LIMIT 1")
                                           .arg(c.research, QLatin1String(direction)));
        if (end.step() && std::string_view(reinterpret_cast<const char*>(
                              sqlite3_column_text(end.row(), 0))) != "text") {
            return std::nullopt;
        }
    }
    Range range;
    const QByteArray folded = prefix.toUtf8();
    range.low.assign(folded.constData(), static_cast<std::size_t>(folded.size()));
    Fold(range.low.data(), range.low.size());
    // The texts that begin with `low` once folded lie from `low` up to `low` with its last byte
    // raised. SQLite folds that bound too, which can only raise it: the range may hold more
    // places, which the search passes over, never fewer.
    std::string high = range.low;
    while (!high.empty() && static_cast<unsigned char>(high.back()) == 0xFF) {
        high.pop_back();
    }
    if (!high.empty()) {
        high.back() = static_cast<char>(static_cast<unsigned char>(high.back()) + 1);
        range.high = std::move(high);
    }
    return PlaceIndex(database, c, nullptr, &range);
}

void PlaceIndex::readKeys(SQLite::Database& database, const PlaceColumns& c,
                          const std::atomic<bool>* stop, const Range* range) {
    // The searched table always has an index of the search field comparing without regard to
    // case, which SQLite reads instead of the records: the keys come in their order, unless
    // numbers (which that index puts first) stand in the field. A number is compared as its
    // text, which SQLite writes as CAST(... AS TEXT) does; a text is read where it lies.
    RawStatement scan(database, QStringLiteral("SELECT rowid, ") + c.research + FromWhere(c) +
                                    RangeCondition(c, range));
    BindRange(scan, range);
    if (range == nullptr) {
        // Room for every record at once: the highest rowid bounds their number, unless records
        // were deleted.
        RawStatement last(database, QStringLiteral("SELECT max(rowid) FROM ") + c.table);
        if (last.step()) {
            const auto reserved = static_cast<std::size_t>(
                std::clamp<sqlite3_int64>(sqlite3_column_int64(last.row(), 0), 0, kMostReserved));
            entries_.reserve(reserved);
            keys_.reserve(reserved * kReservedKeyBytes);
        }
    }
    sqlite3_stmt* row = scan.row();
    while (scan.step()) {
        CheckStop(stop, entries_.size());
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, 1));
        const auto length = static_cast<std::size_t>(sqlite3_column_bytes(row, 1));
        const std::size_t start = keys_.size();
        if (start + length > std::numeric_limits<std::uint32_t>::max()) {
            throw common::AppError(common::kOutOfStringSpace,
                                   "The gazetteer's search field holds too much text to index.");
        }
        keys_.append(text, length);
        Fold(keys_.data() + start, length);
        entries_.push_back({sqlite3_column_int64(row, 0), static_cast<std::uint32_t>(start),
                            static_cast<std::uint32_t>(length)});
    }
    const auto byKey = [this](const Entry& a, const Entry& b) {
        const int order = keyOf(a).compare(keyOf(b));
        return order != 0 ? order < 0 : a.id < b.id;
    };
    if (!std::is_sorted(entries_.begin(), entries_.end(), byKey)) {
        std::sort(entries_.begin(), entries_.end(), byKey);
    }
}

void PlaceIndex::readCoordinateErrors(SQLite::Database& database, const PlaceColumns& c,
                                      const Range* range) {
    if (c.numericCoordinates) {
        return; // no record can hold anything else
    }
    // SQLite passes over the numbers itself; only the few other values are looked at here, as a
    // listed row reads them.
    SQLite::Statement odd(
        database, (QStringLiteral("SELECT rowid, %1, %2").arg(c.latitude, c.longitude) +
                   FromWhere(c) + RangeCondition(c, range) +
                   QStringLiteral(" AND NOT (typeof(%1) IN ('integer', 'real') AND typeof(%2) IN "
                                  "('integer', 'real'))")
                       .arg(c.latitude, c.longitude))
                      .toStdString());
    BindRange(odd, range);
    while (odd.executeStep()) {
        int error = CoordinateError(ColumnValue(odd.getColumn(1)));
        if (error == 0) {
            error = CoordinateError(ColumnValue(odd.getColumn(2)));
        }
        if (error != 0) {
            errors_.emplace_back(odd.getColumn(0).getInt64(), error);
        }
    }
    std::sort(errors_.begin(), errors_.end());
}

void PlaceIndex::readFipsOrder(SQLite::Database& database, const PlaceColumns& c,
                               const std::atomic<bool>* stop, const Range* range) {
    const PositionsById positions(entries_.size(),
                                  [this](std::size_t i) { return entries_[i].id; });
    // SQLite orders the codes, as the field's collation says: the groups of equal codes in
    // their order, each with its number of records, and the records in the same order. Within
    // a group the records keep the order of the keys, so that the listing is by code, then key
    // without regard to case, then record id.
    const QString from = range == nullptr ? QStringLiteral(" FROM ") + c.table
                                          : FromWhere(c) + RangeCondition(c, range);
    RawStatement groups(database, QStringLiteral("SELECT count(*)") + from +
                                      QStringLiteral(" GROUP BY %1 ORDER BY %1").arg(c.fips));
    RawStatement records(database, QStringLiteral("SELECT rowid") + from +
                                       QStringLiteral(" ORDER BY ") + c.fips);
    BindRange(groups, range);
    BindRange(records, range);
    std::vector<std::uint32_t> groupOf(entries_.size());
    std::vector<std::uint32_t> groupStart; // the number of entries of each group, until summed
    std::size_t read = 0;
    while (groups.step()) {
        const auto group = static_cast<std::uint32_t>(groupStart.size());
        groupStart.push_back(0);
        for (sqlite3_int64 left = sqlite3_column_int64(groups.row(), 0); left > 0 && records.step();
             --left) {
            CheckStop(stop, ++read);
            if (const auto position = positions.find(sqlite3_column_int64(records.row(), 0))) {
                groupOf[*position] = group;
                ++groupStart.back();
            }
        }
    }
    std::uint32_t sum = 0;
    for (std::uint32_t& start : groupStart) {
        sum += std::exchange(start, sum);
    }
    listing_.resize(entries_.size());
    for (std::uint32_t position = 0; position < entries_.size(); ++position) {
        listing_[groupStart[groupOf[position]]++] = position;
    }
}

int PlaceIndex::coordinateError(std::int64_t id) const {
    if (errors_.empty()) {
        return 0;
    }
    const auto found =
        std::lower_bound(errors_.begin(), errors_.end(), std::make_pair(id, 0),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    return found != errors_.end() && found->first == id ? found->second : 0;
}

std::vector<std::int64_t> PlaceIndex::find(const QString& key, bool exact) const {
    QByteArray wantedBytes = key.toUtf8();
    Fold(wantedBytes.data(), static_cast<std::size_t>(wantedBytes.size()));
    const std::string_view wanted(wantedBytes.constData(),
                                  static_cast<std::size_t>(wantedBytes.size()));
    const auto first = std::lower_bound(
        entries_.begin(), entries_.end(), wanted,
        [this](const Entry& entry, std::string_view k) { return keyOf(entry) < k; });
    const auto last = std::partition_point(first, entries_.end(), [&](const Entry& entry) {
        return exact ? keyOf(entry) == wanted : keyOf(entry).starts_with(wanted);
    });
    std::vector<std::int64_t> ids;
    ids.reserve(static_cast<std::size_t>(last - first));
    const auto take = [this, &ids](const Entry& entry) {
        if (const int error = coordinateError(entry.id); error != 0) {
            throw common::AppError(error);
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

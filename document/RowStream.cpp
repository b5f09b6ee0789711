#include "document/RowStream.h"

#include "document/RecordSet.h"

#include <algorithm>
#include <stdexcept>

namespace document {

namespace {

using namespace column;

// A block of ascending bookmarks is read as a range when the range holds at most this many rows
// per bookmark: looking a row up by its bookmark costs about as much as reading three in a range.
constexpr std::int64_t kRangeRowsPerBookmark = 2;

QString TextOf(const SQLite::Column& column) {
    return QString::fromUtf8(static_cast<const char*>(column.getBlob()), column.getBytes());
}

// Stores a column into its field; a Null column leaves the field Null.
void ReadField(Record& r, int field, const SQLite::Column& column) {
    if (column.isNull()) {
        return;
    }
    switch (field) {
    case kPeriod:
        r.PERIOD = static_cast<std::int16_t>(column.getInt());
        break;
    case kLatitude:
        r.LATITUDE = static_cast<float>(column.getDouble());
        break;
    case kLongitude:
        r.LONGITUDE = static_cast<float>(column.getDouble());
        break;
    case kN1:
        r.N1 = static_cast<std::int32_t>(column.getInt());
        break;
    case kN2:
        r.N2 = static_cast<std::int32_t>(column.getInt());
        break;
    case kSex:
        r.SEX = TextOf(column);
        break;
    case kDatum:
        r.DATUM = TextOf(column);
        break;
    case kOriginal:
        r.ORIGINAL = TextOf(column);
        break;
    case kDate:
        r.DATE = TextOf(column);
        break;
    case kComment:
        r.COMMENT = TextOf(column);
        break;
    default:
        break;
    }
}

// Leaves a statement reset when a block has been read, so that no read stays open on the table
// while the caller writes to it, and a failed step does not fail the next block too.
class ResetAfter {
public:
    explicit ResetAfter(SQLite::Statement& statement) : statement_(statement) {}
    ~ResetAfter() { static_cast<void>(statement_.tryReset()); }
    ResetAfter(const ResetAfter&) = delete;
    ResetAfter& operator=(const ResetAfter&) = delete;

private:
    SQLite::Statement& statement_;
};

// "WHERE Counter IN (?,?,...)" with `count` parameters.
std::string CounterInList(std::size_t count) {
    std::string sql = "WHERE Counter IN (";
    sql.reserve(sql.size() + 2 * count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        sql += i == 0 ? "?" : ",?";
    }
    sql += ")";
    return sql;
}

bool ReadAsRange(std::span<const std::int64_t> marks) {
    return std::is_sorted(marks.begin(), marks.end()) &&
           marks.back() - marks.front() <
               kRangeRowsPerBookmark * static_cast<std::int64_t>(marks.size());
}

} // namespace

RowFields::RowFields(std::initializer_list<std::string_view> names) : bits_(0) {
    for (const std::string_view name : names) {
        const int field =
            FieldIndex(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        if (field < kPeriod) {
            throw std::invalid_argument("RowFields: \"" + std::string(name) +
                                        "\" is not a stored field of DOVAZOV");
        }
        bits_ = static_cast<std::uint16_t>(bits_ | 1U << field);
    }
}

RowStream::RowStream(SQLite::Database& db, std::span<const std::int64_t> bookmarks,
                     RowFields fields)
    : db_(db), marks_(bookmarks), size_(static_cast<std::ptrdiff_t>(bookmarks.size())),
      columns_("SELECT Counter") {
    for (int field = kPeriod; field <= kComment; ++field) {
        if (fields.has(field)) {
            fields_.push_back(field);
            columns_ += ", ";
            columns_ += kFieldNames[field];
        }
    }
    columns_ += " FROM DOVAZOV ";
}

RowStream::RowStream(const RecordSet& records, RowFields fields)
    : RowStream(records.database(), {}, fields) {
    shared_ = records.bookmarkList();
    size_ = shared_->size();
}

std::span<const std::int64_t> RowStream::marksAt(std::ptrdiff_t first, std::ptrdiff_t count) {
    if (!shared_) {
        return marks_.subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
    }
    shared_->copy(first, std::clamp<std::ptrdiff_t>(shared_->size() - first, 0, count), copied_);
    return copied_;
}

bool RowStream::next(Record& record) {
    while (given_ >= block_.size()) {
        if (walked_ >= size()) {
            return false;
        }
        const std::ptrdiff_t count = std::min(kBlock, size() - walked_);
        const auto marks = marksAt(walked_, count);
        // Taken before reading, so that a block that fails is passed over by the next call.
        walked_ += count;
        block_.clear();
        given_ = 0;
        readBlock(marks, block_);
    }
    record = std::move(block_[given_++]);
    return true;
}

std::vector<Record> RowStream::window(std::ptrdiff_t first, std::ptrdiff_t count) {
    if (first < 0 || count < 0 || count > size() - first) {
        throw std::out_of_range("RowStream::window: bookmarks " + std::to_string(first) + " to " +
                                std::to_string(first + count) + " of a list of " +
                                std::to_string(size()));
    }
    std::vector<Record> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (std::ptrdiff_t start = first; start < first + count; start += kBlock) {
        const std::ptrdiff_t wanted = std::min(kBlock, first + count - start);
        const auto marks = marksAt(start, wanted);
        const std::size_t before = rows.size();
        readBlock(marks, rows);
        // The rows come in bookmark order with the missing ones passed over: the first row that
        // is not its position's bookmark marks the gap.
        std::size_t k = 0;
        while (before + k < rows.size() && rows[before + k].Counter == marks[k]) {
            ++k;
        }
        if (k < static_cast<std::size_t>(wanted)) {
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(before + k), rows.end());
            break;
        }
    }
    return rows;
}

void RowStream::readBlock(std::span<const std::int64_t> marks, std::vector<Record>& out) {
    if (marks.empty()) {
        return;
    }
    if (ReadAsRange(marks)) {
        readRange(marks, out);
    } else {
        readListed(marks, out);
    }
}

// The rows between the block's first and last bookmark, keeping those of the list.
void RowStream::readRange(std::span<const std::int64_t> marks, std::vector<Record>& out) {
    if (!range_) {
        range_ = std::make_unique<SQLite::Statement>(
            db_, columns_ + "WHERE Counter BETWEEN ? AND ? ORDER BY Counter");
    }
    SQLite::Statement& query = *range_;
    const ResetAfter done(query);
    query.bind(1, marks.front());
    query.bind(2, marks.back());
    std::size_t i = 0;
    while (i < marks.size() && query.executeStep()) {
        const std::int64_t counter = query.getColumn(0).getInt64();
        while (i < marks.size() && marks[i] < counter) {
            ++i; // deleted behind the list's back
        }
        if (i < marks.size() && marks[i] == counter) {
            out.push_back(recordFrom(query));
            for (++i; i < marks.size() && marks[i] == counter; ++i) {
                Record again = out.back();
                out.push_back(std::move(again));
            }
        }
    }
}

// The block's rows looked up by bookmark; they come in the table's order and are put back in
// the list's.
void RowStream::readListed(std::span<const std::int64_t> marks, std::vector<Record>& out) {
    auto& slot = static_cast<std::ptrdiff_t>(marks.size()) == kBlock ? fullList_ : tailList_;
    if (!slot || slot->getBindParameterCount() != static_cast<int>(marks.size())) {
        slot = std::make_unique<SQLite::Statement>(db_, columns_ + CounterInList(marks.size()));
    }
    SQLite::Statement& query = *slot;
    const ResetAfter done(query);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        query.bind(static_cast<int>(i + 1), marks[i]);
    }
    found_.clear();
    while (query.executeStep()) {
        found_.push_back(recordFrom(query));
    }
    const auto byCounter = [](const Record& a, const Record& b) { return a.Counter < b.Counter; };
    if (!std::is_sorted(found_.begin(), found_.end(), byCounter)) {
        std::sort(found_.begin(), found_.end(), byCounter);
    }
    for (const std::int64_t mark : marks) {
        const auto it =
            std::lower_bound(found_.begin(), found_.end(), mark,
                             [](const Record& r, std::int64_t m) { return r.Counter < m; });
        if (it != found_.end() && it->Counter == mark) {
            out.push_back(*it);
        }
    }
}

Record RowStream::recordFrom(SQLite::Statement& statement) const {
    Record r;
    r.Counter = statement.getColumn(0).getInt64();
    for (std::size_t k = 0; k < fields_.size(); ++k) {
        ReadField(r, fields_[k], statement.getColumn(static_cast<int>(k + 1)));
    }
    return r;
}

Record RecordFromRow(SQLite::Statement& statement, int firstColumn) {
    Record r;
    r.Counter = statement.getColumn(firstColumn).getInt64();
    for (int field = kPeriod; field <= kComment; ++field) {
        ReadField(r, field, statement.getColumn(firstColumn + field));
    }
    return r;
}

} // namespace document

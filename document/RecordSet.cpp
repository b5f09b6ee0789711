#include "document/RecordSet.h"

#include "common/AppError.h"
#include "document/RowStream.h"

#include <QRegularExpression>
#include <algorithm>

namespace document {

namespace {

constexpr std::ptrdiff_t kBlock = 256;

template <typename T>
void BindOptional(SQLite::Statement& s, int index, const std::optional<T>& v) {
    if (!v) {
        s.bind(index);
    } else if constexpr (std::is_same_v<T, QString>) {
        s.bind(index, v->toStdString());
    } else if constexpr (std::is_same_v<T, float>) {
        s.bind(index, static_cast<double>(*v));
    } else {
        s.bind(index, static_cast<int>(*v));
    }
}

// The Counter column of a record source: a bare table name reads the table in Counter order.
QString CounterQuery(const QString& recordSource) {
    const QString trimmed = recordSource.trimmed();
    if (!trimmed.contains(QLatin1Char(' '))) {
        return QStringLiteral("SELECT Counter FROM ") + trimmed +
               QStringLiteral(" ORDER BY Counter");
    }
    // Only the bookmarks are needed: when the source sorts, sort the Counter column alone rather
    // than whole rows. Without an ORDER BY the text stays as written, so that SQLite does not
    // walk an index (the PERIOD index covers Counter) and the rows keep the table's order.
    static const QRegularExpression selectAll(QStringLiteral(R"(^SELECT\s+\*\s+FROM\s)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression orderBy(QStringLiteral(R"(\bORDER\s+BY\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = selectAll.match(trimmed);
    if (match.hasMatch() && orderBy.match(trimmed).hasMatch()) {
        return QStringLiteral("SELECT Counter FROM ") + trimmed.mid(match.capturedLength());
    }
    return trimmed;
}

// Whether a Counter query reads the whole table in Counter order.
bool WholeTableInOrder(const QString& query) {
    static const QRegularExpression whole(
        QStringLiteral(R"(^SELECT\s+\[?Counter\]?\s+FROM\s+\[?DOVAZOV\]?\s+ORDER\s+BY\s+)"
                       R"(\[?Counter\]?(\s+ASC)?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    return whole.match(query).hasMatch();
}

// The bookmarks of the whole table when its Counters follow one another without a gap, as they
// do after a file is read: then the list is known from three figures, without reading a row.
// False when there is a gap.
bool ConsecutiveTable(SQLite::Database& db, BookmarkList& list) {
    SQLite::Statement figures(db, "SELECT count(*), min(Counter), max(Counter) FROM DOVAZOV");
    if (!figures.executeStep()) {
        return false;
    }
    const std::int64_t count = figures.getColumn(0).getInt64();
    if (count == 0) {
        return true;
    }
    const std::int64_t first = figures.getColumn(1).getInt64();
    if (figures.getColumn(2).getInt64() - first + 1 != count) {
        return false;
    }
    list.pushRange(first, static_cast<std::ptrdiff_t>(count));
    return true;
}

} // namespace

const char* const kInsertRecordSql =
    "INSERT INTO DOVAZOV (PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, ORIGINAL, DATE, "
    "COMMENT) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

void BindRecord(SQLite::Statement& s, const Record& r, int i) {
    BindOptional(s, i, r.PERIOD);
    BindOptional(s, i + 1, r.LATITUDE);
    BindOptional(s, i + 2, r.LONGITUDE);
    BindOptional(s, i + 3, r.N1);
    BindOptional(s, i + 4, r.N2);
    BindOptional(s, i + 5, r.SEX);
    BindOptional(s, i + 6, r.DATUM);
    BindOptional(s, i + 7, r.ORIGINAL);
    BindOptional(s, i + 8, r.DATE);
    BindOptional(s, i + 9, r.COMMENT);
}

RecordSet::RecordSet(SQLite::Database& db, std::shared_ptr<BookmarkList> list)
    : db_(&db), list_(std::move(list)) {}

RecordSet RecordSet::open(SQLite::Database& db, const QString& recordSource) {
    auto list = std::make_shared<BookmarkList>();
    try {
        const QString counters = CounterQuery(recordSource);
        if (!WholeTableInOrder(counters) || !ConsecutiveTable(db, *list)) {
            SQLite::Statement query(db, counters.toStdString());
            const int column = query.getColumnIndex("Counter");
            while (query.executeStep()) {
                list->push_back(query.getColumn(column).getInt64());
            }
        }
    } catch (const SQLite::Exception& e) {
        throw common::AppError(common::kQueryError, e.what());
    }
    return RecordSet(db, std::move(list));
}

RecordSet RecordSet::clone() const {
    RecordSet copy(*db_, list_);
    copy.position_ = 0;
    return copy;
}

void RecordSet::moveFirst() {
    position_ = 0;
}

void RecordSet::moveLast() {
    position_ = list_->size() - 1;
}

void RecordSet::moveNext() {
    if (eof()) {
        throw common::AppError(common::kNoCurrentRecord);
    }
    ++position_;
}

void RecordSet::movePrevious() {
    if (bof()) {
        throw common::AppError(common::kNoCurrentRecord);
    }
    --position_;
}

void RecordSet::setAbsolutePosition(std::ptrdiff_t position) {
    if (position < 0 || position >= list_->size()) {
        throw common::AppError(common::kNoCurrentRecord);
    }
    position_ = position;
}

void RecordSet::requireCurrent() const {
    if (bof() || eof()) {
        throw common::AppError(common::kNoCurrentRecord);
    }
}

std::int64_t RecordSet::bookmark() const {
    requireCurrent();
    return list_->at(position_);
}

std::int64_t RecordSet::bookmarkAt(std::ptrdiff_t position) const {
    if (position < 0 || position >= list_->size()) {
        throw common::AppError(common::kNoCurrentRecord);
    }
    return list_->at(position);
}

void RecordSet::setBookmark(std::int64_t counter) {
    const std::ptrdiff_t position = list_->find(counter);
    if (position < 0) {
        throw common::AppError(common::kInvalidBookmark);
    }
    position_ = position;
}

Record RecordSet::current() const {
    requireCurrent();
    Cache& cache = *cache_;
    // A row removed through another cursor shifts the list under this cursor's block: a cached
    // row whose Counter is not the current bookmark is stale, and the block is read again.
    if (cache.first < 0 || position_ < cache.first ||
        position_ >= cache.first + static_cast<std::ptrdiff_t>(cache.rows.size()) ||
        cache.rows[static_cast<size_t>(position_ - cache.first)].Counter != list_->at(position_)) {
        // Read the block of rows from the current one on, in list order; a row deleted behind
        // this cursor's back ends the block.
        const std::ptrdiff_t count = std::min<std::ptrdiff_t>(kBlock, list_->size() - position_);
        cache.rows = RowStream(*this).window(position_, count);
        cache.first = position_;
        if (cache.rows.empty()) {
            cache.first = -1;
            throw common::AppError(common::kRecordDeleted);
        }
    }
    return cache.rows[static_cast<size_t>(position_ - cache.first)];
}

void RecordSet::update(const Record& record) {
    const std::int64_t counter = bookmark();
    ValidateRecord(record);
    SQLite::Statement statement(*db_, "UPDATE DOVAZOV SET PERIOD = ?, LATITUDE = ?, LONGITUDE = ?, "
                                      "N1 = ?, N2 = ?, SEX = ?, DATUM = ?, ORIGINAL = ?, DATE = ?, "
                                      "COMMENT = ? WHERE Counter = ?");
    BindRecord(statement, record);
    statement.bind(11, counter);
    statement.exec();
    Cache& cache = *cache_;
    if (cache.first >= 0 && position_ >= cache.first &&
        position_ < cache.first + static_cast<std::ptrdiff_t>(cache.rows.size())) {
        Record& cached = cache.rows[static_cast<size_t>(position_ - cache.first)];
        cached = record;
        cached.Counter = counter;
    }
}

std::int64_t RecordSet::addNew(const Record& record) {
    ValidateRecord(record);
    SQLite::Statement statement(*db_, kInsertRecordSql);
    BindRecord(statement, record);
    statement.exec();
    const std::int64_t counter = db_->getLastInsertRowid();
    list_->push_back(counter);
    return counter;
}

std::int64_t RecordSet::addNewRecords(const Record& record, int count) {
    if (count <= 0) {
        return 0;
    }
    ValidateRecord(record);
    SQLite::Statement statement(*db_, kInsertRecordSql);
    BindRecord(statement, record);
    list_->reserve(count);
    std::int64_t counter = 0;
    for (int i = 0; i < count; ++i) {
        statement.exec();
        statement.reset();
        counter = db_->getLastInsertRowid();
        list_->push_back(counter);
    }
    return counter;
}

void RecordSet::remove() {
    const std::int64_t counter = bookmark();
    SQLite::Statement statement(*db_, "DELETE FROM DOVAZOV WHERE Counter = ?");
    statement.bind(1, counter);
    statement.exec();
    list_->erase(position_);
    invalidate();
}

} // namespace document

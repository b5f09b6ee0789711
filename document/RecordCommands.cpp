#include "document/RecordCommands.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/RowStream.h"
#include "platform/Feedback.h"

#include <SQLiteCpp/Transaction.h>
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <string>

namespace document {

namespace {

constexpr int kGridColumns = 10;

// Grid column c shows field c + 1 of the table (Counter is not shown).
const char* ColumnField(int column) {
    return kFieldNames[column + 1];
}

// The value an erased cell gets. DATUM and ORIGINAL take Null: the table refuses an empty text
// there, and a half-erased column helps nobody.
const char* ErasedValue(int column) {
    switch (column) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
        return "0";
    case 6:
    case 7:
        return "NULL";
    default:
        return "''";
    }
}

// The text of a single at the precision the grid shows it.
std::optional<QString> SingleText(double value) {
    if (!std::isfinite(value) || std::abs(value) > std::numeric_limits<float>::max()) {
        return std::nullopt;
    }
    return QString::fromStdString(common::CStrSingle(static_cast<float>(value)));
}

bool SameNumber(const std::optional<std::int32_t>& field, double value) {
    return field && static_cast<double>(*field) == value;
}

bool SameSingle(const std::optional<float>& field, const std::optional<QString>& text) {
    return field && text && QString::fromStdString(common::CStrSingle(*field)) == *text;
}

bool SameText(const std::optional<QString>& field, const QString& upper) {
    return field && field->compare(upper, Qt::CaseInsensitive) == 0;
}

// The engine's own wildcards only: "%" and "_" typed in a Find are searched for as they are.
LikeOptions FindLikeOptions() {
    LikeOptions options;
    options.digitWildcard = true;
    return options;
}

bool Like(const std::optional<QString>& field, const LikePattern& pattern) {
    return field && pattern.matches(*field);
}

// Ends a batch transaction after an error: what was written stays written.
void KeepWhatWasWritten(SQLite::Transaction& transaction) {
    try {
        transaction.commit();
    } catch (const SQLite::Exception&) {
        // The error that stopped the batch is the one to report.
    }
}

common::AppError EngineError(const SQLite::Exception& error) {
    return common::AppError(common::kDatabaseError, error.what());
}

} // namespace

bool ReadsAsNumber(const QString& text) {
    return common::IsStrictNumber(text.toStdString());
}

std::optional<double> NumberInRange(const QString& text) {
    try {
        return common::StrictNumber(text.toStdString());
    } catch (const common::AppError& error) {
        if (error.number() != common::kOverflow) {
            throw;
        }
        return std::nullopt;
    }
}

QString FindCriteriaText(const QString& upper) {
    const QString& t = upper;
    if (NumberInRange(t)) {
        return QStringLiteral("PERIOD = ") + t + QStringLiteral(" OR Latitude = ") + t +
               QStringLiteral(" OR LONGITUDE = ") + t + QStringLiteral(" OR N1 = ") + t +
               QStringLiteral(" OR N2 = ") + t + QStringLiteral(" OR SEX = ") + t +
               QStringLiteral(" OR DATUM = '") + t + QStringLiteral("' OR ORIGINAL = '") + t +
               QStringLiteral("' OR DATE like '*") + t + QStringLiteral("*' OR COMMENT like '*") +
               t + QStringLiteral("*'");
    }
    return QStringLiteral("SEX LIKE '*") + t + QStringLiteral("*' OR DATUM = '") + t +
           QStringLiteral("' OR ORIGINAL LIKE '*") + t + QStringLiteral("*' OR DATE like '*") + t +
           QStringLiteral("*' OR COMMENT like '*") + t + QStringLiteral("*'");
}

bool EngineLikeMatch(QStringView text, QStringView pattern) {
    return LikePattern(pattern, FindLikeOptions()).matches(text);
}

FindTerms::FindTerms(const QString& upper)
    : upper_(upper), contains_(QString(QLatin1Char('*') + upper + QLatin1Char('*'))) {
    if (const std::optional<double> value = NumberInRange(upper)) {
        numeric_ = true;
        value_ = *value;
        singleText_ = SingleText(value_);
    }
}

RowFields FindTerms::fields() const {
    if (numeric_) {
        return {};
    }
    return {"SEX", "DATUM", "ORIGINAL", "DATE", "COMMENT"};
}

bool FindTerms::matches(const Record& record) const {
    return numeric_ ? matchesNumber(record) : matchesText(record);
}

bool FindTerms::matchesNumber(const Record& r) const {
    const bool period = r.PERIOD && static_cast<double>(*r.PERIOD) == value_;
    // SEX is a text: it matches when it reads as the same number.
    const bool sex = r.SEX && NumberInRange(*r.SEX) == value_;
    return period || SameSingle(r.LATITUDE, singleText_) || SameSingle(r.LONGITUDE, singleText_) ||
           SameNumber(r.N1, value_) || SameNumber(r.N2, value_) || sex ||
           SameText(r.DATUM, upper_) || SameText(r.ORIGINAL, upper_) || Like(r.DATE, contains_) ||
           Like(r.COMMENT, contains_);
}

bool FindTerms::matchesText(const Record& r) const {
    return Like(r.SEX, contains_) || SameText(r.DATUM, upper_) || Like(r.ORIGINAL, contains_) ||
           Like(r.DATE, contains_) || Like(r.COMMENT, contains_);
}

std::optional<std::ptrdiff_t> FindRecord(const RecordSet& records, const FindTerms& terms,
                                         std::ptrdiff_t from) {
    const std::vector<std::int64_t>& marks = records.bookmarks();
    const auto count = static_cast<std::ptrdiff_t>(marks.size());
    const std::ptrdiff_t first = std::max<std::ptrdiff_t>(from, 0);
    if (first >= count) {
        return std::nullopt;
    }
    // One stream through the rows, a block at a time; a row deleted behind the record set's back
    // is passed over, so the position follows the bookmarks.
    RowStream rows(records.database(), std::span(marks).subspan(static_cast<std::size_t>(first)),
                   terms.fields());
    Record record;
    std::ptrdiff_t position = first;
    std::ptrdiff_t shownTenth = 0;
    while (rows.next(record)) {
        while (position < count && marks[static_cast<std::size_t>(position)] != record.Counter) {
            ++position;
        }
        if (position == count) {
            break;
        }
        if (terms.matches(record)) {
            return position;
        }
        const std::ptrdiff_t tenth = (position - first) * 10 / (count - first);
        if (tenth != shownTenth) {
            shownTenth = tenth;
            platform::SetProgress(static_cast<double>(tenth * 10));
        }
        ++position;
    }
    return std::nullopt;
}

std::int64_t DuplicateRecord(std::int64_t bookmark) {
    DataControl& data = Data1();
    const RecordSet& records = data.recordset();
    RecordSet source = records.clone();
    RecordSet target = records.clone();
    source.setBookmark(bookmark);
    const Record copy = source.current();
    std::int64_t counter = 0;
    try {
        SQLite::Transaction transaction(records.database());
        counter = target.addNew(copy);
        transaction.commit();
    } catch (const SQLite::Exception& error) {
        throw EngineError(error);
    }
    data.refresh();
    data.recordset().moveLast();
    Document().FileModified = -1;
    return counter;
}

void EraseColumns(int firstColumn, int lastColumn) {
    if (firstColumn < 0 || lastColumn >= kGridColumns || firstColumn > lastColumn) {
        throw common::AppError(common::kSubscript);
    }
    DataControl& data = Data1();
    const RecordSet rows = data.recordset().clone();
    SQLite::Database& db = rows.database();
    // Fixed column names and values: nothing of the user's goes into the statement.
    std::string sql = "UPDATE DOVAZOV SET ";
    for (int column = firstColumn; column <= lastColumn; ++column) {
        if (column > firstColumn) {
            sql += ", ";
        }
        sql += std::string(ColumnField(column)) + " = " + ErasedValue(column);
    }
    sql += " WHERE Counter = ?";
    try {
        SQLite::Statement update(db, sql);
        SQLite::Transaction transaction(db);
        try {
            for (const std::int64_t counter : rows.bookmarks()) {
                update.bind(1, counter);
                update.exec();
                update.reset();
            }
        } catch (...) {
            KeepWhatWasWritten(transaction);
            throw;
        }
        transaction.commit();
    } catch (const SQLite::Exception& error) {
        throw EngineError(error);
    }
    Document().FileModified = -1;
    data.refresh();
}

std::ptrdiff_t PositionAfterDelete(std::ptrdiff_t remembered, int recordCount) {
    if (recordCount <= 0) {
        return -1;
    }
    return std::clamp<std::ptrdiff_t>(remembered, 0, recordCount - 1);
}

std::optional<std::int64_t> DeleteRecords(const std::vector<std::int64_t>& bookmarks) {
    DataControl& data = Data1();
    const std::ptrdiff_t remembered = data.recordset().absolutePosition();
    SQLite::Database& db = data.recordset().database();
    bool deletedSome = false;
    try {
        SQLite::Statement remove(db, "DELETE FROM DOVAZOV WHERE Counter = ?");
        SQLite::Transaction transaction(db);
        try {
            for (const std::int64_t counter : bookmarks) {
                remove.bind(1, counter);
                remove.exec();
                remove.reset();
                deletedSome = true;
            }
        } catch (...) {
            KeepWhatWasWritten(transaction);
            throw;
        }
        transaction.commit();
    } catch (const std::exception& error) {
        // The rows already deleted are gone: the grid must not go on showing them.
        if (deletedSome) {
            Document().FileModified = -1;
            data.refresh();
        }
        if (const auto* engine = dynamic_cast<const SQLite::Exception*>(&error)) {
            throw EngineError(*engine);
        }
        throw;
    }
    Document().FileModified = -1;
    data.refresh();
    RecordSet& records = data.recordset();
    const std::ptrdiff_t position = PositionAfterDelete(remembered, records.recordCount());
    if (position < 0) {
        return std::nullopt;
    }
    records.setAbsolutePosition(position);
    return records.bookmark();
}

} // namespace document

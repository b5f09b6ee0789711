#pragma once

#include "document/EngineLike.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "document/RowStream.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <vector>

namespace document {

// The table work of the main window's record commands: find, duplicate, erase columns and delete
// rows of Data1's record set. The windows ask the questions; nothing here shows anything.

// The criteria text of a Find for the upper-case text `upper`, as the original engine was given
// it: ten terms when the text is a number in range (NumberInRange), five otherwise, joined by
// " OR ". The text goes in unchanged; the search itself never runs this text (FindTerms evaluates
// the same terms).
QString FindCriteriaText(const QString& upper);

// Whether a typed text reads as a number as a whole (common::IsStrictNumber): blanks around it, an
// optional sign, digits with at most one ".", an optional exponent.
bool ReadsAsNumber(const QString& text);

// The value of a text that reads as a number (common::StrictNumber) within the range of a double
// (a number too small for it reads as 0); none otherwise. "1E999" has none: Find searches for it
// as a text.
std::optional<double> NumberInRange(const QString& text);

// Whether `text` matches `pattern` with the LIKE of the original engine as Find uses it: "*", "?",
// "#" one digit and the sets of EngineLike.h; "%" and "_" are ordinary characters.
bool EngineLikeMatch(QStringView text, QStringView pattern);

// The terms of FindCriteriaText evaluated in C++ on a record: the typed text is only ever a value,
// so a quote in it is searched for like any other character. Texts compare without regard to case;
// a Null field matches no term. A latitude or longitude compares at the precision it is stored in:
// it matches when both numbers, as singles, give the same text of at most 7 significant digits,
// so the value the grid shows is found.
class FindTerms {
public:
    explicit FindTerms(const QString& upper);
    // The fields the terms look at: a Find reads no others.
    RowFields fields() const;
    bool matches(const Record& record) const;
    bool numeric() const { return numeric_; }

private:
    bool matchesNumber(const Record& record) const;
    bool matchesText(const Record& record) const;

    QString upper_;
    LikePattern contains_; // "*" + text + "*", with "#" a digit
    bool numeric_ = false;
    double value_ = 0.0;
    std::optional<QString> singleText_; // the value as a single, 7 significant digits
};

// The position of the first row of `records`, in its order, at or after `from` that the terms
// match; none when no row does. `records` does not move.
std::optional<std::ptrdiff_t> FindRecord(const RecordSet& records, const FindTerms& terms,
                                         std::ptrdiff_t from);

// Adds a copy of the row `bookmark` of Data1's record set (every field but Counter, which the
// table numbers anew) in one transaction, runs Data1's record source again, moves Data1 to its
// last row and marks the document changed. Returns the copy's Counter. Error 3159 when the
// bookmark is not in the record set.
std::int64_t DuplicateRecord(std::int64_t bookmark);

// Empties the grid columns `firstColumn` to `lastColumn` (0 PERIOD .. 9 COMMENT) in every row of
// Data1's record set: 0 in the number fields, an empty text in SEX, DATE and COMMENT, Null in DATUM
// and ORIGINAL (the table refuses an empty text there). One transaction, one prepared statement.
// Then marks the document changed and runs Data1's record source again. On an error the rows
// already written stay written (the transaction is committed) and the error goes on to the caller,
// with the document's flag and Data1 as they were.
void EraseColumns(int firstColumn, int lastColumn);

// Where a record set's cursor goes after rows were deleted: the remembered position, or the last
// row when the set became shorter than that; -1 when no row is left.
std::ptrdiff_t PositionAfterDelete(std::ptrdiff_t remembered, int recordCount);

// Deletes the rows `bookmarks` from the table in one transaction with one prepared statement,
// marks the document changed, runs Data1's record source again and puts Data1 on
// PositionAfterDelete(its position before). Returns the bookmark of the row now current, none when
// the set is empty. On an error the rows already deleted stay deleted and the error goes on.
std::optional<std::int64_t> DeleteRecords(const std::vector<std::int64_t>& bookmarks);

} // namespace document

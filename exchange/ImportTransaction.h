#pragma once

#include "document/PositionWalk.h"
#include "document/Record.h"
#include "exchange/ImportRowWriter.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace exchange {

// All or nothing: the records of one import go into the working table in one transaction, and
// nothing of it stays unless `commit` is reached; the rows already there are not touched. The
// records are taken a block at a time: their positions are computed as a recompute computes
// them (no snapping) and each row is written once, with its position, by an ImportRowWriter.
// An error of those conversions is held until `commit`, so that an error in a later line of
// the input is still the one reported, as when the positions were computed after the reading.
class ImportTransaction {
public:
    // `fractionRead`, when given, says how much of the input has been read (0 to 1): the progress
    // bar follows it in steps of 10 %.
    explicit ImportTransaction(std::function<double()> fractionRead = {});
    ~ImportTransaction();
    ImportTransaction(const ImportTransaction&) = delete;
    ImportTransaction& operator=(const ImportTransaction&) = delete;

    // Checks the record against the table's rules (its errors) and adds it.
    void add(const document::Record& record);
    int added() const { return added_; }

    // Writes what is pending, commits, refreshes the grid's record set and marks the document
    // changed; the error of a conversion instead, with nothing kept.
    void commit();

private:
    void writeBlock();
    void showProgress();

    SQLite::Database& db_;
    std::unique_ptr<SQLite::Transaction> transaction_;
    document::PositionRule rule_;
    document::PositionTexts positionTexts_;
    document::PositionBlock block_;
    std::vector<ImportRow> rows_;
    std::function<double()> fractionRead_;
    std::exception_ptr failure_; // the first error of a conversion
    int added_ = 0;
    int progressShown_ = -1; // the last step shown, in tens of percent
    // Last: it stops before the transaction rolls back.
    std::unique_ptr<ImportRowWriter> writer_;
};

} // namespace exchange

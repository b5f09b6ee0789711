#include "exchange/ImportTransaction.h"

#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Recompute.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"

namespace exchange {

namespace {

// A new row is written with this in place of its position, so that computing the position
// rewrites the row in its own room instead of growing it: grown rows would split nearly every
// page of a large import. No position a recompute stores comes near it (they are singles); rows
// that get none have it replaced by Null again.
constexpr double kPositionRoom = 1e300;
constexpr int kLatitudeParameter = 2;
constexpr int kLongitudeParameter = 3;

} // namespace

ImportTransaction::ImportTransaction()
    : db_(document::WorkDb()), transaction_(std::make_unique<SQLite::Transaction>(db_)),
      insert_(db_, document::kInsertRecordSql) {}

// The transaction's own destructor rolls back unless committed.
ImportTransaction::~ImportTransaction() = default;

void ImportTransaction::add(const document::Record& record) {
    document::ValidateRecord(record);
    insert_.reset();
    insert_.clearBindings();
    document::BindRecord(insert_, record);
    insert_.bind(kLatitudeParameter, kPositionRoom);
    insert_.bind(kLongitudeParameter, kPositionRoom);
    insert_.exec();
    if (added_ == 0) {
        firstNew_ = db_.getLastInsertRowid();
    }
    ++added_;
}

void ImportTransaction::commit() {
    // Only the new rows get a position: the rows already there keep theirs, snapped or set by
    // hand, exactly as they were.
    if (added_ > 0) {
        document::AjusteDegresOn(
            document::RecordSet::open(
                db_,
                QStringLiteral("SELECT Counter FROM DOVAZOV WHERE Counter >= %1 ORDER BY Counter")
                    .arg(firstNew_)),
            document::kNoMesh, document::kNoMesh);
        SQLite::Statement noPosition(db_, "UPDATE DOVAZOV SET LATITUDE = NULL, LONGITUDE = NULL "
                                          "WHERE Counter >= ? AND LATITUDE = ?");
        noPosition.bind(1, firstNew_);
        noPosition.bind(2, kPositionRoom);
        noPosition.exec();
    }
    transaction_->commit();
    document::DataControl& data = document::Data1();
    if (data.bound()) {
        data.refresh();
    }
    document::Document().FileModified = -1;
}

} // namespace exchange

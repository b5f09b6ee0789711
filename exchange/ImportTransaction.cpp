#include "exchange/ImportTransaction.h"

#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Recompute.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"

namespace exchange {

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
    }
    transaction_->commit();
    document::DataControl& data = document::Data1();
    if (data.bound()) {
        data.refresh();
    }
    document::Document().FileModified = -1;
}

} // namespace exchange

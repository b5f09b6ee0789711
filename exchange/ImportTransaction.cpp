#include "exchange/ImportTransaction.h"

#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Recompute.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"
#include "platform/ProgramSettings.h"

namespace exchange {

namespace {

// Silence for the length of one call, so that a recompute in two passes beeps once.
class QuietScope {
public:
    QuietScope() : saved_(platform::Settings().Silence) { platform::Settings().Silence = -1; }
    ~QuietScope() { platform::Settings().Silence = saved_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    std::int16_t saved_;
};

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
    insert_.exec();
    if (added_ == 0) {
        firstNew_ = db_.getLastInsertRowid();
    }
    ++added_;
}

void ImportTransaction::commit() {
    document::DataControl& data = document::Data1();
    const int shown = data.bound() ? data.recordset().recordCount() : 0;
    std::optional<document::RecordSet> newRows;
    if (added_ > 0) {
        newRows = document::RecordSet::open(
            db_, QStringLiteral("SELECT Counter FROM DOVAZOV WHERE Counter >= %1 ORDER BY Counter")
                     .arg(firstNew_));
    }
    if (data.bound()) {
        // Running the grid's source again shows the new rows too unless it filters them out; then
        // the rows it showed and the new ones are walked one after the other.
        const document::RecordSet again = document::RecordSet::open(db_, data.recordSource());
        if (again.recordCount() == shown + added_) {
            newRows.reset();
            document::AjusteDegresOn(again, document::kNoMesh, document::kNoMesh);
        } else if (shown > 0) {
            if (newRows) {
                const QuietScope quiet;
                document::AjusteDegresOn(data.recordset().clone(), document::kNoMesh,
                                         document::kNoMesh);
            } else {
                document::AjusteDegresOn(data.recordset().clone(), document::kNoMesh,
                                         document::kNoMesh);
            }
        }
    }
    if (newRows) {
        document::AjusteDegresOn(*newRows, document::kNoMesh, document::kNoMesh);
    }
    transaction_->commit();
    if (data.bound()) {
        data.refresh();
    }
    document::Document().FileModified = -1;
}

} // namespace exchange

#include "exchange/ImportTransaction.h"

#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Recompute.h"
#include "document/WorkDatabase.h"
#include "geodesy/DatumTables.h"
#include "platform/Feedback.h"
#include "platform/Prompter.h"

#include <string_view>

namespace exchange {

namespace {

std::optional<std::string> Utf8(const std::optional<QString>& text) {
    if (!text) {
        return std::nullopt;
    }
    return text->toStdString();
}

std::optional<std::string_view> View(const std::optional<std::string>& text) {
    return text ? std::optional<std::string_view>(*text) : std::nullopt;
}

enum TextSlot { kSex, kDatum, kOriginal, kDate, kComment };

} // namespace

ImportTransaction::ImportTransaction(std::function<double()> fractionRead)
    : db_(document::WorkDb()), transaction_(std::make_unique<SQLite::Transaction>(db_)),
      rule_(document::RecomputeRule(document::kNoMesh, document::kNoMesh)),
      positionTexts_(rule_.blankDatumIsWgs84), fractionRead_(std::move(fractionRead)),
      writer_(std::make_unique<ImportRowWriter>(db_)) {
    rows_.reserve(document::kPositionBlockRows);
}

// The transaction's own destructor rolls back unless committed.
ImportTransaction::~ImportTransaction() = default;

void ImportTransaction::add(const document::Record& record) {
    document::ValidateRecord(record);
    ++added_;
    if (failure_) {
        return; // nothing more is written: the import fails at its end
    }
    ImportRow row;
    row.period = record.PERIOD;
    row.n1 = record.N1;
    row.n2 = record.N2;
    row.texts = {Utf8(record.SEX), Utf8(record.DATUM), Utf8(record.ORIGINAL), Utf8(record.DATE),
                 Utf8(record.COMMENT)};
    rows_.push_back(std::move(row));
    if (rows_.size() == document::kPositionBlockRows) {
        writeBlock();
    }
}

void ImportTransaction::writeBlock() {
    if (rows_.empty()) {
        return;
    }
    showProgress();
    block_.text.clear();
    block_.datum.clear();
    for (const ImportRow& row : rows_) {
        positionTexts_.append(block_, View(row.texts[kDatum]), View(row.texts[kOriginal]));
    }
    try {
        const auto dest = static_cast<std::int16_t>(geodesy::Datums().DestIndex);
        geodesy::Datums().datum(dest); // error 9 when it names no datum
        document::ConvertPositions(block_, rule_, dest);
    } catch (...) {
        failure_ = std::current_exception();
        rows_.clear();
        return;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        // A row without a position keeps none, as a recompute leaves it.
        if (block_.outcome[i] == document::RowOutcome::Moved) {
            rows_[i].latitude = block_.newLat[i];
            rows_[i].longitude = block_.newLon[i];
        }
    }
    writer_->write(rows_);
}

void ImportTransaction::showProgress() {
    if (progressShown_ < 0) {
        platform::ShowProgress(true);
        progressShown_ = 0;
    }
    if (!fractionRead_) {
        return;
    }
    const int step = static_cast<int>(fractionRead_() * 10.0);
    if (step > progressShown_) {
        progressShown_ = step;
        platform::SetProgress(step * 10.0);
    }
}

void ImportTransaction::commit() {
    writeBlock();
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    writer_->finish();
    transaction_->commit();
    if (added_ > 0) {
        platform::SetProgress(100);
        platform::ShowProgress(false);
        platform::BeepUnlessSilent();
    }
    document::DataControl& data = document::Data1();
    if (data.bound()) {
        data.refresh();
    }
    document::Document().FileModified = -1;
}

} // namespace exchange

#include "document/DataControl.h"

#include "common/AppError.h"
#include "document/WorkDatabase.h"

#include <utility>

namespace document {

void DataControl::bind() {
    refresh();
}

void DataControl::refresh() {
    // Opened aside first: a failing query leaves the record set in place.
    RecordSet opened = RecordSet::open(WorkDb(), recordSource_);
    recordset_ = std::move(opened);
}

RecordSet& DataControl::recordset() {
    if (!recordset_) {
        throw common::AppError(common::kObjectNotSet);
    }
    return *recordset_;
}

const RecordSet& DataControl::recordset() const {
    if (!recordset_) {
        throw common::AppError(common::kObjectNotSet);
    }
    return *recordset_;
}

void DataControl::reset() {
    recordSource_.clear();
    recordset_.reset();
}

DataControl& Data1() {
    static DataControl control;
    return control;
}

} // namespace document

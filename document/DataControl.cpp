#include "document/DataControl.h"

#include "common/AppError.h"
#include "document/WorkDatabase.h"

namespace document {

namespace {
constexpr int kObjectNotSet = 91;
}

void DataControl::bind() {
    refresh();
}

void DataControl::refresh() {
    recordset_ = RecordSet::open(WorkDb(), recordSource_);
}

RecordSet& DataControl::recordset() {
    if (!recordset_) {
        throw common::AppError(kObjectNotSet, "Object variable or With block variable not set");
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

#include "app/RecordEditorHost.h"

#include "app/Form1.h"
#include "app/RecordTableModel.h"
#include "app/frmDatum.h"
#include "document/DataControl.h"
#include "document/RecordSet.h"
#include "editor/EditForm.h"

#include <QTableView>

namespace app {

document::RecordSet* RecordEditorHost::records() {
    document::DataControl& data = document::Data1();
    return data.bound() ? &data.recordset() : nullptr;
}

QString RecordEditorHost::gridText(const QVariant& value) const {
    return CellText(value);
}

int RecordEditorHost::currentColumn() const {
    const QModelIndex current = form_.TDBGrid1->currentIndex();
    return current.isValid() ? current.column() : -1;
}

void RecordEditorHost::showCurrentRow() {
    form_.ShowCurrentRow();
}

void RecordEditorHost::rowWritten() {
    if (document::RecordSet* set = records(); set != nullptr && !set->bof() && !set->eof()) {
        form_.model->rowChanged(static_cast<int>(set->absolutePosition()));
    }
}

void RecordEditorHost::rowsAdded() {
    form_.RefreshGrid();
    form_.ShowCurrentRow();
}

QString RecordEditorHost::chooseDatum(const QString& code) {
    return RunDatumChooser(*form_.datumChooser, code);
}

void ShowRecordEditor(Form1& form) {
    RecordEditorHost host(form);
    editor::ShowEditForm(host, &form);
}

} // namespace app

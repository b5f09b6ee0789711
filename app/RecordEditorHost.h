#pragma once

#include "app/GazetteerPlaceSearch.h"
#include "editor/EditorHost.h"

namespace app {

class Form1;

// The main window as the record editor sees it: Data1's record set on the grid's current row, the
// texts the grid shows, and the datum chooser.
class RecordEditorHost final : public editor::EditorHost {
public:
    explicit RecordEditorHost(Form1& form) : form_(form) {}

    document::RecordSet* records() override;
    QString gridText(const QVariant& value) const override;
    int currentColumn() const override;
    void showCurrentRow() override;
    void rowWritten() override;
    void rowsAdded() override;
    QString chooseDatum(const QString& code) override;
    editor::PlaceSearch* placeSearch() override { return &placeSearch_; }

private:
    Form1& form_;
    GazetteerPlaceSearch placeSearch_{form_};
};

// Shows the record editor modally on the grid's current row (the edit button and the grid's
// request to open a row).
void ShowRecordEditor(Form1& form);

} // namespace app

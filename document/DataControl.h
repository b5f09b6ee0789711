#pragma once

#include "document/RecordSet.h"

#include <QString>
#include <optional>

namespace document {

// The main window's data control: a record source text, kept as written, and the record set
// that running it gives. The grid shows that record set; other code reaches the records through
// clones of it.
class DataControl {
public:
    // Binds the control to the working database (done when a document is created or read).
    void bind();
    bool bound() const { return recordset_.has_value(); }

    const QString& recordSource() const { return recordSource_; }
    // Sets the text; it runs at the next refresh.
    void setRecordSource(const QString& source) { recordSource_ = source; }

    // Runs the record source again; the current position goes back to the first row. When the
    // query fails the control keeps the record set it had, rows and position, and the error goes
    // on to the caller.
    void refresh();

    // The control's own record set; error 91 while unbound.
    RecordSet& recordset();
    const RecordSet& recordset() const;

    // Back to the state of a fresh start: unbound, no record source.
    void reset();

private:
    QString recordSource_;
    std::optional<RecordSet> recordset_;
};

// The program's data control.
DataControl& Data1();

} // namespace document

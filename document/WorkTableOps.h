#pragma once

#include <QString>
#include <QStringView>

namespace document {

// Rewrites of one field in every record of the working table DOVAZOV, whatever record source
// Data1 shows (a selection filter does not narrow them). Each runs in one transaction with one
// prepared statement, then refreshes Data1 (when bound) and sets FileModified, also when no
// record changed. A Field that names no field of the table raises error 3265; a value the field
// cannot hold raises the table's error and changes nothing.

// Stores `value` in field `field` of every record; the text is converted to the field's type
// ("1" becomes the integer 1 in PERIOD).
void SetFieldAll(QStringView field, const QString& value);

// Stores `newValue` in field `field` of every record whose value there, as text with leading and
// trailing blanks removed, equals `oldValue` with its blanks removed (case-sensitive). Records
// whose field is Null are left alone.
void ReplaceFieldValue(QStringView field, const QString& oldValue, const QString& newValue);

} // namespace document

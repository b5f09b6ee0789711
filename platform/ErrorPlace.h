#pragma once

#include <QString>

// Where an error happened and what would have been accepted, in the chosen language: the detail
// that follows an error's own text.

namespace platform {

// "Line 12, field DATUM"; the field part only when a field is given.
QString LinePlace(qint64 line, const QString& field = {});

// "Column N1: a whole number from -2147483648 to 2147483647".
QString WholeNumberColumn(const QString& column, qint64 lowest, qint64 highest);

// "Column Sex: a text of at most 1 character(s)".
QString ShortTextColumn(const QString& column, int longest);

// The text followed by its detail, one blank line between; the text alone when there is none.
QString WithDetail(const QString& text, const QString& detail);

} // namespace platform

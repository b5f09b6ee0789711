#pragma once

// The text export: a header line of column words, then one line per record, Windows-1252 with
// CR LF. Values are written as they are, unquoted: a comment keeps its commas and line breaks,
// as the readers of these files expect the plain layout.

#include "document/Record.h"
#include "exchange/ExportColumns.h"

#include <QString>
#include <vector>

namespace document {
class RecordSet;
}

namespace exchange {

// The separator of the four text layouts: 0 none (values follow one another), 1 ",", 2 a tab,
// 3 one blank.
QString TextSeparator(int mode);

QString TextHeader(const std::vector<ExportColumn>& columns, const QString& separator);

// Writes every record of `records`, in its order, to `path` through a file replacement: the file
// appears whole or not at all. A field without a value is an empty text, X and Y too when the
// record has no position. Throws platform::FileWriteError when it cannot be written.
void WriteTextExport(const QString& path, const document::RecordSet& records,
                     const ExportChoice& choice, int mode);

} // namespace exchange

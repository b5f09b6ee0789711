#pragma once

// The parts of a workbook of one worksheet besides the sheet itself, as libxlsxwriter 1.1.4 writes
// them for such a workbook: the package's content types and relationships, the workbook, its
// theme and styles, and the document properties.

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace exchange::xlsx {

QByteArray ContentTypes();
QByteArray RootRelationships();
QByteArray WorkbookRelationships();
QByteArray Workbook(const QString& sheetName);
QByteArray Theme();
QByteArray Styles();
// Created and modified at `time` (UTC, to the second).
QByteArray CoreProperties(const QDateTime& time);
QByteArray AppProperties(const QString& sheetName);

// `text` in XML character data: & < > as entities.
QByteArray EscapedData(const QString& text);

} // namespace exchange::xlsx

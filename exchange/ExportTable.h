#pragma once

// The database exports: one table named after the chosen file, its columns those of the export
// choice, one row per record. Every target file is written beside its final name and renamed into
// place only once it is whole, so a refused value or a failed write leaves the previous files as
// they were.

#include "exchange/ExportColumns.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace document {
class RecordSet;
}

namespace exchange {

// The entries of the database export menu, by index.
enum class ExportTarget { Sqlite = 0, FoxPro = 1, DBase = 2, Paradox = 3, Excel = 4 };

// The save dialog's filter of a target ("SQLite files (*.sqlite)|*.sqlite").
QString ExportFilter(ExportTarget target);

// The files an export to `path` writes: the table, then its memo file for the two DBF targets
// ("sites.dbf" -> "sites.fpt" for FoxPro, "sites.dbt" for dBASE IV).
QStringList ExportFiles(ExportTarget target, const QString& path);

// The table name of a path: its file name up to, not including, its first ".". Error 5 naming the
// path when the file name has no "." or nothing before it, and, for Excel, when the name cannot
// name a worksheet.
QString TableNameOf(ExportTarget target, const QString& path);

// Receives the rows of one table; commit() puts the files in place. A writer dropped without a
// commit leaves no file behind.
class TableWriter {
public:
    virtual ~TableWriter() = default;
    virtual void addRow(const std::vector<CellValue>& row) = 0;
    virtual void commit() = 0;
};

// A writer for `target`; `rowCount` is the number of rows that will be added.
std::unique_ptr<TableWriter> OpenTableWriter(ExportTarget target, const QString& path,
                                             const QString& tableName,
                                             const std::vector<ExportColumn>& columns,
                                             std::int64_t rowCount);

// Writes every record of `records`, in its order, as a table of `target` at `path`. A value the
// target cannot hold ends the export with error 3163 naming the row and the column, and the
// target's files are left as they were.
void WriteTableExport(ExportTarget target, const QString& path, const document::RecordSet& records,
                      const ExportChoice& choice, const QString& memo);

// The writers of each target (ExportDbf.cpp, ExportParadox.cpp, ExportXlsx.cpp, ExportSqlite.cpp).
std::unique_ptr<TableWriter> OpenDbfWriter(bool foxPro, const QString& path,
                                           const QString& memoPath,
                                           const std::vector<ExportColumn>& columns,
                                           std::int64_t rowCount);
// The DBF export of WriteTableExport, written straight from the table's columns: the bytes of
// OpenDbfWriter given the TableRow of each record, at a fraction of the cost. Returns the number
// of records found; the files are put in place only when that is `rowCount`.
std::int64_t WriteDbfExport(bool foxPro, const QString& path, const QString& memoPath,
                            const document::RecordSet& records,
                            const std::vector<ExportColumn>& columns, std::int64_t rowCount,
                            const QString& memo);
std::unique_ptr<TableWriter> OpenParadoxWriter(const QString& path, const QString& tableName,
                                               const std::vector<ExportColumn>& columns,
                                               std::int64_t rowCount);
// The same for the Paradox export and OpenParadoxWriter.
std::int64_t WriteParadoxExport(const QString& path, const QString& tableName,
                                const document::RecordSet& records,
                                const std::vector<ExportColumn>& columns, std::int64_t rowCount,
                                const QString& memo);
// The most records of these columns a Paradox 3.x table holds (65,535 blocks of 4 KB).
std::int64_t ParadoxRowLimit(const std::vector<ExportColumn>& columns);
std::unique_ptr<TableWriter> OpenXlsxWriter(const QString& path, const QString& tableName,
                                            const std::vector<ExportColumn>& columns,
                                            std::int64_t rowCount);
// The Excel export of WriteTableExport, written straight from the table's columns: the workbook
// of OpenXlsxWriter given the TableRow of each record, at a fraction of the cost.
void WriteXlsxExport(const QString& path, const QString& tableName,
                     const document::RecordSet& records, const std::vector<ExportColumn>& columns,
                     std::int64_t rowCount, const QString& memo);
// The characters an Excel cell holds at most.
inline constexpr qsizetype kExcelCellChars = 32767;
std::unique_ptr<TableWriter> OpenSqliteWriter(const QString& path, const QString& tableName,
                                              const std::vector<ExportColumn>& columns);

// The number of rows a target cannot hold: those of a worksheet, those of a Paradox 3.x table.
// RefuseValue for the first row beyond.
void CheckTargetRows(ExportTarget target, const std::vector<ExportColumn>& columns,
                     std::int64_t rowCount);
// What a row of a target cannot hold beyond the column sizes: the characters of a worksheet's
// cell, the memo of a Paradox table held as text. RefuseValue otherwise.
void CheckTargetLimits(ExportTarget target, const std::vector<ExportColumn>& columns,
                       const std::vector<CellValue>& row, std::int64_t rowNumber);
// The memo limit of a Paradox table, for the row numbered `rowNumber`.
void CheckParadoxMemo(const std::vector<ExportColumn>& columns, const QString& memo,
                      std::int64_t rowNumber);

// A writer whose header holds the number of rows: FileWriteError on `path` unless it wrote as many
// as were counted before it began.
void CheckWrittenRows(std::int64_t written, std::int64_t counted, const QString& path);

// `name` as an SQL identifier: in double quotes, a double quote in it doubled.
QString QuotedIdentifier(const QString& name);

// Copies a file made by a library in a private folder into `target` through a file replacement.
void ReplaceFromFile(const QString& source, const QString& target);

} // namespace exchange

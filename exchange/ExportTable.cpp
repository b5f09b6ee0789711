#include "exchange/ExportTable.h"

#include "common/AppError.h"
#include "document/ColumnStream.h"
#include "document/RecordSet.h"
#include "document/RecordSetBookmarks.h"
#include "document/RowStream.h"
#include "platform/FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace exchange {

namespace {

// Excel's own limit: rows of a sheet (one is the header).
constexpr std::int64_t kSheetRows = 1048576;
// The Paradox table keeps its memo as text of this size.
constexpr qsizetype kParadoxMemoChars = 255;

QString WithSuffix(const QString& path, const QString& suffix) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    return info.dir().filePath(base + suffix);
}

[[noreturn]] void BadTableName(const QString& path, const QString& why) {
    throw common::AppError(common::kInvalidCall,
                           QStringLiteral("\"%1\": %2").arg(path, why).toStdString());
}

} // namespace

QString ExportFilter(ExportTarget target) {
    switch (target) {
    case ExportTarget::Sqlite:
        return QStringLiteral("Fichiers SQLite (*.sqlite)|*.sqlite");
    case ExportTarget::FoxPro:
    case ExportTarget::DBase:
        return QStringLiteral("Fichiers dbf (*.dbf)|*.dbf");
    case ExportTarget::Paradox:
        return QStringLiteral("Fichiers pdx (*.db)|*.db");
    case ExportTarget::Excel:
        return QStringLiteral("Fichiers Excel (*.xlsx)|*.xlsx");
    }
    return {};
}

QStringList ExportFiles(ExportTarget target, const QString& path) {
    switch (target) {
    case ExportTarget::FoxPro:
        return {path, WithSuffix(path, QStringLiteral(".fpt"))};
    case ExportTarget::DBase:
        return {path, WithSuffix(path, QStringLiteral(".dbt"))};
    default:
        return {path};
    }
}

QString TableNameOf(ExportTarget target, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        BadTableName(path, QStringLiteral("the file name has no extension, so it names no table"));
    }
    const QString table = name.left(dot);
    if (table.isEmpty()) {
        BadTableName(path,
                     QStringLiteral("nothing comes before the first \".\" to name the table"));
    }
    if (target == ExportTarget::Excel) {
        static const QRegularExpression forbidden(QStringLiteral("[\\[\\]:*?/\\\\]"));
        if (table.size() > 31 || table.contains(forbidden) || table.startsWith(QLatin1Char('\''))) {
            BadTableName(path, QStringLiteral("\"%1\" cannot name a worksheet (at most 31 "
                                              "characters, none of [ ] : * ? / \\)")
                                   .arg(table));
        }
    }
    return table;
}

void CheckTargetRows(ExportTarget target, const std::vector<ExportColumn>& columns,
                     std::int64_t rowCount) {
    if (target == ExportTarget::Excel && rowCount >= kSheetRows) {
        RefuseValue(kSheetRows, columns.front().name,
                    QStringLiteral("a worksheet holds at most %1 records").arg(kSheetRows - 1));
    }
    if (target == ExportTarget::Paradox && rowCount > ParadoxRowLimit(columns)) {
        RefuseValue(ParadoxRowLimit(columns) + 1, columns.front().name,
                    QStringLiteral("a Paradox 3.x table of these columns holds at most %1 records")
                        .arg(ParadoxRowLimit(columns)));
    }
}

void CheckTargetLimits(ExportTarget target, const std::vector<ExportColumn>& columns,
                       const std::vector<CellValue>& row, std::int64_t rowNumber) {
    if (target == ExportTarget::Excel) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (const auto* text = std::get_if<QString>(&row[i]);
                text && text->size() > kExcelCellChars) {
                RefuseValue(
                    rowNumber, columns[i].name,
                    QStringLiteral("a cell holds at most %1 characters").arg(kExcelCellChars));
            }
        }
    }
    if (target == ExportTarget::Paradox) {
        CheckParadoxMemo(columns, std::get<QString>(row.back()), rowNumber);
    }
}

void CheckParadoxMemo(const std::vector<ExportColumn>& columns, const QString& memo,
                      std::int64_t rowNumber) {
    if (memo.size() > kParadoxMemoChars) {
        RefuseValue(rowNumber, columns.back().name,
                    QStringLiteral("the title and comment of the document (%1 characters) are "
                                   "longer than the %2 characters the column holds")
                        .arg(memo.size())
                        .arg(kParadoxMemoChars));
    }
}

std::unique_ptr<TableWriter> OpenTableWriter(ExportTarget target, const QString& path,
                                             const QString& tableName,
                                             const std::vector<ExportColumn>& columns,
                                             std::int64_t rowCount) {
    switch (target) {
    case ExportTarget::FoxPro:
    case ExportTarget::DBase: {
        const QStringList files = ExportFiles(target, path);
        return OpenDbfWriter(target == ExportTarget::FoxPro, files[0], files[1], columns, rowCount);
    }
    case ExportTarget::Paradox:
        return OpenParadoxWriter(path, tableName, columns, rowCount);
    case ExportTarget::Excel:
        return OpenXlsxWriter(path, tableName, columns, rowCount);
    case ExportTarget::Sqlite:
        return OpenSqliteWriter(path, tableName, columns);
    }
    return nullptr;
}

namespace {

// The rows of `records` that are there (a listed row may have gone since the list was made).
std::int64_t RowsThere(const document::RecordSet& records) {
    std::int64_t count = 0;
    document::ColumnStream rows(records, "");
    while (rows.next()) {
        ++count;
    }
    return count;
}

// The DBF and Paradox exports, written straight from the table's columns. Their headers hold the
// number of records, which the list gives without a walk when all its rows are there, as nearly
// always: only when some have gone is the table written again with the number found.
void WriteDirectExport(ExportTarget target, const QString& path, const QString& tableName,
                       const document::RecordSet& records, const std::vector<ExportColumn>& columns,
                       const QString& memo) {
    std::int64_t count = records.bookmarkList()->size();
    if (target == ExportTarget::Paradox && count > ParadoxRowLimit(columns)) {
        count = RowsThere(records);
    }
    CheckTargetRows(target, columns, count);
    const auto write = [&](std::int64_t rows) {
        if (target == ExportTarget::Paradox) {
            return WriteParadoxExport(path, tableName, records, columns, rows, memo);
        }
        const QStringList files = ExportFiles(target, path);
        return WriteDbfExport(target == ExportTarget::FoxPro, files[0], files[1], records, columns,
                              rows, memo);
    };
    const std::int64_t found = write(count);
    if (found != count) {
        CheckWrittenRows(write(found), found, path);
    }
}

} // namespace

void WriteTableExport(ExportTarget target, const QString& path, const document::RecordSet& records,
                      const ExportChoice& choice, const QString& memo) {
    const QString tableName = TableNameOf(target, path);
    const std::vector<ExportColumn> columns = TableColumns(choice);
    if (target == ExportTarget::FoxPro || target == ExportTarget::DBase ||
        target == ExportTarget::Paradox) {
        WriteDirectExport(target, path, tableName, records, columns, memo);
        return;
    }

    const std::int64_t count = RowsThere(records);
    CheckTargetRows(target, columns, count);
    if (target == ExportTarget::Excel) {
        WriteXlsxExport(path, tableName, records, columns, count, memo);
        return;
    }
    // Each row is checked before it is written; a refusal drops the writer uncommitted, so the
    // target is left as it was.
    const std::unique_ptr<TableWriter> writer =
        OpenTableWriter(target, path, tableName, columns, count);
    document::RowStream rows(records);
    document::Record record;
    std::int64_t number = 0;
    while (rows.next(record)) {
        const std::vector<CellValue> row = TableRow(columns, record, memo);
        CheckRow(columns, row, ++number);
        CheckTargetLimits(target, columns, row, number);
        writer->addRow(row);
    }
    writer->commit();
}

void CheckWrittenRows(std::int64_t written, std::int64_t counted, const QString& path) {
    if (written != counted) {
        throw platform::FileWriteError(
            QStringLiteral("%1 records written where %2 were counted").arg(written).arg(counted),
            path);
    }
}

void ReplaceFromFile(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        throw platform::FileWriteError(in.errorString(), source);
    }
    platform::FileReplacement out(target);
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        out.write(chunk);
    }
    if (in.error() != QFileDevice::NoError) {
        throw platform::FileWriteError(in.errorString(), source);
    }
    out.commit();
}

} // namespace exchange

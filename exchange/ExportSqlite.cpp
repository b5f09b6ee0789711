// The database export that stands for the Access one: nothing on this platform writes Access
// files, so the table goes into a new SQLite database file. Columns are declared with the types
// and sizes of the export ("INTEGER", "REAL", "VARCHAR(n)", "TEXT"); names, the table's included,
// are quoted as identifiers, never pasted into SQL as they come. The rows go in one transaction
// into a file in a private folder, which is then copied into place.

#include "exchange/ExportTable.h"
#include "platform/FileReplacement.h"

#include <QDir>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <memory>

namespace exchange {

namespace {

QString TypeOf(const ExportColumn& column) {
    switch (column.type) {
    case ColumnType::Long:
        return QStringLiteral("INTEGER");
    case ColumnType::Single:
        return QStringLiteral("REAL");
    case ColumnType::Text:
        return QStringLiteral("VARCHAR(%1)").arg(column.size);
    case ColumnType::Memo:
        return QStringLiteral("TEXT");
    }
    return {};
}

} // namespace

QString QuotedIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

namespace {

class SqliteTable final : public TableWriter {
public:
    SqliteTable(const QString& path, const QString& tableName,
                const std::vector<ExportColumn>& columns)
        : target_(path) {
        if (!folder_.isValid()) {
            throw platform::FileWriteError(folder_.errorString(), path);
        }
        file_ = QDir(folder_.path()).filePath(QStringLiteral("table.sqlite"));
        try {
            db_ = std::make_unique<SQLite::Database>(QFile::encodeName(file_).toStdString(),
                                                     SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            QStringList definitions;
            QStringList marks;
            for (const ExportColumn& column : columns) {
                definitions << QuotedIdentifier(column.name) + QLatin1Char(' ') + TypeOf(column);
                marks << QStringLiteral("?");
            }
            const QString table = QuotedIdentifier(tableName);
            db_->exec(QStringLiteral("CREATE TABLE %1 (%2)")
                          .arg(table, definitions.join(QStringLiteral(", ")))
                          .toStdString());
            transaction_ = std::make_unique<SQLite::Transaction>(*db_);
            insert_ = std::make_unique<SQLite::Statement>(
                *db_, QStringLiteral("INSERT INTO %1 VALUES (%2)")
                          .arg(table, marks.join(QStringLiteral(", ")))
                          .toStdString());
        } catch (const SQLite::Exception& error) {
            throw platform::FileWriteError(QString::fromUtf8(error.what()), path);
        }
    }

    void addRow(const std::vector<CellValue>& row) override {
        try {
            for (std::size_t i = 0; i < row.size(); ++i) {
                const int index = static_cast<int>(i) + 1;
                if (const auto* number = std::get_if<std::int32_t>(&row[i])) {
                    insert_->bind(index, *number);
                } else if (const auto* single = std::get_if<float>(&row[i])) {
                    insert_->bind(index, SingleAsDouble(*single));
                } else {
                    insert_->bind(index, std::get<QString>(row[i]).toStdString());
                }
            }
            insert_->exec();
            insert_->reset();
        } catch (const SQLite::Exception& error) {
            throw platform::FileWriteError(QString::fromUtf8(error.what()), target_);
        }
    }

    void commit() override {
        try {
            transaction_->commit();
            insert_.reset();
            transaction_.reset();
            db_.reset();
        } catch (const SQLite::Exception& error) {
            throw platform::FileWriteError(QString::fromUtf8(error.what()), target_);
        }
        ReplaceFromFile(file_, target_);
    }

private:
    QString target_;
    QTemporaryDir folder_;
    QString file_;
    std::unique_ptr<SQLite::Database> db_;
    std::unique_ptr<SQLite::Transaction> transaction_;
    std::unique_ptr<SQLite::Statement> insert_;
};

} // namespace

std::unique_ptr<TableWriter> OpenSqliteWriter(const QString& path, const QString& tableName,
                                              const std::vector<ExportColumn>& columns) {
    return std::make_unique<SqliteTable>(path, tableName, columns);
}

} // namespace exchange

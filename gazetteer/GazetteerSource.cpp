#include "gazetteer/GazetteerSource.h"

#include "common/AppError.h"
#include "document/OutsideTables.h"
#include "platform/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <shapefil.h>

namespace gazetteer {

namespace {

[[noreturn]] void Fail(int number, const QString& description) {
    throw common::AppError(number, description.toStdString());
}

QString UriOf(const QString& path) {
    // Read-only through a URI so that nothing, not even a journal, is written beside the file.
    return QStringLiteral("file:") +
           QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/")) +
           QStringLiteral("?mode=ro");
}

struct DbfCloser {
    void operator()(DBFInfo* handle) const { DBFClose(handle); }
};
using DbfHandle = std::unique_ptr<DBFInfo, DbfCloser>;

} // namespace

QString QuoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString FindName(const QStringList& names, const QString& name) {
    for (const QString& candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0) {
            return candidate;
        }
    }
    return {};
}

bool OpensInProcess(const QString& file, const QString& dbType) {
    if (dbType.compare(kDbaseType, Qt::CaseInsensitive) == 0) {
        return true;
    }
    return dbType.isEmpty() &&
           document::RecogniseTableFile(file) == document::TableFileKind::Sqlite;
}

GazetteerSource::GazetteerSource(const QString& file, const QString& dbType)
    : file_(file), dbType_(dbType) {
    const QFileInfo info(file);
    modified_ = info.lastModified();
    // One thread uses the connection: without its mutex, each of the many small reads of the
    // place list is not locked and unlocked.
    db_ = std::make_unique<SQLite::Database>(":memory:", SQLite::OPEN_READWRITE | SQLite::OPEN_URI |
                                                             SQLite::OPEN_NOMUTEX);
    if (dbType.compare(kDbaseType, Qt::CaseInsensitive) == 0) {
        if (!info.isDir()) {
            Fail(kDatabasePathNotFound, QStringLiteral("'%1' is not a valid path.").arg(file));
        }
        dbase_ = true;
        return;
    }
    if (dbType.compare(kParadoxType, Qt::CaseInsensitive) == 0) {
        if (!info.isDir()) {
            Fail(kDatabasePathNotFound, QStringLiteral("'%1' is not a valid path.").arg(file));
        }
        paradox_ = true;
        return;
    }
    if (!dbType.isEmpty()) {
        Fail(kUnrecognizedFormat,
             QStringLiteral("Database type '%1' is not supported: the gazetteer reads Access, "
                            "SQLite, dBase IV and Paradox tables.")
                 .arg(dbType));
    }
    if (!info.exists()) {
        Fail(info.dir().exists() ? kDatabaseFileNotFound : kDatabasePathNotFound,
             QStringLiteral("Could not find file '%1'.").arg(file));
    }
    QString attached = UriOf(file);
    switch (document::RecogniseTableFile(file)) {
    case document::TableFileKind::Sqlite:
        break;
    case document::TableFileKind::Access:
        // The tables and their fields, without rows: a table's rows are copied when it is
        // searched.
        access_ = std::make_unique<document::OutsideTableCopy>(
            file, document::TableFileKind::Access, document::OutsideTableCopy::Scope::SchemaOnly,
            QStringList{});
        attached = UriOf(access_->path());
        break;
    default:
        Fail(kUnrecognizedFormat,
             document::UnreadableDatabaseText(
                 file, QStringLiteral("it is neither an Access nor an SQLite database")));
    }
    SQLite::Statement attach(*db_, "ATTACH DATABASE ? AS src");
    attach.bind(1, attached.toStdString());
    attach.exec();
    // Opened exclusively: the file's lock is taken once and kept, so that the list's reads of a
    // record at a time do not each lock the file and check it for changes.
    db_->exec("PRAGMA src.locking_mode = EXCLUSIVE");
}

GazetteerSource::~GazetteerSource() = default;

bool GazetteerSource::isSameAs(const QString& file, const QString& dbType) const {
    return file == file_ && dbType == dbType_ && QFileInfo(file).lastModified() == modified_;
}

QStringList GazetteerSource::tables() const {
    QStringList names;
    if (dbase_) {
        const QStringList files = QDir(file_).entryList({QStringLiteral("*.dbf")}, QDir::Files,
                                                        QDir::Name | QDir::IgnoreCase);
        for (const QString& name : files) {
            names << QFileInfo(name).completeBaseName();
        }
        return names;
    }
    if (paradox_) {
        for (const QString& name : paradoxFiles().keys()) {
            names << name;
        }
        return names;
    }
    SQLite::Statement query(*db_, "SELECT name FROM src.sqlite_schema WHERE type IN "
                                  "('table','view') AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                                  "ORDER BY type = 'view', rowid");
    while (query.executeStep()) {
        names << QString::fromStdString(query.getColumn(0).getString());
    }
    return names;
}

bool GazetteerSource::isView(const QString& table) const {
    if (dbase_ || paradox_) {
        return false;
    }
    SQLite::Statement query(*db_, "SELECT type FROM src.sqlite_schema WHERE name = ?");
    query.bind(1, table.toStdString());
    return query.executeStep() && query.getColumn(0).getString() == "view";
}

QStringList GazetteerSource::fields(const QString& table) const {
    const QString name = FindName(tables(), table);
    if (name.isEmpty()) {
        Fail(kItemNotFound, QStringLiteral("Table '%1' not found in the gazetteer.").arg(table));
    }
    QStringList names;
    if (dbase_) {
        const QString path = QDir(file_).filePath(
            QDir(file_).entryList({name + QStringLiteral(".dbf")}, QDir::Files).value(0));
        const DbfHandle dbf(DBFOpen(QFile::encodeName(path).constData(), "rb"));
        if (!dbf) {
            Fail(kUnrecognizedFormat, QStringLiteral("'%1' is not a dBase table.").arg(path));
        }
        for (int i = 0; i < DBFGetFieldCount(dbf.get()); ++i) {
            char fieldName[XBASE_FLDNAME_LEN_READ + 1] = {};
            DBFGetFieldInfo(dbf.get(), i, fieldName, nullptr, nullptr);
            names << QString::fromLatin1(fieldName);
        }
        return names;
    }
    if (paradox_) {
        const document::OutsideTableCopy copy(
            paradoxFiles().value(name), document::TableFileKind::Paradox,
            document::OutsideTableCopy::Scope::SchemaOnly, {name});
        SQLite::Database schema(copy.path().toStdString(), SQLite::OPEN_READONLY);
        SQLite::Statement query(schema, "SELECT name FROM pragma_table_info(?) ORDER BY cid");
        query.bind(1, name.toStdString());
        while (query.executeStep()) {
            names << QString::fromStdString(query.getColumn(0).getString());
        }
        return names;
    }
    SQLite::Statement query(*db_, "SELECT name FROM pragma_table_info(?, 'src') ORDER BY cid");
    query.bind(1, name.toStdString());
    while (query.executeStep()) {
        names << QString::fromStdString(query.getColumn(0).getString());
    }
    return names;
}

bool GazetteerSource::hasRowid(const QString& table) const {
    SQLite::Statement query(*db_,
                            "SELECT wr FROM pragma_table_list WHERE schema = 'src' AND name = ?");
    query.bind(1, table.toStdString());
    return query.executeStep() && query.getColumn(0).getInt() == 0;
}

bool GazetteerSource::hasCaseFreeIndex(const QString& schemaTable, const QString& field) const {
    const int dot = schemaTable.indexOf(QLatin1Char('.'));
    const QString schema = schemaTable.left(dot);
    const QString table = schemaTable.mid(dot + 1);
    SQLite::Statement indexes(*db_, "SELECT name FROM pragma_index_list(?, ?)");
    indexes.bind(1, table.toStdString());
    indexes.bind(2, schema.toStdString());
    while (indexes.executeStep()) {
        SQLite::Statement columns(
            *db_, "SELECT name, coll FROM pragma_index_xinfo(?, ?) WHERE key AND seqno = 0");
        columns.bind(1, indexes.getColumn(0).getString());
        columns.bind(2, schema.toStdString());
        if (columns.executeStep() &&
            QString::fromStdString(columns.getColumn(0).getString())
                    .compare(field, Qt::CaseInsensitive) == 0 &&
            QString::fromStdString(columns.getColumn(1).getString())
                    .compare(QStringLiteral("NOCASE"), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

void GazetteerSource::copyDbfTable(const QString& table) {
    const QDir folder(file_);
    const QString path =
        folder.filePath(folder.entryList({table + QStringLiteral(".dbf")}, QDir::Files).value(0));
    const DbfHandle dbf(DBFOpen(QFile::encodeName(path).constData(), "rb"));
    if (!dbf) {
        Fail(kUnrecognizedFormat, QStringLiteral("'%1' is not a dBase table.").arg(path));
    }
    const int fieldCount = DBFGetFieldCount(dbf.get());
    std::vector<bool> numeric;
    QStringList columns;
    for (int i = 0; i < fieldCount; ++i) {
        char fieldName[XBASE_FLDNAME_LEN_READ + 1] = {};
        const DBFFieldType type = DBFGetFieldInfo(dbf.get(), i, fieldName, nullptr, nullptr);
        const bool isNumber = type == FTInteger || type == FTDouble;
        numeric.push_back(isNumber);
        columns << QuoteIdentifier(QString::fromLatin1(fieldName)) +
                       (isNumber ? QStringLiteral(" REAL") : QStringLiteral(" TEXT"));
    }
    const QString quoted = QStringLiteral("main.") + QuoteIdentifier(table);
    db_->exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted, columns.join(u',')).toStdString());
    QStringList marks;
    for (int i = 0; i < fieldCount; ++i) {
        marks << QStringLiteral("?");
    }
    SQLite::Transaction transaction(*db_);
    SQLite::Statement insert(
        *db_,
        QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(quoted, marks.join(u',')).toStdString());
    for (int row = 0; row < DBFGetRecordCount(dbf.get()); ++row) {
        if (DBFIsRecordDeleted(dbf.get(), row)) {
            continue;
        }
        for (int i = 0; i < fieldCount; ++i) {
            if (DBFIsAttributeNULL(dbf.get(), row, i)) {
                insert.bind(i + 1);
            } else if (numeric[static_cast<std::size_t>(i)]) {
                insert.bind(i + 1, DBFReadDoubleAttribute(dbf.get(), row, i));
            } else {
                const QString text =
                    platform::DecodeWindows1252(DBFReadStringAttribute(dbf.get(), row, i))
                        .trimmed();
                insert.bind(i + 1, text.toStdString());
            }
        }
        insert.exec();
        insert.reset();
    }
    transaction.commit();
}

QMap<QString, QString> GazetteerSource::paradoxFiles() const {
    QMap<QString, QString> files;
    const QDir folder(file_);
    for (const QString& entry :
         folder.entryList({QStringLiteral("*.db")}, QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        const QString path = folder.filePath(entry);
        if (document::RecogniseTableFile(path) == document::TableFileKind::Paradox) {
            files.insert(QFileInfo(entry).completeBaseName(), path);
        }
    }
    return files;
}

void GazetteerSource::copyOutsideTable(const QString& source, document::TableFileKind kind,
                                       const QString& table) {
    const document::OutsideTableCopy copy(source, kind, document::OutsideTableCopy::Scope::Rows,
                                          {table});
    SQLite::Statement attach(*db_, "ATTACH DATABASE ? AS copied");
    attach.bind(1, UriOf(copy.path()).toStdString());
    attach.exec();
    try {
        db_->exec(QStringLiteral("CREATE TABLE main.%1 AS SELECT * FROM copied.%1")
                      .arg(QuoteIdentifier(table))
                      .toStdString());
    } catch (...) {
        db_->exec("DETACH DATABASE copied");
        throw;
    }
    db_->exec("DETACH DATABASE copied");
}

bool GazetteerSource::readsInPlace(const QString& name, const QString& column) const {
    // The search reads records by rowid, which a WITHOUT ROWID table lacks: it is copied too.
    return !dbase_ && !paradox_ && !access_ && !isView(name) && hasRowid(name) &&
           hasCaseFreeIndex(QStringLiteral("src.") + name, column);
}

QString GazetteerSource::sqliteTableName(const QString& table) const {
    return dbase_ || paradox_ || access_ ? QString() : FindName(tables(), table);
}

bool GazetteerSource::searchesInPlace(const QString& table, const QString& field) const {
    const QString name = sqliteTableName(table);
    if (name.isEmpty()) {
        return false;
    }
    const QString column = FindName(fields(name), field);
    return !column.isEmpty() && readsInPlace(name, column);
}

bool GazetteerSource::comparesAsText(const QString& table, const QString& field) const {
    const QString name = sqliteTableName(table);
    if (name.isEmpty()) {
        return false;
    }
    SQLite::Statement declared(
        *db_, "SELECT upper(type) FROM pragma_table_info(?, 'src') WHERE name = ? COLLATE NOCASE");
    declared.bind(1, name.toStdString());
    declared.bind(2, field.toStdString());
    if (!declared.executeStep()) {
        return false;
    }
    // SQLite's rules of affinity, in their order: INT gives INTEGER; CHAR, CLOB or TEXT give
    // TEXT; BLOB or no type give none; anything else is a number.
    const QString type = QString::fromStdString(declared.getColumn(0).getString());
    if (type.contains(QLatin1String("INT"))) {
        return false;
    }
    return type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) ||
           type.contains(QLatin1String("TEXT")) || type.contains(QLatin1String("BLOB")) ||
           type.isEmpty();
}

bool GazetteerSource::declaresNumbers(const QString& table, const QStringList& fields) const {
    const QString name = sqliteTableName(table);
    if (name.isEmpty() || copied_.contains(name) || isView(name)) {
        return false;
    }
    SQLite::Statement strict(
        *db_, "SELECT strict FROM pragma_table_list WHERE schema = 'src' AND name = ?");
    strict.bind(1, name.toStdString());
    if (!strict.executeStep() || strict.getColumn(0).getInt() == 0) {
        return false;
    }
    SQLite::Statement field(*db_, "SELECT type, \"notnull\" FROM pragma_table_info(?, 'src') "
                                  "WHERE name = ? COLLATE NOCASE");
    for (const QString& wanted : fields) {
        if (wanted.isEmpty()) {
            return false;
        }
        field.reset();
        field.bind(1, name.toStdString());
        field.bind(2, wanted.toStdString());
        if (!field.executeStep()) {
            return false;
        }
        const QString type = QString::fromStdString(field.getColumn(0).getString());
        const bool number = type.compare(QLatin1String("REAL"), Qt::CaseInsensitive) == 0 ||
                            type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0 ||
                            type.compare(QLatin1String("INT"), Qt::CaseInsensitive) == 0;
        if (!number || field.getColumn(1).getInt() == 0) {
            return false;
        }
    }
    return true;
}

QString GazetteerSource::searchableTable(const QString& table, const QString& field) {
    const QString name = FindName(tables(), table);
    if (name.isEmpty()) {
        Fail(kItemNotFound, QStringLiteral("Table '%1' not found in the gazetteer.").arg(table));
    }
    const QString column = FindName(fields(name), field);
    if (column.isEmpty()) {
        Fail(kItemNotFound,
             QStringLiteral("Field '%1' not found in the gazetteer table '%2'.").arg(field, name));
    }
    if (readsInPlace(name, column)) {
        return QStringLiteral("src.") + QuoteIdentifier(name);
    }
    const QString copy = QStringLiteral("main.") + QuoteIdentifier(name);
    if (copied_.insert(name).second) {
        if (dbase_) {
            copyDbfTable(name);
        } else if (paradox_) {
            copyOutsideTable(paradoxFiles().value(name), document::TableFileKind::Paradox, name);
        } else if (access_) {
            copyOutsideTable(file_, document::TableFileKind::Access, name);
        } else {
            db_->exec(QStringLiteral("CREATE TABLE %1 AS SELECT * FROM src.%2")
                          .arg(copy, QuoteIdentifier(name))
                          .toStdString());
        }
    }
    if (indexed_.insert(name + QLatin1Char('\n') + column.toLower()).second) {
        const QString index =
            QuoteIdentifier(QStringLiteral("search_") + QString::number(indexed_.size()));
        db_->exec(QStringLiteral("CREATE INDEX main.%1 ON %2 (%3 COLLATE NOCASE)")
                      .arg(index, QuoteIdentifier(name), QuoteIdentifier(column))
                      .toStdString());
    }
    return copy;
}

} // namespace gazetteer

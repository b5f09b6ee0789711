#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <SQLiteCpp/Database.h>
#include <memory>
#include <set>

namespace document {
class OutsideTableCopy;
enum class TableFileKind;
} // namespace document

namespace gazetteer {

// The connect strings of the gazetteer settings: empty for a database file, or the type of a
// folder of table files.
inline const QString kDbaseType = QStringLiteral("dBase IV;");
inline const QString kParadoxType = QStringLiteral("Paradox 4.X;");

// Error numbers of the database engine that the search and the setup tell apart.
inline constexpr int kDatabaseFileNotFound = 3024;
inline constexpr int kDatabasePathNotFound = 3044;
inline constexpr int kItemNotFound = 3265;
inline constexpr int kUnrecognizedFormat = 3343;

// An outside gazetteer opened read-only: an SQLite or Access database file (told apart by their
// first bytes), or a folder of dBase or Paradox tables (each .dbf or .db file is a table named
// after the file). The user's files are never written: a table that lacks an index for the
// searched field, and every Access, dBase and Paradox table, is searched in a working copy held
// in memory. Access and Paradox files are read by a child process (document::OutsideTableCopy).
class GazetteerSource {
public:
    // Opens `file` as `dbType` says. Errors 3024/3044 when the file or folder does not exist,
    // 3343 for a file that is neither an SQLite nor an Access database, 3049 for an Access file
    // that cannot be read.
    GazetteerSource(const QString& file, const QString& dbType);
    ~GazetteerSource();
    GazetteerSource(const GazetteerSource&) = delete;
    GazetteerSource& operator=(const GazetteerSource&) = delete;

    // The tables and views (stored select queries), in the database's order.
    QStringList tables() const;
    bool isView(const QString& table) const;
    // The fields of `table` in their order; error 3265 for a table the database lacks.
    QStringList fields(const QString& table) const;

    // The quoted name under which `table` can be searched by `field` through an index comparing
    // without regard to ASCII case; builds the working copy and index on first use. Error 3265
    // when the table or the field is not in the database.
    QString searchableTable(const QString& table, const QString& field);
    // Whether `table` and `field` are there and searched in the file itself, through its own
    // case-free index, so that no working copy is made for them.
    bool searchesInPlace(const QString& table, const QString& field) const;
    // Whether `field` of `table` compares a text with a text as texts: its declared type gives
    // it TEXT affinity or none. Any other affinity turns a text that looks like a number into
    // that number before comparing it.
    bool comparesAsText(const QString& table, const QString& field) const;
    // Whether every record of `table`, read in the file itself, holds a number in each of
    // `fields`, as the table's declaration guarantees: a STRICT table whose fields are INTEGER or
    // REAL and NOT NULL.
    bool declaresNumbers(const QString& table, const QStringList& fields) const;

    SQLite::Database& database() { return *db_; }

    // Whether this source was opened from `file`/`dbType` as they are now on disk.
    bool isSameAs(const QString& file, const QString& dbType) const;

private:
    bool hasRowid(const QString& table) const;
    bool hasCaseFreeIndex(const QString& schemaTable, const QString& field) const;
    // `table` as the SQLite file spells it; empty for a source of another kind or a table it
    // lacks.
    QString sqliteTableName(const QString& table) const;
    // `name` and `column` as the source spells them.
    bool readsInPlace(const QString& name, const QString& column) const;
    void copyDbfTable(const QString& table);
    // The Paradox tables of the folder by name, each with its file.
    QMap<QString, QString> paradoxFiles() const;
    // Copies `table` of an Access or Paradox file into the working copy.
    void copyOutsideTable(const QString& source, document::TableFileKind kind,
                          const QString& table);

    QString file_;
    QString dbType_;
    QDateTime modified_;
    bool dbase_ = false;
    bool paradox_ = false;
    std::unique_ptr<document::OutsideTableCopy> access_; // the tables of an Access file, no rows
    std::unique_ptr<SQLite::Database> db_;
    std::set<QString> copied_;  // tables copied into the working copy
    std::set<QString> indexed_; // "table\nfield" pairs with a working index
};

// Whether the gazetteer of `file`/`dbType` opens within this process: an SQLite file or a folder
// of dBase tables. Access and Paradox files are read by a child process.
bool OpensInProcess(const QString& file, const QString& dbType);

// An identifier as SQLite quotes it: in double quotes, inner quotes doubled.
QString QuoteIdentifier(const QString& name);

// The name in `names` equal to `name` (SQLite compares identifiers without regard to ASCII
// case); empty when there is none.
QString FindName(const QStringList& names, const QString& name);

} // namespace gazetteer

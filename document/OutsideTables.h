#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <optional>

namespace document {

// The kinds of database files the program reads tables from, told apart by their first bytes and
// never by their names.
enum class TableFileKind { Unknown, Access, Sqlite, Dbase, Paradox };

// The kind of a file from its first kTableFileHeadBytes bytes (fewer for a shorter file).
inline constexpr int kTableFileHeadBytes = 128;
TableFileKind TableFileKindOf(const QByteArray& head);
// The kind of the file at `path`; Unknown when it cannot be opened.
TableFileKind RecogniseTableFile(const QString& path);

// How long the reading of an Access or Paradox file may take before it is given up: a base time
// and one second more for every kTableCopyBytesPerSecond bytes of the file, so that a damaged
// small file is given up soon and a large gazetteer has the time its copy needs.
inline constexpr std::chrono::seconds kTableCopyBaseTime{10};
inline constexpr qint64 kTableCopyBytesPerSecond = 10 << 20;
std::chrono::milliseconds TableCopyTimeLimit(qint64 fileBytes);

// An SQLite copy of tables of an Access database or of one Paradox table, in a private folder that
// goes with this object. The file is read by the child process dovazov-table-copy beside the
// program, so that a fault in the Access or Paradox library cannot take the program down; a
// child that fails, crashes or runs past its time limit is error 3049 naming the file and what
// went wrong.
class OutsideTableCopy {
public:
    enum class Scope { SchemaOnly, Rows };

    // `tables`: the Access tables to copy (all when empty); a Paradox table is copied under the
    // one name given. Without `timeLimit`, the limit is TableCopyTimeLimit of the file's size.
    OutsideTableCopy(const QString& source, TableFileKind kind, Scope scope,
                     const QStringList& tables,
                     std::optional<std::chrono::milliseconds> timeLimit = std::nullopt);

    // The SQLite file that holds the copy.
    const QString& path() const { return path_; }

private:
    QTemporaryDir folder_;
    QString path_;
};

// The description of error 3049 for a database file that cannot be read: its name and why.
QString UnreadableDatabaseText(const QString& path, const QString& reason);

} // namespace document

// Arbitrary bytes as an Access database or a Paradox table, through the code that the child
// process dovazov-table-copy runs: it copies the tables or refuses the file with a reason, and
// every table it copies has its columns. A crash, a hang or a sanitizer report is a finding (in
// the program itself such a fault ends only the child).
#include "document/OutsideTables.h"
#include "fuzz/support/Check.h"
#include "tools/table_copy/TableCopy.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <cstdint>

using fuzzsupport::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("input"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        Check(file.write(bytes) == bytes.size());
    }
    const document::TableFileKind kind =
        document::TableFileKindOf(bytes.left(document::kTableFileHeadBytes));
    SQLite::Database target(":memory:", SQLite::OPEN_READWRITE);
    try {
        if (kind == document::TableFileKind::Access) {
            tablecopy::CopyJetTables(path.toStdString(), target, tablecopy::Scope::Rows, {});
        } else if (kind == document::TableFileKind::Paradox) {
            tablecopy::CopyParadoxTable(path.toStdString(), "input", target,
                                        tablecopy::Scope::Rows);
        } else {
            return 0;
        }
    } catch (const tablecopy::CopyError&) {
        return 0;
    } catch (const SQLite::Exception&) {
        return 0;
    }
    SQLite::Statement tables(target, "SELECT (SELECT COUNT(*) FROM pragma_table_info(s.name)) "
                                     "FROM sqlite_schema AS s WHERE s.type = 'table'");
    while (tables.executeStep()) {
        Check(tables.getColumn(0).getInt() > 0);
    }
    return 0;
}

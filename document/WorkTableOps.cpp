#include "document/WorkTableOps.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Record.h"
#include "document/TextRules.h"
#include "document/WorkDatabase.h"

#include <SQLiteCpp/Transaction.h>
#include <vector>

namespace document {

namespace {

int FieldOrThrow(QStringView field) {
    const int index = FieldIndex(field);
    if (index < 0) {
        throw common::AppError(common::kItemNotFound);
    }
    return index;
}

// The value a text gives in the field, converted and checked as the table does (a scratch record
// applies the table's rules), bound to parameter 1 of `statement`.
void BindConverted(SQLite::Statement& statement, QStringView field, const QString& text) {
    Record scratch;
    scratch.setField(field, text);
    const QVariant value = scratch.field(field);
    if (!value.isValid()) {
        statement.bind(1);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong:
        statement.bind(1, static_cast<int64_t>(value.toLongLong()));
        break;
    case QMetaType::Float:
    case QMetaType::Double:
        statement.bind(1, value.toDouble());
        break;
    default:
        statement.bind(1, value.toString().toStdString());
        break;
    }
}

// The text of a stored value as the table converts it: whole numbers in decimal digits, singles
// in their shortest form (".5"), texts as they are.
QString StoredText(const SQLite::Column& column, int fieldIndex) {
    const QString name = QLatin1String(kFieldNames[fieldIndex]);
    if (name == QLatin1String("LATITUDE") || name == QLatin1String("LONGITUDE")) {
        return QString::fromStdString(common::CStrSingle(static_cast<float>(column.getDouble())));
    }
    if (column.isInteger()) {
        return QString::number(column.getInt64());
    }
    return QString::fromUtf8(static_cast<const char*>(column.getBlob()), column.getBytes());
}

void Finish() {
    if (Data1().bound()) {
        Data1().refresh();
    }
    Document().FileModified = -1;
}

} // namespace

void SetFieldAll(QStringView field, const QString& value) {
    const int index = FieldOrThrow(field);
    SQLite::Database& db = WorkDb();
    // Column names come from the table's own list, never from the caller's text.
    SQLite::Statement update(db, std::string("UPDATE DOVAZOV SET ") + kFieldNames[index] + " = ?");
    BindConverted(update, field, value);
    SQLite::Transaction transaction(db);
    update.exec();
    transaction.commit();
    Finish();
}

void ReplaceFieldValue(QStringView field, const QString& oldValue, const QString& newValue) {
    const int index = FieldOrThrow(field);
    SQLite::Database& db = WorkDb();
    const std::string column = kFieldNames[index];
    SQLite::Statement update(db, "UPDATE DOVAZOV SET " + column + " = ? WHERE Counter = ?");
    BindConverted(update, field, newValue);

    const QString wanted = TrimBlanks(oldValue);
    std::vector<std::int64_t> matching;
    {
        SQLite::Statement scan(db, "SELECT Counter, " + column + " FROM DOVAZOV WHERE " + column +
                                       " IS NOT NULL ORDER BY Counter");
        while (scan.executeStep()) {
            if (TrimBlanks(StoredText(scan.getColumn(1), index)) == wanted) {
                matching.push_back(scan.getColumn(0).getInt64());
            }
        }
    }
    SQLite::Transaction transaction(db);
    for (const std::int64_t counter : matching) {
        update.bind(2, counter);
        update.exec();
        update.reset();
    }
    transaction.commit();
    Finish();
}

} // namespace document

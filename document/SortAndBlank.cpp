#include "document/SortAndBlank.h"

#include "common/Numeric.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/WorkDatabase.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <SQLiteCpp/Transaction.h>
#include <cmath>

namespace document {

namespace {

// From item 3 on the queries carry two blanks after "BY", as they always did.
const char* const kSortQueries[] = {
    "SELECT * FROM DOVAZOV ORDER BY Counter",    "SELECT * FROM DOVAZOV ORDER BY [PERIOD]",
    "SELECT * FROM DOVAZOV ORDER BY [LATITUDE]", "SELECT * FROM DOVAZOV ORDER BY  [LONGITUDE]",
    "SELECT * FROM DOVAZOV ORDER BY  [N1]",      "SELECT * FROM DOVAZOV ORDER BY  [N2]",
    "SELECT * FROM DOVAZOV ORDER BY  [DATUM]",   "SELECT * FROM DOVAZOV ORDER BY  [ORIGINAL]",
    "SELECT * FROM DOVAZOV ORDER BY  [DATE]",    "SELECT * FROM DOVAZOV ORDER BY  [SEX]",
};
constexpr int kSortItems = 10;
constexpr int kMostLines = 32767;

} // namespace

std::optional<QString> SortQuery(int item, bool ascending) {
    if (item < 0 || item >= kSortItems) {
        return std::nullopt;
    }
    QString query = QString::fromLatin1(kSortQueries[item]);
    if (item > 0) {
        query += ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    }
    return query;
}

void ChangeTri(int item, bool ascending) {
    if (const std::optional<QString> query = SortQuery(item, ascending)) {
        Document().SqlTri = *query;
    }
    Data1().setRecordSource(Document().SqlTri);
    // Before the first document the control stays unbound and the grid empty; the query runs
    // when a document binds it.
    if (Data1().bound()) {
        Data1().refresh();
    }
}

std::optional<std::int64_t> AjoutLignes() {
    const QString answer =
        platform::InputBox(platform::ResText(600), QString(), QStringLiteral("1"));
    const double count = std::nearbyint(common::NumericValue(answer.toStdString()));
    if (!(count >= 1 && count <= kMostLines)) {
        return std::nullopt;
    }
    RecordSet clone = Data1().recordset().clone();
    SQLite::Transaction transaction(WorkDb());
    const std::int64_t last = clone.addNewRecords(Record{}, static_cast<int>(count));
    transaction.commit();
    Data1().recordset().setBookmark(last);
    Document().FileModified = -1;
    return last;
}

} // namespace document

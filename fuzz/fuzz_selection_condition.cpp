// Arbitrary texts as the selection dialog's condition, over a tiny working table in memory with
// the engine's LIKE installed: checked, then run as the grid runs its record source, under the
// budget of a typed condition. A refusal or an error of the query (error 3075) is the expected way
// to turn a text down. Any other exception, a sanitizer report, a query that writes, or a
// connection left with other limits than it had is a finding. No user is there to press Cancel:
// a stand-in presses it a fifth of a second into each query, so that no input can hang the run.
#include "common/AppError.h"
#include "document/QueryBudget.h"
#include "document/RecordSet.h"
#include "document/SelectionFilter.h"
#include "document/WorkDatabase.h"
#include "fuzz/support/Check.h"
#include "platform/Feedback.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <sqlite3.h>

namespace {

using fuzzsupport::Check;

class ImpatientUser final : public platform::Feedback {
public:
    void showMessage(const QString&) override {}
    void closeMessage() override {}
    void setProgressVisible(bool) override {}
    void setProgressValue(int) override {}
    void showCancellableMessage(const QString&) override { shownAt_ = Clock::now(); }
    bool cancelRequested() override {
        return shownAt_ && Clock::now() - *shownAt_ > std::chrono::milliseconds(200);
    }
    void reset() { shownAt_.reset(); }

private:
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> shownAt_;
};

std::unique_ptr<SQLite::Database> MakeTable() {
    auto db = std::make_unique<SQLite::Database>(":memory:", SQLite::OPEN_READWRITE);
    db->exec(document::kCreateWorkTableSql);
    db->exec(document::kCreatePeriodIndexSql);
    db->exec("INSERT INTO DOVAZOV (PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, ORIGINAL, "
             "DATE, COMMENT) VALUES "
             "(1, 50.5, 4.25, 3, 0, 'M', 'WGS84', 'deg 50.5 4.25', '2001/05/17', 'a bee'), "
             "(2, -12.75, 170.5, 0, 7, 'F', NULL, NULL, '', '50% sure'), "
             "(3, NULL, NULL, NULL, NULL, '', NULL, NULL, NULL, 'plain été aaaaaaaaaa')");
    document::InstallEngineLike(*db);
    return db;
}

int Rows(SQLite::Database& db) {
    return db.execAndGet("SELECT COUNT(*) FROM DOVAZOV").getInt();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<SQLite::Database> db = MakeTable();
    static const int rows = Rows(*db);
    static ImpatientUser user;
    platform::SetFeedback(&user);
    user.reset();
    sqlite3* handle = db->getHandle();
    const int length = sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, -1);
    const sqlite3_int64 heap = sqlite3_hard_heap_limit64(-1);

    const QString condition =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const QString query = document::CheckSelectionCondition(*db, condition);
        document::QueryLimits limits;
        limits.showAfter = std::chrono::milliseconds(0);
        limits.pollEvery = std::chrono::milliseconds(20);
        // Small texts keep each single step of the engine short.
        limits.maxLength = 100'000;
        limits.maxPatternLength = 1'000;
        const document::QueryBudget budget(*db, condition, limits);
        const document::RecordSet records = document::RecordSet::open(*db, query);
        Check(records.recordCount() <= rows);
    } catch (const common::AppError& error) {
        Check(error.number() == common::kQueryError);
    }
    Check(Rows(*db) == rows);
    Check(sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, -1) == length);
    Check(sqlite3_hard_heap_limit64(-1) == heap);
    platform::SetFeedback(nullptr);
    return 0;
}

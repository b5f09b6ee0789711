#include "document/SelectionFilter.h"

#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/EngineLike.h"
#include "document/QueryBudget.h"
#include "document/WorkDatabase.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <string_view>
#include <utility>
#include <vector>

namespace document {

namespace {

const QString kAllRecords = QStringLiteral("SELECT * FROM DOVAZOV");

// The wait window of a condition that takes its time: the dialog's caption and the condition,
// cut short when long.
QString WaitText(const QString& condition) {
    constexpr qsizetype kShown = 200;
    QString text = QStringLiteral("Sélection avancée\r\r");
    if (condition.size() > kShown) {
        return text + condition.left(kShown) + QStringLiteral("...");
    }
    return text + condition;
}

// ---------------------------------------------------------------------------------------------
// LIKE with both wildcard styles.

LikeOptions SqlLikeOptions(std::optional<char32_t> escape) {
    LikeOptions options;
    options.sqlWildcards = true;
    options.escape = escape;
    return options;
}

QString ValueText(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

void DeletePattern(void* pattern) {
    std::unique_ptr<LikePattern> owned(static_cast<LikePattern*>(pattern));
}

// Pattern bytes times text bytes above which a match is refused: a pattern with runs of "*" may
// go back over the text once for each of its characters, all within one step of the engine, where
// no Cancel can stop it.
constexpr std::int64_t kLikeWork = std::int64_t{1} << 27;

// like(pattern, text[, escape]): SQLite's argument order for "text LIKE pattern ESCAPE escape".
void LikeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    // The engine's own limit on patterns, as its LIKE keeps it, and a bound on the work.
    const std::int64_t patternBytes = sqlite3_value_bytes(argv[0]);
    const std::int64_t textBytes = sqlite3_value_bytes(argv[1]);
    if (patternBytes > sqlite3_limit(sqlite3_context_db_handle(context),
                                     SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1) ||
        patternBytes * textBytes > kLikeWork) {
        sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    std::optional<char32_t> escape;
    if (argc == 3) {
        const QList<uint> e = ValueText(argv[2]).toUcs4();
        if (e.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = static_cast<char32_t>(e.front());
    }
    const LikeOptions options = SqlLikeOptions(escape);
    // The compiled pattern is kept with the statement while the pattern stays the same.
    const auto* cached = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, 0));
    std::unique_ptr<LikePattern> fresh;
    if (cached == nullptr || cached->options() != options) {
        fresh = std::make_unique<LikePattern>(ValueText(argv[0]), options);
        cached = fresh.get();
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    // The length after the text, as SQLite asks.
    const std::string_view text(bytes, static_cast<std::size_t>(sqlite3_value_bytes(argv[1])));
    const bool matched = cached->matchesUtf8(text);
    if (fresh) {
        sqlite3_set_auxdata(context, 0, fresh.release(), DeletePattern);
    }
    sqlite3_result_int(context, matched ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// The checks of a condition.

[[noreturn]] void Refuse(const QString& reason) {
    throw common::AppError(common::kQueryError, reason.toStdString());
}

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           c.unicode() >= 0x80;
}

// The first ";" anywhere, or UNION, INTERSECT or EXCEPT outside parentheses, skipping strings,
// quoted names and comments; empty when there is none.
QString FirstJoinOrEnd(QStringView text) {
    int depth = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto skipQuoted = [&](QChar close) {
        ++i;
        while (i < n) {
            if (text[i] == close) {
                if (i + 1 < n && text[i + 1] == close && close != QLatin1Char(']')) {
                    i += 2; // a doubled quote stands for itself
                    continue;
                }
                ++i;
                return;
            }
            ++i;
        }
    };
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            skipQuoted(c);
        } else if (c == QLatin1Char('[')) {
            skipQuoted(QLatin1Char(']'));
        } else if (c == QLatin1Char('-') && i + 1 < n && text[i + 1] == QLatin1Char('-')) {
            while (i < n && text[i] != QLatin1Char('\n')) {
                ++i;
            }
        } else if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('*')) {
            const qsizetype end = text.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('(')) {
            ++depth;
            ++i;
        } else if (c == QLatin1Char(')')) {
            --depth;
            ++i;
        } else if (c == QLatin1Char(';')) {
            return QStringLiteral(";");
        } else if (IsWordChar(c)) {
            const qsizetype start = i;
            while (i < n && IsWordChar(text[i])) {
                ++i;
            }
            const QStringView word = text.mid(start, i - start);
            if (depth <= 0) {
                for (const char* join : {"UNION", "INTERSECT", "EXCEPT"}) {
                    if (word.compare(QLatin1String(join), Qt::CaseInsensitive) == 0) {
                        return word.toString().toUpper();
                    }
                }
            }
        } else {
            ++i;
        }
    }
    return {};
}

// Functions a condition may call: they compute from their arguments and nothing else.
constexpr std::string_view kSafeFunctions[] = {
    "abs",     "avg",          "char",   "coalesce", "count",    "date",      "datetime",
    "glob",    "group_concat", "ifnull", "iif",      "instr",    "julianday", "length",
    "like",    "likely",       "lower",  "ltrim",    "max",      "min",       "nullif",
    "replace", "round",        "rtrim",  "sign",     "strftime", "substr",    "substring",
    "sum",     "time",         "total",  "trim",     "typeof",   "unicode",   "unlikely",
    "upper",   "likelihood",   "hex"};

bool IsSafeFunction(const char* name) {
    if (name == nullptr) {
        return false;
    }
    const QByteArray lower = QByteArray(name).toLower();
    const std::string_view wanted(lower.constData(), static_cast<std::size_t>(lower.size()));
    return std::find(std::begin(kSafeFunctions), std::end(kSafeFunctions), wanted) !=
           std::end(kSafeFunctions);
}

struct AuthorizerState {
    QString refusal; // the first operation refused
};

int AuthorizeCondition(void* data, int action, const char* first, const char* second,
                       const char* /*database*/, const char* /*trigger*/) {
    auto* state = static_cast<AuthorizerState*>(data);
    QString reason;
    switch (action) {
    case SQLITE_SELECT:
        return SQLITE_OK;
    case SQLITE_READ:
        if (first != nullptr && QByteArray(first).compare("DOVAZOV", Qt::CaseInsensitive) == 0) {
            return SQLITE_OK;
        }
        reason = QStringLiteral("The condition can only read the table DOVAZOV, not \"%1\".")
                     .arg(QString::fromUtf8(first != nullptr ? first : ""));
        break;
    case SQLITE_FUNCTION:
        if (IsSafeFunction(second)) {
            return SQLITE_OK;
        }
        reason = QStringLiteral("The function %1 cannot be used in a condition.")
                     .arg(QString::fromUtf8(second != nullptr ? second : ""));
        break;
    default:
        reason = QStringLiteral("The condition can only read the records of the table DOVAZOV: "
                                "it may not change, attach, configure or read anything else.");
        break;
    }
    if (state->refusal.isEmpty()) {
        state->refusal = reason;
    }
    return SQLITE_DENY;
}

// Holds the authorizer on the connection while it lives.
class AuthorizerGuard {
public:
    AuthorizerGuard(sqlite3* db, AuthorizerState& state) : db_(db) {
        sqlite3_set_authorizer(db_, AuthorizeCondition, &state);
    }
    ~AuthorizerGuard() { sqlite3_set_authorizer(db_, nullptr, nullptr); }
    AuthorizerGuard(const AuthorizerGuard&) = delete;
    AuthorizerGuard& operator=(const AuthorizerGuard&) = delete;

private:
    sqlite3* db_;
};

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    });
}

using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// The fields of the working table, in their order.
QStringList TableFields(sqlite3* handle) {
    QStringList fields;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(handle, "SELECT name FROM pragma_table_info('DOVAZOV')", -1, &raw,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return fields;
    }
    const Statement statement(raw);
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
        fields << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0)));
    }
    return fields;
}

// The engine's words for a name that is no column of the query.
constexpr std::string_view kNoSuchColumn = "no such column: ";

// The name the engine's message says is no column; empty for any other message.
QString UnknownField(std::string_view message) {
    if (message.substr(0, kNoSuchColumn.size()) != kNoSuchColumn) {
        return {};
    }
    const std::string_view name = message.substr(kNoSuchColumn.size());
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

QString UnknownFieldMessage(const QString& name, const QStringList& fields) {
    // %1 the unknown name, %2 the fields.
    return platform::InLangue(
               {"La condition nomme un champ inconnu : %1\r\rChamps utilisables : %2",
                "The condition names an unknown field: %1\r\rFields it may use: %2",
                "Die Bedingung nennt ein unbekanntes Feld: %1\r\rVerwendbare Felder: %2",
                "La condizione nomina un campo sconosciuto: %1\r\rCampi utilizzabili: %2",
                "De voorwaarde noemt een onbekend veld: %1\r\rBruikbare velden: %2"})
        .arg(name, fields.join(QStringLiteral(", ")));
}

namespace {

// Compiles `sql` under the authorizer without running it. Refuses a syntax error (with the engine's
// text), an operation the authorizer refused, text after the first statement and a statement that
// would write.
Statement Compile(sqlite3* handle, const QByteArray& utf8) {
    AuthorizerState state;
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    int rc = SQLITE_OK;
    {
        const AuthorizerGuard guard(handle, state);
        rc = sqlite3_prepare_v2(handle, utf8.constData(), static_cast<int>(utf8.size()), &raw,
                                &tail);
    }
    Statement statement(raw);
    if (rc != SQLITE_OK) {
        if (!state.refusal.isEmpty()) {
            Refuse(state.refusal);
        }
        const char* message = sqlite3_errmsg(handle);
        const QString unknown = UnknownField(message);
        if (!unknown.isEmpty()) {
            Refuse(UnknownFieldMessage(unknown, TableFields(handle)));
        }
        Refuse(QString::fromUtf8(message));
    }
    if (!statement) {
        Refuse(QStringLiteral("The condition holds no query."));
    }
    const char* end = utf8.constData() + utf8.size();
    if (tail != nullptr && tail < end &&
        !IsBlank(std::string_view(tail, static_cast<std::size_t>(end - tail)))) {
        Refuse(QStringLiteral("The condition must be one query: the text after it is refused."));
    }
    if (sqlite3_stmt_readonly(statement.get()) == 0) {
        Refuse(QStringLiteral("The condition must only read the table DOVAZOV."));
    }
    return statement;
}

} // namespace

QString SelectionQuery(const QString& condition) {
    return QStringLiteral("SELECT * FROM DOVAZOV WHERE ") + condition;
}

void InstallEngineLike(SQLite::Database& db) {
    sqlite3* handle = db.getHandle();
    for (const int args : {2, 3}) {
        const int rc =
            sqlite3_create_function_v2(handle, "like", args, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                       nullptr, LikeFunction, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            throw common::AppError(common::kDatabaseError,
                                   std::string("The LIKE operator could not be installed: ") +
                                       sqlite3_errmsg(handle));
        }
    }
}

bool EngineLike(QStringView text, QStringView pattern, QChar escape) {
    std::optional<char32_t> escapeCode;
    if (!escape.isNull()) {
        escapeCode = escape.unicode();
    }
    return LikePattern(pattern, SqlLikeOptions(escapeCode)).matches(text);
}

QString CheckSelectionCondition(SQLite::Database& db, const QString& condition) {
    const QString found = FirstJoinOrEnd(condition);
    if (found == QStringLiteral(";")) {
        Refuse(QStringLiteral("The condition must be one query: \";\" and anything after it are "
                              "refused."));
    }
    if (!found.isEmpty()) {
        Refuse(QStringLiteral("The condition cannot join another query with %1.").arg(found));
    }
    InstallEngineLike(db);
    sqlite3* handle = db.getHandle();
    const QString sql = SelectionQuery(condition);
    Compile(handle, sql.toUtf8());

    // The query compiles, but the condition may still end in clauses of its own ("1 ORDER BY 2",
    // "1 LIMIT 1", "1 GROUP BY ..."), which the record set cannot take. So it is compiled again
    // alone, between parentheses, as the one column of SELECT (condition) IS NULL. One expression
    // gives exactly one column, named after its text from the "(" to the NULL. A clause keyword
    // cannot stand inside those parentheses, where only an expression may go (a sub-query inside
    // the condition has parentheses of its own), and a comment or a NUL that swallows the closing
    // parenthesis, or a ")" that closes it early, leaves other columns or another name. The
    // newline ends a "--" comment.
    const QString enclosed = QStringLiteral("(") + condition + QStringLiteral("\n) IS NULL");
    const QByteArray expected = enclosed.toUtf8();
    const auto alone =
        Compile(handle, QByteArray("SELECT ") + expected + QByteArray(" FROM DOVAZOV"));
    const char* name = sqlite3_column_name(alone.get(), 0);
    if (sqlite3_column_count(alone.get()) != 1 || name == nullptr || expected != name) {
        Refuse(QStringLiteral("The condition must be one expression: clauses after it are "
                              "refused."));
    }
    return sql;
}

SelectionOutcome ApplySelection(bool allRecords, const QString& condition, QueryLimits limits) {
    DataControl& data = Data1();
    // Data1 keeps its record set when a query fails: putting the text back restores it whole,
    // rows and position, without running the previous query again.
    const QString previous = data.recordSource();
    SelectionOutcome outcome;
    if (!allRecords && condition.isEmpty()) {
        platform::Beep();
        return outcome;
    }
    try {
        if (allRecords) {
            data.setRecordSource(kAllRecords);
            data.refresh();
            outcome.label = SelectionLabel::Hidden;
        } else {
            data.setRecordSource(CheckSelectionCondition(WorkDb(), condition));
            const QueryBudget budget(WorkDb(), WaitText(condition), limits);
            try {
                data.refresh();
            } catch (const std::exception&) {
                if (!budget.cancelled()) {
                    throw;
                }
                // The user stopped it and knows: no message.
                outcome.cancelled = true;
            }
            outcome.label = SelectionLabel::Shown;
        }
        outcome.refreshed = !outcome.cancelled;
    } catch (const std::exception& error) {
        platform::MsgBox(QString::fromUtf8(error.what()));
        outcome.refreshed = false;
        outcome.failed = true;
    }
    if (!outcome.refreshed) {
        data.setRecordSource(previous);
        outcome.label = SelectionLabel::Unchanged;
    }
    return outcome;
}

} // namespace document

#include "document/SelectionFilter.h"

#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/WorkDatabase.h"
#include "platform/Prompter.h"

#include <QByteArray>
#include <QList>
#include <algorithm>
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

// ---------------------------------------------------------------------------------------------
// LIKE with both wildcard styles.

struct LikeToken {
    enum class Kind { Any, One, Literal, Set };
    Kind kind = Kind::Literal;
    char32_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges; // for Set, bounds included
};

struct LikePattern {
    std::vector<LikeToken> tokens;
    std::optional<char32_t> escape;
};

char32_t Folded(char32_t point) {
    if (point < 0x80) {
        return point >= U'A' && point <= U'Z' ? point + (U'a' - U'A') : point;
    }
    return static_cast<char32_t>(QChar::toCaseFolded(static_cast<uint>(point)));
}

std::vector<char32_t> FoldedCodePoints(QStringView text) {
    const QList<uint> points = text.toUcs4();
    std::vector<char32_t> folded;
    folded.reserve(static_cast<std::size_t>(points.size()));
    for (const uint point : points) {
        folded.push_back(Folded(static_cast<char32_t>(point)));
    }
    return folded;
}

// The position of the "]" that closes a set opened at `open`, or nothing when there is none or
// the set would be empty (then the "[" is an ordinary character).
std::optional<std::size_t> SetEnd(const std::vector<char32_t>& p, std::size_t open) {
    std::size_t first = open + 1;
    if (first < p.size() && p[first] == U'!') {
        ++first;
    }
    for (std::size_t j = first; j < p.size(); ++j) {
        if (p[j] == U']') {
            return j == first ? std::nullopt : std::optional<std::size_t>(j);
        }
    }
    return std::nullopt;
}

LikeToken ParseSet(const std::vector<char32_t>& p, std::size_t open, std::size_t close) {
    LikeToken token;
    token.kind = LikeToken::Kind::Set;
    std::size_t k = open + 1;
    if (p[k] == U'!') {
        token.negated = true;
        ++k;
    }
    while (k < close) {
        if (k + 2 < close && p[k + 1] == U'-') {
            token.ranges.emplace_back(std::min(p[k], p[k + 2]), std::max(p[k], p[k + 2]));
            k += 3;
        } else {
            token.ranges.emplace_back(p[k], p[k]);
            ++k;
        }
    }
    return token;
}

LikePattern CompileLike(QStringView pattern, std::optional<char32_t> escape) {
    const std::vector<char32_t> p = FoldedCodePoints(pattern);
    LikePattern compiled;
    compiled.escape = escape;
    const auto literal = [&compiled](char32_t ch) {
        LikeToken token;
        token.ch = ch;
        compiled.tokens.push_back(std::move(token));
    };
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (escape && c == *escape) {
            literal(i + 1 < p.size() ? p[++i] : c);
        } else if (c == U'*' || c == U'%') {
            if (compiled.tokens.empty() || compiled.tokens.back().kind != LikeToken::Kind::Any) {
                compiled.tokens.push_back({LikeToken::Kind::Any, 0, false, {}});
            }
        } else if (c == U'?' || c == U'_') {
            compiled.tokens.push_back({LikeToken::Kind::One, 0, false, {}});
        } else if (c == U'[' && SetEnd(p, i)) {
            const std::size_t close = *SetEnd(p, i);
            compiled.tokens.push_back(ParseSet(p, i, close));
            i = close;
        } else {
            literal(c);
        }
    }
    return compiled;
}

bool TokenMatches(const LikeToken& token, char32_t ch) {
    switch (token.kind) {
    case LikeToken::Kind::One:
        return true;
    case LikeToken::Kind::Literal:
        return token.ch == ch;
    case LikeToken::Kind::Set: {
        const bool inside =
            std::any_of(token.ranges.begin(), token.ranges.end(),
                        [ch](const auto& r) { return ch >= r.first && ch <= r.second; });
        return inside != token.negated;
    }
    case LikeToken::Kind::Any:
        break;
    }
    return false;
}

// Greedy match with a return to the last "any run" on a mismatch: linear for patterns with one
// run, never exponential.
bool MatchLike(const LikePattern& pattern, const std::vector<char32_t>& text) {
    const std::vector<LikeToken>& tokens = pattern.tokens;
    std::size_t t = 0;
    std::size_t p = 0;
    std::optional<std::size_t> starToken;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < tokens.size() && tokens[p].kind == LikeToken::Kind::Any) {
            starToken = p++;
            starText = t;
        } else if (p < tokens.size() && TokenMatches(tokens[p], text[t])) {
            ++p;
            ++t;
        } else if (starToken) {
            p = *starToken + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < tokens.size() && tokens[p].kind == LikeToken::Kind::Any) {
        ++p;
    }
    return p == tokens.size();
}

QString ValueText(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

// Decodes UTF-8 into folded code points, reusing `out`; a malformed sequence gives U+FFFD.
void FoldUtf8(const unsigned char* text, int length, std::vector<char32_t>& out) {
    out.clear();
    int i = 0;
    while (i < length) {
        const unsigned char lead = text[i];
        if (lead < 0x80) {
            out.push_back(Folded(lead));
            ++i;
            continue;
        }
        const int extra = lead >= 0xF8   ? -1
                          : lead >= 0xF0 ? 3
                          : lead >= 0xE0 ? 2
                          : lead >= 0xC0 ? 1
                                         : -1;
        char32_t point = extra == 3 ? lead & 0x07U : extra == 2 ? lead & 0x0FU : lead & 0x1FU;
        bool valid = extra > 0;
        for (int k = 1; valid && k <= extra; ++k) {
            if (i + k >= length || (text[i + k] & 0xC0U) != 0x80U) {
                valid = false;
            } else {
                point = (point << 6) | (text[i + k] & 0x3FU);
            }
        }
        if (!valid) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        out.push_back(Folded(point));
        i += extra + 1;
    }
}

void DeletePattern(void* pattern) {
    std::unique_ptr<LikePattern> owned(static_cast<LikePattern*>(pattern));
}

// like(pattern, text[, escape]): SQLite's argument order for "text LIKE pattern ESCAPE escape".
void LikeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    std::optional<char32_t> escape;
    if (argc == 3) {
        const std::vector<char32_t> e = FoldedCodePoints(ValueText(argv[2]));
        if (e.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.front();
    }
    // The compiled pattern is kept with the statement while the pattern stays the same.
    const auto* cached = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, 0));
    std::unique_ptr<LikePattern> fresh;
    if (cached == nullptr || cached->escape != escape) {
        fresh = std::make_unique<LikePattern>(CompileLike(ValueText(argv[0]), escape));
        cached = fresh.get();
    }
    thread_local std::vector<char32_t> text;
    const unsigned char* bytes = sqlite3_value_text(argv[1]); // before its length, as SQLite asks
    FoldUtf8(bytes, sqlite3_value_bytes(argv[1]), text);
    const bool matched = MatchLike(*cached, text);
    if (fresh) {
        sqlite3_set_auxdata(context, 0, fresh.release(), DeletePattern);
    }
    sqlite3_result_int(context, matched ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// The checks of a condition.

[[noreturn]] void Refuse(const QString& reason) {
    throw common::AppError(kConditionError, reason.toStdString());
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
        escapeCode = static_cast<char32_t>(QChar::toCaseFolded(escape.unicode()));
    }
    return MatchLike(CompileLike(pattern, escapeCode), FoldedCodePoints(text));
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

    const QString sql = SelectionQuery(condition);
    const QByteArray utf8 = sql.toUtf8();
    sqlite3* handle = db.getHandle();
    AuthorizerState state;
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    int rc = SQLITE_OK;
    {
        const AuthorizerGuard guard(handle, state);
        rc = sqlite3_prepare_v2(handle, utf8.constData(), static_cast<int>(utf8.size()), &raw,
                                &tail);
    }
    const std::unique_ptr<sqlite3_stmt, StatementDeleter> statement(raw);
    if (rc != SQLITE_OK) {
        Refuse(!state.refusal.isEmpty() ? state.refusal
                                        : QString::fromUtf8(sqlite3_errmsg(handle)));
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
    return sql;
}

SelectionOutcome ApplySelection(bool allRecords, const QString& condition) {
    DataControl& data = Data1();
    // Kept whole, so that an error puts back exactly what the grid showed.
    const QString previous = data.recordSource();
    const bool wasBound = data.bound();
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
            data.refresh();
            outcome.label = SelectionLabel::Shown;
        }
        outcome.refreshed = true;
    } catch (const std::exception& error) {
        platform::MsgBox(QString::fromUtf8(error.what()));
        data.setRecordSource(previous);
        outcome.label = SelectionLabel::Unchanged;
        if (wasBound) {
            try {
                data.refresh();
                outcome.refreshed = true;
            } catch (const std::exception&) {
                // The previous source ran before; if it no longer does, the grid keeps its rows.
            }
        }
    }
    return outcome;
}

} // namespace document

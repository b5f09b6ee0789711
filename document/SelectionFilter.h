#pragma once

#include "document/QueryBudget.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <SQLiteCpp/SQLiteCpp.h>

namespace document {

// The selection filter of the grid: a condition typed by the user in the query language, run as
// "SELECT * FROM DOVAZOV WHERE " followed by the condition. The condition is the feature, so it
// stays SQL, but it is compiled first as one read-only query over DOVAZOV whose condition is one
// expression; anything else is refused before it runs, and what runs is held to a budget the user
// can cancel.

// "SELECT * FROM DOVAZOV WHERE " followed by the condition, unchanged.
QString SelectionQuery(const QString& condition);

// Compiles SelectionQuery(condition) on `db` without running it and returns it. Raises
// AppError common::kQueryError, with a description that says why, when the text is not one query
// (text after it, a ";", a UNION, INTERSECT or EXCEPT joining another query), when the condition
// is not one expression (an ORDER BY, GROUP BY, HAVING, WINDOW or LIMIT after it), when it would
// read anything but DOVAZOV, call a function outside a short list of harmless ones, or change
// anything; with UnknownFieldMessage for a name that is no field of DOVAZOV; and with the engine's
// own message for another error.
QString CheckSelectionCondition(SQLite::Database& db, const QString& condition);

// The message of a condition that names `name`, which is no field of the working table: the name,
// and the `fields` the condition may use, in the chosen language.
QString UnknownFieldMessage(const QString& name, const QStringList& fields);

// Installs on `db` the LIKE of the conditions: the wildcards of the original engine ("*" any
// run of characters, "?" one character, "[abc]", "[a-z]" and "[!abc]" one character of a set or
// outside it) beside SQLite's ("%" and "_"), letters compared without regard to case, and an
// ESCAPE character that makes the next character of the pattern literal. Replaces SQLite's own
// LIKE for every query of the connection. Like SQLite's, it refuses a pattern longer than the
// connection's SQLITE_LIMIT_LIKE_PATTERN_LENGTH, and also a pattern and a text whose lengths
// multiply above 2^27 bytes: such a match could run for minutes where no Cancel reaches it.
void InstallEngineLike(SQLite::Database& db);

// Whether `text` matches `pattern` with the rules above; `escape` null for none.
bool EngineLike(QStringView text, QStringView pattern, QChar escape = QChar());

// What the apply button leaves the grid's "SELECTION!" label as.
enum class SelectionLabel { Unchanged, Shown, Hidden };

struct SelectionOutcome {
    SelectionLabel label = SelectionLabel::Unchanged;
    bool refreshed = false; // Data1 ran its record source again: the grid must show it anew
    bool cancelled = false; // the user stopped the condition with the wait window's Cancel
    bool failed = false;    // the choice was refused with a message: the user may mend it
};

// The selection dialog's apply: with `allRecords`, Data1 shows "SELECT * FROM DOVAZOV" and the
// label hides. Otherwise an empty condition beeps (whatever Silence says) and changes nothing;
// a condition that passes CheckSelectionCondition becomes Data1's record source, Data1 runs it
// under a QueryBudget with `limits` and the label shows. Any error shows its description in a
// message box (OK, no icon); a Cancel of the wait window shows nothing. Either way Data1 gets its
// previous record source back with the record set it had, rows and position; the label keeps its
// state.
SelectionOutcome ApplySelection(bool allRecords, const QString& condition, QueryLimits limits = {});

} // namespace document

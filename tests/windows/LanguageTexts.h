#pragma once

// The texts a window must not show in a session of the other language: the program's string table
// and Qt's standard buttons in that language, less the texts both languages share and the texts
// the program shows in one language whatever the session's.

#include <QHash>
#include <QString>
#include <string>

namespace windows_test {

// A shown text as the tables compare it: without mnemonic marks, surrounding blanks, a trailing
// colon or ellipsis.
QString Comparable(const QString& text);

// The texts of the language other than `langue` (French or English offset of the string table)
// that `langue` does not share, each with where it comes from ("string 260", "Qt's Cancel"), less
// the texts the window named `window` in the catalogue shows in one language.
QHash<QString, QString> OtherLanguageTexts(int langue, const std::string& window);

} // namespace windows_test

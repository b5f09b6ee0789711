#pragma once

#include <QString>
#include <optional>

namespace platform {

// Language offsets added to every string id.
inline constexpr int kFrench = 0;
inline constexpr int kEnglish = 1000;
inline constexpr int kGerman = 3000;
inline constexpr int kItalian = 4000;
inline constexpr int kDutch = 5000;

// The program-wide language offset `Langue`.
int Langue();
// Sets `Langue`; a value other than the five offsets (only an edited settings store holds one)
// falls back to English.
void SetLangue(int value);

// The text of string id `id` in the current language: the entry id + Langue. An entry that is not
// in the table gives an empty text.
QString ResText(int id);

// A message of the program's own that the string table does not hold, in its five languages
// (UTF-8).
struct LangueTexts {
    const char* french;
    const char* english;
    const char* german;
    const char* italian;
    const char* dutch;
};
// The text of the current language.
QString InLangue(const LangueTexts& texts);

// The entry `number` of the table, whatever the language; empty when absent.
std::optional<QString> StringEntry(int number);

// Parses one line of a string file ("id<TAB>text", with \t, \r, \n and \\ escaped). Lines that are
// blank or start with "#" give nothing.
std::optional<std::pair<int, QString>> ParseStringLine(const QString& line);

} // namespace platform

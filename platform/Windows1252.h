#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <string>

namespace platform {

// The code page of the distribution files and the program's other text files, which come from
// Windows machines. One table, read and written here only.

QString DecodeWindows1252(QByteArrayView bytes);
// Appends the UTF-8 form of Windows-1252 bytes (the working database holds UTF-8 texts).
void AppendUtf8OfWindows1252(std::string& out, QByteArrayView bytes);

// A character that Windows-1252 cannot hold (a C1 control among them) is written as "?", one "?"
// for a character outside the Basic Multilingual Plane.
QByteArray EncodeWindows1252(QStringView text);
void AppendWindows1252(QByteArray& out, QStringView text);
// The byte one character of the Basic Multilingual Plane is written as ("?" when it has none), for
// writers that encode without building a QString.
char Windows1252Byte(char16_t c);

} // namespace platform

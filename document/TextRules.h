#pragma once

#include <QString>
#include <QStringView>

namespace document {

// The text without its leading and trailing blanks. Only the blank (space) is removed, as the old
// platform's Trim did: tabs and line ends stay.
QString TrimBlanks(QStringView text);

} // namespace document

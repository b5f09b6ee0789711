#pragma once

#include <QString>

namespace platform {

// The program-wide error box: resets the mouse pointer and shows "Error <number>", a line break and
// the description (after the context and an empty line, when a context is given), with the
// exclamation icon and the OK button.
void ShowError(long number, const QString& description, const QString& context = {});

// The text the error box shows; the line break is one carriage return.
QString ErrorBoxText(long number, const QString& description, const QString& context = {});

} // namespace platform

#pragma once

#include <QString>
#include <exception>

namespace platform {

// The program-wide error box: resets the mouse pointer and shows "Error <number>", a line break and
// the description (after the context and an empty line, when a context is given), with the
// exclamation icon and the OK button. An error without a number (0) shows its description alone.
void ShowError(long number, const QString& description, const QString& context = {});

// The error box for a caught exception: its number and description when it carries them,
// otherwise its text alone.
void ShowErrorOf(const std::exception& error);

// The text the error box shows; the line break is one carriage return.
QString ErrorBoxText(long number, const QString& description, const QString& context = {});

} // namespace platform

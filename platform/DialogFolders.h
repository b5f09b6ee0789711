#pragma once

#include "platform/Prompter.h"

#include <QString>

namespace platform {

// Where a file dialog opens when nothing else says: the user's documents folder, or the home
// folder when there is none; with a final "/".
QString DocumentsFolder();

// What a file dialog is opened on: the request's folder; without one, the folder of a file name
// given with its path; otherwise `lastFolder` (the folder of the file last chosen in a dialog),
// or DocumentsFolder() before any was chosen. The file name follows, when one is given.
QString DialogStartPath(const FileDialogRequest& request, const QString& lastFolder);

} // namespace platform

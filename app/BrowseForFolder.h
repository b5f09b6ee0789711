#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace app {

// The folder chooser: the desktop's folder dialog, opened on a start folder the caller gives,
// returning the chosen folder or "" when the user cancels.

// Option flags of the chooser, as the callers pass them.
inline constexpr std::uint32_t kBrowseEditBox = 0x10;   // the user may type a path
inline constexpr std::uint32_t kBrowseValidate = 0x20;  // a typed path is checked
inline constexpr std::uint32_t kBrowseNewDialog = 0x40; // the resizable dialog with "New folder"

// The folder to preselect when the dialog opens ("" for none): the caller sets it before
// BrowseForFolder and empties it afterwards.
QString& BrowseStartFolder();
// The folder the user typed and agreed to create; the caller empties it after the call.
QString& BrowseNewFolder();

// One showing of the folder dialog: the owner, the prompt, the folder to open on, and whether
// the user may type a path. Returns the folder chosen or typed, "" on cancel.
struct FolderDialogRequest {
    QWidget* owner = nullptr;
    QString prompt;
    QString startFolder;
    bool editBox = false;
};
using FolderDialog = std::function<QString(const FolderDialogRequest&)>;

// Replaces the dialog (tests); an empty function puts back the desktop's dialog.
void SetFolderDialog(FolderDialog dialog);

// Shows the folder dialog modally over `owner` with `prompt`, opened on BrowseStartFolder, and
// returns the chosen folder without a final separator (unless it is the root), or "" on cancel.
// With kBrowseEditBox in `flags`, a typed folder that does not exist brings the question "The
// Path You Typed Does Not Exist!" / "Would you like to create it?": Yes creates it with every
// missing level (MakeFolderPath), notes it in BrowseNewFolder and opens the dialog again on it;
// No opens the dialog again where it was.
QString BrowseForFolder(QWidget* owner, const QString& prompt, std::uint32_t flags);

// Creates every missing folder of `path`, from the outermost to the innermost. `path` gets a
// final "/" when it has none. True when the folder exists afterwards (an existing one creates
// nothing); otherwise shows "Could not Create Destination Folder." with the exclamation icon and
// returns false.
bool MakeFolderPath(QString& path);

} // namespace app

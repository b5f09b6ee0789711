#include "app/BrowseForFolder.h"

#include "platform/Prompter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace app {

namespace {

FolderDialog& InstalledDialog() {
    static FolderDialog dialog;
    return dialog;
}

QString DesktopFolderDialog(const FolderDialogRequest& request) {
    return QFileDialog::getExistingDirectory(request.owner, request.prompt, request.startFolder,
                                             QFileDialog::ShowDirsOnly);
}

QString ShowFolderDialog(const FolderDialogRequest& request) {
    const FolderDialog& installed = InstalledDialog();
    return installed ? installed(request) : DesktopFolderDialog(request);
}

// The chosen path as the chooser returns it: no final separator unless it is the root.
QString ChosenPath(const QString& path) {
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

} // namespace

QString& BrowseStartFolder() {
    static QString folder;
    return folder;
}

QString& BrowseNewFolder() {
    static QString folder;
    return folder;
}

void SetFolderDialog(FolderDialog dialog) {
    InstalledDialog() = std::move(dialog);
}

QString BrowseForFolder(QWidget* owner, const QString& prompt, std::uint32_t flags) {
    const bool editBox = (flags & kBrowseEditBox) != 0;
    QString start = BrowseStartFolder();
    for (;;) {
        const QString chosen = ShowFolderDialog({owner, prompt, start, editBox});
        if (chosen.isEmpty()) {
            return {};
        }
        const QString path = ChosenPath(chosen);
        if (!editBox || QFileInfo(path).isDir()) {
            return path;
        }
        // A typed folder that does not exist: the dialog stays open either way.
        const platform::Answer answer = platform::MsgBox(
            QStringLiteral("The Path You Typed Does Not Exist!\r\nWould you like to create it?"),
            platform::Buttons::YesNo, platform::Icon::Question);
        if (answer == platform::Answer::Yes) {
            BrowseNewFolder() = path;
            QString created = path;
            MakeFolderPath(created);
            start = BrowseNewFolder();
        }
    }
}

bool MakeFolderPath(QString& path) {
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    const QFileInfo target(path);
    if (target.isDir() || (!target.exists() && QDir().mkpath(path) && QFileInfo(path).isDir())) {
        return true;
    }
    platform::MsgBox(QStringLiteral("Could not Create Destination Folder."), platform::Buttons::Ok,
                     platform::Icon::Exclamation);
    return false;
}

} // namespace app

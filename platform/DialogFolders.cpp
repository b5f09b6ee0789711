#include "platform/DialogFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString DocumentsFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString DialogStartPath(const FileDialogRequest& request, const QString& lastFolder) {
    QString folder = request.folder;
    if (folder.isEmpty()) {
        if (QDir::isAbsolutePath(request.fileName)) {
            return request.fileName;
        }
        folder = lastFolder.isEmpty() ? DocumentsFolder() : lastFolder;
    }
    if (request.fileName.isEmpty()) {
        return folder;
    }
    return folder.endsWith(QLatin1Char('/')) ? folder + request.fileName
                                             : folder + QLatin1Char('/') + request.fileName;
}

} // namespace platform

#include "app/WorkingFolder.h"

#include "app/MainSettings.h"
#include "common/AppError.h"
#include "document/WorkDatabase.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <QDir>
#include <QFileInfo>

namespace app {

namespace {

bool French() {
    return platform::Langue() == platform::kFrench;
}

QString FallbackText(const QString& folder, const QString& reason, const QString& fallback) {
    const QString text =
        French() ? QStringLiteral("Le répertoire de travail \"%1\" est inutilisable : %2.\r"
                                  "Les fichiers de travail temporaires vont dans \"%3\".")
                 : QStringLiteral("The working folder \"%1\" cannot be used: %2.\r"
                                  "The temporary working files go to \"%3\" instead.");
    return text.arg(QDir::toNativeSeparators(folder), reason, QDir::toNativeSeparators(fallback));
}

bool SameFolder(const QString& a, const QString& b) {
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

// Why `folder` cannot hold the run's private folder, in the current language; empty when it can.
QString WorkingFolderProblem(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.exists()) {
        return French() ? QStringLiteral("il n'existe pas") : QStringLiteral("it does not exist");
    }
    if (!info.isDir()) {
        return French() ? QStringLiteral("ce n'est pas un répertoire")
                        : QStringLiteral("it is not a folder");
    }
    // Making a folder inside takes both write and search permission.
    if (!info.isWritable() || !info.isExecutable()) {
        return French() ? QStringLiteral("il n'est pas accessible en écriture")
                        : QStringLiteral("it cannot be written to");
    }
    return {};
}

} // namespace

void CreateRunWorkDatabase(const QString& workingDir) {
    const QString fallback = DefaultWorkingDir();
    if (!workingDir.isEmpty() && !SameFolder(workingDir, fallback)) {
        QString problem = WorkingFolderProblem(workingDir);
        if (problem.isEmpty()) {
            try {
                document::CreateWorkDatabase(workingDir, workingDir);
                return;
            } catch (const common::AppError& error) {
                problem = QString::fromStdString(error.description());
            }
        }
        platform::MsgBox(FallbackText(workingDir, problem, fallback), platform::Buttons::Ok,
                         platform::Icon::Exclamation);
    }
    // The user's cache folder is made on first use; a failure shows at the creation below.
    QDir().mkpath(fallback);
    document::CreateWorkDatabase(fallback, workingDir);
}

} // namespace app

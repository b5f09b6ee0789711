#include "app/DesktopOpener.h"

#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace app {

bool OpenWithDesktop(const QUrl& url, std::function<void()> failed) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        return QDesktopServices::openUrl(url);
    }
    // Owned by the application until it ends; a browser the opener started outlives it. Without
    // pipes, a browser that keeps running cannot hold up the opener's end.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener);
    process->setArguments({url.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if ((status != QProcess::NormalExit || code != 0) && failed) {
                             failed();
                         }
                     });
    process->start();
    if (!process->waitForStarted()) {
        process->deleteLater();
        return false;
    }
    return true;
}

QString HelpNotShownText(const QString& page) {
    return platform::InLangue(
               {"Aucun navigateur n'a pu ouvrir l'aide. La page se trouve ici :\r\r%1",
                "No web browser could open the help. The page is here:\r\r%1",
                "Kein Browser konnte die Hilfe öffnen. Die Seite liegt hier:\r\r%1",
                "Nessun browser ha potuto aprire la guida. La pagina si trova qui:\r\r%1",
                "Geen browser kon de help openen. De pagina staat hier:\r\r%1"})
        .arg(page);
}

void OpenHelpPage(const QString& page) {
    const auto tell = [page] {
        platform::MsgBox(HelpNotShownText(page), platform::Buttons::Ok,
                         platform::Icon::Exclamation);
    };
    if (!OpenWithDesktop(QUrl::fromLocalFile(page), tell)) {
        tell();
    }
}

} // namespace app

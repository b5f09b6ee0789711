#include "app/FileCommands.h"

#include "app/Utilities.h"
#include "document/DocumentState.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QCoreApplication>
#include <limits>

namespace app {

namespace {

const QString kOpenFilter = QStringLiteral("Distribution (*.deg)|*.deg");
const QString kSaveFilter = QStringLiteral("Distribution files (*.deg)|*.deg");

int& WorkDepth() {
    static int depth = 0;
    return depth;
}

// Reads a file as Open does; CurrentFile names it only once it is read. The document menus are
// enabled whether or not the file could be read: a command on no document reports error 91.
void ReadForOpen(FileHost& host, const QString& path) {
    document::OpenDistribution(path, host.readerHooks());
    host.activeMenus();
}

} // namespace

QString CaptionFor(const QString& currentFile) {
    return currentFile.isEmpty() ? QStringLiteral("DOVazov")
                                 : QStringLiteral("DOVazov - ") + currentFile;
}

DocumentWork::DocumentWork() {
    ++WorkDepth();
}
DocumentWork::~DocumentWork() {
    --WorkDepth();
}
bool DocumentWorkUnderWay() {
    return WorkDepth() > 0;
}

int CheckSauvegarde(FileHost& host) {
    document::DocumentState& doc = document::Document();
    if (doc.FileModified != -1) {
        return 0;
    }
    DocumentWork work;
    const platform::Answer answer = platform::MsgBox(
        platform::ResText(509), platform::Buttons::YesNoCancel, platform::Icon::Exclamation, 1);
    if (answer == platform::Answer::Cancel) {
        return 1;
    }
    if (answer == platform::Answer::Yes) {
        if (!doc.CurrentFile.isEmpty()) {
            document::SauveDeg(doc.CurrentFile, false, host.documentTexts());
        } else {
            SaveFileAs(host);
        }
    }
    return 0;
}

void OpenFile(FileHost& host) {
    DocumentWork work;
    if (CheckSauvegarde(host) == 1) {
        return;
    }
    const QString programFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    platform::FileDialogRequest request;
    request.filter = kOpenFilter;
    request.folder = platform::GetSetting(QStringLiteral("DOVAZOV"), QStringLiteral("Paths"),
                                          QStringLiteral("LastDeg"), programFolder);
    const QString chosen = platform::CurrentPrompter().openFile(request);
    if (chosen.isEmpty()) {
        return;
    }
    platform::SaveSetting(QStringLiteral("DOVAZOV"), QStringLiteral("Paths"),
                          QStringLiteral("LastDeg"), FolderOfPath(chosen));
    ReadForOpen(host, chosen);
    host.hideSelectionLabel();
}

void MergeFile(FileHost& host) {
    DocumentWork work;
    platform::FileDialogRequest request;
    request.filter = kOpenFilter;
    const QString chosen = platform::CurrentPrompter().openFile(request);
    if (chosen.isEmpty()) {
        return;
    }
    document::ChargeDeg(chosen, document::kMergeMode, host.readerHooks());
    host.activeMenus();
}

void SaveFile(FileHost& host) {
    DocumentWork work;
    const QString current = document::Document().CurrentFile;
    if (current.isEmpty()) {
        SaveFileAs(host);
        host.focusGrid();
        return;
    }
    document::SaveWithBackup(current, host.documentTexts());
}

void SaveFileAs(FileHost& host) {
    DocumentWork work;
    platform::FileDialogRequest request;
    request.filter = kSaveFilter;
    request.fileName = document::Document().CurrentFile;
    const QString chosen = platform::CurrentPrompter().saveFile(request);
    if (chosen.isEmpty()) {
        return;
    }
    if (document::SaveDocumentAs(chosen, host.documentTexts())) {
        host.setCaption(CaptionFor(document::Document().CurrentFile));
    }
}

void NewFile(FileHost& host) {
    DocumentWork work;
    document::CreationNouveau(0, host.newDocumentHooks());
}

void OpenRecentFile(FileHost& host, int entry) {
    if (entry < 0 || entry > 3) {
        return;
    }
    DocumentWork work;
    if (CheckSauvegarde(host) == 1) {
        return;
    }
    // The entry itself, not the menu caption: a path holding "&" is read as written.
    const QString path = platform::Settings().LastFiles[static_cast<std::size_t>(entry)];
    if (path.trimmed().isEmpty()) {
        return;
    }
    ReadForOpen(host, path);
}

bool QuitProgram(FileHost& host) {
    {
        DocumentWork work;
        if (CheckSauvegarde(host) == 1) {
            return false;
        }
    }
    try {
        SauveParametres(host.windowSettings());
    } catch (...) {
        // The settings are lost for this run; the program still ends.
    }
    return true;
}

void MajLastFiles(std::array<QString, 4>& lastFiles, const QString& fileName) {
    const QString wanted = fileName.toUpper();
    for (std::size_t i = 0; i < lastFiles.size(); ++i) {
        if (lastFiles[i].toUpper() == wanted) {
            const QString entry = lastFiles[i];
            for (std::size_t j = i; j > 0; --j) {
                lastFiles[j] = lastFiles[j - 1];
            }
            lastFiles[0] = entry;
            return;
        }
    }
    for (std::size_t j = lastFiles.size() - 1; j > 0; --j) {
        lastFiles[j] = lastFiles[j - 1];
    }
    lastFiles[0] = fileName;
}

bool AutoSaveTimer::Timer1_Timer(FileHost& host) {
    const platform::ProgramSettings& settings = platform::Settings();
    if (settings.AutoSave == 0) {
        return false;
    }
    if (counter_ < std::numeric_limits<std::int16_t>::max()) {
        ++counter_;
    }
    if (counter_ < platform::EffectiveSaveInterval(settings)) {
        return false;
    }
    // Ticks arrive inside dialogs and inside a read or write: wait for the first free tick.
    if (DocumentWorkUnderWay() || QApplication::activeModalWidget() != nullptr) {
        return false;
    }
    counter_ = 0;
    const document::DocumentState& doc = document::Document();
    if (doc.FileModified == 0) {
        return false;
    }
    DocumentWork work;
    if (!doc.CurrentFile.isEmpty()) {
        document::SauveDeg(doc.CurrentFile, false, host.documentTexts());
    } else {
        SaveFileAs(host);
    }
    return true;
}

} // namespace app

#include "app/FileCommands.h"

#include "app/Utilities.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "platform/DialogFolders.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QCoreApplication>
#include <SQLiteCpp/Database.h>
#include <limits>

namespace app {

namespace {

const QString kOpenFilter = QStringLiteral("Distribution (*.deg)|*.deg");
const QString kSaveFilter = QStringLiteral("Distribution files (*.deg)|*.deg");

constexpr int kStringCannotSave = 511;

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

// The writer writes the whole table, whatever the grid shows, and nothing when it is empty.
bool NothingToWrite() {
    document::DataControl& data = document::Data1();
    if (!data.bound()) {
        return true;
    }
    return data.recordset().recordCount() == 0 &&
           data.recordset().database().execAndGet("SELECT COUNT(*) FROM DOVAZOV").getInt() == 0;
}

// The save that the save question and the automatic save ask for: over the document's file
// without a backup, or through Save As. True only when the file was written. The writer reports
// its own failures, and a cancelled dialog needs no word; a document without records is the one
// case the writer passes over in silence, so it is told here.
bool SaveOverOrAs(FileHost& host) {
    if (NothingToWrite()) {
        platform::MsgBox(platform::ResText(kStringCannotSave), platform::Buttons::Ok,
                         platform::Icon::Exclamation);
        return false;
    }
    const QString current = document::Document().CurrentFile;
    if (current.isEmpty()) {
        return SaveFileAs(host);
    }
    return document::SauveDeg(current, false, host.documentTexts());
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
    // The caller throws the document away next: unless it was written, it must stop.
    if (answer == platform::Answer::Yes && !SaveOverOrAs(host)) {
        return 1;
    }
    return 0;
}

void OpenFile(FileHost& host) {
    DocumentWork work;
    if (CheckSauvegarde(host) == 1) {
        return;
    }
    // Until a file was opened, the user's documents rather than the program's folder.
    platform::FileDialogRequest request;
    request.filter = kOpenFilter;
    request.folder = platform::GetSetting(QStringLiteral("DOVAZOV"), QStringLiteral("Paths"),
                                          QStringLiteral("LastDeg"), platform::DocumentsFolder());
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

bool SaveFileAs(FileHost& host) {
    DocumentWork work;
    platform::FileDialogRequest request;
    request.filter = kSaveFilter;
    request.fileName = document::Document().CurrentFile;
    const QString chosen = platform::CurrentPrompter().saveFile(request);
    if (chosen.isEmpty()) {
        return false;
    }
    if (!document::SaveDocumentAs(chosen, host.documentTexts())) {
        return false;
    }
    host.setCaption(CaptionFor(document::Document().CurrentFile));
    return true;
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
        platform::FlushSettings();
    } catch (const std::exception& error) {
        // The settings are lost for this run; the program still ends.
        qWarning("Settings not written: %s", error.what());
    } catch (...) {
        qWarning("Settings not written");
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
    // A save that fails is told once per attempt (the count has started again) and leaves the
    // document marked as changed for the next one.
    DocumentWork work;
    SaveOverOrAs(host);
    return true;
}

} // namespace app

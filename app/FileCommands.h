#pragma once

#include "app/MainSettings.h"
#include "document/DistributionReader.h"
#include "document/DistributionWriter.h"
#include "document/NewDocument.h"

#include <QString>
#include <array>
#include <cstdint>

namespace app {

// What the file commands need of the main window; Form1 provides it, tests a stand-in.
class FileHost {
public:
    virtual ~FileHost() = default;
    // The texts of the title and comment boxes, which the file's header carries.
    virtual document::DocumentTexts documentTexts() const = 0;
    // The reader's and New's window hooks (the recent files included).
    virtual document::ReaderHooks readerHooks() = 0;
    virtual document::NewDocumentHooks newDocumentHooks() = 0;
    virtual void setCaption(const QString& caption) = 0;
    // Enables the document menus.
    virtual void activeMenus() = 0;
    virtual void focusGrid() = 0;
    // Hides the label that tells a selection is in force.
    virtual void hideSelectionLabel() = 0;
    // The main window's geometry and grid, for the settings written at the quit.
    virtual MainWindowSettings windowSettings() const = 0;
};

// The window caption of a document: "DOVazov" without a file, else "DOVazov - " and the path.
QString CaptionFor(const QString& currentFile);

// Holds while a file command reads or writes the document or shows one of its dialogs; the
// automatic save waits while any is under way.
class DocumentWork {
public:
    DocumentWork();
    ~DocumentWork();
    DocumentWork(const DocumentWork&) = delete;
    DocumentWork& operator=(const DocumentWork&) = delete;
};
bool DocumentWorkUnderWay();

// The save question: when the document changed, asks whether to save it (Yes, No, Cancel).
// Yes writes it over its file without a backup, or through Save As when it has none. Returns 1
// when the caller must stop and keep the document: on Cancel, and after Yes when nothing was
// written (the write failed, the Save As dialog was cancelled, or the document has no records,
// which is told with string 511). Returns 0 after No, after a written save and when the document
// had not changed.
int CheckSauvegarde(FileHost& host);

// File > Open: the save question, the open dialog in the last folder of Open, then the read.
// A file that cannot be read leaves the document, CurrentFile and the caption as they were.
void OpenFile(FileHost& host);
// File > Merge: appends the records of a chosen file; no save question, CurrentFile kept.
void MergeFile(FileHost& host);
// File > Save: Save As for a document without a file, else the backup and the write.
void SaveFile(FileHost& host);
// File > Save As: the save dialog, then the write; the chosen name becomes CurrentFile. Returns
// true when the file was written, false when the dialog was cancelled or the write failed.
bool SaveFileAs(FileHost& host);
// File > New, through CreationNouveau asking for the number of lines.
void NewFile(FileHost& host);
// A recent-file item: the save question, then the file of recent entry `entry` (0 to 3) is
// read as Open reads it. An empty entry does nothing.
void OpenRecentFile(FileHost& host, int entry);
// File > Quit: the save question; when it says stop returns false and the program keeps running
// with the document. Otherwise puts the settings in the store, writes the store's changed files
// once (platform::FlushSettings) and returns true: the caller ends the program. A failure while
// writing the settings never keeps the program from ending.
bool QuitProgram(FileHost& host);

// Puts `fileName` at the head of the recent files: an entry equal to it without regard to case
// moves to the head keeping its own spelling; otherwise the list shifts down and the last entry
// drops out.
void MajLastFiles(std::array<QString, 4>& lastFiles, const QString& fileName);

// The automatic save, one tick of the main window's timer (65.535 s) at a time. With AutoSave on,
// each tick counts; once the count reaches the interval (SaveInterval, below 1 counting as 5) a
// changed document is saved over its file without a backup, or through Save As when it has none,
// and the count starts again, whether or not the save succeeded: a failing save is told once per
// interval, never at every tick. It never starts while a file command is under way or a dialog is
// open; it then saves at the first tick after. AutoSave off freezes the count.
class AutoSaveTimer {
public:
    static constexpr int kIntervalMs = 65535;
    // Returns true when this tick saved or tried to save.
    bool Timer1_Timer(FileHost& host);
    std::int16_t counter() const { return counter_; }

private:
    std::int16_t counter_ = 0;
};

} // namespace app

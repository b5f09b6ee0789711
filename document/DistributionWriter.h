#pragma once

#include <QString>

namespace document {

// The texts of the main window's title and comment boxes, which the file's header carries.
struct DocumentTexts {
    QString BoxTitre;
    QString Commentaire;
};

// Writes the open document to the distribution file `fileName` in the current layout: the
// header, then one line per record (the plain save), or, with `group`, one line per run of
// records that share period, latitude and longitude after Data1 has been put in that order (its
// counts summed, its comments joined by the Separator setting and cut to 255 characters). The
// whole document is written whatever selection or sort the grid shows: the records of Data1's
// record set in its order, then every other row of the table in Counter order.
//
// The file is replaced through platform::FileReplacement, so a write that stops (an error, a
// full disk, the program killed) leaves the previous file whole under its name. A record field
// that cannot be written asks "Continuer?": Yes skips that step (the field keeps its columns,
// blank-filled) and leaves FileModified set; No ends the write with nothing written. A file that
// cannot be created or written ends the write after one message, "Erreur pendant la sauvegarde",
// a CR and the system's reason with the path. An empty table writes nothing. A complete write
// clears FileModified, except a grouped save into another file than CurrentFile, which leaves it
// as it was. Beeps at the end unless Silence. Returns true when the file was written.
bool SauveDeg(const QString& fileName, bool group, const DocumentTexts& texts);

// The backup name File > Save uses: the folder, the file name up to and including its first ".",
// then "BAK" ("bees.old.deg" gives "bees.BAK"); a name without a dot gets ".BAK" appended, and a
// name that would be the document itself gets ".BAK" appended too.
QString BackupName(const QString& path);

// File > Save of a document with a file: the document is written under the file's name and, once
// the new file is complete, the previous version is kept under the backup name (replacing an
// older backup). A backup that cannot be made is reported like any failed write and the file is
// left as it was; only a folder that refuses new files, where the file is written in place, saves
// without one when none can be made there. Returns true when the file was written.
bool SaveWithBackup(const QString& currentFile, const DocumentTexts& texts);

// File > Save As after its dialog: writes the document to `chosen` and makes it the document's
// CurrentFile. An empty name does nothing. Returns true when the file was written.
bool SaveDocumentAs(const QString& chosen, const DocumentTexts& texts);

// File > Group and save after its dialog: an existing file is replaced only when the user says so
// (string 500, No preselected); then the grouped save. An empty name does nothing. Returns true
// when the file was written.
bool GroupAndSave(const QString& chosen, const DocumentTexts& texts);

} // namespace document

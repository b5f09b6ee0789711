#pragma once

#include <QString>

namespace document {

// The texts of the main window's title and comment boxes, which the file's header carries.
struct DocumentTexts {
    QString BoxTitre;
    QString Commentaire;
};

// Writes the open document to the distribution file `fileName` in the current layout: the
// header, then one line per record of Data1's record set in its order (the plain save), or, with
// `group`, one line per run of records that share period, latitude and longitude after Data1 has
// been put in that order (its counts summed, its comments joined by the Separator setting and cut
// to 255 characters).
//
// The lines go to a temporary file in the same folder, renamed over `fileName` once complete, so
// a write that stops never leaves a half-written file in its place. A record field that cannot be
// written asks "Continuer?": Yes skips that step (the field keeps its columns, blank-filled) and
// leaves FileModified set; No ends the write with nothing written. A file that cannot be created
// or written ends the write after one message. An empty table writes nothing. A complete write
// clears FileModified, except a grouped save into another file than CurrentFile, which leaves it
// as it was. Beeps at the end unless Silence. Returns true when the file was written.
bool SauveDeg(const QString& fileName, bool group, const DocumentTexts& texts);

// The backup name File > Save uses: the folder, the file name up to and including its first ".",
// then "BAK" ("bees.old.deg" gives "bees.BAK"); a name without a dot gets ".BAK" appended, and a
// name that would be the document itself gets ".BAK" appended too.
QString BackupName(const QString& path);

// File > Save of a document with a file: the file is renamed to its backup name (an older backup
// deleted first), then the document is written under the file's name. A backup that cannot be
// made is reported and nothing is written. Returns true when the file was written.
bool SaveWithBackup(const QString& currentFile, const DocumentTexts& texts);

// File > Save As after its dialog: writes the document to `chosen` and makes it the document's
// CurrentFile. An empty name does nothing. Returns true when the file was written.
bool SaveDocumentAs(const QString& chosen, const DocumentTexts& texts);

// File > Group and save after its dialog: an existing file is replaced only when the user says so
// (string 500, No preselected); then the grouped save. An empty name does nothing. Returns true
// when the file was written.
bool GroupAndSave(const QString& chosen, const DocumentTexts& texts);

} // namespace document

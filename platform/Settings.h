#pragma once

#include <QString>

namespace platform {

// The per-user settings store, by application, section and key, kept as one INI file per
// application in the settings folder. Application, section and key names ignore case, so
// "DOVAZOV", "DOVazov" and "DOVAzov" are one application.
//
// Each application's file is read once, at its first use, and held in memory: reads and changes
// work on that copy, and FlushSettings writes the changed files back. A file larger than
// kMaxIniFileBytes, and a value or name longer than kMaxIniValueLength (IniCodec.h), are ignored:
// the reader's default stands in for them.
QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue = {});
// A value longer than kMaxIniValueLength is not kept: the key then reads as absent, as it would
// from the file.
void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);
// Deletes one key, or the whole section when `key` is empty.
void DeleteSetting(const QString& application, const QString& section, const QString& key = {});

// Writes each application file changed since it was read or last written, once, through
// ReplaceFile (the settings folder is created when missing); unchanged files are not touched.
// Throws FileWriteError for the first file that could not be written, after trying the others;
// the files not written stay pending.
void FlushSettings();

// The folder of the INI files: the user's configuration folder unless a test set another.
QString SettingsFolder();
// Points the store at another folder. The copies held in memory are dropped, written or not:
// only tests and benchmarks switch folders, and each then starts from the files of its own folder
// (a temporary folder that may already be gone by the time the switch back happens).
void SetSettingsFolder(const QString& folder);

} // namespace platform

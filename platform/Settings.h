#pragma once

#include <QString>

namespace platform {

// The per-user settings store, by application, section and key, kept as one INI file per
// application in the settings folder. Application, section and key names ignore case, so
// "DOVAZOV", "DOVazov" and "DOVAzov" are one application.
QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue = {});
void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);
// Deletes one key, or the whole section when `key` is empty.
void DeleteSetting(const QString& application, const QString& section, const QString& key = {});

// The folder of the INI files: the user's configuration folder unless a test set another.
QString SettingsFolder();
void SetSettingsFolder(const QString& folder);

} // namespace platform

#include "platform/Settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <memory>

namespace platform {

namespace {

QString& FolderOverride() {
    static QString folder;
    return folder;
}

// QSettings treats "/" and "\" as group separators; the old store allowed neither in names.
QString Sanitised(QString name) {
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return name;
}

std::unique_ptr<QSettings> Open(const QString& application) {
    const QString path =
        SettingsFolder() + QLatin1Char('/') + Sanitised(application.toUpper()) + ".ini";
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

// The stored spelling of `name` among `existing`, compared without case; `name` itself if absent.
QString Stored(const QStringList& existing, const QString& name) {
    for (const QString& candidate : existing) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0) {
            return candidate;
        }
    }
    return name;
}

QString StoredSection(QSettings& settings, const QString& section) {
    return Stored(settings.childGroups(), Sanitised(section));
}

QString StoredKey(QSettings& settings, const QString& key) {
    return Stored(settings.childKeys(), Sanitised(key));
}

} // namespace

QString SettingsFolder() {
    if (!FolderOverride().isEmpty()) {
        return FolderOverride();
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/dovazov");
}

void SetSettingsFolder(const QString& folder) {
    FolderOverride() = folder;
}

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue) {
    const auto settings = Open(application);
    settings->beginGroup(StoredSection(*settings, section));
    const QString stored = StoredKey(*settings, key);
    if (!settings->contains(stored)) {
        return defaultValue;
    }
    return settings->value(stored).toString();
}

void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value) {
    QDir().mkpath(SettingsFolder());
    const auto settings = Open(application);
    settings->beginGroup(StoredSection(*settings, section));
    settings->setValue(StoredKey(*settings, key), value);
    settings->endGroup();
    settings->sync();
}

void DeleteSetting(const QString& application, const QString& section, const QString& key) {
    const auto settings = Open(application);
    const QString storedSection = StoredSection(*settings, section);
    if (key.isEmpty()) {
        settings->remove(storedSection);
    } else {
        settings->beginGroup(storedSection);
        settings->remove(StoredKey(*settings, key));
        settings->endGroup();
    }
    settings->sync();
}

} // namespace platform

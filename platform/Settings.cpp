#include "platform/Settings.h"

#include "platform/FileReplacement.h"
#include "platform/IniCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <map>
#include <mutex>
#include <optional>

namespace platform {

namespace {

// One application's file as held in memory.
struct HeldFile {
    IniDocument document;
    bool changed = false;
};

struct Store {
    std::mutex mutex;
    QString folderOverride;
    std::map<QString, HeldFile> files; // by path
};

Store& TheStore() {
    static Store store;
    return store;
}

// The old store allowed neither "/" nor "\" in names; QSettings reads both as group separators.
QString Sanitised(QString name) {
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return name;
}

QString FolderOf(const Store& store) {
    if (!store.folderOverride.isEmpty()) {
        return store.folderOverride;
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/dovazov");
}

QString PathOf(const Store& store, const QString& application) {
    return FolderOf(store) + QLatin1Char('/') + Sanitised(application.toUpper()) +
           QStringLiteral(".ini");
}

// The file's settings; nothing for a missing, unreadable, oversized or special file (a pipe or a
// device would block or never end).
IniDocument ReadFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxIniFileBytes) {
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // One byte more than allowed tells a file that grew since it was measured.
    const QByteArray bytes = file.read(kMaxIniFileBytes + 1);
    return ParseIni(bytes);
}

HeldFile& Held(Store& store, const QString& application) {
    const QString path = PathOf(store, application);
    auto found = store.files.find(path);
    if (found == store.files.end()) {
        found = store.files.emplace(path, HeldFile{ReadFile(path), false}).first;
    }
    return found->second;
}

} // namespace

QString SettingsFolder() {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    return FolderOf(store);
}

void SetSettingsFolder(const QString& folder) {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    store.folderOverride = folder;
    store.files.clear();
}

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue) {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    const QString* value =
        Held(store, application).document.value(Sanitised(section), Sanitised(key));
    return value != nullptr ? *value : defaultValue;
}

void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value) {
    if (key.isEmpty()) {
        return;
    }
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    HeldFile& file = Held(store, application);
    if (value.size() > kMaxIniValueLength) {
        file.changed = file.document.remove(Sanitised(section), Sanitised(key)) || file.changed;
        return;
    }
    const QString* old = file.document.value(Sanitised(section), Sanitised(key));
    if (old != nullptr && *old == value) {
        return;
    }
    file.document.set(Sanitised(section), Sanitised(key), value);
    file.changed = true;
}

void DeleteSetting(const QString& application, const QString& section, const QString& key) {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    HeldFile& file = Held(store, application);
    const bool removed = key.isEmpty() ? file.document.removeSection(Sanitised(section))
                                       : file.document.remove(Sanitised(section), Sanitised(key));
    file.changed = removed || file.changed;
}

void FlushSettings() {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    std::optional<FileWriteError> firstFailure;
    for (auto& [path, file] : store.files) {
        if (!file.changed) {
            continue;
        }
        try {
            const QString folder = QFileInfo(path).absolutePath();
            if (!QDir().mkpath(folder)) {
                throw FileWriteError(QStringLiteral("Cannot create the settings folder"), folder);
            }
            ReplaceFile(path, WriteIni(file.document));
            file.changed = false;
        } catch (const FileWriteError& failure) {
            if (!firstFailure) {
                firstFailure = failure;
            }
        }
    }
    if (firstFailure) {
        throw *firstFailure;
    }
}

} // namespace platform

#include "app/Utilities.h"

#include "app/DesktopOpener.h"
#include "common/AppError.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <limits>

namespace app {

namespace {

const QChar kNul(QChar::Null);

// Names in the table of mounts write a blank, tab, line feed or backslash as "\" and three octal
// digits.
QString DecodeMountField(const QString& field) {
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == QLatin1Char('\\') && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code >= 0 && code < 256) {
                out += QChar(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

QString WithFinalSlash(QString path) {
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    return path;
}

QString DeviceName(const QString& device) {
    QString resolved = device;
    if (device.startsWith(QLatin1String("/dev/"))) {
        const QString canonical = QFileInfo(device).canonicalFilePath();
        if (!canonical.isEmpty()) {
            resolved = canonical;
        }
        return resolved.mid(resolved.lastIndexOf(QLatin1Char('/')) + 1);
    }
    return {};
}

bool IsRemoteFileSystem(const QString& fsType) {
    static const QStringList kinds{
        QStringLiteral("nfs"),   QStringLiteral("cifs"),      QStringLiteral("smb"),
        QStringLiteral("sshfs"), QStringLiteral("davfs"),     QStringLiteral("afs"),
        QStringLiteral("ceph"),  QStringLiteral("glusterfs"), QStringLiteral("9p")};
    for (const QString& kind : kinds) {
        if (fsType.contains(kind)) {
            return true;
        }
    }
    return false;
}

QString SystemMountsText() {
    QFile file(QStringLiteral("/proc/self/mounts"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    return QString::fromLocal8Bit(file.readAll());
}

// The last mount at `root` (a later mount at the same place hides the earlier ones).
std::optional<MountEntry> MountAt(const std::vector<MountEntry>& mounts, const QString& root) {
    const QString wanted = WithFinalSlash(QDir::cleanPath(root));
    std::optional<MountEntry> found;
    for (const MountEntry& mount : mounts) {
        if (mount.root == wanted) {
            found = mount;
        }
    }
    return found;
}

} // namespace

std::vector<MountEntry> ParseMounts(const QString& text) {
    std::vector<MountEntry> mounts;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() < 3) {
            continue;
        }
        mounts.push_back(MountEntry{DecodeMountField(fields[0]),
                                    WithFinalSlash(DecodeMountField(fields[1])),
                                    DecodeMountField(fields[2])});
    }
    return mounts;
}

RemovableLookup SystemRemovableLookup() {
    return [](const QString& deviceName) -> std::optional<bool> {
        if (deviceName.isEmpty()) {
            return std::nullopt;
        }
        const QFileInfo entry(QStringLiteral("/sys/class/block/") + deviceName);
        if (!entry.exists()) {
            return std::nullopt;
        }
        QString folder = entry.canonicalFilePath();
        // A partition carries no removable flag of its own: its disk is the parent folder.
        if (QFileInfo::exists(folder + QStringLiteral("/partition"))) {
            folder = QFileInfo(folder).absolutePath();
        }
        QFile flag(folder + QStringLiteral("/removable"));
        if (!flag.open(QIODevice::ReadOnly)) {
            return std::nullopt;
        }
        return flag.readAll().trimmed() == "1";
    };
}

DriveType ClassifyMount(const MountEntry& mount, const RemovableLookup& removable) {
    const QString name = DeviceName(mount.device);
    if (mount.fsType == QLatin1String("iso9660") || mount.fsType == QLatin1String("udf") ||
        name.startsWith(QLatin1String("sr")) || name.startsWith(QLatin1String("scd"))) {
        return DriveType::CdRom;
    }
    if (IsRemoteFileSystem(mount.fsType)) {
        return DriveType::Remote;
    }
    if (mount.fsType == QLatin1String("tmpfs") || mount.fsType == QLatin1String("ramfs")) {
        return DriveType::RamDisk;
    }
    if (name.isEmpty()) {
        return DriveType::Unknown;
    }
    if (name.startsWith(QLatin1String("fd"))) {
        return DriveType::Removable;
    }
    const std::optional<bool> isRemovable = removable ? removable(name) : std::nullopt;
    if (!isRemovable) {
        return DriveType::Unknown;
    }
    return *isRemovable ? DriveType::Removable : DriveType::Fixed;
}

QString DriveTypeName(DriveType type, const MountEntry& mount) {
    switch (type) {
    case DriveType::Unknown:
        return QStringLiteral("The drive type cannot be determined");
    case DriveType::NoRootDir:
        return QStringLiteral("The root directory does not exist");
    case DriveType::Removable:
        return DeviceName(mount.device).startsWith(QLatin1String("fd"))
                   ? QStringLiteral("Floppy drive")
                   : QStringLiteral("Removable drive");
    case DriveType::Fixed:
        return QStringLiteral("Hard drive; can not be removed");
    case DriveType::Remote:
        return QStringLiteral("Remote (network) drive");
    case DriveType::CdRom:
        return QStringLiteral("CD");
    case DriveType::RamDisk:
        return QStringLiteral("RAM disk");
    }
    return {};
}

QString LogicalDriveList() {
    const std::vector<MountEntry> mounts = ParseMounts(SystemMountsText());
    if (mounts.empty()) {
        return {};
    }
    QString list;
    for (const MountEntry& mount : mounts) {
        list += mount.root;
        list += kNul;
    }
    list += kNul;
    return list;
}

QString PopDriveItem(QString& list) {
    const qsizetype nul = list.indexOf(kNul);
    if (nul < 0) {
        return {};
    }
    const QString item = list.left(nul);
    list = list.mid(nul + 1);
    return item;
}

QString DriveTypeText(const QString& root) {
    const std::optional<MountEntry> mount = MountAt(ParseMounts(SystemMountsText()), root);
    if (!mount) {
        return DriveTypeName(DriveType::NoRootDir, MountEntry{});
    }
    return DriveTypeName(ClassifyMount(*mount, SystemRemovableLookup()), *mount);
}

QString FindCdDriveAmong(const std::vector<MountEntry>& mounts, const RemovableLookup& removable) {
    for (const MountEntry& mount : mounts) {
        const DriveType type = ClassifyMount(mount, removable);
        if (type == DriveType::CdRom || type == DriveType::Removable) {
            return mount.root;
        }
    }
    return kNoCdDrive;
}

QString FindCdDrive() {
    return FindCdDriveAmong(ParseMounts(SystemMountsText()), SystemRemovableLookup());
}

bool DriveReady(const QString& path) {
    const QFileInfo target(path.isEmpty() ? QDir::currentPath() : path);
    const QString folder = target.isDir() ? target.absoluteFilePath() : target.absolutePath();
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable()) {
        return false;
    }
    const QStorageInfo volume(folder);
    return volume.isValid() && volume.isReady() && QDir(volume.rootPath()).isReadable();
}

QString FolderOfPath(const QString& path) {
    const qsizetype last =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return last < 0 ? QString() : path.left(last + 1);
}

QString ShellErrorText(int result) {
    switch (result) {
    case 2:
        return QStringLiteral("Fichier introuvable");
    case 3:
        return QStringLiteral("Chemin incorrect");
    case 5:
        return QStringLiteral("Accès refusé");
    case 8:
        return QStringLiteral("Mémoire saturée");
    case 11:
        return QStringLiteral("Invalid EXE file or error in EXE image");
    case 26:
        return QStringLiteral("Violation de partage");
    case 27:
        return QStringLiteral("Association de fichier incorrecte ou incomplète");
    case 28:
        return QStringLiteral("DDE Time out");
    case 29:
        return QStringLiteral("DDE transaction failed");
    case 30:
        return QStringLiteral("DDE busy");
    case 31:
        return QStringLiteral("Il n'y a pas d'association pour ce type de fichier");
    case 32:
        return QStringLiteral("DLL introuvable");
    default:
        return QStringLiteral("Erreur inconnue");
    }
}

QUrl TargetUrl(const QString& target) {
    // A scheme has two letters or more, so that a Windows drive ("C:") is not taken for one.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(target).hasMatch()) {
        return QUrl(target);
    }
    if (target.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) {
        return QUrl(QStringLiteral("http://") + target);
    }
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}

void OpenDocumentWith(const QString& target, const std::function<bool(const QUrl&)>& opener) {
    int failure = 0;
    const QUrl url = TargetUrl(target);
    if (target.isEmpty()) {
        failure = 2;
    } else if (url.isLocalFile()) {
        const QFileInfo file(url.toLocalFile());
        if (!QFileInfo(file.absolutePath()).isDir()) {
            failure = 3;
        } else if (!file.exists()) {
            failure = 2;
        } else if (!file.isReadable()) {
            failure = 5;
        }
    } else if (!url.isValid()) {
        failure = 2;
    }
    if (failure == 0 && !opener(url)) {
        failure = 31;
    }
    if (failure != 0) {
        ShowOpenFailure(failure, target);
    }
}

void ShowOpenFailure(int result, const QString& target) {
    platform::MsgBox(ShellErrorText(result) + QStringLiteral("\r\r") + target,
                     platform::Buttons::Ok, platform::Icon::Exclamation);
}

void OpenDocument(const QString& target) {
    // An opener that starts but finds no program for the target fails as no association.
    OpenDocumentWith(target, [target](const QUrl& url) {
        return OpenWithDesktop(url, [target] { ShowOpenFailure(31, target); });
    });
}

std::int16_t CountChar(const QString& text, const QString& character) {
    if (text.size() > std::numeric_limits<std::int16_t>::max()) {
        throw common::AppError(common::kOverflow);
    }
    if (character.size() != 1) {
        return 0;
    }
    return static_cast<std::int16_t>(text.count(character[0], Qt::CaseSensitive));
}

float Log10Single(float x) {
    if (!(x > 0.0F)) {
        throw common::AppError(common::kInvalidCall);
    }
    return static_cast<float>(std::log(static_cast<double>(x)) / std::log(10.0));
}

} // namespace app

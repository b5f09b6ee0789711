#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QUrl;

namespace app {

// General utilities: drives, the folder part of a path, opening a document with the desktop's
// program, counting a character, a single-precision logarithm. None of them changes the current
// folder.
//
// A "drive" here is a mounted volume: its root is its mount point followed by "/". The drive list
// comes from the system's table of mounts, in its order, with no limit on the number of drives.

// The kind of a drive, numbered as the old drive-type codes.
enum class DriveType : int {
    Unknown = 0,   // the type cannot be determined (pseudo file systems)
    NoRootDir = 1, // no such mount point
    Removable = 2, // removable medium (USB stick, card, floppy)
    Fixed = 3,     // a disk that cannot be removed
    Remote = 4,    // network file system
    CdRom = 5,     // optical drive or disc image
    RamDisk = 6,   // memory file system
};

// One line of the table of mounts.
struct MountEntry {
    QString device; // "/dev/sr0"
    QString root;   // mount point with a final "/": "/media/cdrom/"
    QString fsType; // "iso9660"
};

// The entries of a table of mounts in the format of /proc/mounts (octal escapes such as "\040"
// in names are decoded); lines that do not have three fields are skipped.
std::vector<MountEntry> ParseMounts(const QString& text);

// Whether the block device of a mount is removable: the device's name without "/dev/" in, the
// answer out; nothing when it cannot be told (no such device).
using RemovableLookup = std::function<std::optional<bool>(const QString& deviceName)>;
// The lookup of the running system, from /sys/class/block (a partition asks its disk).
RemovableLookup SystemRemovableLookup();

// The kind of a mounted volume.
DriveType ClassifyMount(const MountEntry& mount, const RemovableLookup& removable);

// The text of a drive kind; a removable drive whose root names a floppy device reads
// "Floppy drive".
QString DriveTypeName(DriveType type, const MountEntry& mount);

// The drives of the running system: the roots, each followed by a NUL character, with one more
// NUL at the end; "" when the table of mounts cannot be read.
QString LogicalDriveList();
// The first item of a NUL-separated list, removed from the list; "" (list unchanged) when the
// list holds no NUL.
QString PopDriveItem(QString& list);
// The kind of drive mounted at `root` on the running system, as text ("CD" for an optical drive).
QString DriveTypeText(const QString& root);

// The root of the first optical drive or removable medium among `mounts`, in their order;
// kNoCdDrive when there is none.
QString FindCdDriveAmong(const std::vector<MountEntry>& mounts, const RemovableLookup& removable);
// The same on the running system: the default place of the gazetteer database.
QString FindCdDrive();
// What FindCdDrive gives when no drive fits: the usual mount point of a disc.
inline const QString kNoCdDrive = QStringLiteral("/media/cdrom/");

// Whether the volume holding `path` can be read: the path, or its nearest existing parent folder,
// lies on a mounted volume that is ready and whose root can be listed. An empty path tests the
// current folder. The current folder stays as it is.
bool DriveReady(const QString& path);

// The folder part of a path with its final separator ("/" or "\"); "" when there is none.
QString FolderOfPath(const QString& path);

// Opens a file or an address with the desktop's default program. A failure shows a message with
// the exclamation icon: the failure's text, an empty line and the target.
void OpenDocument(const QString& target);
// The same with another opener (tests): it gets the URL and says whether it opened it.
void OpenDocumentWith(const QString& target, const std::function<bool(const QUrl&)>& opener);
// The message of a failure to open `target`: the text of the shell result code, an empty line
// and the target, with the exclamation icon.
void ShowOpenFailure(int result, const QString& target);
// The failure text of a shell result code (2 file not found, 3 path not found, 5 access denied,
// 31 no association, ...); "Erreur inconnue" for any other code.
QString ShellErrorText(int result);
// The URL of a target: an address with a scheme as it is, anything else as a local file.
QUrl TargetUrl(const QString& target);

// How many times `character` occurs in `text` (exact comparison); 0 for a `character` that is not
// one character long. The overflow error 6 for a text longer than 32,767 characters.
std::int16_t CountChar(const QString& text, const QString& character);

// Base-10 logarithm computed in double precision, returned in single precision. The invalid-call
// error 5 for x <= 0.
float Log10Single(float x);

} // namespace app

#include "platform/FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <signal.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

constexpr qsizetype kBufferSize = 1 << 16;
// The kernel's own limit on a chain of symbolic links.
constexpr int kMaxLinks = 40;
// Keeps a temporary name within the file system's name length whatever the target's.
constexpr qsizetype kNameInTemp = 60;
// A temporary file whose writer is gone may still be another machine's on a shared folder: it is
// left alone while it was written recently. One untouched for an hour belongs to nobody.
constexpr std::time_t kDeadWriterGrace = 2 * 60;
constexpr std::time_t kAbandoned = 60 * 60;

QString Reason(int code) {
    return QString::fromStdString(std::system_category().message(code));
}

[[noreturn]] void Fail(int code, const QString& path) {
    throw FileWriteError(Reason(code), path, code);
}

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QString Absolute(const QString& path) {
    return path.startsWith(QLatin1Char('/')) ? path : QDir::currentPath() + QLatin1Char('/') + path;
}

// Both taken from an absolute path by hand: QDir would clean "..", which the kernel resolves
// through links and not textually.
QString FolderOf(const QString& absolute) {
    const QString folder = absolute.left(absolute.lastIndexOf(QLatin1Char('/')));
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}

QString NameOf(const QString& absolute) {
    return absolute.mid(absolute.lastIndexOf(QLatin1Char('/')) + 1);
}

// ".<name>.<pid>.<8 hex digits>.dvz-tmp" beside `absolute`: hidden, recognisably ours, and naming
// its writer so that a later run can tell whether it was abandoned.
QString TemporaryName(const QString& absolute) {
    const QString folder = FolderOf(absolute);
    return (folder == QLatin1String("/") ? QString() : folder) +
           QStringLiteral("/.%1.%2.%3.dvz-tmp")
               .arg(NameOf(absolute).left(kNameInTemp))
               .arg(::getpid())
               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
    }
    // Closes and returns the error, which some file systems report only here; 0 when none.
    int close() {
        const int fd = std::exchange(fd_, -1);
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

private:
    int fd_ = -1;
};

void WriteAll(int fd, const char* data, qsizetype size, const QString& path) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<std::size_t>(size));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno, path);
        }
        data += written;
        size -= written;
    }
}

// Hands the whole content of `fd`, read from its start, to `sink` a chunk at a time; returns the
// number of bytes read.
template <typename Sink> qint64 ReadAll(int fd, const QString& path, Sink&& sink) {
    QByteArray chunk(kBufferSize, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const ssize_t got =
            ::pread(fd, chunk.data(), static_cast<std::size_t>(chunk.size()), total);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno, path);
        }
        if (got == 0) {
            return total;
        }
        sink(QByteArrayView(chunk.constData(), got));
        total += got;
    }
}

void Sync(int fd, const QString& path) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            Fail(errno, path);
        }
    }
}

// Makes a rename in `folder` durable. The rename is done by then: a folder that cannot be synced
// (some network file systems refuse) still holds the new file, so a failure is not reported.
void SyncFolder(const QString& folder) {
    const Descriptor dir(::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) {
        ::fsync(dir.get());
    }
}

// Follows a chain of symbolic links to the file it ends at, which need not exist yet.
QString ResolveLinks(const QString& target) {
    QString path = Absolute(target);
    for (int hops = 0;; ++hops) {
        const QByteArray native = Native(path);
        struct stat status {};
        if (::lstat(native.constData(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return path;
        }
        if (hops == kMaxLinks) {
            Fail(ELOOP, target);
        }
        QByteArray next(static_cast<qsizetype>(status.st_size) + 256, Qt::Uninitialized);
        const ssize_t length =
            ::readlink(native.constData(), next.data(), static_cast<std::size_t>(next.size()));
        if (length < 0) {
            Fail(errno, path);
        }
        next.truncate(length);
        const QString destination = QFile::decodeName(next);
        path = destination.startsWith(QLatin1Char('/'))
                   ? destination
                   : FolderOf(path) + QLatin1Char('/') + destination;
    }
}

bool WriterGone(const QString& pidText) {
    bool ok = false;
    const long pid = pidText.toLong(&ok);
    if (!ok || pid <= 0 || pid > 0x7fffffffL) {
        return true;
    }
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Removes the temporary files of ours that interrupted saves left in `folder`: only regular files
// of this user whose name has our pattern, and only once abandoned.
void RemoveAbandonedTemporaries(const QString& folder) {
    static const QRegularExpression ours(
        QStringLiteral("^\\..*\\.(\\d+)\\.[0-9a-f]{8}\\.dvz-tmp$"));
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral("*.dvz-tmp")}, QDir::Files | QDir::Hidden | QDir::System);
    const std::time_t now = std::time(nullptr);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = ours.match(name);
        if (!match.hasMatch()) {
            continue;
        }
        const QByteArray path = Native(dir.filePath(name));
        struct stat status {};
        if (::lstat(path.constData(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != ::geteuid()) {
            continue;
        }
        const std::time_t age = now - status.st_mtime;
        if ((age >= kDeadWriterGrace && WriterGone(match.captured(1))) || age >= kAbandoned) {
            ::unlink(path.constData());
        }
    }
}

// An unnamed file in the system's temporary folder, for bytes that cannot wait beside the target.
Descriptor OpenSpill(QString& name) {
    for (int attempt = 0;; ++attempt) {
        name = QDir::tempPath() +
               QStringLiteral("/.dvz-spill.%1.%2")
                   .arg(::getpid())
                   .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        Descriptor spill(
            ::open(Native(name).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (spill) {
            ::unlink(Native(name).constData());
            return spill;
        }
        if (errno != EEXIST || attempt == 16) {
            Fail(errno, name);
        }
    }
}

bool FolderRefuses(int code) {
    return code == EACCES || code == EPERM || code == EROFS;
}

} // namespace

FileWriteError::FileWriteError(const QString& reason, const QString& path, int code)
    : std::runtime_error((reason + QStringLiteral(": ") + path).toStdString()), reason_(reason),
      path_(path), code_(code) {}

QString FileWriteError::text() const {
    return reason_ + QStringLiteral(": ") + path_;
}

class FileReplacement::Impl {
public:
    Impl(const QString& target, const QString& backup) : target_(target), backup_(backup) {
        const QByteArray native = Native(target_);
        struct stat status {};
        if (::stat(native.constData(), &status) == 0) {
            if (S_ISDIR(status.st_mode)) {
                Fail(EISDIR, target_);
            }
            if (!S_ISREG(status.st_mode)) {
                throw FileWriteError(QStringLiteral("Not a regular file"), target_);
            }
            // A read-only file stays so, although its folder would let it be replaced.
            if (::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0) {
                Fail(errno, target_);
            }
            old_ = status;
        } else if (errno != ENOENT) {
            Fail(errno, target_);
        }
        RemoveAbandonedTemporaries(FolderOf(target_));
        openTemporary();
    }

    ~Impl() {
        file_.reset();
        if (!temporary_.isEmpty()) {
            ::unlink(Native(temporary_).constData());
        }
    }

    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    void write(QByteArrayView bytes) {
        if (buffer_.size() + bytes.size() > kBufferSize) {
            flush();
        }
        if (bytes.size() >= kBufferSize) {
            WriteAll(file_.get(), bytes.data(), bytes.size(), sinkName_);
        } else {
            buffer_.append(bytes);
        }
    }

    void commit() {
        if (committed_) {
            return;
        }
        flush();
        if (temporary_.isEmpty()) {
            commitInPlace();
        } else {
            commitReplacing();
        }
        committed_ = true;
    }

private:
    void openTemporary() {
        const mode_t mode = old_ ? (old_->st_mode & 07777) : 0666;
        for (int attempt = 0;; ++attempt) {
            const QString name = TemporaryName(target_);
            Descriptor file(
                ::open(Native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
            if (file) {
                temporary_ = name;
                file_ = std::move(file);
                break;
            }
            const int error = errno;
            if (error == EEXIST && attempt < 16) {
                continue;
            }
            if (FolderRefuses(error) && old_) {
                file_ = OpenSpill(sinkName_);
                return;
            }
            Fail(error, target_);
        }
        sinkName_ = target_;
        if (old_) {
            // The new file takes the old one's group and, for an administrator, its owner;
            // where that is refused it stays the writer's. The mode is set after, as a change of
            // owner clears its set-id bits.
            if (::fchown(file_.get(), old_->st_uid, old_->st_gid) != 0 &&
                ::fchown(file_.get(), static_cast<uid_t>(-1), old_->st_gid) != 0) {
                // kept as created
            }
            ::fchmod(file_.get(), mode);
        }
    }

    void flush() {
        if (!buffer_.isEmpty()) {
            WriteAll(file_.get(), buffer_.constData(), buffer_.size(), sinkName_);
            buffer_.clear();
        }
    }

    void commitReplacing() {
        Sync(file_.get(), target_);
        if (const int error = file_.close()) {
            Fail(error, target_);
        }
        bool movedAway = false;
        if (!backup_.isEmpty() && old_) {
            movedAway = keepBackup();
        }
        if (::rename(Native(temporary_).constData(), Native(target_).constData()) != 0) {
            const int error = errno;
            if (movedAway) {
                ::rename(Native(backup_).constData(), Native(target_).constData());
            }
            Fail(error, target_);
        }
        temporary_.clear();
        SyncFolder(FolderOf(target_));
    }

    // Keeps the previous version under the backup name, the new file being complete: a second
    // name for the old file, put over an older backup at once. Returns true when the old file had
    // to be renamed instead (a file system without hard links), the target name then free.
    bool keepBackup() {
        const QByteArray target = Native(target_);
        const QByteArray backup = Native(backup_);
        const QByteArray link = Native(TemporaryName(backup_));
        if (::link(target.constData(), link.constData()) == 0) {
            const int renamed = ::rename(link.constData(), backup.constData());
            const int error = errno;
            // Also when the backup already was a name of the same file, which rename leaves.
            ::unlink(link.constData());
            if (renamed != 0) {
                Fail(error, backup_);
            }
            return false;
        }
        const int error = errno;
        if (error == ENOENT) {
            return false; // the old file went away meanwhile: nothing to keep
        }
        if (error == EXDEV) {
            copyOldTo(backup_);
            return false;
        }
        if (error == EPERM || error == EMLINK || error == ENOTSUP || error == EOPNOTSUPP ||
            error == ENOSYS) {
            if (::rename(target.constData(), backup.constData()) != 0) {
                Fail(errno, backup_);
            }
            return true;
        }
        Fail(error, backup_);
    }

    void copyOldTo(const QString& backup) {
        FileReplacement copy(backup);
        const Descriptor old(::open(Native(target_).constData(), O_RDONLY | O_CLOEXEC));
        if (!old) {
            Fail(errno, target_);
        }
        ReadAll(old.get(), target_, [&](QByteArrayView bytes) { copy.write(bytes); });
        copy.commit();
    }

    void commitInPlace() {
        if (!backup_.isEmpty()) {
            try {
                copyOldTo(backup_);
            } catch (const FileWriteError& error) {
                // The folder that refused our new file refuses the backup too: the save itself
                // still goes ahead rather than leave the document unsavable.
                if (!FolderRefuses(error.code()) || error.path() != backup_) {
                    throw;
                }
            }
        }
        Descriptor out(::open(Native(target_).constData(), O_WRONLY | O_CLOEXEC));
        if (!out) {
            Fail(errno, target_);
        }
        // Overwritten first and cut after, so that a full disk is met as late as possible.
        const qint64 size = ReadAll(file_.get(), sinkName_, [&](QByteArrayView bytes) {
            WriteAll(out.get(), bytes.data(), bytes.size(), target_);
        });
        if (::ftruncate(out.get(), size) != 0) {
            Fail(errno, target_);
        }
        Sync(out.get(), target_);
        if (const int error = out.close()) {
            Fail(error, target_);
        }
        file_.reset();
    }

    QString target_;
    QString backup_;
    std::optional<struct stat> old_;
    // The temporary file beside the target; empty when the target is written in place.
    QString temporary_;
    Descriptor file_;
    QString sinkName_;
    QByteArray buffer_;
    bool committed_ = false;
};

FileReplacement::FileReplacement(const QString& target, const QString& backupPath)
    : resolved_(ResolveLinks(target)),
      impl_(std::make_unique<Impl>(resolved_,
                                   backupPath.isEmpty() ? QString() : Absolute(backupPath))) {}

FileReplacement::~FileReplacement() = default;

void FileReplacement::write(QByteArrayView bytes) {
    impl_->write(bytes);
}

void FileReplacement::commit() {
    impl_->commit();
}

void ReplaceFile(const QString& target, QByteArrayView bytes, const QString& backupPath) {
    FileReplacement file(target, backupPath);
    file.write(bytes);
    file.commit();
}

} // namespace platform

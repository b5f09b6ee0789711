#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

// A file that could not be written, with the system's own reason and the path it concerns.
class FileWriteError : public std::runtime_error {
public:
    // `code` is the errno value behind `reason`, 0 when the failure has none.
    FileWriteError(const QString& reason, const QString& path, int code = 0);
    const QString& reason() const { return reason_; }
    const QString& path() const { return path_; }
    int code() const { return code_; }
    // "<reason>: <path>", the text a message box shows.
    QString text() const;

private:
    QString reason_;
    QString path_;
    int code_;
};

// Replaces a file so that its own name always holds either the previous version or the new one,
// whole: every program file (documents, settings, help pages, exports, map files) is written
// through it.
//
// A symbolic link is followed: the file it points at is replaced and the link kept. The bytes go
// to a temporary file of our own beside the target; commit() flushes it to disk, keeps the
// previous version under `backupPath` when one is asked for (only once the new file is complete),
// and renames the new file over the target. A folder that refuses new files while the target itself
// is writable is written in place: the bytes wait in a spill file until commit(), which copies the
// previous version to `backupPath` first (skipped when that folder refuses the backup too) and then
// overwrites the target. A replacement that is not committed leaves the target untouched and
// removes its temporary file. Temporary files that an interrupted run of ours left beside the
// target (their writer gone, or untouched for an hour) are removed.
class FileReplacement {
public:
    // Throws FileWriteError when nothing can be written for `target`.
    explicit FileReplacement(const QString& target, const QString& backupPath = {});
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Buffered; throws FileWriteError on failure.
    void write(QByteArrayView bytes);
    // Puts the new file in place; throws FileWriteError on failure, the target then unchanged.
    void commit();

    // The file that is replaced: the target with its links resolved.
    const QString& resolvedTarget() const { return resolved_; }

private:
    class Impl;
    QString resolved_;
    std::unique_ptr<Impl> impl_;
};

// Writes `bytes` as the whole new content of `target` through a FileReplacement.
void ReplaceFile(const QString& target, QByteArrayView bytes, const QString& backupPath = {});

} // namespace platform

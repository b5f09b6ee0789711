#include "platform/FileReplacement.h"

#include "../support/FaultInjection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

namespace {

using platform::FileReplacement;
using platform::FileWriteError;
using platform::ReplaceFile;
using testing_support::AsUnprivileged;
using testing_support::TemporaryFiles;

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "<missing>";
    }
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

// The error a replacement of `target` ends with.
template <typename Call> std::optional<FileWriteError> ErrorOf(Call&& call) {
    try {
        call();
    } catch (const FileWriteError& error) {
        return error;
    }
    return std::nullopt;
}

struct stat StatusOf(const QString& path) {
    struct stat status {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

class FileReplacementTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

TEST_F(FileReplacementTest, ReplacesTheWholeFileKeepingItsModeAndCreatesANewOne) {
    const QString target = path("doc.deg");
    WriteBytes(target, QByteArray(5000, 'o'));
    ::chmod(QFile::encodeName(target).constData(), 0640);
    {
        FileReplacement file(target);
        file.write("new ");
        file.write(QByteArray(200000, 'n')); // more than one buffer
        file.write("end");
        EXPECT_EQ(ReadBytes(target), QByteArray(5000, 'o')); // nothing seen before the commit
        file.commit();
    }
    EXPECT_EQ(ReadBytes(target), "new " + QByteArray(200000, 'n') + "end");
    EXPECT_EQ(StatusOf(target).st_mode & 07777, 0640U);

    ReplaceFile(path("fresh.txt"), "first");
    EXPECT_EQ(ReadBytes(path("fresh.txt")), "first");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"doc.deg", "fresh.txt"}));
}

TEST_F(FileReplacementTest, AReplacementNotCommittedLeavesTheTargetAndNoTemporaryFile) {
    const QString target = path("doc.deg");
    WriteBytes(target, "previous");
    {
        FileReplacement file(target, path("doc.BAK"));
        file.write(QByteArray(300000, 'x'));
    }
    EXPECT_EQ(ReadBytes(target), "previous");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"doc.deg"});
}

TEST_F(FileReplacementTest, TheBackupHoldsThePreviousVersionReplacingAnOlderOne) {
    const QString target = path("doc.deg");
    const QString backup = path("doc.BAK");
    ReplaceFile(target, "one", backup); // nothing to keep yet
    EXPECT_FALSE(QFileInfo::exists(backup));
    ReplaceFile(target, "two", backup);
    EXPECT_EQ(ReadBytes(backup), "one");
    ReplaceFile(target, "three", backup);
    EXPECT_EQ(ReadBytes(backup), "two");
    EXPECT_EQ(ReadBytes(target), "three");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"doc.BAK", "doc.deg"}));
}

TEST_F(FileReplacementTest, AFullDiskLeavesTheFileAndItsBackupAsTheyWere) {
    const QString target = path("doc.deg");
    const QString backup = path("doc.BAK");
    WriteBytes(target, "previous");
    WriteBytes(backup, "older");
    std::optional<FileWriteError> error;
    {
        const testing_support::FileSizeLimit full(100000);
        error = ErrorOf([&] { ReplaceFile(target, QByteArray(1 << 20, 'n'), backup); });
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->text(), "File too large: " + target);
    EXPECT_EQ(ReadBytes(target), "previous");
    EXPECT_EQ(ReadBytes(backup), "older");
    EXPECT_TRUE(TemporaryFiles(dir_.path()).isEmpty());
}

TEST_F(FileReplacementTest, AKilledSaveLeavesTheOldOrTheNewFileWholeUnderItsName) {
    const QString target = path("doc.deg");
    const QString backup = path("doc.BAK");
    const QByteArray previous(4000, 'o');
    QByteArray fresh(32 << 20, 'n');
    for (qsizetype i = 0; i < fresh.size(); i += 4096) {
        fresh[i] = '\n';
    }
    // At the first bytes, in the middle, and once everything is written (flush and rename).
    for (const qint64 killAt : {qint64{1}, qint64{8 << 20}, qint64{fresh.size()}}) {
        SCOPED_TRACE(killAt);
        WriteBytes(target, previous);
        for (const QFileInfo& left : TemporaryFiles(dir_.path())) {
            QFile::remove(left.filePath());
        }
        const auto reached = [&] {
            return testing_support::NewFileHolds(dir_.path(), {"doc.deg", "doc.BAK"}, killAt);
        };
        testing_support::KillDuringSave(reached, [&] {
            FileReplacement file(target, backup);
            for (qsizetype i = 0; i < fresh.size(); i += 1 << 16) {
                file.write(QByteArrayView(fresh).sliced(i, 1 << 16));
            }
            file.commit();
        });
        const QByteArray found = ReadBytes(target);
        EXPECT_TRUE(found == previous || found == fresh) << found.size() << " bytes";
    }
}

TEST_F(FileReplacementTest, ALinkStaysALinkAndTheFileItNamesIsReplaced) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("real"));
    const QString real = path("real/doc.deg");
    WriteBytes(real, "previous");
    // A chain of two links, relative and absolute.
    ASSERT_EQ(::symlink("real/doc.deg", QFile::encodeName(path("first.deg")).constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(path("first.deg")).constData(),
                        QFile::encodeName(path("link.deg")).constData()),
              0);
    FileReplacement file(path("link.deg"), path("link.BAK"));
    EXPECT_EQ(file.resolvedTarget(), dir_.path() + "/real/doc.deg");
    file.write("new");
    file.commit();
    EXPECT_EQ(ReadBytes(real), "new");
    EXPECT_TRUE(S_ISLNK(StatusOf(path("link.deg")).st_mode));
    EXPECT_TRUE(S_ISLNK(StatusOf(path("first.deg")).st_mode));
    EXPECT_EQ(QFileInfo(path("first.deg")).symLinkTarget(), real);
    EXPECT_EQ(ReadBytes(path("link.BAK")), "previous");

    // A link to a file not there yet makes that file.
    ASSERT_EQ(::symlink("real/later.deg", QFile::encodeName(path("later.deg")).constData()), 0);
    ReplaceFile(path("later.deg"), "made");
    EXPECT_EQ(ReadBytes(path("real/later.deg")), "made");
    EXPECT_TRUE(S_ISLNK(StatusOf(path("later.deg")).st_mode));
}

TEST_F(FileReplacementTest, AWritableFileInAFolderThatRefusesNewFilesIsWrittenInPlace) {
    // The administrator may write into any folder: the check then runs as another user.
    ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("locked"));
    const QString target = path("locked/doc.deg");
    const QString kept = path("locked/kept.deg");
    WriteBytes(target, QByteArray(100000, 'o'));
    WriteBytes(kept, "previous kept");
    WriteBytes(path("locked/kept.BAK"), "older");
    for (const QString& file : {target, kept, path("locked/kept.BAK")}) {
        ::chmod(QFile::encodeName(file).constData(), 0666);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(path("locked")).constData(), 0555), 0);

    const std::string problems = AsUnprivileged([&]() -> std::string {
        std::string found;
        const ino_t inode = StatusOf(target).st_ino;
        // No backup can be made beside it either: the file is still saved.
        ReplaceFile(target, "short", path("locked/doc.BAK"));
        if (ReadBytes(target) != "short" || StatusOf(target).st_ino != inode) {
            found += "not written in place; ";
        }
        if (QFileInfo::exists(path("locked/doc.BAK"))) {
            found += "a backup appeared; ";
        }
        // An existing backup file takes the previous version.
        ReplaceFile(kept, "new kept", path("locked/kept.BAK"));
        if (ReadBytes(kept) != "new kept" ||
            ReadBytes(path("locked/kept.BAK")) != "previous kept") {
            found += "backup not copied: " + ReadBytes(path("locked/kept.BAK")).toStdString();
        }
        // Not committed: untouched.
        {
            FileReplacement file(kept);
            file.write("never");
        }
        if (ReadBytes(kept) != "new kept") {
            found += "changed without commit; ";
        }
        return found;
    });
    ::chmod(QFile::encodeName(path("locked")).constData(), 0755);
    EXPECT_EQ(problems, "");
}

TEST_F(FileReplacementTest, AbandonedTemporaryFilesOfOursAreRemoved) {
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    const QString live = QString::number(::getpid());
    const QString dead = QString::number(gone);
    struct Case {
        QString name;
        int ageSeconds;
        bool removed;
    };
    const std::vector<Case> cases{
        {".doc.deg." + dead + ".0123abcd.dvz-tmp", 3 * 60, true},
        {".other.deg." + dead + ".0123abcd.dvz-tmp", 3 * 60, true}, // another file's, same folder
        {".doc.deg." + dead + ".1123abcd.dvz-tmp", 10, false},      // may be a save just begun
        {".doc.deg." + live + ".2123abcd.dvz-tmp", 3 * 60, false},  // its writer is at work
        {".doc.deg." + live + ".3123abcd.dvz-tmp", 2 * 3600, true}, // its writer forgot it
        {"doc.deg." + dead + ".4123abcd.dvz-tmp", 2 * 3600, false}, // not our name
        {".doc.deg." + dead + ".dvz-tmp", 2 * 3600, false},
        {".doc.deg.5123abcd.tmp", 2 * 3600, false},
    };
    for (const Case& c : cases) {
        WriteBytes(path(c.name), "left over");
        const utimbuf times{std::time(nullptr) - c.ageSeconds, std::time(nullptr) - c.ageSeconds};
        ASSERT_EQ(::utime(QFile::encodeName(path(c.name)).constData(), &times), 0);
    }
    ReplaceFile(path("doc.deg"), "saved");
    for (const Case& c : cases) {
        EXPECT_EQ(QFileInfo::exists(path(c.name)), !c.removed) << c.name.toStdString();
    }
}

TEST_F(FileReplacementTest, ErrorsGiveTheSystemsReasonAndThePath) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
    struct Case {
        QString target;
        QString text;
    };
    const std::vector<Case> cases{
        {path("missing/doc.deg"), "No such file or directory: " + path("missing/doc.deg")},
        {path("folder"), "Is a directory: " + path("folder")},
    };
    for (const Case& c : cases) {
        const auto error = ErrorOf([&] { ReplaceFile(c.target, "x"); });
        ASSERT_TRUE(error) << c.target.toStdString();
        EXPECT_EQ(error->text(), c.text);
        EXPECT_EQ(std::string(error->what()), c.text.toStdString());
    }

    // A read-only file is not replaced, although its folder would allow it.
    ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0777), 0);
    const QString readOnly = path("readonly.deg");
    WriteBytes(readOnly, "keep");
    ::chmod(QFile::encodeName(readOnly).constData(), 0444);
    const std::string problems = AsUnprivileged([&]() -> std::string {
        const auto error = ErrorOf([&] { ReplaceFile(readOnly, "x"); });
        return error ? (error->text() == "Permission denied: " + readOnly
                            ? ""
                            : error->text().toStdString())
                     : "replaced";
    });
    EXPECT_EQ(problems, "");
    EXPECT_EQ(ReadBytes(readOnly), "keep");
}

} // namespace

#include "app/Utilities.h"

#include "../support/ErrorOf.h"
#include "../support/ScriptedPrompter.h"
#include "common/AppError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using app::DriveType;
using app::MountEntry;
using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;

// sdb and sdc are removable, sda is not; other devices are unknown.
std::optional<bool> FakeRemovable(const QString& name) {
    if (name.startsWith("sdb") || name.startsWith("sdc")) {
        return true;
    }
    if (name.startsWith("sda")) {
        return false;
    }
    return std::nullopt;
}

using testing_support::ErrorOf;

TEST(Mounts, ParsedWithEscapedNames) {
    const auto mounts = app::ParseMounts("proc /proc proc rw 0 0\n"
                                         "/dev/sdb1 /media/my\\040stick vfat rw 0 0\n"
                                         "broken line\n");
    ASSERT_EQ(mounts.size(), 2U);
    EXPECT_EQ(mounts[0].root, "/proc/");
    EXPECT_EQ(mounts[1].device, "/dev/sdb1");
    EXPECT_EQ(mounts[1].root, "/media/my stick/");
    EXPECT_EQ(mounts[1].fsType, "vfat");
}

TEST(Mounts, KindsAndTheirTexts) {
    struct Case {
        MountEntry mount;
        DriveType type;
        const char* text;
    };
    const Case cases[] = {
        {{"/dev/sr0", "/media/cdrom0/", "iso9660"}, DriveType::CdRom, "CD"},
        {{"/dev/loop3", "/mnt/image/", "udf"}, DriveType::CdRom, "CD"},
        {{"/dev/sdb1", "/media/stick/", "vfat"}, DriveType::Removable, "Removable drive"},
        {{"/dev/fd0", "/media/floppy/", "vfat"}, DriveType::Removable, "Floppy drive"},
        {{"/dev/sda1", "/", "ext4"}, DriveType::Fixed, "Hard drive; can not be removed"},
        {{"server:/export", "/net/", "nfs4"}, DriveType::Remote, "Remote (network) drive"},
        {{"//host/share", "/smb/", "cifs"}, DriveType::Remote, "Remote (network) drive"},
        {{"tmpfs", "/run/", "tmpfs"}, DriveType::RamDisk, "RAM disk"},
        {{"proc", "/proc/", "proc"}, DriveType::Unknown, "The drive type cannot be determined"},
        {{"/dev/nvme9n1p1", "/data/", "ext4"},
         DriveType::Unknown,
         "The drive type cannot be determined"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mount.device.toStdString());
        const DriveType type = app::ClassifyMount(c.mount, FakeRemovable);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(app::DriveTypeName(type, c.mount), c.text);
    }
    EXPECT_EQ(app::DriveTypeName(DriveType::NoRootDir, {}), "The root directory does not exist");
}

TEST(FindCdDrive, FirstOpticalOrRemovableInMountOrder) {
    const std::vector<MountEntry> mounts{{"/dev/sda1", "/", "ext4"},
                                         {"tmpfs", "/tmp/", "tmpfs"},
                                         {"/dev/sr0", "/media/cdrom0/", "iso9660"},
                                         {"/dev/sr1", "/media/cdrom1/", "iso9660"}};
    EXPECT_EQ(app::FindCdDriveAmong(mounts, FakeRemovable), "/media/cdrom0/");

    const std::vector<MountEntry> noDisc{{"/dev/sda1", "/", "ext4"}, {"proc", "/proc/", "proc"}};
    EXPECT_EQ(app::FindCdDriveAmong(noDisc, FakeRemovable), app::kNoCdDrive);
    EXPECT_EQ(app::FindCdDriveAmong({}, FakeRemovable), app::kNoCdDrive);

    // No limit on the number of drives.
    std::vector<MountEntry> many;
    for (int i = 0; i < 40; ++i) {
        many.push_back({QString("/dev/sda%1").arg(i + 1), QString("/d%1/").arg(i), "ext4"});
    }
    many.push_back({"/dev/sdc1", "/media/stick/", "exfat"});
    EXPECT_EQ(app::FindCdDriveAmong(many, FakeRemovable), "/media/stick/");
}

TEST(FindCdDrive, TheRunningSystemGivesARootOrTheDefault) {
    const QString root = app::FindCdDrive();
    EXPECT_TRUE(root.endsWith('/')) << root.toStdString();
}

TEST(DriveList, PopTakesTheFirstItem) {
    const QChar nul(QChar::Null);
    QString list = QString("/") + nul + "/media/cd/" + nul + nul;
    EXPECT_EQ(app::PopDriveItem(list), "/");
    EXPECT_EQ(list, QString("/media/cd/") + nul + nul);

    QString noNul = "/media/cd/";
    EXPECT_EQ(app::PopDriveItem(noNul), "");
    EXPECT_EQ(noNul, "/media/cd/");

    QString system = app::LogicalDriveList();
    if (!system.isEmpty()) {
        EXPECT_TRUE(system.endsWith(QString(nul) + nul));
        EXPECT_FALSE(app::PopDriveItem(system).isEmpty());
    }
    EXPECT_EQ(app::DriveTypeText("/no/such/mount/point/"), "The root directory does not exist");
}

TEST(DriveReady, ReadableVolumesAndNoChangeOfTheCurrentFolder) {
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    EXPECT_TRUE(app::DriveReady(dir.path()));
    EXPECT_TRUE(app::DriveReady(dir.filePath("not-yet-there.mdb")));
    EXPECT_TRUE(app::DriveReady(""));
    EXPECT_FALSE(app::DriveReady(dir.filePath("missing/folder/zebgazet.mdb")));
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST(FolderOfPath, FolderWithItsFinalSeparator) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/ana/birds.deg", "/home/ana/"}, {"birds.deg", ""}, {"/home/ana/", "/home/ana/"},
        {"C:\\data\\birds.deg", "C:\\data\\"}, {"", ""},
    };
    for (const auto& [path, folder] : cases) {
        EXPECT_EQ(app::FolderOfPath(path), folder) << path;
    }
}

TEST(OpenDocument, FailuresAreShownWithTheTarget) {
    QTemporaryDir dir;
    int calls = 0;
    const auto opener = [&calls](const QUrl&) {
        ++calls;
        return true;
    };
    const struct {
        QString target;
        const char* message;
    } cases[] = {
        {dir.filePath("missing.pdf"), "Fichier introuvable"},
        {dir.filePath("no/such/folder/x.pdf"), "Chemin incorrect"},
        {"", "Fichier introuvable"},
    };
    for (const auto& c : cases) {
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok));
        app::OpenDocumentWith(c.target, opener);
        ASSERT_EQ(prompter.messages().size(), 1U);
        EXPECT_EQ(prompter.messages()[0].text, QString(c.message) + "\r\r" + c.target);
        EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
    }
    EXPECT_EQ(calls, 0);
}

TEST(OpenDocument, FilesAndAddressesGoToTheOpener) {
    QTemporaryDir dir;
    QFile file(dir.filePath("notes.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    std::vector<QUrl> opened;
    bool answer = true;
    const auto opener = [&](const QUrl& url) {
        opened.push_back(url);
        return answer;
    };
    ScriptedPrompter prompter;
    app::OpenDocumentWith(file.fileName(), opener);
    app::OpenDocumentWith("https://example.org/page", opener);
    ASSERT_EQ(opened.size(), 2U);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(file.fileName()));
    EXPECT_EQ(opened[1], QUrl("https://example.org/page"));

    answer = false;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    app::OpenDocumentWith("mailto:someone@example.org", opener);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "Il n'y a pas d'association pour ce type de fichier"
                                           "\r\rmailto:someone@example.org");
}

TEST(OpenDocument, ResultTextsAndTargets) {
    EXPECT_EQ(app::ShellErrorText(5), "Accès refusé");
    EXPECT_EQ(app::ShellErrorText(27), "Association de fichier incorrecte ou incomplète");
    EXPECT_EQ(app::ShellErrorText(0), "Erreur inconnue");
    EXPECT_EQ(app::ShellErrorText(33), "Erreur inconnue");
    EXPECT_EQ(app::TargetUrl("www.example.org"), QUrl("http://www.example.org"));
    EXPECT_TRUE(app::TargetUrl("C:/x.deg").isLocalFile());
    EXPECT_TRUE(app::TargetUrl("relative/x.deg").isLocalFile());
}

TEST(CountChar, CountsOneCharacter) {
    EXPECT_EQ(app::CountChar("a/b//c", "/"), 3);
    EXPECT_EQ(app::CountChar("", "/"), 0);
    EXPECT_EQ(app::CountChar("a/b", ""), 0);
    EXPECT_EQ(app::CountChar("a//b", "//"), 0);
    EXPECT_EQ(app::CountChar("aAa", "a"), 2);
    EXPECT_EQ(app::CountChar(QString(32767, '/'), "/"), 32767);
    EXPECT_EQ(ErrorOf([] { app::CountChar(QString(32768, 'x'), "/"); }), 6);
}

TEST(Log10Single, SinglePrecisionLogarithm) {
    EXPECT_EQ(app::Log10Single(1000.0F), 3.0F);
    EXPECT_EQ(app::Log10Single(1.0F), 0.0F);
    EXPECT_FLOAT_EQ(app::Log10Single(2.0F), static_cast<float>(std::log10(2.0)));
    EXPECT_EQ(ErrorOf([] { app::Log10Single(0.0F); }), 5);
    EXPECT_EQ(ErrorOf([] { app::Log10Single(-1.0F); }), 5);
}

} // namespace

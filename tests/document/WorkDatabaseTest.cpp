#include "document/WorkDatabase.h"

#include "../support/TempSettings.h"
#include "common/AppError.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The permission bits of a folder and whether it is ours, as the system reports them.
struct FolderMode {
    bool isFolder = false;
    bool ours = false;
    unsigned bits = 0;
};

FolderMode ModeOf(const QString& path) {
    struct stat info {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return {};
    }
    return {S_ISDIR(info.st_mode), info.st_uid == geteuid(),
            static_cast<unsigned>(info.st_mode & 0777)};
}

int Rows(SQLite::Database& db) {
    return db.execAndGet("SELECT COUNT(*) FROM DOVAZOV").getInt();
}

class WorkDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(parent_.isValid()); }
    void TearDown() override { document::CloseWorkDatabase(); }

    QString parent() const { return parent_.path(); }
    QStringList parentEntries() const {
        return QDir(parent()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                        QDir::NoDotAndDotDot);
    }

private:
    testing_support::TempSettings settings_;
    QTemporaryDir parent_;
};

TEST_F(WorkDatabaseTest, TheDatabaseLivesInANewFolderOnlyItsOwnerCanEnter) {
    document::CreateWorkDatabase(parent());

    const QString folder = document::WorkFolder();
    EXPECT_EQ(QFileInfo(document::Work().WorkDbPath).absolutePath(), folder);
    EXPECT_EQ(QFileInfo(document::Work().WorkDbPath).fileName(), "dovazov_tmp.mdb");
    EXPECT_TRUE(QFileInfo::exists(document::Work().WorkDbPath));
    EXPECT_EQ(QFileInfo(folder).absolutePath(), QFileInfo(parent()).absoluteFilePath());
    EXPECT_TRUE(QFileInfo(folder).fileName().startsWith("dovazov-"));
    const FolderMode mode = ModeOf(folder);
    EXPECT_TRUE(mode.isFolder);
    EXPECT_TRUE(mode.ours);
    EXPECT_EQ(mode.bits, 0700U);
    EXPECT_EQ(document::Work().WorkingDir, parent());
}

TEST_F(WorkDatabaseTest, ClosingRemovesTheFolderWithEverythingInIt) {
    document::CreateWorkDatabase(parent());
    document::WorkDb().exec("INSERT INTO DOVAZOV (PERIOD) VALUES (1)");
    QFile page(QDir(document::WorkFolder()).filePath("page.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();

    document::CloseWorkDatabase();
    EXPECT_EQ(document::WorkFolder(), "");
    EXPECT_TRUE(parentEntries().isEmpty()) << parentEntries().join(", ").toStdString();
}

TEST_F(WorkDatabaseTest, TwoCopiesInOneFolderNeverShareADatabase) {
    QString firstFolder;
    {
        document::WorkDatabase one(parent());
        document::WorkDatabase two(parent());
        firstFolder = one.folder();
        EXPECT_NE(one.folder(), two.folder());
        EXPECT_NE(one.path(), two.path());
        one.db().exec("INSERT INTO DOVAZOV (PERIOD) VALUES (1)");
        EXPECT_EQ(Rows(one.db()), 1);
        EXPECT_EQ(Rows(two.db()), 0);
    }
    EXPECT_FALSE(QFileInfo::exists(firstFolder));
    EXPECT_TRUE(parentEntries().isEmpty()) << parentEntries().join(", ").toStdString();
}

TEST_F(WorkDatabaseTest, AFolderThatCannotBeMadeIsErrorNamingIt) {
    const QString missing = QDir(parent()).filePath("missing");
    try {
        document::CreateWorkDatabase(missing);
        FAIL() << "no error";
    } catch (const common::AppError& error) {
        EXPECT_EQ(error.number(), 75);
        EXPECT_NE(error.description().find(missing.toStdString()), std::string::npos)
            << error.description();
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(WorkDatabaseTest, TheFolderIsRemovedWhenTheProgramEnds) {
    const QString base = parent();
    EXPECT_EXIT(
        {
            document::CreateWorkDatabase(base);
            document::WorkDb().exec("INSERT INTO DOVAZOV (PERIOD) VALUES (1)");
            std::exit(QFileInfo::exists(document::Work().WorkDbPath) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(parentEntries().isEmpty()) << parentEntries().join(", ").toStdString();
}

} // namespace

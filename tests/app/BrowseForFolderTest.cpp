#include "app/BrowseForFolder.h"

#include "../support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <vector>

namespace {

using app::BrowseForFolder;
using app::BrowseNewFolder;
using app::BrowseStartFolder;
using app::FolderDialogRequest;
using app::MakeFolderPath;
using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;

// Answers the folder dialog from a list and records each showing.
class BrowseForFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        app::SetFolderDialog([this](const FolderDialogRequest& request) {
            shown_.push_back(request);
            if (answers_.empty()) {
                return QString();
            }
            const QString answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
    }
    void TearDown() override {
        app::SetFolderDialog({});
        BrowseStartFolder().clear();
        BrowseNewFolder().clear();
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    std::deque<QString> answers_;
    std::vector<FolderDialogRequest> shown_;
};

TEST_F(BrowseForFolderTest, OpensOnTheStartFolderAndReturnsTheChoiceWithoutAFinalSeparator) {
    ASSERT_TRUE(QDir().mkpath(path("chosen")));
    BrowseStartFolder() = dir_.path() + QLatin1Char('/');
    answers_ = {path("chosen") + QLatin1Char('/')};
    EXPECT_EQ(BrowseForFolder(nullptr, QStringLiteral("Please choose a folder"), 0x40),
              path("chosen"));
    ASSERT_EQ(shown_.size(), 1U);
    EXPECT_EQ(shown_[0].startFolder, dir_.path() + QLatin1Char('/'));
    EXPECT_EQ(shown_[0].prompt, QStringLiteral("Please choose a folder"));
    EXPECT_FALSE(shown_[0].editBox);
    // The root keeps its separator.
    answers_ = {QStringLiteral("/")};
    EXPECT_EQ(BrowseForFolder(nullptr, QString(), 0x40), QStringLiteral("/"));
}

TEST_F(BrowseForFolderTest, CancelReturnsAnEmptyText) {
    EXPECT_TRUE(BrowseForFolder(nullptr, QString(), 0x40).isEmpty());
    EXPECT_EQ(shown_.size(), 1U);
}

TEST_F(BrowseForFolderTest, ATypedMissingFolderIsCreatedOnYesAndSelected) {
    const QString typed = path("a/b/c");
    answers_ = {typed, typed};
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Yes));
    EXPECT_EQ(BrowseForFolder(nullptr, QString(), 0x40 | app::kBrowseEditBox), typed);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("The Path You Typed Does Not Exist!\r\nWould you like to create it?"));
    EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Question);
    EXPECT_TRUE(QFileInfo(typed).isDir()); // the three levels
    EXPECT_EQ(BrowseNewFolder(), typed);
    // The dialog stayed open on the new folder.
    ASSERT_EQ(shown_.size(), 2U);
    EXPECT_EQ(shown_[1].startFolder, typed);
    EXPECT_TRUE(shown_[1].editBox);
}

TEST_F(BrowseForFolderTest, NoCreatesNothingAndKeepsTheDialogOpen) {
    BrowseStartFolder() = dir_.path();
    answers_ = {path("missing/level")}; // then cancel
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::No));
    EXPECT_TRUE(BrowseForFolder(nullptr, QString(), app::kBrowseEditBox).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path("missing")));
    ASSERT_EQ(shown_.size(), 2U);
    EXPECT_EQ(shown_[1].startFolder, dir_.path());
    EXPECT_TRUE(BrowseNewFolder().isEmpty());
}

TEST_F(BrowseForFolderTest, MakeFolderPathCreatesEveryMissingLevelOrSaysItCannot) {
    ScriptedPrompter prompter;
    QString existing = dir_.path();
    EXPECT_TRUE(MakeFolderPath(existing));
    EXPECT_EQ(existing, dir_.path() + QLatin1Char('/'));

    QString deep = path("x/y/z");
    EXPECT_TRUE(MakeFolderPath(deep));
    EXPECT_TRUE(QFileInfo(path("x/y/z")).isDir());

    QFile file(path("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    prompter.expect(AnswerWith(platform::Answer::Ok));
    QString underAFile = path("file/sub");
    EXPECT_FALSE(MakeFolderPath(underAFile));
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Could not Create Destination Folder."));
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
}

} // namespace

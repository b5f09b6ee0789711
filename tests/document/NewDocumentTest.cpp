#include "document/NewDocument.h"

#include "../support/ScriptedPrompter.h"
#include "WorkTableFixture.h"
#include "document/FreeFields.h"
#include "document/Periods.h"
#include "platform/StringTable.h"

#include <QDir>
#include <QFile>

namespace {

using document::Data1;
using document::Document;
using platform::Answer;
using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;
using testing_support::TypeText;
using testing_support::WorkTableTest;

class NewDocumentTest : public WorkTableTest {
protected:
    void SetUp() override {
        WorkTableTest::SetUp();
        platform::SetLangue(platform::kEnglish);
        ASSERT_TRUE(QDir().mkpath(programFolder()));
        hooks_.programFolder = programFolder();
        hooks_.checkSauvegarde = [this] {
            ++saveQuestions_;
            return saveAnswer_;
        };
        hooks_.setCaption = [this](const QString& caption) { caption_ = caption; };
        hooks_.showDocumentBoxes = [this] {
            // The old title box marked the document changed when New emptied it.
            Document().FileModified = -1;
            ++boxesShown_;
        };
        hooks_.showPeriodDialog = [this] {
            newDocumentSeen_ = Document().NewDocument;
            document::PeriodDialogOk(0, {});
        };
        hooks_.activeMenus = [this] { ++menus_; };
    }

    QString programFolder() const { return folder() + QStringLiteral("/program"); }
    void WriteStandardHeader(const QByteArray& bytes) const {
        QFile file(document::StandardHeaderPath(programFolder()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // An open document with a file, rows and a scheme, as New finds it.
    void OpenDocument() {
        AddPeriods({1, 2, 3});
        Show(Document().SqlTri);
        Document().CurrentFile = QStringLiteral("/data/bees.deg");
        document::InstallPeriodScheme({2, 1980, 2000});
        document::InstallFreeFields(document::StartFreeFieldModel("/"));
    }

    document::NewDocumentHooks hooks_;
    int saveAnswer_ = 0;
    int saveQuestions_ = 0;
    QString caption_;
    int boxesShown_ = 0;
    int menus_ = 0;
    std::int16_t newDocumentSeen_ = 0;
};

TEST_F(NewDocumentTest, WithoutStandardHeaderTheBuiltInFieldsAndBlankRecordsAreSetUp) {
    OpenDocument();
    Document().FileModified = -1;
    ScriptedPrompter prompter;
    prompter.expect(TypeText("3"));
    EXPECT_TRUE(document::CreationNouveau(0, hooks_));
    EXPECT_EQ(prompter.inputPrompts(), QStringList{QStringLiteral("Number of lines")});
    EXPECT_EQ(saveQuestions_, 1);
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(Periods(), (std::vector<int>{-1, -1, -1}));
    EXPECT_EQ(document::CurrentFreeFields(), document::BuiltInFreeFields());
    EXPECT_EQ(Document().FreeFieldCount, 11);
    EXPECT_TRUE(Document().CurrentFile.isEmpty());
    EXPECT_EQ(caption_, QStringLiteral("DOVazov"));
    EXPECT_EQ(Data1().recordSource(), QStringLiteral("DOVAZOV"));
    EXPECT_EQ(Data1().recordset().absolutePosition(), 2); // the last blank record
    EXPECT_EQ(boxesShown_, 1);
    EXPECT_EQ(menus_, 1);
    EXPECT_EQ(newDocumentSeen_, -1);
    EXPECT_EQ(Document().NewDocument, 0);
    // The dialog lowered the scheme to one period without rewriting anything.
    EXPECT_EQ(Document().PeriodOption, 0);
    EXPECT_EQ(Document().FileModified, 0);
    EXPECT_EQ(Document().SqlTri, QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
}

TEST_F(NewDocumentTest, AStandardHeaderIsOfferedAndRead) {
    WriteStandardHeader(";\r\nHAB,Habitat,3\r\n");
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Yes));
    EXPECT_TRUE(document::CreationNouveau(2, hooks_));
    EXPECT_TRUE(prompter.inputPrompts().isEmpty()); // a count given is not asked for
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("Use standard configuration of free fields?"));
    EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Question);
    EXPECT_EQ(prompter.beeps(), 0);
    EXPECT_EQ(saveQuestions_, 0); // an unchanged document is not offered for saving
    ASSERT_EQ(Document().FreeFieldCount, 1);
    EXPECT_EQ(Document().FreeFields[0].Code, QStringLiteral("HAB"));
    EXPECT_EQ(Document().FreeFields[0].Label, QStringLiteral("Habitat"));
    EXPECT_EQ(Document().FreeFields[0].Number, 3);
    EXPECT_EQ(Document().FreeFieldSeparator, QStringLiteral(";"));
    EXPECT_EQ(Document().FreeFieldHeader, QStringLiteral(";\r\nHAB,Habitat,3"));
    EXPECT_EQ(RowCount(), 2);
}

TEST_F(NewDocumentTest, AStandardHeaderDeclinedGivesNoFreeFields) {
    WriteStandardHeader(";\r\nHAB,Habitat,3\r\n");
    document::InstallFreeFields(document::BuiltInFreeFields());
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::No));
    EXPECT_TRUE(document::CreationNouveau(1, hooks_));
    EXPECT_EQ(Document().FreeFieldCount, 0);
    EXPECT_TRUE(Document().FreeFields.empty());
    EXPECT_TRUE(Document().FreeFieldHeader.isEmpty());
}

TEST_F(NewDocumentTest, AnswersThatGiveNoRecordChangeNothing) {
    OpenDocument();
    Document().FileModified = -1;
    ScriptedPrompter prompter;
    for (const char* answer : {"0", "", "abc", "0.5", "40000"}) {
        prompter.expect(TypeText(answer));
        EXPECT_FALSE(document::CreationNouveau(0, hooks_)) << answer;
    }
    EXPECT_EQ(saveQuestions_, 0);
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(Document().CurrentFile, QStringLiteral("/data/bees.deg"));
    EXPECT_EQ(Document().FileModified, -1);
    EXPECT_EQ(Document().FreeFieldHeader, QStringLiteral("/"));
}

TEST_F(NewDocumentTest, ANegativeAnswerIsAskedAgainAndHalvesGoToEven) {
    ScriptedPrompter prompter;
    prompter.expect(TypeText("-3"));
    prompter.expect(TypeText("2.5"));
    EXPECT_TRUE(document::CreationNouveau(0, hooks_));
    EXPECT_EQ(prompter.inputPrompts().size(), 2);
    EXPECT_EQ(RowCount(), 2);
    prompter.expect(TypeText("3.5"));
    EXPECT_TRUE(document::CreationNouveau(0, hooks_));
    EXPECT_EQ(RowCount(), 4);
}

TEST_F(NewDocumentTest, CancelInTheSaveQuestionChangesNothing) {
    OpenDocument();
    Document().FileModified = -1;
    saveAnswer_ = 1;
    ScriptedPrompter prompter;
    prompter.expect(TypeText("5"));
    EXPECT_FALSE(document::CreationNouveau(0, hooks_));
    EXPECT_EQ(saveQuestions_, 1);
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(Document().CurrentFile, QStringLiteral("/data/bees.deg"));
    EXPECT_EQ(Document().FileModified, -1);
    EXPECT_EQ(menus_, 0);
}

TEST_F(NewDocumentTest, AnUnreadableStandardHeaderEndsNewBeforeTheTableIsTouched) {
    OpenDocument();
    ASSERT_TRUE(QDir().mkpath(document::StandardHeaderPath(programFolder()))); // a folder
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Yes));
    EXPECT_FALSE(document::CreationNouveau(4, hooks_));
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(Document().CurrentFile, QStringLiteral("/data/bees.deg"));
}

TEST_F(NewDocumentTest, WorksWithoutAnyWindowHooks) {
    ScriptedPrompter prompter;
    document::NewDocumentHooks bare;
    bare.programFolder = programFolder();
    EXPECT_TRUE(document::CreationNouveau(2, bare));
    EXPECT_EQ(RowCount(), 2);
    EXPECT_EQ(Document().FreeFieldCount, 11);
}

} // namespace

// The export commands around the writers: the choice of the file, the replace question, the
// checks made before any file is touched, and the refusal of values a target cannot hold.

#include "exchange/ExportCommands.h"

#include "../support/ScriptedPrompter.h"
#include "ExportFixture.h"
#include "ExportReaders.h"
#include "common/AppError.h"

#include <QDirIterator>
#include <QFile>

namespace export_test {
namespace {

using exchange::ExportTarget;
using testing_support::AnswerWith;
using testing_support::SaveAs;
using testing_support::ScriptedPrompter;

void WriteFile(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

QByteArray ReadFile(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

struct RaisedError {
    int number = 0;
    QString description;
};

template <typename Call> RaisedError Caught(Call&& call) {
    try {
        call();
    } catch (const common::AppError& e) {
        return {e.number(), QString::fromStdString(e.description())};
    }
    return {};
}

class ExportCommandsTest : public ExportTest {
protected:
    void SetUp() override {
        ExportTest::SetUp();
        ASSERT_TRUE(out_.isValid());
        Add({1, 50.5F, 4.5F, 1, 2, "M", "BEL72", "lmb 1 2", "2001/01/01", "first"});
        Add({2, 50.6F, 4.6F, 3, 4, "F", "BEL72", "lmb 3 4", "2001/01/02", "second"});
    }
    QString target(const QString& name) const { return QDir(out_.path()).filePath(name); }
    QStringList written() const {
        return QDir(out_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir out_;
};

TEST_F(ExportCommandsTest, AnExistingMemoFileAloneBringsTheReplaceQuestion) {
    WriteFile(target("sites.fpt"), "old memo");
    ScriptedPrompter prompter;
    prompter.expect(SaveAs(target("sites.dbf")));
    prompter.expect(AnswerWith(platform::Answer::Cancel));
    exchange::ExportDatabase(ExportTarget::FoxPro, Shown("DOVAZOV"), {}, "t / c");
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "Le fichier existe déjà!  Remplacer?");
    EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::YesNoCancel);
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(written(), QStringList{"sites.fpt"});
    EXPECT_EQ(ReadFile(target("sites.fpt")), "old memo");
}

TEST_F(ExportCommandsTest, NoAsksForAnotherFileAndYesReplacesTheTableWithItsMemo) {
    WriteFile(target("a.dbf"), "old table");
    WriteFile(target("a.dbt"), "old memo");
    platform::Settings().Silence = 1;
    ScriptedPrompter prompter;
    prompter.expect(SaveAs(target("a.dbf")));
    prompter.expect(AnswerWith(platform::Answer::No));
    prompter.expect(SaveAs(target("a.dbf")));
    prompter.expect(AnswerWith(platform::Answer::Yes));
    exchange::ExportDatabase(ExportTarget::DBase, Shown("DOVAZOV"), {}, "t / c");
    EXPECT_EQ(prompter.pending(), 0U);
    EXPECT_EQ(prompter.beeps(), 0);
    ASSERT_EQ(prompter.fileDialogs().size(), 2U);
    EXPECT_TRUE(prompter.fileDialogs()[1].fileName.isEmpty());
    EXPECT_EQ(written(), (QStringList{"a.dbf", "a.dbt"}));
    const ReadTable table = ReadDbf(target("a.dbf"));
    ASSERT_EQ(table.rows.size(), 2U);
    EXPECT_EQ(table.rows[1].back().toString(), "t / c");
}

TEST_F(ExportCommandsTest, AFileNameWithoutAPointIsRefusedBeforeAnythingIsAskedOrReplaced) {
    WriteFile(target("sites"), "keep me");
    ScriptedPrompter prompter;
    prompter.expect(SaveAs(target("sites")));
    const auto error = Caught(
        [&] { exchange::ExportDatabase(ExportTarget::Sqlite, Shown("DOVAZOV"), {}, "t / c"); });
    EXPECT_EQ(error.number, common::kInvalidCall);
    EXPECT_TRUE(error.description.contains(target("sites"))) << error.description.toStdString();
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(ReadFile(target("sites")), "keep me");
}

TEST_F(ExportCommandsTest, ATableNameIsAnIdentifierNotSql) {
    const QString name = QStringLiteral("x\" (a); DROP TABLE t; --");
    ScriptedPrompter prompter;
    prompter.expect(SaveAs(target(name + ".sqlite")));
    exchange::ExportDatabase(ExportTarget::Sqlite, Shown("DOVAZOV"), {}, "t / c");
    const ReadTable table = ReadSqlite(target(name + ".sqlite"));
    EXPECT_EQ(table.tables, QStringList{name});
    EXPECT_EQ(table.rows.size(), 2U);
}

struct RefusalCase {
    const char* label;
    ExportTarget target;
    const char* file;
    Row row;
    QString memo;
    const char* column;
};

TEST_F(ExportCommandsTest, AValueTheTargetCannotHoldStopsTheExportBeforeAnyFileIsWritten) {
    const RefusalCase cases[] = {
        {"a two-character period",
         ExportTarget::DBase,
         "p.dbf",
         {12, 1.0F, 1.0F, 0, 0, "", "EUR-M", "deg 1 1", "", ""},
         "t / c",
         "Period"},
        {"a comment over 150 characters",
         ExportTarget::Sqlite,
         "c.sqlite",
         {1, 1.0F, 1.0F, 0, 0, "", "EUR-M", "deg 1 1", "", QString(151, 'c')},
         "t / c",
         "Free text"},
        {"a memo over the Paradox text",
         ExportTarget::Paradox,
         "m.db",
         {1, 1.0F, 1.0F, 0, 0, "", "EUR-M", "deg 1 1", "", ""},
         QString(300, 'm'),
         "Memo"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.label);
        document::WorkDb().exec("DELETE FROM DOVAZOV WHERE Counter > 2");
        Add(c.row);
        WriteFile(target(c.file), "previous");
        const auto error = Caught([&] {
            exchange::WriteTableExport(c.target, target(c.file), Shown("DOVAZOV"), {}, c.memo);
        });
        EXPECT_EQ(error.number, 3163);
        const int row = c.target == ExportTarget::Paradox ? 1 : 3;
        EXPECT_TRUE(error.description.contains(QStringLiteral("Record %1,").arg(row)))
            << error.description.toStdString();
        EXPECT_TRUE(error.description.contains(QStringLiteral("\"%1\"").arg(c.column)))
            << error.description.toStdString();
        EXPECT_EQ(ReadFile(target(c.file)), "previous");
    }
    // Nothing half-written is left beside the targets.
    EXPECT_EQ(written(), (QStringList{"c.sqlite", "m.db", "p.dbf"}));
}

TEST_F(ExportCommandsTest, TheTextExportAsksForATextFileAndCancelWritesNothing) {
    ScriptedPrompter prompter;
    prompter.expect(SaveAs(QString()));
    exchange::ExportText(1, Shown("DOVAZOV"), {});
    ASSERT_EQ(prompter.fileDialogs().size(), 1U);
    EXPECT_EQ(prompter.fileDialogs()[0].filter, "Fichiers texte (*.txt)|*.txt");
    EXPECT_TRUE(written().isEmpty());
}

TEST_F(ExportCommandsTest, TheFirstDatabaseEntrySaysSqlite) {
    EXPECT_EQ(exchange::SqliteCaption("Base de données MS-Access"), "Base de données SQLite");
    EXPECT_EQ(exchange::SqliteCaption("MS-Access database"), "SQLite database");
    EXPECT_TRUE(exchange::ExportFilter(ExportTarget::Sqlite).contains("SQLite"));
}

} // namespace
} // namespace export_test

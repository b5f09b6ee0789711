#include "../support/FaultInjection.h"
#include "DistributionFixture.h"
#include "document/Periods.h"
#include "document/SelectionFilter.h"
#include "platform/ProgramSettings.h"

#include <QDate>
#include <unistd.h>

namespace {

using document::Data1;
using document::Document;
using document::Record;
using platform::Answer;
using testing_support::AnswerWith;
using testing_support::DistributionTest;
using testing_support::ScriptedPrompter;

QString Blanks(int count) {
    return QString(count, QLatin1Char(' '));
}

class DistributionWriterTest : public DistributionTest {
protected:
    void OpenFixture(const QString& name) {
        ScriptedPrompter quiet;
        ASSERT_TRUE(Open(Fixture(name)));
        feedback_.messages.clear();
        feedback_.progress.clear();
    }
    bool Save(const QString& file, bool group = false) {
        return document::SauveDeg(file, group, Texts());
    }
    // Adds a record straight into the table.
    static void Add(const Record& r) {
        SQLite::Statement insert(document::WorkDb(), document::kInsertRecordSql);
        document::BindRecord(insert, r);
        insert.exec();
    }
    static Record At(int period, float lat, float lon, std::optional<int> n1,
                     std::optional<QString> comment, const QString& sex = "F",
                     const QString& datum = "EUR-M") {
        Record r;
        r.PERIOD = static_cast<std::int16_t>(period);
        r.LATITUDE = lat;
        r.LONGITUDE = lon;
        if (n1) {
            r.N1 = *n1;
        }
        r.SEX = sex;
        r.DATUM = datum;
        r.COMMENT = std::move(comment);
        return r;
    }
    // `count` records "r1", "r2", ... added in one transaction.
    static void AddNumbered(int count) {
        SQLite::Transaction transaction(document::WorkDb());
        for (int i = 1; i <= count; ++i) {
            Add(At(i % 3 == 0 ? 1 : 2, 50.0F + static_cast<float>(i % 100) / 100.0F, 4.0F,
                   i % 10000, QStringLiteral("r%1").arg(i)));
        }
        transaction.commit();
    }
    // The comments of a written file's records, in the file's order.
    static QStringList FileComments(const QString& file) {
        QStringList comments;
        for (const QString& line : FileLines(file).mid(8)) { // after a header without fields
            comments << line.mid(71);
        }
        return comments;
    }
    static QStringList FileLines(const QString& file) {
        QStringList lines = platform::DecodeWindows1252(ReadBytes(file)).split("\r\n");
        EXPECT_EQ(lines.takeLast(), ""); // the last line ends with CR LF too
        return lines;
    }
    // The files of the test folder but the working database.
    QStringList Entries() const {
        QStringList files =
            QDir(folder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        files.removeAll(QStringLiteral("dovazov_tmp.mdb"));
        return files;
    }
    static QString ThisYear() { return QString::number(QDate::currentDate().year()); }
};

TEST_F(DistributionWriterTest, WritesTheHeaderAndOneLinePerRecord) {
    OpenFixture("current.deg");
    ScriptedPrompter prompter;
    Document().FileModified = -1;
    const QString file = path("out.deg");
    ASSERT_TRUE(Save(file));

    const QString originalDeg = "deg 50.85 4.35" + Blanks(10);
    const QStringList expected{
        "<DOVAZOV 2.0>",
        "EUR-M",
        "/",
        "HAB,Habitat,3",
        "ALT , Altitude, 5,extra",
        "<END>",
        "Abeilles de Wallonie",
        QString::fromUtf8("Relevés 1985-2010"),
        " 0000 - 1989   1990 - " + ThisYear() + "   0 - 0",
        StatisticsLine(),
        QString::fromUtf8("Relevés 1985-2010"),
        "1K+50.85000   4.35000    3    01988/05/12FNTF  " + originalDeg + "/pond/nest",
        "2K +5.25000  12.50000  120    72001/__/__ OGB-Mbng TQ 3080" + Blanks(13) + "//nest",
        "2K -3.50000 -12.50000    0    0" + Blanks(10) + "MOGB-Mutm 31 571670 5539221   //",
        // The stripped line gets its columns back: no datum, no coordinate text.
        "1K+51.00000   5.00000    1    02005/06/01F" + Blanks(29) + "//",
        "3K+50.50000   4.50000    0    0" + Blanks(11) + "EUR-Mdeg 50.5 4.5" + Blanks(12) +
            QString::fromUtf8("Prairie/Fauchée/haie"),
    };
    EXPECT_EQ(FileLines(file), expected);
    EXPECT_EQ(ReadBytes(file).count("\r\n"), expected.size());
    EXPECT_EQ(Document().FileModified, 0);
    EXPECT_EQ(feedback_.messages, QStringList{"Saving...\r" + file});
    EXPECT_FALSE(feedback_.messageShown);
    EXPECT_FALSE(feedback_.progressShown);
    EXPECT_EQ(feedback_.progress.back(), 100);
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(Entries(), QStringList{"out.deg"}); // no temporary file left
}

TEST_F(DistributionWriterTest, RoundTripsKeepTheTableAndTheBytes) {
    // Read, write, read gives the same table; write, read, write gives the same bytes. A file of
    // the older layout converts on its first read (its short lines have no date, which the
    // written line gives as ten blanks), so only the bytes round trip applies to it.
    for (const QString name : {"current.deg", "nofields.deg", "older.deg"}) {
        SCOPED_TRACE(name.toStdString());
        OpenFixture(name);
        const std::vector<Record> read = Contents();
        ScriptedPrompter prompter;
        ASSERT_TRUE(Save(path("first.deg")));
        ASSERT_TRUE(Open(path("first.deg")));
        if (name != "older.deg") {
            EXPECT_EQ(Contents(), read);
        }
        ASSERT_TRUE(Save(path("second.deg")));
        EXPECT_EQ(ReadBytes(path("first.deg")), ReadBytes(path("second.deg")));
    }
}

// A file in the writer's own form, written by hand, comes back from open and save byte for byte:
// free fields, every field of a record line filled, blank and at its limits, and the code page's
// own characters.
TEST_F(DistributionWriterTest, AFileInTheWritersFormComesBackByteForByte) {
    const QStringList lines{
        "<DOVAZOV 2.0>",
        "EUR-M",
        "/",
        "HAB,Habitat,3",
        "ALT,Altitude,5",
        "<END>",
        QString::fromUtf8("Abeilles « Wallonie »"),
        QString::fromUtf8("Relevés €uro Œuvre"),
        " 0000 - 1989   1990 - " + ThisYear() + "   0 - 0",
        StatisticsLine(),
        QString::fromUtf8("Relevés €uro Œuvre"),
        "1K+50.85000   4.35000    3    01988/05/12FNTF  deg 50.85 4.35" + Blanks(10) + "/pond/nest",
        "2K +5.25000  12.50000  120    72001/__/__ OGB-Mbng TQ 3080" + Blanks(13) + "//",
        "0K -3.50000 -12.50000    0   -42001/01/01MEUR-Mutm 31 571670 5539221" + Blanks(3) +
            "a/b/free text",
        "9K-89.99999-179.50000-999999999" + Blanks(10) + " WGS84deg -89.99999 -179.9999 " +
            QString::fromUtf8("//€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ\u00A0¡¢£¤¥¦§¨©ª«¬\u00AD®¯°ÿ"),
        "1K+89.99999 179.50000    1    0" + Blanks(10) + "FEUR-M" + Blanks(24) + "//x",
        // 999 is the latitude's no-position marker; the longitude writes it as a number.
        "1K      999 999.00000    0    0" + Blanks(10) + "FNTF  grp abc" + Blanks(17) + "//",
        "1K +0.00000   0.00000    0    0" + Blanks(10) + " NTF  " + QString::fromUtf8("grp é") +
            Blanks(19) + QString::fromUtf8("àéîõü/ÀÉÎÕÜ/"),
    };
    const QByteArray file = Lines(lines);
    ASSERT_TRUE(Open(WriteFile("hand.deg", file)));
    ScriptedPrompter prompter;
    ASSERT_TRUE(Save(path("saved.deg")));
    const QStringList saved = FileLines(path("saved.deg"));
    ASSERT_EQ(saved.size(), lines.size());
    for (qsizetype k = 0; k < lines.size(); ++k) {
        EXPECT_EQ(saved[k].toStdString(), lines[k].toStdString()) << "line " << k + 1;
    }
    EXPECT_EQ(ReadBytes(path("saved.deg")), file);
}

// Values a file never gives but the table may hold, each on its hand-written line: Null fields,
// line breaks in a comment, characters outside the code page and bytes that are no UTF-8.
TEST_F(DistributionWriterTest, ValuesOnlyTheTableHoldsKeepTheirColumns) {
    SQLite::Statement insert(
        document::WorkDb(), "INSERT INTO DOVAZOV (PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, "
                            "ORIGINAL, DATE, COMMENT) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const auto add = [&](const std::vector<std::optional<QByteArray>>& texts,
                         std::optional<double> lat) {
        insert.reset();
        insert.clearBindings();
        insert.bind(1, 4);
        if (lat) {
            insert.bind(2, *lat);
            insert.bind(3, -*lat);
        }
        for (int k = 0; k < 5; ++k) {
            if (texts[static_cast<std::size_t>(k)]) {
                insert.bind(6 + k, texts[static_cast<std::size_t>(k)]->toStdString());
            }
        }
        insert.exec();
    };
    // SEX, DATUM, ORIGINAL, DATE, COMMENT
    add({std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}, std::nullopt);
    add({"", "NTF", "deg 1 2", "", "one\r\ntwo\rthree\nfour"}, 0.000004);
    add({"\xC3\xA9", "\xCE\xA9", "\xF0\x9F\x90\x9D 1 2", "2001/\xE2\x82\xAC/01",
         "\xE4\xB8\xAD\xF0\x9F\x90\x9D\xC5\x92"},
        -0.00001);
    add({"M", "EUR-M", "deg 1\xC3", std::nullopt, "bad \xC3(\x80"}, 12.34568);
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    ASSERT_TRUE(Save(path("table.deg")));
    const QList<QByteArray> written = ReadBytes(path("table.deg")).split('\n');
    const QByteArray blanks10(10, ' ');
    const std::vector<QByteArray> expected{
        "4K      999       999    0    0" + blanks10 + " " + QByteArray(29, ' ') + "\r",
        "4K +0.00000   0.00000    0    0" + blanks10 + " NTF  deg 1 2" + QByteArray(17, ' ') +
            "one two three four\r",
        // A character beyond the BMP takes two of its column's characters and is one "?".
        "4K -0.00001   0.00001    0    02001/\x80/01 \xE9?    ? 1 2" + QByteArray(18, ' ') +
            "??\x8C\r",
        // Bytes that are no UTF-8 become replacement characters, written "?".
        "4K+12.34568 -12.34568    0    0" + blanks10 + "MEUR-Mdeg 1?" + QByteArray(18, ' ') +
            "bad ?(?\r",
    };
    ASSERT_EQ(written.size(), 8 + 4 + 1);
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(written[static_cast<qsizetype>(8 + k)], expected[k]) << k;
    }
}

TEST_F(DistributionWriterTest, StandardDefinitionsOfAnOlderFileLeaveABlankLineBeforeEnd) {
    QFile hdr(document::StandardHeaderPath(programFolder()));
    ASSERT_TRUE(hdr.open(QIODevice::WriteOnly));
    hdr.write(";\r\nHAB,Habitat,3\r\n");
    hdr.close();
    {
        ScriptedPrompter quiet;
        quiet.expect(AnswerWith(Answer::Yes));
        ASSERT_TRUE(Open(Fixture("older.deg")));
    }
    ScriptedPrompter prompter;
    ASSERT_TRUE(Save(path("out.deg")));
    EXPECT_EQ(FileLines(path("out.deg")).mid(0, 6),
              (QStringList{"<DOVAZOV 2.0>", "EUR-M", ";", "HAB,Habitat,3", "", "<END>"}));
}

TEST_F(DistributionWriterTest, NullPositionsAreWrittenAsNoPosition) {
    Record r = At(1, 0, 0, 1, QString("x"));
    r.LATITUDE.reset();
    r.LONGITUDE.reset();
    r.PERIOD.reset();
    Add(r);
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    ASSERT_TRUE(Save(path("null.deg")));
    EXPECT_EQ(FileLines(path("null.deg")).last(), " K" + Blanks(6) + "999" + Blanks(7) +
                                                      "999    1    0" + Blanks(10) + "FEUR-M" +
                                                      Blanks(24) + "x");
    ASSERT_TRUE(Open(path("null.deg")));
    EXPECT_EQ(Table()[0].LATITUDE, 999.0F);
    EXPECT_EQ(Table()[0].LONGITUDE, 999.0F);
}

TEST_F(DistributionWriterTest, EmptyRecordsAndEmptyTables) {
    ScriptedPrompter prompter;
    Show(Document().SqlTri);
    EXPECT_FALSE(Save(path("none.deg"))); // an empty table writes nothing
    EXPECT_FALSE(QFileInfo::exists(path("none.deg")));

    Add(Record{});
    Add(Record{});
    Show(Document().SqlTri);
    Document().FileModified = -1;
    ASSERT_TRUE(Save(path("blank.deg")));
    const QStringList lines = FileLines(path("blank.deg"));
    EXPECT_EQ(lines.size(), 8); // header alone: no free fields, no records
    EXPECT_EQ(lines[2], "<END>");
    EXPECT_EQ(lines[3], "   "); // an empty title
    EXPECT_EQ(Document().FileModified, 0);
}

TEST_F(DistributionWriterTest, SaveKeepsABackup) {
    OpenFixture("nofields.deg");
    ScriptedPrompter prompter;
    const QString file = WriteFile("bees.deg", "previous");
    WriteFile("bees.BAK", "older backup");
    ASSERT_TRUE(document::SaveWithBackup(file, Texts()));
    EXPECT_EQ(ReadBytes(path("bees.BAK")), "previous");
    const QByteArray written = ReadBytes(file);
    EXPECT_TRUE(written.startsWith("<DOVAZOV 2.0>\r\nWGS84\r\n"));
    ASSERT_TRUE(document::SaveWithBackup(file, Texts()));
    EXPECT_EQ(ReadBytes(path("bees.BAK")), written);
    EXPECT_EQ(Entries(), (QStringList{"bees.BAK", "bees.deg"}));
}

TEST_F(DistributionWriterTest, SaveAsNamesTheDocument) {
    OpenFixture("nofields.deg");
    Document().FileModified = -1;
    ScriptedPrompter prompter;
    EXPECT_FALSE(document::SaveDocumentAs({}, Texts()));
    EXPECT_TRUE(document::SaveDocumentAs(path("as.deg"), Texts()));
    EXPECT_EQ(Document().CurrentFile, path("as.deg"));
    EXPECT_EQ(Document().FileModified, 0);
    EXPECT_TRUE(QFileInfo::exists(path("as.deg")));
}

TEST_F(DistributionWriterTest, GroupedSaveJoinsRecordsOfOnePosition) {
    Add(At(2, 51.0F, 5.0F, 1, QString("z"), "M", "NTF"));
    Add(At(1, 50.0F, 4.0F, 2, QString("a"), "F", "WGS84"));
    Add(At(1, 50.0F, 4.0F, 3, QString("")));
    Add(At(2, 51.0F, 5.0F, std::nullopt, std::nullopt));
    Add(At(1, 50.0F, 4.0F, 4, QString("b")));
    Add(At(2, 51.0F, 5.0F, 5, QString("x")));
    Add(At(2, 51.0F, 5.0F, 1, QString(""), "F", "EUR-M")); // after the sort it starts nothing
    Show(Document().SqlTri);
    Document().CurrentFile = path("own.deg");
    Document().FileModified = -1;
    ScriptedPrompter prompter;
    ASSERT_TRUE(Save(path("grouped.deg"), true));

    const QStringList lines = FileLines(path("grouped.deg"));
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[8],
              "1K+50.00000   4.00000    9    0" + Blanks(10) + "FWGS84" + Blanks(24) + "a,,b");
    EXPECT_EQ(lines[9],
              "2K+51.00000   5.00000    7    0" + Blanks(10) + "MNTF  " + Blanks(24) + "z,x,");
    EXPECT_EQ(Data1().recordSource(),
              "SELECT * FROM DOVAZOV ORDER BY [PERIOD], [LATITUDE], [LONGITUDE]");
    // Into another file than the document's own: the document is not saved.
    EXPECT_EQ(Document().FileModified, -1);
    ASSERT_TRUE(Save(path("own.deg"), true));
    EXPECT_EQ(Document().FileModified, 0);
    EXPECT_EQ(Table().size(), 7U); // the table is never changed
}

TEST_F(DistributionWriterTest, GroupedCommentsDropALeadingSeparatorAndStopAt255) {
    Add(At(1, 50.0F, 4.0F, 1, std::nullopt));
    Add(At(1, 50.0F, 4.0F, 1, QString("")));
    Add(At(1, 50.0F, 4.0F, 1, QString("x")));
    Add(At(3, 50.0F, 4.0F, 1, QString(200, 'a')));
    Add(At(3, 50.0F, 4.0F, 1, QString(100, 'b')));
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    ASSERT_TRUE(Save(path("g.deg"), true));
    const QStringList lines = FileLines(path("g.deg"));
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[8].mid(71), "x");
    EXPECT_EQ(lines[9].mid(71), QString(200, 'a') + "," + QString(54, 'b'));
}

TEST_F(DistributionWriterTest, GroupAndSaveAsksBeforeReplacingAFile) {
    Add(At(1, 50.0F, 4.0F, 1, QString("a")));
    Show(Document().SqlTri);
    Document().FileModified = -1;
    const QString file = WriteFile("exists.deg", "keep me");
    {
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(Answer::No));
        EXPECT_FALSE(document::GroupAndSave(file, Texts()));
        ASSERT_EQ(prompter.messages().size(), 1U);
        EXPECT_EQ(prompter.messages()[0].text, "File already exists! Replace?");
        EXPECT_EQ(prompter.messages()[0].defaultButton, 2);
        EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
        EXPECT_EQ(prompter.beeps(), 1);
        EXPECT_EQ(ReadBytes(file), "keep me");
        EXPECT_EQ(Document().FileModified, -1);
    }
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Yes));
    EXPECT_TRUE(document::GroupAndSave(file, Texts()));
    EXPECT_TRUE(ReadBytes(file).startsWith("<DOVAZOV 2.0>"));
    EXPECT_EQ(Document().FileModified, -1); // not the document's own file
}

TEST_F(DistributionWriterTest, AFileThatCannotBeCreatedIsToldOnce) {
    OpenFixture("current.deg");
    Document().FileModified = -1;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Ok));
    EXPECT_FALSE(Save(path("missing/folder/out.deg")));
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "Erreur pendant la sauvegarde\rNo such file or "
                                           "directory: " +
                                               path("missing/folder/out.deg"));
    EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::Ok);
    EXPECT_EQ(Document().FileModified, -1);
    EXPECT_FALSE(feedback_.messageShown);
}

TEST_F(DistributionWriterTest, AFieldThatCannotBeWrittenAsksWhetherToGoOn) {
    Add(At(1, 50.0F, 4.0F, 100000, QString("big")));
    Add(At(1, 51.0F, 4.0F, 1, QString("small")));
    Show(Document().SqlTri);
    const QString file = WriteFile("target.deg", "previous contents");

    { // No: the write ends and the previous file is untouched.
        Document().FileModified = 0;
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(Answer::No));
        EXPECT_FALSE(Save(file));
        ASSERT_EQ(prompter.messages().size(), 1U);
        EXPECT_EQ(prompter.messages()[0].text.section('\r', 0, 0), "Erreur pendant la sauvegarde");
        EXPECT_EQ(prompter.messages()[0].text.section('\r', -1), "Continuer?");
        EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::YesNo);
        EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::None);
        EXPECT_EQ(ReadBytes(file), "previous contents");
        EXPECT_EQ(Entries(), QStringList{"target.deg"});
        EXPECT_EQ(Document().FileModified, 0);
        EXPECT_EQ(prompter.beeps(), 1);
    }
    // Yes: the count keeps its columns, blank, and the document stays marked changed.
    Document().FileModified = 0;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Yes));
    EXPECT_TRUE(Save(file));
    const QStringList lines = FileLines(file);
    EXPECT_EQ(lines[lines.size() - 2],
              "1K+50.00000   4.00000         0" + Blanks(10) + "FEUR-M" + Blanks(24) + "big");
    EXPECT_EQ(lines.last().mid(71), "small");
    EXPECT_EQ(Document().FileModified, -1);
}

TEST_F(DistributionWriterTest, EverySaveWritesTheWholeDocumentWhateverTheGridShows) {
    AddNumbered(12); // r3, r6, r9 and r12 have the period 1
    const QStringList all{"r1", "r2", "r3", "r4",  "r5",  "r6",
                          "r7", "r8", "r9", "r10", "r11", "r12"};
    // A selection condition, or the record source a sort or a filter gives the grid; a list in
    // the table's order is kept implicit, and the save must leave it so.
    struct Case {
        QString condition;
        QString recordSource;
        QStringList written;
        bool implicit = false;
    };
    const std::vector<Case> cases{
        {{}, "DOVAZOV", all, true},
        {"PERIOD = 1",
         {},
         {"r3", "r6", "r9", "r12", "r1", "r2", "r4", "r5", "r7", "r8", "r10", "r11"},
         true},
        {"PERIOD = 9", {}, all, true}, // nothing shown
        {{},
         "SELECT * FROM DOVAZOV WHERE PERIOD = 1 ORDER BY N1 DESC",
         {"r12", "r9", "r6", "r3", "r1", "r2", "r4", "r5", "r7", "r8", "r10", "r11"}},
        {{},
         "SELECT * FROM DOVAZOV ORDER BY N1 DESC",
         {"r12", "r11", "r10", "r9", "r8", "r7", "r6", "r5", "r4", "r3", "r2", "r1"}},
    };
    using SaveCall = std::function<bool(const QString&)>;
    const std::vector<std::pair<const char*, SaveCall>> saves{
        {"save", [&](const QString& f) { return document::SaveWithBackup(f, Texts()); }},
        {"save as", [&](const QString& f) { return document::SaveDocumentAs(f, Texts()); }},
        // The save question and the automatic save write without a backup.
        {"plain", [&](const QString& f) { return Save(f); }},
    };
    for (const Case& c : cases) {
        for (const auto& [name, save] : saves) {
            SCOPED_TRACE((c.condition + c.recordSource).toStdString() + " / " + name);
            ScriptedPrompter prompter;
            if (c.condition.isEmpty()) {
                Show(c.recordSource);
            } else {
                ASSERT_EQ(document::ApplySelection(false, c.condition).label,
                          document::SelectionLabel::Shown);
            }
            const auto list = Data1().recordset().bookmarkList();
            ASSERT_EQ(list->byRow(), !c.implicit);
            Document().FileModified = -1;
            ASSERT_TRUE(save(path("whole.deg")));
            EXPECT_EQ(FileComments(path("whole.deg")), c.written);
            EXPECT_EQ(Document().FileModified, 0);
            EXPECT_EQ(list->byRow(), !c.implicit);
        }
    }
}

TEST_F(DistributionWriterTest, AFullDiskLeavesTheDocumentWholeUnderItsName) {
    AddNumbered(3000);
    Show(Document().SqlTri);
    const QString file = WriteFile("bees.deg", "previous");
    WriteFile("bees.BAK", "older");
    Document().FileModified = -1;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Ok));
    bool saved = true;
    {
        const testing_support::FileSizeLimit full(64 * 1024);
        saved = document::SaveWithBackup(file, Texts());
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(file), "previous");
    EXPECT_EQ(ReadBytes(path("bees.BAK")), "older");
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "Erreur pendant la sauvegarde\rFile too large: " + file);
    EXPECT_EQ(Document().FileModified, -1);
    EXPECT_EQ(Entries(), (QStringList{"bees.BAK", "bees.deg"}));
}

TEST_F(DistributionWriterTest, AKilledSaveLeavesTheDocumentWholeUnderItsName) {
    AddNumbered(20000);
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    ASSERT_TRUE(Save(path("reference.deg")));
    const QByteArray reference = ReadBytes(path("reference.deg"));
    const QString file = WriteFile("bees.deg", "previous");
    // Killed once the new file, whatever its name, holds half the document.
    const QStringList others{"bees.deg", "bees.BAK", "reference.deg", "dovazov_tmp.mdb",
                             "dovazov_tmp.mdb-journal"};
    const bool killed = testing_support::KillDuringSave(
        [&] { return testing_support::NewFileHolds(folder(), others, reference.size() / 2); },
        [&] { document::SaveWithBackup(file, Texts()); });
    const QByteArray found = ReadBytes(file);
    EXPECT_TRUE(found == "previous" || found == reference)
        << found.size() << " bytes, " << (killed ? "killed" : "finished");
}

TEST_F(DistributionWriterTest, SavingThroughALinkKeepsTheLinkAndWritesTheFileItNames) {
    OpenFixture("nofields.deg");
    ASSERT_TRUE(QDir(folder()).mkdir("real"));
    WriteFile("real/bees.deg", "previous");
    ASSERT_EQ(::symlink("real/bees.deg", QFile::encodeName(path("bees.deg")).constData()), 0);
    ScriptedPrompter prompter;
    ASSERT_TRUE(document::SaveWithBackup(path("bees.deg"), Texts()));
    EXPECT_TRUE(QFileInfo(path("bees.deg")).isSymLink());
    EXPECT_TRUE(ReadBytes(path("real/bees.deg")).startsWith("<DOVAZOV 2.0>\r\nWGS84\r\n"));
    EXPECT_EQ(ReadBytes(path("bees.BAK")), "previous");
}

TEST_F(DistributionWriterTest, PeriodLineOfThreePeriods) {
    Add(At(1, 50.0F, 4.0F, 1, QString("a")));
    Show(Document().SqlTri);
    document::InstallPeriodScheme({2, 1990, 2000});
    ScriptedPrompter prompter;
    ASSERT_TRUE(Save(path("p.deg")));
    EXPECT_EQ(FileLines(path("p.deg"))[5], " 0000 - 1989   1990 - 1999   2000 - " + ThisYear());
}

} // namespace

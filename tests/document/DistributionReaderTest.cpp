#include "DistributionFixture.h"
#include "document/Periods.h"
#include "platform/ProgramSettings.h"

namespace {

using document::Data1;
using document::Document;
using document::Record;
using platform::Answer;
using testing_support::AnswerWith;
using testing_support::DistributionTest;
using testing_support::ScriptedPrompter;

QString Padded(const QString& text, int width) {
    return text.leftJustified(width, QLatin1Char(' '));
}
QString Blanks(int count) {
    return QString(count, QLatin1Char(' '));
}

class DistributionReaderTest : public DistributionTest {
protected:
    // A document as the user had it before a read: the current-layout fixture, marked changed.
    void OpenStartDocument() {
        ScriptedPrompter none;
        ASSERT_TRUE(Open(Fixture("current.deg")));
        Document().FileModified = -1;
        Document().CurrentFile = QStringLiteral("/data/bees.deg");
        caption_ = QStringLiteral("before");
        recent_.clear();
        feedback_.messages.clear();
        feedback_.progress.clear();
    }

    // Everything a failed read must leave as it was.
    struct Snapshot {
        std::vector<Record> table;
        document::FreeFieldModel fields;
        document::PeriodScheme periods;
        std::string destCode;
        std::int16_t destIndex;
        int fileModified;
        QString currentFile, caption, title, comment, recordSource;
        int rows;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Take() const {
        return {Table(),
                document::CurrentFreeFields(),
                document::CurrentPeriodScheme(),
                geodesy::Datums().DestCode,
                geodesy::Datums().DestIndex,
                Document().FileModified,
                Document().CurrentFile,
                caption_,
                title_,
                comment_,
                Data1().recordSource(),
                Data1().recordset().recordCount()};
    }

    // A current-layout file with the fixture's datum and free fields and one record.
    static QStringList CurrentHeader(const QString& datum, const QStringList& block) {
        QStringList lines{"<DOVAZOV 2.0>", datum};
        lines += block;
        lines += QStringList{"<END>",          "Merged",
                             "Other comment",  " 0000 - 1989   1990 - 2011   0 - 0",
                             StatisticsLine(), "Other comment"};
        return lines;
    }
    static QString OneRecord() {
        return "1K+50.00000   4.00000    1    0" + Blanks(11) + "EUR-M" + Padded("deg 50 4", 24) +
               "a/b/";
    }
};

TEST_F(DistributionReaderTest, OpensTheCurrentLayout) {
    ScriptedPrompter prompter;
    document::InstallPeriodScheme({0, 0, 1234});
    const QString file = Fixture("current.deg");
    Document().CurrentFile = file;
    ASSERT_TRUE(Open(file));

    const std::vector<Record> rows = Table();
    ASSERT_EQ(rows.size(), 5U);
    struct Expected {
        int period;
        float lat, lon;
        int n1, n2;
        std::optional<QString> sex, datum, original, date, comment;
    };
    const Expected expected[] = {
        {1, 50.85F, 4.35F, 3, 0, "F", "NTF  ", Padded("deg 50.85 4.35", 24), "1988/05/12",
         "/pond/nest"},
        // bng imposes its datum; an empty sex column is no value.
        {2, 5.25F, 12.5F, 120, 7, std::nullopt, "OGB-M", Padded("bng TQ 3080", 24), "2001/__/__",
         "//nest"},
        // An old ellipsoid name; utm keeps its datum in the current layout.
        {2, -3.5F, -12.5F, 0, 0, "M", "OGB-M", Padded("utm 31 571670 5539221", 24), Blanks(10),
         "//"},
        // A line whose trailing blanks were stripped: no datum, no coordinate text.
        {1, 51.0F, 5.0F, 1, 0, "F", std::nullopt, std::nullopt, "2005/06/01", "//"},
        {3, 50.5F, 4.5F, 0, 0, std::nullopt, "EUR-M", Padded("deg 50.5 4.5", 24), Blanks(10),
         QString::fromUtf8("Prairie/Fauchée/haie")},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Record& r = rows[i];
        const Expected& e = expected[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(r.PERIOD, e.period);
        EXPECT_EQ(r.LATITUDE, e.lat);
        EXPECT_EQ(r.LONGITUDE, e.lon);
        EXPECT_EQ(r.N1, e.n1);
        EXPECT_EQ(r.N2, e.n2);
        EXPECT_EQ(r.SEX, e.sex);
        EXPECT_EQ(r.DATUM, e.datum);
        EXPECT_EQ(r.ORIGINAL, e.original);
        EXPECT_EQ(r.DATE, e.date);
        EXPECT_EQ(r.COMMENT, e.comment);
    }

    const document::DocumentState& doc = Document();
    ASSERT_EQ(doc.FreeFieldCount, 2);
    EXPECT_EQ(doc.FreeFields[0].Code, "HAB");
    EXPECT_EQ(doc.FreeFields[1].Code, "ALT ");
    EXPECT_EQ(doc.FreeFields[1].Label, " Altitude");
    EXPECT_EQ(doc.FreeFields[1].Number, 5);
    EXPECT_EQ(doc.FreeFieldSeparator, "/");
    // The blank line of the block is not kept.
    EXPECT_EQ(doc.FreeFieldHeader, "/\r\nHAB,Habitat,3\r\nALT , Altitude, 5,extra");
    EXPECT_EQ(document::CurrentPeriodScheme(), (document::PeriodScheme{1, 1990, 1234}));
    EXPECT_EQ(geodesy::Datums().DestCode, "EUR-M");
    EXPECT_EQ(geodesy::Datums().DestIndex, geodesy::DatumIndex("EUR-M"));
    EXPECT_EQ(statusDatum_, "EUR-M");
    EXPECT_EQ(title_, "Abeilles de Wallonie");
    EXPECT_EQ(comment_, QString::fromUtf8("Relevés 1985-2010"));
    EXPECT_EQ(doc.FileModified, 0);
    EXPECT_EQ(caption_, "DOVazov - " + file);
    EXPECT_EQ(recent_, QStringList{file});
    EXPECT_EQ(Data1().recordSource(), doc.SqlTri);
    EXPECT_EQ(Data1().recordset().recordCount(), 5);

    EXPECT_EQ(feedback_.messages, QStringList{"Opening...\r\r" + file});
    EXPECT_FALSE(feedback_.messageShown);
    EXPECT_FALSE(feedback_.progressShown);
    ASSERT_FALSE(feedback_.progress.empty());
    EXPECT_EQ(feedback_.progress.front(), 0);
    EXPECT_EQ(feedback_.progress.back(), 100);
    for (const int value : feedback_.progress) {
        EXPECT_EQ(value % 10, 0);
    }
    EXPECT_EQ(prompter.beeps(), 0);
}

TEST_F(DistributionReaderTest, OpensTheOlderLayoutAndRecomputesPositions) {
    ScriptedPrompter prompter;
    ASSERT_TRUE(Open(Fixture("older.deg")));

    EXPECT_EQ(title_, "Carabes de Lorraine");
    EXPECT_EQ(comment_, "Ancien format");
    EXPECT_EQ(document::CurrentPeriodScheme(), (document::PeriodScheme{2, 1990, 2000}));
    EXPECT_EQ(geodesy::Datums().DestCode, "EUR-M"); // the document's datum stays
    EXPECT_EQ(Document().FreeFieldCount, 0);
    EXPECT_EQ(Document().FileModified, -1); // short record lines were met

    const std::vector<Record> rows = Table();
    ASSERT_EQ(rows.size(), 5U);        // the line after "fin du fichier" is not read
    EXPECT_EQ(rows[0].DATUM, "EUR-M"); // HAYFO
    EXPECT_EQ(rows[1].DATUM, "OGB-M"); // bng, whatever its column says
    EXPECT_EQ(rows[2].DATUM, "EUR-M"); // utm in the older layout
    EXPECT_EQ(rows[3].DATUM, "EUR-M"); // short lines
    EXPECT_EQ(rows[3].ORIGINAL, "deg +50,50000 4,25000");
    EXPECT_EQ(rows[4].ORIGINAL, "deg +49.00000 6.00000");
    EXPECT_EQ(rows[3].DATE, "");
    EXPECT_EQ(rows[3].SEX, std::nullopt);
    EXPECT_EQ(rows[1].DATE, Padded("1975", 10));

    // Degree texts in the destination datum come back exactly; the grid references land where
    // they name (central London, and UTM 31 571670 5539221 near 50.0 N 4.0 E).
    EXPECT_EQ(rows[0].LATITUDE, 50.85F);
    EXPECT_EQ(rows[0].LONGITUDE, 4.35F);
    EXPECT_EQ(rows[3].LATITUDE, 50.5F);
    EXPECT_EQ(rows[3].LONGITUDE, 4.25F);
    EXPECT_EQ(rows[4].LATITUDE, 49.0F);
    EXPECT_EQ(rows[4].LONGITUDE, 6.0F);
    EXPECT_NEAR(*rows[1].LATITUDE, 51.51, 0.02);
    EXPECT_NEAR(*rows[1].LONGITUDE, -0.12, 0.02);
    EXPECT_NEAR(*rows[2].LATITUDE, 50.0, 0.05);
    EXPECT_NEAR(*rows[2].LONGITUDE, 4.0, 0.05);
    EXPECT_EQ(statusDatum_, "EUR-M");
    EXPECT_EQ(prompter.beeps(), 1); // the recompute's
}

TEST_F(DistributionReaderTest, OlderLayoutTakesTheStandardDefinitionsWhenWanted) {
    QFile hdr(document::StandardHeaderPath(programFolder()));
    ASSERT_TRUE(hdr.open(QIODevice::WriteOnly));
    hdr.write(";\r\nHAB,Habitat,3\r\nALT,Altitude,5\r\n");
    hdr.close();
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(answer));
        ASSERT_TRUE(Open(Fixture("older.deg")));
        ASSERT_EQ(prompter.messages().size(), 1U);
        EXPECT_EQ(prompter.messages()[0].text, "Use standard configuration of free fields?");
        EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Question);
        const std::vector<Record> rows = Table();
        if (answer == Answer::Yes) {
            EXPECT_EQ(Document().FreeFieldCount, 2);
            EXPECT_EQ(Document().FreeFieldSeparator, ";");
            // Each line of "standard.hdr" is followed by CR LF here, the last one too.
            EXPECT_EQ(Document().FreeFieldHeader, ";\r\nHAB,Habitat,3\r\nALT,Altitude,5\r\n");
            EXPECT_EQ(rows[1].COMMENT, ";;Londres");
            EXPECT_EQ(rows[3].COMMENT, ";;");
        } else {
            EXPECT_EQ(Document().FreeFieldCount, 0);
            EXPECT_EQ(rows[1].COMMENT, "Londres");
        }
    }
}

TEST_F(DistributionReaderTest, AnEmptyBlockLeavesNoFreeFields) {
    OpenStartDocument();
    ScriptedPrompter prompter;
    ASSERT_TRUE(Open(Fixture("nofields.deg")));
    EXPECT_EQ(Document().FreeFieldCount, 0);
    EXPECT_EQ(Document().FreeFieldHeader, "");
    EXPECT_EQ(title_, "   ");
    EXPECT_EQ(geodesy::Datums().DestCode, "WGS84");
    EXPECT_EQ(geodesy::Datums().DestIndex, geodesy::DatumIndex("WGS84"));
    EXPECT_EQ(document::CurrentPeriodScheme().PeriodOption, 0);
    ASSERT_EQ(Table().size(), 1U);
    EXPECT_EQ(Table()[0].COMMENT, "seul");
}

TEST_F(DistributionReaderTest, AnEmptySeparatorFieldGivesTheSeparatorSlash) {
    ScriptedPrompter prompter;
    const QString file =
        WriteFile("emptysep.deg", Lines(CurrentHeader("EUR-M", {"", "HAB,Habitat,3"})
                                        << "1K+50.00000   4.00000    1    0" + Blanks(11) +
                                               "EUR-M" + Padded("deg 50 4", 24) + "nest"));
    ASSERT_TRUE(Open(file));
    EXPECT_EQ(Document().FreeFieldSeparator, "/");
    // The header holds the field as read: empty.
    EXPECT_EQ(Document().FreeFieldHeader, "\r\nHAB,Habitat,3");
    EXPECT_EQ(Document().FreeFieldCount, 1);
    EXPECT_EQ(Table()[0].COMMENT, "/nest");
}

TEST_F(DistributionReaderTest, AnUnknownDatumKeepsItsCodeAndShiftsToEurM) {
    ScriptedPrompter prompter;
    const QString file = WriteFile("unknown.deg", Lines(CurrentHeader("XYZ", {}) << OneRecord()));
    ASSERT_TRUE(Open(file));
    EXPECT_EQ(geodesy::Datums().DestCode, "XYZ");
    EXPECT_EQ(geodesy::Datums().DestIndex, geodesy::DatumIndex("EUR-M"));
}

TEST_F(DistributionReaderTest, MergingAppendsRecordsAndTexts) {
    OpenStartDocument();
    const auto fieldsBefore = document::CurrentFreeFields();
    ScriptedPrompter prompter;
    ASSERT_TRUE(Merge(Fixture("current.deg")));
    EXPECT_EQ(Table().size(), 10U);
    EXPECT_EQ(title_, "Abeilles de Wallonie - Abeilles de Wallonie");
    EXPECT_EQ(comment_, QString::fromUtf8("Relevés 1985-2010-Relevés 1985-2010"));
    EXPECT_EQ(Document().FileModified, -1);
    EXPECT_EQ(Document().CurrentFile, "/data/bees.deg");
    EXPECT_EQ(caption_, "DOVazov - /data/bees.deg");
    EXPECT_EQ(recent_, QStringList{Fixture("current.deg")});
    EXPECT_EQ(document::CurrentFreeFields(), fieldsBefore);

    // A second merge doubles them again and appends the title once more.
    ASSERT_TRUE(Merge(Fixture("current.deg")));
    EXPECT_EQ(Table().size(), 15U);
    EXPECT_EQ(title_, "Abeilles de Wallonie - Abeilles de Wallonie - Abeilles de Wallonie");
}

TEST_F(DistributionReaderTest, MergeRefusalsChangeNothing) {
    struct Case {
        const char* what;
        QString datum;
        QStringList block;
        QString message;
    };
    const QString fields = "Field definition not compatible with current file!\r\n";
    const Case cases[] = {
        {"other datum", "WGS84", {"/", "HAB,Habitat,3"}, "Datum not compatible with current file."},
        {"other label",
         "EUR-M",
         {"/", "HAB,Habitat,3", "ALT , Hauteur, 5"},
         fields + "ALT , Hauteur, 5"},
        {"other number", "EUR-M", {"/", "HAB,Habitat,4"}, fields + "HAB,Habitat,4"},
        {"one definition too many",
         "EUR-M",
         {"/", "HAB,Habitat,3", "ALT,Altitude,5", "SOL,Sol,1,x"},
         fields + "SOL,Sol,1"},
        {"other separator", "EUR-M", {";", "HAB,Habitat,3"}, fields + ";"},
    };
    OpenStartDocument();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString file =
            WriteFile("refused.deg", Lines(CurrentHeader(c.datum, c.block) << OneRecord()));
        const Snapshot before = Take();
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(Answer::Ok));
        EXPECT_FALSE(Merge(file));
        ASSERT_EQ(prompter.messages().size(), 1U);
        EXPECT_EQ(prompter.messages()[0].text, c.message);
        EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Critical);
        EXPECT_EQ(prompter.beeps(), 0);
        EXPECT_TRUE(Take() == before);
        EXPECT_TRUE(recent_.isEmpty());
    }
}

TEST_F(DistributionReaderTest, MergeAcceptsTrimmedDatumsAndFewerDefinitions) {
    OpenStartDocument();
    const auto fieldsBefore = document::CurrentFreeFields();
    ScriptedPrompter prompter;
    const QString file = WriteFile(
        "fewer.deg", Lines(CurrentHeader(" eur-m ", {"/", " hab , HABITAT , 3.0"}) << OneRecord()));
    ASSERT_TRUE(Merge(file));
    EXPECT_EQ(Table().size(), 6U);
    // The document keeps its own header and definitions.
    EXPECT_EQ(document::CurrentFreeFields(), fieldsBefore);
    EXPECT_EQ(Table().back().COMMENT, "a/b/");
}

TEST_F(DistributionReaderTest, MergeIntoADocumentWithoutFieldsTakesTheFilesDefinitions) {
    {
        ScriptedPrompter prompter;
        ASSERT_TRUE(Open(Fixture("nofields.deg")));
    }
    geodesy::Datums().DestCode = "EUR-M";
    ScriptedPrompter prompter;
    ASSERT_TRUE(Merge(Fixture("current.deg")));
    EXPECT_EQ(Document().FreeFieldCount, 2);
    EXPECT_EQ(Document().FreeFieldHeader, "/\r\nHAB,Habitat,3\r\nALT , Altitude, 5,extra");
    EXPECT_EQ(Table()[1].COMMENT, "/pond/nest");
}

TEST_F(DistributionReaderTest, MergingAnOlderFileIsNotCheckedNorRecomputed) {
    OpenStartDocument();
    geodesy::Datums().DestCode = "WGS84";
    ScriptedPrompter prompter;
    ASSERT_TRUE(Merge(Fixture("older.deg")));
    const std::vector<Record> rows = Table();
    ASSERT_EQ(rows.size(), 10U);
    EXPECT_EQ(rows[6].LATITUDE, 0.0F);       // as read: no recompute after a merge
    EXPECT_EQ(rows[6].COMMENT, "//Londres"); // the document's two free fields
    EXPECT_EQ(prompter.beeps(), 0);
}

TEST_F(DistributionReaderTest, AFailedReadLeavesTheDocumentAsItWas) {
    const QString header = "<DOVAZOV 2.0>\r\nEUR-M\r\n/\r\nHAB,Habitat,3\r\nALT , Altitude, 5\r\n"
                           "<END>\r\nT\r\nC\r\n 0000 - 2011   0 - 0   0 - 0\r\nS\r\nC\r\n";
    struct Case {
        const char* what;
        QByteArray bytes;
        QString message;
        bool recomputed = false;
    };
    const Case cases[] = {
        {"empty file", "", "Input past end of file\r\rLine 1"},
        {"header cut short", "<DOVAZOV 2.0>\r\nEUR-M\r\n/\r\n", "Input past end of file\r\rLine 4"},
        {"definition of two parts", "<DOVAZOV 2.0>\r\nEUR-M\r\n/\r\nHAB,Habitat\r\n<END>\r\n", ""},
        {"count too large", header.toLatin1() + "1K+50.00000   4.00000 9e99    0\r\n",
         "Overflow\r\rLine 12, field N1"},
        {"record line without an end, longer than any line may be",
         header.toLatin1() + QByteArray((1 << 20) + 1, 'x'),
         "Out of string space: line 12 of " + path("broken.deg") + " is longer than 1048576 bytes"},
        {"older file whose text fails its conversion",
         "T\r\nC\r\n 0000 - 2011   0 - 0   0 - 0\r\nS\r\nC\r\n1K+50.00000   4.00000    1    0" +
             QByteArray(11, ' ') + "EUR-Mlmb 1e308 1e308",
         "", true},
    };
    for (const int mode : {document::kOpenMode, document::kMergeMode}) {
        OpenStartDocument();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (mode == 0 ? " (open)" : " (merge)"));
            const QString file = WriteFile("broken.deg", c.bytes);
            const Snapshot before = Take();
            ScriptedPrompter prompter;
            prompter.expect(AnswerWith(Answer::Ok));
            const bool read = mode == document::kOpenMode ? Open(file) : Merge(file);
            if (mode == document::kMergeMode && c.recomputed) {
                // A merge does not recompute: the file reads.
                EXPECT_TRUE(read);
                prompter.message({}); // the answer prepared for a failure
                OpenStartDocument();
                continue;
            }
            EXPECT_FALSE(read);
            ASSERT_EQ(prompter.messages().size(), 1U);
            if (!c.message.isEmpty()) {
                EXPECT_EQ(prompter.messages()[0].text, c.message);
            }
            EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::None);
            EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::Ok);
            EXPECT_EQ(prompter.beeps(), 1);
            EXPECT_TRUE(Take() == before);
            EXPECT_TRUE(recent_.isEmpty());
            EXPECT_FALSE(feedback_.messageShown);
            EXPECT_FALSE(feedback_.progressShown);
        }
    }
}

// A bad record line is named by its number and field after the error's own text, in the chosen
// language; the table's refusals too.
TEST_F(DistributionReaderTest, AFailureNamesTheLineAndTheField) {
    const QByteArray header = "<DOVAZOV 2.0>\r\nEUR-M\r\n<END>\r\nT\r\nC\r\n"
                              " 0000 - 2011   0 - 0   0 - 0\r\nS\r\nC\r\n";
    const QByteArray good = "1K+50.00000   4.00000    1    0\r\n";
    struct Case {
        const char* what;
        QByteArray records;
        int langue;
        QString message;
    };
    const Case cases[] = {
        {"first count", good + "1K+50.00000   4.00000 9e99    0\r\n", platform::kDutch,
         "Overflow\r\rRegel 10, veld N1"},
        {"second count", good + good + "1K+50.00000   4.00000    1 9e99\r\n", platform::kFrench,
         "Overflow\r\rLigne 11, champ N2"},
        {"latitude", "1K+9e99999   4.00000    1    0\r\n", platform::kGerman,
         "Overflow\r\rZeile 9, Feld LATITUDE"},
        {"binary bytes where the datum stands",
         "1K+50.00000   4.00000    1    0" + QByteArray(11, ' ') + QByteArray(5, '\0') +
             "deg 50 4\r\n",
         platform::kEnglish, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::SetLangue(c.langue);
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(Answer::Ok));
        EXPECT_FALSE(Open(WriteFile("bad.deg", header + c.records)));
        ASSERT_EQ(prompter.messages().size(), 1U);
        const QString text = prompter.messages()[0].text;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(text, c.message);
        } else {
            EXPECT_TRUE(text.endsWith("\r\rLine 9, field DATUM")) << text.toStdString();
        }
    }
    platform::SetLangue(platform::kEnglish);
}

TEST_F(DistributionReaderTest, FailuresAreSilentWithSilence) {
    platform::Settings().Silence = 1;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Ok));
    EXPECT_FALSE(Open(WriteFile("empty.deg", "")));
    EXPECT_EQ(prompter.beeps(), 0);
}

TEST_F(DistributionReaderTest, AMissingFileIsToldWithoutBeep) {
    OpenStartDocument();
    const Snapshot before = Take();
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Ok));
    EXPECT_FALSE(document::OpenDistribution(path("nowhere.deg"), hooks_));
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "File not found\r\r" + path("nowhere.deg"));
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Critical);
    EXPECT_EQ(prompter.beeps(), 0);
    EXPECT_TRUE(Take() == before);
}

TEST_F(DistributionReaderTest, OpenDistributionNamesTheFileOnlyOnceRead) {
    OpenStartDocument();
    {
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(Answer::Ok));
        EXPECT_FALSE(document::OpenDistribution(WriteFile("empty.deg", ""), hooks_));
        EXPECT_EQ(Document().CurrentFile, "/data/bees.deg");
        EXPECT_EQ(caption_, "before");
    }
    ScriptedPrompter prompter;
    EXPECT_TRUE(document::OpenDistribution(Fixture("nofields.deg"), hooks_));
    EXPECT_EQ(Document().CurrentFile, Fixture("nofields.deg"));
    EXPECT_EQ(caption_, "DOVazov - " + Fixture("nofields.deg"));
}

TEST_F(DistributionReaderTest, ShortLinesOfTheCurrentLayoutMarkTheDocumentChanged) {
    ScriptedPrompter prompter;
    QStringList lines = CurrentHeader("EUR-M", {});
    lines << "1K+50.00000   4.00000    1    0"
          << "1K+50.00000   4.00000    1    0200"; // 35 characters: no datum nor text
    ASSERT_TRUE(Open(WriteFile("short.deg", Lines(lines))));
    const std::vector<Record> rows = Table();
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].ORIGINAL, "deg +50.00000 4.00000");
    EXPECT_EQ(rows[0].DATUM, "EUR-M");
    EXPECT_EQ(rows[1].DATE, "200");
    EXPECT_EQ(rows[1].DATUM, std::nullopt);
    EXPECT_EQ(rows[1].ORIGINAL, std::nullopt);
    EXPECT_EQ(Document().FileModified, -1);
}

TEST_F(DistributionReaderTest, ReadsLinesEndedByLineFeedsOrCarriageReturns) {
    QByteArray crlf = ReadBytes(Fixture("current.deg"));
    ScriptedPrompter prompter;
    ASSERT_TRUE(Open(Fixture("current.deg")));
    const std::vector<Record> reference = Contents();
    for (const char* end : {"\n", "\r"}) {
        QByteArray bytes = crlf;
        bytes.replace("\r\n", end);
        ASSERT_TRUE(Open(WriteFile("ends.deg", bytes)));
        EXPECT_EQ(Contents(), reference);
    }
}

} // namespace

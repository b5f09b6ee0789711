#include "ImportFixture.h"
#include "exchange/ImportCommands.h"
#include "exchange/ImportCoordReader.h"
#include "platform/ProgramSettings.h"

#include <QLocale>

namespace {

using document::Record;
using import_test::ImportTest;
using testing_support::AnswerWith;
using testing_support::ErrorOf;
using testing_support::ScriptedPrompter;

class ImportCoordTest : public ImportTest {
protected:
    int Import(const QStringList& lines, int system, const char* end = "\r\n") {
        return exchange::ImportCoordRecords(WriteLines(QStringLiteral("in.txt"), lines, end),
                                            system);
    }
};

// The worked records: each layout, each way of writing ORIGINAL, and the grids' datums.
TEST_F(ImportCoordTest, WorkedRecordsOfEachLayout) {
    struct Case {
        int system;
        const char* line;
        const char* original;
        const char* datum;
    };
    const Case cases[] = {
        {0, "1,50.5,4.25,3,0,2004/05/01,dune", "deg +50.50000 +004.25000", "WGS84"},
        {1, "1,50.301525,-4.25,3,0,,", "dms +50.30153 -004.25000", "WGS84"},
        {2, "2,31,500000,-5600000,1,1,,x", "utm 31 500000 -5600000", "WGS84"},
        {3, "1,31ufs1234,1,1,,", "mgr 31 U FS1234", "WGS84"},
        {4, "1,55.5,2.25,1,1,,", "grp +55.50000 +002.25000", "NTF  "},
        {5, "1,tq12345678,1,1,,", "bng TQ 12345678", "OGB-M"},
        {6, "1,IO1234567890,1,1,,", "itm IO 1234567890", "IRL  "},
        {7, "1,150123.5,170456,1,1,,", "lmb 150123.5 170456", "BEL72"},
        {8, "1,h5.12.34,1,1,,", "ifb h5.12.34", "BEL72"},
        {10, "1,150123.5,170456,1,1,,", "lf2 150123.5 170456", "NTF  "},
        {14, "1,150123.5,170456,1,1,,", "nma 150123.5 170456", "MER  "},
        {7, "1,2400123.5,170456,1,1,,", "lmb 2400124 170456", "BEL72"},
    };
    for (const Case& c : cases) {
        document::WorkDb().exec("DELETE FROM DOVAZOV");
        Show(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
        ASSERT_EQ(Import({QString::fromLatin1(c.line)}, c.system), 1) << c.line;
        const Record r = Table().at(0);
        EXPECT_EQ(*r.ORIGINAL, QLatin1String(c.original)) << c.line;
        EXPECT_EQ(*r.DATUM, QLatin1String(c.datum)) << c.line;
    }
}

TEST_F(ImportCoordTest, CopiesTheOtherFieldsAndComputesThePosition) {
    ASSERT_EQ(Import({QStringLiteral("1,50.5,4.25,3,0,2004/05/01,\"dune, north\"")}, 0), 1);
    const Record r = Table().at(0);
    EXPECT_EQ(r.PERIOD, 1);
    EXPECT_EQ(r.N1, 3);
    EXPECT_EQ(r.N2, 0);
    EXPECT_EQ(r.DATE, QStringLiteral("2004/05/01"));
    EXPECT_EQ(r.COMMENT, QStringLiteral("dune, north"));
    EXPECT_FALSE(r.SEX);
    // WGS84 to WGS84: the position is the text's.
    EXPECT_FLOAT_EQ(*r.LATITUDE, 50.5F);
    EXPECT_FLOAT_EQ(*r.LONGITUDE, 4.25F);
    EXPECT_EQ(document::Document().FileModified, -1);
    EXPECT_EQ(document::Data1().recordset().recordCount(), 1);
}

TEST_F(ImportCoordTest, OneCommentLineBeforeEachRecordAndBlankLinesSkipped) {
    ASSERT_EQ(Import({QStringLiteral("* first"), QStringLiteral("1,50,4,1,1,,a"), QString(),
                      QStringLiteral("   "), QStringLiteral("* second"),
                      QStringLiteral("2,51,5,1,1,,b"), QString()},
                     0),
              2);
    EXPECT_EQ(*Table().at(1).COMMENT, QLatin1String("b"));
}

TEST_F(ImportCoordTest, ASecondCommentLineIsReadAsARecord) {
    ScriptedPrompter prompter;
    EXPECT_EQ(ErrorOf([&] {
                  Import({QStringLiteral("* one"), QStringLiteral("* two,50,4,1,1,,a")}, 0);
              }),
              common::kTypeMismatch);
}

TEST_F(ImportCoordTest, ARecordMayRunOverSeveralLines) {
    ASSERT_EQ(
        Import({QStringLiteral("1,50.5"), QStringLiteral("4.25,3,0"), QStringLiteral(",x")}, 0), 1);
    EXPECT_EQ(*Table().at(0).ORIGINAL, QLatin1String("deg +50.50000 +004.25000"));
}

TEST_F(ImportCoordTest, ReferencesTooShortGiveNoRecord) {
    EXPECT_EQ(Import({QStringLiteral("1,31uf,1,1,,"), QStringLiteral("1,31ufs,1,1,,")}, 3), 1);
    EXPECT_EQ(Import({QStringLiteral("1,tq1,1,1,,"), QStringLiteral("1,tq12,1,1,,")}, 5), 1);
    EXPECT_EQ(RowCount(), 2);
}

// Files written on Linux, on Windows and on old Macs read the same.
TEST_F(ImportCoordTest, EveryLineEndReadsTheSame) {
    const QStringList lines{QStringLiteral("1,50,4,1,1,,a"), QStringLiteral("1,51,5,1,1,,b")};
    EXPECT_EQ(Import(lines, 0, "\r\n"), 2);
    EXPECT_EQ(Import(lines, 0, "\n"), 2);
    EXPECT_EQ(Import(lines, 0, "\r"), 2);
    EXPECT_EQ(RowCount(), 6);
}

TEST_F(ImportCoordTest, TheDecimalCommaLocaleStillWritesPoints) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(Import({QStringLiteral("1,50.5,4.25,1,1,,")}, 4), 1);
    QLocale::setDefault(saved);
    EXPECT_EQ(*Table().at(0).ORIGINAL, QLatin1String("grp +50.50000 +004.25000"));
}

TEST_F(ImportCoordTest, AnEmptyFileStillRecomputesAndMarksTheDocument) {
    EXPECT_EQ(Import({QStringLiteral("* nothing here")}, 0), 0);
    EXPECT_EQ(document::Document().FileModified, -1);
}

// Each refusal leaves the table and the changed flag as they were, and names the line.
TEST_F(ImportCoordTest, ARefusedFileChangesNothingAndNamesTheLine) {
    struct Case {
        QStringList lines;
        int error;
        const char* where;
    };
    const QString longDate = QStringLiteral("1,50,4,1,1,2004/05/01/12,x");
    const Case cases[] = {
        {{QStringLiteral("1,50,4,1,1,,a"), QStringLiteral("1,50,4,1")},
         common::kInputPastEnd,
         "Line 2"},
        {{QStringLiteral("1,50,4,1,1,,a"), longDate}, 3163, "Line 2"},
        {{QStringLiteral("1,50,4,1,1,,a"), QStringLiteral("1,50,4,99999999999,1,,a")},
         common::kOverflow,
         "Line 2"},
        {{QStringLiteral("1,50,4,1,1,,a"), QStringLiteral("1,50,4,x1,1,,a")},
         common::kTypeMismatch,
         "Line 2"},
        {{QStringLiteral("1,50,4,1,1,,a"), QStringLiteral("1,5") + QChar(0) + QStringLiteral("0")},
         common::kTypeMismatch,
         "Line 2"},
        {{QStringLiteral("1,50,4,1,1,,a"), QStringLiteral("1,1e39,4,1,1,,a")},
         common::kOverflow,
         "Line 2"},
    };
    AddPeriods({7});
    Show(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
    for (const Case& c : cases) {
        try {
            Import(c.lines, 0);
            ADD_FAILURE() << c.lines.join(QLatin1Char('|')).toStdString();
        } catch (const common::AppError& e) {
            EXPECT_EQ(e.number(), c.error) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.where), std::string::npos) << e.what();
        }
        EXPECT_EQ(Periods(), std::vector<int>{7});
        EXPECT_EQ(document::Document().FileModified, 0);
    }
}

TEST_F(ImportCoordTest, TheMenuImportShowsItsMessageAndKeepsTheSnapping) {
    platform::Settings().UtmAjust = 3;
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    EXPECT_FALSE(exchange::ImportCoord(
        WriteLines(QStringLiteral("bad.txt"), {QStringLiteral("1,50,4")}), 0));
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_TRUE(prompter.messages()[0].text.startsWith(QStringLiteral("An error occured")));
    EXPECT_TRUE(prompter.messages()[0].text.contains(QStringLiteral("Line 1")));
    EXPECT_EQ(platform::Settings().UtmAjust, 3);
    EXPECT_EQ(RowCount(), 0);

    EXPECT_TRUE(exchange::ImportCoord(
        WriteLines(QStringLiteral("good.txt"), {QStringLiteral("1,50,4,1,1,,")}), 0));
    EXPECT_EQ(platform::Settings().UtmAjust, 0);
    EXPECT_EQ(RowCount(), 1);
}

// Positions are computed as the file is read, a block of rows at a time; an error of that
// computation still gives way to an error in any later line, and either leaves the table as it was.
TEST_F(ImportCoordTest, AnErrorInALaterLineComesBeforeAnErrorOfThePositions) {
    geodesy::Datums().UTMCode = "OGB-M";
    geodesy::SetDefaultDatumIndexes();
    QStringList lines{QStringLiteral("2,31,160000,-1,1,1,,x")}; // no position can be computed
    for (int i = 0; i < 5000; ++i) {                            // more than a block of rows
        lines.append(QStringLiteral("2,31,500000,5600000,1,1,,x"));
    }
    EXPECT_EQ(ErrorOf([&] { Import(lines, 2); }), common::kOverflow);
    lines.append(QStringLiteral("2,31,x500000,5600000,1,1,,x"));
    try {
        Import(lines, 2);
        ADD_FAILURE() << "the last line was taken";
    } catch (const common::AppError& e) {
        EXPECT_EQ(e.number(), common::kTypeMismatch);
        EXPECT_NE(std::string(e.what()).find("Line 5002"), std::string::npos) << e.what();
    }
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(document::Document().FileModified, 0);
}

TEST_F(ImportCoordTest, NoFileOrNoSystemDoesNothing) {
    EXPECT_FALSE(exchange::ImportCoord(QString(), 0));
    EXPECT_FALSE(exchange::ImportCoord(
        WriteLines(QStringLiteral("in.txt"), {QStringLiteral("1,50,4,1,1,,")}), 16));
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(document::Document().FileModified, 0);
}

} // namespace

#include "exchange/ImportPcx5.h"

#include "ImportFixture.h"
#include "document/FreeFields.h"
#include "exchange/ImportCommands.h"

#include <QLocale>

namespace {

using document::Record;
using import_test::AtColumns;
using import_test::ImportTest;
using testing_support::AnswerWith;
using testing_support::ChooseFile;
using testing_support::ErrorOf;
using testing_support::ScriptedPrompter;

// A waypoint line: name at column 4, positions at 11 and 23, the 5 characters at 55, and the
// date or the text at 61.
QString Waypoint(const QString& name, const QString& lat, const QString& lon,
                 const QString& at61 = {}, const QString& at55 = QStringLiteral("ABCDE")) {
    return AtColumns(
        {{1, QStringLiteral("W")}, {4, name}, {11, lat}, {23, lon}, {55, at55}, {61, at61}});
}

class ImportPcx5Test : public ImportTest {
protected:
    // The eleven header lines: the shift parameters on line 6, the position line 9.
    static QStringList Header(const QString& line9 = QStringLiteral("U  LAT LON DM"),
                              const QStringList& shift = {}) {
        QStringList lines;
        for (int i = 1; i <= 11; ++i) {
            lines.append(QStringLiteral("H  header line %1").arg(i));
        }
        std::vector<std::pair<int, QString>> pieces{{1, QStringLiteral("M  WGS 84")}};
        const int columns[] = {31, 45, 59, 73, 87};
        for (int i = 0; i < shift.size(); ++i) {
            pieces.emplace_back(columns[i], shift[i]);
        }
        lines[5] = AtColumns(pieces);
        lines[8] = line9;
        return lines;
    }
    int Import(const QStringList& lines) {
        return exchange::ImportPcx5Records(WriteLines(QStringLiteral("in.wpt"), lines));
    }
};

TEST_F(ImportPcx5Test, TheWorkedWaypoint) {
    ASSERT_EQ(Import(Header() +
                     QStringList{Waypoint(QStringLiteral("CAMP01"), QStringLiteral("N5030.600"),
                                          QStringLiteral("E00415.300"),
                                          QStringLiteral("27-MAR-98 00:00:00"))}),
              1);
    const Record r = Table().at(0);
    EXPECT_EQ(*r.ORIGINAL, QLatin1String("deg +50.51000 +004.25500"));
    EXPECT_EQ(*r.DATUM, QLatin1String("WGS84"));
    EXPECT_EQ(*r.DATE, QLatin1String("1998/03/27"));
    EXPECT_EQ(*r.COMMENT, QLatin1String("CAMP01 ABCDE"));
    EXPECT_EQ(r.PERIOD, 1);
    EXPECT_EQ(r.N1, 1);
    EXPECT_EQ(r.N2, 1);
    EXPECT_FLOAT_EQ(*r.LATITUDE, 50.51F);
    EXPECT_FLOAT_EQ(*r.LONGITUDE, 4.255F);
    EXPECT_EQ(document::Document().FileModified, -1);
}

TEST_F(ImportPcx5Test, SouthAndWestAndTheDateTest) {
    struct Case {
        const char* at61;
        const char* date;
        const char* comment;
    };
    const Case cases[] = {
        {"27-MAR-98 00:00:00", "1998/03/27", "P1 ABCDE"},
        {"27-MAR-02 00:00:00", "2002/03/27", "P1 ABCDE"}, // not 1902
        {"27-MAR-80 00:00:00", "1980/03/27", "P1 ABCDE"},
        {"27-Mar-98 00:00:00", "", "P1 ABCDE"},
        {"near the bridge", "", "P1 near the bridge ABCDE"},
    };
    for (const Case& c : cases) {
        document::WorkDb().exec("DELETE FROM DOVAZOV");
        ASSERT_EQ(Import(Header() +
                         QStringList{Waypoint(QStringLiteral("P1"), QStringLiteral("S0130.000"),
                                              QStringLiteral("W00015.000"),
                                              QString::fromLatin1(c.at61))}),
                  1);
        const Record r = Table().at(0);
        EXPECT_EQ(*r.ORIGINAL, QLatin1String("deg -01.50000 -000.25000"));
        EXPECT_EQ(*r.DATE, QLatin1String(c.date)) << c.at61;
        EXPECT_EQ(r.COMMENT->simplified(), QLatin1String(c.comment)) << c.at61;
    }
}

TEST_F(ImportPcx5Test, FreeFieldsGetEmptyValuesAndTheSeparatorIsBlanked) {
    document::FreeFieldModel model;
    model.FreeFieldSeparator = QStringLiteral("/");
    for (const char* line : {"STAT.TOPO,Topo,1", "STAT.ALTI,Alti,2", "STAT.DESI,Desi,3"}) {
        document::AddDefinitionLine(model, QLatin1String(line));
    }
    document::InstallFreeFields(model);
    ASSERT_EQ(Import(Header() +
                     QStringList{Waypoint(QStringLiteral("CAMP01"), QStringLiteral("N5030.600"),
                                          QStringLiteral("E00415.300"), QStringLiteral("a/b"))}),
              1);
    EXPECT_TRUE(Table().at(0).COMMENT->startsWith(QLatin1String("///CAMP01 a b")));
}

// A blank line after the waypoints is no waypoint at 0, 0.
TEST_F(ImportPcx5Test, BlankLinesAreSkipped) {
    EXPECT_EQ(
        Import(Header() + QStringList{Waypoint(QStringLiteral("A"), QStringLiteral("N5030.600"),
                                               QStringLiteral("E00415.300")),
                                      QString(), QStringLiteral("   ")}),
        1);
}

TEST_F(ImportPcx5Test, AShiftedDatumMovesThePosition) {
    // da, df, dx, dy, dz of a local datum towards WGS84: the position moves by about 100 m.
    ASSERT_EQ(
        Import(Header(QStringLiteral("U  LAT LON DM"),
                      {QStringLiteral("-251"), QStringLiteral("-1.419270E-05"),
                       QStringLiteral("-87"), QStringLiteral("-98"), QStringLiteral("-121")}) +
               QStringList{Waypoint(QStringLiteral("A"), QStringLiteral("N5030.600"),
                                    QStringLiteral("E00415.300"))}),
        1);
    const Record r = Table().at(0);
    EXPECT_NE(*r.ORIGINAL, QLatin1String("deg +50.51000 +004.25500"));
    EXPECT_NEAR(*r.LATITUDE, 50.51, 0.01);
    EXPECT_NEAR(*r.LONGITUDE, 4.255, 0.01);
}

TEST_F(ImportPcx5Test, ThePositionLineMustBeExact) {
    for (const char* line9 : {"U  LAT LON DM ", "u  lat lon dm", "U  LAT LON DMS"}) {
        EXPECT_THROW(Import(Header(QLatin1String(line9))), exchange::Pcx5NotLatLonDm) << line9;
    }
    EXPECT_EQ(RowCount(), 0);
}

TEST_F(ImportPcx5Test, ElevenLinesAppendNothingButMarkTheDocument) {
    EXPECT_EQ(Import(Header()), 0);
    EXPECT_EQ(document::Document().FileModified, -1);
}

TEST_F(ImportPcx5Test, ARefusedFileChangesNothingAndNamesTheLine) {
    AddPeriods({7});
    const QString good =
        Waypoint(QStringLiteral("A"), QStringLiteral("N5030.600"), QStringLiteral("E00415.300"));
    struct Case {
        QStringList lines;
        int error;
        const char* where;
    };
    const Case cases[] = {
        {Header().mid(0, 10), common::kInputPastEnd, "Line 11"},
        {Header() + QStringList{good, good + QChar(1)}, common::kTypeMismatch, "Line 13"},
        {Header() + QStringList{good, Waypoint(QStringLiteral("A"), QStringLiteral("N50309e99"),
                                               QStringLiteral("E00415.300"))},
         common::kOverflow, "Line 13"},
        {Header() + QStringList{good, QString(5000, QLatin1Char('x'))}, 14, "line 13"},
    };
    for (const Case& c : cases) {
        try {
            Import(c.lines);
            ADD_FAILURE() << c.where;
        } catch (const common::AppError& e) {
            EXPECT_EQ(e.number(), c.error) << e.what();
            EXPECT_NE(QString::fromStdString(e.what()).indexOf(QLatin1String(c.where), 0,
                                                               Qt::CaseInsensitive),
                      -1)
                << e.what();
        }
        EXPECT_EQ(Periods(), std::vector<int>{7});
        EXPECT_EQ(document::Document().FileModified, 0);
    }
}

TEST_F(ImportPcx5Test, TheMenuImportAsksForTheFileAndRefusesOtherPositions) {
    {
        ScriptedPrompter prompter;
        prompter.expect(ChooseFile(QString()));
        exchange::ImportGarmin();
        EXPECT_TRUE(prompter.messages().empty());
    }
    ScriptedPrompter prompter;
    prompter.expect(ChooseFile(
        WriteLines(QStringLiteral("dms.wpt"), Header(QStringLiteral("U  LAT LON DMS")))));
    prompter.expect(AnswerWith(platform::Answer::Ok));
    exchange::ImportGarmin();
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Critical);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("Les coordonnées doivent être exprimées en LAT LON DM.\r"
                             "Importation annulée."));
    EXPECT_EQ(prompter.fileDialogs()[0].filter,
              QStringLiteral("Fichiers wpt (*.wpt)|*.wpt|Tous les fichiers (*.*)|*.*"));
}

} // namespace

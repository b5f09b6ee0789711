#include "ImportFixture.h"
#include "document/FreeFields.h"
#include "exchange/GarminImportSettings.h"
#include "exchange/GpsWaypointFile.h"
#include "exchange/GpsWaypointRecords.h"
#include "exchange/ImportCommands.h"

namespace {

using document::Record;
using exchange::WaypointImportInput;
using exchange::WaypointOriginal;
using import_test::ImportTest;
using testing_support::AnswerWith;
using testing_support::ErrorOf;
using testing_support::ScriptedPrompter;

QString Tabbed(const QStringList& fields) {
    return fields.join(QLatin1Char('\t'));
}

TEST(GpsWaypointOriginalTest, EachGridFormat) {
    struct Case {
        int grid;
        const char* position;
        const char* original;
    };
    const Case cases[] = {
        {0, "S1.5 W4.25", "deg -1.5 -4.25"},
        {0, "N50.5 E4.25", "deg 50.5 4.25"},
        {1, "N50 30.000 W4 15", "deg +50.5 -4.25"},
        {1, "S0 15 E10 0", "deg -.25 +10."},
        {2, "N5 2 3 E4 1 2", "dms 5.23 4.12"},
        {2, "N50 30 15.5 W4 5 1.2", "dms 50.30155 -4.512"},
        {3, "31UES1234567890", "mgr 31 U ES1234567890"},
        {3, "4QFJ1234567890", "mgr 4 Q FJ1234567890"},
        {4, "31U 500000 5600000", "utm 31 500000 5600000"},
        {4, "31 U 500000 5600000", "utm 31 500000 5600000"},
        {4, "19 H 350000 6300000", "utm 19 350000 -6300000"},
        {5, "TQ 12 34", "bng TQ 1234"},
        {6, "O 12 34", "itm O 1234"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WaypointOriginal(c.grid, QLatin1String(c.position)), QLatin1String(c.original))
            << c.position;
    }
}

TEST(GpsWaypointOriginalTest, PositionsThatDoNotFitTheirFormat) {
    EXPECT_EQ(ErrorOf([] { WaypointOriginal(3, QStringLiteral("31U1234567")); }),
              common::kInvalidCall);
    EXPECT_EQ(ErrorOf([] { WaypointOriginal(1, QStringLiteral("N50 30")); }), common::kSubscript);
    EXPECT_EQ(ErrorOf([] { WaypointOriginal(4, QStringLiteral("31U east north")); }),
              common::kTypeMismatch);
}

TEST(GpsWaypointOriginalTest, AltitudeCells) {
    EXPECT_EQ(exchange::AltitudeFromCell(QStringLiteral("1 234 m"), 1, 7), QLatin1String("1234"));
    EXPECT_EQ(exchange::AltitudeFromCell(QStringLiteral("approx. 50"), 1, 10), QString());
    EXPECT_EQ(exchange::AltitudeFromCell(QStringLiteral("-12.5m"), 1, 10), QLatin1String("-12.5"));
    EXPECT_EQ(ErrorOf([] { exchange::AltitudeFromCell(QStringLiteral("12"), 0, 2); }),
              common::kInvalidCall);
}

class GpsWaypointFileTest : public ImportTest {
protected:
    QString Write(const QStringList& lines, const char* end = "\r\n") {
        return WriteLines(QStringLiteral("wpt.txt"), lines, end);
    }
    static QStringList Head(const QString& grid = QStringLiteral("Lat/Lon hddd.ddddd\u00b0")) {
        return {Tabbed({QStringLiteral("Grid"), grid, QString()}),
                Tabbed({QStringLiteral("Datum"), QStringLiteral("WGS 84"), QString()}), QString(),
                Tabbed({QStringLiteral("Header"), QStringLiteral("Name"),
                        QStringLiteral("Description"), QStringLiteral("Type"),
                        QStringLiteral("Position"), QStringLiteral("Altitude"), QString()})};
    }
};

TEST_F(GpsWaypointFileTest, ReadsTheHeaderAndTheWaypoints) {
    const QStringList lines =
        Head(QStringLiteral("lat/lon HDDD.DDDDD\u00b0")) +
        QStringList{Tabbed({QStringLiteral("waypoint"), QStringLiteral("A"), QStringLiteral("d"),
                            QStringLiteral("t"), QStringLiteral("N50.5 E4.25"),
                            QStringLiteral("12 m"), QString()}),
                    QString(), QStringLiteral("Track\tx"),
                    Tabbed({QStringLiteral("Waypoint"), QStringLiteral("B")})};
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const exchange::GpsWaypointFile file = exchange::ReadGpsWaypointFile(Write(lines, end));
        EXPECT_EQ(file.grid, 0);
        EXPECT_FALSE(file.datum.isEmpty());
        EXPECT_EQ(file.columns.size(), 6);
        ASSERT_EQ(file.waypoints.size(), 2U);
        EXPECT_EQ(file.waypoints[0].value(4), QLatin1String("N50.5 E4.25"));
        // The last field of a line is never used: B is the line's last field.
        EXPECT_EQ(file.waypoints[1], QStringList{QStringLiteral("Waypoint")});
    }
}

TEST_F(GpsWaypointFileTest, WrongTypesAndBrokenFiles) {
    EXPECT_THROW(exchange::ReadGpsWaypointFile(Write({QStringLiteral("Grod\tx")})),
                 exchange::GpsWrongFileType);
    QStringList noHeader = Head();
    noHeader[3] = QStringLiteral("Headers\tName");
    EXPECT_THROW(exchange::ReadGpsWaypointFile(Write(noHeader)), exchange::GpsWrongFileType);
    EXPECT_FALSE(exchange::ReadGpsWaypointFile(Write(Head(QStringLiteral("Mercator")))).grid);

    EXPECT_EQ(ErrorOf([&] { exchange::ReadGpsWaypointFile(Write(Head().mid(0, 3))); }),
              common::kInputPastEnd);
    EXPECT_EQ(ErrorOf([&] { exchange::ReadGpsWaypointFile(Write({QStringLiteral("GRID")})); }),
              common::kSubscript);
    QStringList tooWide = Head();
    tooWide.append(QStringLiteral("Waypoint\t1\t2\t3\t4\t5\t6\t7\t8"));
    EXPECT_EQ(ErrorOf([&] { exchange::ReadGpsWaypointFile(Write(tooWide)); }), common::kSubscript);
}

// The waypoints are read again from the file when asked for: in order, backwards and across the
// reader's windows they give their own cells; a file changed since is refused, not misread.
TEST_F(GpsWaypointFileTest, WaypointsAreReadAgainFromAnUnchangedFile) {
    QStringList lines = Head();
    const int count = 20000; // far more bytes than one window of the reader
    for (int i = 0; i < count; ++i) {
        lines.append(Tabbed({QStringLiteral("Waypoint"), QStringLiteral("P%1").arg(i),
                             QStringLiteral("pr\u00e9 %1").arg(i), QStringLiteral("t"),
                             QStringLiteral("N50.5 E4.25"), QString(), QString()}));
        if (i % 7 == 0) {
            lines.append(QStringLiteral("Track\tx\t"));
        }
    }
    const QString path = Write(lines, "\n");
    const exchange::GpsWaypointFile file = exchange::ReadGpsWaypointFile(path);
    ASSERT_EQ(file.waypoints.size(), static_cast<std::size_t>(count));
    int i = 0;
    for (const QStringList& cells : file.waypoints) {
        ASSERT_EQ(cells.value(1), QStringLiteral("P%1").arg(i)) << i;
        ASSERT_EQ(cells.value(2), QStringLiteral("pr\u00e9 %1").arg(i)) << i;
        ++i;
    }
    for (const int k : {count - 1, 0, count / 2, 17}) {
        EXPECT_EQ(file.waypoints[static_cast<std::size_t>(k)].value(1),
                  QStringLiteral("P%1").arg(k));
    }
    Write(Head() + QStringList{QStringLiteral("Waypoint\tother\t")});
    EXPECT_EQ(ErrorOf([&] { (void)file.waypoints[count - 1]; }), common::kPathFileAccess);
}

class GpsWaypointImportTest : public ImportTest {
protected:
    static WaypointImportInput Input(int grid = 0) {
        WaypointImportInput input;
        input.grid = grid;
        input.datum = QStringLiteral("WGS84");
        input.columns = QStringList{QStringLiteral("Header"),      QStringLiteral("Name"),
                                    QStringLiteral("Description"), QStringLiteral("Date"),
                                    QStringLiteral("Position"),    QStringLiteral("Altitude")};
        return input;
    }
    static QStringList Cells(const QString& position, const QString& date = {},
                             const QString& altitude = {}) {
        return {QStringLiteral("Waypoint"),
                QStringLiteral("CAMP01"),
                QStringLiteral("river"),
                date,
                position,
                altitude};
    }
    static void FreeFields() {
        document::FreeFieldModel model;
        for (const char* line : {"STAT.TOPO,Topo,1", "STAT.ALTI,Alti,2", "STAT.DESI,Desi,3"}) {
            document::AddDefinitionLine(model, QLatin1String(line));
        }
        document::InstallFreeFields(model);
    }
};

TEST_F(GpsWaypointImportTest, CheckedWaypointsWithAPositionBecomeRecords) {
    ScriptedPrompter prompter;
    EXPECT_EQ(exchange::ImportWaypointRecords(
                  Input(), {Cells(QStringLiteral("N50.5 E4.25")), Cells(QString())}),
              1);
    const Record r = Table().at(0);
    EXPECT_EQ(*r.ORIGINAL, QLatin1String("deg 50.5 4.25"));
    EXPECT_EQ(*r.DATUM, QLatin1String("WGS84"));
    EXPECT_EQ(r.PERIOD, 1);
    EXPECT_FALSE(r.DATE);
    EXPECT_EQ(*r.COMMENT, QLatin1String("CAMP01 - river"));
    EXPECT_FLOAT_EQ(*r.LATITUDE, 50.5F);
    EXPECT_EQ(document::Document().FileModified, -1);
}

TEST_F(GpsWaypointImportTest, DateAndAltitudeFromColumns) {
    FreeFields();
    WaypointImportInput input = Input();
    input.settings.DateImport = exchange::kSourceColumn;
    input.settings.DateField = QStringLiteral("Date");
    input.settings.AltitudeImport = exchange::kSourceColumn;
    input.settings.AltitudeField = QStringLiteral("Altitude");
    input.settings.AltitudeLength = QStringLiteral("7");
    input.freeFields = document::Document().FreeFields;
    ScriptedPrompter prompter;
    ASSERT_EQ(exchange::ImportWaypointRecords(
                  input, {Cells(QStringLiteral("N50.5 E4.25"), QStringLiteral("17-APR-02 10:31:00"),
                                QStringLiteral("1 234 m")),
                          Cells(QStringLiteral("N50.5 E4.25"), QStringLiteral("05-DEC-97 10:31:00"),
                                QStringLiteral("approx."))}),
              2);
    EXPECT_EQ(*Table().at(0).DATE, QLatin1String("2002/04/17"));
    EXPECT_EQ(*Table().at(0).COMMENT, QLatin1String("/1234//CAMP01 - river"));
    EXPECT_EQ(*Table().at(1).DATE, QLatin1String("1997/12/05"));
    EXPECT_EQ(*Table().at(1).COMMENT, QLatin1String("///CAMP01 - river"));
}

TEST_F(GpsWaypointImportTest, AnAltitudeWithoutItsFreeFieldIsLeftOutOnceTold) {
    WaypointImportInput input = Input();
    input.settings.AltitudeImport = exchange::kSourceFixed;
    input.settings.AltitudeFixed = QStringLiteral("120");
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    EXPECT_EQ(exchange::ImportWaypointRecords(input, {Cells(QStringLiteral("N50.5 E4.25")),
                                                      Cells(QStringLiteral("N51.5 E4.25"))}),
              2);
    EXPECT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(*Table().at(1).COMMENT, QLatin1String("CAMP01 - river"));
}

// One refused waypoint undoes the import: no record without a position stays behind.
TEST_F(GpsWaypointImportTest, AnyErrorLeavesTheTableAsItWas) {
    AddPeriods({7});
    WaypointImportInput noGrid = Input();
    noGrid.grid.reset();
    WaypointImportInput noDatum = Input();
    noDatum.datum.clear();
    WaypointImportInput dateMissing = Input();
    dateMissing.settings.DateImport = exchange::kSourceColumn;
    dateMissing.settings.DateField = QStringLiteral("When");
    WaypointImportInput dateFirst = dateMissing;
    dateFirst.settings.DateField = QStringLiteral("Header");
    for (const WaypointImportInput& input : {noGrid, noDatum, dateMissing, dateFirst}) {
        ScriptedPrompter prompter;
        EXPECT_NE(ErrorOf([&] {
                      exchange::ImportWaypointRecords(input, {Cells(QStringLiteral("N50.5 E4.25")),
                                                              Cells(QStringLiteral("N51 E4"))});
                  }),
                  0);
        EXPECT_EQ(Periods(), std::vector<int>{7});
        EXPECT_EQ(document::Document().FileModified, 0);
    }
    ScriptedPrompter prompter;
    EXPECT_EQ(ErrorOf([&] {
                  exchange::ImportWaypointRecords(
                      Input(3),
                      {Cells(QStringLiteral("31UES1234567890")), Cells(QStringLiteral("31UES12"))});
              }),
              common::kInvalidCall);
    EXPECT_EQ(Periods(), std::vector<int>{7});
}

TEST_F(GpsWaypointImportTest, SettingsDefaultsAndRoundTrip) {
    EXPECT_EQ(exchange::LoadGarminImportSettings(), exchange::objGraminImport{});
    exchange::objGraminImport s;
    s.Period = 3;
    s.DateImport = 2;
    s.DateFixed = QStringLiteral("____/__/__");
    s.AltitudeField = QStringLiteral("Altitude");
    exchange::SaveGarminImportSettings(s);
    EXPECT_EQ(exchange::LoadGarminImportSettings(), s);
    platform::SaveSetting(QStringLiteral("DOVazov"), QStringLiteral("ImportGarmin"),
                          QStringLiteral("Period"), QStringLiteral("99999"));
    EXPECT_EQ(exchange::LoadGarminImportSettings().Period, 1);
}

} // namespace

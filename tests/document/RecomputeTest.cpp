#include "document/Recompute.h"

#include "DistributionFixture.h"
#include "common/AppError.h"
#include "geodesy/Molodensky.h"
#include "platform/ProgramSettings.h"

namespace {

using document::AjusteDegres;
using document::Data1;
using document::Document;
using document::Record;
using testing_support::DistributionTest;
using testing_support::ScriptedPrompter;

class RecomputeTest : public DistributionTest {
protected:
    // Adds a row with its coordinate text and datum (nullopt for Null) and a stored position.
    static void Row(std::optional<QString> original, std::optional<QString> datum, float lat = 1.0F,
                    float lon = 2.0F, int period = 1) {
        Record r;
        r.PERIOD = static_cast<std::int16_t>(period);
        r.LATITUDE = lat;
        r.LONGITUDE = lon;
        r.ORIGINAL = std::move(original);
        r.DATUM = std::move(datum);
        SQLite::Statement insert(document::WorkDb(), document::kInsertRecordSql);
        document::BindRecord(insert, r);
        insert.exec();
    }
    static std::pair<float, float> Position(std::size_t row) {
        const Record r = Table().at(row);
        return {*r.LATITUDE, *r.LONGITUDE};
    }
};

TEST_F(RecomputeTest, RecomputesToFiveDecimals) {
    Row(QString("deg 50.123456 4.5"), QString("EUR-M"));
    Row(QString("  DEG 10,25 -3,5  "), QString("eur-m")); // trimmed and upper-cased
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    AjusteDegres(document::kNoMesh, document::kNoMesh);
    EXPECT_EQ(Position(0), std::make_pair(50.12346F, 4.5F));
    EXPECT_EQ(Position(1), std::make_pair(10.25F, -3.5F));
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_FALSE(feedback_.progressShown);
    EXPECT_EQ(feedback_.progress.back(), 100);
}

TEST_F(RecomputeTest, SnapsToTheCentreOfDegreeCells) {
    struct Case {
        float mesh;
        float lat, lon;
        float snappedLat, snappedLon;
    };
    const Case cases[] = {
        {1.0F, 50.7F, 4.2F, 50.5F, 4.5F},
        {1.0F, -0.3F, 4.2F, -0.5F, 4.5F},
        {0.25F, 50.3F, 4.2F, 50.375F, 4.125F},
        // On the lines of 0.1 degree cells: in the cells they begin, [48.3, 48.4) and [2.1, 2.2).
        {0.1F, 48.3F, 2.1F, 48.35F, 2.15F},
        {0.1F, -48.3F, -2.1F, -48.25F, -2.05F},
    };
    for (const Case& c : cases) {
        document::WorkDb().exec("DELETE FROM DOVAZOV");
        Row("deg " + QString::number(c.lat) + " " + QString::number(c.lon), QString("EUR-M"));
        Show(Document().SqlTri);
        ScriptedPrompter prompter;
        AjusteDegres(c.mesh, c.mesh);
        EXPECT_EQ(Position(0), std::make_pair(c.snappedLat, c.snappedLon)) << c.mesh;
    }
}

TEST_F(RecomputeTest, AMeshOf999LeavesItsAxisUnsnapped) {
    Row(QString("deg 50.7 4.2"), QString("EUR-M"));
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    AjusteDegres(1.0F, document::kNoMesh);
    EXPECT_EQ(Position(0), std::make_pair(50.5F, 4.2F));
}

TEST_F(RecomputeTest, RowsWithoutPositionOrKnownDatumKeepTheirValues) {
    Row(std::nullopt, QString("EUR-M"), 11, 12);
    Row(QString("xyz 1 2"), QString("EUR-M"), 13, 14);
    Row(QString("deg 50 4"), QString("NOPE"), 15, 16);
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    AjusteDegres(document::kNoMesh, document::kNoMesh);
    EXPECT_EQ(Position(0), std::make_pair(11.0F, 12.0F));
    EXPECT_EQ(Position(1), std::make_pair(13.0F, 14.0F));
    EXPECT_EQ(Position(2), std::make_pair(15.0F, 16.0F));
}

TEST_F(RecomputeTest, ARowWithoutDatumIsAWgs84Position) {
    // The shift itself is checked against PROJ with the geodesy tests; here the walk must hand
    // the row to it as a WGS84 position bound for the destination datum.
    Row(QString("deg 50.85 4.35"), std::nullopt);
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    AjusteDegres(document::kNoMesh, document::kNoMesh);
    double lat = 0;
    double lon = 0;
    geodesy::ShiftDatum(50.85, 4.35, 0, lat, lon, geodesy::DatumIndex("WGS84"),
                        geodesy::Datums().DestIndex);
    EXPECT_EQ(Position(0),
              std::make_pair(document::FiveDecimals(lat), document::FiveDecimals(lon)));
    // EUR-M positions lie north-east of their WGS84 ones in Belgium by some 0.001 degrees.
    EXPECT_GT(Position(0).first, 50.85F);
    EXPECT_NEAR(Position(0).first, 50.85, 0.003);
}

TEST_F(RecomputeTest, OnlyTheRowsDataShowsChange) {
    Row(QString("deg 50.7 4.2"), QString("EUR-M"), 1, 2, 1);
    Row(QString("deg 50.7 4.2"), QString("EUR-M"), 1, 2, 2);
    Show("SELECT * FROM DOVAZOV WHERE PERIOD = 2");
    Document().FileModified = -1;
    platform::Settings().Silence = 1;
    ScriptedPrompter prompter;
    AjusteDegres(document::kNoMesh, document::kNoMesh);
    EXPECT_EQ(Position(0), std::make_pair(1.0F, 2.0F));
    EXPECT_EQ(Position(1), std::make_pair(50.7F, 4.2F));
    EXPECT_EQ(Document().FileModified, -1);
    EXPECT_EQ(prompter.beeps(), 0);
}

TEST_F(RecomputeTest, AListInTheTablesOrderIsReadWithoutBeingWrittenOut) {
    // Runs of a hundred rows shown, a hundred left out: more rows than one block reads.
    {
        SQLite::Transaction transaction(document::WorkDb());
        for (int i = 0; i < 1200; ++i) {
            Row(QString("deg 50.7 4.2"), QString("EUR-M"), 1, 2, i / 100 % 2 + 1);
        }
        transaction.commit();
    }
    const document::RecordSet rows =
        document::RecordSet::open(document::WorkDb(), "SELECT * FROM DOVAZOV WHERE PERIOD = 2");
    ASSERT_FALSE(rows.bookmarkList()->byRow());
    ScriptedPrompter prompter;
    document::AjusteDegresOn(rows, document::kNoMesh, document::kNoMesh);
    EXPECT_FALSE(rows.bookmarkList()->byRow());
    const std::vector<Record> table = Table();
    ASSERT_EQ(table.size(), 1200U);
    for (const Record& r : table) {
        const auto expected =
            *r.PERIOD == 2 ? std::make_pair(50.7F, 4.2F) : std::make_pair(1.0F, 2.0F);
        ASSERT_EQ(std::make_pair(*r.LATITUDE, *r.LONGITUDE), expected) << r.Counter;
    }
}

TEST_F(RecomputeTest, AnEmptyDocumentChangesNothing) {
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    AjusteDegres(document::kNoMesh, document::kNoMesh);
    EXPECT_EQ(prompter.beeps(), 0);
    EXPECT_TRUE(feedback_.progress.empty());
}

TEST_F(RecomputeTest, AFailureUndoesEveryRow) {
    { // enough rows for their new positions to be written before the failing one is met
        SQLite::Transaction transaction(document::WorkDb());
        for (int i = 0; i < 10000; ++i) {
            Row(QString("deg 50.7 4.2"), QString("EUR-M"));
        }
        transaction.commit();
    }
    Row(QString("lmb 1e308 1e308"), QString("BEL72"));
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    EXPECT_THROW(AjusteDegres(document::kNoMesh, document::kNoMesh), std::exception);
    EXPECT_EQ(Position(0), std::make_pair(1.0F, 2.0F));
    EXPECT_EQ(Position(9999), std::make_pair(1.0F, 2.0F));
    EXPECT_FALSE(feedback_.progressShown);
}

TEST_F(RecomputeTest, WritesOnlyTheRowsWhosePositionChanges) {
    Row(QString("deg 50.7 4.2"), QString("EUR-M"), 50.7F, 4.2F); // already there
    Row(QString("deg 50.7 4.2"), QString("EUR-M"), 1.0F, 2.0F);
    Row(QString("deg 50.7 4.2"), QString("EUR-M"), 50.7F, 2.0F);
    Row(QString("deg 50.7 4.2"), QString("EUR-M"), 50.7F, 4.2F);
    Row(QString("deg 50.7 4.2"), QString("EUR-M"), 50.7F, 4.2F);
    SQLite::Database& db = document::WorkDb();
    db.exec("UPDATE DOVAZOV SET LATITUDE = NULL WHERE Counter = 4");
    db.exec("UPDATE DOVAZOV SET LONGITUDE = 4.2 WHERE Counter = 5"); // not the single 4.2
    Show(Document().SqlTri);
    ScriptedPrompter prompter;
    const int before = db.getTotalChanges();
    AjusteDegres(document::kNoMesh, document::kNoMesh);
    EXPECT_EQ(db.getTotalChanges() - before, 4);
    for (std::size_t row = 0; row < 5; ++row) {
        EXPECT_EQ(Position(row), std::make_pair(50.7F, 4.2F)) << row;
    }
    AjusteDegres(document::kNoMesh, document::kNoMesh);
    EXPECT_EQ(db.getTotalChanges() - before, 4);
}

TEST_F(RecomputeTest, SnapToCellAndFiveDecimals) {
    EXPECT_DOUBLE_EQ(document::SnapToCell(50.7, 1.0F), 50.5);
    EXPECT_DOUBLE_EQ(document::SnapToCell(-0.3, 1.0F), -0.5);
    EXPECT_DOUBLE_EQ(document::SnapToCell(50.3, 0.25F), 50.375);
    EXPECT_DOUBLE_EQ(document::SnapToCell(48.3, 0.1F), 48.35);
    EXPECT_DOUBLE_EQ(document::SnapToCell(0.3, 0.1F), 0.35);
    EXPECT_DOUBLE_EQ(document::SnapToCell(48.29999, 0.1F), 48.25);
    EXPECT_THROW(document::SnapToCell(1.0, 0.0F), common::AppError);
    EXPECT_EQ(document::FiveDecimals(0.015625), 0.01563F);   // an exact half goes away from zero
    EXPECT_EQ(document::FiveDecimals(50.123455), 50.12345F); // just below the half in binary
    EXPECT_EQ(document::FiveDecimals(-0.000001), 0.0F);
}

} // namespace

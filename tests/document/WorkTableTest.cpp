#include "WorkTableFixture.h"
#include "common/AppError.h"
#include "document/WorkTableOps.h"

#include <QFile>

namespace {

using document::Data1;
using document::Document;
using document::Record;
using document::RecordSet;
using document::WorkDb;
using testing_support::WorkTableTest;

int ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const common::AppError& e) {
        return e.number();
    } catch (const SQLite::Exception&) {
        return -1; // refused by the table's own checks
    }
    return 0;
}

TEST_F(WorkTableTest, ASecondStartDeletesThePreviousDatabaseAndBeginsEmpty) {
    AddPeriods({1, 2, 3});
    const QString previous = document::Work().WorkDbPath;
    document::CreateWorkDatabase(folder());
    EXPECT_NE(document::Work().WorkDbPath, previous);
    EXPECT_FALSE(QFile::exists(previous));
    EXPECT_TRUE(QFile::exists(document::Work().WorkDbPath));
    EXPECT_EQ(RowCount(), 0);
}

TEST(WorkDbPath, AFolderWithOrWithoutTrailingSeparatorGivesTheSameFile) {
    EXPECT_EQ(document::WorkDbPathFor("/tmp/survey"), document::WorkDbPathFor("/tmp/survey/"));
    EXPECT_EQ(document::WorkDbPathFor("/tmp/survey"),
              QStringLiteral("/tmp/survey/dovazov_tmp.mdb"));
    EXPECT_EQ(document::WorkDbPathFor(""), QStringLiteral("dovazov_tmp.mdb"));
}

TEST_F(WorkTableTest, ARecordAddedWithNoValuesIsNullButForItsCounterInOrderOfAddition) {
    Show("DOVAZOV");
    RecordSet& set = Data1().recordset();
    const std::int64_t first = set.addNew(Record{});
    const std::int64_t second = set.addNew(Record{});
    const std::int64_t third = set.addNew(Record{});
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    set.moveLast();
    Record expected;
    expected.Counter = third;
    EXPECT_EQ(set.current(), expected);
    for (const char* name : document::kFieldNames) {
        if (QLatin1String(name) != QLatin1String("Counter")) {
            EXPECT_FALSE(set.current().field(QString::fromLatin1(name)).isValid()) << name;
        }
    }
}

TEST_F(WorkTableTest, EmptyTextsAreAcceptedOnlyWhereTheTableAllowsThem) {
    Show("DOVAZOV");
    RecordSet& set = Data1().recordset();
    Record record;
    record.SEX = "";
    record.DATE = "";
    record.COMMENT = "";
    set.addNew(record);
    set.moveLast();
    EXPECT_EQ(set.current().SEX, QString(""));

    for (const char* field : {"DATUM", "ORIGINAL"}) {
        Record scratch;
        EXPECT_EQ(ErrorOf([&] { scratch.setField(QString::fromLatin1(field), QString("")); }), 3315)
            << field;
        Record refused;
        (QLatin1String(field) == QLatin1String("DATUM") ? refused.DATUM : refused.ORIGINAL) = "";
        EXPECT_EQ(ErrorOf([&] { set.addNew(refused); }), 3315) << field;
        // The table itself refuses them too, whatever path a row comes by.
        EXPECT_EQ(ErrorOf([&] {
                      WorkDb().exec(std::string("INSERT INTO DOVAZOV (") + field + ") VALUES ('')");
                  }),
                  -1)
            << field;
    }
    EXPECT_EQ(RowCount(), 1);
}

TEST_F(WorkTableTest, FieldNamesIgnoreCase) {
    Record record;
    record.setField(u"Period", QStringLiteral("2"));
    record.setField(u"comment", QStringLiteral("x"));
    EXPECT_EQ(record.field(u"PERIOD").toInt(), 2);
    EXPECT_EQ(record.field(u"Comment").toString(), QStringLiteral("x"));
    EXPECT_EQ(ErrorOf([&] { record.field(u"NOPE"); }), 3265);
}

TEST_F(WorkTableTest, ReplaceFieldValueRewritesMatchingPeriodsAndLeavesNullAlone) {
    AddPeriods({1, 3, std::nullopt, 3});
    Show(Document().SqlTri);
    document::ReplaceFieldValue(u"PERIOD", QStringLiteral("3"), QStringLiteral("2"));
    EXPECT_EQ(Periods(), (std::vector<int>{1, 2, -1, 2}));
    EXPECT_EQ(Document().FileModified, -1);
    // Data1 was run again and shows the new values.
    EXPECT_EQ(Data1().recordset().current().PERIOD, std::int16_t{1});
    Data1().recordset().setAbsolutePosition(1);
    EXPECT_EQ(Data1().recordset().current().PERIOD, std::int16_t{2});
}

TEST_F(WorkTableTest, ReplaceFieldValueTrimsTheOldValueAndComparesExactly) {
    AddPeriods({3, 1});
    document::ReplaceFieldValue(u"period", QStringLiteral("  3 "), QStringLiteral("2"));
    EXPECT_EQ(Periods(), (std::vector<int>{2, 1}));

    WorkDb().exec("UPDATE DOVAZOV SET SEX = 'm' WHERE Counter = 1");
    WorkDb().exec("UPDATE DOVAZOV SET SEX = 'M' WHERE Counter = 2");
    document::ReplaceFieldValue(u"SEX", QStringLiteral("M"), QStringLiteral("F"));
    EXPECT_EQ(WorkDb().execAndGet("SELECT group_concat(SEX, '') FROM DOVAZOV").getString(), "mF");
}

TEST_F(WorkTableTest, RewritesActOnTheWholeTableWhileASelectionIsInForce) {
    AddPeriods({1, 3, 2, 3});
    Show("SELECT * FROM DOVAZOV WHERE PERIOD = 1");
    ASSERT_EQ(Data1().recordset().recordCount(), 1);
    document::ReplaceFieldValue(u"PERIOD", QStringLiteral("3"), QStringLiteral("2"));
    EXPECT_EQ(Periods(), (std::vector<int>{1, 2, 2, 2}));
    document::SetFieldAll(u"PERIOD", QStringLiteral("1"));
    EXPECT_EQ(Periods(), (std::vector<int>{1, 1, 1, 1}));
    // The filter still applies to what Data1 shows.
    EXPECT_EQ(Data1().recordSource(), QStringLiteral("SELECT * FROM DOVAZOV WHERE PERIOD = 1"));
    EXPECT_EQ(Data1().recordset().recordCount(), 4);
}

TEST_F(WorkTableTest, RewritesOfAnEmptyTableStillMarkTheDocumentChanged) {
    document::SetFieldAll(u"PERIOD", QStringLiteral("1"));
    EXPECT_EQ(Document().FileModified, -1);
    Document().FileModified = 0;
    document::ReplaceFieldValue(u"PERIOD", QStringLiteral("3"), QStringLiteral("2"));
    EXPECT_EQ(Document().FileModified, -1);
    EXPECT_EQ(RowCount(), 0);
}

TEST_F(WorkTableTest, RewritesRefuseAnUnknownFieldOrAValueTheFieldCannotHold) {
    AddPeriods({1, 2});
    EXPECT_EQ(ErrorOf([] { document::SetFieldAll(u"NOPE", QStringLiteral("1")); }), 3265);
    EXPECT_EQ(ErrorOf([] { document::SetFieldAll(u"PERIOD", QStringLiteral("x")); }), 13);
    // A text must read as a number as a whole: no names of special values.
    EXPECT_EQ(ErrorOf([] { document::SetFieldAll(u"LATITUDE", QStringLiteral("nan")); }), 13);
    EXPECT_EQ(ErrorOf([] { document::SetFieldAll(u"N1", QStringLiteral("1 2")); }), 13);
    EXPECT_EQ(ErrorOf([] { document::SetFieldAll(u"PERIOD", QStringLiteral("40000")); }), 6);
    EXPECT_EQ(ErrorOf([] { document::SetFieldAll(u"DATUM", QString()); }), 3315);
    EXPECT_EQ(Periods(), (std::vector<int>{1, 2}));
    EXPECT_EQ(Document().FileModified, 0);
}

TEST_F(WorkTableTest, SetFieldAllConvertsTheTextToTheFieldsType) {
    AddPeriods({1, 2});
    document::SetFieldAll(u"LATITUDE", QStringLiteral(" 50.5"));
    document::SetFieldAll(u"DATUM", QStringLiteral("NTF"));
    EXPECT_EQ(WorkDb().execAndGet("SELECT SUM(LATITUDE) FROM DOVAZOV").getDouble(), 101.0);
    EXPECT_EQ(WorkDb().execAndGet("SELECT COUNT(*) FROM DOVAZOV WHERE DATUM = 'NTF'").getInt(), 2);
}

} // namespace

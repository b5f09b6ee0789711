#include "../support/ErrorOf.h"
#include "GazetteerFixture.h"
#include "gazetteer/GazetteerSource.h"
#include "gazetteer/PlaceIndex.h"
#include "gazetteer/PlaceListModel.h"
#include "gazetteer/PlaceQuery.h"
#include "gazetteer/PlaceSearcher.h"

#include <QCryptographicHash>

namespace {

using gazetteer::PlaceRow;
using testing_support::ErrorOf;

QStringList Names(const std::vector<PlaceRow>& rows) {
    QStringList names;
    for (const PlaceRow& row : rows) {
        names << row[0];
    }
    return names;
}

QByteArray Digest(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// The declaration of the gazetteer table of the default mapping.
struct TableDeclaration {
    std::string searchField = "TEXT";
    std::string latitude = "REAL";
    std::string longitude = "REAL";
    std::string fips = "TEXT";
    std::string end; // after the fields: STRICT, WITHOUT ROWID
};

std::string CreateGazetteerTable(const TableDeclaration& d) {
    return "CREATE TABLE ZEBGazet_Decoding (Sort_Name " + d.searchField +
           ", Full_Name TEXT, Latitude " + d.latitude + ", Longitude " + d.longitude +
           ", FIPS_QOV " + d.fips + ", Feature_Desig_Code TEXT, Country_Name TEXT, " +
           "Province_Name TEXT)" + d.end;
}

class PlaceSearchTest : public gazetteer_test::GazetteerTest {
protected:
    std::vector<PlaceRow> Search(const QString& typed, bool exact) {
        return gazetteer::RowsOf(searcher_.search(platform::Settings(), typed, exact));
    }
    gazetteer::PlaceSearcher searcher_;
};

TEST_F(PlaceSearchTest, PrefixSearchIgnoresCaseAndListsInSearchFieldOrder) {
    EXPECT_EQ(Names(Search(QStringLiteral("  ly"), false)),
              QStringList({QStringLiteral("Lyon"), QStringLiteral("Lyons")}));
    EXPECT_EQ(Names(Search(QStringLiteral("lyon"), true)), QStringList({QStringLiteral("Lyon")}));
}

TEST_F(PlaceSearchTest, AnApostropheIsSearchedForNotRunAsSql) {
    const std::vector<PlaceRow> rows = Search(QStringLiteral("L'Isle-Adam"), true);
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0][0], QStringLiteral("L'Isle-Adam"));
    EXPECT_EQ(rows[0][gazetteer::kFips], QStringLiteral("FR11"));
    EXPECT_EQ(Names(Search(QStringLiteral("x' OR '1'='1"), false)), QStringList());
}

TEST_F(PlaceSearchTest, BlanksOnlyMatchEveryPlaceByPrefix) {
    EXPECT_EQ(Search(QStringLiteral("   "), false).size(), gazetteer_test::Places().size());
    EXPECT_TRUE(Search(QStringLiteral("   "), true).empty());
}

TEST_F(PlaceSearchTest, AHitWithoutANumberForACoordinateFailsTheSearchThatFindsIt) {
    {
        SQLite::Database db(file_.toStdString(), SQLite::OPEN_READWRITE);
        db.exec("INSERT INTO ZEBGazet_Decoding (Sort_Name, Full_Name, Latitude, Longitude) "
                "VALUES ('NOWHERE', 'Nowhere', NULL, 1), ('NOTANUMBER', 'Notanumber', 1, 'x')");
    }
    const struct {
        const char* typed;
        bool exact;
        int error;
    } cases[] = {
        {"NOWHERE", true, common::kInvalidNull},
        {"NOTANUMBER", true, common::kTypeMismatch},
        {"NO", false, common::kTypeMismatch}, // the first in listing order
        {"NOW", false, common::kInvalidNull},
        {"LY", false, 0},
        {"NOT", true, 0}, // an exact search of a prefix finds nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorOf([&] { Search(QString::fromUtf8(c.typed), c.exact); }), c.error)
            << c.typed;
    }
}

// Only a declaration that keeps every coordinate a number spares the search from looking at
// them: each other table still reports, from the search itself, the hit it cannot list.
TEST_F(PlaceSearchTest, OnlyAStrictTableOfNumbersIsTakenToHoldNoOtherCoordinates) {
    const struct {
        const char* latitude;
        const char* longitude;
        const char* end;
        const char* odd; // a latitude stored beside 1 in Longitude
        int error;       // of the search; 0 where the declaration spares the look
    } cases[] = {
        {"REAL NOT NULL", "REAL NOT NULL", "", "'x'", common::kTypeMismatch},
        {"INTEGER NOT NULL", "INTEGER NOT NULL", "", "'x'", common::kTypeMismatch},
        {"REAL", "REAL", " STRICT", "NULL", common::kInvalidNull},
        {"REAL NOT NULL", "REAL", " STRICT", "2", 0},
        {"ANY NOT NULL", "REAL NOT NULL", " STRICT", "'x'", common::kTypeMismatch},
        {"REAL NOT NULL", "REAL NOT NULL", " STRICT", "2", 0},
        {"INTEGER NOT NULL", "INT NOT NULL", " STRICT", "2", 0},
    };
    int made = 0;
    for (const auto& c : cases) {
        const QString path = dir_.filePath(QStringLiteral("declared-%1.sqlite").arg(++made));
        {
            SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec(CreateGazetteerTable(
                {.latitude = c.latitude, .longitude = c.longitude, .end = c.end}));
            db.exec(std::string("INSERT INTO ZEBGazet_Decoding (Sort_Name, Full_Name, Latitude, "
                                "Longitude) VALUES ('ODD', 'Odd', ") +
                    c.odd + ", 1)");
            db.exec("CREATE INDEX byName ON ZEBGazet_Decoding (Sort_Name COLLATE NOCASE)");
        }
        platform::Settings().File = path;
        const std::string declared = std::string(c.latitude) + " / " + c.longitude + c.end;
        {
            gazetteer::GazetteerSource source(path, QString());
            const bool spared = c.latitude == std::string_view("INTEGER NOT NULL") ||
                                (c.latitude == std::string_view("REAL NOT NULL") &&
                                 c.longitude == std::string_view("REAL NOT NULL"));
            EXPECT_EQ(gazetteer::ResolveColumns(source, platform::Settings()).numericCoordinates,
                      spared && c.end[0] != 0)
                << declared;
        }
        gazetteer::PlaceHits hits;
        EXPECT_EQ(ErrorOf([&] {
                      hits = searcher_.search(platform::Settings(), QStringLiteral("odd"), true);
                  }),
                  c.error)
            << declared;
        EXPECT_EQ(hits.ids.size(), c.error == 0 ? 1U : 0U) << declared;
    }
}

// The bounds of a part of the index are texts: only a field that compares them as texts, by
// SQLite's rules of affinity, is read in part.
TEST_F(PlaceSearchTest, APartIsReadOnlyInAFieldThatComparesTexts) {
    const struct {
        const char* type;
        bool text;
    } cases[] = {
        {"TEXT", true},    {"VARCHAR(40)", true},     {"", true},         {"BLOB", true},
        {"STRING", false}, {"DATE", false},           {"NUMERIC", false}, {"CHARINT", false},
        {"REAL", false},   {"FLOATING POINT", false},
    };
    int made = 0;
    for (const auto& c : cases) {
        const QString path = dir_.filePath(QStringLiteral("affinity-%1.sqlite").arg(++made));
        {
            SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec(CreateGazetteerTable({.searchField = c.type, .end = ""}));
        }
        const gazetteer::GazetteerSource source(path, QString());
        EXPECT_EQ(
            source.comparesAsText(QStringLiteral("ZEBGazet_Decoding"), QStringLiteral("sort_name")),
            c.text)
            << c.type;
    }
}

TEST_F(PlaceSearchTest, SortingByFipsOrdersByTheCode) {
    platform::Settings().Sort = 1;
    const std::vector<PlaceRow> rows = Search(QString(), false);
    QStringList codes;
    for (const PlaceRow& row : rows) {
        codes << row[gazetteer::kFips].left(2);
    }
    EXPECT_EQ(codes, QStringList({"BE", "FR", "FR", "FR", "PL", "US", "XX"}));
}

// Keys and codes that tell a bytewise order from SQLite's: case, the signs between the capitals
// and the small letters, letters beyond ASCII, numbers in the search field (compared as their
// text), and no FIPS code; the FIPS field compares as its collation says.
TEST_F(PlaceSearchTest, EveryListingIsInSqlitesOwnOrder) {
    for (const char* fipsType : {"TEXT", "TEXT COLLATE NOCASE"}) {
        const QString path = dir_.filePath(QStringLiteral("order-%1.sqlite").arg(fipsType[4] == 0));
        {
            SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec(CreateGazetteerTable({.searchField = "", .fips = fipsType, .end = ""}));
            db.exec("INSERT INTO ZEBGazet_Decoding (Sort_Name, Full_Name, Latitude, Longitude, "
                    "FIPS_QOV) VALUES ('b_x', 'p1', 1, 1, 'fr'), ('B[X', 'p2', 1, 1, 'FR'), "
                    "('bax', 'p3', 1, 1, 'BE'), (12, 'p4', 1, 1, 'fr'), ('12A', 'p5', 1, 1, NULL), "
                    "('ÉCLUSE', 'p6', 1, 1, 'FR'), ('ECLUSE', 'p7', 1, 1, 'Fr'), "
                    "('bAx', 'p8', 1, 1, 'BE'), (9.5, 'p9', 1, 1, 'BE'), ('B', 'p10', 1, 1, 'fr'), "
                    "(NULL, 'p11', 1, 1, 'BE')");
            // Searched in place, where the FIPS field keeps its collation.
            db.exec("CREATE INDEX byName ON ZEBGazet_Decoding (Sort_Name COLLATE NOCASE)");
        }
        platform::Settings().File = path;
        for (const int sort : {0, 1}) {
            platform::Settings().Sort = sort;
            SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
            SQLite::Statement expected(
                db, std::string("SELECT Full_Name FROM ZEBGazet_Decoding WHERE Sort_Name IS NOT "
                                "NULL ORDER BY ") +
                        (sort == 1 ? "FIPS_QOV, " : "") +
                        "CAST(Sort_Name AS TEXT) COLLATE NOCASE, rowid");
            QStringList names;
            while (expected.executeStep()) {
                names << QString::fromStdString(expected.getColumn(0).getString());
            }
            EXPECT_EQ(Names(Search(QStringLiteral(" "), false)), names)
                << fipsType << ", sort " << sort;
        }
    }
}

// The part of the index a prefix begins is read along SQLite's case-free index, between bounds
// made of the prefix's bytes: keys that tell those bounds from a bytewise prefix (the signs
// between the capitals and the small letters, letters beyond ASCII, whose case the typed text
// loses, and "Ŀ", whose last byte 0xBF is raised to 0xC0), a key equal to a prefix, and a hit
// that cannot be listed.
TEST_F(PlaceSearchTest, APartOfTheIndexFindsWhatTheWholeIndexFinds) {
    const QString path = dir_.filePath(QStringLiteral("parts.sqlite"));
    {
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(CreateGazetteerTable({}));
        db.exec("INSERT INTO ZEBGazet_Decoding (Sort_Name, Full_Name, Latitude, Longitude, "
                "FIPS_QOV) VALUES ('b_x', 'p1', 1, 1, 'fr'), ('B[X', 'p2', 1, 1, 'FR'), "
                "('bax', 'p3', 1, 1, 'BE'), ('B@', 'p4', 1, 1, 'fr'), ('BA', 'p5', 1, 1, NULL), "
                "('ÉCLUSE', 'p6', 1, 1, 'FR'), ('ECLUSE', 'p7', 1, 1, 'Fr'), "
                "('bAx', 'p8', 1, 1, 'BE'), ('éclair', 'p9', 1, 1, 'BE'), ('B', 'p10', 1, 1, "
                "'fr'), (NULL, 'p11', 1, 1, 'BE'), ('Bz', 'p12', NULL, 1, 'PL'), "
                "('ÿy', 'p13', 1, 1, 'US'), ('ÀB', 'p14', 1, 1, 'US'), ('a~', 'p15', 1, 1, 'US'), "
                "('A', 'p16', 1, 1, 'US'), ('Zz', 'p17', 1, 1, 'XX'), ('ĿA', 'p18', 1, 1, 'XX'), "
                "('ŸY', 'p19', 1, 1, 'XX'), ('Ŀ', 'p20', 1, 1, 'XX')");
        db.exec("CREATE INDEX byName ON ZEBGazet_Decoding (Sort_Name COLLATE NOCASE)");
    }
    platform::Settings().File = path;
    const auto found = [](const gazetteer::PlaceIndex& index, const QString& key, bool exact) {
        std::vector<std::int64_t> ids;
        const int error = ErrorOf([&] { ids = index.find(key, exact); });
        return std::make_pair(error, ids);
    };
    const char* const prefixes[] = {"B", "BA", "BAX", "B@", "B[",     "B_", "BZ", "É",  "ÉC", "E",
                                    "ÿ", "ÿY", "À",   "A",  "A~",     "Z",  "@",  "[",  "ZZ", "ZZZ",
                                    "~", "é",  "ÀBC", "Q",  "ECLUSE", "Ŀ",  "ŀa", "ĿAB"};
    for (const int sort : {0, 1}) {
        platform::Settings().Sort = sort;
        gazetteer::GazetteerSource source(path, QString());
        const gazetteer::PlaceColumns columns =
            gazetteer::ResolveColumns(source, platform::Settings());
        const gazetteer::PlaceIndex whole(source.database(), columns);
        for (const char* prefix : prefixes) {
            const QString key = gazetteer::SearchKey(QString::fromUtf8(prefix), columns.table);
            const std::optional<gazetteer::PlaceIndex> part =
                gazetteer::PlaceIndex::Narrowed(source.database(), columns, key);
            ASSERT_TRUE(part.has_value()) << prefix;
            EXPECT_LE(part->size(), whole.size());
            for (const bool exact : {false, true}) {
                EXPECT_EQ(found(*part, key, exact), found(whole, key, exact))
                    << prefix << (exact ? " exact" : " prefix") << ", sort " << sort;
            }
        }
    }
    // Numbers and blobs stand apart from the texts in SQLite's index: no part is read apart.
    for (const char* odd : {"12", "x'00'"}) {
        const QString oddPath = dir_.filePath(QStringLiteral("odd-%1.sqlite").arg(odd[0]));
        {
            SQLite::Database db(oddPath.toStdString(),
                                SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec(CreateGazetteerTable({.searchField = "", .end = ""}));
            db.exec(std::string("INSERT INTO ZEBGazet_Decoding (Sort_Name, Latitude, Longitude) "
                                "VALUES ('B', 1, 1), (") +
                    odd + ", 1, 1)");
            db.exec("CREATE INDEX byName ON ZEBGazet_Decoding (Sort_Name COLLATE NOCASE)");
        }
        gazetteer::GazetteerSource source(oddPath, QString());
        EXPECT_FALSE(gazetteer::PlaceIndex::Narrowed(
                         source.database(), gazetteer::ResolveColumns(source, platform::Settings()),
                         QStringLiteral("B"))
                         .has_value())
            << odd;
    }
}

// A search clicked while the index is still being read is answered from the part of it that
// the text begins; it lists what the whole index lists, and reports what it reports.
TEST_F(PlaceSearchTest, ASearchWhileTheIndexIsReadListsWhatTheIndexLists) {
    {
        SQLite::Database db(file_.toStdString(), SQLite::OPEN_READWRITE);
        db.exec("CREATE INDEX byName ON ZEBGazet_Decoding (Sort_Name COLLATE NOCASE)");
        db.exec("INSERT INTO ZEBGazet_Decoding (Sort_Name, Full_Name, Latitude, Longitude) "
                "VALUES ('NOWHERE', 'Nowhere', NULL, 1)");
    }
    const auto compare = [this](const char* typed, bool exact) {
        std::vector<PlaceRow> early;
        gazetteer::PlaceSearcher searcher;
        searcher.prepare(platform::Settings());
        const int earlyError = ErrorOf([&] {
            early = gazetteer::RowsOf(
                searcher.search(platform::Settings(), QString::fromUtf8(typed), exact));
        });
        std::vector<PlaceRow> later;
        const int laterError = ErrorOf([&] { later = Search(QString::fromUtf8(typed), exact); });
        EXPECT_EQ(earlyError, laterError) << typed;
        EXPECT_EQ(Names(early), Names(later)) << typed;
        return later.size();
    };
    for (const char* typed : {"l", "lyon", "NOW", "none"}) {
        for (const bool exact : {false, true}) {
            compare(typed, exact);
        }
    }
    // A field of numeric affinity compares a text that looks like a number as that number.
    const QString numeric = dir_.filePath(QStringLiteral("numeric.sqlite"));
    {
        SQLite::Database db(numeric.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(CreateGazetteerTable({.searchField = "STRING", .end = ""}));
        db.exec("INSERT INTO ZEBGazet_Decoding (Sort_Name, Full_Name, Latitude, Longitude) "
                "VALUES ('1ST AVENUE', '1st Avenue', 1, 1), ('LYON', 'Lyon', 1, 1)");
        db.exec("CREATE INDEX byName ON ZEBGazet_Decoding (Sort_Name COLLATE NOCASE)");
    }
    platform::Settings().File = numeric;
    EXPECT_EQ(compare("1", false), 1U);
}

TEST_F(PlaceSearchTest, TheListFindsAndSortsRowsItHasNotShown) {
    gazetteer::PlaceListModel model(
        QStringList(), [](const QString&) { return QIcon(); }, nullptr);
    model.setHits(searcher_.search(platform::Settings(), QStringLiteral("L"), false));
    ASSERT_EQ(model.rowCount(), 4);
    const auto found = [&model](const QString& typed, int from) {
        const QModelIndexList hits = model.match(model.index(from, 0), Qt::DisplayRole, typed, 1,
                                                 Qt::MatchStartsWith | Qt::MatchWrap);
        return hits.isEmpty() ? -1 : hits[0].row();
    };
    EXPECT_EQ(found(QStringLiteral("LY"), 0), 2);
    EXPECT_EQ(found(QStringLiteral("l'"), 1), 0); // from the row given, round to the top
    EXPECT_EQ(found(QStringLiteral("Z"), 0), -1);
    model.sort(gazetteer::kLatitude, Qt::DescendingOrder);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("Lodz"));
    EXPECT_EQ(model.index(3, gazetteer::kLatitude).data().toString(), QStringLiteral("+41.81337"));
}

TEST_F(PlaceSearchTest, NamesFromTheSettingsMustBeTheSourcesOwn) {
    platform::ProgramSettings& s = platform::Settings();
    const struct {
        QString* setting;
        QString value;
    } cases[] = {
        {&s.Table, QStringLiteral("ZEBGazet_Decoding; DROP TABLE Other")},
        {&s.ResearchField, QStringLiteral("Sort_Name] = '' OR 1=1 --")},
        {&s.FullNameField, QStringLiteral("Full_Name\" FROM Other --")},
        {&s.CountryName, QStringLiteral("Missing")},
    };
    for (const auto& c : cases) {
        const QString kept = *c.setting;
        *c.setting = c.value;
        EXPECT_EQ(ErrorOf([&] { Search(QStringLiteral("LYON"), true); }), gazetteer::kItemNotFound)
            << c.value.toStdString();
        *c.setting = kept;
    }
    // Names are matched as SQLite does, without regard to case.
    s.ResearchField = QStringLiteral("SORT_NAME");
    EXPECT_EQ(Search(QStringLiteral("LYON"), true).size(), 1U);
}

TEST_F(PlaceSearchTest, TheIndexIsBuiltInTheWorkingCopyNotInTheUsersFile) {
    const QByteArray before = Digest(file_);
    Search(QStringLiteral("Z"), false);
    EXPECT_EQ(Digest(file_), before);
    SQLite::Database db(file_.toStdString(), SQLite::OPEN_READONLY);
    EXPECT_EQ(db.execAndGet("SELECT count(*) FROM sqlite_schema WHERE type = 'index'").getInt(), 0);
}

TEST_F(PlaceSearchTest, ATableWithoutRowidIsSearchedToo) {
    const QString path = dir_.filePath(QStringLiteral("keyed.sqlite"));
    {
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(CreateGazetteerTable({.searchField = "TEXT PRIMARY KEY", .end = " WITHOUT ROWID"}));
        db.exec("CREATE INDEX byName ON ZEBGazet_Decoding (Sort_Name COLLATE NOCASE)");
        db.exec("INSERT INTO ZEBGazet_Decoding VALUES ('LYON', 'Lyon', 45.74846, 4.84671, "
                "'FR84', 'PPLA', 'France', '')");
    }
    platform::Settings().File = path;
    const std::vector<PlaceRow> rows = Search(QStringLiteral("ly"), false);
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0][gazetteer::kLatitude], QStringLiteral("+45.74846"));
}

TEST_F(PlaceSearchTest, AMissingDatabaseIsFileOrPathNotFound) {
    platform::Settings().File = dir_.filePath(QStringLiteral("none.sqlite"));
    EXPECT_EQ(ErrorOf([&] { Search(QStringLiteral("A"), false); }),
              gazetteer::kDatabaseFileNotFound);
    platform::Settings().File = dir_.filePath(QStringLiteral("no/folder/none.sqlite"));
    EXPECT_EQ(ErrorOf([&] { Search(QStringLiteral("A"), false); }),
              gazetteer::kDatabasePathNotFound);
}

TEST_F(PlaceSearchTest, AnAccessFileCutAfterItsHeaderIsReportedByName) {
    const QString mdb = dir_.filePath(QStringLiteral("old.mdb"));
    QFile file(mdb);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\0\1\0\0Standard Jet DB\0", 20));
    file.close();
    platform::Settings().File = mdb;
    try {
        Search(QStringLiteral("A"), false);
        FAIL() << "a cut Access file was read";
    } catch (const common::AppError& error) {
        EXPECT_EQ(error.number(), common::kDatabaseError);
        EXPECT_NE(error.description().find(mdb.toStdString()), std::string::npos)
            << error.description();
    }
}

TEST(SearchKey, BgnTableRemovesBlanksAndHyphensOnlyInLowerCase) {
    const struct {
        const char* typed;
        const char* table;
        const char* key;
    } cases[] = {
        {"Saint - Jean", "bgntable", "SAINTJEAN"},
        {"Saint - Jean", "BGNTABLE", "SAINT - JEAN"},
        {"Saint - Jean", "Bgntable", "SAINT - JEAN"},
        {"  lyon ", "ZEBGazet_Decoding", "LYON"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gazetteer::SearchKey(QString::fromUtf8(c.typed), QString::fromUtf8(c.table)),
                  QString::fromUtf8(c.key))
            << c.typed << " / " << c.table;
    }
}

class DbfSearchTest : public gazetteer_test::GazetteerTest {};

TEST_F(DbfSearchTest, ADbaseTableIsSearchedThroughItsFolder) {
    const QString folder = dir_.filePath(QStringLiteral("dbf"));
    ASSERT_TRUE(QDir().mkpath(folder));
    gazetteer_test::WriteDbfGazetteer(folder, QStringLiteral("places"));
    platform::ProgramSettings& s = platform::Settings();
    s.File = folder;
    s.DbType = gazetteer::kDbaseType;
    s.Table = QStringLiteral("places");
    s.ResearchField = QStringLiteral("SORTNAME");
    s.FullNameField = QStringLiteral("NAME");
    s.LatitudeField = QStringLiteral("LAT");
    s.LongitudeField = QStringLiteral("LON");
    s.FipsField = QStringLiteral("FIPS");
    s.FeatureField.clear();
    s.CountryName.clear();
    s.ProvinceName.clear();

    gazetteer::PlaceSearcher searcher;
    const std::vector<PlaceRow> rows =
        gazetteer::RowsOf(searcher.search(s, QStringLiteral("l'isle"), false));
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0][0], QStringLiteral("L'Isle-Adam"));
    EXPECT_EQ(rows[0][gazetteer::kLatitude], QStringLiteral("+49.10744"));
    EXPECT_EQ(rows[0][gazetteer::kLongitude], QStringLiteral("+002.22818"));
    EXPECT_EQ(rows[0][gazetteer::kFips], QStringLiteral("FR11"));
    EXPECT_EQ(rows[0][gazetteer::kDesignation], QStringLiteral("     "));
    EXPECT_EQ(rows[0][gazetteer::kCountry], QString());

    gazetteer::GazetteerSource source(folder, gazetteer::kDbaseType);
    EXPECT_EQ(source.tables(), QStringList({QStringLiteral("places")}));
    EXPECT_EQ(source.fields(QStringLiteral("places")),
              QStringList({"SORTNAME", "NAME", "LAT", "LON", "FIPS"}));
}

} // namespace

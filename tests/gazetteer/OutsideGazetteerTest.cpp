// Access and Paradox gazetteers, set up through the setup dialog as a user does it and searched;
// damaged files named as gazetteers.
#include "../support/OutsideFiles.h"
#include "../support/ParadoxTable.h"
#include "../support/ScriptedPrompter.h"
#include "GazetteerFixture.h"
#include "common/AppError.h"
#include "gazetteer/GazetteerSource.h"
#include "gazetteer/PlaceSearcher.h"
#include "gazetteer/frmGeoSetup.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

using testing_support::AnswerWith;
using testing_support::ChooseFile;
using testing_support::NoiseBytes;
using testing_support::NpmFile;
using testing_support::NpmFileBytes;
using testing_support::ParadoxCell;
using testing_support::ParadoxDate;
using testing_support::ParadoxField;

class OutsideGazetteerTest : public gazetteer_test::GazetteerTest {
protected:
    // The user picks `path` with the dialog's Change button, then the table and the fields of the
    // nine roles by typing into the selectors, the coordinate format, and OK.
    void SetUpThroughTheDialog(const QString& path, const QString& table,
                               const QStringList& fields) {
        gazetteer::frmGeoSetup setup{gazetteer::GazetteerHost{}};
        setup.show();
        prompter_.expect(ChooseFile(path));
        QTest::mouseClick(setup.Command1[0], Qt::LeftButton);
        listedTables_.clear();
        for (int i = 0; i < setup.cmb[0]->count(); ++i) {
            listedTables_ << setup.cmb[0]->itemText(i);
        }
        shownPath_ = setup.lblFile->text();
        shownType_ = setup.lblDbType->text();
        QTest::keyClicks(setup.cmb[0], table);
        ASSERT_EQ(setup.cmb[0]->currentText(), table);
        listedFields_.clear();
        for (int i = 0; i < setup.cmb[1]->count(); ++i) {
            listedFields_ << setup.cmb[1]->itemText(i);
        }
        for (int k = 1; k <= fields.size(); ++k) {
            QTest::keyClicks(setup.cmb[static_cast<std::size_t>(k)], fields[k - 1]);
            ASSERT_EQ(setup.cmb[static_cast<std::size_t>(k)]->currentText(), fields[k - 1]) << k;
        }
        QTest::mouseClick(setup.Option2[1], Qt::LeftButton);
        QTest::mouseClick(setup.Command1[1], Qt::LeftButton);
        EXPECT_EQ(setup.result(), QDialog::Accepted);
        EXPECT_TRUE(prompter_.messages().empty());
    }

    // The rows of the hits, in listing order.
    std::vector<gazetteer::PlaceRow> Search(const QString& typed) {
        const gazetteer::PlaceHits hits = searcher_.search(platform::Settings(), typed, false);
        std::vector<gazetteer::PlaceRow> rows;
        for (const std::int64_t id : hits.ids) {
            rows.push_back(hits.reader->row(id));
        }
        return rows;
    }

    testing_support::ScriptedPrompter prompter_;
    gazetteer::PlaceSearcher searcher_;
    QStringList listedTables_;
    QStringList listedFields_;
    QString shownPath_;
    QString shownType_;
};

TEST_F(OutsideGazetteerTest, AnAccessGazetteerIsSetUpAndSearched) {
    // Known by its first bytes, whatever its name.
    const QString file = dir_.filePath(QStringLiteral("people.dat"));
    ASSERT_TRUE(QFile::copy(NpmFile("node-adodb/examples/node-adodb.mdb"), file));
    SetUpThroughTheDialog(file, QStringLiteral("Users"),
                          {QStringLiteral("UserName"), QStringLiteral("UserName"),
                           QStringLiteral("UserId"), QStringLiteral("UserId"),
                           QStringLiteral("UserSex")});
    EXPECT_EQ(listedTables_, QStringList{QStringLiteral("Users")});
    EXPECT_EQ(listedFields_, (QStringList{QStringLiteral("UserId"), QStringLiteral("UserName"),
                                          QStringLiteral("UserSex"), QStringLiteral("UserBirthday"),
                                          QStringLiteral("UserMarried")}));
    EXPECT_EQ(shownType_, QString());
    const platform::ProgramSettings& s = platform::Settings();
    EXPECT_EQ(s.File, file);
    EXPECT_EQ(s.DbType, QString());
    EXPECT_EQ(s.Table, QStringLiteral("Users"));
    EXPECT_EQ(s.LatitudeField, QStringLiteral("UserId"));

    const std::vector<gazetteer::PlaceRow> rows = Search(QStringLiteral("张"));
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0][0], QStringLiteral("张三"));
    EXPECT_EQ(rows[0][gazetteer::kFips].trimmed(), QStringLiteral("男"));
    const gazetteer::PickedPlace place = gazetteer::PlaceOfRow(rows[0]);
    EXPECT_EQ(place.latitude, 3.0F);
    EXPECT_EQ(place.longitude, 3.0F);
    EXPECT_EQ(Search(QStringLiteral("an")).size(), 1U); // Angela, without regard to case
}

TEST_F(OutsideGazetteerTest, TheTableAndFieldNamesOfAnAccessFileComeThroughWithBlanksAndSlashes) {
    const QString file = NpmFile("mdb/test/fruit.mdb");
    SetUpThroughTheDialog(file, QStringLiteral("Fruit"),
                          {QStringLiteral("Fruit"), QStringLiteral("Fruit"),
                           QStringLiteral("Fiber"), QStringLiteral("Vit A")});
    EXPECT_EQ(listedTables_,
              (QStringList{QStringLiteral("Fruit"), QStringLiteral("Fruit Salad"),
                           QStringLiteral("Veggie Salad"), QStringLiteral("Muffin/Bread"),
                           QStringLiteral("Dried")}));
    // Apricot: fibre 2, vitamin A 420 (as the independent reader mdb-reader reads the file).
    const std::vector<gazetteer::PlaceRow> rows = Search(QStringLiteral("apri"));
    ASSERT_EQ(rows.size(), 1U);
    const gazetteer::PickedPlace place = gazetteer::PlaceOfRow(rows[0]);
    EXPECT_EQ(place.name, QStringLiteral("Apricot"));
    EXPECT_EQ(place.latitude, 2.0F);
    EXPECT_EQ(place.longitude, 420.0F);

    platform::Settings().Table = QStringLiteral("Muffin/Bread");
    platform::Settings().ResearchField = QStringLiteral("fruit");
    platform::Settings().FullNameField = QStringLiteral("fruit");
    platform::Settings().LatitudeField = QStringLiteral("fruit");
    platform::Settings().LongitudeField = QStringLiteral("fruit");
    platform::Settings().FipsField.clear();
    gazetteer::GazetteerSource source(file, QString());
    EXPECT_EQ(source.fields(QStringLiteral("Muffin/Bread")), QStringList{QStringLiteral("fruit")});
    EXPECT_EQ(source.searchableTable(QStringLiteral("Muffin/Bread"), QStringLiteral("fruit")),
              QStringLiteral("main.\"Muffin/Bread\""));
}

TEST_F(OutsideGazetteerTest, AParadoxGazetteerIsSetUpThroughItsFolderAndSearched) {
    const QString folder = dir_.filePath(QStringLiteral("px"));
    ASSERT_TRUE(QDir().mkpath(folder));
    testing_support::WriteParadoxTable(folder + QStringLiteral("/PLACES.DB"),
                                       {{"Name", ParadoxField::Type::Alpha, 40},
                                        {"Lat", ParadoxField::Type::Number},
                                        {"Lon", ParadoxField::Type::Number},
                                        {"Country", ParadoxField::Type::Alpha, 4},
                                        {"Seen", ParadoxField::Type::Date}},
                                       {{QStringLiteral("Liège"), 50.63373, 5.56749,
                                         QStringLiteral("BE"), ParadoxDate{1999, 12, 31}},
                                        {QStringLiteral("Lille"), 50.63297, 3.05858,
                                         QStringLiteral("FR"), ParadoxDate{2001, 2, 3}},
                                        {QStringLiteral("Namur"), 50.4669, 4.86746,
                                         QStringLiteral("BE"), ParadoxDate{1900, 1, 1}}});
    // An SQLite file with the same ending is no Paradox table and is not listed.
    gazetteer_test::WriteSqliteGazetteer(folder + QStringLiteral("/other.db"));

    SetUpThroughTheDialog(folder + QStringLiteral("/PLACES.DB"), QStringLiteral("PLACES"),
                          {QStringLiteral("Name"), QStringLiteral("Name"), QStringLiteral("Lat"),
                           QStringLiteral("Lon"), QStringLiteral("Country")});
    EXPECT_EQ(listedTables_, QStringList{QStringLiteral("PLACES")});
    EXPECT_EQ(listedFields_,
              (QStringList{QStringLiteral("Name"), QStringLiteral("Lat"), QStringLiteral("Lon"),
                           QStringLiteral("Country"), QStringLiteral("Seen")}));
    EXPECT_EQ(shownPath_, folder);
    EXPECT_EQ(shownType_, gazetteer::kParadoxType);
    EXPECT_EQ(platform::Settings().File, folder);
    EXPECT_EQ(platform::Settings().DbType, gazetteer::kParadoxType);

    // In the search field's order, by bytes: "Lil" before "Li\u00e8".
    const std::vector<gazetteer::PlaceRow> rows = Search(QStringLiteral("LI"));
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(gazetteer::PlaceOfRow(rows[0]).name, QStringLiteral("Lille"));
    const gazetteer::PickedPlace liege = gazetteer::PlaceOfRow(rows[1]);
    EXPECT_EQ(liege.name, QStringLiteral("Liège"));
    EXPECT_EQ(liege.latitude, 50.63373F);
    EXPECT_EQ(liege.longitude, 5.56749F);
    EXPECT_EQ(liege.fips.trimmed(), QStringLiteral("BE"));

    // The dates come through as dates.
    gazetteer::GazetteerSource source(folder, gazetteer::kParadoxType);
    const QString table = source.searchableTable(QStringLiteral("PLACES"), QStringLiteral("Name"));
    SQLite::Statement dates(source.database(),
                            ("SELECT Seen FROM " + table + " ORDER BY rowid").toStdString());
    QStringList seen;
    while (dates.executeStep()) {
        seen << QString::fromStdString(dates.getColumn(0).getString());
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("1999-12-31"), QStringLiteral("2001-02-03"),
                                 QStringLiteral("1900-01-01")}));
}

// Damaged or foreign files chosen as the gazetteer: one message that names the file, and the
// dialog goes on.
TEST_F(OutsideGazetteerTest, ADamagedFileGivesOneMessageNamingIt) {
    const QByteArray access = NpmFileBytes("node-adodb/examples/node-adodb.mdb");
    const QByteArray noise = NoiseBytes(64 * 1024, 8105);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"zero-filled", QByteArray(64 * 1024, '\0')},
        {"random bytes", noise},
        {"a cut Access file", access.left(3 * 4096)},
        {"an Access header alone", access.left(4096)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir_.filePath(QStringLiteral("damaged.mdb"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        testing_support::ScriptedPrompter prompter;
        gazetteer::frmGeoSetup setup{gazetteer::GazetteerHost{}};
        prompter.expect(ChooseFile(path));
        prompter.expect(AnswerWith(platform::Answer::Ok));
        QTest::mouseClick(setup.Command1[0], Qt::LeftButton);
        ASSERT_EQ(prompter.messages().size(), 1U);
        EXPECT_TRUE(prompter.messages()[0].text.contains(path))
            << prompter.messages()[0].text.toStdString();
        EXPECT_EQ(prompter.pending(), 0U);

        // The search reports the same and nothing else.
        platform::Settings().File = path;
        platform::Settings().DbType.clear();
        try {
            searcher_.search(platform::Settings(), QStringLiteral("A"), false);
            ADD_FAILURE() << "a damaged file was read";
        } catch (const common::AppError& error) {
            EXPECT_NE(error.description().find(path.toStdString()), std::string::npos)
                << error.description();
        }
        platform::Settings().File = file_;
    }
}

} // namespace

#include "../support/ScriptedPrompter.h"
#include "GazetteerFixture.h"
#include "gazetteer/GazetteerSource.h"
#include "gazetteer/frmGeoSetup.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

namespace {

using platform::Answer;
using testing_support::AnswerWith;
using testing_support::ChooseFile;

class GeoSetupTest : public gazetteer_test::GazetteerTest {
protected:
    testing_support::ScriptedPrompter prompter_;
};

TEST_F(GeoSetupTest, ListsTheTablesAndPreselectsTheStoredFields) {
    gazetteer::frmGeoSetup setup{gazetteer::GazetteerHost{}};
    EXPECT_EQ(setup.cmb[0]->count(), 2);
    EXPECT_EQ(setup.cmb[0]->currentText(), QStringLiteral("ZEBGazet_Decoding"));
    EXPECT_EQ(setup.cmb[1]->currentText(), QStringLiteral("Sort_Name"));
    EXPECT_EQ(setup.cmb[5]->currentText(), QStringLiteral("FIPS_QOV"));
    EXPECT_EQ(setup.cmb[6]->currentText(), QString()); // the blank entry of an empty setting
    EXPECT_EQ(setup.cmb[6]->count(), 9);
    EXPECT_TRUE(setup.Option2[1]->isChecked());
    EXPECT_EQ(setup.lblDbType->text(), QString());
}

TEST_F(GeoSetupTest, OkStoresTheChoices) {
    gazetteer::frmGeoSetup setup{gazetteer::GazetteerHost{}};
    setup.cmb[2]->setCurrentText(QStringLiteral("Sort_Name"));
    setup.Option1[1]->setChecked(true);
    setup.Option2[0]->setChecked(true);
    setup.cmdOk_Click();
    const platform::ProgramSettings& s = platform::Settings();
    EXPECT_EQ(s.FullNameField, QStringLiteral("Sort_Name"));
    EXPECT_EQ(s.Sort, 1);
    EXPECT_EQ(s.CoordinatesType, 0);
    EXPECT_EQ(s.ProvinceField, QString());
}

TEST_F(GeoSetupTest, AConfigurationSavedAndOpenedGivesTheSameMapping) {
    const QString cfg = dir_.filePath(QStringLiteral("mapping.cfg"));
    {
        gazetteer::frmGeoSetup setup{gazetteer::GazetteerHost{}};
        setup.cmb[9]->setCurrentText(QStringLiteral("Country_Name"));
        setup.saveConfiguration(cfg);
    }
    platform::Settings().Table = QStringLiteral("Other");
    platform::Settings().ProvinceName.clear();
    gazetteer::frmGeoSetup setup{gazetteer::GazetteerHost{}};
    setup.openConfiguration(cfg);
    EXPECT_EQ(platform::Settings().Table, QStringLiteral("ZEBGazet_Decoding"));
    EXPECT_EQ(platform::Settings().ProvinceName, QStringLiteral("Country_Name"));
    EXPECT_EQ(setup.cmb[0]->currentText(), QStringLiteral("ZEBGazet_Decoding"));
    EXPECT_EQ(setup.cmb[9]->currentText(), QStringLiteral("Country_Name"));
    EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(GeoSetupTest, AFileCutShortIsReportedAndTheConfigurationStays) {
    const QString cfg = dir_.filePath(QStringLiteral("cut.cfg"));
    QFile file(cfg);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<DOVAZOV 2.0>\r\n/elsewhere.sqlite\r\ndBase IV;\r\nNTF\r\nother\r\n");
    file.close();
    gazetteer::frmGeoSetup setup{gazetteer::GazetteerHost{}};
    prompter_.expect(AnswerWith(Answer::Ok));
    setup.openConfiguration(cfg);
    ASSERT_EQ(prompter_.messages().size(), 1U);
    EXPECT_TRUE(prompter_.messages()[0].text.contains(QStringLiteral("62")));
    const platform::ProgramSettings& s = platform::Settings();
    EXPECT_EQ(s.File, file_);
    EXPECT_EQ(s.DbType, QString());
    EXPECT_EQ(s.LocalitiesDatum, QStringLiteral("WGS84"));
    EXPECT_EQ(s.Table, QStringLiteral("ZEBGazet_Decoding"));
}

TEST_F(GeoSetupTest, AMissingDatabaseIsAskedForAgainUntilCancelled) {
    const QString cfg = dir_.filePath(QStringLiteral("missing.cfg"));
    {
        gazetteer::frmGeoSetup setup{gazetteer::GazetteerHost{}};
        setup.lblFile->setText(dir_.filePath(QStringLiteral("Gone.SQLITE")));
        setup.saveConfiguration(cfg);
    }
    gazetteer::frmGeoSetup setup{gazetteer::GazetteerHost{}};
    prompter_.expect(AnswerWith(Answer::Ok));
    prompter_.expect(ChooseFile(dir_.filePath(QStringLiteral("still-gone.sqlite"))));
    prompter_.expect(AnswerWith(Answer::Ok));
    prompter_.expect(ChooseFile(QString()));
    setup.openConfiguration(cfg);
    EXPECT_EQ(prompter_.messages().size(), 2U);
    EXPECT_EQ(prompter_.fileDialogs().front().fileName, QStringLiteral("gone.sqlite"));
    EXPECT_EQ(platform::Settings().File, file_); // cancelled: the path is not taken
}

TEST_F(GeoSetupTest, ADbaseFileIsOpenedThroughItsFolder) {
    const QString folder = dir_.filePath(QStringLiteral("dbf"));
    ASSERT_TRUE(QDir().mkpath(folder));
    gazetteer_test::WriteDbfGazetteer(folder, QStringLiteral("places"));
    gazetteer::frmGeoSetup setup{gazetteer::GazetteerHost{}};
    prompter_.expect(ChooseFile(folder + QStringLiteral("/places.dbf")));
    setup.cmdChangeFile_Click();
    EXPECT_EQ(platform::Settings().DbType, gazetteer::kDbaseType);
    EXPECT_EQ(setup.lblFile->text(), folder);
    EXPECT_EQ(setup.cmb[0]->count(), 1);
    EXPECT_EQ(setup.cmb[0]->itemText(0), QStringLiteral("places"));
}

} // namespace

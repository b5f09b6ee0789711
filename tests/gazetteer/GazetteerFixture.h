#pragma once

#include "../support/RealDatums.h"
#include "../support/TempSettings.h"
#include "platform/ProgramSettings.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>
#include <shapefil.h>
#include <vector>

namespace gazetteer_test {

// A place of the fixtures, with its real position (GeoNames).
struct FixturePlace {
    const char* name;
    double latitude;
    double longitude;
    const char* fips;
    const char* feature;
    const char* country;
};

inline const std::vector<FixturePlace>& Places() {
    static const std::vector<FixturePlace> places = {
        {"Zonhoven", 50.99064, 5.36819, "BE", "PPL", "Belgium"},
        {"L'Isle-Adam", 49.10744, 2.22818, "FR11", "PPL", "France"},
        {"Lyon", 45.74846, 4.84671, "FR84", "PPLA", "France"},
        {"Lyons", 41.81337, -87.81811, "USIL", "PPL", "United States"},
        {"<B2>Lodz</B2>", 51.75, 19.46667, "PL74", "PPLA", "Poland"},
        {"Bar/Baz", -12.5, -1.25, "XX", "STM", "Nowhere"},
        {"Saint-Jean", 46.0, 6.0, "FR", "PPL", "France"},
    };
    return places;
}

// The gazetteer settings of the default mapping, pointed at `file`.
inline void DefaultMapping(const QString& file) {
    platform::ProgramSettings& s = platform::Settings();
    s.File = file;
    s.DbType.clear();
    s.Table = QStringLiteral("ZEBGazet_Decoding");
    s.ResearchField = QStringLiteral("Sort_Name");
    s.Sort = 0;
    s.FullNameField = QStringLiteral("Full_Name");
    s.LatitudeField = QStringLiteral("Latitude");
    s.LongitudeField = QStringLiteral("Longitude");
    s.CoordinatesType = 1;
    s.FipsField = QStringLiteral("FIPS_QOV");
    s.ProvinceField.clear();
    s.FeatureField = QStringLiteral("Feature_Desig_Code");
    s.CountryName = QStringLiteral("Country_Name");
    s.ProvinceName = QStringLiteral("Province_Name");
    s.LocalitiesDatum = QStringLiteral("WGS84");
}

// An SQLite gazetteer of the fixture places in the default mapping's table, without an index.
inline void WriteSqliteGazetteer(const QString& path) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec("CREATE TABLE ZEBGazet_Decoding (Sort_Name TEXT, Full_Name TEXT, Latitude REAL, "
            "Longitude REAL, FIPS_QOV TEXT, Feature_Desig_Code TEXT, Country_Name TEXT, "
            "Province_Name TEXT)");
    db.exec("CREATE TABLE Other (x TEXT)");
    SQLite::Statement insert(db, "INSERT INTO ZEBGazet_Decoding VALUES (?,?,?,?,?,?,?,'')");
    for (const FixturePlace& place : Places()) {
        QString sortName = QString::fromUtf8(place.name);
        sortName.remove(QStringLiteral("<B2>")).remove(QStringLiteral("</B2>"));
        insert.bind(1, sortName.toUpper().toStdString());
        insert.bind(2, place.name);
        insert.bind(3, place.latitude);
        insert.bind(4, place.longitude);
        insert.bind(5, place.fips);
        insert.bind(6, place.feature);
        insert.bind(7, place.country);
        insert.exec();
        insert.reset();
    }
}

// A dBase table of the fixture places written with shapelib, in `folder` under `table`.dbf.
inline void WriteDbfGazetteer(const QString& folder, const QString& table) {
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + table + ".dbf");
    DBFHandle dbf = DBFCreate(path.constData());
    ASSERT_NE(dbf, nullptr);
    DBFAddField(dbf, "SORTNAME", FTString, 40, 0);
    DBFAddField(dbf, "NAME", FTString, 40, 0);
    DBFAddField(dbf, "LAT", FTDouble, 12, 5);
    DBFAddField(dbf, "LON", FTDouble, 12, 5);
    DBFAddField(dbf, "FIPS", FTString, 4, 0);
    int row = 0;
    for (const FixturePlace& place : Places()) {
        const QString name = QString::fromUtf8(place.name);
        DBFWriteStringAttribute(dbf, row, 0, name.toUpper().toLatin1().constData());
        DBFWriteStringAttribute(dbf, row, 1, name.toLatin1().constData());
        DBFWriteDoubleAttribute(dbf, row, 2, place.latitude);
        DBFWriteDoubleAttribute(dbf, row, 3, place.longitude);
        DBFWriteStringAttribute(dbf, row, 4, place.fips);
        ++row;
    }
    DBFClose(dbf);
}

// A test with its own settings store, the real datum table and an SQLite gazetteer fixture in
// the default mapping.
class GazetteerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetProgramSettings();
        testing_support::LoadRealDatums();
        file_ = dir_.filePath(QStringLiteral("gazetteer.sqlite"));
        WriteSqliteGazetteer(file_);
        DefaultMapping(file_);
    }
    void TearDown() override { platform::ResetProgramSettings(); }

    testing_support::TempSettings settings_;
    QTemporaryDir dir_;
    QString file_;
};

} // namespace gazetteer_test

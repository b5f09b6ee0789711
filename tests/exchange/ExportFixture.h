#pragma once

#include "../support/RealDatums.h"
#include "../support/TempSettings.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"
#include "exchange/ExportColumns.h"
#include "geodesy/DatumTables.h"
#include "platform/ProgramSettings.h"
#include "platform/StringTable.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace export_test {

// One record as the test writes it into DOVAZOV; nullopt is Null.
struct Row {
    std::optional<int> PERIOD;
    std::optional<float> LATITUDE, LONGITUDE;
    std::optional<int> N1, N2;
    std::optional<QString> SEX, DATUM, ORIGINAL, DATE, COMMENT;
};

// A fresh working database in a temporary folder, the real datum tables, and the stored positions
// in the Belgian datum, so that Lambert 72 is the projection alone and PROJ can check it.
class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        document::ResetDocumentState();
        document::Data1().reset();
        platform::ResetProgramSettings();
        platform::SetLangue(platform::kFrench);
        ASSERT_EQ(testing_support::LoadRealDatums(), document::DatumLoad::Loaded);
        geodesy::DatumState& datums = geodesy::Datums();
        ASSERT_GT(datums.GridDatums[geodesy::kBel72], 0);
        datums.DestIndex = datums.GridDatums[geodesy::kBel72];
        document::CreateWorkDatabase(dir_.path());
    }
    void TearDown() override {
        document::Data1().reset();
        document::CloseWorkDatabase();
        document::ResetDocumentState();
        platform::ResetProgramSettings();
        geodesy::ResetDatumState();
    }

    static void Add(const Row& row) {
        SQLite::Statement insert(document::WorkDb(), document::kInsertRecordSql);
        int i = 1;
        const auto bindInt = [&](const std::optional<int>& v) {
            v ? insert.bind(i, *v) : insert.bind(i);
            ++i;
        };
        const auto bindReal = [&](const std::optional<float>& v) {
            v ? insert.bind(i, static_cast<double>(*v)) : insert.bind(i);
            ++i;
        };
        const auto bindText = [&](const std::optional<QString>& v) {
            v ? insert.bind(i, v->toStdString()) : insert.bind(i);
            ++i;
        };
        bindInt(row.PERIOD);
        bindReal(row.LATITUDE);
        bindReal(row.LONGITUDE);
        bindInt(row.N1);
        bindInt(row.N2);
        bindText(row.SEX);
        bindText(row.DATUM);
        bindText(row.ORIGINAL);
        bindText(row.DATE);
        bindText(row.COMMENT);
        insert.exec();
    }

    // The records of a query, as the grid would show them.
    static document::RecordSet Shown(const QString& source) {
        return document::RecordSet::open(document::WorkDb(), source);
    }

    QString path(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    // The files of the temporary folder but the working database's own folder.
    QStringList files() const {
        QStringList names = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
        return names;
    }

    testing_support::TempSettings settings_;
    QTemporaryDir dir_;
};

} // namespace export_test

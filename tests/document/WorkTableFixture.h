#pragma once

#include "../support/TempSettings.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"
#include "platform/ProgramSettings.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace testing_support {

// A fresh working database in a temporary folder and a document in its start state.
class WorkTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        document::ResetDocumentState();
        document::Data1().reset();
        platform::ResetProgramSettings();
        document::CreateWorkDatabase(dir_.path());
    }
    void TearDown() override {
        document::Data1().reset();
        document::CloseWorkDatabase();
        document::ResetDocumentState();
        platform::ResetProgramSettings();
    }

    // Adds rows with these periods (nullopt for Null) straight into the table.
    static void AddPeriods(const std::vector<std::optional<int>>& periods) {
        SQLite::Statement insert(document::WorkDb(), "INSERT INTO DOVAZOV (PERIOD) VALUES (?)");
        for (const auto& period : periods) {
            if (period) {
                insert.bind(1, *period);
            } else {
                insert.bind(1);
            }
            insert.exec();
            insert.reset();
        }
    }

    // The periods of the table in Counter order, -1 for Null.
    static std::vector<int> Periods() {
        std::vector<int> periods;
        SQLite::Statement query(document::WorkDb(), "SELECT PERIOD FROM DOVAZOV ORDER BY Counter");
        while (query.executeStep()) {
            periods.push_back(query.getColumn(0).isNull() ? -1 : query.getColumn(0).getInt());
        }
        return periods;
    }

    static int RowCount() {
        return document::WorkDb().execAndGet("SELECT COUNT(*) FROM DOVAZOV").getInt();
    }

    // Binds Data1 to a record source, as the reader or the selection dialog does.
    static void Show(const QString& recordSource) {
        document::Data1().setRecordSource(recordSource);
        document::Data1().refresh();
    }

    QString folder() const { return dir_.path(); }

private:
    TempSettings settings_;
    QTemporaryDir dir_;
};

} // namespace testing_support

#pragma once

#include "../support/ScriptedPrompter.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"
#include "maps/MapRecords.h"
#include "maps/RegionSymbols.h"
#include "platform/ProgramSettings.h"
#include "platform/StringTable.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace maps_test {

// A working table in a temporary folder shown by Data1, a scripted prompter, the program's
// pictures as the program folder, and a main window that keeps its selected rows in a list.
class MapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        document::ResetDocumentState();
        document::Data1().reset();
        platform::ResetProgramSettings();
        platform::SetLangue(platform::kEnglish);
        maps::ResetMapsState();
        document::CreateWorkDatabase(dir_.path());
        Refresh();
        host.selectedRows = [this] { return selected; };
        host.addSelected = [this](std::int64_t b) { selected.push_back(b); };
        host.removeSelected = [this](std::int64_t b) {
            selected.erase(std::remove(selected.begin(), selected.end(), b), selected.end());
        };
        host.currentRow = [] { return std::int64_t{0}; };
        host.setCurrentRow = [](std::int64_t) {};
        host.refreshData = [this] {
            ++refreshes;
            Refresh();
        };
        host.programFolder = QFileInfo(QStringLiteral(DOVAZOV_DATUM_DB)).path();
    }
    void TearDown() override {
        document::Data1().reset();
        document::CloseWorkDatabase();
        document::ResetDocumentState();
        platform::ResetProgramSettings();
        maps::ResetMapsState();
    }

    static void Refresh() {
        document::Data1().setRecordSource(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
        document::Data1().refresh();
    }
    // Adds a row at (lat, lon) with `period`, and shows it.
    static std::int64_t Add(std::optional<float> lat, std::optional<float> lon,
                            std::optional<std::int16_t> period = 1) {
        document::Record r;
        r.PERIOD = period;
        r.LATITUDE = lat;
        r.LONGITUDE = lon;
        r.DATUM = QStringLiteral("EUR-M");
        r.ORIGINAL = QStringLiteral("deg");
        const std::int64_t b = document::Data1().recordset().addNew(r);
        return b;
    }
    static int RowCount() {
        return document::WorkDb().execAndGet("SELECT COUNT(*) FROM DOVAZOV").getInt();
    }
    static bool Exists(std::int64_t counter) {
        SQLite::Statement q(document::WorkDb(), "SELECT COUNT(*) FROM DOVAZOV WHERE Counter = ?");
        q.bind(1, counter);
        q.executeStep();
        return q.getColumn(0).getInt() == 1;
    }

    QTemporaryDir dir_;
    testing_support::ScriptedPrompter prompter;
    maps::MapHost host;
    std::vector<std::int64_t> selected;
    int refreshes = 0;
};

} // namespace maps_test

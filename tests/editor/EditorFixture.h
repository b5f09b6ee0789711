#pragma once

#include "../support/RealDatums.h"
#include "../support/ScriptedPrompter.h"
#include "../support/TempSettings.h"
#include "app/RecordTableModel.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/FreeFields.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"
#include "editor/EditorHost.h"
#include "editor/PlaceSearch.h"
#include "editor/RecordEditor.h"
#include "geodesy/DatumTables.h"
#include "platform/ProgramSettings.h"
#include "platform/StringTable.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace editor_test {

// The main window as the record editor sees it: Data1's record set, the texts of the main grid,
// and a datum chooser and a place search that answer as a test says.
class TableHost final : public editor::EditorHost {
public:
    document::RecordSet* records() override {
        document::DataControl& data = document::Data1();
        return data.bound() ? &data.recordset() : nullptr;
    }
    QString gridText(const QVariant& value) const override { return app::CellText(value); }
    int currentColumn() const override { return column; }
    void showCurrentRow() override { ++rowsShown; }
    void rowWritten() override { ++rowsWritten; }
    void rowsAdded() override { ++rowsAddedCount; }
    QString chooseDatum(const QString& code) override {
        preselected.append(code);
        return chosenCode;
    }
    editor::PlaceSearch* placeSearch() override { return search; }

    int column = 1;
    QString chosenCode;
    QStringList preselected;
    editor::PlaceSearch* search = nullptr;
    int rowsShown = 0;
    int rowsWritten = 0;
    int rowsAddedCount = 0;
};

// A row of the working table by its fields; nothing for Null.
struct Row {
    std::optional<QString> original{};
    std::optional<QString> datum{};
    std::optional<QString> comment{};
    std::optional<std::int16_t> period = 1;
    std::optional<float> latitude{};
    std::optional<float> longitude{};
    std::optional<std::int32_t> n1{};
    std::optional<std::int32_t> n2{};
    std::optional<QString> sex{};
    std::optional<QString> date{};
};

// The real datum table (destination, degree and UTM datums EUR-M), a working table in a temporary
// folder shown by Data1 in Counter order, French captions, a scripted prompter that fails the test
// on any message it was not told to expect, and a record editor over it all.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        document::ResetDocumentState();
        document::Data1().reset();
        platform::ResetProgramSettings();
        platform::SetLangue(platform::kFrench);
        platform::Settings().LabelNumeric1 = QStringLiteral("Number 1");
        platform::Settings().LabelNumeric2 = QStringLiteral("Number 2");
        platform::Settings().InputMode = 0;
        ASSERT_EQ(testing_support::LoadRealDatums(), document::DatumLoad::Loaded);
        geodesy::SetDefaultDatumIndexes();
        document::CreateWorkDatabase(dir_.path());
        Show(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
        editor_ = std::make_unique<editor::RecordEditor>(host_);
    }
    void TearDown() override {
        editor_.reset();
        document::Data1().reset();
        document::CloseWorkDatabase();
        document::ResetDocumentState();
        platform::ResetProgramSettings();
        geodesy::ResetDatumState();
    }

    static std::int64_t Add(const Row& row) {
        document::Record r;
        r.ORIGINAL = row.original;
        r.DATUM = row.datum;
        r.COMMENT = row.comment;
        r.PERIOD = row.period;
        r.LATITUDE = row.latitude;
        r.LONGITUDE = row.longitude;
        r.N1 = row.n1;
        r.N2 = row.n2;
        r.SEX = row.sex;
        r.DATE = row.date;
        SQLite::Statement insert(document::WorkDb(), document::kInsertRecordSql);
        document::BindRecord(insert, r);
        insert.exec();
        return document::WorkDb().getLastInsertRowid();
    }

    // The row as stored now.
    static document::Record Stored(std::int64_t counter) {
        SQLite::Statement query(document::WorkDb(),
                                "SELECT Counter, PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, "
                                "ORIGINAL, DATE, COMMENT FROM DOVAZOV WHERE Counter = ?");
        query.bind(1, counter);
        EXPECT_TRUE(query.executeStep()) << "no row " << counter;
        return document::RecordFromRow(query);
    }

    static int RowCount() {
        return document::WorkDb().execAndGet("SELECT COUNT(*) FROM DOVAZOV").getInt();
    }

    // Data1 on a record source, on its first row.
    static void Show(const QString& source) {
        document::Data1().setRecordSource(source);
        document::Data1().refresh();
    }
    static document::RecordSet& Records() { return document::Data1().recordset(); }

    // Data1 runs its source again and the editor opens on the row `counter`.
    void OpenOn(std::int64_t counter) {
        document::Data1().refresh();
        Records().setBookmark(counter);
        editor_->Form_Load();
    }

    // Free-field definitions of the document.
    static void SetFreeFields(const QStringList& codes, const QStringList& labels) {
        document::FreeFieldModel model;
        for (qsizetype i = 0; i < codes.size(); ++i) {
            model.FreeFields.push_back({labels.value(i), codes[i], static_cast<std::int16_t>(i)});
        }
        document::InstallFreeFields(model);
    }

    editor::EditorState& state() { return editor_->state(); }
    const QString& text(editor::Control control) { return state().text(control); }
    // The user types a whole new text into a control.
    void Type(editor::Control control, const QString& value) {
        editor_->Edit(control, QString());
        editor_->Edit(control, value);
    }

    static std::int16_t Index(const char* code) { return geodesy::DatumIndex(code); }

    testing_support::TempSettings settings_;
    QTemporaryDir dir_;
    testing_support::ScriptedPrompter prompter_;
    TableHost host_;
    std::unique_ptr<editor::RecordEditor> editor_;
};

} // namespace editor_test

// Arbitrary bytes as a whole distribution file through the reader (header, free-field block,
// period line, record lines, both layouts; opened or merged into a document), then the document
// through the writer. A read either succeeds or leaves the table as it was; the free-field model
// always agrees with itself. Any other outcome, a crash or a sanitizer report is a finding.
#include "document/DataControl.h"
#include "document/DistributionReader.h"
#include "document/DistributionWriter.h"
#include "document/DocumentState.h"
#include "document/FreeFields.h"
#include "document/WorkDatabase.h"
#include "fuzz/support/Check.h"
#include "fuzz/support/GridDatums.h"
#include "geodesy/DatumTables.h"
#include "platform/Prompter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {

// Answers every question with its first button (Yes, OK): a merge refusal or a failure is
// acknowledged, the writer's "Continuer?" goes on.
class AnsweringPrompter final : public platform::Prompter {
public:
    platform::Answer message(const platform::MessageRequest& request) override {
        return request.buttons == platform::Buttons::YesNo ? platform::Answer::Yes
                                                           : platform::Answer::Ok;
    }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const platform::FileDialogRequest&) override { return {}; }
    QString saveFile(const platform::FileDialogRequest&) override { return {}; }
    void beep() override {}
};

// The grid datums, WGS84 and the usual destination with their ellipsoids and shifts.
void FillDatums() {
    auto& state = fuzzsupport::FillGridDatums(fuzzsupport::Shifts::ToWgs84);
    fuzzsupport::AddWgs84(state);
    for (std::size_t i = 1; i < state.DatumTable.size(); ++i) {
        const auto& e = state.EllipsoidTable[static_cast<std::size_t>(state.DatumTable[i].ELLI_ID)];
        state.DatumTable[i].da = static_cast<std::int16_t>(6378137 - e.A);
        state.DatumTable[i].df = 1 / 298.257223563 - 1 / e.f_Inv;
        geodesy::NoteSystemDatum(state.DatumTable[i], static_cast<std::int16_t>(i));
    }
    state.datumTableFilled = true;
}

struct Setup {
    Setup() {
        FillDatums();
        platform::SetPrompter(&prompter);
        document::CreateWorkDatabase(dir.path());
    }
    QTemporaryDir dir;
    AnsweringPrompter prompter;
};

int RowCount() {
    return document::WorkDb().execAndGet("SELECT COUNT(*) FROM DOVAZOV").getInt();
}

using fuzzsupport::Check;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Setup setup;
    if (size < 1) {
        return 0;
    }
    const bool merge = (data[0] & 1) != 0;
    const bool write = (data[0] & 2) != 0;
    QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    document::ResetDocumentState();
    document::Data1().reset();
    geodesy::Datums().DestCode = "EUR-M";
    geodesy::SetDefaultDatumIndexes();
    if (merge) {
        // A document of one record with two free fields to merge into.
        document::WorkDb().exec("DELETE FROM DOVAZOV");
        document::WorkDb().exec("INSERT INTO DOVAZOV (PERIOD, LATITUDE, LONGITUDE, DATUM, "
                                "ORIGINAL, COMMENT) VALUES (1, 50, 4, 'EUR-M', 'deg 50 4', '//')");
        document::FreeFieldModel fields = document::StartFreeFieldModel("/");
        document::AddDefinitionLine(fields, "HAB,Habitat,3");
        document::AddDefinitionLine(fields, "ALT,Altitude,5");
        document::InstallFreeFields(fields);
    }
    const int before = RowCount();

    document::ReaderHooks hooks;
    hooks.programFolder = setup.dir.filePath("program"); // no "standard.hdr" there
    document::BytesLineSource source(bytes);
    const bool read = document::ChargeDegFrom(
        source, "fuzz.deg", merge ? document::kMergeMode : document::kOpenMode, hooks);
    const document::DocumentState& doc = document::Document();
    Check(doc.FreeFieldCount == static_cast<int>(doc.FreeFields.size()));
    if (!read) {
        Check(RowCount() == before);
        return 0;
    }
    Check(merge ? RowCount() >= before : true);
    if (write) {
        const QString file = setup.dir.filePath("written.deg");
        document::SauveDeg(file, (data[0] & 4) != 0, {"title", "comment"});
        QFile::remove(file);
    }
    return 0;
}

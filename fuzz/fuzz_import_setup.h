#pragma once

// What the import fuzz targets share: the grid datums and WGS84 as the degree, UTM and
// destination datum, a working table, a prompter that acknowledges every message, and the check
// that an import either adds exactly what it reports or leaves the table as it was.

#include "document/DataControl.h"
#include "document/DocumentState.h"
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
#include <exception>

namespace fuzzimport {

class AnsweringPrompter final : public platform::Prompter {
public:
    platform::Answer message(const platform::MessageRequest&) override {
        return platform::Answer::Ok;
    }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const platform::FileDialogRequest&) override { return {}; }
    QString saveFile(const platform::FileDialogRequest&) override { return {}; }
    void beep() override {}
};

inline void FillDatums() {
    auto& state = fuzzsupport::FillGridDatums(fuzzsupport::Shifts::ToWgs84);
    fuzzsupport::AddWgs84(state);
    for (std::size_t i = 1; i < state.DatumTable.size(); ++i) {
        const auto& e = state.EllipsoidTable[static_cast<std::size_t>(state.DatumTable[i].ELLI_ID)];
        state.DatumTable[i].da = static_cast<std::int16_t>(6378137 - e.A);
        state.DatumTable[i].df = 1 / 298.257223563 - 1 / e.f_Inv;
        geodesy::NoteSystemDatum(state.DatumTable[i], static_cast<std::int16_t>(i));
    }
    state.datumTableFilled = true;
    state.FromCode = state.UTMCode = state.DestCode = "WGS84";
    geodesy::SetDefaultDatumIndexes();
}

struct Setup {
    Setup() {
        FillDatums();
        platform::SetPrompter(&prompter);
        document::CreateWorkDatabase(dir.path());
        document::Data1().setRecordSource(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
        document::Data1().refresh();
    }
    QString write(const std::uint8_t* data, std::size_t size) const {
        const QString path = QDir(dir.path()).filePath(QStringLiteral("input.txt"));
        QFile file(path);
        fuzzsupport::Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
        return path;
    }
    QTemporaryDir dir;
    AnsweringPrompter prompter;
};

inline int RowCount() {
    return document::WorkDb().execAndGet("SELECT COUNT(*) FROM DOVAZOV").getInt();
}

// Runs one import: on success the table grew by what it reports, on failure it did not change.
template <typename Import> void CheckAllOrNothing(Import&& import) {
    const int before = RowCount();
    try {
        const int added = import();
        fuzzsupport::Check(RowCount() == before + added);
    } catch (const std::exception&) {
        fuzzsupport::Check(RowCount() == before);
    }
    // Keep the table small so that every input starts from the same state.
    document::WorkDb().exec("DELETE FROM DOVAZOV");
    document::Data1().refresh();
}

} // namespace fuzzimport

// Arbitrary bytes as a MapSource waypoint file: the reader either gives waypoints no wider than
// the Header line or refuses the file; every waypoint it gives then goes through the import, with
// the date and the altitude cut from columns, which either appends exactly what it reports or
// leaves the table as it was. Any other outcome, a crash or a sanitizer report is a finding.
#include "document/FreeFields.h"
#include "exchange/GpsWaypointFile.h"
#include "exchange/ImportCommands.h"
#include "fuzz_import_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzzimport::Setup setup;
    static const bool freeFields = [] {
        document::InstallFreeFields(document::BuiltInFreeFields());
        return true;
    }();
    (void)freeFields;
    const QString path = setup.write(data, size);
    exchange::GpsWaypointFile file;
    try {
        file = exchange::ReadGpsWaypointFile(path);
    } catch (const std::exception&) {
        return 0;
    }
    for (const QStringList& waypoint : file.waypoints) {
        fuzzsupport::Check(waypoint.size() <= file.columns.size());
    }
    exchange::WaypointImportInput input;
    input.grid = file.grid.value_or(static_cast<int>(size % exchange::kGpsGridCount));
    input.datum = file.datum.isEmpty() ? QStringLiteral("WGS84") : file.datum;
    input.columns = file.columns;
    input.settings.DateImport = exchange::kSourceColumn;
    input.settings.DateField = file.columns.value(3);
    input.settings.AltitudeImport = exchange::kSourceColumn;
    input.settings.AltitudeField = file.columns.value(5);
    input.freeFields = document::Document().FreeFields;
    input.separator = document::Document().FreeFieldSeparator;
    std::vector<QStringList> checked;
    for (QStringList cells : file.waypoints) {
        checked.push_back(std::move(cells));
    }
    fuzzimport::CheckAllOrNothing([&] { return exchange::ImportWaypointRecords(input, checked); });
    return 0;
}

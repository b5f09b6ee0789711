// Arbitrary bytes as a PCX5 waypoint file: the import either appends exactly the waypoints it
// reports or leaves the table as it was. Any other outcome, a crash or a sanitizer report is a
// finding.
#include "exchange/ImportCommands.h"
#include "fuzz_import_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzzimport::Setup setup;
    const QString path = setup.write(data, size);
    fuzzimport::CheckAllOrNothing([&] { return exchange::ImportPcx5Records(path); });
    return 0;
}

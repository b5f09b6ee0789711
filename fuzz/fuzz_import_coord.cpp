// Arbitrary bytes as a coordinate import file, the first byte choosing the coordinate system:
// the import either appends exactly the records it reports or leaves the table as it was. Any
// other outcome, a crash or a sanitizer report is a finding.
#include "exchange/ImportCommands.h"
#include "fuzz_import_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzzimport::Setup setup;
    if (size == 0) {
        return 0;
    }
    const int system = data[0] % 16;
    const QString path = setup.write(data + 1, size - 1);
    fuzzimport::CheckAllOrNothing([&] { return exchange::ImportCoordRecords(path, system); });
    return 0;
}

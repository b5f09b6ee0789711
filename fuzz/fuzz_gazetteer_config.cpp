// Arbitrary bytes as a gazetteer configuration file. The reader either refuses them with one of
// its errors or gives a mapping that our writer turns into a file reading back to the same
// mapping (or refuses, for a value the layout cannot carry). Any other exception, a crash or a
// sanitizer report is a finding.
#include "common/AppError.h"
#include "fuzz/support/Check.h"
#include "gazetteer/GeoConfig.h"

#include <QByteArray>
#include <cstdint>

using fuzzsupport::Check;

namespace {

bool Same(const gazetteer::GeoConfig& a, const gazetteer::GeoConfig& b) {
    // A file of the older layout is written in the current one, with its two name fields empty.
    return a.path == b.path && a.dbType == b.dbType && a.datum == b.datum && a.table == b.table &&
           a.fields == b.fields && a.flags == b.flags;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    gazetteer::GeoConfig config;
    try {
        config = gazetteer::ReadConfig(bytes);
    } catch (const common::AppError& error) {
        Check(error.number() == common::kInputPastEnd || error.number() == common::kTypeMismatch ||
              error.number() == common::kInvalidCall);
        return 0;
    }
    QByteArray written;
    try {
        written = gazetteer::WriteConfig(config);
    } catch (const common::AppError& error) {
        Check(error.number() == common::kInvalidCall);
        return 0;
    }
    const gazetteer::GeoConfig again = gazetteer::ReadConfig(written);
    Check(again.currentLayout);
    Check(Same(config, again));
    Check(gazetteer::WriteConfig(again) == written);
    return 0;
}

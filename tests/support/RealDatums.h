#pragma once

#include "geodesy/DatumTables.h"
#include "platform/DatumDatabase.h"
#include "platform/Settings.h"

namespace testing_support {

// Fills the datum state afresh from the generated datum database, named in the settings store in
// use (a TempSettings or a test's own store).
inline platform::DatumLoad LoadRealDatums() {
    geodesy::ResetDatumState();
    platform::SaveSetting("ZEB", "Datum", "DB", DOVAZOV_DATUM_DB);
    return platform::LoadDatums({});
}

} // namespace testing_support

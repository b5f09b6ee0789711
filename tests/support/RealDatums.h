#pragma once

#include "document/DatumDatabase.h"
#include "geodesy/DatumTables.h"
#include "platform/Settings.h"

namespace testing_support {

// Fills the datum state afresh from the generated datum database, named in the settings store in
// use (a TempSettings or a test's own store).
inline document::DatumLoad LoadRealDatums() {
    geodesy::ResetDatumState();
    platform::SaveSetting("ZEB", "Datum", "DB", DOVAZOV_DATUM_DB);
    return document::LoadDatums({});
}

} // namespace testing_support

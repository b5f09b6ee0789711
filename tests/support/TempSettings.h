#pragma once

#include "platform/Settings.h"

#include <QTemporaryDir>

namespace testing_support {

// Points the settings store at a fresh folder for the life of a test.
class TempSettings {
public:
    TempSettings() { platform::SetSettingsFolder(dir_.path()); }
    ~TempSettings() { platform::SetSettingsFolder({}); }
    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

} // namespace testing_support

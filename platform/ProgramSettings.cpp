#include "platform/ProgramSettings.h"

namespace platform {

namespace {

ProgramSettings& State() {
    static ProgramSettings settings;
    return settings;
}

} // namespace

ProgramSettings& Settings() {
    return State();
}

void ResetProgramSettings() {
    State() = ProgramSettings{};
}

int EffectiveSaveInterval(const ProgramSettings& settings) {
    return settings.SaveInterval < 1 ? 5 : settings.SaveInterval;
}

} // namespace platform

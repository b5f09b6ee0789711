#include "../support/ScriptedPrompter.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"

#include <gtest/gtest.h>

namespace {

TEST(BeepUnlessSilent, BeepsOnlyWithoutSilence) {
    platform::ResetProgramSettings();
    testing_support::ScriptedPrompter prompter;
    platform::BeepUnlessSilent();
    EXPECT_EQ(prompter.beeps(), 1);
    platform::Settings().Silence = 1;
    platform::BeepUnlessSilent();
    platform::Settings().Silence = -1; // any value but 0 is silence
    platform::BeepUnlessSilent();
    EXPECT_EQ(prompter.beeps(), 1);
    platform::ResetProgramSettings();
}

} // namespace

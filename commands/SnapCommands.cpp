#include "commands/SnapCommands.h"

#include "commands/SnapRules.h"
#include "common/Numeric.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <cmath>

namespace commands {

namespace {

constexpr int kWaitTextId = 723;
constexpr float kNoMesh = 999.0F;

// One mesh prompt, asked again after a beep while the answer is above `limit` (999 passes).
float AskMesh(int promptId, float limit) {
    for (;;) {
        const QString answer =
            platform::InputBox(platform::ResText(promptId), platform::ResText(167), QString());
        const auto mesh = static_cast<float>(std::fabs(common::NumericValue(answer.toStdString())));
        if (mesh == 0.0F || mesh == kNoMesh || mesh <= limit) {
            return mesh;
        }
        platform::Beep();
    }
}

} // namespace

WalkResult AjusteGrades() {
    return RunSnapCommand(GradeRule(), platform::ResText(kWaitTextId));
}

WalkResult AjusteCoor(bool run) {
    if (!run) {
        return {};
    }
    const platform::ProgramSettings& settings = platform::Settings();
    return RunSnapCommand(GridSquareRule(settings.UtmAjust, settings.GridAjust),
                          platform::ResText(kWaitTextId));
}

WalkResult AjusteIfbl(int index) {
    static constexpr int kLengths[] = {2, 4, 6};
    if (index < 0 || index > 2) {
        return {};
    }
    return RunSnapCommand(IfblSquareRule(kLengths[index]), platform::ResText(kWaitTextId));
}

WalkResult AjusteDegreesCells(float meshLat, float meshLon) {
    return RunSnapCommand(DegreeCellRule(meshLat, meshLon), QString());
}

std::optional<std::pair<float, float>> AskMeshSizes() {
    const float lat = AskMesh(166, 90.0F);
    if (lat == 0.0F) {
        return std::nullopt;
    }
    const float lon = AskMesh(168, 180.0F);
    if (lon == 0.0F) {
        return std::nullopt;
    }
    return std::make_pair(lat, lon);
}

} // namespace commands

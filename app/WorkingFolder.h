#pragma once

#include <QString>

namespace app {

// Makes the run's working database for the working-folder setting `workingDir`: in a private
// folder inside it when it is usable, otherwise inside DefaultWorkingDir after a message that
// names the folder and the reason. WorkingDir keeps the setting either way.
void CreateRunWorkDatabase(const QString& workingDir);

} // namespace app

#include "editor/DatumChoice.h"

#include "editor/BoxLayout.h"
#include "editor/EntryConversion.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <exception>

namespace editor {

void cmbSystem_Click(EditorState& state, int index) {
    if (state.OnLoad) {
        return;
    }
    platform::Settings().InputMode = static_cast<std::int16_t>(index);
    AdapteInputbox(state);
}

void cmdChangeDatum_Click(EditorState& state, EditorHost& host) {
    try {
        const QString code = host.chooseDatum(state.lblDatum.left(5).trimmed());
        if (!code.isEmpty()) {
            geodesy::DatumState& datums = geodesy::Datums();
            for (int i = 1; i <= datums.datumCount(); ++i) {
                const geodesy::DatumRec& row = datums.datum(i);
                if (QString::fromStdString(row.Code) != code) {
                    continue;
                }
                const int mode = platform::Settings().InputMode;
                const bool utmOrMgrs = mode == static_cast<int>(geodesy::CoordSystem::Utm) ||
                                       mode == static_cast<int>(geodesy::CoordSystem::Mgr);
                if (utmOrMgrs && row.Use < geodesy::kUseUtm) {
                    platform::MsgBox(code + QLatin1Char('\r') + platform::ResText(807),
                                     platform::Buttons::Ok, platform::Icon::Critical);
                    return;
                }
                state.lblDatum = code;
                state.lblDatumToolTip = code;
                state.markChanged();
                break;
            }
            datums.InputDatum = geodesy::DatumIndex(state.lblDatum.toStdString());
        }
        EditBox_LostFocus(state, 2);
    } catch (const std::exception& error) {
        platform::ShowErrorOf(error);
    }
}

} // namespace editor

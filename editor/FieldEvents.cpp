#include "editor/FieldEvents.h"

#include "common/Numeric.h"
#include "document/Periods.h"
#include "editor/CheckPanel.h"
#include "editor/EntryConversion.h"
#include "geodesy/CoordinateText.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"

#include <exception>

namespace editor {

void DerivePeriod(EditorState& state) {
    const QString date = state.text(Control::ChampAnnee);
    if (date == EmptyDate()) {
        return;
    }
    const double year = common::NumericValue(date.toStdString());
    if (const auto period = document::PeriodFromYear(year)) {
        state.setText(Control::ChampPeriode, QString::number(*period));
    }
}

void ChampLongitude_LostFocus(EditorState& state) {
    ControleRecalculGuarded(state);
    // Only an MGRS entry is converted again: the boxes of any other system hold no reference.
    if (platform::Settings().UtmAjust > 0 &&
        platform::Settings().InputMode == static_cast<int>(geodesy::CoordSystem::Mgr)) {
        try {
            MgrsEnLatLong(state);
        } catch (const std::exception& error) {
            platform::ShowErrorOf(error);
        }
    }
}

} // namespace editor

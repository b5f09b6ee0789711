#include "app/GazetteerPlaceSearch.h"

#include "app/Form1.h"
#include "app/frmDatum.h"
#include "gazetteer/GazetteerSource.h"
#include "gazetteer/frmGeoQuery.h"
#include "platform/ProgramSettings.h"

namespace app {

gazetteer::frmGeoQuery& GazetteerPlaceSearch::window() {
    auto* window = form_.findChild<gazetteer::frmGeoQuery*>(QStringLiteral("frmGeoQuery"),
                                                            Qt::FindDirectChildrenOnly);
    if (window == nullptr) {
        gazetteer::GazetteerHost host;
        Form1* form = &form_;
        host.chooseDatum = [form](const QString& code) {
            return RunDatumChooser(*form->datumChooser, code);
        };
        host.showHelp = [form] { form->MnuInfo_Click(0); };
        window = new gazetteer::frmGeoQuery(std::move(host), &form_);
    }
    return *window;
}

void GazetteerPlaceSearch::prepare() {
    const platform::ProgramSettings& settings = platform::Settings();
    // No gazetteer set up, or one read by a child process when searched: nothing to read ahead,
    // and no window made for it.
    if (settings.File.isEmpty() || !gazetteer::OpensInProcess(settings.File, settings.DbType)) {
        return;
    }
    window().prepareSearch();
}

std::optional<editor::ChosenPlace> GazetteerPlaceSearch::choose() {
    const std::optional<gazetteer::PickedPlace> picked = window().choose();
    if (!picked) {
        return std::nullopt;
    }
    editor::ChosenPlace place;
    place.latitude = gazetteer::AsDecimal(picked->latitude);
    place.longitude = gazetteer::AsDecimal(picked->longitude);
    place.name = picked->name;
    place.fips = picked->fips;
    place.designation = picked->designation;
    return place;
}

} // namespace app

#include "editor/PlaceTakeOver.h"

#include "document/DocumentState.h"
#include "editor/BoxLayout.h"
#include "editor/EditorTexts.h"
#include "editor/EntryConversion.h"
#include "geodesy/DatumTables.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <QLocale>
#include <exception>

namespace editor {

namespace {

// Gazetteer coordinates packed as degrees, minutes and seconds (ddmmss) rather than degrees.
constexpr int kPackedDms = 0;
constexpr double kPackedScale = 10000.0;

QString ShortestText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString WithoutSlash(QString text) {
    return text.replace(QLatin1Char('/'), QLatin1Char('-'));
}

} // namespace

void TakeOverPlace(EditorState& state, const ChosenPlace& place) {
    platform::ProgramSettings& settings = platform::Settings();
    state.EditBox[1].visible = true;
    state.LblEditBox[1].visible = true;
    const bool packed = settings.CoordinatesType == kPackedDms;
    settings.InputMode = packed ? 1 : 0;
    AdapteInputbox(state);
    if (packed) {
        state.setText(Control::EditBox1, PaddedFiveDecimalText(place.latitude / kPackedScale, 2));
        state.setText(Control::EditBox2, PaddedFiveDecimalText(place.longitude / kPackedScale, 3));
    } else {
        state.setText(Control::EditBox1, ShortestText(place.latitude));
        state.setText(Control::EditBox2, ShortestText(place.longitude));
    }

    if (settings.LocalitiesDatum.isEmpty()) {
        settings.LocalitiesDatum = QStringLiteral("WGS84");
    }
    state.lblDatum = settings.LocalitiesDatum;
    geodesy::Datums().InputDatum = geodesy::DatumIndex(state.lblDatum.toStdString());
    geodesy::SelectDatum(geodesy::Datums().InputDatum);

    bool topoField = false;
    const auto& fields = document::Document().FreeFields;
    for (std::size_t i = 0;
         i < fields.size() && i < static_cast<std::size_t>(state.freeFieldValues.size()); ++i) {
        const QString code = fields[i].Code.toUpper();
        QString& value = state.freeFieldValues[static_cast<qsizetype>(i)];
        if (code == QLatin1String("STAT.TOPO")) {
            value = WithoutSlash(place.name);
            topoField = true;
        } else if (code == QLatin1String("STAT.FIPS")) {
            value = WithoutSlash(place.fips);
        } else if (code == QLatin1String("STAT.DESI")) {
            value = WithoutSlash(place.designation);
        }
    }
    if (!topoField) {
        const QString fips = place.fips.trimmed();
        state.setText(
            Control::ChampLibre,
            place.name +
                (fips.isEmpty() ? QString() : QStringLiteral(" (") + fips + QLatin1Char(')')) +
                state.text(Control::ChampLibre));
    }
}

void cmdSearch_Click(EditorState& state, EditorHost& host) {
    PlaceSearch* search = host.placeSearch();
    if (search == nullptr) {
        platform::MsgBox(platform::ResText(650));
        return;
    }
    try {
        if (const auto place = search->choose()) {
            TakeOverPlace(state, *place);
        }
    } catch (const std::exception& error) {
        platform::ShowErrorOf(error);
    }
    EditBox_LostFocus(state, 2);
}

} // namespace editor

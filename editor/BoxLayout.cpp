#include "editor/BoxLayout.h"

#include "common/AppError.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "platform/ProgramSettings.h"
#include "platform/StringTable.h"

namespace editor {

namespace {

using Caption = SystemLayout::Caption;
using Datum = SystemLayout::Datum;
using Place = SystemLayout::Place;

// Box places of the five arrangements. Each box starts 60 twips right of the one before.
constexpr std::array<std::optional<Place>, 3> kTwoValues{std::nullopt, Place{120, 1700},
                                                         Place{1880, 1700}};
constexpr std::array<std::optional<Place>, 3> kSquareOnly{std::nullopt, std::nullopt,
                                                          Place{120, 1700}};
constexpr std::array<std::optional<Place>, 3> kUtm{Place{120, 540}, Place{720, 1500},
                                                   Place{2280, 1500}};
constexpr std::array<std::optional<Place>, 3> kMgrs{Place{120, 540}, Place{720, 540},
                                                    Place{1320, 2000}};
constexpr std::array<std::optional<Place>, 3> kLetters{std::nullopt, Place{120, 540},
                                                       Place{720, 1700}};

constexpr std::optional<Caption> Text(const char* fixed) {
    return Caption{0, fixed};
}
constexpr std::optional<Caption> Id(int id) {
    return Caption{id, ""};
}
constexpr std::optional<Caption> kKeep = std::nullopt;
constexpr std::optional<int> kNotSet = std::nullopt;

// A Lambert plane system of France or Morocco: x and y in metres.
constexpr SystemLayout Plane(const char* code, int id, const char* datum) {
    return {code,
            id,
            false,
            true,
            Datum::Fixed,
            datum,
            false,
            id,
            {kKeep, Text("x (mètres)"), Text("y (mètres)")},
            {kNotSet, 7, 7},
            kTwoValues};
}

const std::array<SystemLayout, geodesy::kCoordSystemCount> kLayouts{{
    {"deg",
     217,
     false,
     true,
     Datum::FromDefault,
     "",
     true,
     0,
     {kKeep, Text("+52.98555"), Text("-003.56963")},
     {kNotSet, 9, 10},
     kTwoValues},
    {"dms",
     218,
     false,
     true,
     Datum::FromDefault,
     "",
     true,
     0,
     {kKeep, Id(225), Id(226)},
     {kNotSet, 9, 10},
     kTwoValues},
    {"utm",
     219,
     true,
     true,
     Datum::UtmDefault,
     "",
     true,
     0,
     {Id(227), Text("Easting (616000)"), Text("Northing (5564000)")},
     {2, 6, 7},
     kUtm},
    {"mgr",
     220,
     true,
     true,
     Datum::UtmDefault,
     "",
     true,
     0,
     {Id(227), Text("Zone (U)"), Id(228)},
     {2, 1, 12},
     kMgrs},
    // Paris grades start on NTF, but the user may enter them in another datum.
    {"grp",
     221,
     false,
     true,
     Datum::Fixed,
     "NTF",
     true,
     213,
     {kKeep, Text("+48.9552"), Text("+003.5423")},
     {kNotSet, 9, 10},
     kTwoValues},
    {"bng",
     222,
     false,
     true,
     Datum::Fixed,
     "OGB-M",
     false,
     214,
     {kKeep, Text("SM"), Text("2354")},
     {kNotSet, 2, 10},
     kLetters},
    {"itm",
     223,
     false,
     true,
     Datum::Fixed,
     "IRL",
     false,
     215,
     {kKeep, Text("IL"), Text("2354")},
     {kNotSet, 2, 10},
     kLetters},
    {"lmb",
     224,
     false,
     true,
     Datum::Fixed,
     "BEL72",
     false,
     216,
     {kKeep, Text("112568"), Text("128963")},
     {kNotSet, 6, 6},
     kTwoValues},
    {"ifb",
     308,
     false,
     false,
     Datum::Fixed,
     "BEL72",
     false,
     216,
     {kKeep, kKeep, Text("G3 or G336 or G33643")},
     {kNotSet, kNotSet, 6},
     kSquareOnly},
    Plane("lf1", 309, "NTF"),
    Plane("lf2", 310, "NTF"),
    Plane("lf3", 311, "NTF"),
    Plane("lf4", 312, "NTF"),
    Plane("lfe", 313, "NTF"),
    Plane("nma", 314, "MER"),
    Plane("sma", 315, "MER"),
}};

QString CaptionText(const Caption& caption) {
    return caption.id != 0 ? platform::ResText(caption.id) : QString::fromUtf8(caption.fixed);
}

} // namespace

const SystemLayout& LayoutOf(int inputMode) {
    if (inputMode < 0 || inputMode >= geodesy::kCoordSystemCount) {
        throw common::AppError(common::kSubscript);
    }
    return kLayouts[static_cast<std::size_t>(inputMode)];
}

QString DatumRowCode(int datumIndex) {
    return QString::fromStdString(geodesy::Datums().datum(datumIndex).Code);
}

void AdapteInputbox(EditorState& state) {
    const int mode = platform::Settings().InputMode;
    const SystemLayout& layout = LayoutOf(mode);
    for (int i = 0; i < 3; ++i) {
        state.setText(EditBoxControl(i), QString());
    }
    state.EditBox[1].visible = true;
    state.LblEditBox[1].visible = true;
    state.cmbSystem = mode;
    state.SystemCode = QString::fromLatin1(layout.code);
    state.LabelLibre =
        layout.labelLibreId != 0 ? platform::ResText(layout.labelLibreId) : QString();

    state.FrameInputCaption = platform::ResText(layout.frameCaptionId);
    state.EditBox[0].visible = layout.box0Shown;
    state.LblEditBox[0].visible = layout.box0Shown;
    state.EditBox[1].visible = layout.box1Shown;
    state.LblEditBox[1].visible = layout.box1Shown;
    for (std::size_t i = 0; i < 3; ++i) {
        if (layout.captions[i]) {
            state.LblEditBox[i].caption = CaptionText(*layout.captions[i]);
        }
        if (layout.maxLength[i]) {
            state.EditBox[i].maxLength = *layout.maxLength[i];
        }
    }
    const geodesy::DatumState& datums = geodesy::Datums();
    switch (layout.datum) {
    case Datum::FromDefault:
        state.lblDatum = DatumRowCode(datums.FromIndex);
        break;
    case Datum::UtmDefault:
        state.lblDatum = DatumRowCode(datums.UTMIndex);
        break;
    case Datum::Fixed:
        state.lblDatum = QString::fromLatin1(layout.fixedDatum);
        break;
    }
    geodesy::Datums().InputDatum = geodesy::DatumIndex(state.lblDatum.toStdString());
    state.cmdChangeDatumEnabled = layout.datumButton;
    for (std::size_t i = 0; i < 3; ++i) {
        if (layout.places[i]) {
            state.EditBox[i].left = layout.places[i]->left;
            state.EditBox[i].width = layout.places[i]->width;
        }
    }
    for (std::size_t i = 0; i < 3; ++i) {
        state.LblEditBox[i].left = state.EditBox[i].left;
        state.LblEditBox[i].width = state.EditBox[i].width;
    }
}

} // namespace editor

#pragma once

#include "editor/EditorState.h"

#include <QString>
#include <array>
#include <optional>

namespace editor {

// How the input frame is laid out for one of the sixteen input systems.
struct SystemLayout {
    // Where the datum of the entered coordinates starts: the default datum of degree input, that
    // of UTM input, or a fixed code.
    enum class Datum { FromDefault, UtmDefault, Fixed };
    // The caption of a box's label: a string id, or a fixed text when the id is 0.
    struct Caption {
        int id = 0;
        const char* fixed = "";
    };
    // Left and width of a box, twips; nothing when the layout leaves the box where it is.
    struct Place {
        int left = 0;
        int width = 0;
    };

    const char* code;   // SystemCode, lower case
    int frameCaptionId; // caption of the input frame
    bool box0Shown;     // zone box (UTM and MGRS)
    bool box1Shown;     // first value (all but IFBL)
    Datum datum;        // where the datum starts
    const char* fixedDatum;
    bool datumButton; // the datum may be chosen
    int labelLibreId; // caption of the check panel's line; 0 for none
    // Label captions of boxes 0 to 2; a hidden box's label keeps its caption.
    std::array<std::optional<Caption>, 3> captions;
    // Maximum lengths of boxes 0 to 2; nothing leaves the box's length as it was.
    std::array<std::optional<int>, 3> maxLength;
    std::array<std::optional<Place>, 3> places;
};

// The layout of input system `inputMode` (0 to 15); error 9 outside.
const SystemLayout& LayoutOf(int inputMode);

// Lays the input frame out for the current input system InputMode: empties the three boxes, shows
// the boxes the system uses, sets the captions, maximum lengths and places, resets the datum of
// the entered coordinates (the label and InputDatum) to the system's default and sets SystemCode
// and the check panel's caption. Emptying a box that held text is a change of that box.
void AdapteInputbox(EditorState& state);

// The code of a datum as the datum label shows it: five blank-padded characters for a default
// datum (a row of the datum table), the fixed codes as written.
QString DatumRowCode(int datumIndex);

} // namespace editor

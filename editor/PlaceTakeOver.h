#pragma once

#include "editor/EditorHost.h"
#include "editor/EditorState.h"
#include "editor/PlaceSearch.h"

namespace editor {

// What the gazetteer writes into the editor for a chosen place: the input system (decimal degrees
// or degrees-minutes-seconds, by the gazetteer's CoordinatesType) laid out with the place's
// coordinates in boxes 1 and 2; the gazetteer's datum (WGS84 when it names none, which is then
// stored) as the datum of the entry; the name, FIPS code and designation in the free fields coded
// STAT.TOPO, STAT.FIPS and STAT.DESI ("/" turned into "-"); and, when no free field is coded
// STAT.TOPO, the name and FIPS code in front of the free text.
void TakeOverPlace(EditorState& state, const ChosenPlace& place);

// The gazetteer button: the place search, then the boxes converted as when box 2 is left. Without
// a place search, says that the feature is not available.
void cmdSearch_Click(EditorState& state, EditorHost& host);

} // namespace editor

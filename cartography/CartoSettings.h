#pragma once

// The settings of the cartography window, application "DOVAZOV": section "Carto" (the window's
// place in twips, the last map, the symbol colour and diameter) and the folders of its open
// dialogs in section "Paths".

#include <QString>
#include <cstdint>

namespace cartography {

struct CartoSettings {
    float Top = 100;  // twips
    float Left = 100; // twips
    QString LastMap;
    std::int32_t SymbolColor = 255;
    std::int32_t SymbolDiameter = -1;
};

// The section as the window's load step reads it; `programFolder` gives the default last map
// (carto/world.dsw under it). A value that does not read as its type stands as its default.
CartoSettings ReadCartoSettings(const QString& programFolder);

// What the unload step writes: "SymbolColor", "SymbolDiameter", "Top", "Left", in that order, as
// decimal texts.
void WriteCartoSettings(std::int32_t symbolColor, std::int32_t symbolDiameter, float top,
                        float left);
// Written by every successful map load.
void SaveLastMap(const QString& path);

// "Paths": the folder of the map open dialog (default carto under the program folder) and of the
// layer file dialog (default the program folder), each with its trailing separator.
QString MapFolderSetting(const QString& programFolder);
void SaveMapFolderSetting(const QString& folder);
QString LayerFolderSetting(const QString& programFolder);
void SaveLayerFolderSetting(const QString& folder);

// The save dialog of the EPS file and the bitmap: `filter` in the dialog's "name|pattern" form,
// asking before an existing file is replaced, opening in "Paths"/"Data" (default the user's
// documents folder), which it reads and never writes. "" when cancelled.
QString AskOutputFile(const QString& filter);

// The folder part of a path, up to and including its last separator ("\" or "/"); "" without one.
QString FolderOf(const QString& path);

} // namespace cartography

#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace gazetteer {

// The display font of the names of one script region.
struct GeoFont {
    QString Name;
    std::int16_t Size = 10;
};

// One font per language code 1 to 6 (index 0 to 5).
using GeoFontTable = std::array<GeoFont, 6>;

// The region captions of the fonts dialog, by index.
QString RegionCaption(int index);

// The fonts from the settings store (section Polices, Name1..Name6 and Size1..Size6; defaults
// "Courier New" and 10). A size is read as a number rounded to the nearest whole number, a half
// going to the even neighbour.
GeoFontTable LoadGeoFonts();

// A size text as GeoFonts keeps it.
std::int16_t RoundedSize(const QString& sizeText);

// Stores the six fonts: the names and the size texts as shown in the dialog.
void SaveGeoFonts(const std::array<QString, 6>& names, const std::array<QString, 6>& sizes);

} // namespace gazetteer

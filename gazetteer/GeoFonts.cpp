#include "gazetteer/GeoFonts.h"

#include "common/Numeric.h"
#include "platform/Settings.h"

#include <cmath>

namespace gazetteer {

namespace {

const QString kApplication = QStringLiteral("DOVAZOV");
const QString kSection = QStringLiteral("Polices");

} // namespace

QString RegionCaption(int index) {
    static const char* const kCaptions[] = {"1. Western Europe and the Americas",
                                            "2. Eastern Europe",
                                            "3. Africa and the Middle East",
                                            "4. Russia and Central Asia",
                                            "5. Asia and the Pacific",
                                            "6. Vietnam"};
    return QString::fromLatin1(kCaptions[index]);
}

std::int16_t RoundedSize(const QString& sizeText) {
    // std::nearbyint rounds a half to the even neighbour in the default rounding mode.
    return common::ToInt16(std::nearbyint(common::NumericValue(sizeText.toStdString())));
}

GeoFontTable LoadGeoFonts() {
    GeoFontTable fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const QString number = QString::number(i + 1);
        fonts[i].Name = platform::GetSetting(
            kApplication, kSection, QStringLiteral("Name") + number, QStringLiteral("Courier New"));
        fonts[i].Size = RoundedSize(platform::GetSetting(
            kApplication, kSection, QStringLiteral("Size") + number, QStringLiteral("10")));
    }
    return fonts;
}

void SaveGeoFonts(const std::array<QString, 6>& names, const std::array<QString, 6>& sizes) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QString number = QString::number(i + 1);
        platform::SaveSetting(kApplication, kSection, QStringLiteral("Name") + number, names[i]);
        platform::SaveSetting(kApplication, kSection, QStringLiteral("Size") + number, sizes[i]);
    }
}

} // namespace gazetteer

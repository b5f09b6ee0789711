#pragma once

// The drawing options of the cartography window: the vector layer files in drawing order, the
// colour and diameter of the distribution symbols, and whether the options dialog was cancelled.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cartography {

// The layer list starts empty, as after Raz, so that it can be read before the first Raz.
class MapOption {
public:
    static constexpr std::int32_t kMaxLayers = 32767;

    // Grows the list by one; error 6 beyond kMaxLayers.
    void Add(const std::string& path);
    // The path at `index` (1..LayerCount), "" for 0, nothing above LayerCount or below 0.
    std::optional<std::string> Couche(std::int16_t index) const;
    std::int32_t LayerCount() const { return static_cast<std::int32_t>(layers_.size()) - 1; }
    // Empties the layer list.
    void Raz();

    std::int32_t SymbolColor() const { return symbolColor_; }
    void SetSymbolColor(std::int32_t color) { symbolColor_ = color; }
    // Metres on the ground; -1 automatic.
    std::int32_t SymbolDiameter() const { return symbolDiameter_; }
    void SetSymbolDiameter(std::int32_t diameter) { symbolDiameter_ = diameter; }
    std::int16_t DistriType() const { return distriType_; }
    void SetDistriType(std::int16_t type) { distriType_ = type; }
    const std::string& DistriName() const { return distriName_; }
    void SetDistriName(const std::string& name) { distriName_ = name; }
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }

private:
    std::vector<std::string> layers_{std::string()}; // index 0 is always ""
    std::int32_t symbolColor_ = 0;
    std::int32_t symbolDiameter_ = 0;
    std::int16_t distriType_ = 0;
    std::string distriName_;
    bool cancel_ = false;
};

// The diameter typed in the options dialog: "auto" in any case gives -1; otherwise the number the
// text begins with (no number: 0), rounded half to even, a negative result -1. A value beyond the
// 32-bit range raises common::AppError 6 (the dialog reports it and stays open).
std::int32_t DiameterFromText(std::string_view text);
// The dialog's text for a diameter: "Auto" for -1, otherwise the number after one blank.
std::string DiameterText(std::int32_t diameter);

} // namespace cartography

#include "cartography/core/MapOption.h"

#include "common/AppError.h"
#include "common/Numeric.h"

#include <cctype>
#include <cmath>
#include <limits>

namespace cartography {

void MapOption::Add(const std::string& path) {
    if (LayerCount() >= kMaxLayers) {
        throw common::AppError(common::kOverflow);
    }
    layers_.push_back(path);
}

std::optional<std::string> MapOption::Couche(std::int16_t index) const {
    if (index < 0 || index > LayerCount()) {
        return std::nullopt;
    }
    return layers_[static_cast<std::size_t>(index)];
}

void MapOption::Raz() {
    layers_.assign(1, std::string());
}

namespace {

bool IsAuto(std::string_view text) {
    constexpr std::string_view kAuto = "auto";
    if (text.size() != kAuto.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kAuto.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != kAuto[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::int32_t DiameterFromText(std::string_view text) {
    if (IsAuto(text)) {
        return -1;
    }
    // Halves go to the even neighbour, as the default rounding mode does.
    const double rounded = std::nearbyint(common::NumericValue(text));
    if (rounded < 0) {
        return -1;
    }
    return common::ToInt32(rounded);
}

std::string DiameterText(std::int32_t diameter) {
    if (diameter == -1) {
        return "Auto";
    }
    std::string text = " "; // appended to rather than summed: GCC 12 misreads the sum's copy
    text += std::to_string(diameter);
    return text;
}

} // namespace cartography

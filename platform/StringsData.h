#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The embedded string files: language code ("fr", "en", "de", "it", "nl") and UTF-8 content.
const std::vector<std::pair<std::string_view, std::string_view>>& StringFiles();

} // namespace platform

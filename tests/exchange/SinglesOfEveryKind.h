#pragma once

// Singles of every size and kind for the tests of their decimal forms: random bit patterns
// (subnormal, huge, with seven to nine digits), whole numbers and decimals of few digits, powers of
// ten, the extremes.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

namespace export_test {

inline std::vector<float> SinglesOfEveryKind() {
    std::vector<float> singles{0.0F,
                               -0.0F,
                               1.0F,
                               -1.0F,
                               std::numeric_limits<float>::max(),
                               std::numeric_limits<float>::lowest(),
                               std::numeric_limits<float>::min(),
                               std::numeric_limits<float>::denorm_min(),
                               std::numeric_limits<float>::infinity(),
                               1e16F,
                               1e15F,
                               9999999.0F,
                               0.0001F,
                               0.00001F,
                               9.876543F,
                               50.85F};
    // Powers of ten, where the double may lie just below and take the finer digits there.
    for (int exponent = -45; exponent <= 38; ++exponent) {
        char text[16];
        std::snprintf(text, sizeof text, "1e%d", exponent);
        singles.push_back(std::strtof(text, nullptr));
    }
    std::mt19937 random(20261211);
    std::uniform_int_distribution<std::uint32_t> bits(0, 0x7F7FFFFF);
    std::uniform_int_distribution<int> whole(-99999999, 99999999);
    std::uniform_int_distribution<int> places(0, 12);
    for (int i = 0; i < 200000; ++i) {
        const float any = std::bit_cast<float>(bits(random));
        singles.push_back(i % 2 ? any : -any);
        singles.push_back(static_cast<float>(whole(random)) /
                          static_cast<float>(std::pow(10.0, places(random))));
    }
    return singles;
}

} // namespace export_test

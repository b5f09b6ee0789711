// SingleAsDouble reads the single's shortest decimal form (std::to_chars) as a double, whichever
// way it gets there: an exact product or quotient of its digits and a power of ten, or reading
// the text. The reference is glibc's strtod of the same text, read in the "C" locale.

#include "SinglesOfEveryKind.h"
#include "exchange/ExportColumns.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <locale.h>

namespace {

double ShortestAsDouble(float value, locale_t c) {
    char text[64];
    *std::to_chars(text, text + sizeof text - 1, value).ptr = '\0';
    return strtod_l(text, nullptr, c);
}

TEST(SingleAsDoubleTest, IsTheDoubleStrtodReadsFromTheShortestFormOfEverySingle) {
    const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    ASSERT_NE(c, static_cast<locale_t>(nullptr));
    for (const float single : export_test::SinglesOfEveryKind()) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(exchange::SingleAsDouble(single)),
                  std::bit_cast<std::uint64_t>(ShortestAsDouble(single, c)))
            << std::bit_cast<std::uint32_t>(single);
    }
    freelocale(c);
}

TEST(SingleAsDoubleTest, InfinitiesStayInfiniteAndNotANumberStaysOne) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(exchange::SingleAsDouble(inf), std::numeric_limits<double>::infinity());
    EXPECT_EQ(exchange::SingleAsDouble(-inf), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(exchange::SingleAsDouble(std::numeric_limits<float>::quiet_NaN())));
}

} // namespace

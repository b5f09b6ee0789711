#include "common/Numeric.h"

#include "../support/ErrorOf.h"
#include "common/AppError.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <random>
#include <string>

namespace {

using common::AppError;
using testing_support::ErrorOf;

TEST(NumericValue, ReadsTheNumberATextBeginsWith) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"31U", 31},        {"4,25", 4},   {" - 4 .5", -4.5}, {"1 2", 12},        {"", 0},
        {"abc", 0},         {"-", 0},      {".5", 0.5},       {"-.25", -0.25},    {"1e3", 1000},
        {"2.5E-2x", 0.025}, {"7e", 7},     {"3D2", 300},      {"\t\n 8", 8},      {"1.2.3", 1.2},
        {"+6", 6},          {"12abc", 12}, {"1e-999", 0},     {"-.0001D-400", 0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(common::NumericValue(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(NumericValue, HugeExponentOverflows) {
    try {
        common::NumericValue("1e999");
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 6);
    }
    // What counts is the size of the number, not the sign of its exponent.
    EXPECT_EQ(ErrorOf([] { common::NumericValue(std::string(400, '7') + "e-10"); }), 6);
    EXPECT_DOUBLE_EQ(common::NumericValue("." + std::string(400, '0') + "1e+300"), 1e-101);
}

// The strict rule: the whole text is one number, or it is none.
TEST(StrictNumber, ReadsATextThatIsOneNumberAsAWhole) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"12", 12},    {" -4.5 ", -4.5},  {"+3", 3},      {".5", 0.5}, {"+2.", 2},
        {"1E3", 1000}, {"2.5e-2", 0.025}, {"\t8\r\n", 8}, {"-0", 0},   {"1E-999", 0},
        {"", {}},      {" ", {}},         {"-", {}},      {".", {}},   {"12a", {}},
        {"1 2", {}},   {"4,5", {}},       {"1.2.3", {}},  {"E3", {}},  {"1e", {}},
        {"1e+", {}},   {"- 1", {}},       {"+-1", {}},    {"nan", {}}, {"inf", {}},
        {"3D2", {}},   {"&HFF", {}},      {"0x10", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(common::StrictNumber(c.text), c.value) << '"' << c.text << '"';
        EXPECT_EQ(common::IsStrictNumber(c.text), c.value.has_value()) << '"' << c.text << '"';
    }
}

TEST(StrictNumber, BeyondTheRangeOfADoubleOverflowsButStillHasTheForm) {
    for (const char* text : {"1E309", "-1E999", "1e99999999999999999999"}) {
        EXPECT_EQ(ErrorOf([&] { common::StrictNumber(text); }), 6) << text;
        EXPECT_TRUE(common::IsStrictNumber(text)) << text;
    }
}

TEST(StrictNumber, ReadsHexadecimalAndOctalLiteralsWhenAsked) {
    using common::RadixPrefixes;
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"&HFF", 255},        {"&hffff", -1},
        {" &H8000 ", -32768}, {"&H0000FFFF", 65535},
        {"&H10000", 65536},   {"&H80000008", -2147483640},
        {"&O17", 15},         {"&O177777", -1},
        {"&o200000", 65536},  {"12", 12},
        {"&HXY", {}},         {"&H", {}},
        {"&H1G", {}},         {"&H-1", {}},
        {"&O8", {}},          {"&B1", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(common::StrictNumber(c.text, RadixPrefixes::Read), c.value) << c.text;
    }
    EXPECT_EQ(ErrorOf([] { common::StrictNumber("&H100000000", RadixPrefixes::Read); }), 6);
    EXPECT_EQ(ErrorOf([] { common::StrictNumber("&HFFFFFFFFFFFFFFFFFF", RadixPrefixes::Read); }),
              6);
}

TEST(ToInteger, RoundsHalvesToEvenAndChecksRange) {
    EXPECT_EQ(common::ToInt16(2.5), 2);
    EXPECT_EQ(common::ToInt16(3.5), 4);
    EXPECT_EQ(common::ToInt16(-2.5), -2);
    EXPECT_EQ(common::ToInt16(-0.6), -1);
    EXPECT_EQ(common::ToInt16(32767.4), 32767);
    EXPECT_EQ(common::ToInt32(70000.5), 70000);
    for (double bad : {32767.5, -32768.6, 1e300}) {
        try {
            common::ToInt16(bad);
            FAIL() << bad;
        } catch (const AppError& e) {
            EXPECT_EQ(e.number(), 6);
        }
    }
}

TEST(SingleText, SevenSignificantDigitsWithoutLeadingZero) {
    EXPECT_EQ(common::CStrSingle(0.5f), ".5");
    EXPECT_EQ(common::StrSingle(0.5f), " .5");
    EXPECT_EQ(common::StrSingle(-0.5f), "-.5");
    EXPECT_EQ(common::CStrSingle(50.8503f), "50.8503");
    EXPECT_EQ(common::CStrSingle(4.351f), "4.351");
    EXPECT_EQ(common::CStrSingle(-12.5f), "-12.5");
    EXPECT_EQ(common::CStrSingle(100.f), "100");
    EXPECT_EQ(common::CStrSingle(0.f), "0");
    EXPECT_EQ(common::CStrSingle(1.0f / 3.0f), ".3333333");
    EXPECT_EQ(common::CStrSingle(12345678.f), "1.234568E+07");
    EXPECT_EQ(common::CStrDouble(0.1), ".1");
}

// The seven-digit text is written without the C library; it must give the library's text, rounded
// from the exact binary value with halves to even, for every single.
TEST(SingleText, SameTextAsTheCorrectlyRoundedPrinting) {
    const auto same = [](float value) {
        EXPECT_EQ(common::CStrSingle(value), common::CStrSignificant(value, 7))
            << std::hexfloat << value;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const float edges[] = {
        0.0F, -0.0F, inf, -inf, std::numeric_limits<float>::quiet_NaN(),
        std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min(),
        std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(), 1e-25F, 1e-26F,
        9.9999995e-8F, 1e-7F, 1e-8F, 0.1F, 0.5F, 1.0F, 9999999.0F,
        // Halves at the eighth digit: to the even neighbour.
        12345675.0F, 12345665.0F, 1234567.5F, 1234568.5F, 9999999.5F, 16777215.0F, 99999995.0F,
        1e7F, 1e8F, 3.4e38F, 50.85F, -4.35F, 45.12345F, 999.99999F};
    for (const float value : edges) {
        same(value);
    }
    for (int power = -45; power <= 38; ++power) {
        const auto ten = static_cast<float>(std::pow(10.0L, power));
        same(ten);
        same(std::nextafter(ten, 0.0F));
        same(std::nextafter(ten, inf));
        same(-ten);
    }
    // Every single around the change to the exponent form and among the integers of 8 digits.
    for (float f = 9999980.0F; f <= 10000020.0F; f = std::nextafter(f, inf)) {
        same(f);
    }
    for (float f = 16776000.0F; f <= 16777216.0F; f = std::nextafter(f, inf)) {
        same(f);
    }
    // Any bit pattern.
    std::mt19937 random(20261211);
    for (int i = 0; i < 400000; ++i) {
        same(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
    }
}

TEST(Divide, ByZeroRaisesError11) {
    EXPECT_DOUBLE_EQ(common::Divide(1, 4), 0.25);
    try {
        common::Divide(1, 0);
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 11);
        EXPECT_STREQ(e.what(), "Division by zero");
    }
}

} // namespace

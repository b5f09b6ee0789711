#include "common/Numeric.h"

#include "../support/ErrorOf.h"
#include "common/AppError.h"

#include <gtest/gtest.h>
#include <optional>
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

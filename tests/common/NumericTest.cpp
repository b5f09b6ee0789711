#include "common/Numeric.h"

#include "common/AppError.h"

#include <gtest/gtest.h>

namespace {

using common::AppError;

TEST(NumericValue, ReadsTheNumberATextBeginsWith) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"31U", 31},        {"4,25", 4},   {" - 4 .5", -4.5}, {"1 2", 12},     {"", 0},
        {"abc", 0},         {"-", 0},      {".5", 0.5},       {"-.25", -0.25}, {"1e3", 1000},
        {"2.5E-2x", 0.025}, {"7e", 7},     {"3D2", 300},      {"\t\n 8", 8},   {"1.2.3", 1.2},
        {"+6", 6},          {"12abc", 12},
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

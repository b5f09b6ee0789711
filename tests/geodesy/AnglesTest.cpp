#include "geodesy/Angles.h"

#include "../support/ErrorOf.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

using geodesy::DegToRad;
using geodesy::DmsToDecimal;
using geodesy::MinutesToDms;
using geodesy::ParseDms;
using geodesy::RadToDeg;

using testing_support::ErrorOf;

TEST(Angles, ParseDmsReadsThePackedForm) {
    struct Case {
        const char* text;
        float d, m, s;
        const char* sign;
        double decimal;
    };
    const Case cases[] = {
        {"50.3015", 50, 30, 15, "+", 50 + 30 / 60.0 + 15 / 3600.0},
        {"-4,3", 4, 30, 0, "-", -4.5},
        {"50.301525", 50, 30, 15.25f, "+", 50 + 30 / 60.0 + 15.25 / 3600.0},
        {"50.301", 50, 30, 1, "+", 50 + 30 / 60.0 + 1 / 3600.0}, // lone seconds digit: 01
        {"50.3", 50, 30, 0, "+", 50.5},                          // lone minutes digit: 30
        {"50.30", 50, 30, 0, "+", 50.5},
        {"-50", 50, 0, 0, "-", -50},
        {"50.", 50, 0, 0, "+", 50},
        {"50.75", 50, 75, 0, "+", 51.25}, // minutes are not range-checked
        {"  -0.3000  ", 0, 30, 0, "-", -0.5},
        {"12.3456789", 12, 34, 56.789f, "+", 12 + 34 / 60.0 + double(56.789f) / 3600.0},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        float d = -1, m = -1, s = -1;
        std::string sign;
        ParseDms(text, d, m, s, sign);
        EXPECT_EQ(d, c.d) << c.text;
        EXPECT_EQ(m, c.m) << c.text;
        EXPECT_EQ(s, c.s) << c.text;
        EXPECT_EQ(sign, c.sign) << c.text;
        EXPECT_NEAR(DmsToDecimal(d, m, s, sign), c.decimal, 1e-12) << c.text;
    }
}

TEST(Angles, ParseDmsTrimsTheCallersTextOnly) {
    std::string text = "  50,3015 ";
    float d = 0, m = 0, s = 0;
    std::string sign;
    ParseDms(text, d, m, s, sign);
    EXPECT_EQ(text, "50,3015"); // trimmed, the comma kept
}

TEST(Angles, EmptyValueLeavesTheOutputs) {
    std::string text = "   ";
    float d = 7, m = 8, s = 9;
    std::string sign = "x";
    ParseDms(text, d, m, s, sign);
    EXPECT_EQ(text, "");
    EXPECT_EQ(d, 7);
    EXPECT_EQ(m, 8);
    EXPECT_EQ(s, 9);
    EXPECT_EQ(sign, "x");
    // The parser starts from zeros and an empty sign: the value is then 0 (negative zero).
    EXPECT_EQ(DmsToDecimal(0, 0, 0, ""), 0.0);
}

TEST(Angles, DmsToDecimalIsNegativeForAnySignButPlus) {
    EXPECT_DOUBLE_EQ(DmsToDecimal(1, 30, 0, "+"), 1.5);
    EXPECT_DOUBLE_EQ(DmsToDecimal(1, 30, 0, "-"), -1.5);
    EXPECT_DOUBLE_EQ(DmsToDecimal(1, 30, 0, ""), -1.5);
    EXPECT_DOUBLE_EQ(DmsToDecimal(1, 30, 0, " +"), -1.5);
}

TEST(Angles, OversizedPartsRaiseOverflow) {
    float d = 0, m = 0, s = 0;
    std::string sign;
    std::string big = "1e39.30"; // degrees beyond a single
    EXPECT_EQ(ErrorOf([&] { ParseDms(big, d, m, s, sign); }), 6);
    std::string longSeconds = "1.0000" + std::string(400, '0');
    EXPECT_EQ(ErrorOf([&] { ParseDms(longSeconds, d, m, s, sign); }), 6);
    EXPECT_EQ(ErrorOf([&] { MinutesToDms(1e300, d, m, s); }), 6);
    EXPECT_EQ(ErrorOf([&] { MinutesToDms(NAN, d, m, s); }), 6);
}

TEST(Angles, MinutesToDmsPutsTheSignOnTheDegrees) {
    struct Case {
        double minutes;
        float d, m, s;
    };
    for (const Case& c : {Case{3030, 50, 30, 0},
                          {-3030, -50, 30, 0},
                          {-30, -0.0f, 30, 0},
                          {3030.5, 50, 30, 30},
                          {90.25, 1, 30, 15}}) {
        float d = 1, m = 1, s = 1;
        MinutesToDms(c.minutes, d, m, s);
        EXPECT_EQ(d, c.d) << c.minutes;
        EXPECT_EQ(std::signbit(d), std::signbit(c.d)) << c.minutes;
        EXPECT_EQ(m, c.m) << c.minutes;
        EXPECT_NEAR(s, c.s, 1e-3) << c.minutes;
    }
}

TEST(Angles, ShownDmsKeepTheSignApartFromTheDegrees) {
    using geodesy::DmsOfDegrees;
    using geodesy::SecondsCut;
    struct Case {
        double degrees;
        int decimals;
        SecondsCut cut;
        bool negative;
        double d, m;
        long long secondUnits;
    };
    // 0.1246° = 7' 28.56''; 0.99999° = 59' 59.964''; 0.00001° = 0.036''; 50.5° = 50° 30'.
    const Case cases[] = {
        {-0.1246, 1, SecondsCut::Round, true, 0, 7, 286},
        {0.1246, 1, SecondsCut::Round, false, 0, 7, 286},
        {-0.1246, 0, SecondsCut::Truncate, true, 0, 7, 28},
        {-0.99999, 1, SecondsCut::Round, true, 0, 59, 600}, // 60.0 in the same minute
        {-0.99999, 0, SecondsCut::Truncate, true, 0, 59, 59},
        {-1.0, 1, SecondsCut::Round, true, 1, 0, 0},
        {-0.0, 1, SecondsCut::Round, false, 0, 0, 0},
        {-0.00001, 1, SecondsCut::Round, false, 0, 0, 0}, // shows as zero: no sign
        {-0.00002, 1, SecondsCut::Round, true, 0, 0, 1},
        {-50.5, 1, SecondsCut::Round, true, 50, 30, 0},
    };
    for (const Case& c : cases) {
        const geodesy::ShownDms dms = DmsOfDegrees(c.degrees, c.decimals, c.cut);
        EXPECT_EQ(dms.negative, c.negative) << c.degrees;
        EXPECT_EQ(dms.degrees, c.d) << c.degrees;
        EXPECT_FALSE(std::signbit(dms.degrees)) << c.degrees;
        EXPECT_EQ(dms.minutes, c.m) << c.degrees;
        EXPECT_EQ(dms.secondUnits, c.secondUnits) << c.degrees;
    }
    EXPECT_DOUBLE_EQ(DmsOfDegrees(-0.1246, 1).seconds(), 28.6);
}

TEST(Angles, RadiansUseTheTenDecimalPi) {
    EXPECT_EQ(DegToRad(180), 3.1415926535);
    EXPECT_DOUBLE_EQ(RadToDeg(3.1415926535), 180.0);
    EXPECT_NE(DegToRad(180), M_PI);
    // Full pi reads a hair over 180: (pi - 3.1415926535) / pi * 180 = 5.14e-9 degrees.
    EXPECT_GT(RadToDeg(M_PI), 180.000000005);
    EXPECT_LT(RadToDeg(M_PI), 180.0000000052);
    EXPECT_EQ(ErrorOf([] { RadToDeg(1e307); }), 6);
    EXPECT_EQ(ErrorOf([] { DegToRad(NAN); }), 6);
}

} // namespace

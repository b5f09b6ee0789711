#include "geodesy/GridDigits.h"

#include "common/AppError.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using geodesy::ExpandGridDigits;
using geodesy::SnapGridPrecision;
using geodesy::TryExpandGridDigits;

TEST(GridDigits, ExpandPointsJustInsideTheCentreOfTheSquare) {
    struct Case {
        const char* in;
        const char* out;
        bool complete; // TryExpandGridDigits
    };
    const Case cases[] = {
        {"TQ3080", "TQ3049980499", true},
        {"TQ38", "TQ3499984999", true},
        {"TQ308080", "TQ3084908049", true},
        {"TQ30808080", "TQ3080480804", true},
        {"31UFS1234", "31UFS1249934499", true},
        {"31UFS1234567890", "31UFS1234567890", true},
        {"FS123", "FS123", false},          // odd count stays
        {"TQ 30 80", "TQ3049980499", true}, // blanks removed
        {"  TQ3080  ", "TQ3049980499", true},
        {"TQ", "TQ", false},                         // no digits
        {"31UFS", "31UFS", false},                   // no digits after a five-character prefix
        {"TQ123456789012", "TQ123456789012", false}, // more than ten
        {"**3080", "**3049980499", true},            // the parser's stand-in letters
        {"FS12AB", "FS12499AB499", false},           // completed, but not all digits
    };
    for (const Case& c : cases) {
        std::string ref = c.in;
        ExpandGridDigits(ref);
        EXPECT_EQ(ref, c.out) << c.in;
        std::string again = c.in;
        EXPECT_EQ(TryExpandGridDigits(again), c.complete) << c.in;
        EXPECT_EQ(again, c.out) << c.in;
    }
}

TEST(GridDigits, ShorterThanThePrefixRaisesError5OrReportsFalse) {
    for (const char* text : {"", " ", "T", "3", "31UF", " 3 1 U F "}) {
        std::string ref = text;
        try {
            ExpandGridDigits(ref);
            ADD_FAILURE() << "no error for \"" << text << "\"";
        } catch (const common::AppError& e) {
            EXPECT_EQ(e.number(), 5) << text;
        }
        std::string expected = text;
        std::erase(expected, ' ');
        EXPECT_EQ(ref, expected) << text; // left without blanks
        std::string again = text;
        EXPECT_FALSE(TryExpandGridDigits(again)) << text;
        EXPECT_EQ(again, expected) << text;
    }
}

TEST(GridDigits, SnapMovesToTheCellCentreOfEachSize) {
    struct Case {
        int cell;
        const char* out;
    };
    const Case cases[] = {
        {0, "TQ3056280567"}, {1, "TQ3054980549"},  {2, "TQ3049980499"}, {3, "TQ3255582555"},
        {4, "TQ3499984999"}, {5, "TQ3000090000"},  {6, "TQ2555575555"}, {7, "TQ4999949999"},
        {8, "TQ3056280567"}, {-1, "TQ3056280567"},
    };
    for (const Case& c : cases) {
        // Written whole, and with blanks, which the expansion takes out before the same steps.
        for (const char* written : {"TQ3056280567", "TQ 30562 80567"}) {
            std::string ref = written;
            SnapGridPrecision(ref, c.cell);
            EXPECT_EQ(ref, c.out) << written << " " << c.cell;
        }
    }
}

TEST(GridDigits, SnapChoosesHalvesAndOddDigitsByTheLeadingDigits) {
    struct Case {
        const char* in;
        int cell;
        const char* out;
    };
    const Case cases[] = {
        {"NT2575867543", 3, "NT2755567555"}, // E2 5 and N2 7: both 7555
        {"NT2045867043", 3, "NT2255567555"},
        {"NT2575867543", 5, "NT3000070000"}, // odd digits 3 and 7
        {"NT9999999999", 5, "NT9000090000"},
        {"NT0000000000", 5, "NT1000010000"},
        {"NT4999950000", 6, "NT2555575555"},
        {"NT3080", 3, "NT3255582555"}, // expanded first: NT3049980499
        {"NT3080", 0, "NT3049980499"}, // only expanded
    };
    for (const Case& c : cases) {
        std::string ref = c.in;
        SnapGridPrecision(ref, c.cell);
        EXPECT_EQ(ref, c.out) << c.in << " " << c.cell;
    }
}

TEST(GridDigits, SnapReadsNonDigitsAsZeroAndNeverReadsPastTheEnd) {
    std::string ref = "TQAB";
    SnapGridPrecision(ref, 3); // expanded to TQA4999B4999; A and B read as 0
    EXPECT_EQ(ref, "TQ0255502555");
    ref = "TQ";
    SnapGridPrecision(ref, 1);
    EXPECT_EQ(ref, "TQ4949");
    ref = "TQ";
    SnapGridPrecision(ref, 7);
    EXPECT_EQ(ref, "TQ4999949999");
    ref = "T";
    EXPECT_THROW(SnapGridPrecision(ref, 4), common::AppError);
}

} // namespace

#include "geodesy/GpsDatumNames.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(GpsDatumNames, NamesAreUpperCasedAndComparedExactly) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"European 1950", "EUR-M"},
        {"WGS 84", "WGS84"},
        {"nou triag france", "NTF"},
        {"ASTRO BEACON \"E", "ATF"},
        {"astro beacon \"e", "ATF"},
        {"ASCENSION ISLAND '58", "ASC"},
        {"Ord Srvy Grt Britn", "OGB-M"},
        {"ZANDERIJ", "ZAN"},
        {"WGS84", ""},              // no blank
        {"WGS 84 ", ""},            // trailing blank kept
        {" WGS 84", ""},            // leading blank kept
        {"WGS  84", ""},            // blanks not collapsed
        {"ASTRO BEACON \"E\"", ""}, // the name has no closing quote
        {"", ""},
    };
    for (const auto& [name, code] : cases) {
        EXPECT_EQ(geodesy::GpsDatumCode(name), code) << name;
    }
}

} // namespace

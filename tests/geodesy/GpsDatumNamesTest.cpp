#include "geodesy/GpsDatumNames.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
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

// Rows checked by hand against the published datum codes (NIMA TR8350.2, appendix B: "-M" is a
// datum's mean solution over its area) and the receivers' own datum names.
TEST(GpsDatumNames, PublishedCodesOfSomeNames) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"ADINDAN", "ADI-M"},
        {"ARC 1950", "ARF-M"},
        {"TOKYO", "TOY-M"},
        {"NAD27 CANADA", "NAS-E"},
        {"IRELAND 1965", "IRL"},
        {"OLD EGYPTIAN", "OEG"},
        {"SOUTH AMERICAN '69", "SAN-M"},
        {"WGS 72", "WGS72"},
        {"HONG KONG 1963", "HKD"},
    };
    for (const auto& [name, code] : cases) {
        EXPECT_EQ(geodesy::GpsDatumCode(name), code) << name;
    }
}

// What the importers rely on: every name is upper case and reaches its own row's code in any case,
// every code is a datum code the datum database knows (at most five characters), and a name met
// twice stands for one code.
TEST(GpsDatumNames, VocabularyInvariants) {
    std::ifstream csv(std::string(DOVAZOV_SOURCE_DIR) + "/resources/datum/datums.csv");
    ASSERT_TRUE(csv);
    std::set<std::string> known;
    for (std::string line; std::getline(csv, line);) {
        known.insert(line.substr(0, line.find(',')));
    }
    std::map<std::string_view, std::string_view> first;
    for (const geodesy::GpsDatumName& row : geodesy::GpsDatumNames()) {
        const std::string name(row.name);
        EXPECT_FALSE(name.empty());
        EXPECT_TRUE(std::none_of(name.begin(), name.end(), [](char c) {
            return c >= 'a' && c <= 'z';
        })) << name;
        EXPECT_TRUE(known.count(std::string(row.code))) << row.code;
        EXPECT_LE(row.code.size(), 5u) << row.code;
        const auto [seen, added] = first.emplace(row.name, row.code);
        EXPECT_EQ(seen->second, row.code) << name;
        std::string lower = name;
        for (char& c : lower) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        EXPECT_EQ(geodesy::GpsDatumCode(lower), row.code) << lower;
    }
}

} // namespace

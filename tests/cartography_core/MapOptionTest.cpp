#include "cartography/core/MapOption.h"

#include "common/AppError.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using cartography::DiameterFromText;
using cartography::DiameterText;
using cartography::MapOption;

TEST(MapOption, LayerList) {
    MapOption options;
    EXPECT_FALSE(options.Cancel());
    options.Raz();
    EXPECT_EQ(options.LayerCount(), 0);
    options.Add("/maps/coast.zeb");
    options.Add("/maps/coast.zeb"); // the same file twice is allowed
    options.Add("/maps/borders.zeb");
    EXPECT_EQ(options.LayerCount(), 3);
    EXPECT_EQ(options.Couche(0), std::string());
    EXPECT_EQ(options.Couche(3), "/maps/borders.zeb");
    EXPECT_FALSE(options.Couche(4).has_value());
    EXPECT_FALSE(options.Couche(-1).has_value());
    options.Raz();
    EXPECT_EQ(options.LayerCount(), 0);
    EXPECT_FALSE(options.Couche(1).has_value());
}

TEST(MapOption, AtMostTheLayersA16BitIndexReaches) {
    MapOption options;
    for (int i = 0; i < MapOption::kMaxLayers; ++i) {
        options.Add("x");
    }
    EXPECT_EQ(options.Couche(32767), "x");
    EXPECT_THROW(options.Add("y"), common::AppError);
    EXPECT_EQ(options.LayerCount(), MapOption::kMaxLayers);
}

TEST(MapOption, DiameterText) {
    const struct {
        const char* text;
        std::int32_t diameter;
    } cases[] = {{"auto", -1},  {"AuTo", -1},  {"Auto", -1}, {"0", 0},
                 {"-5", -1},    {"12.5", 12},  {"13.5", 14}, {"abc", 0},
                 {" 500", 500}, {"-0.4", 0},   {"-0.6", -1}, {"2147483647", 2147483647},
                 {"-1e20", -1}, {"250 m", 250}};
    for (const auto& c : cases) {
        EXPECT_EQ(DiameterFromText(c.text), c.diameter) << c.text;
    }
    // Beyond 32 bits: an error the dialog reports, not a wrapped value.
    for (const char* text : {"2147483648", "1e12", "1e999"}) {
        try {
            DiameterFromText(text);
            ADD_FAILURE() << text;
        } catch (const common::AppError& e) {
            EXPECT_EQ(e.number(), common::kOverflow);
        }
    }
    EXPECT_EQ(DiameterText(-1), "Auto");
    EXPECT_EQ(DiameterText(500), " 500");
    EXPECT_EQ(DiameterFromText(DiameterText(500)), 500);
}

} // namespace

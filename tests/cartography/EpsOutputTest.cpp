// The two number forms of the EPS lines and the map's place on the page.

#include "cartography/EpsOutput.h"

#include "common/AppError.h"

#include <gtest/gtest.h>

namespace {

using cartography::PageGeometry;
using cartography::PageOf;
using cartography::PrintForm;
using cartography::StrForm;

TEST(EpsNumberForms, StrAndPrintForms) {
    EXPECT_EQ(StrForm(500), " 500");
    EXPECT_EQ(StrForm(-3), "-3");
    EXPECT_EQ(StrForm(0), " 0");
    EXPECT_EQ(StrForm(0.5), " .5");
    EXPECT_EQ(StrForm(-0.25), "-.25");
    EXPECT_EQ(StrForm(125.5), " 125.5");
    // Seven significant digits for a single, fifteen for a double.
    EXPECT_EQ(StrForm(0.1F), " .1");
    EXPECT_EQ(StrForm(1.0F / 3.0F), " .3333333");
    EXPECT_EQ(StrForm(1.0 / 3.0), " .333333333333333");
    EXPECT_EQ(StrForm(1E20F), " 1E+20");
    EXPECT_EQ(PrintForm(500), " 500 ");
    EXPECT_EQ(PrintForm(-3), "-3 ");
    EXPECT_EQ(PrintForm(125.5), " 125.5 ");
    EXPECT_EQ(PrintForm(-.75F), "-.75 ");
}

TEST(EpsPage, SizeShiftAndBoxOfTheMap) {
    struct Case {
        float width, height;
        int w, h;
        int shift;
        double left, bottom, right;
    };
    const Case cases[] = {
        {2000, 1000, 500, 250, -3, 42, 530, 552},
        {1000, 2000, 250, 500, 122, 167, 280, 427},
        {666, 1000, 333, 500, 80, 125.5, 280, 468.5}, // T 80.5 to even
        // Halves to the even neighbour: 332.5 and 333.5.
        {665, 1000, 332, 500, 81, 126, 280, 468},
        {670, 1000, 335, 500, 80, 124.5, 280, 469.5}, // T 79.5 to even
        {1000, 667, 500, 334, -3, 42, 446, 552},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const PageGeometry page = PageOf(0, 0, c.width, c.height, std::max(c.width, c.height));
        EXPECT_EQ(page.PageWidth, c.w);
        EXPECT_EQ(page.PageHeight, c.h);
        EXPECT_EQ(page.shift(), c.shift);
        EXPECT_EQ(page.boxLeft(), c.left);
        EXPECT_EQ(page.boxBottom(), c.bottom);
        EXPECT_EQ(page.boxRight(), c.right);
        // The box holds the shifted frame with about 5 points to spare on either side.
        EXPECT_NEAR(page.shift() + 50 - page.boxLeft(), 5, 0.5);
        EXPECT_NEAR(page.boxRight() - (page.shift() + page.PageWidth + 50), 5, 0.5);
    }
}

TEST(EpsPage, PointsOfTheFrameCorners) {
    const PageGeometry page = PageOf(-1000, 4500, 2000, 1000, 2000);
    EXPECT_FLOAT_EQ(page.px(-1000), 50);
    EXPECT_FLOAT_EQ(page.px(1000), 550);
    EXPECT_FLOAT_EQ(page.px(0), 300);
    EXPECT_FLOAT_EQ(page.py(4500), 550);
    EXPECT_FLOAT_EQ(page.py(5500), 800);
}

TEST(EpsPage, MapWithoutExtentIsDivisionByZero) {
    for (const auto& [w, h, m] : {std::tuple{0.0F, 0.0F, 0.0F}, std::tuple{0.0F, 10.0F, 10.0F},
                                  std::tuple{10.0F, 0.0F, 10.0F}}) {
        try {
            PageOf(0, 0, w, h, m);
            ADD_FAILURE() << "no error for " << w << " x " << h;
        } catch (const common::AppError& e) {
            EXPECT_EQ(e.number(), common::kDivisionByZero);
        }
    }
}

} // namespace

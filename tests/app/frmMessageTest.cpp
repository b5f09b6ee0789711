#include "app/frmMessage.h"

#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

TEST(CenterForm, PlacesTheWindowOnTheUpperPartOfTheScreen) {
    // A screen of 15360 x 11520 twips (1024 x 768 pixels) and a window of 4800 x 1200 twips.
    EXPECT_EQ(app::CenterFormTwips(15360, 11520, 4800, 1200), (app::TwipsPosition{5280, 4296}));
    // Sizes are rounded (halves to even) before being halved with the fraction dropped.
    EXPECT_EQ(app::CenterFormTwips(101, 10, 2.5, 3.5), (app::TwipsPosition{50 - 1, 4 - 2}));
}

TEST(CenterForm, MovesAWindowByTheTwipsArithmeticAtFifteenTwipsAPixel) {
    QWidget form;
    form.resize(320, 80);
    app::CenterForm(&form);
    const QRect screen = form.screen()->geometry();
    const QSize size = form.frameGeometry().size();
    const app::TwipsPosition twips = app::CenterFormTwips(screen.width() * 15, screen.height() * 15,
                                                          size.width() * 15, size.height() * 15);
    EXPECT_EQ(form.pos(), QPoint(screen.left() + static_cast<int>(twips.left / 15),
                                 screen.top() + static_cast<int>(twips.top / 15)));
}

TEST(frmMessage, AOneLineTextGetsTwiceTheIconsHeightWithBothCentred) {
    app::frmMessage window;
    window.AfficheMessage(QStringLiteral("Saving..."));
    const int icon = window.imgMsg()->height();
    ASSERT_GT(icon, 0);
    ASSERT_LE(window.lblMsg()->height(), 2 * icon);
    EXPECT_EQ(window.height(), 2 * icon);
    EXPECT_EQ(window.imgMsg()->y(), window.height() / 2 - icon / 2);
    EXPECT_EQ(window.lblMsg()->y(), window.height() / 2 - window.lblMsg()->height() / 2);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isModal());
}

TEST(frmMessage, ATallTextGetsItsHeightAndHalfTheIcon) {
    app::frmMessage window;
    window.AfficheMessage(
        QStringLiteral("Opening...\r\r/a/very/long/path/to/a/distribution/"
                       "file/that/wraps/over/several/lines/bees.deg\nmore\nmore"));
    const int icon = window.imgMsg()->height();
    const int label = window.lblMsg()->height();
    ASSERT_GT(label, 2 * icon);
    EXPECT_EQ(window.height(), label + icon / 2);
    EXPECT_EQ(window.lblMsg()->y(), window.height() / 2 - label / 2);
}

TEST(WaitWindowFeedback, ShowsUpdatesAndClosesTheWaitWindow) {
    QProgressBar bar;
    app::WaitWindowFeedback feedback(&bar);
    platform::SetFeedback(&feedback);
    platform::FermeMessage(); // nothing shown: nothing happens
    EXPECT_EQ(feedback.window(), nullptr);
    platform::AfficheMessage(QStringLiteral("one"));
    app::frmMessage* first = feedback.window();
    ASSERT_NE(first, nullptr);
    platform::AfficheMessage(QStringLiteral("two")); // the same window shows the new text
    EXPECT_EQ(feedback.window(), first);
    EXPECT_EQ(first->lblMsg()->text(), QStringLiteral("two"));
    platform::FermeMessage();
    EXPECT_EQ(feedback.window(), nullptr);
    platform::SetFeedback(nullptr);
}

TEST(WaitWindowFeedback, SetProgressClampsAndDropsTheFraction) {
    QProgressBar bar;
    bar.setRange(0, 100);
    app::WaitWindowFeedback feedback(&bar);
    platform::SetFeedback(&feedback);
    const std::vector<std::pair<double, int>> cases = {{-5, 0}, {250, 100}, {57.9, 57},
                                                       {0, 0},  {100, 100}, {99.99, 99}};
    for (const auto& [value, shown] : cases) {
        platform::SetProgress(value);
        EXPECT_EQ(bar.value(), shown) << value;
    }
    platform::ShowProgress(true);
    EXPECT_FALSE(bar.isHidden());
    {
        const platform::FeedbackGuard guard;
        platform::AfficheMessage(QStringLiteral("busy"));
    }
    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(feedback.window(), nullptr);
    platform::SetFeedback(nullptr);
}

} // namespace

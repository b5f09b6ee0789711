#include "app/frmMessage.h"

#include "platform/StringTable.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

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

TEST(frmMessage, ACancellableWindowShowsItsCancelBelowTheTextAndIsModal) {
    app::frmMessage plain;
    plain.AfficheMessage(QStringLiteral("Saving..."));
    EXPECT_FALSE(plain.cmdCancel()->isVisible());
    EXPECT_EQ(plain.windowModality(), Qt::NonModal);

    app::frmMessage window;
    window.setCancellable();
    window.AfficheMessage(QStringLiteral("Sélection avancée"));
    EXPECT_TRUE(window.cmdCancel()->isVisible());
    EXPECT_EQ(window.cmdCancel()->text(), platform::ResText(101));
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
    // The text area keeps its height; the button is below it, inside the window.
    const int icon = window.imgMsg()->height();
    EXPECT_GE(window.cmdCancel()->y(), 2 * icon);
    EXPECT_LE(window.cmdCancel()->geometry().bottom(), window.height());
    EXPECT_FALSE(window.cancelPressed());
}

TEST(frmMessage, TheCancelButtonEscapeAndTheCloseBoxAllAskToStop) {
    const std::function<void(app::frmMessage&)> asks[] = {
        [](app::frmMessage& w) { w.cmdCancel()->click(); },
        [](app::frmMessage& w) { w.reject(); },
        [](app::frmMessage& w) { w.close(); },
    };
    for (const auto& ask : asks) {
        app::frmMessage window;
        window.setCancellable();
        window.AfficheMessage(QStringLiteral("busy"));
        ask(window);
        EXPECT_TRUE(window.cancelPressed());
        // The work closes the window once it has stopped.
        EXPECT_TRUE(window.isVisible());
    }
}

TEST(WaitWindowFeedback, OnlyACancellableWindowLetsEventsRunAndReportsItsCancel) {
    app::WaitWindowFeedback feedback;
    platform::SetFeedback(&feedback);
    bool ran = false;
    // A timer already due: the work's own command, such as an automatic save, must not start
    // while a plain wait window is put on screen.
    QTimer::singleShot(1, [&ran] { ran = true; });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(platform::CancelRequested()); // no window
    platform::AfficheMessage(QStringLiteral("Saving..."));
    ASSERT_NE(feedback.window(), nullptr);
    EXPECT_TRUE(feedback.window()->windowHandle()->isExposed()); // on screen, so it paints
    EXPECT_FALSE(platform::CancelRequested()); // a window the work cannot be stopped from
    EXPECT_FALSE(ran);

    platform::ShowCancellableMessage(QStringLiteral("Sélection avancée"));
    ASSERT_NE(feedback.window(), nullptr);
    EXPECT_TRUE(feedback.window()->cancellable());
    EXPECT_EQ(feedback.window()->lblMsg()->text(), QStringLiteral("Sélection avancée"));
    EXPECT_FALSE(platform::CancelRequested());
    EXPECT_TRUE(ran);
    QMetaObject::invokeMethod(feedback.window()->cmdCancel(), &QPushButton::click,
                              Qt::QueuedConnection);
    EXPECT_TRUE(platform::CancelRequested());
    platform::FermeMessage();
    EXPECT_EQ(feedback.window(), nullptr);
    EXPECT_FALSE(platform::CancelRequested());
    platform::SetFeedback(nullptr);
}

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// Lets events run until `done` or a generous number of rounds.
template <typename Done> bool RunEventsUntil(Done done) {
    for (int round = 0; round < 200 && !done(); ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

TEST(WaitWindowFeedback, OtherWindowsPaintOnlyOnceTheCancellableWindowCloses) {
    PaintCounter other;
    other.resize(120, 80);
    other.show();
    ASSERT_TRUE(RunEventsUntil([&other] { return other.paints > 0; }));
    app::WaitWindowFeedback feedback;
    platform::SetFeedback(&feedback);
    platform::ShowCancellableMessage(QStringLiteral("busy"));
    const int before = other.paints;
    other.update();
    for (int i = 0; i < 5; ++i) {
        platform::CancelRequested();
    }
    EXPECT_EQ(other.paints, before);
    platform::FermeMessage();
    EXPECT_TRUE(RunEventsUntil([&other, before] { return other.paints > before; }));
    platform::SetFeedback(nullptr);
}

} // namespace

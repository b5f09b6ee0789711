#include "ProgramWindows.h"

#include "../support/ScriptedPrompter.h"
#include "app/Form1.h"
#include "document/DistributionReader.h"
#include "maps/RegionSymbols.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>

namespace windows_test {

namespace {

// How long the walk waits for a window to come.
constexpr int kWaitMs = 30000;

} // namespace

Step Opens(std::function<void(QWidget&)> run) {
    return {Step::Kind::Opens, std::move(run)};
}

Step Acts(std::function<void(QWidget&)> run) {
    return {Step::Kind::Acts, std::move(run)};
}

void ProgramWindowsTest::SetUp() {
    MainWindowTest::SetUp();
    // The program's files: the region pictures, the map set and the gazetteer beside it.
    app::ProgramFolder() = QFileInfo(QStringLiteral(DOVAZOV_DATUM_DB)).path();
    maps::ResetMapsState();
    {
        testing_support::ScriptedPrompter quiet;
        ASSERT_TRUE(Load());
        // A survey whose comments are long, as field notes are.
        const QString file = path(QStringLiteral("survey.deg"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(DOVAZOV_FIXTURES "/windows/survey.deg"), file));
        ASSERT_TRUE(document::OpenDistribution(file, form_->readerHooks()));
        form_->ActiveMenus(); // as File > Open does after reading
    }
    // The window at its place on the screen, as the settings put it at start-up.
    form_->show();
    QCoreApplication::processEvents();
}

void ProgramWindowsTest::TearDown() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != form_.get() && window->isVisible()) {
            window->close();
        }
    }
    MainWindowTest::TearDown();
}

QRect ProgramWindowsTest::AvailableArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

bool ProgramWindowsTest::Reach(const WindowRoad& road,
                               const std::function<void(QWidget&)>& inspect) {
    std::vector<QPointer<QWidget>> opened;
    QPointer<QWidget> current = form_.get();
    std::size_t next = 0;
    bool waiting = false;
    bool finished = false;

    const auto closeAll = [&] {
        for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
            if (*it) {
                (*it)->close();
            }
        }
    };
    std::function<void()> walk = [&] {
        while (next < road.steps.size() && road.steps[next].kind == Step::Kind::Acts) {
            const QWidgetList before = QApplication::topLevelWidgets();
            road.steps[next++].run(*current);
            QCoreApplication::processEvents();
            // A window the step showed without waiting for it (the about box) is the one reached.
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (!before.contains(window) && window->isVisible() &&
                    window->windowType() != Qt::Popup && window->windowType() != Qt::ToolTip) {
                    current = window;
                    opened.emplace_back(window);
                }
            }
        }
        if (next == road.steps.size()) {
            // The layouts take the texts the last step set.
            QCoreApplication::processEvents();
            inspect(*current);
            finished = true;
            closeAll();
            return;
        }
        waiting = true;
        // Blocks while the window it opens is shown.
        road.steps[next++].run(*current);
    };
    // A step that finds another window than it expects ends the walk; the exception must not
    // cross the event loop of a modal window.
    const std::function<void()> advance = [&] {
        try {
            walk();
        } catch (const std::exception& e) {
            ADD_FAILURE() << road.name << ": " << e.what();
            finished = true;
            closeAll();
        }
    };

    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!waiting || modal == nullptr || modal == current) {
            return;
        }
        waiting = false;
        current = modal;
        opened.emplace_back(modal);
        // Out of the timer's own call, so that the next modal window can start its loop.
        QTimer::singleShot(0, modal, advance);
    });
    poll.start();
    advance();
    QElapsedTimer clock;
    clock.start();
    while (!finished && clock.elapsed() < kWaitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    poll.stop();
    if (!finished) {
        closeAll();
    }
    // Windows that delete themselves when closed are gone before the next walk.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return finished;
}

std::vector<std::string> ProgramWindowsTest::FaultsOf(const WindowRoad& road,
                                                      const std::vector<Check>& checks) {
    std::vector<std::string> faults;
    const bool reached = Reach(road, [&](QWidget& window) {
        const Visit visit{window, road.name, platform::Langue()};
        for (const Check& check : checks) {
            check(visit, faults);
        }
        for (const Check& check : road.own) {
            check(visit, faults);
        }
    });
    if (!reached) {
        faults.push_back("the window did not open");
    }
    return faults;
}

} // namespace windows_test

#include "ProgramWindows.h"

#include "../support/ScriptedPrompter.h"
#include "app/Form1.h"
#include "app/Prefer.h"
#include "app/Start.h"
#include "cartography/frmCarte.h"
#include "cartography/frmCartesOptions.h"
#include "document/DistributionReader.h"
#include "editor/EditForm.h"
#include "exchange/GarminImportWindow.h"
#include "exchange/ImportChooserWindow.h"
#include "gazetteer/frmGeoQuery.h"
#include "maps/RegionSymbols.h"
#include "platform/StringTable.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QWheelEvent>
#include <sstream>

namespace windows_test {

namespace {

// The pixels a text may lack before it counts as cut: rounding of font metrics.
constexpr int kTolerance = 1;
// How long the walk waits for a window to come.
constexpr int kWaitMs = 30000;

std::string Name(const QObject* object) {
    std::string name = object->metaObject()->className();
    if (!object->objectName().isEmpty()) {
        name += " " + object->objectName().toStdString();
    }
    return name;
}

std::string Quoted(const QString& text) {
    return "\"" + text.toStdString() + "\"";
}

// The text of a button as it shows, without its mnemonic marks.
QString Shown(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// Shown to the user: visible with all its parents, up to the window.
bool ShownIn(const QWidget& widget, const QWidget& window) {
    return widget.isVisibleTo(&window) && widget.width() > 0 && widget.height() > 0;
}

// Inside a scrolled area, where a part out of view is reached by scrolling.
bool Scrolled(const QWidget& widget, const QWidget& window) {
    for (const QWidget* w = widget.parentWidget(); w != nullptr && w != &window;
         w = w->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(w) != nullptr) {
            return true;
        }
    }
    return false;
}

// The width a push or tool button's text and icon need within the button's frame.
int NeededWidth(const QAbstractButton& button) {
    const QString text = Shown(button.text());
    int width = button.fontMetrics().horizontalAdvance(text);
    if (!button.icon().isNull()) {
        width += button.iconSize().width() + 4;
    }
    // The frame and the style's margins on both sides.
    const int margin = button.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button);
    return width + margin + 2 * button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
}

// The width the caption of header section `section` needs.
int CaptionWidth(const QHeaderView& header, int section) {
    const QString caption =
        header.model() != nullptr
            ? header.model()->headerData(section, header.orientation()).toString()
            : QString();
    if (caption.isEmpty()) {
        return 0;
    }
    const int margin = header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    return header.fontMetrics().horizontalAdvance(caption) + 2 * margin + 2;
}

// The widest value of column `column` among the rows the view shows (public in the base class,
// where the views override it).
int ValuesWidth(const QAbstractItemView& view, int column) {
    return view.sizeHintForColumn(column);
}

} // namespace

Step Opens(std::function<void(QWidget&)> run) {
    return {Step::Kind::Opens, std::move(run)};
}

Step Acts(std::function<void(QWidget&)> run) {
    return {Step::Kind::Acts, std::move(run)};
}

void PrintTo(const WindowRoad& road, std::ostream* out) {
    *out << road.name;
}

void CheckWithinScreen(const Visit& visit, std::vector<std::string>& faults) {
    const QWidget& window = visit.window;
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        faults.push_back("no screen");
        return;
    }
    const QRect area = screen->availableGeometry();
    const QRect frame = window.frameGeometry();
    if (!area.contains(frame)) {
        std::ostringstream s;
        s << "window " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
          << frame.height() << " (frame included) outside the available area " << area.x() << ","
          << area.y() << " " << area.width() << "x" << area.height();
        faults.push_back(s.str());
    }
}

void CheckTextsWhole(const Visit& visit, std::vector<std::string>& faults) {
    const QWidget& window = visit.window;
    const QRect inside = window.rect();
    const auto report = [&](const QWidget& widget, const QString& text, int needed, int has) {
        std::ostringstream s;
        s << Name(&widget) << " " << Quoted(text) << " needs " << needed << " px, has " << has;
        faults.push_back(s.str());
    };
    const auto placed = [&](const QWidget& widget, const QString& text) {
        if (Scrolled(widget, window)) {
            return;
        }
        const QRect place(widget.mapTo(&window, QPoint(0, 0)), widget.size());
        if (!inside.contains(place)) {
            std::ostringstream s;
            s << Name(&widget) << " " << Quoted(text) << " at " << place.x() << "," << place.y()
              << " " << place.width() << "x" << place.height() << " outside the window's "
              << inside.width() << "x" << inside.height();
            faults.push_back(s.str());
        }
    };
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const QString text = label->text();
        if (!ShownIn(*label, window) || text.trimmed().isEmpty()) {
            continue;
        }
        if (label->wordWrap()) {
            const int needed = label->heightForWidth(label->width());
            if (needed > label->height() + kTolerance) {
                std::ostringstream s;
                s << Name(label) << " " << Quoted(text) << " needs " << needed << " px high at "
                  << label->width() << " px wide, has " << label->height();
                faults.push_back(s.str());
            }
        } else if (label->sizeHint().width() > label->width() + kTolerance) {
            report(*label, text, label->sizeHint().width(), label->width());
        }
        placed(*label, text);
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const QString text = button->text();
        if (!ShownIn(*button, window)) {
            continue;
        }
        placed(*button, Shown(text));
        if (text.trimmed().isEmpty()) {
            continue;
        }
        // Check and radio boxes need their whole size hint; push and tool buttons their text.
        const bool box = qobject_cast<const QCheckBox*>(button) != nullptr ||
                         qobject_cast<const QRadioButton*>(button) != nullptr;
        const int needed = box ? button->sizeHint().width() : NeededWidth(*button);
        if (needed > button->width() + kTolerance) {
            report(*button, Shown(text), needed, button->width());
        }
    }
}

void CheckColumnsWhole(const Visit& visit, std::vector<std::string>& faults) {
    const QWidget& window = visit.window;
    for (QAbstractItemView* view : window.findChildren<QAbstractItemView*>()) {
        if (!ShownIn(*view, window) || view->model() == nullptr) {
            continue;
        }
        const int room = view->viewport()->width();
        QHeaderView* header = nullptr;
        if (auto* tree = qobject_cast<QTreeView*>(view)) {
            header = tree->header();
        } else if (auto* table = qobject_cast<QTableView*>(view)) {
            header = table->horizontalHeader();
        }
        if (header == nullptr) {
            // A list: its widest item within its room, unless the window already spans the screen.
            const int needed = ValuesWidth(*view, 0);
            const int screenRoom = window.screen()->availableGeometry().width();
            if (needed > room + kTolerance && window.frameGeometry().width() < screenRoom) {
                std::ostringstream s;
                s << Name(view) << " items need " << needed << " px, the list has " << room;
                faults.push_back(s.str());
            }
            continue;
        }
        std::vector<int> shown;
        for (int visual = 0; visual < header->count(); ++visual) {
            const int section = header->logicalIndex(visual);
            if (!header->isSectionHidden(section) && header->sectionSize(section) > 0) {
                shown.push_back(section);
            }
        }
        int used = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const int section = shown[i];
            const int width = header->sectionSize(section);
            const int needed =
                std::max(ValuesWidth(*view, section), CaptionWidth(*header, section));
            // Every column as wide as its values; the last one as wide as the room left allows.
            const bool last = i + 1 == shown.size();
            const int allowed = last ? std::max(room - used, 0) : room;
            if (std::min(needed, allowed) > width + kTolerance) {
                std::ostringstream s;
                s << Name(view) << " column " << section << " "
                  << Quoted(header->model()->headerData(section, Qt::Horizontal).toString())
                  << " needs " << needed << " px, has " << width << " (room " << room << ")";
                faults.push_back(s.str());
            }
            used += width;
        }
    }
}

void CheckWheelScrollsPicture(const Visit& visit, std::vector<std::string>& faults) {
    auto* window = qobject_cast<cartography::frmCarte*>(&visit.window);
    if (window == nullptr) {
        faults.push_back("not the cartography window");
        return;
    }
    QWidget* picture = window->Map;
    const QWidget* room = picture->parentWidget();
    const QRect before(picture->mapTo(window, QPoint(0, 0)), picture->size());
    const auto turn = [&](int notches) {
        const QPointF at(picture->width() / 2.0, picture->height() / 2.0);
        QWheelEvent wheel(at, picture->mapToGlobal(at), QPoint(), QPoint(0, notches * 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(picture, &wheel);
        QCoreApplication::processEvents();
        return QRect(picture->mapTo(window, QPoint(0, 0)), picture->size());
    };
    const bool taller = picture->height() > room->height();
    const QRect down = turn(-1);
    if (taller && down.y() >= before.y()) {
        faults.push_back("the wheel turned down does not move the picture up");
    }
    if (!taller && down != before) {
        faults.push_back("the wheel moves a picture that fits its room");
    }
    // The picture stays over its room: no gap above or below it.
    const QRect inRoom(picture->pos(), picture->size());
    if (taller && (inRoom.top() > 0 || inRoom.bottom() < room->height() - 1)) {
        faults.push_back("the wheel moved the picture off its room");
    }
    if (turn(1) != before) {
        faults.push_back("the wheel turned back up does not bring the picture back");
    }
}

std::vector<Check> LayoutChecks() {
    return {CheckWithinScreen, CheckTextsWhole, CheckColumnsWhole};
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

// The catalogue.

namespace {

template <typename T> T& As(QWidget& widget) {
    auto* typed = qobject_cast<T*>(&widget);
    if (typed == nullptr) {
        throw std::runtime_error(std::string("expected a ") + T::staticMetaObject.className() +
                                 ", found " + widget.metaObject()->className());
    }
    return *typed;
}

Step Trigger(QAction* (*item)(app::Form1&)) {
    return Opens([item](QWidget& main) { item(As<app::Form1>(main))->trigger(); });
}

Step Click(QAbstractButton* (*button)(QWidget&)) {
    return Opens([button](QWidget& window) { QTest::mouseClick(button(window), Qt::LeftButton); });
}

// The first push button of `window` whose text, without mnemonics, is `text`.
QPushButton* ButtonWithText(QWidget& window, const QString& text) {
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (Shown(button->text()) == text) {
            return button;
        }
    }
    throw std::runtime_error("no button " + text.toStdString());
}

// Picks item `index` of a combo box with the keyboard, as a user does.
void PickWithKeys(QComboBox& combo, int index) {
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i) {
        QTest::keyClick(&combo, Qt::Key_Down);
    }
}

WindowRoad Road(std::string name, std::vector<Step> steps, std::vector<Check> own = {}) {
    return {std::move(name), std::move(steps), std::move(own)};
}

// The record editor from the main window's Edit button.
Step OpenEditor() {
    return Opens(
        [](QWidget& main) { QTest::mouseClick(As<app::Form1>(main).cmd[3], Qt::LeftButton); });
}

// The cartography window from View > Other.
Step OpenCartography() {
    return Trigger([](app::Form1& f) { return f.mnuVisOther; });
}

} // namespace

std::vector<WindowRoad> Catalogue() {
    using app::Form1;
    std::vector<WindowRoad> roads;
    roads.push_back(Road("main window", {}));

    // File menu.
    roads.push_back(Road("coordinate import", {Trigger([](Form1& f) { return f.mnuImport[0]; })}));
    roads.push_back(Road("coordinate import with its preview",
                         {Trigger([](Form1& f) { return f.mnuImport[0]; }), Acts([](QWidget& w) {
                              auto& chooser = As<exchange::frmImportation>(w);
                              testing_support::ScriptedPrompter prompter;
                              prompter.expect(testing_support::ChooseFile(
                                  QDir(QStringLiteral(DOVAZOV_FIXTURES))
                                      .filePath(QStringLiteral("windows/coordinates.txt"))));
                              QTest::mouseClick(chooser.cmdImportation(0), Qt::LeftButton);
                          })}));
    const auto waypoints = [] {
        return Opens([](QWidget& main) {
            testing_support::ScriptedPrompter prompter;
            prompter.expect(testing_support::ChooseFile(
                QDir(QStringLiteral(DOVAZOV_FIXTURES))
                    .filePath(QStringLiteral("windows/waypoints.txt"))));
            As<Form1>(main).mnuImportGarmin[0]->trigger();
        });
    };
    roads.push_back(Road("waypoint import", {waypoints()}));
    roads.push_back(Road("waypoint import options",
                         {waypoints(), Click([](QWidget& w) -> QAbstractButton* {
                              return As<exchange::frmImportGarmin>(w).cmdImportGarmin(2);
                          })}));
    roads.push_back(
        Road("export options", {Trigger([](Form1& f) { return f.MnuExpAsciiMode[0]; })}));

    // Edit menu.
    roads.push_back(Road("selection", {Trigger([](Form1& f) { return f.MnuSelection; })}));
    roads.push_back(Road("grid snapping", {Trigger([](Form1& f) { return f.mnuAjustGrid[0]; })}));

    // The record editor in each input system, and the windows it opens.
    for (int system = 0; system < 16; ++system) {
        roads.push_back(Road("record editor, input system " + std::to_string(system),
                             {OpenEditor(), Acts([system](QWidget& w) {
                                  PickWithKeys(*As<editor::EditForm>(w).cmbSystem, system);
                              })}));
    }
    roads.push_back(Road("record editor's datum chooser",
                         {OpenEditor(), Click([](QWidget& w) -> QAbstractButton* {
                              return As<editor::EditForm>(w).cmdChangeDatum;
                          })}));
    const auto gazetteer = [] {
        return Click(
            [](QWidget& w) -> QAbstractButton* { return As<editor::EditForm>(w).cmdSearch; });
    };
    roads.push_back(Road("gazetteer", {OpenEditor(), gazetteer()}));
    const auto setup = [] {
        return Click(
            [](QWidget& w) -> QAbstractButton* { return As<gazetteer::frmGeoQuery>(w).cmdSetup; });
    };
    roads.push_back(Road("gazetteer setup", {OpenEditor(), gazetteer(), setup()}));
    roads.push_back(
        Road("gazetteer fonts", {OpenEditor(), gazetteer(), setup(), Click([](QWidget& w) {
                                     return static_cast<QAbstractButton*>(
                                         ButtonWithText(w, QStringLiteral("Fonts")));
                                 })}));

    // View menu: the fourteen region maps and the cartography window with each of its maps.
    roads.push_back(Road("region map: world", {Trigger([](Form1& f) { return f.MnuVisMonde; })}));
    for (int i = 0; i < 8; ++i) {
        roads.push_back(Road("region map: Europe " + std::to_string(i), {Opens([i](QWidget& main) {
                                 As<Form1>(main).mnuEurope[static_cast<std::size_t>(i)]->trigger();
                             })}));
    }
    roads.push_back(
        Road("region map: Asia-Europe", {Trigger([](Form1& f) { return f.MnuVisAsiEur; })}));
    roads.push_back(Road("region map: Africa", {Trigger([](Form1& f) { return f.MnuVisAfrica; })}));
    roads.push_back(
        Road("region map: North America", {Trigger([](Form1& f) { return f.MnuVisNamer; })}));
    roads.push_back(
        Road("region map: South America", {Trigger([](Form1& f) { return f.MnuVisSamer; })}));
    roads.push_back(
        Road("region map: Asia-Oceania", {Trigger([](Form1& f) { return f.MnuVisAsiocea; })}));
    for (const char* map : {"world", "europe", "polar", "globe"}) {
        const QString file = QStringLiteral("carto/%1.dsw").arg(QLatin1String(map));
        roads.push_back(Road(std::string("cartography: ") + map,
                             {OpenCartography(), Acts([file](QWidget& w) {
                                  auto& carte = As<cartography::frmCarte>(w);
                                  testing_support::ScriptedPrompter prompter;
                                  prompter.expect(testing_support::ChooseFile(
                                      QDir(app::ProgramFolder()).filePath(file)));
                                  carte.mnuFichier[0]->trigger();
                              })},
                             {CheckWheelScrollsPicture}));
    }
    const auto layerOptions = [] {
        return Opens([](QWidget& w) { As<cartography::frmCarte>(w).mnuOptions[0]->trigger(); });
    };
    roads.push_back(Road("cartography options", {OpenCartography(), layerOptions()}));
    roads.push_back(
        Road("cartography options with a layer",
             {OpenCartography(), layerOptions(), Acts([](QWidget& w) {
                  auto& options = As<cartography::frmCartesOptions>(w);
                  testing_support::ScriptedPrompter prompter;
                  prompter.expect(testing_support::ChooseFile(
                      QDir(app::ProgramFolder()).filePath(QStringLiteral("carto/borders.zeb"))));
                  QTest::mouseClick(options.cmdZEB[0], Qt::LeftButton);
              })}));

    // Options menu.
    roads.push_back(Road("preferences", {Trigger([](Form1& f) { return f.MnuPreferences; })}));
    roads.push_back(Road(
        "preferences' datum chooser",
        {Trigger([](Form1& f) { return f.MnuPreferences; }),
         Click([](QWidget& w) -> QAbstractButton* { return As<app::Prefer>(w).cmdChangeDatum; })}));
    roads.push_back(Road("periods", {Trigger([](Form1& f) { return f.MnuOptionsPeriodes; })}));
    roads.push_back(
        Road("region map options", {Trigger([](Form1& f) { return f.MnuOptionsCartes; })}));

    // Help menu: the about box and its credits.
    const auto about = [] {
        return Acts([](QWidget& main) { As<Form1>(main).MnuInfo[1]->trigger(); });
    };
    roads.push_back(Road("about", {about()}));
    roads.push_back(Road("credits", {about(), Opens([](QWidget& w) {
                                         QTest::mouseClick(As<app::Start>(w).Label1,
                                                           Qt::LeftButton);
                                     })}));
    return roads;
}

} // namespace windows_test

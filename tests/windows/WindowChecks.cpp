#include "LanguageTexts.h"
#include "ProgramWindows.h"
#include "cartography/frmCarte.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QTreeView>
#include <QWheelEvent>
#include <sstream>

namespace windows_test {

namespace {

// What a desktop takes from a screen beyond the offscreen platform's thin frame: a panel of 32
// pixels and a title bar of 32, and borders of 4.
const QMargins kDesktopFrame(4, 64, 4, 4);

// The pixels a text may lack before it counts as cut: rounding of font metrics.
constexpr int kTolerance = 1;

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
    const QString text = ShownText(button.text());
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

// The header over the columns of a tree or table view; null for a list.
const QHeaderView* ColumnHeader(const QAbstractItemView& view) {
    if (const auto* tree = qobject_cast<const QTreeView*>(&view)) {
        return tree->header();
    }
    if (const auto* table = qobject_cast<const QTableView*>(&view)) {
        return table->horizontalHeader();
    }
    return nullptr;
}

} // namespace

// The text of a button as it shows, without its mnemonic marks.
QString ShownText(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
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
    // The offscreen screen has no panel and a thin frame: on a desktop of the same size a panel
    // and a title bar take more, and the window must be able to shrink into what is left.
    const QSize least = window.minimumSize().expandedTo(window.minimumSizeHint());
    const QSize desktop = area.size() - QSize(kDesktopFrame.left() + kDesktopFrame.right(),
                                              kDesktopFrame.top() + kDesktopFrame.bottom());
    if (least.width() > desktop.width() || least.height() > desktop.height()) {
        std::ostringstream s;
        s << "window cannot shrink below " << least.width() << "x" << least.height()
          << ", a desktop of this screen leaves " << desktop.width() << "x" << desktop.height();
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
        placed(*button, ShownText(text));
        if (text.trimmed().isEmpty()) {
            continue;
        }
        // Check and radio boxes need their whole size hint; push and tool buttons their text.
        const bool box = qobject_cast<const QCheckBox*>(button) != nullptr ||
                         qobject_cast<const QRadioButton*>(button) != nullptr;
        const int needed = box ? button->sizeHint().width() : NeededWidth(*button);
        if (needed > button->width() + kTolerance) {
            report(*button, ShownText(text), needed, button->width());
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
        const QHeaderView* header = ColumnHeader(*view);
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

void CheckOneLanguage(const Visit& visit, std::vector<std::string>& faults) {
    const QWidget& window = visit.window;
    const QHash<QString, QString> other = OtherLanguageTexts(visit.langue, visit.name);
    const auto look = [&](const std::string& where, const QString& text) {
        const auto it = other.constFind(Comparable(text));
        if (it != other.constEnd()) {
            faults.push_back(where + " " + Quoted(ShownText(text).trimmed()) +
                             " is in the other language (" + it->toStdString() + ")");
        }
    };
    look("window title", window.windowTitle());
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (ShownIn(*label, window)) {
            look(Name(label), label->text());
        }
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (ShownIn(*button, window)) {
            look(Name(button), button->text());
        }
    }
    for (const QGroupBox* box : window.findChildren<QGroupBox*>()) {
        if (ShownIn(*box, window)) {
            look(Name(box), box->title());
        }
    }
    for (const QTabBar* tabs : window.findChildren<QTabBar*>()) {
        for (int i = 0; ShownIn(*tabs, window) && i < tabs->count(); ++i) {
            look(Name(tabs) + " tab", tabs->tabText(i));
        }
    }
    for (const QComboBox* combo : window.findChildren<QComboBox*>()) {
        for (int i = 0; ShownIn(*combo, window) && i < combo->count(); ++i) {
            look(Name(combo) + " item", combo->itemText(i));
        }
    }
    // The menus as the user opens them, submenus included.
    std::function<void(const QString&, const QList<QAction*>&)> menu =
        [&](const QString& path, const QList<QAction*>& actions) {
            for (const QAction* action : actions) {
                if (!action->isVisible() || action->isSeparator()) {
                    continue;
                }
                const QString here = path + " > " + ShownText(action->text());
                look("menu" + path.toStdString(), action->text());
                if (action->menu() != nullptr) {
                    menu(here, action->menu()->actions());
                }
            }
        };
    for (const QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        if (ShownIn(*bar, window)) {
            menu(QString(), bar->actions());
        }
    }
    for (const QAbstractItemView* view : window.findChildren<QAbstractItemView*>()) {
        const QHeaderView* header = ColumnHeader(*view);
        if (!ShownIn(*view, window) || header == nullptr || header->model() == nullptr ||
            header->isHidden()) {
            continue;
        }
        for (int section = 0; section < header->count(); ++section) {
            if (!header->isSectionHidden(section)) {
                look(Name(view) + " column",
                     header->model()->headerData(section, Qt::Horizontal).toString());
            }
        }
    }
}

std::vector<Check> LayoutChecks() {
    return {CheckWithinScreen, CheckTextsWhole, CheckColumnsWhole, CheckOneLanguage};
}

} // namespace windows_test

#include "cartography/frmCarte.h"

#include "cartography/CartoMapLoading.h"
#include "cartography/CartoSettings.h"
#include "cartography/DistributionSymbols.h"
#include "cartography/EpsFile.h"
#include "cartography/Graticule.h"
#include "cartography/ImageOutput.h"
#include "cartography/Redraw.h"
#include "cartography/core/UtmReadout.h"
#include "cartography/frmCartesOptions.h"
#include "common/Numeric.h"
#include "document/DataControl.h"
#include "platform/ErrorBox.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"
#include "platform/widgets/ScreenFit.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QWheelEvent>
#include <cmath>

namespace cartography {

namespace {

constexpr OleColor kBlack = 0;
constexpr OleColor kWhite = 0xFFFFFF;

struct ToolButton {
    const char* key;
    const char* tooltip;
    QStyle::StandardPixmap icon;
};

// The toolbar, in order.
constexpr std::array<ToolButton, 7> kToolButtons{{
    {"open", "Ouvrir une carte", QStyle::SP_DialogOpenButton},
    {"save", "Sauve l'image de la carte", QStyle::SP_DialogSaveButton},
    {"properties", "Options", QStyle::SP_FileDialogDetailedView},
    {"print", "Imprime la carte", QStyle::SP_ComputerIcon},
    {"eps", "Créer un fichier EPS", QStyle::SP_FileIcon},
    {"grid", "Affiche une grille géographique", QStyle::SP_FileDialogListView},
    {"stop", "Fermer la fenêtre", QStyle::SP_DialogCloseButton},
}};

// The symbol sizes of a click: A paints over a removed record, B draws an added one.
float SizeA(const CartoSession& s) {
    const std::int32_t d = s.Options.SymbolDiameter();
    return d != -1 ? static_cast<float>(d) / 1000.0F : s.extent.ExtentMax / 50.0F;
}
float SizeB(const CartoSession& s) {
    const std::int32_t d = s.Options.SymbolDiameter();
    if (d == -1) {
        return s.extent.ExtentMax / 50.0F;
    }
    return s.projection.ProjCode > 0 ? static_cast<float>(d) / 1000.0F : static_cast<float>(d);
}

bool UsablePoint(float x, float y) {
    return std::isfinite(x) && std::isfinite(y) && !IsHiddenPoint(x);
}

QString Slashes(QString path) {
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

} // namespace

MapPictureBox::MapPictureBox(frmCarte& window, QWidget* parent) : QWidget(parent), window_(window) {
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void MapPictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, window_.canvas().image());
}

void MapPictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = window_.canvas().toUser(event->position());
    window_.Map_MouseMove(static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void MapPictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = window_.canvas().toUser(event->position());
    window_.Map_MouseUp(event->button(), static_cast<float>(p.x()), static_cast<float>(p.y()));
}

frmCarte::frmCarte(CartoWindowState& state, maps::MapHost& host, QWidget* parent)
    : QDialog(parent), state_(state), host_(host), records_(host) {
    setWindowTitle(QStringLiteral("Cartographie"));
    setModal(true);
    setSizeGripEnabled(false);
    choosePrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    runOptions = [](frmCartesOptions& dialog) { dialog.exec(); };

    buildMenus();
    client_ = new QWidget(this);
    // The picture's room between the toolbar and the bars: the picture is clipped to it and never
    // paints over the toolbar, the menu bar, the scroll bars or the status bar.
    room_ = new QWidget(client_);
    room_->setAutoFillBackground(true);
    Map = new MapPictureBox(*this, room_);
    HScroll1 = new QScrollBar(Qt::Horizontal, client_);
    VScroll1 = new QScrollBar(Qt::Vertical, client_);
    PetitCarre = new QWidget(client_);
    PetitCarre->setAutoFillBackground(true);
    buildToolbar();
    StatusBar1 = new QStatusBar(client_);
    StatusBar1->setSizeGripEnabled(false);
    // The bars paint their whole area, tracks included.
    for (QWidget* bar : std::initializer_list<QWidget*>{HScroll1, VScroll1, Toolbar1, StatusBar1}) {
        bar->setAutoFillBackground(true);
    }
    // Each panel one inch wide.
    const int inch = logicalDpiX();
    for (QLabel*& panel : Panels) {
        panel = new QLabel(StatusBar1);
        panel->setFixedWidth(inch);
        StatusBar1->addWidget(panel);
    }
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { placePicture(); });
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { placePicture(); });

    Map->setFixedSize(canvas().size());
    resize(canvas().width() + 200, canvas().height() + 200);
    Form_Load();
}

frmCarte::~frmCarte() = default;

void frmCarte::buildMenus() {
    menuBar = new QMenuBar(this);
    mnuBarre[0] = menuBar->addMenu(QStringLiteral("&Fichier"));
    mnuBarre[1] = menuBar->addMenu(QStringLiteral("&Affichage"));
    mnuBarre[2] = menuBar->addMenu(QStringLiteral("&Options"));
    const auto item = [this](QMenu* menu, const QString& caption, auto handler, int index) {
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this,
                [this, handler, index] { (this->*handler)(index); });
        return action;
    };
    QMenu* file = mnuBarre[0];
    mnuFichier[0] = item(file, QStringLiteral("&Ouvrir"), &frmCarte::mnuFichier_Click, 0);
    mnuFichier[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFichier[1] = item(file, QStringLiteral("Sauver &image"), &frmCarte::mnuFichier_Click, 1);
    epsMenu_ = file->addMenu(QStringLiteral("Fichier &EPS"));
    mnuFichier[2] = epsMenu_->menuAction();
    mnuEPS[0] = item(epsMenu_, QStringLiteral("&Couleur"), &frmCarte::mnuEPS_Click, 0);
    mnuEPS[1] = item(epsMenu_, QStringLiteral("&Noir et blanc"), &frmCarte::mnuEPS_Click, 1);
    mnuFichier[3] = file->addSeparator();
    mnuFichier[4] = item(file, QStringLiteral("&Imprimer"), &frmCarte::mnuFichier_Click, 4);
    mnuFichier[5] = file->addSeparator();
    mnuFichier[6] = item(file, QStringLiteral("&Fermer"), &frmCarte::mnuFichier_Click, 6);
    mnuAffichage[0] =
        item(mnuBarre[1], QStringLiteral("&Redessiner"), &frmCarte::mnuAffichage_Click, 0);
    mnuAffichage[0]->setShortcut(QKeySequence(Qt::Key_F5));
    mnuAffichage[1] =
        item(mnuBarre[1], QStringLiteral("&Grille"), &frmCarte::mnuAffichage_Click, 1);
    mnuOptions[0] = item(mnuBarre[2], QStringLiteral("&Couches"), &frmCarte::mnuOptions_Click, 0);
    mnuOptions[1] = item(mnuBarre[2], QStringLiteral("&Symboles"), &frmCarte::mnuOptions_Click, 1);
}

void frmCarte::buildToolbar() {
    Toolbar1 = new QToolBar(client_);
    Toolbar1->setMovable(false);
    for (const ToolButton& b : kToolButtons) {
        const QString key = QString::fromLatin1(b.key);
        QAction* action = Toolbar1->addAction(style()->standardIcon(b.icon), QString());
        action->setObjectName(key);
        action->setToolTip(QString::fromUtf8(b.tooltip));
        connect(action, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
    }
}

QAction* frmCarte::button(const QString& key) const {
    for (QAction* action : Toolbar1->actions()) {
        if (action->objectName() == key) {
            return action;
        }
    }
    return nullptr;
}

void frmCarte::guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        platform::ShowErrorOf(e);
    }
    Map->update();
}

void frmCarte::Form_Load() {
    const auto step = [](const std::function<void()>& run) {
        try {
            run();
        } catch (const std::exception& e) {
            platform::ShowErrorOf(e);
        }
    };
    CartoSession& s = session();
    platform::WaitCursor wait;
    QApplication::processEvents();
    const CartoSettings settings = ReadCartoSettings(host_.programFolder);
    step([&] {
        move(static_cast<int>(std::lround(settings.Left / kTwipsPerPixel)),
             static_cast<int>(std::lround(settings.Top / kTwipsPerPixel)));
    });
    step([&] {
        records_.load();
        s.InitialCount = records_.initialCount();
    });
    step([&] { SetCylindricalFactors(s.projection); });
    s.Options.SetSymbolColor(settings.SymbolColor);
    s.Options.SetSymbolDiameter(settings.SymbolDiameter);
    s.programFolder = host_.programFolder;
    step([&] {
        button(QStringLiteral("eps"))->setEnabled(s.projection.ProjCode != 0);
        AjusteMap();
        s.utm = InitUtm();
        s.Options.Raz();
    });
    step([&] {
        if (!settings.LastMap.isEmpty() && QFileInfo(Slashes(settings.LastMap)).isFile()) {
            ChargeCarte(settings.LastMap);
        } else {
            mnuFichier_Click(0);
        }
    });
    step([&] { PlotDistri(s, canvas(), host_, nullptr, 0); });
    Map->update();
}

FrameMetrics frmCarte::metrics() const {
    FrameMetrics m;
    m.inner = innerSize();
    m.picture = Map->size();
    m.toolbarHeight = Toolbar1->sizeHint().height();
    m.statusHeight = StatusBar1->sizeHint().height();
    m.vscrollWidth = VScroll1->sizeHint().width();
    m.hscrollHeight = HScroll1->sizeHint().height();
    return m;
}

QSize frmCarte::innerSize() const {
    return {width(), height() - menuBar->sizeHint().height()};
}

void frmCarte::AjusteMap() {
    const FrameMetrics m = metrics();
    // The room the screen leaves the window, its title bar and frame taken off.
    const QSize available = platform::ClientRoom(*this).size();
    const int bar = menuBar->sizeHint().height();
    // A picture just smaller than the screen would push the status bar off a small screen: the
    // window stays within the screen and the scroll bars take over.
    const QSize inner = FittedInnerSize(m, available, m.inner).boundedTo(available - QSize(0, bar));
    resize(inner.width(), inner.height() + bar);
    platform::KeepWithinScreen(*this);
    Form_Resize();
}

void frmCarte::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmCarte::Form_Resize() {
    const int bar = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, width(), bar);
    const FrameMetrics m = metrics();
    const int w = m.inner.width();
    const int h = m.inner.height();
    client_->setGeometry(0, bar, w, std::max(h, 0));
    Toolbar1->setGeometry(0, 0, w, m.toolbarHeight);
    StatusBar1->setGeometry(0, h - m.statusHeight, w, m.statusHeight);
    // A window made very small leaves the bars where they were.
    const int vHeight = h - m.toolbarHeight - m.statusHeight - m.hscrollHeight;
    const int hWidth = w - m.vscrollWidth;
    if (vHeight >= 0 && hWidth >= 0) {
        VScroll1->setGeometry(w - m.vscrollWidth, m.toolbarHeight, m.vscrollWidth, vHeight);
        HScroll1->setGeometry(0, h - m.statusHeight - m.hscrollHeight, hWidth, m.hscrollHeight);
        PetitCarre->setGeometry(VScroll1->x(), HScroll1->y(), m.vscrollWidth, m.hscrollHeight);
        room_->setGeometry(0, m.toolbarHeight, hWidth, vHeight);
    }
    CalculeScroll();
}

void frmCarte::applyScroll(QScrollBar* bar, const ScrollSettings& settings) {
    // A picture larger than its room has its far edge (max) below its near one (min): the bar then
    // runs from min at its start to max at its end.
    bar->setInvertedAppearance(settings.max < settings.min);
    // The wheel and the keys move the bar's slider the way it is drawn.
    bar->setInvertedControls(settings.max < settings.min);
    bar->setRange(std::min(settings.min, settings.max), std::max(settings.min, settings.max));
    bar->setSingleStep(settings.smallChange);
    bar->setPageStep(settings.largeChange);
}

void frmCarte::CalculeScroll() {
    scroll_ = cartography::CalculeScroll(metrics(), scroll_);
    const QSignalBlocker hBlock(HScroll1);
    const QSignalBlocker vBlock(VScroll1);
    applyScroll(HScroll1, scroll_.horizontal);
    applyScroll(VScroll1, scroll_.vertical);
    if (!scrollSet_) {
        // The picture starts at its top-left corner, just below the toolbar.
        HScroll1->setValue(scroll_.horizontal.min);
        VScroll1->setValue(scroll_.vertical.min);
        scrollSet_ = true;
    }
    HScroll1->setVisible(scroll_.horizontalShown);
    VScroll1->setVisible(scroll_.verticalShown);
    PetitCarre->setVisible(scroll_.horizontalShown && scroll_.verticalShown);
    placePicture();
}

void frmCarte::placePicture() {
    // The bars' values are the picture's corner in the window below the menu bar; the room starts
    // below the toolbar.
    Map->move(HScroll1->value(), VScroll1->value() - room_->y());
}

void MapPictureBox::wheelEvent(QWheelEvent* event) {
    window_.scrollByWheel(*event);
}

void frmCarte::wheelEvent(QWheelEvent* event) {
    scrollByWheel(*event);
}

void frmCarte::scrollByWheel(QWheelEvent& wheel) {
    // The wheel moves the picture the way the bars do: down and right show what lies below and to
    // the right. A vertical wheel moves across when the picture fits from top to bottom.
    const QPoint notches = wheel.angleDelta() / QWheelEvent::DefaultDeltasPerStep;
    const bool across =
        notches.y() == 0 || (wheel.modifiers() & Qt::ShiftModifier) != 0 || VScroll1->isHidden();
    QScrollBar* bar = across ? HScroll1 : VScroll1;
    const int steps = notches.y() != 0 ? notches.y() : notches.x();
    if (bar->isHidden() || steps == 0) {
        wheel.ignore();
        return;
    }
    // The bar's value is the picture's edge: it falls as the picture moves up or left.
    const int lines = QApplication::wheelScrollLines();
    const int direction = bar->invertedControls() ? 1 : -1;
    bar->setValue(bar->value() + direction * steps * lines * bar->singleStep());
    wheel.accept();
}

void frmCarte::pictureChanged() {
    Map->setFixedSize(canvas().size());
    AjusteMap();
    Map->update();
}

void frmCarte::ChargeCarte(const QString& path) {
    platform::WaitCursor wait;
    try {
        LoadMap(session(), canvas(), path);
    } catch (const std::exception& e) {
        platform::ResetCursor();
        platform::MsgBox(LoadFailureText(e));
        return;
    }
    button(QStringLiteral("eps"))->setEnabled(session().projection.ProjCode != 0);
    pictureChanged();
}

void frmCarte::OuvrirCarte() {
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("Fichiers cartes (*.dsw)|*.dsw|Tous les fichiers (*.*)|*.*");
    request.folder = MapFolderSetting(host_.programFolder);
    const QString path = platform::CurrentPrompter().openFile(request);
    if (path.isEmpty()) {
        return;
    }
    ChargeCarte(path);
    SaveMapFolderSetting(FolderOf(path));
    RedrawMap(session(), canvas(), host_);
    Map->update();
}

void frmCarte::SetOptions(const QString& tab) {
    frmCartesOptions dialog(session().Options, host_.programFolder, this);
    const bool layers = session().projection.ProjCode != 0;
    dialog.cmdZEB[0]->setEnabled(layers);
    dialog.cmdZEB[1]->setEnabled(layers);
    dialog.selectTab(tab);
    runOptions(dialog);
    if (!session().Options.Cancel()) {
        RedrawMap(session(), canvas(), host_);
    }
}

void frmCarte::mnuFichier_Click(int index) {
    guarded([&] {
        switch (index) {
        case 0:
            OuvrirCarte();
            break;
        case 1:
            SauveImage(canvas());
            break;
        case 4: {
            QPrinter printer;
            if (choosePrinter(printer)) {
                PrintMap(canvas(), printer);
            }
            break;
        }
        case 6:
            close();
            break;
        default:
            break;
        }
    });
}

void frmCarte::mnuEPS_Click(int index) {
    guarded([&] { Imprime(session(), canvas(), host_, std::abs(index - 1)); });
}

void frmCarte::mnuAffichage_Click(int index) {
    guarded([&] {
        if (index == 0) {
            RedrawMap(session(), canvas(), host_);
        } else if (index == 1) {
            DisplayGrid(session(), canvas(), nullptr, 1);
            session().GridShown = true;
        }
    });
}

void frmCarte::mnuOptions_Click(int index) {
    guarded([&] { SetOptions(index == 0 ? QStringLiteral("zeb") : QStringLiteral("symboles")); });
}

void frmCarte::Toolbar1_ButtonClick(const QString& key) {
    if (key == QLatin1String("open")) {
        mnuFichier_Click(0);
    } else if (key == QLatin1String("save")) {
        mnuFichier_Click(1);
    } else if (key == QLatin1String("properties")) {
        guarded([&] { SetOptions(QStringLiteral("symboles")); });
    } else if (key == QLatin1String("print")) {
        mnuFichier_Click(4);
    } else if (key == QLatin1String("eps")) {
        epsMenu_->popup(QCursor::pos());
    } else if (key == QLatin1String("grid")) {
        mnuAffichage_Click(1);
    } else if (key == QLatin1String("stop")) {
        close();
    }
}

void frmCarte::Map_MouseMove(float x, float y) {
    const ReadoutPanels panels = PointerReadout(session().projection, session().utm, x, y);
    Panels[0]->setText(QString::fromStdString(panels.Panel1));
    Panels[1]->setText(QString::fromStdString(panels.Panel2));
    Panels[2]->setText(QString::fromStdString(panels.Panel3));
}

void frmCarte::Map_MouseUp(Qt::MouseButton button, float x, float y) {
    setWindowTitle(QString::fromStdString(common::StrSingle(x) + common::StrSingle(y)));
    CartoSession& s = session();
    // A map without projection gives no geographic position: clicks add and remove nothing.
    if (s.projection.ProjCode <= 0) {
        return;
    }
    try {
        if (button == Qt::LeftButton) {
            float lat = 0;
            float lon = 0;
            ProjectionInverse(s.projection, x, y, lat, lon);
            const float latD = Degre(lat);
            const float lonD = Degre(lon);
            // Off the earth (outside an orthographic disc, beyond a pole): nothing to add.
            if (!std::isfinite(latD) || !std::isfinite(lonD) || std::abs(latD) > 90.0F) {
                return;
            }
            records_.add(maps::ClickedRecord(latD, lonD, 1, QString()));
            float px = 0;
            float py = 0;
            Project(s.projection, radian(latD), radian(lonD), px, py);
            if (UsablePoint(px, py)) {
                canvas().setForeColor(kBlack);
                PlotSymbol(s, canvas(), px, py, 1, SizeB(s), s.Options.SymbolColor(), kFillSolid);
            }
        } else if (button == Qt::RightButton) {
            const float size = SizeA(s);
            const std::optional<maps::MapRecords::Removed> removed = records_.removeLast();
            if (!removed) {
                return;
            }
            float px = 0;
            float py = 0;
            Project(s.projection, radian(removed->lat), radian(removed->lon), px, py);
            if (UsablePoint(px, py)) {
                // White over the whole symbol, its outline included.
                canvas().setFillColor(kWhite);
                canvas().setFillStyle(kFillSolid);
                canvas().setForeColor(kWhite);
                canvas().Circle(px, py, size / 2.0F);
                canvas().setForeColor(kBlack);
            }
        }
    } catch (const std::exception& e) {
        platform::MsgBox(QString::fromUtf8(e.what()), platform::Buttons::Ok,
                         platform::Icon::Exclamation);
    }
    Map->update();
}

void frmCarte::done(int result) {
    if (!closed_) {
        closed_ = true;
        const MapOption& options = session().Options;
        try {
            WriteCartoSettings(options.SymbolColor(), options.SymbolDiameter(),
                               static_cast<float>(y() * kTwipsPerPixel),
                               static_cast<float>(x() * kTwipsPerPixel));
        } catch (const std::exception& e) {
            platform::ShowErrorOf(e);
        }
        records_.close();
    }
    QDialog::done(result);
}

void ShowCartography(CartoWindowState& state, maps::MapHost& host, QWidget* parent) {
    frmCarte window(state, host, parent);
    window.exec();
}

} // namespace cartography

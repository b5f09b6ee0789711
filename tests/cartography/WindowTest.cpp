// The cartography window offscreen: the maps of the built map set with a small document, the
// symbols checked at pixels computed with PROJ; the first opening, the scroll bars, failed loads,
// the toolbar and options dialog rules, clicks and the settings written at closing.

#include "../geodesy/ProjReference.h"
#include "../maps/MapFixture.h"
#include "../support/TempSettings.h"
#include "cartography/frmCarte.h"
#include "cartography/frmCartesOptions.h"
#include "platform/Settings.h"
#include "platform/widgets/ScreenFit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QWheelEvent>
#include <cmath>
#include <memory>

namespace {

using cartography::frmCarte;
using cartography::frmCartesOptions;

constexpr double kPi = 3.14159265358979323846;
constexpr double kR = 6378388.0;

QString Setting(const char* section, const char* key) {
    return platform::GetSetting(QStringLiteral("DOVAZOV"), QLatin1String(section),
                                QLatin1String(key));
}
void SetSetting(const char* section, const char* key, const QString& value) {
    platform::SaveSetting(QStringLiteral("DOVAZOV"), QLatin1String(section), QLatin1String(key),
                          value);
}

// A map description with its lines ending in CR LF.
void WriteDescription(const QString& path, const QStringList& lines) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
}

void WritePicture(const QString& path, QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor(200, 220, 240));
    ASSERT_TRUE(picture.save(path, "PNG"));
}

// The box of the pixels the drawing changed within `radius` pixels of `around`.
QRect ChangedBox(const QImage& image, const QImage& picture, QPointF around, int radius) {
    QRect box;
    const QImage a = image.convertToFormat(QImage::Format_RGB32);
    const QImage b = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = static_cast<int>(around.y()) - radius; y <= around.y() + radius; ++y) {
        for (int x = static_cast<int>(around.x()) - radius; x <= around.x() + radius; ++x) {
            if (x < 0 || y < 0 || x >= a.width() || y >= a.height()) {
                continue;
            }
            if (a.pixel(x, y) != b.pixel(x, y)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

class WindowTest : public maps_test::MapTest {
protected:
    void SetUp() override {
        MapTest::SetUp();
        ASSERT_TRUE(folder_.isValid());
    }

    std::unique_ptr<frmCarte> Open() { return std::make_unique<frmCarte>(state, host); }
    QString World() const { return host.programFolder + QStringLiteral("/carto/world.dsw"); }
    QString Path(const char* name) const { return folder_.filePath(QLatin1String(name)); }

    // A map without projection over a picture of `size` pixels, edges 0..1000 and 0..800.
    QString PlainMap(QSize size) {
        WritePicture(Path("plain.png"), size);
        WriteDescription(Path("plain.dsw"), {QStringLiteral("Plain"), QStringLiteral("plain.ps"),
                                             QStringLiteral("plain.png"), QStringLiteral("0"),
                                             QStringLiteral("0,1000,0,800")});
        return Path("plain.dsw");
    }

    testing_support::TempSettings settings_;
    QTemporaryDir folder_;
    cartography::CartoWindowState state;
};

// The projected extent and the picture's pixels of a map, from PROJ alone: the bounds' corner
// points of the map's code projected, or the whole disc of an oblique orthographic map.
struct ReferenceMap {
    testref::ProjGrid proj;
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    QSize picture;

    void forward(double lat, double lon, double& x, double& y) const {
        proj.forward(lat, lon, x, y);
        x /= 1000;
        y /= 1000;
    }
    // The position at a point of the picture (pixels).
    void inverse(QPointF pixel, double& lat, double& lon) const {
        const double x = xmin + pixel.x() / picture.width() * (xmax - xmin);
        const double y = ymax - pixel.y() / picture.height() * (ymax - ymin);
        proj.inverse(x * 1000, y * 1000, lat, lon);
    }
    QPointF pixel(double lat, double lon) const {
        double x = 0, y = 0;
        forward(lat, lon, x, y);
        return {(x - xmin) / (xmax - xmin) * picture.width(),
                (ymax - y) / (ymax - ymin) * picture.height()};
    }
};

std::string Degrees(double v) {
    return std::to_string(v);
}

std::unique_ptr<ReferenceMap> ReferenceOf(const cartography::MapDescription& map, QSize picture) {
    const double l0 = map.MeridianDeg;
    std::string definition;
    switch (map.ProjCode) {
    case 1:
        definition = "+proj=lcc +ellps=intl +lat_0=90 +lat_1=" + Degrees(map.StdParallel1) +
                     " +lat_2=" + Degrees(map.StdParallel2);
        break;
    case 5:
        definition = "+proj=eqc +R=6378388";
        break;
    case 10:
    case 13:
        definition = "+proj=ortho +R=6378388 +lat_0=" + Degrees(map.RefLatitude);
        break;
    case 11:
        definition = "+proj=ortho +R=6378388 +lat_0=90";
        break;
    default:
        return nullptr;
    }
    auto ref = std::make_unique<ReferenceMap>(ReferenceMap{
        testref::ProjGrid("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step " +
                          definition + " +lon_0=" + Degrees(l0)),
        0, 0, 0, 0, picture});
    if (!ref->proj.valid()) {
        return nullptr;
    }
    const double s = map.LatSouth, n = map.LatNorth, w = map.LonWest, e = map.LonEast;
    double unused = 0;
    switch (map.ProjCode) {
    case 1:
        ref->forward(s, w, ref->xmin, unused);
        ref->forward(s, l0, unused, ref->ymin);
        ref->forward(s, e, ref->xmax, unused);
        ref->forward(n, e, unused, ref->ymax);
        break;
    case 5:
        ref->forward(s, w, ref->xmin, unused);
        ref->forward(s, l0, unused, ref->ymin);
        ref->forward(s, e, ref->xmax, unused);
        ref->forward(n, l0, unused, ref->ymax);
        break;
    case 11:
        ref->forward(s, l0 + 270, ref->xmin, unused);
        ref->forward(s, l0, unused, ref->ymin);
        ref->forward(s, l0 + 90, ref->xmax, unused);
        ref->forward(s, l0 + 180, unused, ref->ymax);
        break;
    default: // the whole disc
        ref->xmin = ref->ymin = -kR / 1000;
        ref->xmax = ref->ymax = kR / 1000;
        break;
    }
    return ref;
}

struct MapCase {
    const char* file;
    int code;
    std::vector<std::pair<double, double>> records; // latitude, longitude
};

TEST_F(WindowTest, SymbolsLieAtTheirProjectedPixels) {
    const std::vector<MapCase> cases{
        {"world.dsw", 5, {{48.85, 2.35}, {-33.9, 18.4}, {40.7, -74.0}}},
        {"europe.dsw", 1, {{48.85, 2.35}, {60.17, 24.94}, {38.7, -9.1}}},
        {"globe.dsw", 10, {{48.85, 2.35}, {0.5, 20.0}, {-20.0, 30.0}}},
        {"polar.dsw", 11, {{60.17, 24.94}, {64.1, -21.9}, {70.0, 100.0}}},
    };
    for (const MapCase& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = host.programFolder + QStringLiteral("/carto/") + c.file;
        ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
        // The world map is the default; the others are named as the last map.
        if (c.code != 5) {
            SetSetting("Carto", "LastMap", path);
        }
        document::WorkDb().exec("DELETE FROM DOVAZOV");
        Refresh();
        for (const auto& [lat, lon] : c.records) {
            Add(static_cast<float>(lat), static_cast<float>(lon));
        }
        const auto window = Open();
        ASSERT_EQ(window->session().projection.ProjCode, c.code);
        EXPECT_TRUE(window->button(QStringLiteral("eps"))->isEnabled());
        const auto ref = ReferenceOf(window->session().map, window->canvas().size());
        ASSERT_NE(ref, nullptr);
        // Automatic diameter: a fiftieth of the larger side of the extent.
        const double diameter = std::max(ref->xmax - ref->xmin, ref->ymax - ref->ymin) / 50 /
                                (ref->xmax - ref->xmin) * ref->picture.width();
        const QImage image = window->canvas().image().copy();
        for (const auto& [lat, lon] : c.records) {
            SCOPED_TRACE(std::to_string(lat) + " " + std::to_string(lon));
            const QPointF expected = ref->pixel(lat, lon);
            const QRect box =
                ChangedBox(image, window->canvas().picture(), expected, static_cast<int>(diameter));
            ASSERT_FALSE(box.isEmpty());
            const QPointF centre((box.left() + box.right() + 1) / 2.0,
                                 (box.top() + box.bottom() + 1) / 2.0);
            EXPECT_NEAR(centre.x(), expected.x(), 1.5);
            EXPECT_NEAR(centre.y(), expected.y(), 1.5);
            EXPECT_NEAR(box.width(), diameter, 2.5);
        }
        window->reject();
    }
}

TEST_F(WindowTest, FirstOpeningWithoutAMapAsksForOne) {
    host.programFolder = folder_.path(); // no carto/world.dsw under it
    prompter.expect(testing_support::ChooseFile(QString()));
    const auto window = Open();
    ASSERT_EQ(prompter.fileDialogs().size(), 1U);
    EXPECT_EQ(prompter.fileDialogs()[0].filter,
              QStringLiteral("Fichiers cartes (*.dsw)|*.dsw|Tous les fichiers (*.*)|*.*"));
    EXPECT_EQ(prompter.fileDialogs()[0].folder, folder_.path() + QStringLiteral("/carto/"));
    EXPECT_FALSE(window->session().georeferenced);
    EXPECT_FALSE(window->button(QStringLiteral("eps"))->isEnabled());
    EXPECT_TRUE(Setting("Carto", "LastMap").isEmpty());
    // The empty document beeps, and nothing else is asked.
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(WindowTest, ScrollBarsMoveAPictureLargerThanItsRoom) {
    SetSetting("Carto", "LastMap", PlainMap({300, 200}));
    const auto window = Open();
    window->show();
    QApplication::processEvents();
    // The picture's place in the window below its menu bar, where the bars lie.
    const auto picture = [&] {
        return QRect(window->Map->mapTo(window->Toolbar1->parentWidget(), QPoint(0, 0)),
                     window->Map->size());
    };
    // Fitted to its picture: no bar.
    EXPECT_TRUE(window->HScroll1->isHidden());
    EXPECT_TRUE(window->VScroll1->isHidden());
    EXPECT_EQ(picture().topLeft(), QPoint(0, window->Toolbar1->height()));

    const QSize fitted = window->size();
    const int roomWidth = window->VScroll1->x(); // the room beside the vertical bar
    const auto wider = [&](int by) {
        window->resize(fitted.width() - (roomWidth - 300) - by, fitted.height());
        QApplication::processEvents();
    };
    wider(200);
    ASSERT_FALSE(window->HScroll1->isHidden());
    EXPECT_EQ(window->scrollLayout().horizontal.min, 0);
    EXPECT_EQ(window->scrollLayout().horizontal.max, -200);
    EXPECT_EQ(window->HScroll1->singleStep(), 8);
    EXPECT_EQ(window->HScroll1->pageStep(), 20);
    EXPECT_EQ(picture().x(), 0);
    // At the far end the picture's right edge meets the vertical bar.
    window->HScroll1->setValue(-200);
    EXPECT_EQ(picture().x(), -200);
    EXPECT_EQ(picture().right() + 1, window->VScroll1->x());

    wider(20);
    EXPECT_EQ(window->HScroll1->singleStep(), 1);
    EXPECT_EQ(window->HScroll1->pageStep(), 2);
    EXPECT_EQ(picture().x(), -20); // the value kept within the new range

    // Taller than its room by 60: the bar runs from just below the toolbar to the picture's bottom
    // on the horizontal bar; its steps come from the range's far end itself.
    const int toolbar = window->Toolbar1->height();
    const int roomHeight = window->HScroll1->y() - toolbar;
    window->resize(fitted.width(), fitted.height() - (roomHeight - 200) - 60);
    QApplication::processEvents();
    ASSERT_FALSE(window->VScroll1->isHidden());
    EXPECT_TRUE(window->HScroll1->isHidden());
    EXPECT_EQ(window->scrollLayout().vertical.min, toolbar);
    EXPECT_EQ(window->scrollLayout().vertical.max, toolbar - 60);
    EXPECT_EQ(window->VScroll1->singleStep(), std::max(std::abs(toolbar - 60) / 25, 1));
    EXPECT_EQ(picture().y(), toolbar);
    window->VScroll1->setValue(toolbar - 60);
    EXPECT_EQ(picture().bottom() + 1, window->HScroll1->y());
    window->reject();
}

// A picture larger than the screen, at the first opening and at the next: the window lies within
// the screen with its status bar at its bottom, the wheel turned over the picture scrolls it, and
// the scrolled picture never paints over the toolbar or the status bar.
TEST_F(WindowTest, APictureLargerThanTheScreenScrollsByWheelWithinItsRoom) {
    SetSetting("Carto", "LastMap", PlainMap({1500, 1200}));
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        const auto window = Open();
        window->show();
        QApplication::processEvents();
        EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
        const auto placeOf = [&](QWidget* widget) {
            return QRect(widget->mapTo(window.get(), QPoint(0, 0)), widget->size());
        };
        const QRect toolbar = placeOf(window->Toolbar1);
        const QRect status = placeOf(window->StatusBar1);
        EXPECT_TRUE(window->StatusBar1->isVisible());
        EXPECT_EQ(status.bottom(), window->height() - 1);
        ASSERT_TRUE(window->VScroll1->isVisible());
        const QImage before = window->grab().toImage();
        const int top = placeOf(window->Map).top();
        EXPECT_EQ(top, toolbar.bottom() + 1);

        for (int notch = 0; notch < 3; ++notch) {
            const QPointF at(20, 20);
            QWheelEvent wheel(at, window->Map->mapToGlobal(at), QPoint(), QPoint(0, -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(window->Map, &wheel);
        }
        QApplication::processEvents();
        const int step = window->VScroll1->singleStep() * QApplication::wheelScrollLines();
        EXPECT_EQ(placeOf(window->Map).top(), top - 3 * step);
        const QImage after = window->grab().toImage();
        EXPECT_EQ(after.copy(toolbar), before.copy(toolbar));
        EXPECT_EQ(after.copy(status), before.copy(status));
        window->reject();
    }
}

TEST_F(WindowTest, PlainMapHasNoEpsNorLayerButtons) {
    SetSetting("Carto", "LastMap", PlainMap({300, 200}));
    state.session.Options.Add("old.zeb");
    const auto window = Open();
    EXPECT_EQ(window->session().projection.ProjCode, 0);
    EXPECT_FALSE(window->button(QStringLiteral("eps"))->isEnabled());
    EXPECT_EQ(window->canvas().ScaleLeft(), 0.0F);
    EXPECT_EQ(window->canvas().ScaleTop(), 800.0F);
    EXPECT_EQ(window->canvas().ScaleWidth(), 1000.0F);
    EXPECT_EQ(window->canvas().ScaleHeight(), -800.0F);
    EXPECT_EQ(window->session().Options.LayerCount(), 0);

    // The layers menu opens the dialog on its layer tab with the two layer buttons off.
    bool shown = false;
    window->runOptions = [&](frmCartesOptions& dialog) {
        shown = true;
        EXPECT_EQ(dialog.currentTabKey(), QStringLiteral("zeb"));
        EXPECT_FALSE(dialog.cmdZEB[0]->isEnabled());
        EXPECT_FALSE(dialog.cmdZEB[1]->isEnabled());
        dialog.cmdOptCarte_Click(1);
    };
    window->mnuOptions_Click(0);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(window->session().Options.Cancel());

    // The pointer readout gives the map's own coordinates.
    window->Map_MouseMove(15.25F, -3.5F);
    EXPECT_EQ(window->Panels[0]->text(), QStringLiteral("X: 15.25"));
    EXPECT_EQ(window->Panels[1]->text(), QStringLiteral("Y:-3.5"));
    EXPECT_TRUE(window->Panels[2]->text().isEmpty());
    // A click gives its position in the caption but no record: the map has no geography.
    window->Map_MouseUp(Qt::LeftButton, 15.5F, -3.5F);
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" 15.5-3.5"));
    EXPECT_EQ(RowCount(), 0);
    window->reject();
}

TEST_F(WindowTest, FailedLoadsAreToldAndKeepThePreviousMap) {
    const auto window = Open(); // the world map
    ASSERT_EQ(window->session().projection.ProjCode, 5);
    const QSize picture = window->canvas().size();

    WritePicture(Path("bad.png"), {50, 50});
    WriteDescription(Path("code14.dsw"),
                     {QStringLiteral("Unknown"), QStringLiteral("bad.ps"),
                      QStringLiteral("bad.png"), QStringLiteral("14"), QStringLiteral("0,\"x\""),
                      QStringLiteral("10,-10,10,-10"), QStringLiteral("0,0"), QStringLiteral("0,0"),
                      QStringLiteral("0,0,0,0,0,0")});
    WriteDescription(Path("nopicture.dsw"), {QStringLiteral("No picture"), QStringLiteral("x.ps"),
                                             QStringLiteral("missing.png"), QStringLiteral("0"),
                                             QStringLiteral("0,1000,0,800")});
    WriteDescription(Path("short.dsw"),
                     {QStringLiteral("Cut short"), QStringLiteral("bad.ps"),
                      QStringLiteral("bad.png"), QStringLiteral("5"), QStringLiteral("0,\"x\"")});
    struct Case {
        const char* file;
        const char* told; // part of the message
        const char* number;
    };
    for (const Case& c :
         {Case{"code14.dsw", "14", "  5"}, Case{"nopicture.dsw", "missing.png", "  53"},
          Case{"short.dsw", "short.dsw", "  62"}}) {
        SCOPED_TRACE(c.file);
        prompter.expect(testing_support::ChooseFile(Path(c.file)));
        prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
        window->Toolbar1_ButtonClick(QStringLiteral("open"));
        ASSERT_FALSE(prompter.messages().empty());
        const QString text = prompter.messages().back().text;
        EXPECT_TRUE(text.contains(QLatin1String(c.told))) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QLatin1String(c.number))) << text.toStdString();
        // The world map stays whole and the window works on.
        EXPECT_EQ(window->session().projection.ProjCode, 5);
        EXPECT_EQ(window->canvas().size(), picture);
        EXPECT_TRUE(window->button(QStringLiteral("eps"))->isEnabled());
        EXPECT_NE(Setting("Carto", "LastMap"), Path(c.file));
    }
    // The grid command asks the step and draws the graticule from then on.
    window->mnuAffichage_Click(0);
    const QImage before = window->canvas().image().copy();
    prompter.expect(testing_support::TypeText(QStringLiteral("30")));
    window->Toolbar1_ButtonClick(QStringLiteral("grid"));
    EXPECT_TRUE(window->session().GridShown);
    EXPECT_NE(window->canvas().image(), before);
    EXPECT_EQ(prompter.pending(), 0U);
    window->reject();
}

TEST_F(WindowTest, MenusAndToolbarAsTheUserSeesThem) {
    const auto window = Open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Cartographie"));
    const std::vector<std::pair<QAction*, const char*>> captions{
        {window->mnuBarre[0]->menuAction(), "&Fichier"},
        {window->mnuFichier[0], "&Ouvrir"},
        {window->mnuFichier[1], "Sauver &image"},
        {window->mnuFichier[2], "Fichier &EPS"},
        {window->mnuEPS[0], "&Couleur"},
        {window->mnuEPS[1], "&Noir et blanc"},
        {window->mnuFichier[4], "&Imprimer"},
        {window->mnuFichier[6], "&Fermer"},
        {window->mnuBarre[1]->menuAction(), "&Affichage"},
        {window->mnuAffichage[0], "&Redessiner"},
        {window->mnuAffichage[1], "&Grille"},
        {window->mnuBarre[2]->menuAction(), "&Options"},
        {window->mnuOptions[0], "&Couches"},
        {window->mnuOptions[1], "&Symboles"},
    };
    for (const auto& [item, caption] : captions) {
        EXPECT_EQ(item->text(), QString::fromUtf8(caption));
    }
    EXPECT_TRUE(window->mnuFichier[3]->isSeparator());
    EXPECT_TRUE(window->mnuFichier[5]->isSeparator());
    EXPECT_EQ(window->mnuFichier[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(window->mnuAffichage[0]->shortcut(), QKeySequence(QStringLiteral("F5")));
    const std::vector<std::pair<const char*, const char*>> buttons{
        {"open", "Ouvrir une carte"},    {"save", "Sauve l'image de la carte"},
        {"properties", "Options"},       {"print", "Imprime la carte"},
        {"eps", "Créer un fichier EPS"}, {"grid", "Affiche une grille géographique"},
        {"stop", "Fermer la fenêtre"},
    };
    const QList<QAction*> actions = window->Toolbar1->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(buttons.size()));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(actions[static_cast<qsizetype>(i)]->objectName(),
                  QLatin1String(buttons[i].first));
        EXPECT_EQ(actions[static_cast<qsizetype>(i)]->toolTip(),
                  QString::fromUtf8(buttons[i].second));
    }
    // Three status panels, one inch each.
    for (QLabel* panel : window->Panels) {
        EXPECT_EQ(panel->width(), window->logicalDpiX());
    }
    window->reject();
}

TEST_F(WindowTest, ClicksAddAndRemoveRecordsAndClosingWritesTheSettings) {
    auto window = Open();
    window->show();
    const auto ref = ReferenceOf(window->session().map, window->canvas().size());
    ASSERT_NE(ref, nullptr);
    const QPointF at = ref->pixel(45.5, 10.25);
    const QPoint pixel(static_cast<int>(at.x()), static_cast<int>(at.y()));

    QTest::mouseMove(window->Map, pixel);
    const QString lat = window->Panels[0]->text();
    ASSERT_TRUE(lat.startsWith(QLatin1String("lat=")));
    EXPECT_NEAR(lat.mid(4).toDouble(), 45.5, 0.4);

    QTest::mouseClick(window->Map, Qt::LeftButton, {}, pixel);
    // The caption shows the clicked user position.
    EXPECT_TRUE(window->windowTitle().startsWith(QLatin1Char(' ')));
    ASSERT_EQ(RowCount(), 1);
    document::Data1().recordset().moveLast();
    const document::Record added = document::Data1().recordset().current();
    ASSERT_TRUE(added.LATITUDE && added.LONGITUDE);
    // The position under the clicked pixel, rounded to five decimals.
    double refLat = 0, refLon = 0;
    ref->inverse(pixel, refLat, refLon);
    EXPECT_NEAR(*added.LATITUDE, refLat, 1E-4);
    EXPECT_NEAR(*added.LONGITUDE, refLon, 1E-4);
    EXPECT_EQ(added.PERIOD, std::optional<std::int16_t>(1));
    EXPECT_EQ(added.DATUM, QStringLiteral("EUR-M"));
    EXPECT_FALSE(added.DATE.has_value() && !added.DATE->isEmpty());
    const QRect symbol = ChangedBox(window->canvas().image(), window->canvas().picture(), at, 20);
    ASSERT_FALSE(symbol.isEmpty());
    EXPECT_EQ(QColor(window->canvas().image().pixel(pixel)), QColor(Qt::red));

    // A right click deletes it and paints the whole symbol over in white.
    QTest::mouseClick(window->Map, Qt::RightButton, {}, pixel);
    EXPECT_EQ(RowCount(), 0);
    const QImage image = window->canvas().image();
    for (int y = symbol.top(); y <= symbol.bottom(); ++y) {
        for (int x = symbol.left(); x <= symbol.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            EXPECT_TRUE(c == QColor(Qt::white) || c == window->canvas().picture().pixelColor(x, y))
                << x << "," << y;
        }
    }

    // Added again, and taken back by the closing question.
    QTest::mouseClick(window->Map, Qt::LeftButton, {}, pixel);
    ASSERT_EQ(RowCount(), 1);
    window->move(40, 60);
    window->session().Options.SetSymbolDiameter(5000);
    prompter.expect(testing_support::AnswerWith(platform::Answer::No));
    window->close();
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Setting("Carto", "SymbolColor"), QStringLiteral("255"));
    EXPECT_EQ(Setting("Carto", "SymbolDiameter"), QStringLiteral("5000"));
    EXPECT_EQ(Setting("Carto", "Left"), QString::number(window->x() * 15));
    EXPECT_EQ(Setting("Carto", "Top"), QString::number(window->y() * 15));
    EXPECT_EQ(Setting("Carto", "LastMap"), World());

    // The next opening starts where this one was left, with the stored options.
    window.reset();
    window = Open();
    EXPECT_EQ(window->session().Options.SymbolDiameter(), 5000);
    // As far as the screen lets the whole window, its frame included, lie there.
    const QRect screen = window->screen()->availableGeometry();
    const QMargins frame = platform::FrameMargins(*window);
    const int widest = screen.right() + 1 - frame.right() - window->width();
    EXPECT_EQ(window->pos(), QPoint(std::min(40, widest), 60));
    window->reject();
}

TEST_F(WindowTest, OptionsDialogAppliesOnlyAtOk) {
    cartography::MapOption options;
    options.SetSymbolColor(0x00FF00);
    options.SetSymbolDiameter(500);
    options.Add("a.zeb");
    options.Add("b.zeb");
    SetSetting("Paths", "ZEBCarto", folder_.path() + QLatin1Char('/'));
    {
        frmCartesOptions dialog(options, folder_.path());
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Options cartographie"));
        EXPECT_EQ(dialog.cmbDiametre->currentText(), QStringLiteral(" 500"));
        EXPECT_EQ(dialog.lstZEB->count(), 2);
        prompter.expect(testing_support::ChooseFile(Path("c.zeb")));
        dialog.cmdZEB_Click(0);
        EXPECT_EQ(prompter.fileDialogs().back().folder, folder_.path() + QLatin1Char('/'));
        EXPECT_EQ(prompter.fileDialogs().back().filter,
                  QStringLiteral("Fichiers ZEB (*.zeb)|*.zeb|Tous les fichiers (*.*)|*.*"));
        dialog.lstZEB->setCurrentRow(0);
        dialog.cmdZEB_Click(1);
        dialog.cmdOptCarte_Click(1);
    }
    EXPECT_TRUE(options.Cancel());
    EXPECT_EQ(options.LayerCount(), 2);
    EXPECT_EQ(options.Couche(1), std::optional<std::string>("a.zeb"));

    frmCartesOptions dialog(options, folder_.path());
    dialog.lstZEB->setCurrentRow(0);
    dialog.cmdUpDown_Click(0); // the first cannot go up
    EXPECT_EQ(dialog.lstZEB->item(0)->text(), QStringLiteral("a.zeb"));
    dialog.cmdUpDown_Click(1);
    EXPECT_EQ(dialog.lstZEB->item(1)->text(), QStringLiteral("a.zeb"));
    EXPECT_EQ(dialog.lstZEB->currentRow(), 1);
    dialog.cmdUpDown_Click(1); // the last cannot go down
    EXPECT_EQ(dialog.lstZEB->item(1)->text(), QStringLiteral("a.zeb"));
    dialog.chooseColor = [](const QColor&) { return QColor(0, 0, 255); };
    dialog.lblColor_MouseUp();
    dialog.cmbDiametre->setEditText(QStringLiteral("AUTO"));
    dialog.cmdOptCarte_Click(0);
    EXPECT_FALSE(options.Cancel());
    EXPECT_EQ(options.SymbolDiameter(), -1);
    EXPECT_EQ(options.SymbolColor(), 0xFF0000); // blue as 0x00BBGGRR
    ASSERT_EQ(options.LayerCount(), 2);
    EXPECT_EQ(options.Couche(1), std::optional<std::string>("b.zeb"));
    EXPECT_EQ(options.Couche(2), std::optional<std::string>("a.zeb"));
}

} // namespace

#pragma once

// The cartography window: one map picture with the records as symbols, vector layers and a
// graticule; its menus and toolbar open maps, redraw, draw the graticule, set the options and
// write the map as EPS, as a bitmap or to the printer. The pointer's position shows in the status
// bar, and clicks add or remove records.

#include "cartography/CartoFrameRules.h"
#include "cartography/CartoSession.h"
#include "cartography/MapCanvas.h"
#include "maps/MapRecords.h"

#include <QDialog>
#include <QWidget>
#include <array>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPrinter;
class QScrollBar;
class QStatusBar;
class QToolBar;

namespace cartography {

class frmCarte;
class frmCartesOptions;

// What the window keeps from one opening to the next within a run: the loaded map with its
// projection and options, and the picture with what was drawn on it.
struct CartoWindowState {
    CartoSession session;
    MapCanvas canvas;
};

// The picture box: shows the canvas at its own size and reports the pointer in user units.
class MapPictureBox : public QWidget {
public:
    MapPictureBox(frmCarte& window, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    frmCarte& window_;
};

class frmCarte : public QDialog {
    Q_OBJECT

public:
    // The load step runs here; `state` and `host` outlive the window.
    frmCarte(CartoWindowState& state, maps::MapHost& host, QWidget* parent = nullptr);
    ~frmCarte() override;

    // Commands of the menus (by their index in the menu arrays) and of the toolbar (by key).
    void mnuFichier_Click(int index);
    void mnuEPS_Click(int index);
    void mnuAffichage_Click(int index);
    void mnuOptions_Click(int index);
    void Toolbar1_ButtonClick(const QString& key);

    // Loads the map at `path`; a failure is told in a message box and leaves the previous map.
    void ChargeCarte(const QString& path);
    // Asks for a map description, loads it and redraws; Cancel changes nothing.
    void OuvrirCarte();
    // Fits the window to its picture, then sets the scroll bars.
    void AjusteMap();
    void CalculeScroll();
    // The options dialog on the tab `tab` ("symboles" or "zeb"), then a redraw unless cancelled.
    void SetOptions(const QString& tab);

    // The pointer over the picture, in the picture's user units.
    void Map_MouseMove(float x, float y);
    void Map_MouseUp(Qt::MouseButton button, float x, float y);
    // The mouse wheel over the window: it moves the picture as the scroll bars do.
    void scrollByWheel(QWheelEvent& wheel);

    CartoSession& session() { return state_.session; }
    MapCanvas& canvas() { return state_.canvas; }
    maps::MapRecords& records() { return records_; }
    const ScrollLayout& scrollLayout() const { return scroll_; }
    // The toolbar button of `key`.
    QAction* button(const QString& key) const;
    // The size the frame rules see: the window below its menu bar.
    QSize innerSize() const;

    // Replaced by tests: the printer dialog (false when cancelled) and the modal run of the
    // options dialog.
    std::function<bool(QPrinter&)> choosePrinter;
    std::function<void(frmCartesOptions&)> runOptions;

    QMenuBar* menuBar = nullptr;
    std::array<QMenu*, 3> mnuBarre{};
    std::array<QAction*, 7> mnuFichier{};
    std::array<QAction*, 2> mnuEPS{};
    std::array<QAction*, 2> mnuAffichage{};
    std::array<QAction*, 2> mnuOptions{};
    QToolBar* Toolbar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 3> Panels{};
    MapPictureBox* Map = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QWidget* PetitCarre = nullptr;

public slots:
    // The unload step: the settings, then the question about the points added.
    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void Form_Load();
    void Form_Resize();
    FrameMetrics metrics() const;
    void applyScroll(QScrollBar* bar, const ScrollSettings& settings);
    // Puts the picture where the scroll bars' values say.
    void placePicture();
    void pictureChanged();
    // Runs a command; an error it raises is shown in the error box.
    void guarded(const std::function<void()>& command);

    CartoWindowState& state_;
    maps::MapHost& host_;
    maps::MapRecords records_;
    QWidget* client_ = nullptr;
    QWidget* room_ = nullptr;
    QMenu* epsMenu_ = nullptr;
    ScrollLayout scroll_;
    bool scrollSet_ = false;
    bool closed_ = false;
};

// Shows the cartography window modally.
void ShowCartography(CartoWindowState& state, maps::MapHost& host, QWidget* parent);

} // namespace cartography

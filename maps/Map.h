#pragma once

// The region map window: the current region's picture with the records drawn on it, the period
// and date of points added by mouse, the pointer readouts and the grid-line export.

#include "maps/MapRecords.h"
#include "maps/PointerReadout.h"
#include "maps/RegionCanvas.h"

#include <QDialog>
#include <QWidget>
#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class QScrollArea;

namespace maps {

class Map;

// The picture box: shows the canvas at its own size and reports the pointer in kilometres.
class PictureBox : public QWidget {
public:
    explicit PictureBox(Map& map, QWidget* parent = nullptr);
    // The kilometres of the region plane under a point of the widget.
    PlanePoint toPlane(const QPointF& point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    Map& map_;
};

class Map : public QDialog {
    Q_OBJECT

public:
    // Loads the window for the current region (Maps()).
    explicit Map(MapHost& host, QWidget* parent = nullptr);
    ~Map() override;

    // The records drawn once after opening (the first repaint); false when nothing was drawn
    // (radius 0 or an empty document), so that a later repaint tries again.
    bool DrawRecords();
    bool firstPaint() const { return FirstPaint; }
    // False when the load step failed (it said why): the window is not shown.
    bool loaded() const { return loaded_; }

    void ChoixPeriode_Click(int index);
    void txtAnnee_Change();
    void Picture1_KeyUp(int key);
    void Picture1_MouseMove(float x, float y);
    void Picture1_MouseUp(Qt::MouseButton button, float x, float y);
    void Command1_Click(int index);

    RegionCanvas& canvas() { return *canvas_; }
    MapRecords& records() { return records_; }
    // The symbol radius in kilometres (the hidden label `rad`).
    float radius() const;

    PictureBox* Picture1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 3> ChoixPeriode{};
    QLineEdit* txtAnnee = nullptr;
    QLabel* lblAnnee = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QLabel*, 2> LblBNG{};
    std::array<QPushButton*, 2> Command1{};
    QLabel* rad = nullptr;

public slots:
    void done(int result) override;

private:
    void Form_Load();

    MapHost& host_;
    MapRecords records_;
    QScrollArea* pictureArea_ = nullptr;
    std::unique_ptr<RegionCanvas> canvas_;
    GridReadout readout_ = GridReadout::None;
    bool FirstPaint = true;
    bool emptyBeeped_ = false; // the empty-document beep sounds once per opening
    bool closed_ = false;
    bool loaded_ = true;
};

// AfficheRegion: the symbol radius from `diameter` (-1 automatic), then the window shown modally.
void AfficheRegion(Map& map, float diameter);

// A region menu item: makes row `row` the current region and shows its map modally.
void ShowRegionMap(int row, MapHost& host, QWidget* parent);

// The date box's period choice: the button index (0 to 2) a typed text selects under the
// document's period scheme; nothing under one period.
std::optional<int> PeriodButtonForDate(const QString& text);

} // namespace maps

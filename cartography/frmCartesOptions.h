#pragma once

// The options dialog of the cartography window: the symbols' colour and diameter on one tab, the
// vector layer files in drawing order on the other. Nothing reaches the options before OK.

#include <QColor>
#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QToolButton;

namespace cartography {

class MapOption;

class frmCartesOptions : public QDialog {
    Q_OBJECT

public:
    // Loads the dialog from `options`; `programFolder` is where the layer file dialog starts by
    // default.
    frmCartesOptions(MapOption& options, const QString& programFolder, QWidget* parent = nullptr);

    // Brings the page of the tab whose key is "symboles" or "zeb" to the front; other keys change
    // nothing.
    void selectTab(const QString& key);
    QString currentTabKey() const;

    void lblColor_MouseUp();
    void cmdZEB_Click(int index);
    void cmdUpDown_Click(int index);
    void cmdOptCarte_Click(int index);

    // The colour dialog; tests replace it. An invalid colour means cancelled.
    std::function<QColor(const QColor& initial)> chooseColor;

    QTabBar* TabStrip1 = nullptr;
    std::array<QFrame*, 2> Frame{};
    std::array<QLabel*, 2> lblSymboles{};
    QLabel* lblColor = nullptr;
    QComboBox* cmbDiametre = nullptr;
    QListWidget* lstZEB = nullptr;
    std::array<QPushButton*, 2> cmdZEB{};
    std::array<QToolButton*, 2> cmdUpDown{};
    std::array<QPushButton*, 2> cmdOptCarte{};

public slots:
    // The close box: the dialog goes without applying anything.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Widens the window so that the layer paths show whole, within the screen.
    void fitLayerPaths();
    void setColor(const QColor& color);

    MapOption& options_;
    QString programFolder_;
    QStackedWidget* pages_ = nullptr;
    QColor color_;
};

} // namespace cartography

#pragma once

// The symbol options of the region maps: fill colour and pattern of each period, outline colour and
// point diameter. Changes reach the settings only at OK.

#include <QColor>
#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace maps {

// The diameter typed in the box: -1 for "auto" (any case, blanks around it), else the number the
// text begins with when it is above 0; nothing for a refused value.
std::optional<float> DiameterFromText(const QString& text);
// The diameter as the box shows it: "auto" for -1, else the number with a point and no zero
// before it (.5).
QString DiameterText(float diameter);
// The next pattern code up or down, going round from 7 to 0 and from 0 to 7.
std::int16_t NextPattern(std::int16_t pattern, bool up);

// A swatch that shows a fill colour in a pattern.
class Swatch : public QWidget {
public:
    explicit Swatch(QWidget* parent = nullptr);
    void show(const QColor& color, Qt::BrushStyle style);
    const QColor& color() const { return color_; }
    Qt::BrushStyle style() const { return style_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
    Qt::BrushStyle style_ = Qt::SolidPattern;
};

class OptionsMap : public QDialog {
    Q_OBJECT

public:
    explicit OptionsMap(QWidget* parent = nullptr);

    void CmdOptionMap_Click(int index);
    void UpDown_Change(int period, bool up);
    void CmdOk_Click();

    // The colour dialog; tests replace it. An invalid colour means cancelled.
    std::function<QColor(const QColor& initial)> chooseColor;

    QComboBox* Combo1 = nullptr;
    std::array<QLabel*, 3> LabelCoulFill{};
    std::array<Swatch*, 3> ShapeCoulFill{};
    std::array<QToolButton*, 3> UpDownUp{};
    std::array<QToolButton*, 3> UpDownDown{};
    std::array<QPushButton*, 4> CmdOptionMap{};
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    Swatch* ShapeCoulStroke = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* Command1 = nullptr;

    // The working copy.
    std::array<std::int32_t, 3> fillColor{};
    std::array<std::int16_t, 3> fillStyle{};
    std::int32_t strokeColor = 0;

private:
    void showSwatches();
};

} // namespace maps

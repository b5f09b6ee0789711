#include "maps/OptionsMap.h"

#include "common/Numeric.h"
#include "maps/RegionSymbols.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

namespace maps {

std::optional<float> DiameterFromText(const QString& text) {
    if (text.trimmed().toUpper() == QLatin1String("AUTO")) {
        return -1.0F;
    }
    double value = 0.0;
    QString packed = text;
    packed.remove(QRegularExpression(QStringLiteral("[ \\t\\n]")));
    const QString prefix = packed.left(2).toUpper();
    if (prefix == QLatin1String("&H") || prefix == QLatin1String("&O")) {
        // Hexadecimal and octal integers, read up to the first character that is not a digit.
        const QRegularExpressionMatch digits =
            QRegularExpression(prefix == QLatin1String("&H") ? QStringLiteral("^[0-9A-Fa-f]+")
                                                             : QStringLiteral("^[0-7]+"))
                .match(packed.mid(2));
        bool ok = false;
        value = static_cast<double>(
            digits.captured(0).toLongLong(&ok, prefix == QLatin1String("&H") ? 16 : 8));
    } else {
        try {
            value = common::NumericValue(text.toStdString());
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    if (!(value > 0.0)) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

QString DiameterText(float diameter) {
    if (diameter == -1.0F) {
        return QStringLiteral("auto");
    }
    QString text = QString::number(static_cast<double>(diameter), 'g', 7);
    if (text.startsWith(QLatin1String("0."))) {
        text.remove(0, 1);
    } else if (text.startsWith(QLatin1String("-0."))) {
        text.remove(1, 1);
    }
    return text;
}

std::int16_t NextPattern(std::int16_t pattern, bool up) {
    const int next = pattern + (up ? 1 : -1);
    if (next > 7) {
        return 0;
    }
    if (next < 0) {
        return 7;
    }
    return static_cast<std::int16_t>(next);
}

Swatch::Swatch(QWidget* parent) : QWidget(parent) {
    setFixedSize(48, 24);
}

void Swatch::show(const QColor& color, Qt::BrushStyle style) {
    color_ = color;
    style_ = style;
    update();
}

void Swatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.setBrush(QBrush(color_, style_));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

OptionsMap::OptionsMap(QWidget* parent) : QDialog(parent) {
    setModal(true);
    setWindowTitle(platform::ResText(230));
    auto* grid = new QGridLayout(this);
    Label1 = new QLabel(platform::ResText(231), this);
    Combo1 = new QComboBox(this);
    Combo1->setEditable(true);
    Combo1->addItem(QStringLiteral("auto"));
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Combo1, 0, 1, 1, 3);
    for (int i = 0; i < 3; ++i) {
        const auto k = static_cast<std::size_t>(i);
        LabelCoulFill[k] = new QLabel(platform::ResText(232 + i), this);
        ShapeCoulFill[k] = new Swatch(this);
        UpDownUp[k] = new QToolButton(this);
        UpDownUp[k]->setArrowType(Qt::UpArrow);
        UpDownDown[k] = new QToolButton(this);
        UpDownDown[k]->setArrowType(Qt::DownArrow);
        CmdOptionMap[k] = new QPushButton(platform::ResText(238 + i), this);
        grid->addWidget(LabelCoulFill[k], i + 1, 0);
        grid->addWidget(ShapeCoulFill[k], i + 1, 1);
        auto* arrows = new QVBoxLayout;
        arrows->setSpacing(0);
        arrows->addWidget(UpDownUp[k]);
        arrows->addWidget(UpDownDown[k]);
        grid->addLayout(arrows, i + 1, 2);
        grid->addWidget(CmdOptionMap[k], i + 1, 3);
        connect(UpDownUp[k], &QToolButton::clicked, this, [this, i] { UpDown_Change(i, true); });
        connect(UpDownDown[k], &QToolButton::clicked, this, [this, i] { UpDown_Change(i, false); });
        connect(CmdOptionMap[k], &QPushButton::clicked, this, [this, i] { CmdOptionMap_Click(i); });
    }
    Label2 = new QLabel(platform::ResText(235), this);
    ShapeCoulStroke = new Swatch(this);
    CmdOptionMap[3] = new QPushButton(platform::ResText(241), this);
    connect(CmdOptionMap[3], &QPushButton::clicked, this, [this] { CmdOptionMap_Click(3); });
    grid->addWidget(Label2, 4, 0);
    grid->addWidget(ShapeCoulStroke, 4, 1);
    grid->addWidget(CmdOptionMap[3], 4, 3);
    CmdOk = new QPushButton(platform::ResText(236), this);
    CmdOk->setDefault(true);
    Command1 = new QPushButton(platform::ResText(237), this);
    grid->addWidget(CmdOk, 5, 1);
    grid->addWidget(Command1, 5, 3);
    connect(CmdOk, &QPushButton::clicked, this, &OptionsMap::CmdOk_Click);
    connect(Command1, &QPushButton::clicked, this, &QDialog::reject);

    const platform::ProgramSettings& settings = platform::Settings();
    for (std::size_t i = 0; i < 3; ++i) {
        fillColor[i] = settings.PeriodFillColor[i];
        fillStyle[i] = Maps().PeriodFillStyle[i];
    }
    strokeColor = settings.MapStrokeColor;
    Combo1->setEditText(DiameterText(settings.MapPointDiameter));
    showSwatches();

    chooseColor = [this](const QColor& initial) { return QColorDialog::getColor(initial, this); };
}

void OptionsMap::showSwatches() {
    for (std::size_t i = 0; i < 3; ++i) {
        ShapeCoulFill[i]->show(ColorOf(fillColor[i]), BrushStyleOf(fillStyle[i]));
    }
    ShapeCoulStroke->show(ColorOf(strokeColor), Qt::SolidPattern);
}

void OptionsMap::CmdOptionMap_Click(int index) {
    std::int32_t& target = index == 3 ? strokeColor : fillColor.at(static_cast<std::size_t>(index));
    const QColor chosen = chooseColor(ColorOf(target));
    if (chosen.isValid()) {
        target = ValueOf(chosen);
    }
    showSwatches();
}

void OptionsMap::UpDown_Change(int period, bool up) {
    std::int16_t& style = fillStyle.at(static_cast<std::size_t>(period));
    style = NextPattern(style, up);
    showSwatches();
}

void OptionsMap::CmdOk_Click() {
    platform::ProgramSettings& settings = platform::Settings();
    for (std::size_t i = 0; i < 3; ++i) {
        settings.PeriodFillColor[i] = fillColor[i];
        Maps().PeriodFillStyle[i] = fillStyle[i];
    }
    settings.MapStrokeColor = strokeColor;
    const std::optional<float> diameter = DiameterFromText(Combo1->currentText());
    if (!diameter) {
        platform::MsgBox(platform::ResText(555), platform::Buttons::Ok,
                         platform::Icon::Exclamation);
        return;
    }
    settings.MapPointDiameter = *diameter;
    accept();
}

} // namespace maps

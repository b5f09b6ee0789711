#include "maps/Map.h"

#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Periods.h"
#include "geodesy/Angles.h"
#include "geodesy/DatumTables.h"
#include "maps/GridLineExport.h"
#include "maps/RegionPlot.h"
#include "maps/RegionSymbols.h"
#include "platform/ErrorBox.h"
#include "platform/Feedback.h"
#include "platform/FileReplacement.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/TextFile.h"
#include "platform/WaitCursor.h"
#include "platform/widgets/ScreenFit.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QVBoxLayout>

namespace maps {

PictureBox::PictureBox(Map& map, QWidget* parent) : QWidget(parent), map_(map) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
}

PlanePoint PictureBox::toPlane(const QPointF& point) const {
    return map_.canvas().toPlane(point);
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (map_.firstPaint()) {
        map_.DrawRecords();
    }
    QPainter painter(this);
    painter.drawImage(0, 0, map_.canvas().image());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const PlanePoint p = toPlane(event->position());
    map_.Picture1_MouseMove(p.x, p.y);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const PlanePoint p = toPlane(event->position());
    map_.Picture1_MouseUp(event->button(), p.x, p.y);
}

void PictureBox::keyReleaseEvent(QKeyEvent* event) {
    map_.Picture1_KeyUp(event->key());
}

std::optional<int> PeriodButtonForDate(const QString& text) {
    const document::DocumentState& doc = document::Document();
    // The year the first four characters begin with; the prompt character ends it.
    const std::optional<std::int16_t> read = document::YearFromText(text.left(4));
    const int year = read ? *read : 0;
    switch (doc.PeriodOption) {
    case 1:
        return year < doc.PivotYear1 ? 0 : 1;
    case 2:
        if (year < doc.PivotYear1) {
            return 0;
        }
        return year >= doc.PivotYear2 ? 2 : 1;
    default:
        return std::nullopt;
    }
}

Map::Map(MapHost& host, QWidget* parent) : QDialog(parent), host_(host), records_(host) {
    setModal(true);
    auto* layout = new QHBoxLayout(this);
    // Narrow margins: a tall picture and its frame still fit a 768-pixel screen.
    layout->setContentsMargins(4, 4, 4, 4);
    // The picture keeps its size; on a screen too small for it, it scrolls within the window.
    pictureArea_ = new QScrollArea(this);
    pictureArea_->setFrameShape(QFrame::NoFrame);
    pictureArea_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1 = new PictureBox(*this, pictureArea_);
    pictureArea_->setWidget(Picture1);
    layout->addWidget(pictureArea_, 1);
    auto* side = new QVBoxLayout;
    layout->addLayout(side);
    Frame1 = new QGroupBox(this);
    auto* frameLayout = new QVBoxLayout(Frame1);
    for (int i = 0; i < 3; ++i) {
        auto*& button = ChoixPeriode[static_cast<std::size_t>(i)];
        button = new QRadioButton(QString::number(i + 1), Frame1);
        button->setAutoFillBackground(true);
        frameLayout->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                ChoixPeriode_Click(i);
            }
        });
    }
    lblAnnee = new QLabel(Frame1);
    txtAnnee = new QLineEdit(Frame1);
    txtAnnee->setInputMask(QStringLiteral("0000/00/00;_"));
    frameLayout->addWidget(lblAnnee);
    frameLayout->addWidget(txtAnnee);
    connect(txtAnnee, &QLineEdit::textEdited, this, [this] { txtAnnee_Change(); });
    side->addWidget(Frame1);
    Label1 = new QLabel(QStringLiteral("British National Grid"), this);
    LblBNG[0] = new QLabel(this);
    LblBNG[0]->setMinimumHeight(2 * fontMetrics().height());
    Label2 = new QLabel(QStringLiteral("Irish TM Grid"), this);
    LblBNG[1] = new QLabel(this);
    Command1[0] = new QPushButton(QStringLiteral("I. Grid"), this);
    Command1[1] = new QPushButton(QStringLiteral("BNG"), this);
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(LblBNG[0]),
                       static_cast<QWidget*>(Label2), static_cast<QWidget*>(LblBNG[1]),
                       static_cast<QWidget*>(Command1[0]), static_cast<QWidget*>(Command1[1])}) {
        side->addWidget(w);
    }
    side->addStretch();
    connect(Command1[0], &QPushButton::clicked, this, [this] { Command1_Click(0); });
    connect(Command1[1], &QPushButton::clicked, this, [this] { Command1_Click(1); });
    rad = new QLabel(QStringLiteral("passage radius"), this);
    rad->hide();
    try {
        Form_Load();
    } catch (const std::exception& e) {
        const auto* numbered = dynamic_cast<const common::AppError*>(&e);
        platform::MsgBox(QStringLiteral("ERROR ") +
                             QString::number(numbered ? numbered->number() : 0) +
                             QLatin1Char('\r') + QString::fromUtf8(e.what()),
                         platform::Buttons::Ok, platform::Icon::Exclamation);
        loaded_ = false;
    }
}

Map::~Map() = default;

void Map::Form_Load() {
    FirstPaint = true;
    emptyBeeped_ = false;
    lblAnnee->setText(platform::ResText(137));
    const MapsState& state = Maps();
    QImage picture;
    if (QFileInfo::exists(state.MapBitmapPath)) {
        picture.load(state.MapBitmapPath);
    }
    canvas_ = std::make_unique<RegionCanvas>(picture, state.extent);
    Picture1->setFixedSize(canvas_->image().size());
    pictureArea_->setMinimumSize(0, 0);
    records_.load();

    if (Maps().ChosenPeriod == 0) {
        Maps().ChosenPeriod = 1;
    }
    const int chosen = Maps().ChosenPeriod;
    {
        const QSignalBlocker b(ChoixPeriode[static_cast<std::size_t>(chosen - 1)]);
        ChoixPeriode[static_cast<std::size_t>(chosen - 1)]->setChecked(true);
    }
    const RegionSymbols symbols = CurrentSymbols();
    for (std::size_t i = 0; i < 3; ++i) {
        QPalette palette = ChoixPeriode[i]->palette();
        palette.setColor(QPalette::Window, ColorOf(symbols.PeriodFillColor[i]));
        ChoixPeriode[i]->setPalette(palette);
    }
    const int option = document::Document().PeriodOption;
    ChoixPeriode[1]->setVisible(option >= 1);
    ChoixPeriode[2]->setVisible(option >= 2);

    readout_ = GridReadoutOf(state.MapBitmapPath);
    const bool grid = readout_ != GridReadout::None;
    Label1->setVisible(grid);
    LblBNG[0]->setVisible(grid);
    Label2->setVisible(readout_ == GridReadout::BritishIsles);
    LblBNG[1]->setVisible(readout_ == GridReadout::BritishIsles);
    if (readout_ == GridReadout::Belgium) {
        Label1->setText(QStringLiteral("Lambert belge"));
    } else if (readout_ == GridReadout::Gaul) {
        Label1->setText(QStringLiteral("Grades Paris"));
    } else {
        Label1->setText(QStringLiteral("British National Grid"));
    }
    const bool exportButtons = host_.commandLine.toUpper().contains(QLatin1String("/BTMG")) &&
                               readout_ == GridReadout::BritishIsles;
    Command1[0]->setVisible(exportButtons);
    Command1[1]->setVisible(exportButtons);
    // The whole picture beside the side panel, as far as the screen allows.
    layout()->activate();
    const QMargins margins = layout()->contentsMargins();
    const QSize side = layout()->itemAt(1)->sizeHint();
    const QSize shown = Picture1->size();
    resize(margins.left() + shown.width() + layout()->spacing() + side.width() + margins.right(),
           margins.top() + std::max(shown.height(), side.height()) + margins.bottom());
    move(0, 0);
    platform::KeepWithinScreen(*this);
}

float Map::radius() const {
    return static_cast<float>(rad->text().trimmed().toDouble());
}

bool Map::DrawRecords() {
    document::RecordSet clone = document::Data1().recordset().clone();
    platform::WaitCursor wait;
    const float r = radius();
    if (r == 0.0F) {
        return false;
    }
    if (clone.recordCount() == 0) {
        if (!emptyBeeped_) {
            platform::BeepUnlessSilent();
        }
        emptyBeeped_ = true;
        return false;
    }
    platform::ShowProgress(true);
    const std::int64_t current = host_.currentRow ? host_.currentRow() : 0;
    const std::vector<std::int64_t>& selected = records_.selectedRows();
    const std::span<const std::int64_t> marks =
        selected.empty() ? std::span<const std::int64_t>(clone.bookmarks())
                         : std::span<const std::int64_t>(selected);
    PlotRecords(*canvas_, Maps().projection, clone.database(), marks, CurrentSymbols(), r,
                [](int pct) { platform::SetProgress(pct); });
    platform::ShowProgress(false);
    rad->setText(QStringLiteral("0"));
    if (host_.setCurrentRow && current != 0) {
        host_.setCurrentRow(current);
    }
    FirstPaint = false;
    return true;
}

void Map::ChoixPeriode_Click(int index) {
    Maps().ChosenPeriod = index + 1;
}

void Map::txtAnnee_Change() {
    const std::optional<int> button = PeriodButtonForDate(txtAnnee->displayText());
    if (button) {
        ChoixPeriode[static_cast<std::size_t>(*button)]->setChecked(true);
        ChoixPeriode_Click(*button);
    }
}

void Map::Picture1_KeyUp(int key) {
    if (key == Qt::Key_Escape) {
        reject();
    }
}

void Map::Picture1_MouseMove(float x, float y) {
    try {
        const std::optional<PointerTexts> texts =
            PointerReadout(Maps().projection, readout_, x, y, geodesy::Datums().Ellipsoid);
        if (!texts) {
            return;
        }
        setWindowTitle(texts->title);
        // The two-line labels show their carriage return as a line break.
        if (texts->label0) {
            LblBNG[0]->setText(
                QString(*texts->label0).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        }
        if (texts->label1) {
            LblBNG[1]->setText(
                QString(*texts->label1).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        }
    } catch (const std::exception& e) {
        platform::ShowErrorOf(e);
    }
}

void Map::Picture1_MouseUp(Qt::MouseButton button, float x, float y) {
    const RegionExtent& extent = Maps().extent;
    const float r = SymbolDiameter(platform::Settings().MapPointDiameter, extent.width()) / 2.0F;
    try {
        if (button == Qt::LeftButton) {
            const GeoPoint g = UnprojectKm(Maps().projection, x, y);
            QString date;
            // A box with no digit typed is empty; otherwise its text goes in as shown, prompt
            // characters included.
            if (txtAnnee->displayText().contains(QRegularExpression(QStringLiteral("[0-9]")))) {
                date = txtAnnee->displayText();
            }
            const int period = Maps().ChosenPeriod;
            records_.add(ClickedRecord(g.lat, g.lon, period, date));
            const RegionSymbols symbols = CurrentSymbols();
            const auto slot =
                static_cast<std::size_t>(PeriodSlot(static_cast<std::int16_t>(period)));
            canvas_->drawCircle(x, y, r, ColorOf(symbols.PeriodFillColor[slot]),
                                BrushStyleOf(symbols.PeriodFillStyle[slot]),
                                ColorOf(symbols.MapStrokeColor));
        } else if (button == Qt::RightButton) {
            const std::optional<MapRecords::Removed> removed = records_.removeLast();
            if (removed) {
                const PlanePoint p = ProjectDegrees(Maps().projection, removed->lat, removed->lon);
                canvas_->eraseCircle(p.x, p.y, r);
            }
        }
    } catch (const std::exception& e) {
        platform::MsgBox(QString::fromUtf8(e.what()), platform::Buttons::Ok,
                         platform::Icon::Exclamation);
    }
    Picture1->update();
}

void Map::Command1_Click(int index) {
    const QString path = platform::InputBox(GridLinePrompt(index));
    if (path.isEmpty()) {
        return;
    }
    platform::WaitCursor wait;
    const RegionProjection projection = Maps().projection;
    PlanePoint previous;
    const QString text = GridLineText(index, [&](double lat, double lon, bool first) {
        float latR = static_cast<float>(geodesy::DegToRad(lat));
        float lonR = static_cast<float>(geodesy::DegToRad(lon));
        if (latR == 0.0F && lonR == 0.0F) {
            return;
        }
        PlanePoint p;
        MapProject(projection, latR, lonR, p.x, p.y);
        if (first) {
            canvas_->drawPoint(p.x, p.y, Qt::black);
        } else {
            canvas_->drawSegment(previous.x, previous.y, p.x, p.y, Qt::black);
        }
        previous = p;
    });
    Picture1->update();
    try {
        platform::ReplaceFile(path, platform::EncodeWindows1252(text));
    } catch (const platform::FileWriteError& e) {
        platform::MsgBox(QStringLiteral("Error!\r") + e.text());
    }
}

void Map::done(int result) {
    if (!closed_) {
        closed_ = true;
        records_.close();
    }
    QDialog::done(result);
}

void AfficheRegion(Map& map, float diameter) {
    {
        platform::WaitCursor wait;
        const float d = SymbolDiameter(diameter, Maps().extent.width());
        const float radius = d / 2.0F;
        map.rad->setText((radius >= 0 ? QStringLiteral(" ") : QString()) +
                         QString::number(static_cast<double>(radius), 'g', 9));
    }
    map.exec();
}

void ShowRegionMap(int row, MapHost& host, QWidget* parent) {
    SelectRegion(row, host.programFolder);
    Map map(host, parent);
    if (!map.loaded()) {
        return;
    }
    AfficheRegion(map, platform::Settings().MapPointDiameter);
}

} // namespace maps

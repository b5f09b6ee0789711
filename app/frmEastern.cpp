#include "app/frmEastern.h"

#include "app/Utilities.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

namespace app {

namespace {

constexpr int kPictureSize = 96;

const QString kLink = QStringLiteral("https://proj.org/");

QColor Rgb(unsigned bgr) {
    // Colours as the window system writes them: 0x00BBGGRR.
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

// A globe with its graticule; with `records`, dots of observed records on it.
QPixmap GlobePicture(bool records) {
    QPixmap pixmap(kPictureSize, kPictureSize);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF globe(8, 8, kPictureSize - 16, kPictureSize - 16);
    painter.setBrush(QColor(30, 80, 160));
    painter.setPen(QPen(QColor(200, 220, 255), 1.5));
    painter.drawEllipse(globe);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(150, 190, 240), 0.8));
    const QPointF centre = globe.center();
    const double radius = globe.width() / 2;
    for (int latitude = -60; latitude <= 60; latitude += 30) {
        const double y = centre.y() - radius * std::sin(latitude * M_PI / 180);
        const double half = radius * std::cos(latitude * M_PI / 180);
        painter.drawLine(QPointF(centre.x() - half, y), QPointF(centre.x() + half, y));
    }
    for (int longitude = 30; longitude < 90; longitude += 30) {
        const double half = radius * std::sin(longitude * M_PI / 180);
        painter.drawEllipse(centre, half, radius);
    }
    painter.drawLine(QPointF(centre.x(), globe.top()), QPointF(centre.x(), globe.bottom()));
    if (records) {
        painter.setPen(Qt::NoPen);
        const std::array<QColor, 3> periods{Rgb(0xFF), Rgb(0xFFFF), Rgb(0xFF00)};
        const std::array<QPointF, 6> dots{QPointF(-14, -20), QPointF(-6, -16), QPointF(4, -22),
                                          QPointF(10, -8),   QPointF(-18, 6),  QPointF(16, 14)};
        for (std::size_t i = 0; i < dots.size(); ++i) {
            painter.setBrush(periods[i % periods.size()]);
            painter.drawEllipse(centre + dots[i], 3.5, 3.5);
        }
    }
    return pixmap;
}

// A grid of squares with some of them filled, as a distribution map on a grid.
QPixmap GridPicture() {
    QPixmap pixmap(kPictureSize, kPictureSize);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    const int cells = 8;
    const int cell = (kPictureSize - 16) / cells;
    const std::array<std::pair<int, int>, 12> filled{{{1, 2},
                                                      {2, 2},
                                                      {2, 3},
                                                      {3, 3},
                                                      {3, 4},
                                                      {4, 4},
                                                      {4, 5},
                                                      {5, 5},
                                                      {5, 6},
                                                      {2, 5},
                                                      {6, 2},
                                                      {6, 3}}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 170, 80));
    for (const auto& [column, row] : filled) {
        painter.drawRect(8 + column * cell, 8 + row * cell, cell, cell);
    }
    painter.setPen(QPen(QColor(200, 200, 200), 1));
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i <= cells; ++i) {
        painter.drawLine(8 + i * cell, 8, 8 + i * cell, 8 + cells * cell);
        painter.drawLine(8, 8 + i * cell, 8 + cells * cell, 8 + i * cell);
    }
    return pixmap;
}

QLabel* Picture(QWidget* parent, const QPixmap& pixmap) {
    auto* label = new QLabel(parent);
    label->setPixmap(pixmap);
    label->setFixedSize(kPictureSize, kPictureSize);
    return label;
}

} // namespace

frmEastern::frmEastern(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Auteurs"));
    setModal(true);
    setMouseTracking(true);
    openLink = [](const QString& target) { OpenDocument(target); };

    Label1 = new QLabel(QStringLiteral("DOVazov"), this);
    QFont heading = Label1->font();
    heading.setPointSize(heading.pointSize() + 6);
    heading.setBold(true);
    Label1->setFont(heading);

    lblName[0] = new QLabel(this);
    lblName[1] = new QLabel(this);
    Label2 = new QLabel(this);
    Label3 = new QLabel(this);

    Picture1[0] = Picture(this, GlobePicture(false));
    Picture1[1] = Picture(this, GridPicture());
    Picture2 = Picture(this, GlobePicture(true));
    Picture2->hide();
    // The swapped-out picture keeps its place in the layout, so that the third one covers it.
    QSizePolicy keepPlace = Picture1[0]->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    Picture1[0]->setSizePolicy(keepPlace);

    // The heading and the name labels keep the pointer's moves to themselves, so that moving onto
    // them from the link leaves its underline on.
    for (QLabel* label : {Label1, lblName[0], lblName[1]}) {
        label->setMouseTracking(true);
        label->setAttribute(Qt::WA_NoMousePropagation);
    }
    for (QLabel* label : {Label2, Label3}) {
        label->setMouseTracking(true);
    }
    for (QLabel* watched : {Label2, Label3, Picture1[0], Picture1[1], Picture2}) {
        watched->installEventFilter(this);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(lblName[0]);
    layout->addWidget(lblName[1]);
    auto* pictures = new QHBoxLayout;
    pictures->addWidget(Picture1[0]);
    pictures->addWidget(Picture1[1]);
    pictures->addStretch();
    layout->addLayout(pictures);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    Label2->setMargin(6);
    Label3->setMargin(6);
    Label3->setCursor(Qt::PointingHandCursor);

    lblName[0]->setText(QStringLiteral("An editor of species distribution files"));
    lblName[0]->setToolTip(QStringLiteral("Records, periods, free fields and sixteen coordinate "
                                          "systems"));
    lblName[1]->setText(QStringLiteral("Built with Qt and SQLite"));
    lblName[1]->setToolTip(QStringLiteral("Conversions checked against PROJ and GeographicLib"));

    Label2->setAutoFillBackground(true);
    Label3->setAutoFillBackground(true);
    QPalette text = Label2->palette();
    text.setColor(QPalette::Window, Rgb(0));
    text.setColor(QPalette::WindowText, Rgb(0xFFFFFF));
    Label2->setPalette(text);
    QPalette link = Label3->palette();
    link.setColor(QPalette::Window, Rgb(0));
    link.setColor(QPalette::WindowText, Rgb(0xFF0000));
    Label3->setPalette(link);

    Label2->setText(
        QStringLiteral("Datum and ellipsoid parameters: NIMA TR8350.2 (public release).\n"
                       "Coordinate conversions cross-checked with PROJ and GeographicLib.\n"
                       "Strings in French, English, German, Italian and Dutch.\n"
                       "Pictures drawn by the program itself.\n"
                       "Click the globe to see where the records are."));
    Label3->setText(kLink);

    // Centred on the screen once its texts give the window its size.
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + area.width() / 2 - width() / 2,
             area.y() + area.height() / 2 - height() / 2);
    }
}

void frmEastern::setLinkUnderline(bool underline) {
    QFont font = Label3->font();
    if (font.underline() != underline) {
        font.setUnderline(underline);
        Label3->setFont(font);
    }
}

bool frmEastern::linkUnderlined() const {
    return Label3->font().underline();
}

void frmEastern::Label3_MouseMove() {
    setLinkUnderline(true);
}

void frmEastern::Label2_MouseMove() {
    setLinkUnderline(false);
}

void frmEastern::Form_MouseMove() {
    setLinkUnderline(false);
}

void frmEastern::Label3_MouseDown(Qt::MouseButton /*button*/) {
    if (openLink) {
        openLink(Label3->text());
    }
}

void frmEastern::Picture1_Click(int index) {
    if (index != 0) {
        return;
    }
    Picture2->move(Picture1[0]->pos());
    Picture1[0]->hide();
    Picture2->show();
    Picture2->raise();
}

void frmEastern::Picture2_Click() {
    Picture2->hide();
    Picture1[0]->show();
}

void frmEastern::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

bool frmEastern::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
        if (watched == Label3) {
            Label3_MouseMove();
            return true;
        }
        if (watched == Label2) {
            Label2_MouseMove();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (watched == Label3) {
            Label3_MouseDown(static_cast<QMouseEvent*>(event)->button());
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (watched == Picture1[0]) {
                Picture1_Click(0);
                return true;
            }
            if (watched == Picture1[1]) {
                Picture1_Click(1);
                return true;
            }
            if (watched == Picture2) {
                Picture2_Click();
                return true;
            }
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace app

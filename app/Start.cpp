#include "app/Start.h"

#include "app/Form1.h"
#include "app/frmEastern.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace app {

namespace {

// The start screen's picture: a small globe with its graticule.
QPixmap GlobePicture() {
    QPixmap picture(96, 96);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2E, 0x6F, 0xA8));
    painter.setPen(QPen(QColor(0x1B, 0x3F, 0x60), 2));
    painter.drawEllipse(QRectF(4, 4, 88, 88));
    painter.setPen(QPen(QColor(0xDD, 0xEE, 0xFF), 1));
    painter.setBrush(Qt::NoBrush);
    for (const double width : {88.0, 56.0, 24.0}) {
        painter.drawEllipse(QRectF(48 - width / 2, 4, width, 88));
    }
    for (const double y : {26.0, 48.0, 70.0}) {
        painter.drawLine(QPointF(8, y), QPointF(88, y));
    }
    painter.setBrush(QColor(0xE0, 0x40, 0x30));
    painter.setPen(Qt::NoPen);
    for (const QPointF& point : {QPointF(40, 36), QPointF(58, 52), QPointF(33, 62)}) {
        painter.drawEllipse(point, 4, 4);
    }
    return picture;
}

// The screen's text: carriage returns break lines on screen too.
QString ScreenText(const QString& text) {
    return QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

QString& ProgramFolder() {
    static QString folder;
    return folder;
}

QString& AppPath() {
    static QString folder;
    return folder;
}

QString VersionText(int major, int minor, int revision) {
    return QStringLiteral("version ") + QString::number(major) + QLatin1Char('.') +
           QString::number(minor) + QLatin1Char('.') + QString::number(revision) +
           QLatin1Char('\r') + QStringLiteral("03.III.2011");
}

QString CreditText() {
    return QStringList{
        QStringLiteral("DOVazov"), QStringLiteral("Editor of species distribution files"),
        QStringLiteral("Sixteen coordinate systems and their datums"),
        QStringLiteral("Region maps, cartography and gazetteer"), QStringLiteral("Free software")}
        .join(QLatin1Char('\r'));
}

QString CommandLineOf(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' '));
}

SingleInstanceLock::SingleInstanceLock(const QString& path) : lock_(path) {
    // A lock is stale only when its process is gone, never because of its age: a copy may run
    // for days.
    lock_.setStaleLockTime(0);
}

bool SingleInstanceLock::acquire() {
    return lock_.tryLock(0);
}

QString DefaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(QStringLiteral("dovazov.lock"));
}

Start::Start(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    Image1 = new QLabel(this);
    Image1->setPixmap(GlobePicture());
    Image1->setAlignment(Qt::AlignCenter);
    Label1 = new QLabel(this);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setCursor(Qt::PointingHandCursor);
    Label2 = new QLabel(this);
    Label2->setAlignment(Qt::AlignCenter);
    layout->addWidget(Image1);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    for (QLabel* label : {Image1, Label1, Label2}) {
        label->installEventFilter(this);
    }
    setFixedSize(420, 300);
}

void Start::Form_Load() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + area.width() / 2 - width() / 2,
             area.top() + area.height() / 2 - height() / 2);
    }
    Label1->setText(ScreenText(CreditText()));
    Label2->setText(ScreenText(VersionText(kVersionMajor, kVersionMinor, kVersionRevision)));
    Label1->setToolTip(QStringLiteral("Click here for more information..."));
    show();
    QCoreApplication::processEvents();
    ProgramFolder() = QCoreApplication::applicationDirPath();
}

void Start::Label1_Click() {
    frmEastern credits(this);
    credits.exec();
}

bool Start::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Image1) {
            Image1_Click();
            return true;
        }
        if (watched == Label1) {
            Label1_Click();
            return true;
        }
        if (watched == Label2) {
            Label2_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Start::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    Form_Click();
}

StartOutcome StartProgram(Program& program, const QString& commandLine, const QString& lockPath) {
    program.lock = std::make_unique<SingleInstanceLock>(lockPath);
    if (!program.lock->acquire()) {
        platform::MsgBox(QStringLiteral("ZEB is already running!"), platform::Buttons::Ok,
                         platform::Icon::Critical);
        return StartOutcome::AlreadyRunning;
    }
    Start start;
    start.Form_Load();
    program.form = std::make_unique<Form1>();
    if (!program.form->Form_Load(commandLine, &start)) {
        start.close();
        program.form.reset();
        return StartOutcome::LoadFailed;
    }
    return StartOutcome::Running;
}

} // namespace app

#include "app/Prefer.h"

#include "app/PreferencesLogic.h"
#include "common/AppError.h"
#include "document/WorkDatabase.h"
#include "geodesy/DatumTables.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"
#include "platform/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace app {

namespace {

constexpr int kCodeLength = 5;
constexpr int kSystemCount = 16;
constexpr int kSystemNames = 300;

QLabel* NamedLabel(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

template <typename Widget> Widget* Named(Widget* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// The button-face colour of the old dialogs: the label paints the palette's button colour.
void ButtonFace(QWidget* widget) {
    widget->setBackgroundRole(QPalette::Button);
    widget->setAutoFillBackground(true);
}

// A label that shows as much of a long datum name as fits, ending in an ellipsis; its text, and
// its tooltip, stay whole. The dialog keeps its width whatever the name.
class ElidedLabel final : public QLabel {
public:
    QSize sizeHint() const override {
        return {std::min(QLabel::sizeHint().width(), kLongestShown), QLabel::sizeHint().height()};
    }
    QSize minimumSizeHint() const override {
        return {std::min(QLabel::minimumSizeHint().width(), kShortestShown),
                QLabel::minimumSizeHint().height()};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, static_cast<int>(alignment()),
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }

private:
    static constexpr int kLongestShown = 320;
    static constexpr int kShortestShown = 80;
};

// A datum list as wide as a usual name, however long the longest one is.
void NameListWidth(QComboBox* box) {
    constexpr int kCharactersShown = 32;
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(kCharactersShown);
}

} // namespace

Prefer::Prefer(PreferHooks hooks, QWidget* parent) : QDialog(parent), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Prefer"));
    setModal(true);
    buildControls();
    Form_Load();
}

void Prefer::buildControls() {
    Combo2 = Named(new QComboBox, QStringLiteral("Combo2"));
    for (int i = 0; i < 2; ++i) {
        ChampNumerique[i] = Named(new QLineEdit, QStringLiteral("ChampNumerique%1").arg(i));
        Label3[i] = Named(new QLabel, QStringLiteral("Label3%1").arg(i));
    }
    OptSilence = Named(new QCheckBox, QStringLiteral("OptSilence"));
    TxtSepar = Named(new QLineEdit, QStringLiteral("TxtSepar"));
    TxtSepar->setMaximumWidth(40);
    ChkAutoSave = Named(new QCheckBox, QStringLiteral("ChkAutoSave"));
    txtSaveInterval = Named(new QLineEdit, QStringLiteral("txtSaveInterval"));
    txtSaveInterval->setMaximumWidth(40);
    lblAutoSave = NamedLabel("lblAutoSave");
    lblMin = NamedLabel("lblMin");
    txtWorkingDir = Named(new QLineEdit, QStringLiteral("txtWorkingDir"));
    txtWorkingDir->setReadOnly(true);
    cmdOpen = Named(new QToolButton, QStringLiteral("cmdOpen"));
    cmdOpen->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    cmdOpen->setToolTip(QStringLiteral("Chercher le répertoire"));
    cmbDatum = Named(new QComboBox, QStringLiteral("cmbDatum"));
    cmbDatumUTM = Named(new QComboBox, QStringLiteral("cmbDatumUTM"));
    lblDatumOrig = Named(new ElidedLabel, QStringLiteral("lblDatumOrig"));
    for (QComboBox* box : {Combo2, cmbDatum, cmbDatumUTM}) {
        NameListWidth(box);
    }
    cmdChangeDatum =
        Named(new QPushButton(QStringLiteral("&Change")), QStringLiteral("cmdChangeDatum"));
    Command1 = Named(new QPushButton, QStringLiteral("Command1"));
    Command2 = Named(new QPushButton, QStringLiteral("Command2"));
    Command1->setDefault(true);
    Label2 = NamedLabel("Label2");
    LblSepar = NamedLabel("LblSepar");
    Label4 = NamedLabel("Label4");
    Label5 = NamedLabel("Label5");
    Label6 = NamedLabel("Label6");
    for (std::size_t i = 0; i < Frame.size(); ++i) {
        Frame[i] = Named(new QGroupBox, QStringLiteral("Frame%1").arg(i + 1));
    }

    auto* folder = new QHBoxLayout(Frame[0]);
    folder->addWidget(txtWorkingDir, 1);
    folder->addWidget(cmdOpen);

    auto* options = new QGridLayout(Frame[1]);
    options->addWidget(OptSilence, 0, 0, 1, 2);
    options->addWidget(LblSepar, 1, 0);
    options->addWidget(TxtSepar, 1, 1, Qt::AlignLeft);
    options->addWidget(ChkAutoSave, 2, 0, 1, 2);
    // The interval line reads on continuously in every language: label, box, unit.
    auto* interval = new QHBoxLayout;
    interval->setSpacing(0);
    interval->addWidget(lblAutoSave);
    interval->addWidget(txtSaveInterval);
    interval->addWidget(lblMin);
    interval->addStretch(1);
    options->addLayout(interval, 3, 0, 1, 2);

    auto* numeric = new QGridLayout(Frame[2]);
    for (int i = 0; i < 2; ++i) {
        numeric->addWidget(Label3[i], i, 0);
        numeric->addWidget(ChampNumerique[i], i, 1);
    }

    auto* datums = new QGridLayout(Frame[3]);
    datums->addWidget(Label2, 0, 0);
    datums->addWidget(Combo2, 0, 1, 1, 2);
    datums->addWidget(Label4, 1, 0);
    datums->addWidget(cmbDatum, 1, 1, 1, 2);
    datums->addWidget(Label5, 2, 0);
    datums->addWidget(cmbDatumUTM, 2, 1, 1, 2);
    datums->addWidget(Label6, 3, 0);
    datums->addWidget(lblDatumOrig, 3, 1);
    datums->addWidget(cmdChangeDatum, 3, 2);
    datums->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);

    auto* layout = new QVBoxLayout(this);
    for (QGroupBox* frame : Frame) {
        layout->addWidget(frame);
    }
    layout->addLayout(buttons);

    connect(ChkAutoSave, &QCheckBox::clicked, this, [this] { ChkAutoSave_Click(); });
    connect(cmdOpen, &QToolButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdChangeDatum, &QPushButton::clicked, this, [this] { cmdChangeDatum_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void Prefer::Form_Load() {
    ButtonFace(this);
    for (QWidget* widget : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3[0]),
                            static_cast<QWidget*>(Label3[1]), static_cast<QWidget*>(OptSilence),
                            static_cast<QWidget*>(LblSepar)}) {
        ButtonFace(widget);
    }
    const platform::ProgramSettings& settings = platform::Settings();
    for (int i = 0; i < kSystemCount; ++i) {
        Combo2->addItem(platform::ResText(kSystemNames + i));
    }
    Combo2->setCurrentIndex(
        settings.InputMode >= 0 && settings.InputMode < kSystemCount ? settings.InputMode : -1);
    ChampNumerique[0]->setText(settings.LabelNumeric1);
    ChampNumerique[1]->setText(settings.LabelNumeric2);
    OptSilence->setChecked(settings.Silence != 0);

    const geodesy::DatumState& datums = geodesy::Datums();
    const QStringList destinations = DestinationDatumItems();
    const QStringList utm = UtmDatumItems();
    cmbDatum->addItems(destinations);
    cmbDatumUTM->addItems(utm);
    // A code read from a file may lack its filling blanks: it finds its entry all the same.
    cmbDatum->setCurrentIndex(FindDatumItem(destinations, QString::fromStdString(datums.DestCode)));
    cmbDatumUTM->setCurrentIndex(FindDatumItem(utm, QString::fromStdString(datums.UTMCode)));
    setSphericalText(SphericalDatumTextAt(datums.FromIndex));

    setCaptions();
    TxtSepar->setText(settings.Separator);
    txtSaveInterval->setText(QString::number(settings.SaveInterval));

    InitialDestIndex = datums.DestIndex;
    txtWorkingDir->setText(document::Work().WorkingDir);
    ChkAutoSave->setChecked(settings.AutoSave != 0);
    StatutAutoSave();
}

void Prefer::setCaptions() {
    using platform::ResText;
    setWindowTitle(ResText(260));
    Label2->setText(ResText(262));
    Label3[0]->setText(ResText(263));
    Label3[1]->setText(ResText(264));
    Command1->setText(ResText(265));
    Command2->setText(ResText(266));
    OptSilence->setText(ResText(267));
    LblSepar->setText(ResText(268));
    Label4->setText(ResText(802));
    Label6->setText(ResText(803));
    Label5->setText(ResText(806));
    lblAutoSave->setText(ResText(811));
    lblMin->setText(ResText(812));
    ChkAutoSave->setText(ResText(813));
    Frame[0]->setTitle(QStringLiteral("Répertoire pour fichiers temporaires de travail "));
}

void Prefer::setSphericalText(const QString& text) {
    lblDatumOrig->setText(text);
    lblDatumOrig->setToolTip(text);
}

void Prefer::StatutAutoSave() {
    const bool on = ChkAutoSave->isChecked();
    txtSaveInterval->setEnabled(on);
    lblAutoSave->setEnabled(on);
    lblMin->setEnabled(on);
}

void Prefer::cmdOpen_Click() {
    const QString chosen = ChooseWorkingFolder(this, document::Work().WorkingDir);
    if (!chosen.isEmpty()) {
        txtWorkingDir->setText(chosen);
    }
}

void Prefer::cmdChangeDatum_Click() {
    if (!hooks_.chooseDatum) {
        return;
    }
    const QString code = hooks_.chooseDatum(lblDatumOrig->text().left(kCodeLength));
    const QString text = SphericalDatumTextFor(code);
    if (!text.isEmpty()) {
        setSphericalText(text);
    }
}

PreferFields Prefer::fields() const {
    PreferFields f;
    f.inputMode = Combo2->currentIndex();
    f.labelNumeric1 = ChampNumerique[0]->text();
    f.labelNumeric2 = ChampNumerique[1]->text();
    f.silence = OptSilence->isChecked() ? 1 : 0;
    f.separator = TxtSepar->text();
    f.autoSave = ChkAutoSave->isChecked() ? 1 : 0;
    f.saveInterval = txtSaveInterval->text();
    f.destinationItem = cmbDatum->currentIndex() >= 0 ? cmbDatum->currentText() : QString();
    f.utmItem = cmbDatumUTM->currentIndex() >= 0 ? cmbDatumUTM->currentText() : QString();
    f.sphericalText = lblDatumOrig->text();
    return f;
}

void Prefer::Command1_Click() {
    PreferFields f = fields();
    if (f.inputMode < 0) {
        f.inputMode = platform::Settings().InputMode;
    }
    try {
        const PreferOkResult result =
            PreferOk(f, {InitialDestIndex, hooks_.gridShown && hooks_.gridShown()});
        txtSaveInterval->setText(f.saveInterval);
        if (!result.close) {
            return;
        }
        if (result.recomputed && hooks_.datumRecomputed) {
            hooks_.datumRecomputed(QString::fromStdString(geodesy::Datums().DestCode));
        }
    } catch (const common::AppError& error) {
        platform::ShowError(error.number(), QString::fromStdString(error.description()));
    }
    accept();
}

void Prefer::Command2_Click() {
    reject();
}

void ShowPreferences(const PreferHooks& hooks, QWidget* parent) {
    Prefer dialog(hooks, parent);
    dialog.exec();
}

} // namespace app

#include "commands/Ajustement.h"

#include "geodesy/DatumTables.h"
#include "platform/ProgramSettings.h"
#include "platform/StringTable.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace commands {

QString DatumLine(int datumIndex) {
    const geodesy::DatumRec& datum = geodesy::Datums().datum(datumIndex);
    return QString::fromStdString(geodesy::FixedCode(datum.Code)) + QStringLiteral(" - ") +
           QString::fromStdString(datum.Name);
}

Ajustement::Ajustement(QWidget* parent) : QDialog(parent) {
    setWindowTitle(platform::ResText(150));
    auto* layout = new QVBoxLayout(this);

    OptionsUTM = new QGroupBox(platform::ResText(165), this);
    auto* sizes = new QVBoxLayout(OptionsUTM);
    for (int i = 0; i < static_cast<int>(OptionAjust.size()); ++i) {
        auto* button = new QRadioButton(platform::ResText(151 + i), OptionsUTM);
        OptionAjust[static_cast<std::size_t>(i)] = button;
        sizes->addWidget(button);
        connect(button, &QRadioButton::clicked, this, [this, i] { ChoixAjust = i; });
    }
    OptionsGrille = new QGroupBox(platform::ResText(159), this);
    auto* grids = new QVBoxLayout(OptionsGrille);
    for (int i = 0; i < static_cast<int>(OptionAjustGrid.size()); ++i) {
        auto* button = new QRadioButton(platform::ResText(160 + i), OptionsGrille);
        OptionAjustGrid[static_cast<std::size_t>(i)] = button;
        grids->addWidget(button);
        connect(button, &QRadioButton::clicked, this, [this, i] { ChoixAjustGrid = i; });
    }
    auto* frames = new QHBoxLayout;
    frames->addWidget(OptionsUTM);
    frames->addWidget(OptionsGrille);
    layout->addLayout(frames);

    auto* datumRow = new QHBoxLayout;
    datumRow->addWidget(new QLabel(QStringLiteral("Datum:"), this));
    lblDatum = new QLabel(this);
    datumRow->addWidget(lblDatum, 1);
    layout->addLayout(datumRow);

    auto* buttons = new QDialogButtonBox(this);
    ButOk = buttons->addButton(platform::ResText(163), QDialogButtonBox::AcceptRole);
    ButEsc = buttons->addButton(platform::ResText(164), QDialogButtonBox::RejectRole);
    ButOk->setDefault(true);
    connect(ButOk, &QPushButton::clicked, this, [this] { ButOk_Click(); });
    connect(ButEsc, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);

    Form_Load();
}

void Ajustement::Form_Load() {
    const platform::ProgramSettings& settings = platform::Settings();
    ChoixAjust = settings.UtmAjust;
    ChoixAjustGrid = settings.GridAjust;
    // Stored values outside the buttons' range select none of them.
    if (ChoixAjust >= 0 && ChoixAjust < static_cast<int>(OptionAjust.size())) {
        OptionAjust[static_cast<std::size_t>(ChoixAjust)]->setChecked(true);
    }
    if (ChoixAjustGrid >= 0 && ChoixAjustGrid < static_cast<int>(OptionAjustGrid.size())) {
        OptionAjustGrid[static_cast<std::size_t>(ChoixAjustGrid)]->setChecked(true);
    }
    const geodesy::DatumState& datums = geodesy::Datums();
    lblDatum->setText(DatumLine(datums.DestIndex));
    lblDatum->setToolTip(QString::fromStdString(datums.datum(datums.DestIndex).Applic));
}

void Ajustement::ButOk_Click() {
    platform::ProgramSettings& settings = platform::Settings();
    settings.UtmAjust = static_cast<std::int16_t>(ChoixAjust);
    settings.GridAjust = static_cast<std::int16_t>(ChoixAjustGrid);
    accept();
}

bool Ajustement::choose() {
    return exec() == QDialog::Accepted;
}

} // namespace commands

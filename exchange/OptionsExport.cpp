#include "exchange/OptionsExport.h"

#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace exchange {

namespace {

// Caption ids of check boxes 0 to 8; "Sexe" has none and is the same in every language.
constexpr std::array<int, 9> kCaptionIds{182, 183, 184, 185, 186, 187, 188, 137, 189};
// Top-to-bottom order of the boxes: "Sexe" comes after the two numbers.
constexpr std::array<int, 10> kShownOrder{0, 1, 2, 3, 4, 9, 5, 6, 7, 8};
constexpr std::int16_t kNoCoordinates = -1;
constexpr std::int16_t kLambert72 = 7;

} // namespace

std::array<std::int16_t ExportChoice::*, 10> ExportFlags() {
    return {&ExportChoice::ExportPeriod,        &ExportChoice::ExportLatitude,
            &ExportChoice::ExportLongitude,     &ExportChoice::ExportNumber1,
            &ExportChoice::ExportNumber2,       &ExportChoice::ExportEllipsoid,
            &ExportChoice::ExportOriginalCoord, &ExportChoice::ExportDate,
            &ExportChoice::ExportFreeField,     &ExportChoice::ExportSex};
}

bool ConfirmExportChoice(ExportChoice& choice, const std::array<std::int16_t, 10>& fields,
                         std::int16_t coordSystem) {
    const auto flags = ExportFlags();
    bool any = false;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        choice.*flags[i] = fields[i];
        // "Sex" alone exports nothing worth having.
        if (i < 9 && fields[i] == 1) {
            any = true;
        }
    }
    if (!any) {
        return false;
    }
    choice.ExportCoordSystem = coordSystem;
    return true;
}

void StoreExportChoice(const ExportChoice& choice) {
    platform::ProgramSettings& s = platform::Settings();
    s.ExportPeriod = choice.ExportPeriod;
    s.ExportLatitude = choice.ExportLatitude;
    s.ExportLongitude = choice.ExportLongitude;
    s.ExportNumber1 = choice.ExportNumber1;
    s.ExportNumber2 = choice.ExportNumber2;
    s.ExportEllipsoid = choice.ExportEllipsoid;
    s.ExportOriginalCoord = choice.ExportOriginalCoord;
    s.ExportDate = choice.ExportDate;
    s.ExportFreeField = choice.ExportFreeField;
    s.ExportSex = choice.ExportSex;
    s.ExportCoordSystem = choice.ExportCoordSystem;
}

OptionsExport::OptionsExport(QWidget* parent) : QDialog(parent) {
    setModal(true);
    Frame3D1 = new QGroupBox(this);
    auto* boxes = new QVBoxLayout(Frame3D1);
    for (std::size_t i = 0; i < IncludeField.size(); ++i) {
        IncludeField[i] = new QCheckBox(Frame3D1);
    }
    for (const int i : kShownOrder) {
        boxes->addWidget(IncludeField[static_cast<std::size_t>(i)]);
    }
    lblCoordSystem = new QLabel(QStringLiteral("Coordinates X Y :"), this);
    cmbSystem = new QComboBox(this);
    ButOk = new QPushButton(this);
    ButOk->setDefault(true);
    ButEsc = new QPushButton(this);

    auto* left = new QVBoxLayout;
    left->addWidget(Frame3D1);
    left->addWidget(lblCoordSystem);
    left->addWidget(cmbSystem);
    auto* right = new QVBoxLayout;
    right->addWidget(ButOk);
    right->addWidget(ButEsc);
    right->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);

    connect(ButOk, &QPushButton::clicked, this, [this] { ButOk_Click(); });
    connect(ButEsc, &QPushButton::clicked, this, [this] { ButEsc_Click(); });
    // The close box and Escape leave ExportOk at 0, as Cancel does.
    connect(this, &QDialog::rejected, this, [this] { ExportOk = 0; });
    Form_Load();
}

void OptionsExport::Form_Load() {
    using platform::ResText;
    setWindowTitle(ResText(180));
    Frame3D1->setTitle(ResText(181));
    for (std::size_t i = 0; i < kCaptionIds.size(); ++i) {
        IncludeField[i]->setText(ResText(kCaptionIds[i]));
    }
    IncludeField[9]->setText(QStringLiteral("Sexe"));
    ButOk->setText(ResText(190));
    ButEsc->setText(ResText(191));

    cmbSystem->clear();
    cmbSystem->addItem(QStringLiteral("none"), kNoCoordinates);
    cmbSystem->addItem(QStringLiteral("Belge Lambert 72"), kLambert72);
    const ExportChoice choice = CurrentExportChoice();
    cmbSystem->setCurrentIndex(choice.ExportCoordSystem == kLambert72 ? 1 : 0);
    // Only 1 exports a field, so any other stored value shows as not ticked.
    const auto flags = ExportFlags();
    for (std::size_t i = 0; i < flags.size(); ++i) {
        IncludeField[i]->setChecked(choice.*flags[i] == 1);
    }
}

void OptionsExport::ButOk_Click() {
    std::array<std::int16_t, 10> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = IncludeField[i]->isChecked() ? 1 : 0;
    }
    ExportChoice choice = CurrentExportChoice();
    const bool accepted = ConfirmExportChoice(
        choice, fields, static_cast<std::int16_t>(cmbSystem->currentData().toInt()));
    StoreExportChoice(choice);
    if (!accepted) {
        platform::MsgBox(platform::ResText(560), platform::Buttons::Ok,
                         platform::Icon::Exclamation);
        ButEsc_Click();
        return;
    }
    ExportOk = -1;
    done(QDialog::Accepted);
}

void OptionsExport::ButEsc_Click() {
    ExportOk = 0;
    done(QDialog::Rejected);
}

bool RunOptionsExport(QWidget* parent) {
    OptionsExport dialog(parent);
    dialog.exec();
    return dialog.ExportOk != 0;
}

} // namespace exchange

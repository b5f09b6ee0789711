#include "exchange/GarminOptionsDialog.h"

#include "exchange/GarminOptionsSample.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace exchange {

namespace {

constexpr const char* kEmptyDate = "____/__/__";

std::int16_t Whole(const QString& text, std::int16_t fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= -32768 && value <= 32767 ? static_cast<std::int16_t>(value) : fallback;
}

int Chosen(const std::array<QRadioButton*, 3>& options) {
    for (int i = 0; i < 3; ++i) {
        if (options[static_cast<std::size_t>(i)]->isChecked()) {
            return i;
        }
    }
    return 0;
}

} // namespace

frmGarminOptions::frmGarminOptions(QStringList columns, std::vector<QStringList> items,
                                   QWidget* parent)
    : QDialog(parent), columns_(std::move(columns)), items_(std::move(items)),
      txtPeriod_(new QLineEdit(this)), txtDate_(new QLineEdit(this)),
      txtAltitude_(new QLineEdit(this)), cmbFieldDate_(new QComboBox(this)),
      cmbFieldAltitude_(new QComboBox(this)), cmbDateFormat_(new QComboBox(this)),
      lblSampleDate_(new QLabel(this)), lblSampleAltitude_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Mapsource importation options"));
    const char* dateOptions[] = {"Ignore date",
                                 "Fixed date (yyyy/mm/dd) :", "Take date from field :"};
    const char* altitudeOptions[] = {"Ignore altitude",
                                     "Fixed altitude :", "Take altitude from field :"};
    for (std::size_t i = 0; i < 3; ++i) {
        optDate_[i] = new QRadioButton(QLatin1String(dateOptions[i]), this);
        optAltitude_[i] = new QRadioButton(QLatin1String(altitudeOptions[i]), this);
    }
    for (std::size_t i = 0; i < 2; ++i) {
        txtDateChar_[i] = new QLineEdit(this);
        txtAltitudeChar_[i] = new QLineEdit(this);
    }
    const char* dateLabels[] = {
        "field :", "first character :", "length:", "date format :", "sample :"};
    for (std::size_t i = 0; i < fldDate_.size(); ++i) {
        fldDate_[i] = new QLabel(QLatin1String(dateLabels[i]), this);
    }
    const char* altitudeLabels[] = {"field :", "first character :", "length:", "sample :"};
    for (std::size_t i = 0; i < lblAltitude_.size(); ++i) {
        lblAltitude_[i] = new QLabel(QLatin1String(altitudeLabels[i]), this);
    }
    txtDate_->setInputMask(QStringLiteral("9999/99/99;_"));

    auto* periodRow = new QHBoxLayout;
    periodRow->addWidget(new QLabel(QStringLiteral("Period :"), this));
    periodRow->addWidget(withUpDown(txtPeriod_, 0, 3));
    periodRow->addStretch();

    auto* frame1 = new QGroupBox(QStringLiteral("Date"), this);
    auto* dateGrid = new QGridLayout(frame1);
    dateGrid->addWidget(optDate_[0], 0, 0, 1, 2);
    dateGrid->addWidget(optDate_[1], 1, 0);
    dateGrid->addWidget(txtDate_, 1, 1);
    dateGrid->addWidget(optDate_[2], 2, 0, 1, 2);
    dateGrid->addWidget(fldDate_[0], 3, 0);
    dateGrid->addWidget(cmbFieldDate_, 3, 1);
    dateGrid->addWidget(fldDate_[1], 4, 0);
    dateGrid->addWidget(withUpDown(txtDateChar_[0], 1, 255), 4, 1);
    dateGrid->addWidget(fldDate_[2], 5, 0);
    dateGrid->addWidget(withUpDown(txtDateChar_[1], 2, 255), 5, 1);
    dateGrid->addWidget(fldDate_[3], 6, 0);
    dateGrid->addWidget(cmbDateFormat_, 6, 1);
    dateGrid->addWidget(fldDate_[4], 7, 0);
    dateGrid->addWidget(lblSampleDate_, 7, 1);

    auto* frame2 = new QGroupBox(QStringLiteral("Altitude"), this);
    auto* altitudeGrid = new QGridLayout(frame2);
    altitudeGrid->addWidget(optAltitude_[0], 0, 0, 1, 2);
    altitudeGrid->addWidget(optAltitude_[1], 1, 0);
    altitudeGrid->addWidget(txtAltitude_, 1, 1);
    altitudeGrid->addWidget(optAltitude_[2], 2, 0, 1, 2);
    altitudeGrid->addWidget(lblAltitude_[0], 3, 0);
    altitudeGrid->addWidget(cmbFieldAltitude_, 3, 1);
    altitudeGrid->addWidget(lblAltitude_[1], 4, 0);
    altitudeGrid->addWidget(withUpDown(txtAltitudeChar_[0], 3, 255), 4, 1);
    altitudeGrid->addWidget(lblAltitude_[2], 5, 0);
    altitudeGrid->addWidget(withUpDown(txtAltitudeChar_[1], 4, 255), 5, 1);
    altitudeGrid->addWidget(lblAltitude_[3], 6, 0);
    altitudeGrid->addWidget(lblSampleAltitude_, 6, 1);

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(periodRow);
    layout->addWidget(frame1);
    layout->addWidget(frame2);
    layout->addLayout(buttons);

    for (int i = 0; i < 3; ++i) {
        connect(optDate_[static_cast<std::size_t>(i)], &QRadioButton::toggled, this,
                [this, i](bool on) {
                    if (on) {
                        applyDateRule(i);
                    }
                });
        connect(optAltitude_[static_cast<std::size_t>(i)], &QRadioButton::toggled, this,
                [this, i](bool on) {
                    if (on) {
                        applyAltitudeRule(i);
                    }
                });
    }
    connect(cmbFieldDate_, &QComboBox::activated, this, [this] {
        DetTxtDateExemple();
        ExempleDate();
    });
    connect(cmbFieldAltitude_, &QComboBox::activated, this, [this] {
        DetTxtAltitudeExemple();
        ExempleAltitude();
    });
    for (QLineEdit* box : txtDateChar_) {
        connect(box, &QLineEdit::textChanged, this, [this] { ExempleDate(); });
    }
    for (QLineEdit* box : txtAltitudeChar_) {
        connect(box, &QLineEdit::textChanged, this, [this] { ExempleAltitude(); });
    }
    connect(ok, &QPushButton::clicked, this, [this] {
        SauveOptions();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    optDate_[0]->setChecked(true);
    applyDateRule(0);
    optAltitude_[0]->setChecked(true);
    applyAltitudeRule(0);
    cmbDateFormat_->addItem(QStringLiteral("17-APR-02"));
    cmbDateFormat_->setCurrentIndex(0);
}

QWidget* frmGarminOptions::withUpDown(QLineEdit* box, int index, int maximum) {
    auto* holder = new QWidget(this);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(box);
    auto& pair = upDowns_.at(static_cast<std::size_t>(index));
    for (int i = 0; i < 2; ++i) {
        auto* button = new QToolButton(holder);
        button->setArrowType(i == 0 ? Qt::UpArrow : Qt::DownArrow);
        const int step = i == 0 ? 1 : -1;
        // The buddy box takes the stepped value, kept between 0 and the maximum.
        connect(button, &QToolButton::clicked, this, [box, step, maximum] {
            bool ok = false;
            const int value = box->text().trimmed().toInt(&ok);
            box->setText(QString::number(std::clamp((ok ? value : 0) + step, 0, maximum)));
        });
        pair[static_cast<std::size_t>(i)] = button;
        row->addWidget(button);
    }
    return holder;
}

void frmGarminOptions::applyDateRule(int option) {
    txtDate_->setEnabled(option == 1);
    const bool column = option == 2;
    cmbFieldDate_->setEnabled(column);
    cmbDateFormat_->setEnabled(column);
    for (QLineEdit* box : txtDateChar_) {
        box->setEnabled(column);
    }
    for (std::size_t i = 1; i < 3; ++i) {
        for (QToolButton* b : upDowns_[i]) {
            b->setEnabled(column);
        }
    }
    for (QLabel* label : fldDate_) {
        label->setEnabled(column);
    }
}

void frmGarminOptions::applyAltitudeRule(int option) {
    txtAltitude_->setEnabled(option == 1);
    const bool column = option == 2;
    cmbFieldAltitude_->setEnabled(column);
    for (QLineEdit* box : txtAltitudeChar_) {
        box->setEnabled(column);
    }
    for (std::size_t i = 3; i < 5; ++i) {
        for (QToolButton* b : upDowns_[i]) {
            b->setEnabled(column);
        }
    }
    for (QLabel* label : lblAltitude_) {
        label->setEnabled(column);
    }
}

void frmGarminOptions::Open(objGraminImport s) {
    cmbFieldDate_->clear();
    cmbFieldAltitude_->clear();
    cmbFieldDate_->addItems(columns_);
    cmbFieldAltitude_->addItems(columns_);
    cmbFieldDate_->setCurrentIndex(columns_.isEmpty() ? -1 : 0);
    cmbFieldAltitude_->setCurrentIndex(columns_.isEmpty() ? -1 : 0);
    txtPeriod_->setText(QString::number(s.Period));
    const auto optionOf = [](std::int16_t value) { return value == 0 ? 0 : value == 1 ? 1 : 2; };
    optDate_[static_cast<std::size_t>(optionOf(s.DateImport))]->setChecked(true);
    optAltitude_[static_cast<std::size_t>(optionOf(s.AltitudeImport))]->setChecked(true);
    if (s.DateFixed.isEmpty()) {
        s.DateFixed = QLatin1String(kEmptyDate);
    }
    txtDate_->setText(s.DateFixed);
    txtAltitude_->setText(s.AltitudeFixed);
    txtAltitudeChar_[0]->setText(s.AltitudeBegin.trimmed());
    txtAltitudeChar_[1]->setText(s.AltitudeLength.trimmed());
    txtDateChar_[0]->setText(QString::number(s.DateBegin));
    txtDateChar_[1]->setText(QString::number(s.DateLength));
    if (!s.DateField.isEmpty() && columns_.contains(s.DateField)) {
        cmbFieldDate_->setCurrentIndex(static_cast<int>(columns_.indexOf(s.DateField)));
    }
    if (!s.AltitudeField.isEmpty() && columns_.contains(s.AltitudeField)) {
        cmbFieldAltitude_->setCurrentIndex(static_cast<int>(columns_.indexOf(s.AltitudeField)));
    }
    DetTxtAltitudeExemple();
    ExempleAltitude();
    DetTxtDateExemple();
    ExempleDate();
    cmbDateFormat_->setCurrentIndex(s.DateFormat == 0 ? 0 : -1);
}

void frmGarminOptions::DetTxtDateExemple() {
    if (const auto example = FindExample(items_, std::max(0, cmbFieldDate_->currentIndex()))) {
        dateExample_ = *example;
    }
}

void frmGarminOptions::DetTxtAltitudeExemple() {
    if (const auto example = FindExample(items_, std::max(0, cmbFieldAltitude_->currentIndex()))) {
        altitudeExample_ = *example;
    }
}

void frmGarminOptions::ExempleDate() {
    if (const auto sample =
            CutSample(dateExample_, txtDateChar_[0]->text(), txtDateChar_[1]->text())) {
        lblSampleDate_->setText(*sample);
    }
}

void frmGarminOptions::ExempleAltitude() {
    if (const auto sample =
            CutSample(altitudeExample_, txtAltitudeChar_[0]->text(), txtAltitudeChar_[1]->text())) {
        lblSampleAltitude_->setText(*sample);
    }
}

objGraminImport frmGarminOptions::Options() const {
    const objGraminImport d;
    objGraminImport s;
    // A box that holds no whole number keeps the default rather than storing nonsense.
    s.Period = Whole(txtPeriod_->text(), d.Period);
    s.DateImport = static_cast<std::int16_t>(Chosen(optDate_));
    s.DateFixed = txtDate_->displayText();
    s.DateBegin = Whole(txtDateChar_[0]->text(), d.DateBegin);
    s.DateLength = Whole(txtDateChar_[1]->text(), d.DateLength);
    s.DateField = cmbFieldDate_->currentText();
    s.DateFormat = static_cast<std::int16_t>(std::max(0, cmbDateFormat_->currentIndex()));
    s.AltitudeImport = static_cast<std::int16_t>(Chosen(optAltitude_));
    s.AltitudeFixed = txtAltitude_->text();
    s.AltitudeBegin = QString::number(Whole(txtAltitudeChar_[0]->text(), 1));
    s.AltitudeLength = QString::number(Whole(txtAltitudeChar_[1]->text(), 4));
    s.AltitudeField = cmbFieldAltitude_->currentText();
    return s;
}

void frmGarminOptions::SauveOptions() {
    SaveGarminImportSettings(Options());
}

} // namespace exchange

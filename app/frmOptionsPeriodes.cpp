#include "app/frmOptionsPeriodes.h"

#include "document/Periods.h"
#include "platform/StringTable.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace app {

frmOptionsPeriodes::frmOptionsPeriodes(QWidget* parent)
    : QDialog(parent), FramePivot_(new QGroupBox(this)), TxtPivot1_(new QLineEdit),
      TxtPivot21_(new QLineEdit), TxtPivot22_(new QLineEdit), Label1_(new QLabel) {
    setObjectName(QStringLiteral("frmOptionsPeriodes"));
    setModal(true);
    FramePivot_->setObjectName(QStringLiteral("FramePivot"));
    TxtPivot1_->setObjectName(QStringLiteral("TxtPivot1"));
    TxtPivot21_->setObjectName(QStringLiteral("TxtPivot21"));
    TxtPivot22_->setObjectName(QStringLiteral("TxtPivot22"));
    Label1_->setObjectName(QStringLiteral("Label1"));
    for (QLineEdit* box : {TxtPivot1_, TxtPivot21_, TxtPivot22_}) {
        box->setMaximumWidth(70);
    }

    auto* grid = new QGridLayout(FramePivot_);
    for (int i = 0; i < 3; ++i) {
        OptionPivot_[i] = new QRadioButton;
        OptionPivot_[i]->setObjectName(QStringLiteral("OptionPivot%1").arg(i));
        grid->addWidget(OptionPivot_[i], i, 0);
    }
    grid->addWidget(TxtPivot1_, 1, 1);
    grid->addWidget(TxtPivot21_, 2, 1);
    grid->addWidget(Label1_, 2, 2);
    grid->addWidget(TxtPivot22_, 2, 3);
    grid->setColumnStretch(4, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (int i = 0; i < 2; ++i) {
        Command1_[i] = new QPushButton;
        Command1_[i]->setObjectName(QStringLiteral("Command1%1").arg(i));
        buttons->addWidget(Command1_[i]);
        connect(Command1_[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }
    Command1_[0]->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FramePivot_);
    layout->addLayout(buttons);

    InitCaptions();
    Form_Load();
}

void frmOptionsPeriodes::InitCaptions() {
    setWindowTitle(platform::ResText(129));
    FramePivot_->setTitle(platform::ResText(123));
    OptionPivot_[0]->setText(platform::ResText(126));
    OptionPivot_[1]->setText(platform::ResText(127));
    OptionPivot_[2]->setText(platform::ResText(128));
    Label1_->setText(platform::ResText(124));
    Command1_[0]->setText(platform::ResText(100));
    Command1_[1]->setText(platform::ResText(101));
}

void frmOptionsPeriodes::Form_Load() {
    for (QRadioButton* option : OptionPivot_) {
        option->setBackgroundRole(QPalette::Button);
        option->setAutoFillBackground(true);
    }
    // Filled once: a later repaint must not put the stored scheme back over what was typed.
    const document::PeriodDialogBoxes boxes = document::PeriodDialogFill();
    if (boxes.option >= 0 && boxes.option < 3) {
        OptionPivot_[boxes.option]->setChecked(true);
    }
    if (boxes.option == 1) {
        TxtPivot1_->setText(boxes.TxtPivot1);
    } else if (boxes.option == 2) {
        TxtPivot21_->setText(boxes.TxtPivot21);
        TxtPivot22_->setText(boxes.TxtPivot22);
    }
}

int frmOptionsPeriodes::chosenOption() const {
    for (int i = 0; i < 3; ++i) {
        if (OptionPivot_[i]->isChecked()) {
            return i;
        }
    }
    return -1;
}

void frmOptionsPeriodes::Command1_Click(int index) {
    if (index != 0) {
        reject();
        return;
    }
    document::PeriodDialogBoxes boxes;
    boxes.option = chosenOption();
    boxes.TxtPivot1 = TxtPivot1_->text();
    boxes.TxtPivot21 = TxtPivot21_->text();
    boxes.TxtPivot22 = TxtPivot22_->text();
    const document::PeriodOkResult result = document::PeriodDialogOk(boxes.option, boxes);
    if (result.accepted) {
        accept();
        return;
    }
    if (result.reselectOption >= 0 && result.reselectOption < 3) {
        OptionPivot_[result.reselectOption]->setChecked(true);
    }
    switch (result.focus) {
    case document::PeriodFocus::OptionPivot:
        if (result.reselectOption >= 0 && result.reselectOption < 3) {
            OptionPivot_[result.reselectOption]->setFocus();
        }
        break;
    case document::PeriodFocus::TxtPivot1:
        TxtPivot1_->setFocus();
        break;
    case document::PeriodFocus::TxtPivot21:
        TxtPivot21_->setFocus();
        break;
    case document::PeriodFocus::TxtPivot22:
        TxtPivot22_->setFocus();
        break;
    case document::PeriodFocus::None:
        break;
    }
}

void ShowPeriodDialog(QWidget* parent) {
    frmOptionsPeriodes dialog(parent);
    dialog.exec();
}

} // namespace app

#include "exchange/ImportChooserWindow.h"

#include "exchange/ImportState.h"
#include "platform/ErrorBox.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace exchange {

int StructureId(int systemIndex) {
    static constexpr std::array<int, 9> kIds{690, 691, 692, 693, 694, 695, 696, 697, 698};
    return systemIndex >= 0 && systemIndex < 9 ? kIds[static_cast<std::size_t>(systemIndex)] : 697;
}

frmImportation::frmImportation(QLabel* mailbox, QWidget* parent)
    : QDialog(parent), mailbox_(mailbox), cboImportation_(new QComboBox(this)),
      Frame1_(new QGroupBox(this)) {
    setWindowTitle(QStringLiteral("Importation"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    for (QLabel*& label : lblImportation_) {
        label = new QLabel(this);
    }
    for (QPushButton*& button : cmdImportation_) {
        button = new QPushButton(this);
    }
    QFont bold = font();
    bold.setBold(true);
    lblImportation_[0]->setFont(bold);
    lblImportation_[3]->setFont(bold);
    lblImportation_[5]->setTextFormat(Qt::PlainText);
    lblImportation_[5]->setMinimumHeight(fontMetrics().height() * 3);
    // The preview keeps its lines, and long lines wrap rather than widen the window.
    lblImportation_[5]->setWordWrap(true);
    lblImportation_[5]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(cmdImportation_[0]);
    fileRow->addWidget(lblImportation_[0], 1);
    auto* frame = new QVBoxLayout(Frame1_);
    frame->addWidget(cboImportation_);
    frame->addWidget(lblImportation_[1]);
    frame->addWidget(lblImportation_[3]);
    frame->addWidget(lblImportation_[2]);
    frame->addWidget(lblImportation_[5]);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdImportation_[1]);
    buttons->addWidget(cmdImportation_[2]);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(Frame1_);
    layout->addLayout(buttons);

    for (int i = 0; i < 16; ++i) {
        cboImportation_->addItem(platform::ResText(300 + i));
    }
    cboImportation_->setCurrentIndex(Imports().ImportCoordType);
    for (int i = 0; i < 16; ++i) {
        structures_.append(platform::ResText(StructureId(i)));
    }
    showStructure();
    connect(cboImportation_, &QComboBox::currentIndexChanged, this, [this] { showStructure(); });
    cmdImportation_[0]->setText(platform::ResText(700));
    cmdImportation_[1]->setText(platform::ResText(163));
    cmdImportation_[2]->setText(platform::ResText(164));
    Frame1_->setTitle(platform::ResText(701));
    lblImportation_[1]->setText(platform::ResText(702));
    lblImportation_[2]->setText(platform::ResText(703));
    cmdImportation_[1]->setDefault(true);
    for (int i = 0; i < 3; ++i) {
        connect(cmdImportation_[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { cmdImportation_Click(i); });
    }
}

void frmImportation::showStructure() {
    const int index = cboImportation_->currentIndex();
    lblImportation_[3]->setText(index >= 0 ? structures_.value(index) : QString());
}

void frmImportation::UpdateInfoFile() {
    // The first lines are joined by carriage returns, which a label does not break on.
    QString lines = FirstLines(lblImportation_[0]->text());
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lblImportation_[5]->setText(lines);
}

void frmImportation::cmdImportation_Click(int index) {
    switch (index) {
    case 0: {
        platform::FileDialogRequest request;
        request.filter = QStringLiteral("Fichiers texte (*.txt)|*.txt|Tous les fichiers (*.*)|*.*");
        request.fileName = lblImportation_[0]->text();
        const QString path = platform::CurrentPrompter().openFile(request);
        if (path.isEmpty()) {
            return;
        }
        lblImportation_[0]->setText(path);
        try {
            UpdateInfoFile();
        } catch (const std::exception& e) {
            platform::ShowErrorOf(e);
        }
        return;
    }
    case 1:
        Imports().ImportCoordType = static_cast<std::int16_t>(cboImportation_->currentIndex());
        Imports().ImportCoordFile = lblImportation_[0]->text();
        mailbox_->setText(QString::number(cboImportation_->currentIndex()));
        closedByButton_ = true;
        accept();
        return;
    case 2:
        mailbox_->setText(QStringLiteral("-1"));
        Imports().ImportCoordType = static_cast<std::int16_t>(cboImportation_->currentIndex());
        closedByButton_ = true;
        QDialog::reject();
        return;
    default:
        return;
    }
}

void frmImportation::reject() {
    // The close box and Escape tell the menu to stop, whatever the mailbox held before.
    if (!closedByButton_) {
        mailbox_->setText(QStringLiteral("-1"));
    }
    QDialog::reject();
}

} // namespace exchange

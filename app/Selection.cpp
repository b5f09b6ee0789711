#include "app/Selection.h"

#include "app/FileCommands.h"
#include "document/SelectionFilter.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace app {

Selection::Selection(SelectionHooks hooks, QWidget* parent)
    : QDialog(parent), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Selection"));
    setWindowTitle(QStringLiteral("Sélection avancée"));
    setModal(true);

    OptSelect[0] = new QRadioButton(QStringLiteral("&Tout"));
    OptSelect[1] = new QRadioButton(QStringLiteral("SELECT * FROM DOVAZOV WHERE"));
    TxtSelect = new QLineEdit;
    CmdSelect[0] = new QPushButton(QStringLiteral("Ok"));
    CmdSelect[1] = new QPushButton(QStringLiteral("Annule"));
    for (int i = 0; i < 2; ++i) {
        OptSelect[i]->setObjectName(QStringLiteral("OptSelect%1").arg(i));
        CmdSelect[i]->setObjectName(QStringLiteral("CmdSelect%1").arg(i));
        connect(CmdSelect[i], &QPushButton::clicked, this, [this, i] { CmdSelect_Click(i); });
    }
    TxtSelect->setObjectName(QStringLiteral("TxtSelect"));
    TxtSelect->setMinimumWidth(360);
    CmdSelect[0]->setDefault(true);
    connect(TxtSelect, &QLineEdit::textChanged, this, [this] { TxtSelect_Change(); });

    auto* condition = new QHBoxLayout;
    condition->addWidget(OptSelect[1]);
    condition->addWidget(TxtSelect, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CmdSelect[0]);
    buttons->addWidget(CmdSelect[1]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(OptSelect[0]);
    layout->addLayout(condition);
    layout->addLayout(buttons);

    startAfresh();
}

void Selection::startAfresh() {
    TxtSelect->clear();
    OptSelect[0]->setChecked(true);
}

void Selection::TxtSelect_Change() {
    OptSelect[1]->setChecked(true);
}

void Selection::CmdSelect_Click(int index) {
    if (index == 0) {
        // A long condition lets its wait window take events: the automatic save waits meanwhile.
        const DocumentWork work;
        const document::SelectionOutcome outcome =
            document::ApplySelection(OptSelect[0]->isChecked(), TxtSelect->text());
        if (outcome.label != document::SelectionLabel::Unchanged && hooks_.showSelectionLabel) {
            hooks_.showSelectionLabel(outcome.label == document::SelectionLabel::Shown);
        }
        if (outcome.refreshed && hooks_.dataRefreshed) {
            hooks_.dataRefreshed();
        }
        if (outcome.failed) {
            // The condition stays on screen for the user to mend.
            TxtSelect->setFocus();
            return;
        }
    }
    done(index == 0 ? QDialog::Accepted : QDialog::Rejected);
}

void Selection::reject() {
    CmdSelect_Click(1);
}

void Selection::closeEvent(QCloseEvent* event) {
    startAfresh();
    QDialog::closeEvent(event);
}

} // namespace app

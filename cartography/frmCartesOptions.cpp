#include "cartography/frmCartesOptions.h"

#include "cartography/CartoSettings.h"
#include "cartography/core/MapOption.h"
#include "maps/RegionSymbols.h"
#include "platform/ErrorBox.h"
#include "platform/Prompter.h"
#include "platform/widgets/ScreenFit.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace cartography {

namespace {

const QString kSymbolsKey = QStringLiteral("symboles");
const QString kLayersKey = QStringLiteral("zeb");

} // namespace

frmCartesOptions::frmCartesOptions(MapOption& options, const QString& programFolder,
                                   QWidget* parent)
    : QDialog(parent), options_(options), programFolder_(programFolder) {
    setWindowTitle(QStringLiteral("Options cartographie"));
    setModal(true);
    chooseColor = [this](const QColor& initial) { return QColorDialog::getColor(initial, this); };

    auto* layout = new QVBoxLayout(this);
    TabStrip1 = new QTabBar(this);
    TabStrip1->addTab(QStringLiteral("Symboles"));
    TabStrip1->setTabData(0, kSymbolsKey);
    TabStrip1->addTab(QStringLiteral("ZEB"));
    TabStrip1->setTabData(1, kLayersKey);
    layout->addWidget(TabStrip1);
    pages_ = new QStackedWidget(this);
    layout->addWidget(pages_, 1);

    Frame[0] = new QFrame(pages_);
    auto* symbols = new QGridLayout(Frame[0]);
    lblSymboles[0] = new QLabel(QStringLiteral("Couleur :"), Frame[0]);
    lblColor = new QLabel(Frame[0]);
    lblColor->setFrameShape(QFrame::Box);
    lblColor->setAutoFillBackground(true);
    lblColor->setMinimumSize(48, 20);
    lblColor->installEventFilter(this);
    lblSymboles[1] = new QLabel(QStringLiteral("Diamètre (en m):"), Frame[0]);
    cmbDiametre = new QComboBox(Frame[0]);
    cmbDiametre->setEditable(true);
    cmbDiametre->setInsertPolicy(QComboBox::NoInsert);
    symbols->addWidget(lblSymboles[0], 0, 0);
    symbols->addWidget(lblColor, 0, 1);
    symbols->addWidget(lblSymboles[1], 1, 0);
    symbols->addWidget(cmbDiametre, 1, 1);
    symbols->setRowStretch(2, 1);
    pages_->addWidget(Frame[0]);

    Frame[1] = new QFrame(pages_);
    auto* layers = new QHBoxLayout(Frame[1]);
    lstZEB = new QListWidget(Frame[1]);
    layers->addWidget(lstZEB, 1);
    auto* buttons = new QVBoxLayout;
    cmdZEB[0] = new QPushButton(QStringLiteral("+"), Frame[1]);
    cmdZEB[1] = new QPushButton(QStringLiteral("-"), Frame[1]);
    cmdUpDown[0] = new QToolButton(Frame[1]);
    cmdUpDown[0]->setArrowType(Qt::UpArrow);
    cmdUpDown[1] = new QToolButton(Frame[1]);
    cmdUpDown[1]->setArrowType(Qt::DownArrow);
    for (int i = 0; i < 2; ++i) {
        const auto at = static_cast<std::size_t>(i);
        cmdZEB[at]->setAutoDefault(false);
        buttons->addWidget(cmdZEB[at]);
        connect(cmdZEB[at], &QPushButton::clicked, this, [this, i] { cmdZEB_Click(i); });
    }
    for (int i = 0; i < 2; ++i) {
        const auto at = static_cast<std::size_t>(i);
        buttons->addWidget(cmdUpDown[at]);
        connect(cmdUpDown[at], &QToolButton::clicked, this, [this, i] { cmdUpDown_Click(i); });
    }
    buttons->addStretch();
    layers->addLayout(buttons);
    pages_->addWidget(Frame[1]);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    cmdOptCarte[0] = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOptCarte[1] = new QPushButton(QStringLiteral("&Annuler"), this);
    cmdOptCarte[0]->setDefault(true);
    for (int i = 0; i < 2; ++i) {
        const auto at = static_cast<std::size_t>(i);
        bottom->addWidget(cmdOptCarte[at]);
        connect(cmdOptCarte[at], &QPushButton::clicked, this, [this, i] { cmdOptCarte_Click(i); });
    }
    layout->addLayout(bottom);

    connect(TabStrip1, &QTabBar::tabBarClicked, this,
            [this](int index) { selectTab(TabStrip1->tabData(index).toString()); });
    connect(TabStrip1, &QTabBar::currentChanged, this,
            [this](int index) { selectTab(TabStrip1->tabData(index).toString()); });

    // 4560 by 3855 twips at first; wider when the layer paths need it.
    resize(304, 257);
    pages_->setCurrentWidget(Frame[0]);

    setColor(maps::ColorOf(options_.SymbolColor()));
    cmbDiametre->addItem(QStringLiteral("Auto"));
    cmbDiametre->setEditText(QString::fromStdString(DiameterText(options_.SymbolDiameter())));
    for (std::int32_t i = 1; i <= options_.LayerCount(); ++i) {
        lstZEB->addItem(QString::fromStdString(
            options_.Couche(static_cast<std::int16_t>(i)).value_or(std::string())));
    }
    fitLayerPaths();
}

void frmCartesOptions::fitLayerPaths() {
    // The layer paths show whole, as far as the screen allows: the list is at least as wide as
    // its longest path, and the window widens with it.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lstZEB);
    const int needed = lstZEB->sizeHintForColumn(0) + 2 * lstZEB->frameWidth() + scrollBar;
    const int besideList = width() - lstZEB->width();
    lstZEB->setMinimumWidth(
        std::min(needed, std::max(platform::ClientRoom(*this).width() - besideList, 0)));
    layout()->activate();
    resize(size().expandedTo(minimumSizeHint()));
    platform::KeepWithinScreen(*this);
}

void frmCartesOptions::selectTab(const QString& key) {
    int index = -1;
    if (key == kSymbolsKey) {
        index = 0;
    } else if (key == kLayersKey) {
        index = 1;
    } else {
        return;
    }
    pages_->setCurrentWidget(Frame[static_cast<std::size_t>(index)]);
    const QSignalBlocker block(TabStrip1);
    TabStrip1->setCurrentIndex(index);
}

QString frmCartesOptions::currentTabKey() const {
    return pages_->currentWidget() == Frame[1] ? kLayersKey : kSymbolsKey;
}

void frmCartesOptions::setColor(const QColor& color) {
    color_ = color;
    QPalette palette = lblColor->palette();
    palette.setColor(QPalette::Window, color);
    lblColor->setPalette(palette);
}

void frmCartesOptions::lblColor_MouseUp() {
    try {
        const QColor chosen = chooseColor(color_);
        if (chosen.isValid()) {
            setColor(chosen);
        }
    } catch (const std::exception& e) {
        platform::ShowErrorOf(e);
    }
}

void frmCartesOptions::cmdZEB_Click(int index) {
    if (index == 0) {
        try {
            platform::FileDialogRequest request;
            request.filter =
                QStringLiteral("Fichiers ZEB (*.zeb)|*.zeb|Tous les fichiers (*.*)|*.*");
            request.folder = LayerFolderSetting(programFolder_);
            const QString path = platform::CurrentPrompter().openFile(request);
            if (path.isEmpty()) {
                return;
            }
            lstZEB->addItem(path);
            fitLayerPaths();
            SaveLayerFolderSetting(FolderOf(path));
        } catch (const std::exception& e) {
            platform::ShowErrorOf(e);
        }
        return;
    }
    const int row = lstZEB->currentRow();
    if (row >= 0 && lstZEB->currentItem() && lstZEB->currentItem()->isSelected()) {
        delete lstZEB->takeItem(row);
    }
}

void frmCartesOptions::cmdUpDown_Click(int index) {
    const int row = lstZEB->currentRow();
    if (lstZEB->count() < 2 || row < 0 || !lstZEB->currentItem()->isSelected()) {
        return;
    }
    const int target = index == 0 ? row - 1 : row + 1;
    if (target < 0 || target >= lstZEB->count()) {
        return;
    }
    QListWidgetItem* item = lstZEB->takeItem(row);
    lstZEB->insertItem(target, item);
    lstZEB->setCurrentRow(target);
}

void frmCartesOptions::cmdOptCarte_Click(int index) {
    if (index == 1) {
        options_.SetCancel(true);
        QDialog::reject();
        return;
    }
    std::int32_t diameter = 0;
    try {
        diameter = DiameterFromText(cmbDiametre->currentText().toStdString());
    } catch (const std::exception& e) {
        // A number beyond the 32-bit range: said, and the dialog stays for another try.
        platform::ShowErrorOf(e);
        return;
    }
    options_.SetSymbolColor(maps::ValueOf(color_));
    options_.SetSymbolDiameter(diameter);
    options_.Raz();
    for (int i = 0; i < lstZEB->count(); ++i) {
        options_.Add(lstZEB->item(i)->text().toStdString());
    }
    options_.SetCancel(false);
    accept();
}

void frmCartesOptions::reject() {
    QDialog::reject();
}

bool frmCartesOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblColor && event->type() == QEvent::MouseButtonRelease) {
        lblColor_MouseUp();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmCartesOptions::keyPressEvent(QKeyEvent* event) {
    // Escape is the Cancel button's key; the close box alone leaves the flag as it was.
    if (event->key() == Qt::Key_Escape) {
        cmdOptCarte_Click(1);
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace cartography

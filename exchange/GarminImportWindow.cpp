#include "exchange/GarminImportWindow.h"

#include "document/DocumentState.h"
#include "exchange/GarminImportSettings.h"
#include "exchange/GarminOptionsDialog.h"
#include "exchange/ImportCommands.h"
#include "geodesy/DatumTables.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/widgets/ColumnFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace exchange {

namespace {

constexpr int kTwipsPerPixel = 15;

} // namespace

frmImportGarmin::frmImportGarmin(QString file, int importType, DatumChooser chooseDatum,
                                 QWidget* parent)
    : QDialog(parent), File(std::move(file)), ImportType(importType),
      chooseDatum_(std::move(chooseDatum)), txtHeader_(new QPlainTextEdit(this)),
      cmbGrid_(new QComboBox(this)), lblDatum_(new QLabel(this)),
      cmdChangeDatum_(new QPushButton(QStringLiteral("&Change"), this)), LV_(new QTreeWidget(this)),
      chkAll_(new QCheckBox(QStringLiteral("Check &all selected lines"), this)) {
    setWindowTitle(QStringLiteral("Garmin Import"));
    txtHeader_->setReadOnly(true);
    LV_->setRootIsDecorated(false);
    LV_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LV_->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV_->header()->setSectionsClickable(true);
    LV_->header()->setSortIndicatorShown(false);
    // Positions and descriptions show whole: the columns follow their values.
    platform::KeepColumnsFitted(*LV_);
    // The list has the room: a dozen waypoints at once below a header of a few lines.
    const int line = fontMetrics().lineSpacing();
    txtHeader_->setMaximumHeight(line * 5 + 2 * txtHeader_->frameWidth() + 8);
    LV_->setMinimumHeight(line * 15);

    auto* frame = new QGroupBox(QStringLiteral("Please confirm all the parameters !"), this);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("datum:"), frame), 0, 0);
    grid->addWidget(lblDatum_, 0, 1);
    grid->addWidget(cmdChangeDatum_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Grid system :"), frame), 1, 0);
    grid->addWidget(cmbGrid_, 1, 1, 1, 2);

    const char* captions[] = {"&Ok", "&Cancel", "O&ptions"};
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chkAll_);
    bottom->addStretch();
    for (int i = 2; i >= 0; --i) {
        auto* button = new QPushButton(QLatin1String(captions[i]), this);
        cmdImportGarmin_[static_cast<std::size_t>(i)] = button;
        bottom->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdImportGarmin_Click(i); });
    }
    cmdImportGarmin_[0]->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(new QLabel(QStringLiteral("File header (for information)"), this));
    layout->addWidget(txtHeader_);
    layout->addWidget(LV_, 1);
    layout->addLayout(bottom);

    connect(cmdChangeDatum_, &QPushButton::clicked, this, [this] { cmdChangeDatum_Click(); });
    connect(chkAll_, &QCheckBox::clicked, this, [this] { chkAll_Click(); });
    connect(LV_->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { LV_ColumnClick(column); });

    if (ImportType == 0) {
        for (const QString& name : GpsGridNames()) {
            cmbGrid_->addItem(name);
        }
        cmbGrid_->setCurrentIndex(-1);
        RempliLV(File);
    }
}

void frmImportGarmin::RempliLV(const QString& path) {
    txtHeader_->clear();
    // The waypoints are read again from the file as the list is filled: that may fail too, also
    // while what was read before an error is shown.
    try {
        try {
            ShowFile(ReadGpsWaypointFile(path));
        } catch (const GpsWrongFileType& e) {
            ShowFile(e.partial);
            platform::MsgBox(QStringLiteral("Wrong file type!"), platform::Buttons::Ok,
                             platform::Icon::Critical);
        } catch (const GpsReadError& e) {
            // The window keeps what was read before the error.
            ShowFile(e.partial);
            platform::ShowErrorOf(e);
        }
    } catch (const std::exception& e) {
        platform::ShowErrorOf(e);
    }
}

void frmImportGarmin::ShowFile(const GpsWaypointFile& file) {
    txtHeader_->setPlainText(file.header);
    cmbGrid_->setCurrentIndex(file.grid.value_or(-1));
    lblDatum_->setText(file.datum);
    LV_->clear();
    LV_->setColumnCount(static_cast<int>(file.columns.size()));
    LV_->setHeaderLabels(file.columns);
    for (int k = 0; k < file.columns.size(); ++k) {
        LV_->setColumnWidth(k, GarminColumnWidth(k + 1) / kTwipsPerPixel);
    }
    for (const QStringList& fields : file.waypoints) {
        auto* item = new QTreeWidgetItem(LV_, fields);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
    }
}

QStringList frmImportGarmin::columnTitles() const {
    QStringList titles;
    const QTreeWidgetItem* header = LV_->headerItem();
    for (int k = 0; k < LV_->columnCount(); ++k) {
        titles.append(header->text(k));
    }
    return titles;
}

std::vector<QStringList> frmImportGarmin::rows(bool checkedOnly) const {
    std::vector<QStringList> result;
    for (int i = 0; i < LV_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = LV_->topLevelItem(i);
        if (checkedOnly && item->checkState(0) != Qt::Checked) {
            continue;
        }
        QStringList cells;
        for (int k = 0; k < LV_->columnCount(); ++k) {
            cells.append(item->text(k));
        }
        result.push_back(std::move(cells));
    }
    return result;
}

void frmImportGarmin::ImportMapSource() {
    WaypointImportInput input;
    const int grid = cmbGrid_->currentIndex();
    input.grid = grid >= 0 ? std::optional<int>(grid) : std::nullopt;
    input.datum = lblDatum_->text();
    input.columns = columnTitles();
    input.settings = LoadGarminImportSettings();
    input.freeFields = document::Document().FreeFields;
    input.separator = document::Document().FreeFieldSeparator;
    try {
        ImportWaypointRecords(input, rows(true));
    } catch (const std::exception& e) {
        platform::ShowErrorOf(e);
    }
}

void frmImportGarmin::cmdImportGarmin_Click(int index) {
    switch (index) {
    case 0:
        ImportMapSource();
        accept();
        return;
    case 1:
        reject();
        return;
    case 2: {
        objGraminImport settings = LoadGarminImportSettings();
        frmGarminOptions options(columnTitles(), rows(false), this);
        options.Open(settings);
        options.exec();
        return;
    }
    default:
        return;
    }
}

void frmImportGarmin::cmdChangeDatum_Click() {
    if (!chooseDatum_) {
        return;
    }
    try {
        const QString code = chooseDatum_(lblDatum_->text().left(5).trimmed());
        if (code.isEmpty()) {
            return;
        }
        const geodesy::DatumState& datums = geodesy::Datums();
        const std::string wanted = geodesy::TrimCode(code.toStdString());
        for (int i = 1; i <= datums.datumCount(); ++i) {
            const geodesy::DatumRec& datum = datums.datum(i);
            if (geodesy::TrimCode(datum.Code) != wanted) {
                continue;
            }
            const int mode = platform::Settings().InputMode;
            if ((mode == 2 || mode == 3) && datum.Use < geodesy::kUseUtm) {
                platform::MsgBox(platform::ResText(807) + QLatin1Char('\r') +
                                     QString::fromStdString(datum.Code),
                                 platform::Buttons::Ok, platform::Icon::Critical);
                return;
            }
            lblDatum_->setText(QString::fromStdString(datum.Code));
            lblDatum_->setToolTip(lblDatum_->text());
            return;
        }
    } catch (const std::exception& e) {
        platform::ShowErrorOf(e);
    }
}

void frmImportGarmin::chkAll_Click() {
    const Qt::CheckState state = chkAll_->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (QTreeWidgetItem* item : LV_->selectedItems()) {
        item->setCheckState(0, state);
    }
}

void frmImportGarmin::LV_ColumnClick(int column) {
    sortColumn_ = column;
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (LV_->topLevelItemCount() == 0) {
        return;
    }
    LV_->sortItems(sortColumn_, sortOrder_);
    if (QTreeWidgetItem* current = LV_->currentItem()) {
        LV_->scrollToItem(current);
    }
}

void frmImportGarmin::done(int result) {
    // The widths are kept in twips, column by column; a failure to keep them is no reason to stop.
    for (int k = 0; k < LV_->columnCount(); ++k) {
        SaveGarminColumnWidth(k + 1, LV_->columnWidth(k) * kTwipsPerPixel);
    }
    QDialog::done(result);
}

} // namespace exchange

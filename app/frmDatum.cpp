#include "app/frmDatum.h"

#include "common/Numeric.h"
#include "geodesy/DatumTables.h"
#include "platform/widgets/ColumnFit.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

namespace app {

namespace {

constexpr int kTwipsPerPixel = 15;

int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}

struct Column {
    const char* header;
    int widthTwips;
};
constexpr std::array<Column, 7> kColumns{{{"Code", 780},
                                          {"Name", 2800},
                                          {"Usage", 3000},
                                          {"Ellipsoid", 1840},
                                          {"dx", 500},
                                          {"dy", 500},
                                          {"dz", 500}}};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString ShiftText(double value) {
    return Text(common::CStrDouble(value));
}

} // namespace

frmDatum::frmDatum(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Datum"));
    setModal(true);

    ListView1 = new QTreeWidget(this);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setUniformRowHeights(true);
    ListView1->header()->setSectionsClickable(true);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListView1_ColumnClick(column); });
    // Names and shifts show whole: the columns follow their values.
    platform::KeepColumnsFitted(*ListView1);

    cmdDatum[0] = new QPushButton(QStringLiteral("&Ok"), this);
    cmdDatum[1] = new QPushButton(QStringLiteral("&Close"), this);
    cmdDatum[0]->setDefault(true);
    for (int i = 0; i < 2; ++i) {
        cmdDatum[static_cast<std::size_t>(i)]->adjustSize();
        connect(cmdDatum[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { cmdDatum_Click(i); });
    }
    resize(Pixels(10800), Pixels(6000));
}

void frmDatum::cmdDatum_Click(int index) {
    if (index == 0) {
        const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
        Code = selected.isEmpty() ? QString() : selected.front()->text(0);
    } else {
        Code.clear();
    }
    ListView1->setFocus();
    done(index == 0 ? QDialog::Accepted : QDialog::Rejected);
}

void frmDatum::reject() {
    cmdDatum_Click(1);
}

void frmDatum::closeEvent(QCloseEvent* event) {
    ListView1->setFocus();
    done(QDialog::Rejected);
    event->ignore();
}

void frmDatum::ListView1_ColumnClick(int column) {
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    ListView1->header()->setSortIndicatorShown(true);
    ListView1->header()->setSortIndicator(column, sortOrder_);
    ListView1->sortItems(column, sortOrder_);
}

void frmDatum::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmDatum::Form_Resize() {
    const int innerWidth = width();
    const int innerHeight = height();
    if (innerWidth < Pixels(4000) || innerHeight < Pixels(4000)) {
        return;
    }
    QPushButton* ok = cmdDatum[0];
    QPushButton* close = cmdDatum[1];
    ok->move(innerWidth - ok->width() - Pixels(50), innerHeight - ok->height() - Pixels(50));
    close->move(innerWidth - close->width() - Pixels(50), ok->y() - close->height() - Pixels(100));
    ListView1->setGeometry(0, 0, innerWidth - ok->width() - Pixels(100), innerHeight);
}

void frmDatum::Preselect(const QString& code) {
    const QString wanted = code.trimmed();
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListView1->topLevelItem(i);
        if (item->text(0).trimmed() == wanted) {
            ListView1->setCurrentItem(item);
            item->setSelected(true);
            ListView1->scrollToItem(item);
            return;
        }
    }
}

void RempliListesDatums(frmDatum& window) {
    QTreeWidget* list = window.ListView1;
    list->clear();
    QStringList headers;
    for (const Column& column : kColumns) {
        headers << QString::fromLatin1(column.header);
    }
    list->setColumnCount(static_cast<int>(kColumns.size()));
    list->setHeaderLabels(headers);
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        list->setColumnWidth(static_cast<int>(i), Pixels(kColumns[i].widthTwips));
    }

    const geodesy::DatumState& datums = geodesy::Datums();
    QList<QTreeWidgetItem*> rows;
    for (int i = 1; i <= datums.datumCount(); ++i) {
        const geodesy::DatumRec& datum = datums.DatumTable[static_cast<std::size_t>(i)];
        const bool hasEllipsoid = datum.ELLI_ID >= 1 && datum.ELLI_ID <= datums.ellipsoidCount();
        const QString ellipsoid =
            hasEllipsoid
                ? Text(datums.EllipsoidTable[static_cast<std::size_t>(datum.ELLI_ID)].ELLI_NAME)
                : QString();
        rows << new QTreeWidgetItem(QStringList{Text(datum.Code), Text(datum.Name),
                                                Text(datum.Applic), ellipsoid, ShiftText(datum.dx),
                                                ShiftText(datum.dy), ShiftText(datum.dz)});
    }
    list->addTopLevelItems(rows);
}

QString RunDatumChooser(frmDatum& window, const QString& currentCode) {
    window.Preselect(currentCode);
    window.exec();
    return window.Code;
}

bool IsUtmOrMgrs(int inputMode) {
    return inputMode == 2 || inputMode == 3;
}

DatumChoice CheckDatumChoice(const QString& code, bool utmOrMgrs) {
    DatumChoice choice;
    if (code.isEmpty()) {
        return choice;
    }
    const geodesy::DatumState& datums = geodesy::Datums();
    const std::string wanted = code.toStdString();
    for (int i = 1; i <= datums.datumCount(); ++i) {
        const geodesy::DatumRec& datum = datums.DatumTable[static_cast<std::size_t>(i)];
        if (datum.Code == wanted) {
            choice.index = i;
            choice.code = Text(datum.Code);
            choice.outcome = utmOrMgrs && datum.Use < geodesy::kUseUtm
                                 ? DatumChoice::Outcome::Refused
                                 : DatumChoice::Outcome::Accepted;
            return choice;
        }
    }
    choice.outcome = DatumChoice::Outcome::NotFound;
    return choice;
}

} // namespace app

#include "gazetteer/frmGeoQuery.h"

#include "common/AppError.h"
#include "gazetteer/GazetteerSource.h"
#include "gazetteer/PlaceListModel.h"
#include "gazetteer/frmGeoSetup.h"
#include "geodesy/DatumTables.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <exception>

namespace gazetteer {

namespace {

const QString kApplication = QStringLiteral("DOVAZOV");
const QString kSection = QStringLiteral("GeoQuery");
constexpr int kTwipsPerPixel = 15;

struct ColumnSpec {
    const char* caption;
    int defaultWidth; // twips
};
constexpr ColumnSpec kColumns[kColumnCount] = {
    {"Name", 2000},   {"FIPS", 800},    {"Country", 1800},  {"Prov", 1800},      {"Feature", 800},
    {"LatDMS", 1200}, {"LonDMS", 1200}, {"Latitude", 1200}, {"Longitude", 1200}, {"L_Code", 500}};

int Stored(const QString& key, int defaultValue) {
    return platform::GetSetting(kApplication, kSection, key, QString::number(defaultValue)).toInt();
}

// The small icons of the designations: a sign in a colour per kind of place.
QIcon DesignationIcon(const QString& key) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("STM")) {
        painter.setPen(QPen(QColor(30, 90, 200), 2));
        painter.drawLine(2, 6, 14, 10);
    } else if (key == QLatin1String("MT")) {
        painter.setBrush(QColor(140, 90, 40));
        painter.drawPolygon(QPolygon({QPoint(1, 14), QPoint(8, 2), QPoint(15, 14)}));
    } else if (key == QLatin1String("PPL")) {
        painter.setBrush(QColor(200, 30, 30));
        painter.drawEllipse(3, 3, 10, 10);
    } else if (key == QLatin1String("FRST")) {
        painter.setBrush(QColor(30, 140, 50));
        painter.drawEllipse(2, 1, 12, 10);
        painter.drawRect(7, 10, 2, 5);
    } else {
        painter.setBrush(QColor(220, 190, 40));
        painter.drawRect(3, 3, 10, 10);
    }
    return QIcon(pixmap);
}

bool DatumKnown(const QString& code) {
    try {
        return geodesy::DatumIndex(code.toStdString()) != 0;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

frmGeoQuery::frmGeoQuery(GazetteerHost host, QWidget* parent)
    : QDialog(parent), host_(std::move(host)) {
    setObjectName(QStringLiteral("frmGeoQuery"));
    txt = new QLineEdit(this);
    cmd[0] = new QPushButton(QStringLiteral("Recherche exacte"), this);
    cmd[1] = new QPushButton(QStringLiteral("Recherche approx."), this);
    cmdSetup = new QPushButton(QStringLiteral("Setup"), this);
    lblNbre = new QLabel(this);
    ListView1 = new QTableView(this);
    PicName = new QLabel(this);
    PicName->setMinimumHeight(32);

    for (QPushButton* button : {cmd[0], cmdSetup}) {
        button->setAutoDefault(false);
    }
    cmd[1]->setDefault(true);

    QStringList captions;
    for (const ColumnSpec& column : kColumns) {
        captions << QString::fromLatin1(column.caption);
    }
    places_ = new PlaceListModel(
        captions,
        [this](const QString& key) {
            auto found = ImageList1.find(key);
            if (found == ImageList1.end()) {
                found = ImageList1.insert(key, DesignationIcon(key));
            }
            return *found;
        },
        this);
    ListView1->setModel(places_);
    ListView1->setShowGrid(true);
    ListView1->setWordWrap(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setTabKeyNavigation(false);
    ListView1->setIconSize(QSize(16, 16));
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setDefaultSectionSize(
        std::max(16, ListView1->fontMetrics().height()) + 4);
    ListView1->horizontalHeader()->setHighlightSections(false);
    for (int i = 0; i < kColumnCount; ++i) {
        ListView1->setColumnWidth(
            i,
            Stored(QStringLiteral("Col%1").arg(i + 1), kColumns[i].defaultWidth) / kTwipsPerPixel);
    }
    ListView1->horizontalHeader()->setSectionsClickable(true);
    ListView1->installEventFilter(this);
    txt->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(txt, 1);
    top->addWidget(cmd[0]);
    top->addWidget(cmd[1]);
    top->addWidget(cmdSetup);
    top->addWidget(lblNbre);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ListView1, 1);
    layout->addWidget(PicName);

    setGeometry(Stored(QStringLiteral("Left"), 300) / kTwipsPerPixel,
                Stored(QStringLiteral("Top"), 300) / kTwipsPerPixel,
                Stored(QStringLiteral("Width"), 6720) / kTwipsPerPixel,
                Stored(QStringLiteral("Height"), 4830) / kTwipsPerPixel);
    fonts_ = LoadGeoFonts();

    connect(cmd[0], &QPushButton::clicked, this, [this] { cmd_Click(0); });
    connect(cmd[1], &QPushButton::clicked, this, [this] { cmd_Click(1); });
    connect(cmdSetup, &QPushButton::clicked, this, [this] { cmdSetup_Click(); });
    connect(ListView1, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { AfficheNom(index.row()); });
    connect(ListView1, &QAbstractItemView::doubleClicked, this, [this] { ListView1_DblClick(); });
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListView1_ColumnClick(column); });
    setCaptions();
}

frmGeoQuery::~frmGeoQuery() = default;

void frmGeoQuery::setCaptions() {
    // Titled as the record editor's button that opens it, in the chosen language.
    setWindowTitle(platform::ResText(767).remove(QLatin1Char('&')));
    cmd[0]->setText(platform::ResText(768));
    cmd[1]->setText(platform::ResText(769));
    cmdSetup->setText(platform::ResText(770));
}

std::optional<PickedPlace> frmGeoQuery::choose() {
    picked_.reset();
    setCaptions();
    txt->setFocus();
    txt->selectAll();
    exec();
    return picked_;
}

void frmGeoQuery::cmd_Click(int index) {
    const platform::ProgramSettings& mapping = platform::Settings();
    try {
        PlaceHits hits;
        {
            // A search may wait for the reading under way in the background.
            const platform::WaitCursor wait;
            if (txt->text().isEmpty()) {
                // Opened all the same, so that a missing database shows.
                searcher_.open(mapping);
                places_->clear();
                platform::BeepUnlessSilent();
                return;
            }
            // The search opens the database and reports what fails before the list changes.
            hits = searcher_.search(mapping, txt->text(), index == 0);
        }
        fillList(std::move(hits));
    } catch (const common::AppError& error) {
        errorPath(error.number(), QString::fromStdString(error.description()));
    } catch (const std::exception& error) {
        errorPath(common::kDatabaseError, QString::fromUtf8(error.what()));
    }
}

void frmGeoQuery::fillList(PlaceHits hits) {
    const std::size_t count = hits.ids.size();
    places_->setHits(std::move(hits));
    lblNbre->setText(count == 0 ? QStringLiteral("0") : QLatin1Char(' ') + QString::number(count));
    if (count == 0) {
        return;
    }
    ListView1->setFocus();
    // The list was emptied, so no row is selected: the first one is.
    ListView1->setCurrentIndex(places_->index(0, 0));
    AfficheNom(0);
}

void frmGeoQuery::errorPath(int number, const QString& description) {
    platform::MsgBox(QStringLiteral("Error during database Query\r") + description +
                     QString::number(number));
    if (number == kDatabaseFileNotFound || number == kDatabasePathNotFound) {
        cmdSetup_Click();
        return;
    }
    // The window is put back as a fresh one would be, and its modal display ends.
    places_->clear();
    lblNbre->clear();
    txt->clear();
    saveGeometry();
    reject();
}

void frmGeoQuery::cmdSetup_Click() {
    {
        frmGeoSetup setup(host_, this);
        setup.exec();
    }
    // Another gazetteer, or other fields, are read afresh.
    prepareSearch();
}

void frmGeoQuery::ListView1_DblClick() {
    const QModelIndex current = ListView1->currentIndex();
    if (!current.isValid() || !ListView1->selectionModel()->isRowSelected(current.row())) {
        return;
    }
    const QString datum = platform::Settings().LocalitiesDatum;
    if (!datum.isEmpty() && !DatumKnown(datum)) {
        platform::MsgBox(QStringLiteral("The gazetteer's datum \"%1\" is not in the datum table: "
                                        "choose its datum in the gazetteer setup. The place is "
                                        "not taken over.")
                             .arg(datum),
                         platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    picked_ = PlaceOfRow(places_->row(current.row()));
    txt->setFocus();
    accept();
}

void frmGeoQuery::ListView1_ColumnClick(int column) {
    // The model sorts itself: the view's own sorting stays off, since switching it off again
    // would also make the header stop taking clicks.
    ascending_ = !ascending_;
    places_->sort(column, ascending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    const QModelIndex current = ListView1->currentIndex();
    if (current.isValid() && ListView1->selectionModel()->isRowSelected(current.row())) {
        ListView1->scrollTo(current);
    }
}

void frmGeoQuery::AfficheNom(int row) {
    if (row < 0 || row >= places_->rowCount()) {
        return;
    }
    const PlaceRow& texts = places_->row(row);
    const int code = static_cast<int>(std::lround(texts[kLanguage].toDouble()));
    QFont font = PicName->font();
    if (code >= 1 && code <= static_cast<int>(fonts_.size())) {
        const GeoFont& geoFont = fonts_[static_cast<std::size_t>(code - 1)];
        font.setFamily(geoFont.Name);
        font.setPointSize(std::max<int>(1, geoFont.Size));
    }
    PicName->setFont(font);
    PicName->setText(texts[0]);
}

bool frmGeoQuery::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
        if (watched == ListView1 && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            ListView1_DblClick();
            return true;
        }
    } else if (watched == txt && event->type() == QEvent::FocusIn) {
        QMetaObject::invokeMethod(txt, &QLineEdit::selectAll, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

void frmGeoQuery::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmGeoQuery::prepareSearch() {
    searcher_.prepare(platform::Settings());
}

void frmGeoQuery::showEvent(QShowEvent* event) {
    prepareSearch();
    QDialog::showEvent(event);
}

void frmGeoQuery::closeEvent(QCloseEvent* event) {
    saveGeometry();
    QDialog::closeEvent(event);
}

void frmGeoQuery::saveGeometry() const {
    const auto save = [](const QString& key, int pixels) {
        platform::SaveSetting(kApplication, kSection, key,
                              QString::number(pixels * kTwipsPerPixel));
    };
    save(QStringLiteral("Left"), x());
    save(QStringLiteral("Top"), y());
    save(QStringLiteral("Width"), width());
    save(QStringLiteral("Height"), height());
    for (int i = 0; i < kColumnCount; ++i) {
        save(QStringLiteral("Col%1").arg(i + 1), ListView1->columnWidth(i));
    }
}

} // namespace gazetteer

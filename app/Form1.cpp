#include "app/Form1.h"

#include "app/ColumnSelection.h"
#include "app/DesktopOpener.h"
#include "app/HelpPages.h"
#include "app/Prefer.h"
#include "app/RecordEditorHost.h"
#include "app/RecordTableModel.h"
#include "app/Selection.h"
#include "app/Start.h"
#include "app/Utilities.h"
#include "app/WorkingFolder.h"
#include "app/frmDatum.h"
#include "app/frmMessage.h"
#include "app/frmOptionsPeriodes.h"
#include "cartography/frmCarte.h"
#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/DatumDatabase.h"
#include "document/DocumentState.h"
#include "document/SortAndBlank.h"
#include "document/WorkDatabase.h"
#include "exchange/ExportCommands.h"
#include "platform/ErrorBox.h"
#include "platform/Feedback.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"
#include "platform/widgets/ScreenFit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>

namespace app {

namespace {

constexpr double kTwipsPerPixel = 15.0;

int ToPixels(float twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
float ToTwips(int pixels) {
    return static_cast<float>(pixels * kTwipsPerPixel);
}
// A length as written back: the loaded twips while the screen still shows them, so that an
// unchanged 734-twip column is not stored as 735.
float CurrentTwips(float loaded, int pixels) {
    return ToPixels(loaded) == pixels ? loaded : ToTwips(pixels);
}

// The grid as the record commands see it.
class Form1RecordGrid final : public RecordGrid {
public:
    explicit Form1RecordGrid(Form1& form) : form_(form) {}

    std::int64_t currentBookmark() const override {
        const int current = form_.TDBGrid1->currentPosition();
        return current >= 0 ? form_.model->bookmarkAt(current) : 0;
    }
    int currentColumn() const override {
        const QModelIndex current = form_.TDBGrid1->currentIndex();
        return current.isValid() ? current.column() : -1;
    }
    std::vector<std::int64_t> selectedBookmarks() const override {
        return form_.SelectedBookmarks();
    }
    int selStartCol() const override { return form_.columnSelection->first(); }
    int selEndCol() const override { return form_.columnSelection->last(); }
    void selectColumns(int first, int last) override {
        form_.columnSelection->select(first, last);
        form_.TDBGrid1->viewport()->update();
    }
    void showRecords() override { form_.RefreshGrid(); }
    void selectOnly(std::int64_t bookmark) override { form_.SelectOnlyRow(bookmark); }
    void addSelected(std::int64_t bookmark) override { form_.AddSelectedRow(bookmark); }

private:
    Form1& form_;
};

} // namespace

QRect KeepOnScreen(const QRect& wanted, const QList<QRect>& screens) {
    if (screens.isEmpty()) {
        return wanted;
    }
    // The title bar: the window can be grabbed and moved when a good part of it shows.
    const QRect titleBar(wanted.left(), wanted.top(), wanted.width(), 30);
    for (const QRect& screen : screens) {
        const QRect shown = screen.intersected(titleBar);
        if (shown.width() >= std::min(100, wanted.width()) && shown.height() > 0) {
            return wanted;
        }
    }
    const QRect& first = screens.front();
    const int width = std::clamp(wanted.width(), 1, first.width());
    const int height = std::clamp(wanted.height(), 1, first.height());
    return {first.left(), first.top(), width, height};
}

std::vector<int> RangeRows(int anchor, int clicked) {
    std::vector<int> rows;
    const int step = clicked >= anchor ? 1 : -1;
    for (int row = anchor;; row += step) {
        rows.push_back(row);
        if (row == clicked) {
            break;
        }
    }
    return rows;
}

QString PositionText(long position, long count) {
    return QString::number(position) + QLatin1Char('/') + QString::number(count);
}

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
    qtLanguage_.follow(platform::Langue());
    endProgram = [] { QCoreApplication::quit(); };
    openHelp = [](const QString& path) { OpenHelpPage(path); };
    openRecordEditor = [this] { ShowRecordEditor(*this); };
    chooseColor = [](const QColor& initial) { return ShowColorDialog(initial); };
    recordGrid_ = std::make_unique<Form1RecordGrid>(*this);
    setWindowTitle(QStringLiteral("DOVazov"));
    buildMenus();
    buildCentralWidget();

    StatusBar1 = statusBar();
    StatusPanel[0] = new QLabel(StatusBar1);
    StatusPanel[1] = new QLabel(StatusBar1);
    ProgressBar1 = new QProgressBar(StatusBar1);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setMaximumWidth(240);
    ProgressBar1->hide();
    StatusBar1->addWidget(StatusPanel[0], 1);
    StatusBar1->addWidget(StatusPanel[1], 1);
    StatusBar1->addPermanentWidget(ProgressBar1);

    feedback_ = std::make_unique<WaitWindowFeedback>(ProgressBar1, this);
    platform::SetFeedback(feedback_.get());

    datumChooser = new frmDatum(this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(AutoSaveTimer::kIntervalMs);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Timer1->start();

    // The document menus wait for a document.
    for (QAction* item :
         {MnuEnregistrer, MnuEnrSous, MnuGrouper, MnuFusionner, MnuExporter->menuAction(),
          MnuImporter->menuAction(), MnuEdition->menuAction(), MnuVisualiser->menuAction(),
          MnuOptionsPeriodes}) {
        item->setEnabled(false);
    }
}

Form1::~Form1() {
    if (&platform::CurrentFeedback() == feedback_.get()) {
        platform::SetFeedback(nullptr);
    }
}

QAction* Form1::addItem(QMenu* menu, const QString& caption, void (Form1::*handler)()) {
    QAction* item = menu->addAction(caption);
    connect(item, &QAction::triggered, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
    return item;
}

QAction* Form1::addStub(QMenu* menu, const QString& caption) {
    return addItem(menu, caption, &Form1::NotAvailable);
}

void Form1::OpenRecordEditor() {
    openRecordEditor();
}

void Form1::MnuPreferences_Click() {
    PreferHooks hooks;
    hooks.gridShown = [] { return document::Data1().bound(); };
    hooks.chooseDatum = [this](const QString& code) {
        return RunDatumChooser(*datumChooser, code);
    };
    hooks.datumRecomputed = [this](const QString& code) {
        StatusPanel[1]->setText(code);
        RefreshGrid();
    };
    ShowPreferences(hooks, this);
    // The numeric labels may have changed: the grid takes its captions again.
    InitTDBgrid();
}

void Form1::MnuSelection_Click() {
    if (selection == nullptr) {
        selection = new Selection(
            {[this](bool visible) { lbl1->setVisible(visible); }, [this] { RefreshGrid(); }}, this);
    }
    selection->exec();
}

void Form1::NotAvailable() {
    platform::MsgBox(platform::ResText(650));
}

void Form1::buildMenus() {
    QMenuBar* bar = menuBar();

    mnuFichier = bar->addMenu(QStringLiteral("&Fichier"));
    MnuNouveau = addItem(mnuFichier, QStringLiteral("&Nouveau"), &Form1::MnuNouveau_Click);
    MnuOuvrir = addItem(mnuFichier, QStringLiteral("&Ouvrir"), &Form1::MnuOuvrir_Click);
    mnuFichier->addSeparator();
    MnuEnregistrer =
        addItem(mnuFichier, QStringLiteral("&Enregistrer"), &Form1::MnuEnregistrer_Click);
    MnuEnrSous = addItem(mnuFichier, QStringLiteral("En&registrer sous"), &Form1::MnuEnrSous_Click);
    MnuGrouper =
        addItem(mnuFichier, QStringLiteral("&Grouper et enregistrer"), &Form1::MnuGrouper_Click);
    mnuFichier->addSeparator();
    MnuFusionner = addItem(mnuFichier, QStringLiteral("&Fusionner"), &Form1::MnuFusionner_Click);
    MnuImporter = mnuFichier->addMenu(QStringLiteral("&Importer..."));
    mnuImport[0] = addStub(MnuImporter, QStringLiteral("Fichier &Ascii"));
    mnuImport[1] = addStub(MnuImporter, QStringLiteral("Garmin &PCX5 2.07"));
    mnuImportGarminMenu = MnuImporter->addMenu(QStringLiteral("&Garmin Mapsource 4"));
    mnuImport[2] = mnuImportGarminMenu->menuAction();
    mnuImportGarmin[0] = addStub(mnuImportGarminMenu, QStringLiteral("&Waypoints"));
    mnuImportGarmin[1] = mnuImportGarminMenu->addAction(QStringLiteral("&Tracks"));
    connectImports();
    MnuExporter = mnuFichier->addMenu(QStringLiteral("E&xporter..."));
    MnuExpAscii = MnuExporter->addMenu(QStringLiteral("Fichier &Ascii"));
    for (int i = 0; i < static_cast<int>(MnuExpAsciiMode.size()); ++i) {
        QAction* item = MnuExpAscii->addAction(QString());
        connect(item, &QAction::triggered, this,
                [this, i] { Guarded([this, i] { exchange::MnuExpAsciiMode_Click(this, i); }); });
        MnuExpAsciiMode[static_cast<std::size_t>(i)] = item;
    }
    for (int i = 0; i < static_cast<int>(MnuExpDB.size()); ++i) {
        QAction* item = MnuExporter->addAction(QString());
        connect(item, &QAction::triggered, this, [this, i] {
            Guarded([this, i] {
                exchange::MnuExpDB_Click(this, i, BoxTitre->text(), Commentaire->text());
            });
        });
        MnuExpDB[static_cast<std::size_t>(i)] = item;
    }
    MnuExpDB[4]->setText(QStringLiteral("Fichier Excel"));
    mnuFichier->addSeparator();
    MnuQuitter = addItem(mnuFichier, QStringLiteral("&Quitter"), &Form1::MnuQuitter_Click);
    MnuLastFile[0] = mnuFichier->addSeparator();
    MnuLastFile[0]->setVisible(false);

    MnuEdition = bar->addMenu(QStringLiteral("&Edition"));
    for (int i = 0; i < static_cast<int>(mnuChercher.size()); ++i) {
        QAction* item = MnuEdition->addAction(QString());
        item->setShortcut(i == 0 ? QKeySequence(Qt::CTRL | Qt::Key_F) : QKeySequence(Qt::Key_F3));
        connect(item, &QAction::triggered, this,
                [this, i] { Guarded([this, i] { mnuChercher_Click(i); }); });
        mnuChercher[static_cast<std::size_t>(i)] = item;
    }
    // Find next waits for a first successful Find.
    mnuChercher[1]->setEnabled(false);
    MnuAjoutLigne = MnuEdition->addAction(QString());
    connect(MnuAjoutLigne, &QAction::triggered, this, [this] {
        Guarded([this] {
            if (const auto last = document::AjoutLignes()) {
                RefreshGrid();
                TDBGrid1->setCurrentPosition(model->rowOfBookmark(*last),
                                             QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
            }
        });
    });
    mnuDuplic = addItem(MnuEdition, {}, &Form1::mnuDuplic_Click);
    mnuDuplic->setShortcut(QKeySequence(Qt::Key_F6));
    MnuEraseCol = addItem(MnuEdition, {}, &Form1::MnuEraseCol_Click);
    MnuSupprimer = addItem(MnuEdition, {}, &Form1::MnuSupprimer_Click);
    MnuSelection =
        addItem(MnuEdition, QStringLiteral("Sélection a&vancée..."), &Form1::MnuSelection_Click);
    MnuEdition->addSeparator();
    MnuRemplir = MnuEdition->addMenu(QString());
    for (QAction*& item : MnuRemplirCoo) {
        item = addStub(MnuRemplir, {});
    }
    for (QAction*& item : MnuRemplirXY) {
        item = addStub(MnuRemplir, {});
    }
    MnuRemplirXY[3]->setText(QStringLiteral("&IFBL"));
    MnuRemplirTexte = addStub(MnuRemplir, {});
    QMenu* ajuster = MnuEdition->addMenu(QString());
    MnuAjuster = ajuster->menuAction();
    mnuAjustGrid[0] = addStub(ajuster, QStringLiteral("&UTM - British Grid - Irish Grid..."));
    mnuAjustGrid[1] = addStub(ajuster, QStringLiteral("&Degrés Greenwich..."));
    mnuAjustGrid[2] = addStub(ajuster, QStringLiteral("&Grades Paris"));
    mnuAjustGridIFBL = ajuster->addMenu(QStringLiteral("&IFBL"));
    mnuAjustIFBL[0] = addStub(mnuAjustGridIFBL, QStringLiteral("32 x 20 km"));
    mnuAjustIFBL[1] = addStub(mnuAjustGridIFBL, QStringLiteral("4 x 4 km"));
    mnuAjustIFBL[2] = addStub(mnuAjustGridIFBL, QStringLiteral("1 x 1 km"));
    connectBatchCommands();

    MnuVisualiser = bar->addMenu(QString());
    MnuVisMonde = addStub(MnuVisualiser, {});
    MnuVisEurope = MnuVisualiser->addMenu(QString());
    for (QAction*& item : mnuEurope) {
        item = addStub(MnuVisEurope, {});
    }
    MnuVisAsiEur = addStub(MnuVisualiser, {});
    MnuVisAfrica = addStub(MnuVisualiser, {});
    MnuVisNamer = addStub(MnuVisualiser, {});
    MnuVisSamer = addStub(MnuVisualiser, {});
    MnuVisAsiocea = addStub(MnuVisualiser, {});
    MnuVisualiser->addSeparator();
    mnuVisOther = addStub(MnuVisualiser, {});

    mnuOptions = bar->addMenu(QString());
    MnuPreferences = addItem(mnuOptions, {}, &Form1::MnuPreferences_Click);
    MnuOptionsPeriodes = mnuOptions->addAction(QString());
    connect(MnuOptionsPeriodes, &QAction::triggered, this,
            [this] { Guarded([this] { ShowPeriodDialog(this); }); });
    MnuCouleurs = mnuOptions->addMenu(QString());
    MnuGrille = addItem(MnuCouleurs, {}, &Form1::MnuGrille_Click);
    MnuTxtGrille = addItem(MnuCouleurs, {}, &Form1::MnuTxtGrille_Click);
    MnuOptionsCartes = addStub(mnuOptions, {});
    connectRegionMaps();
    MnuLangue = mnuOptions->addMenu(QString());
    for (int i = 0; i < static_cast<int>(MnuLang.size()); ++i) {
        MnuLang[static_cast<std::size_t>(i)] = MnuLangue->addAction(QString());
        connect(MnuLang[static_cast<std::size_t>(i)], &QAction::triggered, this,
                [this, i] { Guarded([this, i] { MnuLang_Click(i); }); });
    }

    MnuAide = bar->addMenu(QString());
    for (int i = 0; i < static_cast<int>(MnuInfo.size()); ++i) {
        MnuInfo[static_cast<std::size_t>(i)] = MnuAide->addAction(QString());
        connect(MnuInfo[static_cast<std::size_t>(i)], &QAction::triggered, this,
                [this, i] { Guarded([this, i] { MnuInfo_Click(i); }); });
    }
}

void Form1::buildCentralWidget() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* bar = new QHBoxLayout;
    // Open, Save, New, Edit, Find, Delete.
    const std::array<QStyle::StandardPixmap, 6> icons{
        QStyle::SP_DialogOpenButton,       QStyle::SP_DialogSaveButton,       QStyle::SP_FileIcon,
        QStyle::SP_FileDialogDetailedView, QStyle::SP_FileDialogContentsView, QStyle::SP_TrashIcon};
    for (std::size_t i = 0; i < cmd.size(); ++i) {
        cmd[i] = new QPushButton(style()->standardIcon(icons[i]), QString(), central);
        const int index = static_cast<int>(i);
        connect(cmd[i], &QPushButton::clicked, this,
                [this, index] { Guarded([this, index] { cmd_Click(index); }); });
        bar->addWidget(cmd[i]);
    }
    // First and last record, then the cartography window.
    const std::array<QStyle::StandardPixmap, 2> ends{QStyle::SP_MediaSkipBackward,
                                                     QStyle::SP_MediaSkipForward};
    for (std::size_t i = 0; i < cmdFirstLast.size(); ++i) {
        cmdFirstLast[i] = new QPushButton(style()->standardIcon(ends[i]), QString(), central);
        const int index = static_cast<int>(i);
        connect(cmdFirstLast[i], &QPushButton::clicked, this,
                [this, index] { cmdFirstLast_Click(index); });
        bar->addWidget(cmdFirstLast[i]);
    }
    cmdMap = new QPushButton(style()->standardIcon(QStyle::SP_DesktopIcon), QString(), central);
    connect(cmdMap, &QPushButton::clicked, this, [this] { Guarded([this] { cmdMap_Click(); }); });
    bar->addWidget(cmdMap);
    bar->addSpacing(16);

    Picture1 = new QWidget(central);
    auto* sortLayout = new QHBoxLayout(Picture1);
    sortLayout->setContentsMargins(0, 0, 0, 0);
    LblTri = new QLabel(Picture1);
    CmbTri = new QComboBox(Picture1);
    CmbTri->setMinimumContentsLength(16);
    OptTri[0] = new QRadioButton(Picture1);
    OptTri[1] = new QRadioButton(Picture1);
    OptTri[0]->setChecked(true);
    sortLayout->addWidget(LblTri);
    sortLayout->addWidget(CmbTri);
    sortLayout->addWidget(OptTri[0]);
    sortLayout->addWidget(OptTri[1]);
    connect(CmbTri, &QComboBox::activated, this, [this] { Guarded([this] { CmbTri_Click(); }); });
    for (int i = 0; i < 2; ++i) {
        connect(OptTri[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { Guarded([this, i] { OptTri_Click(i); }); });
    }
    Picture1->hide();
    bar->addWidget(Picture1);
    lbl1 = new QLabel(QStringLiteral("SELECTION!"), central);
    lbl1->hide();
    bar->addWidget(lbl1);
    bar->addStretch(1);
    layout->addLayout(bar);

    auto* boxes = new QGridLayout;
    LabelTitre = new QLabel(central);
    BoxTitre = new QLineEdit(central);
    LabelCommentaire = new QLabel(central);
    Commentaire = new QLineEdit(central);
    boxes->addWidget(LabelTitre, 0, 0);
    boxes->addWidget(BoxTitre, 0, 1);
    boxes->addWidget(LabelCommentaire, 1, 0);
    boxes->addWidget(Commentaire, 1, 1);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{LabelTitre, BoxTitre, LabelCommentaire, Commentaire}) {
        widget->hide();
    }
    // Only what the user types changes the document; texts the program sets do not.
    connect(BoxTitre, &QLineEdit::textEdited, this, [this] { BoxTitre_Change(); });
    connect(Commentaire, &QLineEdit::textEdited, this, [this] { Commentaire_Change(); });
    layout->addLayout(boxes);

    Variable = new QLabel(central);
    Variable->hide();

    model = new RecordTableModel(this);
    TDBGrid1 = new RecordGridView(central);
    SetUpRecordGrid(*TDBGrid1, *model);
    TDBGrid1->viewport()->installEventFilter(this);
    columnSelection = new ColumnSelection(TDBGrid1);
    TDBGrid1->setItemDelegate(columnSelection);
    // A click on a column header selects that column; with shift, the run from the first one.
    connect(TDBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        columnSelection->click(column, QGuiApplication::keyboardModifiers() == Qt::ShiftModifier);
        TDBGrid1->viewport()->update();
    });
    TDBGrid1->hide();
    // Until a document comes, a plain area where the grid will be keeps the command bar at the top.
    auto* emptyArea = new QFrame(central);
    emptyArea->setFrameShape(QFrame::StyledPanel);
    emptyArea->setFrameShadow(QFrame::Sunken);
    EmptyArea = emptyArea;
    EmptyArea->setObjectName(QStringLiteral("EmptyArea"));
    EmptyArea->setBackgroundRole(QPalette::Base);
    EmptyArea->setAutoFillBackground(true);
    layout->addWidget(EmptyArea, 1);
    connect(TDBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { Guarded([this] { TDBGrid1_RowColChange(); }); });
    // The row header's double click asks for the record editor.
    connect(TDBGrid1->verticalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this] { Guarded([this] { openRecordEditor(); }); });
    layout->addWidget(TDBGrid1, 1);

    setCentralWidget(central);
}

void Form1::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        platform::ShowErrorOf(error);
    }
}

bool Form1::Form_Load(const QString& commandLine, QWidget* startScreen) {
    try {
        platform::WaitCursor hourglass;
        AppPath() = QCoreApplication::applicationDirPath();
        if (ProgramFolder().isEmpty()) {
            ProgramFolder() = AppPath();
        }
        CreateRunWorkDatabase(WorkingDirSetting());
        windowSettings_.GridBackColor = kButtonFaceColor;
        if (document::LoadDatums(ProgramFolder()) == document::DatumLoad::Quit) {
            return false;
        }
        // The first start's window has the size of the whole screen.
        const QRect screen = QGuiApplication::primaryScreen() != nullptr
                                 ? QGuiApplication::primaryScreen()->geometry()
                                 : QRect(0, 0, 1024, 768);
        windowSettings_.ColWidth = kDefaultColWidths;
        ChargeParametres(windowSettings_,
                         QSizeF(ToTwips(screen.width()), ToTwips(screen.height())));
        ApplyWindowSettings();
        ShowRecentFiles();
        InitLangue();
        RempliListesDatums(*datumChooser);
        InitFenetres();
        InitTDBgrid();

        switch (windowSettings_.WindowState) {
        case 2:
            showMaximized();
            break;
        case 1:
            showMinimized();
            break;
        default:
            show();
            break;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

        document::DocumentState& doc = document::Document();
        doc.FileModified = 0;
        doc.SqlTri = QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter");
        if (startScreen != nullptr) {
            startScreen->close();
        }
        if (!commandLine.isEmpty()) {
            DocumentWork work;
            document::OpenDistribution(commandLine, readerHooks());
            // Enabled also when the file could not be read.
            ActiveMenus();
        }
    } catch (const std::exception& error) {
        platform::ShowErrorOf(error);
        return false;
    }
    QCoreApplication::processEvents();
    return true;
}

void Form1::ApplyWindowSettings() {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.append(screen->availableGeometry());
    }
    const QRect wanted(ToPixels(windowSettings_.Left), ToPixels(windowSettings_.Top),
                       std::max(ToPixels(windowSettings_.Width), 200),
                       std::max(ToPixels(windowSettings_.Height), 150));
    setGeometry(KeepOnScreen(wanted, screens));
    // Stored on a larger screen, the window is shrunk and moved to lie whole on this one.
    platform::KeepWithinScreen(*this);
    // A column at its default width is widened to show its caption and a whole value; a width
    // the user chose stays.
    const std::array<QString, 10> captions = GridCaptions();
    for (int i = 0; i < static_cast<int>(windowSettings_.ColWidth.size()); ++i) {
        const auto column = static_cast<std::size_t>(i);
        const int stored = ToPixels(windowSettings_.ColWidth[column]);
        const int full = windowSettings_.ColWidth[column] == kDefaultColWidths[column]
                             ? FullColumnWidth(i, captions[column], TDBGrid1->fontMetrics(),
                                               TDBGrid1->horizontalHeader()->fontMetrics())
                             : 0;
        appliedColumnWidths_[column] = std::max(stored, full);
        TDBGrid1->setColumnWidth(i, appliedColumnWidths_[column]);
    }
    ApplyGridColors();
}

void Form1::ApplyGridColors() {
    QPalette palette = TDBGrid1->palette();
    palette.setColor(QPalette::Base, ColorOf(windowSettings_.GridBackColor, palette));
    palette.setColor(QPalette::Text, ColorOf(windowSettings_.GridForeColor, palette));
    TDBGrid1->setPalette(palette);
}

MainWindowSettings Form1::windowSettings() const {
    MainWindowSettings settings = windowSettings_;
    const QRect frame = geometry();
    settings.Height = CurrentTwips(windowSettings_.Height, frame.height());
    settings.Width = CurrentTwips(windowSettings_.Width, frame.width());
    settings.Top = CurrentTwips(windowSettings_.Top, frame.top());
    settings.Left = CurrentTwips(windowSettings_.Left, frame.left());
    settings.WindowState = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    for (int i = 0; i < static_cast<int>(settings.ColWidth.size()); ++i) {
        const auto column = static_cast<std::size_t>(i);
        // The comment column stretched to the room left counts at the width it had before.
        const int width = i == static_cast<int>(settings.ColWidth.size()) - 1 &&
                                  TDBGrid1->columnWidth(i) == autoLastWidth_
                              ? ownLastWidth_
                              : TDBGrid1->columnWidth(i);
        settings.ColWidth[column] = width == appliedColumnWidths_[column]
                                        ? windowSettings_.ColWidth[column]
                                        : CurrentTwips(windowSettings_.ColWidth[column], width);
    }
    return settings;
}

void Form1::InitLangue() {
    using platform::ResText;
    qtLanguage_.follow(platform::Langue());
    const std::vector<std::pair<QAction*, int>> captions{
        {mnuFichier->menuAction(), 1},
        {MnuNouveau, 2},
        {MnuOuvrir, 3},
        {MnuEnregistrer, 4},
        {MnuEnrSous, 5},
        {MnuFusionner, 6},
        {MnuImporter->menuAction(), 7},
        {MnuExporter->menuAction(), 8},
        {MnuExpAscii->menuAction(), 9},
        {MnuExpAsciiMode[0], 10},
        {MnuExpAsciiMode[1], 11},
        {MnuExpAsciiMode[2], 12},
        {MnuExpAsciiMode[3], 13},
        {MnuExpDB[0], 14},
        {MnuExpDB[1], 15},
        {MnuExpDB[2], 16},
        {MnuExpDB[3], 17},
        {MnuQuitter, 18},
        {MnuGrouper, 19},
        {MnuEdition->menuAction(), 30},
        {mnuChercher[0], 31},
        {mnuChercher[1], 46},
        {MnuAjoutLigne, 32},
        {mnuDuplic, 45},
        {MnuEraseCol, 33},
        {MnuSupprimer, 34},
        {MnuRemplir->menuAction(), 35},
        {MnuRemplirCoo[0], 36},
        {MnuRemplirCoo[1], 37},
        {MnuRemplirCoo[2], 38},
        {MnuRemplirXY[0], 44},
        {MnuRemplirXY[1], 39},
        {MnuRemplirXY[2], 40},
        {MnuRemplirXY[4], 314},
        {MnuRemplirXY[5], 315},
        {MnuRemplirTexte, 41},
        {MnuAjuster, 42},
        {MnuVisualiser->menuAction(), 50},
        {MnuVisMonde, 51},
        {MnuVisEurope->menuAction(), 52},
        {mnuEurope[0], 52},
        {mnuEurope[1], 53},
        {mnuEurope[2], 54},
        {mnuEurope[3], 55},
        {mnuEurope[4], 56},
        {mnuEurope[5], 57},
        {mnuEurope[6], 58},
        {mnuEurope[7], 59},
        {MnuVisAsiEur, 60},
        {MnuVisAfrica, 61},
        {MnuVisNamer, 62},
        {MnuVisSamer, 63},
        {MnuVisAsiocea, 64},
        {mnuVisOther, 65},
        {mnuOptions->menuAction(), 70},
        {MnuPreferences, 71},
        {MnuOptionsPeriodes, 85},
        {MnuCouleurs->menuAction(), 72},
        {MnuGrille, 73},
        {MnuTxtGrille, 74},
        {MnuOptionsCartes, 75},
        {MnuLangue->menuAction(), 76},
        {MnuLang[0], 77},
        {MnuLang[1], 78},
        {MnuLang[2], 79},
        {MnuLang[3], 80},
        {MnuLang[4], 81},
        {MnuLang[5], 82},
        {MnuAide->menuAction(), 90},
        {MnuInfo[0], 90},
        {MnuInfo[1], 91},
    };
    for (const auto& [item, id] : captions) {
        item->setText(ResText(id));
    }
    MnuExpDB[0]->setText(exchange::SqliteCaption(ResText(14)));

    // The sort list; its first choice, "None", applies at once.
    {
        const QSignalBlocker blocker(CmbTri);
        CmbTri->clear();
        CmbTri->addItem(QStringLiteral("None"));
        for (const int id : {182, 183, 184, 185, 186, 187, 188, 137}) {
            CmbTri->addItem(ResText(id));
        }
        CmbTri->addItem(QStringLiteral("Sex"));
        CmbTri->setCurrentIndex(0);
    }
    CmbTri_Click();

    LblTri->setText(ResText(750));
    OptTri[0]->setText(ResText(757));
    OptTri[1]->setText(ResText(758));
    for (std::size_t i = 0; i < cmd.size(); ++i) {
        cmd[i]->setToolTip(ResText(751 + static_cast<int>(i)));
    }
    cmd[3]->setText(ResText(760));

    helpFile_ = HelpPageName(platform::Langue());
}

void Form1::InitFenetres() {
    // The bare title, also while a document is open; the next read or save puts the path back.
    setWindowTitle(platform::ResText(120));
    LabelTitre->setText(platform::ResText(121));
    LabelCommentaire->setText(platform::ResText(122));
    // The period dialog is made anew each time it is shown and captions itself then.
}

void Form1::InitTDBgrid() {
    model->setCaptions(GridCaptions());
    TDBGrid1->viewport()->update();
}

void Form1::MnuLang_Click(int index) {
    if (index == 2) {
        platform::MsgBox(platform::ResText(650), platform::Buttons::Ok);
        return;
    }
    const int old = platform::Langue();
    platform::SetLangue(index * 1000);
    if (platform::Langue() != old) {
        const QString caption = windowTitle(); // the open document's name stays in the title
        InitLangue();
        InitFenetres();
        InitTDBgrid();
        setWindowTitle(caption);
    }
}

void Form1::MnuInfo_Click(int index) {
    if (index == 0) {
        const QString page = WriteHelpPage(platform::Langue());
        if (page.isEmpty()) {
            platform::ShowError(
                common::kPathFileAccess,
                QString::fromStdString(common::ErrorDescription(common::kPathFileAccess)),
                helpFile_);
            return;
        }
        openHelp(page);
        return;
    }
    if (about_) {
        about_->raise();
        return;
    }
    auto* about = new Start(nullptr);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about_ = about;
    about->Form_Load();
}

QWidget* Form1::aboutBox() const {
    return about_.data();
}

void Form1::DimensionneGrille() {
    if (!FitGrid()) {
        return;
    }
    // Repaint at the new size; no user command may start in the middle of a read or a New.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool Form1::FitGrid() {
    if (isMinimized()) {
        return false;
    }
    // The layout gives the grid the window's width and the height above the status bar.
    EmptyArea->hide();
    TDBGrid1->show();
    Picture1->show();
    FitColumns();
    return true;
}

void Form1::ActiveMenus() {
    for (QAction* item :
         {MnuEnregistrer, MnuEnrSous, MnuFusionner, MnuGrouper, MnuExporter->menuAction(),
          MnuImporter->menuAction(), MnuEdition->menuAction(), MnuVisualiser->menuAction(),
          MnuOptionsPeriodes}) {
        item->setEnabled(true);
    }
}

void Form1::RefreshGrid() {
    model->reload();
    document::DataControl& data = document::Data1();
    if (data.bound() && data.recordset().recordCount() > 0) {
        document::RecordSet& records = data.recordset();
        const auto position =
            std::clamp<std::ptrdiff_t>(records.absolutePosition(), 0, records.recordCount() - 1);
        // The current row only: the selected-rows collection starts empty.
        TDBGrid1->setCurrentPosition(static_cast<int>(position));
    }
    TDBGrid1_RowColChange();
    FitColumns();
}

void Form1::FitColumns() {
    if (!TDBGrid1->isVisible()) {
        return;
    }
    const int room = TDBGrid1->viewport()->width();
    const int last = model->columnCount() - 1;
    int used = 0;
    // A column is widened to the values it shows and its caption, up to half the room; a column
    // the settings or the user made narrower than that is widened too, a hidden one (width 0)
    // stays hidden. What the settings store stays as it was.
    for (int column = 0; column < last; ++column) {
        const int width = TDBGrid1->columnWidth(column);
        if (width > 0) {
            const int needed = std::max(TDBGrid1->valuesWidth(column),
                                        TDBGrid1->horizontalHeader()->sectionSizeHint(column));
            const int wanted = std::min(needed, room / 2);
            if (wanted > width) {
                TDBGrid1->setColumnWidth(column, wanted);
                appliedColumnWidths_[static_cast<std::size_t>(column)] = wanted;
            }
        }
        used += TDBGrid1->columnWidth(column);
    }
    // The comment takes the room left; a width the user gave it is its least.
    const int current = TDBGrid1->columnWidth(last);
    if (current != autoLastWidth_) {
        ownLastWidth_ = current;
    }
    autoLastWidth_ = std::max(ownLastWidth_, room - used);
    TDBGrid1->setColumnWidth(last, autoLastWidth_);
}

void Form1::TDBGrid1_RowColChange() {
    document::DataControl& data = document::Data1();
    if (!data.bound()) {
        StatusPanel[0]->clear();
        return;
    }
    document::RecordSet& records = data.recordset();
    const int current = TDBGrid1->currentPosition();
    long position = 0;
    if (current >= 0 && current < records.recordCount()) {
        records.setAbsolutePosition(current);
        position = current + 1;
    }
    StatusPanel[0]->setText(PositionText(position, records.recordCount()));
}

std::vector<std::int64_t> Form1::SelectedBookmarks() const {
    const std::vector<int> positions = TDBGrid1->selectedPositions();
    std::vector<std::int64_t> marks;
    marks.reserve(positions.size());
    for (const int position : positions) {
        marks.push_back(model->bookmarkAt(position));
    }
    return marks;
}

void Form1::ShowCurrentRow() {
    document::DataControl& data = document::Data1();
    if (!data.bound()) {
        return;
    }
    const std::ptrdiff_t position = data.recordset().absolutePosition();
    if (position < 0 || position >= data.recordset().recordCount()) {
        return;
    }
    TDBGrid1->setCurrentPosition(static_cast<int>(position));
}

void Form1::SelectOnlyRow(std::int64_t bookmark) {
    const int position = model->rowOfBookmark(bookmark);
    if (position < 0) {
        return;
    }
    TDBGrid1->setCurrentPosition(position,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    anchorBookmark_ = bookmark;
    TDBGrid1->viewport()->update();
}

void Form1::AddSelectedRow(std::int64_t bookmark) {
    const int position = model->rowOfBookmark(bookmark);
    if (position < 0) {
        return;
    }
    TDBGrid1->selectPositions(position, position, QItemSelectionModel::Select);
    // The first selected row is the anchor of a later shift-click.
    if (TDBGrid1->selectedCount() == 1) {
        anchorBookmark_ = bookmark;
    }
}

void Form1::mnuChercher_Click(int index) {
    if (RunFind(index, find_, *recordGrid_)) {
        mnuChercher[1]->setEnabled(true);
    }
    TDBGrid1->viewport()->update();
}

void Form1::mnuDuplic_Click() {
    RunDuplicate(*recordGrid_);
}

void Form1::MnuEraseCol_Click() {
    RunEraseColumns(*recordGrid_);
}

void Form1::MnuSupprimer_Click() {
    RunDelete(*recordGrid_);
}

void Form1::cmd_Click(int index) {
    switch (index) {
    case 0:
        MnuOuvrir_Click();
        break;
    case 1:
        MnuEnregistrer_Click();
        break;
    case 2:
        MnuNouveau_Click();
        break;
    case 3:
        OpenRecordEditor();
        break;
    case 4:
        mnuChercher_Click(0);
        break;
    case 5:
        MnuSupprimer_Click();
        break;
    default:
        break;
    }
    focusGrid();
}

void Form1::cmdFirstLast_Click(int index) {
    // An empty or closed record set has no first or last row: nothing happens.
    try {
        document::RecordSet& records = document::Data1().recordset();
        if (records.recordCount() == 0) {
            return;
        }
        if (index == 0) {
            records.moveFirst();
        } else {
            records.moveLast();
        }
        ShowCurrentRow();
    } catch (const std::exception&) {
        return;
    }
}

void Form1::cmdMap_Click() {
    ShowCartography();
}

void Form1::BoxTitre_Change() {
    document::Document().FileModified = -1;
}

void Form1::Commentaire_Change() {
    document::Document().FileModified = -1;
}

void Form1::MnuGrille_Click() {
    // Any error ends the command silently; Cancel keeps the colour.
    try {
        if (const auto color =
                ChooseGridColor(windowSettings_.GridBackColor, TDBGrid1->palette(), chooseColor)) {
            windowSettings_.GridBackColor = *color;
            ApplyGridColors();
        }
    } catch (const std::exception&) {
        return;
    }
}

void Form1::MnuTxtGrille_Click() {
    try {
        if (const auto color =
                ChooseGridColor(windowSettings_.GridForeColor, TDBGrid1->palette(), chooseColor)) {
            windowSettings_.GridForeColor = *color;
            ApplyGridColors();
        }
    } catch (const std::exception& error) {
        platform::MsgBox(QStringLiteral("Erreur. ") + QString::fromUtf8(error.what()));
    }
}

bool Form1::ShiftClick(int clicked) {
    const int anchor = model->rowOfBookmark(anchorBookmark_);
    if (anchor < 0 || clicked < 0 || TDBGrid1->selectedCount() == 0) {
        return false;
    }
    TDBGrid1->setCurrentPosition(clicked);
    TDBGrid1->selectPositions(std::min(anchor, clicked), std::max(anchor, clicked),
                              QItemSelectionModel::ClearAndSelect);
    return true;
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TDBGrid1->viewport() && event->type() == QEvent::Resize) {
        FitColumns();
    }
    if (watched == TDBGrid1->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int position = TDBGrid1->positionAt(static_cast<int>(mouse->position().y()));
        if (mouse->modifiers() == Qt::ShiftModifier) {
            // The run from the anchor to the clicked row; the anchor stays for the next one.
            if (ShiftClick(position)) {
                return true;
            }
        } else if (position >= 0) {
            anchorBookmark_ = model->bookmarkAt(position);
        }
        // A click in the cells ends a column selection.
        if (columnSelection->first() >= 0) {
            columnSelection->select(-1, -1);
            TDBGrid1->viewport()->update();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::CmbTri_Click() {
    document::ChangeTri(CmbTri->currentIndex(), OptTri[0]->isChecked());
    if (document::Data1().bound()) {
        RefreshGrid();
    }
}

void Form1::OptTri_Click(int /*index*/) {
    CmbTri_Click();
}

void Form1::MnuNouveau_Click() {
    NewFile(*this);
    RefreshGrid();
}

void Form1::MnuOuvrir_Click() {
    OpenFile(*this);
}
void Form1::MnuFusionner_Click() {
    MergeFile(*this);
}
void Form1::MnuEnregistrer_Click() {
    SaveFile(*this);
}
void Form1::MnuEnrSous_Click() {
    SaveFileAs(*this);
}

void Form1::MnuGrouper_Click() {
    DocumentWork work;
    // A name that does not exist yet may be given; GroupAndSave asks before replacing a file.
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("Fichiers distribution (*.deg)|*.deg");
    request.confirmOverwrite = false;
    const QString chosen = platform::CurrentPrompter().saveFile(request);
    if (!chosen.isEmpty()) {
        document::GroupAndSave(chosen, documentTexts());
        RefreshGrid();
    }
}

void Form1::MnuLastFile_Click(int index) {
    OpenRecentFile(*this, index - 1);
}

void Form1::MnuQuitter_Click() {
    if (!QuitProgram(*this)) {
        return;
    }
    quitting_ = true;
    close();
    endProgram();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (quitting_) {
        event->accept();
        return;
    }
    // A save question that ends in an error keeps the window and the document.
    bool quit = false;
    Guarded([&] { quit = QuitProgram(*this); });
    if (!quit) {
        event->ignore();
        return;
    }
    quitting_ = true;
    event->accept();
    endProgram();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // Once a document exists the grid follows the window, also when the document came while the
    // window was minimised.
    if (TDBGrid1 != nullptr && (TDBGrid1->isVisibleTo(this) || document::Data1().bound())) {
        FitGrid();
    }
}

void Form1::Timer1_Timer() {
    Guarded([this] { autoSave_.Timer1_Timer(*this); });
}

void Form1::ShowRecentFiles() {
    const auto& files = platform::Settings().LastFiles;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].isEmpty()) {
            continue;
        }
        MnuLastFile[0]->setVisible(true);
        QAction*& item = MnuLastFile[i + 1];
        if (item == nullptr) {
            item = mnuFichier->addAction(QString());
            const int index = static_cast<int>(i) + 1;
            connect(item, &QAction::triggered, this,
                    [this, index] { Guarded([this, index] { MnuLastFile_Click(index); }); });
        }
        item->setText(RecentFileCaption(static_cast<int>(i) + 1, files[i]));
        item->setVisible(true);
    }
    // Items were created in the order their entries first filled: put them back in number order.
    for (std::size_t i = 1; i < MnuLastFile.size(); ++i) {
        if (MnuLastFile[i] != nullptr) {
            mnuFichier->removeAction(MnuLastFile[i]);
            mnuFichier->addAction(MnuLastFile[i]);
        }
    }
}

document::DocumentTexts Form1::documentTexts() const {
    return {BoxTitre->text(), Commentaire->text()};
}

void Form1::ShowDocumentBoxes(bool emptyTitle) {
    if (emptyTitle) {
        BoxTitre->clear();
    }
    for (QWidget* widget :
         std::initializer_list<QWidget*>{LabelTitre, BoxTitre, LabelCommentaire, Commentaire}) {
        widget->show();
    }
}

document::ReaderHooks Form1::readerHooks() {
    document::ReaderHooks hooks;
    hooks.BoxTitre = BoxTitre->text();
    hooks.Commentaire = Commentaire->text();
    hooks.setCaption = [this](const QString& caption) { setCaption(caption); };
    hooks.showDocumentBoxes = [this](const QString& title, const QString& comment) {
        BoxTitre->setText(title);
        Commentaire->setText(comment);
        ShowDocumentBoxes(false);
    };
    hooks.showDestCode = [this](const QString& code) { StatusPanel[1]->setText(code); };
    hooks.dimensionneGrille = [this] { DimensionneGrille(); };
    hooks.focusGrid = [this] { focusGrid(); };
    hooks.refreshGrid = [this] { RefreshGrid(); };
    hooks.majLastFiles = [this](const QString& file) {
        MajLastFiles(platform::Settings().LastFiles, file);
        ShowRecentFiles();
    };
    hooks.programFolder = ProgramFolder();
    return hooks;
}

document::NewDocumentHooks Form1::newDocumentHooks() {
    document::NewDocumentHooks hooks;
    hooks.checkSauvegarde = [this] { return CheckSauvegarde(*this); };
    hooks.setCaption = [this](const QString& caption) { setCaption(caption); };
    hooks.dimensionneGrille = [this] {
        DimensionneGrille();
        RefreshGrid();
    };
    hooks.showDocumentBoxes = [this] { ShowDocumentBoxes(true); };
    hooks.showPeriodDialog = [this] { ShowPeriodDialog(this); };
    hooks.activeMenus = [this] { ActiveMenus(); };
    hooks.programFolder = ProgramFolder();
    return hooks;
}

void Form1::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void Form1::focusGrid() {
    TDBGrid1->setFocus();
}

void Form1::hideSelectionLabel() {
    lbl1->hide();
}

} // namespace app

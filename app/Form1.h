#pragma once

#include "app/FileCommands.h"
#include "app/GridColors.h"
#include "app/MainSettings.h"
#include "app/QtTranslations.h"
#include "app/RecordCommands.h"
#include "app/RecordGridView.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;

namespace cartography {
struct CartoWindowState;
}
namespace maps {
struct MapHost;
}

namespace app {

class ColumnSelection;
class RecordTableModel;
class Start;
class WaitWindowFeedback;
class frmDatum;
class Selection;

// Where a window restored from the settings goes: as stored when its title bar lies on one of
// the screens, else moved onto the first screen and shrunk to fit it.
QRect KeepOnScreen(const QRect& wanted, const QList<QRect>& screens);

// The rows a shift-click selects: from the anchor to the clicked row, one by one, anchor first.
std::vector<int> RangeRows(int anchor, int clicked);

// The panel-1 text of the status bar: the 1-based position of the current record, "/", and the
// number of records; position 0 without a current record.
QString PositionText(long position, long count);

// The main window: menus, command bar, title and comment boxes, the grid over the open document,
// the status bar with the progress bar, and the timer of the automatic save.
class Form1 : public QMainWindow, public FileHost {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The load step: working database, datum tables, settings, captions, grid; shows the window,
    // closes `startScreen` and reads the file `commandLine` names, if any. An error is shown in
    // the error box and false returned: the caller ends the program. False also when the user gave
    // up looking for the datum database.
    bool Form_Load(const QString& commandLine, QWidget* startScreen = nullptr);

    // Captions.
    void InitLangue();
    void InitFenetres();
    void InitTDBgrid();
    void MnuLang_Click(int index);
    void MnuInfo_Click(int index);

    // Grid.
    void DimensionneGrille();
    void ActiveMenus();
    // Data1's record set was run again: the grid shows it anew on Data1's current row.
    void RefreshGrid();
    // The bookmarks of the selected rows in record-set order (the fill commands and the maps use
    // them, or all rows when there are none).
    std::vector<std::int64_t> SelectedBookmarks() const;
    void TDBGrid1_RowColChange();
    // Puts the grid's current row on Data1's current row; the selected rows stay.
    void ShowCurrentRow();
    // Makes the row `bookmark` current and the only selected row.
    void SelectOnlyRow(std::int64_t bookmark);
    // Adds the row `bookmark` to the selected rows.
    void AddSelectedRow(std::int64_t bookmark);

    // Edit menu: the record commands.
    void mnuChercher_Click(int index);
    void mnuDuplic_Click();
    void MnuEraseCol_Click();
    void MnuSupprimer_Click();
    const FindState& findState() const { return find_; }

    // Command bar, title and comment boxes, colour menus.
    void cmd_Click(int index);
    void cmdFirstLast_Click(int index);
    void cmdMap_Click();
    void BoxTitre_Change();
    void Commentaire_Change();
    void MnuPreferences_Click();
    void MnuSelection_Click();
    void MnuGrille_Click();
    void MnuTxtGrille_Click();

    // File menu.
    void MnuNouveau_Click();
    void MnuOuvrir_Click();
    void MnuFusionner_Click();
    void MnuEnregistrer_Click();
    void MnuEnrSous_Click();
    void MnuGrouper_Click();
    void MnuLastFile_Click(int index);
    void MnuQuitter_Click();
    void Timer1_Timer();
    // Rebuilds the recent-file items from LastFiles.
    void ShowRecentFiles();

    // Sort controls.
    void CmbTri_Click();
    void OptTri_Click(int index);

    // FileHost.
    document::DocumentTexts documentTexts() const override;
    document::ReaderHooks readerHooks() override;
    document::NewDocumentHooks newDocumentHooks() override;
    void setCaption(const QString& caption) override;
    void activeMenus() override { ActiveMenus(); }
    void focusGrid() override;
    void hideSelectionLabel() override;
    MainWindowSettings windowSettings() const override;

    // Ends the program once the quit has passed the save question; tests replace it.
    std::function<void()> endProgram;
    // Shows the record editor on the current row (the row header's double click and the Edit
    // button); tests replace it.
    std::function<void()> openRecordEditor;
    // Opens the help page; tests replace it.
    std::function<void(const QString&)> openHelp;
    // The colour dialog of the two grid colour items; tests replace it.
    ColorChooser chooseColor;
    // The help page of the current language (InitLangue chooses it).
    const QString& helpFile() const { return helpFile_; }
    // The about box while it is shown.
    QWidget* aboutBox() const;

    // Menus, named as the items they are.
    QMenu* mnuFichier = nullptr;
    QAction* MnuNouveau = nullptr;
    QAction* MnuOuvrir = nullptr;
    QAction* MnuEnregistrer = nullptr;
    QAction* MnuEnrSous = nullptr;
    QAction* MnuGrouper = nullptr;
    QAction* MnuFusionner = nullptr;
    QMenu* MnuImporter = nullptr;
    std::array<QAction*, 3> mnuImport{};
    QMenu* mnuImportGarminMenu = nullptr;
    std::array<QAction*, 2> mnuImportGarmin{};
    QMenu* MnuExporter = nullptr;
    QMenu* MnuExpAscii = nullptr;
    std::array<QAction*, 4> MnuExpAsciiMode{};
    std::array<QAction*, 5> MnuExpDB{};
    QAction* MnuQuitter = nullptr;
    // Item 0 is the separator; items 1 to 4 exist once their entry is not empty.
    std::array<QAction*, 5> MnuLastFile{};

    QMenu* MnuEdition = nullptr;
    std::array<QAction*, 2> mnuChercher{};
    QAction* MnuAjoutLigne = nullptr;
    QAction* mnuDuplic = nullptr;
    QAction* MnuEraseCol = nullptr;
    QAction* MnuSupprimer = nullptr;
    QAction* MnuSelection = nullptr;
    QMenu* MnuRemplir = nullptr;
    std::array<QAction*, 3> MnuRemplirCoo{};
    std::array<QAction*, 6> MnuRemplirXY{};
    QAction* MnuRemplirTexte = nullptr;
    QAction* MnuAjuster = nullptr;
    std::array<QAction*, 3> mnuAjustGrid{};
    QMenu* mnuAjustGridIFBL = nullptr; // mnuAjustGrid(3)
    std::array<QAction*, 3> mnuAjustIFBL{};
    QMenu* mnuAna = nullptr; // hidden and disabled: the statistics of N1 and N2
    QAction* MnuParametres = nullptr;
    QMenu* mnuStandardisation = nullptr;
    std::array<QAction*, 2> mnustd{};
    std::array<QAction*, 2> mnuAnalyse{};
    QAction* mnuPhenolo = nullptr;
    QAction* mnuGrid = nullptr; // hidden

    QMenu* MnuVisualiser = nullptr;
    QAction* MnuVisMonde = nullptr;
    QMenu* MnuVisEurope = nullptr;
    std::array<QAction*, 8> mnuEurope{};
    QAction* MnuVisAsiEur = nullptr;
    QAction* MnuVisAfrica = nullptr;
    QAction* MnuVisNamer = nullptr;
    QAction* MnuVisSamer = nullptr;
    QAction* MnuVisAsiocea = nullptr;
    QAction* mnuVisOther = nullptr; // mnuVis(1)

    QMenu* mnuOptions = nullptr;
    QAction* MnuPreferences = nullptr;
    QAction* MnuOptionsPeriodes = nullptr;
    QMenu* MnuCouleurs = nullptr;
    QAction* MnuGrille = nullptr;
    QAction* MnuTxtGrille = nullptr;
    QAction* MnuOptionsCartes = nullptr;
    QMenu* MnuLangue = nullptr;
    std::array<QAction*, 6> MnuLang{};

    QMenu* MnuAide = nullptr;
    std::array<QAction*, 2> MnuInfo{};

    // Command bar and sort controls.
    std::array<QPushButton*, 6> cmd{};
    std::array<QPushButton*, 2> cmdFirstLast{};
    QPushButton* cmdMap = nullptr;
    QWidget* Picture1 = nullptr;
    QLabel* LblTri = nullptr;
    QComboBox* CmbTri = nullptr;
    std::array<QRadioButton*, 2> OptTri{};
    QLabel* lbl1 = nullptr; // tells that a selection is in force

    // Title and comment of the document.
    QLabel* LabelTitre = nullptr;
    QLineEdit* BoxTitre = nullptr;
    QLabel* LabelCommentaire = nullptr;
    QLineEdit* Commentaire = nullptr;
    QLabel* Variable = nullptr; // hidden: dialogs pass a result through its caption

    RecordGridView* TDBGrid1 = nullptr;
    QWidget* EmptyArea = nullptr; // in the grid's place until a document comes
    RecordTableModel* model = nullptr;
    ColumnSelection* columnSelection = nullptr; // the grid's selected columns
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 2> StatusPanel{};
    QProgressBar* ProgressBar1 = nullptr;
    QTimer* Timer1 = nullptr;
    frmDatum* datumChooser = nullptr;
    Selection* selection = nullptr; // kept for the run: it remembers its condition

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildCentralWidget();
    QAction* addItem(QMenu* menu, const QString& caption, void (Form1::*handler)());
    QAction* addStub(QMenu* menu, const QString& caption);
    void NotAvailable();
    // The snapping, comment-fill and hidden analysis menus (BatchCommandMenus.cpp).
    void connectBatchCommands();
    // The View menu's region maps and their symbol options (RegionMapMenus.cpp).
    void connectRegionMaps();
    // What the map windows use of this window: its grid's selected rows, its data refresh.
    maps::MapHost mapHost();
    // The cartography window, from the map button and View > Other (CartographyMenus.cpp).
    void ShowCartography();
    // The Import menu's coordinate text, PCX5 and MapSource imports (ImportMenus.cpp).
    void connectImports();
    void OpenRecordEditor();
    // Shows the grid and the sort controls unless the window is minimised; true when it did.
    bool FitGrid();
    // Widens the grid's columns to their values within the grid, the comment to the room left.
    void FitColumns();
    void ApplyWindowSettings();
    void ApplyGridColors();
    // Runs a handler and shows an error it raises in the error box.
    void Guarded(const std::function<void()>& handler);
    bool ShiftClick(int clicked);
    void ShowDocumentBoxes(bool emptyTitle);

    // Qt's own texts in the language chosen here, from the start and at every switch.
    QtLanguage qtLanguage_;
    MainWindowSettings windowSettings_;
    // The pixel widths the grid columns were given from the settings: a column still that wide
    // keeps its stored width when the settings are written.
    std::array<int, 10> appliedColumnWidths_{};
    // The comment column's width before FitColumns stretched it, and the width it gave it.
    int ownLastWidth_ = 0;
    int autoLastWidth_ = -1;
    std::unique_ptr<WaitWindowFeedback> feedback_;
    AutoSaveTimer autoSave_;
    QString helpFile_;
    QPointer<QWidget> about_;
    std::int64_t anchorBookmark_ = 0;
    FindState find_;
    std::unique_ptr<RecordGrid> recordGrid_;
    bool quitting_ = false;
    // The cartography window's map, projection and options, kept from one opening to the next.
    std::unique_ptr<cartography::CartoWindowState> cartography_;
};

} // namespace app

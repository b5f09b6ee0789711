// The Edit menu's batch commands: the snapping menu and the comment fills.

#include "app/Form1.h"
#include "app/RecordTableModel.h"
#include "commands/Ajustement.h"
#include "commands/CommentFill.h"
#include "commands/Graph1Window.h"
#include "commands/GridListings.h"
#include "commands/SnapCommands.h"
#include "commands/Statistics.h"
#include "document/DataControl.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

namespace app {

void Form1::connectBatchCommands() {
    // Replaces the waiting message of a menu item with its command.
    const auto hook = [this](QAction* item, std::function<void()> handler) {
        disconnect(item, &QAction::triggered, this, nullptr);
        connect(item, &QAction::triggered, this,
                [this, handler = std::move(handler)] { Guarded(handler); });
    };

    hook(mnuAjustGrid[0], [this] {
        commands::Ajustement dialog(this);
        const bool run = dialog.choose();
        Variable->setText(run ? QStringLiteral("1") : QStringLiteral("0"));
        QCoreApplication::processEvents();
        commands::AjusteCoor(run);
        RefreshGrid();
    });
    hook(mnuAjustGrid[1], [this] {
        if (const auto meshes = commands::AskMeshSizes()) {
            commands::AjusteDegreesCells(meshes->first, meshes->second);
            RefreshGrid();
        }
    });
    hook(mnuAjustGrid[2], [this] {
        commands::AjusteGrades();
        RefreshGrid();
    });
    for (int i = 0; i < static_cast<int>(mnuAjustIFBL.size()); ++i) {
        hook(mnuAjustIFBL[static_cast<std::size_t>(i)], [this, i] {
            commands::AjusteIfbl(i);
            RefreshGrid();
        });
    }

    // The fills give the grid back the row that was current.
    const auto refreshOn = [this](std::int64_t current) {
        RefreshGrid();
        if (current != 0) {
            TDBGrid1->setCurrentPosition(model->rowOfBookmark(current));
        }
    };
    const auto currentBookmark = [this] {
        const int current = TDBGrid1->currentPosition();
        return current >= 0 ? model->bookmarkAt(current) : std::int64_t{0};
    };
    for (int i = 0; i < static_cast<int>(MnuRemplirCoo.size()); ++i) {
        hook(MnuRemplirCoo[static_cast<std::size_t>(i)], [this, i, refreshOn, currentBookmark] {
            const std::int64_t current = currentBookmark();
            if (commands::MnuRemplirCoo(i, SelectedBookmarks())) {
                refreshOn(current);
            }
        });
    }
    for (int i = 0; i < static_cast<int>(MnuRemplirXY.size()); ++i) {
        hook(MnuRemplirXY[static_cast<std::size_t>(i)], [this, i, refreshOn, currentBookmark] {
            const std::int64_t current = currentBookmark();
            commands::MnuRemplirXY(i, SelectedBookmarks());
            refreshOn(current);
        });
    }
    // The analysis menu is in the layout but never shown or enabled.
    mnuAna = menuBar()->addMenu(QStringLiteral("Anal&yse"));
    mnuAna->menuAction()->setVisible(false);
    mnuAna->menuAction()->setEnabled(false);
    MnuParametres = mnuAna->addAction(QStringLiteral("Paramètres statistiques"));
    hook(MnuParametres, [] { commands::MnuParametres(); });
    mnuStandardisation = mnuAna->addMenu(QStringLiteral("Standardisation des valeurs"));
    mnustd[0] = mnuStandardisation->addAction(QStringLiteral("Logarithme"));
    mnustd[1] = mnuStandardisation->addAction(QStringLiteral("Valeurs normales réduites"));
    for (int i = 0; i < static_cast<int>(mnustd.size()); ++i) {
        hook(mnustd[static_cast<std::size_t>(i)], [this, i] {
            if (commands::MnuStd(i)) {
                RefreshGrid();
            }
        });
    }

    mnuAnalyse[0] = mnuAna->addAction(QStringLiteral("Graphique Chiffre1/OGU"));
    mnuAnalyse[1] = mnuAna->addAction(QStringLiteral("Graphique Chiffre2/OGU"));
    for (int i = 0; i < static_cast<int>(mnuAnalyse.size()); ++i) {
        hook(mnuAnalyse[static_cast<std::size_t>(i)],
             [this, i] { commands::mnuAnalyse_Click(i, BoxTitre->text(), this); });
    }
    mnuPhenolo = mnuAna->addAction(QStringLiteral("P&hénologie"));
    hook(mnuPhenolo,
         [this] { commands::mnuPhenolo_Click(SelectedBookmarks(), BoxTitre->text(), this); });

    // The block lines of the IFBL grid, for checking maps by hand; hidden like the rest.
    mnuGrid = mnuAna->addAction(QStringLiteral("Grille"));
    mnuGrid->setVisible(false);
    hook(mnuGrid, [] { commands::mnuGrid_Click(QDir::tempPath()); });

    hook(MnuRemplirTexte, [this] {
        if (commands::MnuRemplirTexte(SelectedBookmarks())) {
            document::Data1().refresh();
            RefreshGrid();
        }
    });
}

} // namespace app

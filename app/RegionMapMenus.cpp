// The View menu's region maps and the Options menu's region symbol dialog.

#include "app/Form1.h"
#include "app/RecordTableModel.h"
#include "app/Start.h"
#include "document/DataControl.h"
#include "maps/Map.h"
#include "maps/OptionsMap.h"
#include "maps/RegionProjection.h"

#include <QAction>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QTableView>

namespace app {

maps::MapHost Form1::mapHost() {
    maps::MapHost host;
    host.selectedRows = [this] { return SelectedBookmarks(); };
    host.addSelected = [this](std::int64_t bookmark) {
        // The grid learns of the new row; the rows selected so far stay selected.
        const std::vector<std::int64_t> selected = SelectedBookmarks();
        model->reload();
        for (const std::int64_t mark : selected) {
            AddSelectedRow(mark);
        }
        AddSelectedRow(bookmark);
    };
    host.removeSelected = [this](std::int64_t bookmark) {
        const int position = model->rowOfBookmark(bookmark);
        if (position >= 0) {
            TDBGrid1->selectPositions(position, position, QItemSelectionModel::Deselect);
        }
    };
    host.currentRow = [this] {
        const int current = TDBGrid1->currentPosition();
        return current >= 0 ? model->bookmarkAt(current) : std::int64_t{0};
    };
    host.setCurrentRow = [this](std::int64_t bookmark) {
        document::Data1().recordset().setBookmark(bookmark);
        ShowCurrentRow();
    };
    host.refreshData = [this] {
        document::Data1().refresh();
        document::Data1().recordset().moveLast();
        RefreshGrid();
    };
    host.programFolder = ProgramFolder();
    host.commandLine = QCoreApplication::arguments().join(QLatin1Char(' '));
    return host;
}

void Form1::connectRegionMaps() {
    const auto hook = [this](QAction* item, std::function<void()> handler) {
        disconnect(item, &QAction::triggered, this, nullptr);
        connect(item, &QAction::triggered, this,
                [this, handler = std::move(handler)] { Guarded(handler); });
    };
    const auto showRegion = [this](int row) {
        maps::MapHost host = mapHost();
        maps::ShowRegionMap(row, host, this);
    };
    hook(MnuVisMonde, [showRegion] { showRegion(maps::kWorldRow); });
    for (int i = 0; i < static_cast<int>(mnuEurope.size()); ++i) {
        hook(mnuEurope[static_cast<std::size_t>(i)],
             [showRegion, i] { showRegion(maps::EuropeRow(i)); });
    }
    const std::array<QAction*, 5> continents{MnuVisAsiEur, MnuVisAfrica, MnuVisNamer, MnuVisSamer,
                                             MnuVisAsiocea};
    for (int i = 0; i < static_cast<int>(continents.size()); ++i) {
        hook(continents[static_cast<std::size_t>(i)],
             [showRegion, i] { showRegion(maps::EuropeRow(8) + i); });
    }
    hook(mnuVisOther, [this] { ShowCartography(); });
    hook(MnuOptionsCartes, [this] {
        maps::OptionsMap dialog(this);
        dialog.exec();
    });
}

} // namespace app

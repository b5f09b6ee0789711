// The Import menu: a coordinate text file through its chooser, a PCX5 waypoint file, and a
// MapSource waypoint file through the waypoint import window.

#include "app/Form1.h"
#include "app/frmDatum.h"
#include "exchange/GarminImportWindow.h"
#include "exchange/ImportChooserWindow.h"
#include "exchange/ImportCommands.h"
#include "exchange/ImportState.h"

#include <QAction>
#include <QLabel>

namespace app {

void Form1::connectImports() {
    const auto hook = [this](QAction* item, std::function<void()> handler) {
        disconnect(item, &QAction::triggered, this, nullptr);
        connect(item, &QAction::triggered, this,
                [this, handler = std::move(handler)] { Guarded(handler); });
    };
    hook(mnuImport[0], [this] {
        exchange::frmImportation chooser(Variable, this);
        chooser.exec();
        // The chooser leaves -1 after Cancel or its close box, the system index after OK.
        const int index = Variable->text().toInt();
        if (index > -1 && exchange::ImportCoord(exchange::Imports().ImportCoordFile, index)) {
            Variable->setText(QStringLiteral("1"));
            RefreshGrid();
        }
    });
    hook(mnuImport[1], [this] {
        exchange::ImportGarmin();
        RefreshGrid();
    });
    hook(mnuImportGarmin[0], [this] {
        const QString file = exchange::ChooseMapSourceFile();
        if (file.isEmpty()) {
            return;
        }
        exchange::frmImportGarmin window(
            file, 0, [this](const QString& code) { return RunDatumChooser(*datumChooser, code); },
            this);
        window.exec();
        RefreshGrid();
    });
}

} // namespace app

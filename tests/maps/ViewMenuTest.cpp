// The View menu's region items open the region map of their row on the open document.

#include "../app/MainWindowFixture.h"
#include "maps/Map.h"
#include "maps/RegionSymbols.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>

namespace {

class ViewMenuTest : public app_test::MainWindowTest {};

TEST_F(ViewMenuTest, RegionItemOpensItsMapAndEscapeClosesIt) {
    ASSERT_TRUE(Load());
    OpenFixture();
    // The pictures lie beside the program.
    app::ProgramFolder() = QFileInfo(QStringLiteral(DOVAZOV_DATUM_DB)).path();
    maps::ResetMapsState();
    QString title;
    QTimer::singleShot(0, [&] {
        auto* map = qobject_cast<maps::Map*>(QApplication::activeModalWidget());
        ASSERT_NE(map, nullptr);
        title = map->Label1->isVisibleTo(map) ? map->Label1->text() : QString();
        map->Picture1_KeyUp(Qt::Key_Escape);
    });
    form_->mnuEurope[5]->trigger();
    EXPECT_EQ(maps::Maps().regionRow, maps::kBritishIslesRow);
    EXPECT_TRUE(maps::Maps().MapBitmapPath.endsWith(QStringLiteral("britisle.bmp")));
    EXPECT_EQ(title, QStringLiteral("British National Grid"));
}

} // namespace

// The main window opens the cartography window from View > Other and from its map button, on the
// open document; the map loaded at one opening is there again at the next.

#include "../app/MainWindowFixture.h"
#include "cartography/frmCarte.h"

#include <QAction>
#include <QFileInfo>
#include <QPushButton>

namespace {

class CartographyMenuTest : public app_test::MainWindowTest {};

TEST_F(CartographyMenuTest, OtherItemAndMapButtonOpenTheWindow) {
    ASSERT_TRUE(Load());
    OpenFixture();
    // The map set lies beside the program.
    app::ProgramFolder() = QFileInfo(QStringLiteral(DOVAZOV_DATUM_DB)).path();
    std::vector<int> codes;
    std::vector<std::int64_t> counts;
    // The window's load step lets pending events run before the window shows: wait for it.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* window = qobject_cast<cartography::frmCarte*>(QApplication::activeModalWidget());
        if (window == nullptr) {
            return;
        }
        codes.push_back(window->session().projection.ProjCode);
        counts.push_back(window->session().InitialCount);
        window->Toolbar1_ButtonClick(QStringLiteral("stop"));
    });
    poll.start(5);
    form_->mnuVisOther->trigger();
    form_->cmdMap->click();
    ASSERT_EQ(codes.size(), 2U);
    EXPECT_EQ(codes, (std::vector<int>{5, 5})); // the world map by default
    EXPECT_GT(counts[0], 0);
    EXPECT_EQ(counts[0], counts[1]);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace

#include "MainWindowFixture.h"
#include "app/Prefer.h"
#include "app/RecordEditorHost.h"
#include "app/Selection.h"
#include "app/frmDatum.h"
#include "app/frmEastern.h"
#include "app/frmMessage.h"
#include "app/frmOptionsPeriodes.h"
#include "editor/EditForm.h"

#include <QAbstractButton>
#include <QLabel>
#include <QScreen>
#include <functional>

namespace {

using testing_support::ScriptedPrompter;

// The smallest screen the program is made for.
const QSize kScreen(1280, 720);

// Every window opened at its own size on a 1280 x 720 screen, in each language: it fits, and each
// of its buttons is inside it.
class WindowsFitTest : public app_test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ScriptedPrompter quiet;
        ASSERT_TRUE(Load());
        OpenFixture();
        // The longest names the datum tables may hold, where the dialogs show names.
        geodesy::DatumState& datums = geodesy::Datums();
        for (int i = 1; i <= datums.datumCount(); ++i) {
            datums.DatumTable[static_cast<std::size_t>(i)].Name +=
                std::string(" - a very long name such as an edited datum table may hold") +
                std::string(120, 'x');
        }
        datums.DestCode = "WGS84";
        datums.DestIndex = geodesy::DatumIndex("WGS84");
    }

    static void ExpectFits(QWidget& window, const char* name) {
        window.show();
        QCoreApplication::processEvents();
        const QSize size = window.frameGeometry().size();
        EXPECT_LE(size.width(), kScreen.width()) << name;
        EXPECT_LE(size.height(), kScreen.height()) << name;
        const QRect inside = window.rect();
        for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
            if (!button->isVisibleTo(&window)) {
                continue;
            }
            const QRect place(button->mapTo(&window, QPoint(0, 0)), button->size());
            EXPECT_TRUE(inside.contains(place))
                << name << ": " << button->objectName().toStdString() << " at " << place.x() << ","
                << place.y() << " " << place.width() << "x" << place.height() << " outside "
                << inside.width() << "x" << inside.height();
        }
        window.hide();
    }
};

TEST_F(WindowsFitTest, EveryWindowFitsTheScreenWithItsButtons) {
    for (const int langue : {platform::kFrench, platform::kEnglish, platform::kGerman}) {
        platform::SetLangue(langue);
        SCOPED_TRACE(langue);
        form_->resize(form_->minimumSizeHint().expandedTo(form_->minimumSize()));
        ExpectFits(*form_, "main window");
        {
            app::Prefer window({}, form_.get());
            ExpectFits(window, "preferences");
        }
        {
            app::frmDatum window(form_.get());
            ExpectFits(window, "datum chooser");
        }
        {
            app::frmEastern window(form_.get());
            ExpectFits(window, "eastern datums");
        }
        {
            app::frmOptionsPeriodes window(form_.get());
            ExpectFits(window, "periods");
        }
        {
            app::Selection window({}, form_.get());
            ExpectFits(window, "selection");
        }
        {
            app::RecordEditorHost host(*form_);
            editor::EditForm window(host, form_.get());
            ExpectFits(window, "record editor");
        }
        {
            app::frmMessage window;
            window.setCancellable();
            window.AfficheMessage(QStringLiteral("Ouverture du fichier\r\r") + QString(400, 'x'));
            ExpectFits(window, "wait window");
        }
    }
}

} // namespace

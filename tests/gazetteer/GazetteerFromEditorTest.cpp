#include "../app/MainWindowFixture.h"
#include "GazetteerFixture.h"
#include "editor/EditForm.h"
#include "gazetteer/frmGeoQuery.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

// The main window with a distribution open and an SQLite gazetteer set up, whose record editor
// searches places through the gazetteer's window.
class GazetteerFromEditorTest : public app_test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        {
            testing_support::ScriptedPrompter quiet;
            ASSERT_TRUE(Load());
        }
        OpenFixture();
        const QString file = path(QStringLiteral("gazetteer.sqlite"));
        gazetteer_test::WriteSqliteGazetteer(file);
        gazetteer_test::DefaultMapping(file);
    }

    gazetteer::frmGeoQuery* GazetteerWindow() const {
        return form_->findChild<gazetteer::frmGeoQuery*>(QStringLiteral("frmGeoQuery"),
                                                         Qt::FindDirectChildrenOnly);
    }
};

// The gazetteer is opened and its index read in the background once the editor shows, before any
// search; the search the user then runs from the editor lists what the gazetteer holds.
TEST_F(GazetteerFromEditorTest, TheEditorPreparesTheGazetteerItsSearchThenLists) {
    int listed = -1;
    bool preparedUnseen = false;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<editor::EditForm*>(QApplication::activeModalWidget());
        if (editor == nullptr) {
            ADD_FAILURE() << "the record editor did not open";
            return;
        }
        if (!QTest::qWaitFor([this] { return GazetteerWindow() != nullptr; })) {
            ADD_FAILURE() << "the gazetteer was not prepared once the editor showed";
            editor->close();
            return;
        }
        preparedUnseen = !GazetteerWindow()->isVisible();
        QTimer::singleShot(0, [&] {
            gazetteer::frmGeoQuery* window = GazetteerWindow();
            if (window == nullptr || !window->isVisible()) {
                ADD_FAILURE() << "the gazetteer window did not show";
                return;
            }
            QTest::keyClicks(window->txt, QStringLiteral("lyon"));
            QTest::mouseClick(window->cmd[1], Qt::LeftButton);
            listed = window->ListView1->model()->rowCount();
            QTest::keyClick(window, Qt::Key_Escape);
        });
        QTest::mouseClick(editor->cmdSearch, Qt::LeftButton);
        editor->close();
    });
    QTest::mouseClick(form_->cmd[3], Qt::LeftButton); // the edit button
    EXPECT_TRUE(preparedUnseen);
    EXPECT_EQ(listed, 2); // Lyon and Lyons
}

} // namespace

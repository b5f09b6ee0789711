#include "app/Selection.h"

#include "../document/WorkTableFixture.h"
#include "../support/ScriptedPrompter.h"
#include "app/FileCommands.h"
#include "app/frmMessage.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <SQLiteCpp/Transaction.h>
#include <chrono>
#include <cstring>
#include <optional>

namespace {

using app::Selection;
using document::Data1;
using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;
using testing_support::WorkTableTest;

class SelectionDialogTest : public WorkTableTest {
protected:
    void SetUp() override {
        WorkTableTest::SetUp();
        AddPeriods({1, 2, 3, 1});
        Show(kSorted);
        hooks_.showSelectionLabel = [this](bool visible) { label_.push_back(visible); };
        hooks_.dataRefreshed = [this] { ++refreshed_; };
    }

    const QString kSorted = QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter");
    app::SelectionHooks hooks_;
    std::vector<bool> label_;
    int refreshed_ = 0;
};

TEST_F(SelectionDialogTest, TypingChoosesTheConditionAndApplyFiltersTheGrid) {
    Selection dialog(hooks_);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Sélection avancée"));
    EXPECT_TRUE(dialog.OptSelect[0]->isChecked());
    dialog.show();
    dialog.TxtSelect->setText(QStringLiteral("PERIOD = 1"));
    EXPECT_TRUE(dialog.OptSelect[1]->isChecked());
    ScriptedPrompter prompter;
    dialog.CmdSelect[0]->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Data1().recordSource(), QStringLiteral("SELECT * FROM DOVAZOV WHERE PERIOD = 1"));
    EXPECT_EQ(Data1().recordset().recordCount(), 2);
    EXPECT_EQ(label_, (std::vector<bool>{true}));
    EXPECT_EQ(refreshed_, 1);

    // The next opening shows the same choice; all records then hides the label.
    EXPECT_EQ(dialog.TxtSelect->text(), QStringLiteral("PERIOD = 1"));
    dialog.show();
    dialog.OptSelect[0]->setChecked(true);
    dialog.CmdSelect[0]->click();
    EXPECT_EQ(Data1().recordset().recordCount(), 4);
    EXPECT_EQ(label_, (std::vector<bool>{true, false}));
}

TEST_F(SelectionDialogTest, AnEmptyConditionBeepsAndClosesWithoutChange) {
    Selection dialog(hooks_);
    dialog.show();
    dialog.OptSelect[1]->setChecked(true);
    ScriptedPrompter prompter;
    dialog.CmdSelect[0]->click();
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Data1().recordSource(), kSorted);
    EXPECT_TRUE(label_.empty());
    EXPECT_EQ(refreshed_, 0);
}

TEST_F(SelectionDialogTest, ABadConditionShowsTheMessageAndKeepsThePreviousRows) {
    Selection dialog(hooks_);
    dialog.show();
    dialog.TxtSelect->setText(QStringLiteral("1=1; DELETE FROM DOVAZOV"));
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    dialog.CmdSelect[0]->click();
    // The dialog stays open with the condition, for the user to mend it.
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.TxtSelect->text(), QStringLiteral("1=1; DELETE FROM DOVAZOV"));
    EXPECT_EQ(Data1().recordSource(), kSorted);
    EXPECT_EQ(RowCount(), 4);
    EXPECT_TRUE(label_.empty());
}

// A condition naming a field the table does not have: the message names it and lists the fields
// a condition may use, in the chosen language, and the dialog stays open with the typed text.
TEST_F(SelectionDialogTest, AnUnknownFieldIsNamedWithTheFieldsAndTheDialogStaysOpen) {
    const struct {
        int langue;
        const char* opening;
        const char* fieldsWord;
    } cases[] = {
        {platform::kFrench, "La condition nomme un champ inconnu : Periode",
         "Champs utilisables : "},
        {platform::kEnglish, "The condition names an unknown field: Periode",
         "Fields it may use: "},
    };
    for (const auto& c : cases) {
        platform::SetLangue(c.langue);
        Selection dialog(hooks_);
        dialog.show();
        QTest::keyClicks(dialog.TxtSelect, QStringLiteral("Periode = 2"));
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(platform::Answer::Ok));
        QTest::mouseClick(dialog.CmdSelect[0], Qt::LeftButton);
        ASSERT_EQ(prompter.messages().size(), 1u) << c.langue;
        const QString text = prompter.messages()[0].text;
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.opening))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("no such column"))) << text.toStdString();
        const qsizetype fields = text.indexOf(QString::fromUtf8(c.fieldsWord));
        ASSERT_GE(fields, 0) << text.toStdString();
        const QStringList listed =
            text.mid(fields + qsizetype(std::strlen(c.fieldsWord))).split(QStringLiteral(", "));
        for (const char* field :
             {"Counter", "PERIOD", "LATITUDE", "LONGITUDE", "DATUM", "ORIGINAL", "COMMENT"}) {
            EXPECT_TRUE(listed.contains(QString::fromLatin1(field))) << field;
        }
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.TxtSelect->text(), QStringLiteral("Periode = 2"));
        EXPECT_EQ(Data1().recordSource(), kSorted);
        EXPECT_TRUE(label_.empty());

        // The mended condition applies and closes the dialog.
        dialog.TxtSelect->selectAll();
        QTest::keyClicks(dialog.TxtSelect, QStringLiteral("PERIOD = 2"));
        QTest::mouseClick(dialog.CmdSelect[0], Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(Data1().recordset().recordCount(), 1);
        Show(kSorted);
        label_.clear();
    }
}

TEST_F(SelectionDialogTest, CancelKeepsTheTextButTheCloseBoxStartsAfresh) {
    Selection dialog(hooks_);
    dialog.show();
    dialog.TxtSelect->setText(QStringLiteral("PERIOD = 2"));
    dialog.CmdSelect[1]->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.TxtSelect->text(), QStringLiteral("PERIOD = 2"));
    EXPECT_TRUE(dialog.OptSelect[1]->isChecked());

    dialog.show();
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.TxtSelect->text().isEmpty());
    EXPECT_TRUE(dialog.OptSelect[0]->isChecked());
    EXPECT_EQ(Data1().recordSource(), kSorted);
    EXPECT_TRUE(label_.empty());
}

TEST_F(SelectionDialogTest, TheWaitWindowsCancelStopsALongConditionAndKeepsTheRows) {
    {
        // Three thousand rows more: a four-way join of them would run for days.
        SQLite::Transaction transaction(document::WorkDb());
        AddPeriods(std::vector<std::optional<int>>(3000, 5));
        transaction.commit();
    }
    Show(kSorted);
    Data1().recordset().setAbsolutePosition(5);
    const std::vector<std::int64_t> before = Data1().recordset().bookmarks();

    app::WaitWindowFeedback feedback;
    platform::SetFeedback(&feedback);
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> pressedAt;
    bool workHeld = false;
    bool waitWindowModal = false;
    // The user presses Cancel as soon as the wait window is there.
    QTimer user;
    user.setInterval(20);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (feedback.window() != nullptr && !pressedAt) {
            workHeld = app::DocumentWorkUnderWay();
            waitWindowModal = QApplication::activeModalWidget() == feedback.window();
            pressedAt = Clock::now();
            feedback.window()->cmdCancel()->click();
        }
    });
    user.start();

    Selection dialog(hooks_);
    dialog.show();
    dialog.TxtSelect->setText(
        QStringLiteral("EXISTS (SELECT 1 FROM DOVAZOV a, DOVAZOV b, DOVAZOV c, DOVAZOV d "
                       "WHERE a.PERIOD + b.PERIOD + c.PERIOD + d.PERIOD < 0)"));
    ScriptedPrompter prompter;
    dialog.CmdSelect[0]->click();
    const Clock::time_point returned = Clock::now();
    user.stop();
    platform::SetFeedback(nullptr);

    ASSERT_TRUE(pressedAt.has_value());
    EXPECT_LT(returned - *pressedAt, std::chrono::seconds(1)); // a loose bound, not a speed test
    EXPECT_TRUE(workHeld);                                     // the automatic save waits
    EXPECT_TRUE(waitWindowModal);                              // no other window takes input
    EXPECT_EQ(feedback.window(), nullptr);
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Data1().recordSource(), kSorted);
    EXPECT_EQ(Data1().recordset().bookmarks(), before);
    EXPECT_EQ(Data1().recordset().absolutePosition(), 5);
    EXPECT_TRUE(label_.empty());
    EXPECT_EQ(refreshed_, 0);
}

} // namespace

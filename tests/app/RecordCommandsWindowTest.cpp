#include "MainWindowFixture.h"
#include "app/ColumnSelection.h"
#include "app/RecordTableModel.h"
#include "common/AppError.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <SQLiteCpp/Transaction.h>

namespace {

using platform::Answer;
using platform::Icon;
using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;
using testing_support::TypeText;

class RecordCommandsWindowTest : public app_test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        {
            ScriptedPrompter quiet;
            ASSERT_TRUE(Load());
        }
        form_->ActiveMenus();
    }

    // Rows 1..count: PERIOD 1, the comment "row <n>", a latitude whose single the grid shows
    // with fewer digits than it holds.
    void Fill(int count) {
        SQLite::Transaction transaction(document::WorkDb());
        SQLite::Statement insert(
            document::WorkDb(), "INSERT INTO DOVAZOV (PERIOD, LATITUDE, LONGITUDE, N1, SEX, DATUM, "
                                "ORIGINAL, DATE, COMMENT) VALUES (1, ?, 4.25, 5, 'M', 'EUR-M', "
                                "'deg 50.5 4.25', '2001', ?)");
        for (int i = 1; i <= count; ++i) {
            insert.bind(1, static_cast<double>(50.0F + static_cast<float>(i) * 0.0123457F));
            insert.bind(2, "row " + std::to_string(i));
            insert.exec();
            insert.reset();
        }
        transaction.commit();
        document::Data1().setRecordSource(document::Document().SqlTri);
        document::Data1().refresh();
        form_->RefreshGrid();
        document::Document().FileModified = 0;
    }

    void SetComment(std::int64_t counter, const std::string& comment) {
        SQLite::Statement update(document::WorkDb(),
                                 "UPDATE DOVAZOV SET COMMENT = ? WHERE Counter = ?");
        update.bind(1, comment);
        update.bind(2, counter);
        update.exec();
        form_->RefreshGrid();
    }

    QString Cell(int row, int column) const {
        return form_->model->data(form_->model->index(row, column)).toString();
    }
    int CurrentRow() const { return form_->TDBGrid1->currentIndex().row(); }
    void SelectRows(std::initializer_list<int> rows) {
        auto* selection = form_->TDBGrid1->selectionModel();
        for (const int row : rows) {
            selection->select(form_->model->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (const std::int64_t mark : form_->SelectedBookmarks()) {
            rows.push_back(form_->model->rowOfBookmark(mark));
        }
        return rows;
    }
    static int TableRows() {
        return document::WorkDb().execAndGet("SELECT COUNT(*) FROM DOVAZOV").getInt();
    }
};

TEST_F(RecordCommandsWindowTest, FindCancelledChangesNothingAndNotFoundShowsTheTextAsTyped) {
    Fill(3);
    {
        ScriptedPrompter prompter;
        prompter.expect(TypeText(""));
        form_->mnuChercher[0]->trigger();
        EXPECT_EQ(form_->findState().FindText, "");
        EXPECT_EQ(form_->findState().FindCriteria, "");
        EXPECT_EQ(prompter.inputPrompts(), QStringList{"Enter text to find"});
    }
    form_->TDBGrid1->setCurrentIndex(form_->model->index(1, 0));
    ScriptedPrompter prompter;
    prompter.expect(TypeText("lake"));
    prompter.expect(AnswerWith(Answer::Ok));
    form_->mnuChercher[0]->trigger();
    EXPECT_EQ(form_->findState().FindText, "lake");
    EXPECT_TRUE(form_->findState().FindCriteria.startsWith("SEX LIKE '*LAKE*' OR "));
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, "lake introuvable!");
    EXPECT_EQ(prompter.messages()[0].icon, Icon::Exclamation);
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_FALSE(form_->mnuChercher[1]->isEnabled());
}

TEST_F(RecordCommandsWindowTest, FindOffersTheTextLastTypedUnderItsTitle) {
    Fill(3);
    SetComment(2, "Near the Pond");
    ScriptedPrompter prompter;
    prompter.expect(TypeText(QStringLiteral("pond")));
    prompter.expect(TypeText(QString()));
    form_->mnuChercher_Click(0);
    form_->mnuChercher_Click(0); // cancelled: the text stays
    using testing_support::InputRequest;
    ASSERT_EQ(prompter.inputs().size(), 2U);
    EXPECT_EQ(prompter.inputs()[0],
              (InputRequest{QStringLiteral("Enter text to find"), QStringLiteral("Find"), {}}));
    EXPECT_EQ(prompter.inputs()[1], (InputRequest{QStringLiteral("Enter text to find"),
                                                  QStringLiteral("Find"), QStringLiteral("pond")}));
    EXPECT_EQ(form_->findState().FindText, QStringLiteral("pond"));
    EXPECT_EQ(form_->findState().FindCriteria,
              QStringLiteral("SEX LIKE '*POND*' OR DATUM = 'POND' OR ORIGINAL LIKE '*POND*' OR "
                             "DATE like '*POND*' OR COMMENT like '*POND*'"));
    EXPECT_EQ(CurrentRow(), 1);
}

TEST_F(RecordCommandsWindowTest, FindSelectsOnlyTheFoundRowAndFindNextReturnsWhenNoneFollows) {
    Fill(6);
    SetComment(5, "by the pond");
    SelectRows({0, 1, 2});
    ScriptedPrompter prompter;
    prompter.expect(TypeText("POND"));
    form_->cmd[4]->click(); // the command bar's Find
    EXPECT_EQ(CurrentRow(), 4);
    EXPECT_EQ(SelectedRows(), std::vector<int>{4});
    EXPECT_EQ(document::Data1().recordset().bookmark(), 5);
    EXPECT_TRUE(form_->mnuChercher[1]->isEnabled());

    prompter.expect(AnswerWith(Answer::Ok));
    form_->mnuChercher[1]->trigger();
    EXPECT_EQ(CurrentRow(), 4);
    EXPECT_EQ(document::Data1().recordset().bookmark(), 5);
    EXPECT_EQ(prompter.messages().back().text, "POND introuvable!");

    // Find next from the first row finds the next match after it.
    form_->TDBGrid1->setCurrentIndex(form_->model->index(0, 0));
    form_->mnuChercher[1]->trigger();
    EXPECT_EQ(CurrentRow(), 4);
}

TEST_F(RecordCommandsWindowTest, FindTakesQuotesAsTextAndFindsTheLatitudeTheGridShows) {
    Fill(5);
    SetComment(3, "O'Brien's farm");
    ScriptedPrompter prompter;
    prompter.expect(TypeText("o'brien"));
    form_->mnuChercher_Click(0);
    EXPECT_EQ(CurrentRow(), 2);
    EXPECT_EQ(prompter.messages().size(), 0U);

    const QString shown = Cell(3, 1);
    prompter.expect(TypeText(shown));
    form_->mnuChercher_Click(0);
    EXPECT_EQ(CurrentRow(), 3) << shown.toStdString();
    EXPECT_EQ(prompter.messages().size(), 0U);
}

TEST_F(RecordCommandsWindowTest, FindInAnEmptyDocumentEndsInTheErrorBox) {
    Fill(0);
    ScriptedPrompter prompter;
    prompter.expect(TypeText("x"));
    prompter.expect(AnswerWith(Answer::Ok));
    form_->mnuChercher_Click(0);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_TRUE(prompter.messages()[0].text.startsWith("Error 3021"));
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(form_->findState().FindText, "x");
}

TEST_F(RecordCommandsWindowTest, DuplicateAddsACopyAtTheEndAndMarksTheDocument) {
    Fill(3);
    form_->TDBGrid1->setCurrentIndex(form_->model->index(1, 0));
    form_->mnuDuplic->trigger();
    ASSERT_EQ(form_->model->rowCount(), 4);
    EXPECT_EQ(CurrentRow(), 3);
    EXPECT_EQ(form_->model->bookmarkAt(3), 4);
    for (int column = 0; column < 10; ++column) {
        EXPECT_EQ(Cell(3, column), Cell(1, column)) << column;
    }
    EXPECT_EQ(document::Document().FileModified, -1);
}

TEST_F(RecordCommandsWindowTest, EraseAsksThenEmptiesTheCurrentOrSelectedColumns) {
    Fill(3);
    form_->TDBGrid1->setCurrentIndex(form_->model->index(0, 5));
    {
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(Answer::No));
        form_->MnuEraseCol->trigger();
        EXPECT_EQ(prompter.messages()[0].text, "Delete all selected cells?");
        EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::YesNo);
        EXPECT_EQ(prompter.messages()[0].icon, Icon::Question);
        EXPECT_EQ(prompter.messages()[0].defaultButton, 2);
        EXPECT_EQ(Cell(2, 5), "M");
        EXPECT_EQ(document::Document().FileModified, 0);
    }
    {
        // No column selected: the current one (SEX) alone.
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(Answer::Yes));
        form_->MnuEraseCol_Click();
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(Cell(row, 5), "");
            EXPECT_EQ(Cell(row, 3), "5");
        }
        EXPECT_EQ(document::Document().FileModified, -1);
    }
    // Columns 4 to 7 selected: completes in every row, DATUM and ORIGINAL left Null.
    form_->columnSelection->click(4, false);
    form_->columnSelection->click(7, true);
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Yes));
    form_->MnuEraseCol_Click();
    EXPECT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(document::WorkDb()
                  .execAndGet("SELECT COUNT(*) FROM DOVAZOV WHERE N2 = 0 AND SEX = '' AND "
                              "DATUM IS NULL AND ORIGINAL IS NULL")
                  .getInt(),
              3);
    EXPECT_EQ(Cell(2, 6), "");
}

TEST_F(RecordCommandsWindowTest, DeleteRefusesWithoutSelectionAndAsksFirst) {
    Fill(4);
    {
        ScriptedPrompter prompter;
        prompter.expect(AnswerWith(Answer::Ok));
        form_->cmd[5]->click();
        EXPECT_EQ(prompter.messages()[0].text, "Select row(s) before");
        EXPECT_EQ(prompter.messages()[0].icon, Icon::Critical);
    }
    SelectRows({1});
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::No));
    form_->MnuSupprimer->trigger();
    EXPECT_EQ(prompter.messages()[0].text, "Are you sure to delete selected rows?");
    EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(prompter.messages()[0].icon, Icon::Exclamation);
    EXPECT_EQ(prompter.messages()[0].defaultButton, 1);
    EXPECT_EQ(TableRows(), 4);
    EXPECT_EQ(document::Document().FileModified, 0);
}

TEST_F(RecordCommandsWindowTest, DeleteOfTheLastRowsKeepsTheLastRowCurrentWithoutAnError) {
    Fill(5);
    form_->TDBGrid1->setCurrentIndex(form_->model->index(4, 0));
    SelectRows({3, 4});
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(Answer::Yes));
    form_->MnuSupprimer_Click();
    EXPECT_EQ(prompter.messages().size(), 1U); // the question alone: no error box follows
    EXPECT_EQ(prompter.beeps(), 2);            // before the question and at the end
    EXPECT_EQ(TableRows(), 3);
    EXPECT_EQ(form_->model->rowCount(), 3);
    EXPECT_EQ(CurrentRow(), 2);
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(document::Document().FileModified, -1);

    // Every row: nothing is left to select.
    SelectRows({0, 1, 2});
    prompter.expect(AnswerWith(Answer::Yes));
    platform::Settings().Silence = 1;
    form_->MnuSupprimer_Click();
    EXPECT_EQ(prompter.messages().size(), 2U);
    EXPECT_EQ(prompter.beeps(), 2);
    EXPECT_EQ(TableRows(), 0);
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(RecordCommandsWindowTest, FirstAndLastButtonsMoveAndDoNothingWithoutRows) {
    {
        ScriptedPrompter nothingShown;
        form_->cmdFirstLast[1]->click();
        Fill(0);
        form_->cmdFirstLast[0]->click();
        form_->cmdFirstLast[1]->click();
    }
    Fill(4);
    form_->cmdFirstLast[1]->click();
    EXPECT_EQ(CurrentRow(), 3);
    EXPECT_EQ(document::Data1().recordset().absolutePosition(), 3);
    form_->cmdFirstLast[0]->click();
    EXPECT_EQ(CurrentRow(), 0);
}

TEST_F(RecordCommandsWindowTest, GridColoursComeFromTheDialogAndCancelKeepsThem) {
    const app::MainWindowSettings before = form_->windowSettings();
    const QColor shown = form_->TDBGrid1->palette().color(QPalette::Base);
    QColor offered;
    form_->chooseColor = [&](const QColor& initial) {
        offered = initial;
        return QColor(0x12, 0x34, 0x56);
    };
    form_->MnuGrille->trigger();
    EXPECT_EQ(offered, shown); // the dialog opens on the colour the grid shows
    EXPECT_EQ(form_->windowSettings().GridBackColor, 0x563412);
    EXPECT_EQ(form_->TDBGrid1->palette().color(QPalette::Base), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(form_->windowSettings().GridForeColor, before.GridForeColor);

    form_->chooseColor = [&](const QColor& initial) {
        offered = initial;
        return QColor(0xAB, 0xCD, 0xEF);
    };
    form_->MnuTxtGrille->trigger();
    EXPECT_EQ(form_->windowSettings().GridForeColor, 0xEFCDAB);
    EXPECT_EQ(form_->TDBGrid1->palette().color(QPalette::Text), QColor(0xAB, 0xCD, 0xEF));

    ScriptedPrompter nothingShown;
    form_->chooseColor = [&](const QColor& initial) {
        offered = initial;
        return QColor();
    };
    form_->MnuGrille->trigger();
    EXPECT_EQ(offered, QColor(0x12, 0x34, 0x56));
    form_->MnuTxtGrille->trigger();
    EXPECT_EQ(form_->windowSettings().GridBackColor, 0x563412);
    EXPECT_EQ(form_->windowSettings().GridForeColor, 0xEFCDAB);
}

TEST_F(RecordCommandsWindowTest, TheSelectionLabelReadsSelectionAndWaitsForAFilter) {
    EXPECT_EQ(form_->lbl1->text(), QStringLiteral("SELECTION!"));
    EXPECT_FALSE(form_->lbl1->isVisible());
}

TEST(GridColorNumbers, AreBlueGreenRed) {
    EXPECT_EQ(app::ColorNumber(QColor(255, 0, 0)), 0x0000FF);
    EXPECT_EQ(app::ColorNumber(QColor(0, 0, 255)), 0xFF0000);
    EXPECT_EQ(app::ColorOf(0x00FF8040, QPalette()), QColor(0x40, 0x80, 0xFF));
}

} // namespace

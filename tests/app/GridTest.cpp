#include "MainWindowFixture.h"
#include "app/RecordTableModel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTableView>
#include <SQLiteCpp/Transaction.h>

namespace {

using testing_support::ScriptedPrompter;

class GridTest : public app_test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ScriptedPrompter quiet;
        ASSERT_TRUE(Load());
    }

    // `count` records with PERIOD 1 to count, shown in Counter order.
    void Fill(int count) {
        SQLite::Transaction transaction(document::WorkDb());
        SQLite::Statement insert(document::WorkDb(),
                                 "INSERT INTO DOVAZOV (PERIOD, LATITUDE, LONGITUDE, DATUM, "
                                 "ORIGINAL) VALUES (?, 50.5, 4.25, 'EUR-M', 'deg 50.5 4.25')");
        for (int i = 1; i <= count; ++i) {
            insert.bind(1, i % 32000);
            insert.exec();
            insert.reset();
        }
        transaction.commit();
        document::Data1().setRecordSource(document::Document().SqlTri);
        document::Data1().refresh();
        form_->RefreshGrid();
    }

    QString Cell(int row, int column) const {
        return form_->model->data(form_->model->index(row, column)).toString();
    }
    QString Panel1() const { return form_->StatusPanel[0]->text(); }
};

TEST_F(GridTest, ShowsTheRecordSetAndFollowsTheCurrentRowInTheStatusBar) {
    Fill(120);
    ASSERT_EQ(form_->model->rowCount(), 120);
    EXPECT_EQ(Cell(0, 0), "1");
    EXPECT_EQ(Cell(0, 1), "50.5");
    EXPECT_EQ(Cell(119, 2), "4.25");
    EXPECT_EQ(Cell(5, 7), "deg 50.5 4.25");
    EXPECT_EQ(Cell(5, 3), ""); // Null

    form_->TDBGrid1->setCurrentIndex(form_->model->index(2, 0));
    form_->TDBGrid1->setCurrentIndex(form_->model->index(3, 0));
    EXPECT_EQ(Panel1(), "4/120");
    EXPECT_EQ(document::Data1().recordset().absolutePosition(), 3);
    form_->StatusPanel[0]->setText("unchanged");
    form_->TDBGrid1->setCurrentIndex(form_->model->index(3, 6));
    EXPECT_EQ(Panel1(), "unchanged");
    EXPECT_EQ(app::PositionText(0, 0), "0/0");
}

TEST_F(GridTest, TypingIsAcceptedInUnlockedColumnsOnlyAndMarksTheDocument) {
    Fill(3);
    struct Case {
        int column;
        const char* typed;
        bool accepted;
    };
    const Case cases[] = {{0, "7", true},     {1, "1", false},
                          {2, "1", false},    {3, "12", true},
                          {4, "3", true},     {5, "F", true},
                          {6, "NTF", false},  {7, "x", false},
                          {8, "2001", false}, {9, "near the pond", true}};
    for (const Case& c : cases) {
        document::Document().FileModified = 0;
        const QModelIndex cell = form_->model->index(1, c.column);
        EXPECT_EQ(form_->model->flags(cell).testFlag(Qt::ItemIsEditable), c.accepted) << c.column;
        EXPECT_EQ(form_->model->setData(cell, QString::fromUtf8(c.typed)), c.accepted) << c.column;
        EXPECT_EQ(document::Document().FileModified, c.accepted ? -1 : 0) << c.column;
        if (c.accepted) {
            EXPECT_EQ(Cell(1, c.column), c.typed);
        }
    }
    const auto stored =
        document::WorkDb().execAndGet("SELECT COMMENT FROM DOVAZOV WHERE Counter = 2").getString();
    EXPECT_EQ(stored, "near the pond");
    EXPECT_EQ(document::Data1().recordset().current().COMMENT.value_or(""), "near the pond");
}

TEST_F(GridTest, AValueTheTableRefusesIsReportedAndChangesNothing) {
    Fill(1);
    ScriptedPrompter prompter;
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    document::Document().FileModified = 0;
    EXPECT_FALSE(form_->model->setData(form_->model->index(0, 5), "too long"));
    EXPECT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(document::Document().FileModified, 0);
    EXPECT_EQ(Cell(0, 5), "");
}

// The error's own text stays first; the column, by its caption, and what it takes follow, in the
// chosen language.
TEST_F(GridTest, ARefusedValueNamesItsColumnAndWhatItTakes) {
    Fill(1);
    struct Case {
        int column;
        const char* typed;
        int langue;
        const char* detail; // %1: the column's caption
    };
    const Case cases[] = {
        {3, "12abc", platform::kEnglish,
         "Column %1: a whole number from -2147483648 to 2147483647"},
        {4, "1e10", platform::kEnglish, "Column %1: a whole number from -2147483648 to 2147483647"},
        {0, "40000", platform::kFrench, "Colonne %1 : un nombre entier de -32768 à 32767"},
        {5, "XY", platform::kEnglish, "Column %1: a text of at most 1 character(s)"},
        {5, "XY", platform::kFrench, "Colonne %1 : un texte de 1 caractère(s) au plus"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " in column " + std::to_string(c.column));
        platform::SetLangue(c.langue);
        ScriptedPrompter prompter;
        prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
        EXPECT_FALSE(form_->model->setData(form_->model->index(0, c.column), c.typed));
        ASSERT_EQ(prompter.messages().size(), 1U);
        const QString text = prompter.messages()[0].text;
        const QString caption = form_->model->headerData(c.column, Qt::Horizontal).toString();
        ASSERT_FALSE(caption.isEmpty());
        EXPECT_TRUE(text.startsWith("Error ")) << text.toStdString();
        EXPECT_TRUE(text.endsWith("\r\r" + QString::fromUtf8(c.detail).arg(caption)))
            << text.toStdString();
    }
    platform::SetLangue(platform::kEnglish);
}

TEST(GridCells, NumbersShowWithoutAnExponent) {
    const std::pair<double, const char*> cases[] = {
        {-0.00001, "-0.00001"}, {0.000123456, "0.000123456"}, {50.5, "50.5"},
        {-179.5, "-179.5"},     {12345678.0, "12345678"},     {0.0, "0"}};
    for (const auto& [value, shown] : cases) {
        EXPECT_EQ(app::NumberText(value), shown) << value;
    }
    EXPECT_EQ(app::CellText(QVariant(-0.00001f)), "-0.00001");
}

// At their default widths the columns show their captions and a whole value of each field.
TEST_F(GridTest, DefaultColumnWidthsShowTheCaptionsAndWholeValues) {
    const char* widest[] = {"-32768",     "-89.99999", "-179.99999", "-99999",
                            "-99999",     "M",         "WGS84",      "deg -89.99999 -179.99999",
                            "31/12/2001", ""};
    QTableView* grid = form_->TDBGrid1;
    for (int column = 0; column < 10; ++column) {
        const QString caption = form_->model->headerData(column, Qt::Horizontal).toString();
        const int width = grid->columnWidth(column);
        EXPECT_GE(width, grid->horizontalHeader()->fontMetrics().horizontalAdvance(caption) + 8)
            << caption.toStdString();
        EXPECT_GE(width,
                  grid->fontMetrics().horizontalAdvance(QString::fromLatin1(widest[column])) + 8)
            << caption.toStdString();
    }
}

TEST_F(GridTest, ALargeDocumentKeepsOnlyAFewPagesInMemory) {
    Fill(20000);
    ASSERT_EQ(form_->model->rowCount(), 20000);
    for (int row = 0; row < 20000; row += 97) {
        ASSERT_EQ(Cell(row, 0), QString::number((row + 1) % 32000));
    }
    EXPECT_LE(form_->model->cachedPages(), app::RecordTableModel::kPagesKept);
    EXPECT_EQ(form_->model->bookmarkAt(19999), 20000);
    EXPECT_EQ(form_->model->rowOfBookmark(20000), 19999);
    // Showing the document and going to its last row never writes out the bookmark list of a
    // document in its table's order: it costs the same for ten records and ten million.
    form_->showNormal();
    form_->TDBGrid1->setCurrentIndex(form_->model->index(19999, 0));
    form_->TDBGrid1->scrollTo(form_->model->index(19999, 0));
    form_->TDBGrid1->grab();
    EXPECT_EQ(Cell(19999, 0), QString::number(20000));
    EXPECT_FALSE(document::Data1().recordset().bookmarkList()->byRow());
}

TEST(GridRanges, ShiftClickRangesRunFromTheAnchor) {
    EXPECT_EQ(app::RangeRows(4, 8), (std::vector<int>{4, 5, 6, 7, 8}));
    EXPECT_EQ(app::RangeRows(4, 1), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(app::RangeRows(4, 4), (std::vector<int>{4}));
}

TEST_F(GridTest, ShiftClickSelectsTheRunFromTheAnchorToTheClickedRow) {
    Fill(12);
    form_->showNormal();
    form_->resize(900, 700);
    QApplication::processEvents();
    QTableView* grid = form_->TDBGrid1;
    const auto click = [grid](int row, Qt::KeyboardModifiers modifiers) {
        const QPoint point(grid->columnViewportPosition(1) + 2, grid->rowViewportPosition(row) + 2);
        QMouseEvent press(QEvent::MouseButtonPress, point, grid->viewport()->mapToGlobal(point),
                          Qt::LeftButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(grid->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, point, grid->viewport()->mapToGlobal(point),
                            Qt::LeftButton, Qt::NoButton, modifiers);
        QApplication::sendEvent(grid->viewport(), &release);
    };
    const auto selected = [this] {
        std::vector<std::int64_t> marks = form_->SelectedBookmarks();
        return marks;
    };
    grid->selectRow(4); // the fifth record
    click(4, Qt::NoModifier);
    click(8, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (std::vector<std::int64_t>{5, 6, 7, 8, 9}));
    click(1, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (std::vector<std::int64_t>{2, 3, 4, 5}));
    click(4, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (std::vector<std::int64_t>{5}));
}

TEST_F(GridTest, SelectedBookmarksComeInRecordSetOrder) {
    Fill(10);
    QItemSelectionModel* selection = form_->TDBGrid1->selectionModel();
    for (const int row : {6, 2, 4}) {
        selection->select(form_->model->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    EXPECT_EQ(form_->SelectedBookmarks(), (std::vector<std::int64_t>{3, 5, 7}));
}

TEST_F(GridTest, SortControlsReorderTheGrid) {
    Fill(5);
    form_->CmbTri->setCurrentIndex(1); // period
    form_->OptTri[1]->setChecked(true);
    form_->OptTri_Click(1);
    EXPECT_EQ(Cell(0, 0), "5");
    EXPECT_EQ(Cell(4, 0), "1");
}

} // namespace

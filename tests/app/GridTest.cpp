#include "MainWindowFixture.h"
#include "app/RecordTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
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
    // The cell of the record at `position`, moving the model's window to it if need be.
    QString PositionCell(int position, int column) const {
        if (form_->model->rowOfPosition(position) < 0) {
            form_->model->moveWindow(position);
        }
        return Cell(form_->model->rowOfPosition(position), column);
    }
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

TEST_F(GridTest, ALargeDocumentKeepsOnlyAFewPagesAndAWindowOfRows) {
    Fill(20000);
    // The view keeps state for the model's rows: a window of them, whatever the document.
    ASSERT_EQ(form_->model->rowCount(), app::RecordTableModel::kWindowRows);
    EXPECT_EQ(form_->model->recordCount(), 20000);
    for (int position = 0; position < 20000; position += 97) {
        ASSERT_EQ(PositionCell(position, 0), QString::number((position + 1) % 32000));
    }
    EXPECT_LE(form_->model->cachedPages(), app::RecordTableModel::kPagesKept);
    EXPECT_EQ(form_->model->bookmarkAt(19999), 20000);
    EXPECT_EQ(form_->model->rowOfBookmark(20000), 19999);
    // Showing the document and going to its last row never writes out the bookmark list of a
    // document in its table's order: it costs the same for ten records and ten million.
    form_->showNormal();
    form_->TDBGrid1->setCurrentPosition(19999);
    form_->TDBGrid1->grab();
    EXPECT_EQ(form_->TDBGrid1->currentPosition(), 19999);
    EXPECT_EQ(PositionCell(19999, 0), QString::number(20000));
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

// The grid over more records than its model's window holds: a window of 100 rows over 1000
// records, whose PERIOD is their 1-based position.
class WindowedGridTest : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        form_->model->setWindowRows(100);
        Fill(1000);
        form_->showNormal();
        form_->resize(900, 700);
        QApplication::processEvents();
        grid_ = form_->TDBGrid1;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(grid_, &press);
    }
    void Click(int y, Qt::KeyboardModifiers modifiers) {
        const QPoint point(grid_->columnViewportPosition(1) + 2, y);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, point, grid_->viewport()->mapToGlobal(point), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              modifiers);
            QApplication::sendEvent(grid_->viewport(), &event);
        }
    }
    // The position and PERIOD of the record shown at `y` in the grid.
    std::pair<int, QString> ShownAt(int y) const {
        const int row = grid_->rowAt(y);
        return {grid_->positionAt(y), row >= 0 ? Cell(row, 0) : QString()};
    }
    int LastVisibleY() const { return grid_->viewport()->height() - 2; }

    app::RecordGridView* grid_ = nullptr;
};

TEST_F(WindowedGridTest, TheScrollBarRunsOverEveryRecord) {
    QScrollBar* bar = grid_->verticalScrollBar();
    const int visible = bar->pageStep();
    ASSERT_GT(visible, 5);
    ASSERT_LT(visible, 50);
    EXPECT_EQ(bar->maximum(), 1000 - visible);
    bar->setValue(bar->maximum());
    grid_->grab();
    // The last record ends at the bottom; the row above the first whole one shows in part.
    EXPECT_GE(ShownAt(2).first, 1000 - visible - 1);
    EXPECT_EQ(ShownAt(LastVisibleY()).first, 999);
    EXPECT_EQ(ShownAt(LastVisibleY()).second, "1000");
    EXPECT_EQ(form_->model->headerData(grid_->rowAt(LastVisibleY()), Qt::Vertical).toInt(), 1000);
    bar->setValue(500);
    EXPECT_EQ(ShownAt(2), (std::pair<int, QString>{500, QStringLiteral("501")}));
    bar->setValue(0);
    EXPECT_EQ(ShownAt(2), (std::pair<int, QString>{0, QStringLiteral("1")}));
}

TEST_F(WindowedGridTest, KeyboardMovesCrossTheWindowsEdges) {
    grid_->setCurrentPosition(0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid_->currentPosition(), 999);
    EXPECT_EQ(Panel1(), "1000/1000");
    EXPECT_EQ(document::Data1().recordset().absolutePosition(), 999);
    EXPECT_EQ(ShownAt(LastVisibleY()).second, "1000");

    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid_->currentPosition(), 0);
    EXPECT_EQ(ShownAt(2).second, "1");

    // Down one row at a time, past the window's first 100 rows.
    for (int i = 0; i < 150; ++i) {
        Key(Qt::Key_Down);
    }
    EXPECT_EQ(grid_->currentPosition(), 150);
    EXPECT_EQ(Panel1(), "151/1000");
    // A page at a time, to the end and back.
    for (int i = 0; i < 200; ++i) {
        Key(Qt::Key_PageDown);
    }
    EXPECT_EQ(grid_->currentPosition(), 999);
    for (int i = 0; i < 200; ++i) {
        Key(Qt::Key_PageUp);
    }
    EXPECT_EQ(grid_->currentPosition(), 0);
}

TEST_F(WindowedGridTest, SelectedRowsReachBeyondTheWindow) {
    // A shift-click at the bottom from the row selected at the top.
    Click(grid_->rowViewportPosition(10) + 2, Qt::NoModifier);
    grid_->verticalScrollBar()->setValue(grid_->verticalScrollBar()->maximum());
    Click(LastVisibleY(), Qt::ShiftModifier);
    std::vector<std::int64_t> expected;
    for (std::int64_t mark = 11; mark <= 1000; ++mark) {
        expected.push_back(mark);
    }
    EXPECT_EQ(form_->SelectedBookmarks(), expected);
    // Back at the top, the run is still shown from its first row.
    grid_->verticalScrollBar()->setValue(0);
    EXPECT_TRUE(grid_->selectionModel()->isRowSelected(form_->model->rowOfPosition(10)));
    EXPECT_FALSE(grid_->selectionModel()->isRowSelected(form_->model->rowOfPosition(9)));
    EXPECT_EQ(form_->SelectedBookmarks(), expected);

    // A plain click starts afresh, also beyond the window.
    Click(grid_->rowViewportPosition(3) + 2, Qt::NoModifier);
    EXPECT_EQ(form_->SelectedBookmarks(), (std::vector<std::int64_t>{4}));

    // Shift with the keyboard: from record 500 to the last one.
    grid_->setCurrentPosition(499, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Key(Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier);
    const std::vector<std::int64_t> tail = form_->SelectedBookmarks();
    ASSERT_EQ(tail.size(), 501U);
    EXPECT_EQ(tail.front(), 500);
    EXPECT_EQ(tail.back(), 1000);

    // A row taken out of the run beyond the window, then every record.
    grid_->verticalScrollBar()->setValue(0);
    grid_->selectPositions(700, 700, QItemSelectionModel::Deselect);
    EXPECT_EQ(form_->SelectedBookmarks().size(), 500U);
    grid_->selectAll();
    EXPECT_EQ(form_->SelectedBookmarks().size(), 1000U);
}

TEST_F(WindowedGridTest, TheCurrentRowStaysWhenScrolledAwayAndAfterARefresh) {
    grid_->setCurrentPosition(900);
    grid_->verticalScrollBar()->setValue(0);
    EXPECT_EQ(grid_->currentPosition(), 900);
    EXPECT_EQ(Panel1(), "901/1000");
    form_->RefreshGrid();
    EXPECT_EQ(grid_->currentPosition(), 900);
    EXPECT_EQ(Panel1(), "901/1000");
    EXPECT_EQ(ShownAt(grid_->rowViewportPosition(form_->model->rowOfPosition(900)) + 2).second,
              "901");
    // Typing into it writes the record at that position.
    EXPECT_TRUE(form_->model->setData(form_->model->index(form_->model->rowOfPosition(900), 3),
                                      QStringLiteral("77")));
    EXPECT_EQ(document::WorkDb().execAndGet("SELECT N1 FROM DOVAZOV WHERE Counter = 901").getInt(),
              77);
    grid_->verticalScrollBar()->setValue(0);
    EXPECT_EQ(PositionCell(900, 3), "77");
}

} // namespace

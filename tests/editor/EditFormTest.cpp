#include "editor/EditForm.h"

#include "../app/MainWindowFixture.h"
#include "EditorReference.h"
#include "app/RecordTableModel.h"
#include "document/DistributionReader.h"
#include "document/Recompute.h"
#include "document/RecordSet.h"
#include "editor/EditorGeometry.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <functional>

namespace {

using platform::Answer;
using testing_support::AnswerWith;
using testing_support::ScriptedPrompter;

// The main window with the distribution fixture open (five records, free fields HAB and ALT), and
// the record editor opened from its edit button.
class EditFormTest : public app_test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        {
            ScriptedPrompter quiet;
            ASSERT_TRUE(Load());
        }
        OpenFixture();
        document::Document().FileModified = 0;
    }

    // Makes a grid cell current, as a click on it does.
    void SelectCell(int row, int column) {
        form_->TDBGrid1->setCurrentIndex(form_->model->index(row, column));
    }
    std::int64_t CurrentCounter() { return document::Data1().recordset().bookmark(); }
    static document::Record Stored(std::int64_t counter) {
        SQLite::Statement query(document::WorkDb(),
                                "SELECT Counter, PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, "
                                "ORIGINAL, DATE, COMMENT FROM DOVAZOV WHERE Counter = ?");
        query.bind(1, counter);
        EXPECT_TRUE(query.executeStep());
        return document::RecordFromRow(query);
    }

    // Opens the editor by the edit button and runs `steps` in it once it is shown and active;
    // closes it by its close box if the steps left it open.
    void WithEditor(const std::function<void(editor::EditForm&)>& steps) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<editor::EditForm*>(QApplication::activeModalWidget());
            if (window == nullptr) {
                ADD_FAILURE() << "the record editor did not open";
                return;
            }
            window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window));
            QCoreApplication::processEvents(); // the opening focus
            steps(*window);
            ran = true;
            if (window->isVisible()) {
                window->close();
            }
        });
        form_->cmd_Click(3);
        EXPECT_TRUE(ran);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }

    static void Leave(QWidget* field, QWidget* to) {
        to->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_FALSE(field->hasFocus());
    }
};

TEST_F(EditFormTest, TypingABritishGridReferenceSavesItsPositionIntoTheWorkingTable) {
    ScriptedPrompter prompter;
    SelectCell(3, 1); // a row without coordinate text
    const std::int64_t counter = CurrentCounter();
    WithEditor([&](editor::EditForm& window) {
        EXPECT_FALSE(window.ButOk->isEnabled());
        window.cmbSystem->activated(5); // British National Grid
        EXPECT_FALSE(window.EditBox[0]->isVisible());
        window.EditBox[1]->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(window.EditBox[1], QStringLiteral("tq"));
        window.EditBox[2]->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(window.EditBox[2], QStringLiteral("30 80"));
        Leave(window.EditBox[2], window.ChampCh1);
        EXPECT_EQ(window.EditBox[1]->text(), QStringLiteral("TQ"));
        EXPECT_EQ(window.EditBox[2]->text(), QStringLiteral("3080"));
        EXPECT_TRUE(window.ButOk->isEnabled());
        QTest::mouseClick(window.ButOk, Qt::LeftButton);
        EXPECT_FALSE(window.ButOk->isEnabled());
        QTest::mouseClick(window.ButEsc, Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(prompter.messages().empty());

    const document::Record row = Stored(counter);
    EXPECT_EQ(row.ORIGINAL, QStringLiteral("bng TQ 3080"));
    EXPECT_EQ(row.DATUM, QStringLiteral("OGB-M"));
    const editor_test::LatLon expected = editor_test::ReferenceShift(
        editor_test::ReferenceInverse("EPSG:4277", "EPSG:27700", 530499, 180499),
        geodesy::DatumIndex("OGB-M"), geodesy::Datums().DestIndex);
    ASSERT_TRUE(row.LATITUDE && row.LONGITUDE);
    EXPECT_LT(testref::GroundMetres(*row.LATITUDE - expected.lat, *row.LONGITUDE - expected.lon,
                                    expected.lat),
              2.0);
    // The grid shows the saved row, and the document is marked as changed.
    EXPECT_EQ(form_->model->data(form_->model->index(3, 7)).toString(),
              QStringLiteral("bng TQ 3080"));
    EXPECT_EQ(document::Document().FileModified, -1);
    EXPECT_TRUE(form_->TDBGrid1->hasFocus() || !form_->isActiveWindow());
}

TEST_F(EditFormTest, ParisGradesTypedInTheEditorKeepTheirPositionAtTheNextRecompute) {
    // 50 grades north and 0.736412 grade east of the Paris meridian of EPSG 8903 (2°20'14.025",
    // 2.33722917°): 45° N and 0.6627708° + 2.33722917° = 3.0000000° E, in NTF as typed.
    geodesy::Datums().DestIndex = geodesy::DatumIndex("NTF");
    ScriptedPrompter prompter;
    SelectCell(3, 1); // a row without coordinate text
    const std::int64_t counter = CurrentCounter();
    WithEditor([&](editor::EditForm& window) {
        window.cmbSystem->activated(4); // Paris grades
        window.EditBox[1]->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(window.EditBox[1], QStringLiteral("50"));
        window.EditBox[2]->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(window.EditBox[2], QStringLiteral("0,736412"));
        Leave(window.EditBox[2], window.ChampCh1);
        QTest::mouseClick(window.ButOk, Qt::LeftButton);
        QTest::mouseClick(window.ButEsc, Qt::LeftButton);
    });
    EXPECT_TRUE(prompter.messages().empty());
    const document::Record typed = Stored(counter);
    EXPECT_EQ(typed.DATUM, QStringLiteral("NTF"));
    ASSERT_TRUE(typed.LATITUDE && typed.LONGITUDE);
    EXPECT_EQ(*typed.LATITUDE, 45.0F);
    EXPECT_EQ(*typed.LONGITUDE, 3.0F);

    // The recompute reads the stored text with the parser: the record stays where it was typed.
    document::AjusteDegres(document::kNoMesh, document::kNoMesh);
    const document::Record recomputed = Stored(counter);
    EXPECT_EQ(recomputed.ORIGINAL, typed.ORIGINAL);
    EXPECT_EQ(recomputed.LATITUDE, typed.LATITUDE);
    EXPECT_EQ(recomputed.LONGITUDE, typed.LONGITUDE);
}

// A row saved in the editor is the document's change: Quit, New and Open ask the save question
// (each answered Cancel, so the document stays for the next).
TEST_F(EditFormTest, ARowSavedInTheEditorIsOfferedForSavingAtQuitNewAndOpen) {
    ScriptedPrompter prompter;
    SelectCell(0, 3);
    const std::int64_t counter = CurrentCounter();
    WithEditor([&](editor::EditForm& window) {
        window.ChampCh1->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents(); // the focus selects the whole text
        QTest::keyClicks(window.ChampCh1, QStringLiteral("77"));
        QTest::mouseClick(window.ButOk, Qt::LeftButton);
        EXPECT_FALSE(window.ButOk->isEnabled());
    });
    ASSERT_EQ(Stored(counter).N1, 77);
    ASSERT_TRUE(prompter.messages().empty());

    const struct {
        const char* name;
        bool asksLinesFirst; // New asks for the number of lines before the question
        std::function<void()> run;
    } commands[] = {
        {"Quit", false, [&] { form_->MnuQuitter_Click(); }},
        {"New", true, [&] { form_->MnuNouveau_Click(); }},
        {"Open", false, [&] { form_->MnuOuvrir_Click(); }},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.name);
        const std::size_t asked = prompter.messages().size();
        if (command.asksLinesFirst) {
            prompter.expect(testing_support::TypeText(QStringLiteral("3")));
        }
        prompter.expect(AnswerWith(Answer::Cancel));
        command.run();
        ASSERT_EQ(prompter.messages().size(), asked + 1);
        EXPECT_EQ(prompter.messages().back().buttons, platform::Buttons::YesNoCancel);
        EXPECT_EQ(ended_, 0);
        EXPECT_EQ(Stored(counter).N1, 77);
        EXPECT_EQ(document::Document().FileModified, -1);
    }
}

// A reference that names no square is refused at Save with the entry's message, once per click,
// and nothing is written: neither the text into ORIGINAL nor a position.
TEST_F(EditFormTest, ASaveIsRefusedWhileTheTypedEntryNamesNoSquare) {
    struct Case {
        int system;
        const char* boxes[3];
        const char* shown; // a part of the message
    };
    const Case cases[] = {
        {8, {"", "", "n5"}, "N5"},                           // IFBL: no row N
        {8, {"", "", "a996"}, "A996"},                       // IFBL: no 4 km row 9
        {3, {"61", "u", "er7167039221"}, "61UER7167039221"}, // MGRS zone 61
        {3, {"31", "i", "er71673922"}, "31IER71673922"},     // MGRS band I
        {5, {"", "ti", "3080"}, "TI 3080"},                  // no British square TI
        {6, {"", "i", "1234"}, "I 1234"},                    // no Irish square I
    };
    SelectCell(3, 1); // a row without coordinate text
    const std::int64_t counter = CurrentCounter();
    const document::Record before = Stored(counter);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        ScriptedPrompter prompter;
        WithEditor([&](editor::EditForm& window) {
            window.cmbSystem->activated(c.system);
            for (int i = 0; i < 3; ++i) {
                if (*c.boxes[i] != '\0') {
                    window.EditBox[static_cast<std::size_t>(i)]->setFocus(Qt::TabFocusReason);
                    QTest::keyClicks(window.EditBox[static_cast<std::size_t>(i)],
                                     QString::fromLatin1(c.boxes[i]));
                }
            }
            // Clicked with the focus in box 2, then once more from box 2 given back the focus.
            for (int click = 1; click <= 2; ++click) {
                prompter.expect(AnswerWith(Answer::Ok));
                QTest::mouseClick(window.ButOk, Qt::LeftButton);
                ASSERT_EQ(prompter.messages().size(), static_cast<std::size_t>(click));
                EXPECT_TRUE(prompter.messages().back().text.contains(QLatin1String(c.shown)))
                    << prompter.messages().back().text.toStdString();
                EXPECT_TRUE(window.ButOk->isEnabled());
                EXPECT_TRUE(window.EditBox[2]->hasFocus());
            }
        });
        EXPECT_EQ(Stored(counter), before);
        EXPECT_EQ(document::Document().FileModified, 0);
    }
}

TEST_F(EditFormTest, ASaveByShortcutFirstConvertsTheBoxAndCommitsTheCellBeingEdited) {
    ScriptedPrompter prompter;
    SelectCell(3, 1);
    const std::int64_t counter = CurrentCounter();
    WithEditor([&](editor::EditForm& window) {
        window.cmbSystem->activated(0);
        window.EditBox[1]->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(window.EditBox[1], QStringLiteral("50,5"));
        window.EditBox[2]->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(window.EditBox[2], QStringLiteral("4,75"));
        // Alt+S presses the save button (its click comes a moment later).
        QTest::keyClick(window.windowHandle(), Qt::Key_S, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.ButOk->isEnabled(); }, 2000));
        EXPECT_FLOAT_EQ(*Stored(counter).LATITUDE, 50.5F);

        // The button pressed while the focus stays in box 2.
        window.EditBox[2]->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents(); // the focus selects the whole text
        QTest::keyClick(window.EditBox[2], Qt::Key_End);
        QTest::keyClicks(window.EditBox[2], QStringLiteral("5"));
        window.ButOk->click();
        EXPECT_TRUE(window.EditBox[2]->hasFocus());
        EXPECT_EQ(window.ChampLongitude->text(), QStringLiteral("+4.755"));

        // A value typed into a free field and saved while its cell editor is open.
        window.Grid->setFocus(Qt::TabFocusReason);
        window.Grid->setCurrentCell(1, 1);
        QTest::keyClicks(window.Grid, QStringLiteral("8"));
        ASSERT_TRUE(window.txtEdit->isVisible());
        QTest::keyClicks(window.txtEdit, QStringLiteral("00"));
        window.ButOk->click();
        EXPECT_FALSE(window.txtEdit->isVisible());
        EXPECT_FALSE(window.ButOk->isEnabled());
    });
    const document::Record row = Stored(counter);
    EXPECT_EQ(row.ORIGINAL, QStringLiteral("deg 50,5 4,755"));
    ASSERT_TRUE(row.LATITUDE && row.LONGITUDE);
    EXPECT_FLOAT_EQ(*row.LATITUDE, 50.5F);
    EXPECT_FLOAT_EQ(*row.LONGITUDE, 4.755F);
    EXPECT_EQ(row.COMMENT, QStringLiteral("/800/"));
}

TEST_F(EditFormTest, TheFreeFieldCellEditor) {
    ScriptedPrompter prompter;
    SelectCell(0, 9); // read as "/pond/nest": Habitat empty, Altitude pond, free text nest
    WithEditor([&](editor::EditForm& window) {
        EXPECT_TRUE(window.ChampLibre->hasFocus());
        ASSERT_EQ(window.Grid->rowCount(), 2);
        EXPECT_EQ(window.Grid->item(0, 0)->text(), QStringLiteral("Habitat"));
        EXPECT_EQ(window.Grid->item(1, 0)->text(), QStringLiteral(" Altitude"));
        EXPECT_EQ(window.Grid->item(1, 1)->text(), QStringLiteral("pond"));
        EXPECT_EQ(window.ChampLibre->toPlainText(), QStringLiteral("nest"));
        window.Grid->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(window.Grid->currentColumn(), 1);
        window.Grid->setCurrentCell(0, 1);

        // A typed character replaces the cell; Enter writes it.
        QTest::keyClick(window.Grid, Qt::Key_X);
        EXPECT_EQ(window.txtEdit->text(), QStringLiteral("x"));
        EXPECT_TRUE(window.ButOk->isEnabled());
        QTest::keyClick(window.txtEdit, Qt::Key_Return);
        EXPECT_FALSE(window.txtEdit->isVisible());
        EXPECT_EQ(window.Grid->item(0, 1)->text(), QStringLiteral("x"));

        // Escape drops the edit.
        QTest::keyClick(window.Grid, Qt::Key_Y);
        QTest::keyClick(window.txtEdit, Qt::Key_Escape);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.Grid->item(0, 1)->text(), QStringLiteral("x"));

        // Down on the last row commits and stays there.
        window.Grid->setCurrentCell(1, 1);
        QTest::keyClick(window.Grid, Qt::Key_F2);
        EXPECT_EQ(window.txtEdit->text(), QStringLiteral("pond"));
        QTest::keyClicks(window.txtEdit, QStringLiteral("s"));
        QTest::keyClick(window.txtEdit, Qt::Key_Down);
        EXPECT_EQ(window.Grid->item(1, 1)->text(), QStringLiteral("ponds"));
        EXPECT_EQ(window.Grid->currentRow(), 1);

        // Another field of the window takes the focus: the edit is committed.
        QTest::keyClick(window.Grid, Qt::Key_Z);
        Leave(window.txtEdit, window.ChampSex);
        EXPECT_EQ(window.Grid->item(1, 1)->text(), QStringLiteral("z"));
    });
}

TEST_F(EditFormTest, TheOpeningFocusIsGivenOnceAndNotTakenBackByARepaint) {
    ScriptedPrompter prompter;
    SelectCell(1, 3); // N1
    WithEditor([&](editor::EditForm& window) {
        EXPECT_TRUE(window.ChampCh1->hasFocus());
        window.ChampSex->setFocus(Qt::TabFocusReason);
        window.repaint();
        window.update();
        QCoreApplication::processEvents();
        EXPECT_TRUE(window.ChampSex->hasFocus());
    });
    SelectCell(1, 1); // LATITUDE of a row in bng: box 1
    WithEditor([&](editor::EditForm& window) {
        EXPECT_TRUE(window.EditBox[1]->hasFocus());
        EXPECT_EQ(window.EditBox[1]->text(), QStringLiteral("TQ"));
        // The stored date through the mask, with its missing digits as "_".
        EXPECT_EQ(window.ChampAnnee->displayText(), QStringLiteral("2001/__/__"));
    });
}

TEST_F(EditFormTest, EnterMovesAlongTheFieldsAndAFocusedFieldIsSelectedWhole) {
    ScriptedPrompter prompter;
    SelectCell(0, 3);
    WithEditor([&](editor::EditForm& window) {
        ASSERT_TRUE(window.ChampCh1->hasFocus());
        QTest::keyClick(window.ChampCh1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(window.ChampCh1, QStringLiteral("12345"));
        EXPECT_EQ(window.ChampCh1->text(), QStringLiteral("12345"));
        window.ChampLatitude->setFocus(Qt::TabFocusReason);
        window.ChampCh1->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_EQ(window.ChampCh1->selectedText(), QStringLiteral("12345"));
        QTest::keyClick(window.ChampCh1, Qt::Key_Return);
        EXPECT_TRUE(window.ChampCh2->hasFocus());
        QTest::keyClick(window.ChampCh2, Qt::Key_Return);
        EXPECT_TRUE(window.ChampLibre->hasFocus());
        QTest::keyClick(window.ChampLibre, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(window.ChampLibre, Qt::Key_Return);
        EXPECT_TRUE(window.ChampLibre->hasFocus());
        EXPECT_TRUE(window.ChampLibre->toPlainText().endsWith(QLatin1Char('\n')));
        // Enter in the sex and date boxes neither moves nor presses a button.
        window.ChampSex->setFocus(Qt::TabFocusReason);
        QTest::keyClick(window.ChampSex, Qt::Key_Return);
        EXPECT_TRUE(window.ChampSex->hasFocus());
        EXPECT_TRUE(window.isVisible());
    });
}

TEST_F(EditFormTest, TheCloseBoxAsksNothingAndStoresTheGeometry) {
    ScriptedPrompter prompter;
    SelectCell(0, 3);
    const std::int64_t counter = CurrentCounter();
    int top = 0;
    WithEditor([&](editor::EditForm& window) {
        QTest::keyClicks(window.ChampCh1, QStringLiteral("9"));
        top = window.y();
        window.close();
    });
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(Stored(counter).N1, 3);
    EXPECT_EQ(platform::GetSetting("ZEB", "EditForm", "Top"),
              QString::number(editor::PixelsToTwips(top)));
}

TEST_F(EditFormTest, EscapeAsksBeforeDroppingAChange) {
    ScriptedPrompter prompter;
    SelectCell(0, 3);
    WithEditor([&](editor::EditForm& window) {
        QTest::keyClicks(window.ChampCh1, QStringLiteral("9"));
        prompter.expect(AnswerWith(Answer::Cancel));
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_TRUE(window.isVisible());
        prompter.expect(AnswerWith(Answer::No));
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_EQ(prompter.messages().size(), 2U);
}

TEST_F(EditFormTest, AStoredPlaceOffEveryScreenBringsTheWindowBackOnOne) {
    ScriptedPrompter prompter;
    for (const char* top : {"99999", "abc"}) {
        platform::SaveSetting("ZEB", "EditForm", "Top", QString::fromLatin1(top));
        WithEditor([&](editor::EditForm& window) {
            const QRect screen = window.screen()->availableGeometry();
            EXPECT_TRUE(screen.intersects(window.geometry())) << top;
            EXPECT_GE(window.y(), screen.top());
            EXPECT_LE(window.geometry().bottom(), screen.bottom());
        });
    }
}

TEST_F(EditFormTest, TheGridsRowHeaderOpensTheEditorToo) {
    ScriptedPrompter prompter;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* window = qobject_cast<editor::EditForm*>(QApplication::activeModalWidget())) {
            opened = true;
            window->close();
        }
    });
    form_->TDBGrid1->verticalHeader()->sectionDoubleClicked(2);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(EditFormTest, StepsMoveTheMainGridWithTheEditor) {
    ScriptedPrompter prompter;
    SelectCell(0, 0);
    WithEditor([&](editor::EditForm& window) {
        EXPECT_EQ(window.lblCpt->text(), QStringLiteral("1"));
        QTest::mouseClick(window.cmdNavig[0], Qt::LeftButton);
        EXPECT_EQ(window.lblCpt->text(), QStringLiteral("2"));
        EXPECT_EQ(form_->TDBGrid1->currentIndex().row(), 1);
        EXPECT_EQ(window.EditBox[1]->text(), QStringLiteral("TQ"));
        QTest::mouseClick(window.ButNew, Qt::LeftButton);
        EXPECT_EQ(window.lblCpt->text(), QStringLiteral("6"));
        EXPECT_EQ(form_->TDBGrid1->currentIndex().row(), 5);
        EXPECT_EQ(form_->model->rowCount(), 6);
    });
}

} // namespace

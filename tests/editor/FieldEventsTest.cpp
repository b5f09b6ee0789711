#include "editor/FieldEvents.h"

#include "EditorFixture.h"

namespace {

using editor::Control;

class FieldEventsTest : public editor_test::EditorTest {};

TEST_F(FieldEventsTest, LeavingTheDateGivesThePeriodOfItsYear) {
    struct Case {
        int option;
        int pivot1, pivot2;
        const char* date;
        const char* period; // the period box afterwards; it held "7"
    };
    const Case cases[] = {
        {1, 1990, 0, "1989/05/12", "1"},    {1, 1990, 0, "1990/__/__", "2"},
        {1, 1990, 0, "____/05/__", "1"}, // no year digit: year 0
        {1, 1990, 0, "____/__/__", "7"}, // no date: the period as typed
        {1, 1990, 0, "19__/__/__", "1"}, // year 19
        {2, 1980, 2000, "1999/01/01", "2"}, {2, 1980, 2000, "2000/01/01", "3"},
        {2, 1980, 2000, "1979/12/31", "1"}, {0, 0, 0, "2020/01/01", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        document::Document().PeriodOption = static_cast<std::int16_t>(c.option);
        document::Document().PivotYear1 = static_cast<std::int16_t>(c.pivot1);
        document::Document().PivotYear2 = static_cast<std::int16_t>(c.pivot2);
        state().setText(Control::ChampPeriode, QStringLiteral("7"));
        state().setText(Control::ChampAnnee, QString::fromLatin1(c.date));
        editor_->ChampAnnee_LostFocus();
        EXPECT_EQ(text(Control::ChampPeriode), QString::fromLatin1(c.period));
    }
}

TEST_F(FieldEventsTest, EveryChangeMarksTheRowOutsideTheLoad) {
    state().OnLoad = true;
    state().setText(Control::ChampSex, QStringLiteral("F"));
    EXPECT_FALSE(state().changed);
    EXPECT_FALSE(state().ButOkEnabled);
    state().OnLoad = false;
    state().setText(Control::ChampSex, QStringLiteral("F")); // the same text is no change
    EXPECT_FALSE(state().changed);
    editor_->CellEditorChanged();
    EXPECT_TRUE(state().changed);
    EXPECT_TRUE(state().ButOkEnabled);
}

TEST_F(FieldEventsTest, TheOpeningFocusFollowsTheMainGridsColumn) {
    const std::pair<int, Control> columns[] = {
        {0, Control::ChampPeriode}, {3, Control::ChampCh1},   {4, Control::ChampCh2},
        {5, Control::ChampSex},     {8, Control::ChampAnnee}, {9, Control::ChampLibre},
    };
    for (const auto& [column, control] : columns) {
        host_.column = column;
        EXPECT_EQ(editor_->OpeningFocus(), control) << column;
    }
    // The coordinate columns: an input box of the current system.
    const std::pair<int, Control> systems[] = {
        {0, Control::EditBox1}, {2, Control::EditBox0}, {3, Control::EditBox0},
        {5, Control::EditBox1}, {8, Control::EditBox2}, {15, Control::EditBox1},
    };
    for (const int column : {1, 2, 6, 7, -1}) {
        host_.column = column;
        for (const auto& [mode, control] : systems) {
            platform::Settings().InputMode = static_cast<std::int16_t>(mode);
            EXPECT_EQ(editor_->OpeningFocus(), control) << column << " " << mode;
        }
    }
}

} // namespace

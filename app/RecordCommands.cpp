#include "app/RecordCommands.h"

#include "common/AppError.h"
#include "document/DataControl.h"
#include "platform/ErrorBox.h"
#include "platform/Feedback.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <exception>

namespace app {

namespace {

void ShowFailure(const std::exception& error) {
    if (const auto* known = dynamic_cast<const common::AppError*>(&error)) {
        platform::ShowError(known->number(), QString::fromStdString(known->description()));
    } else {
        platform::ShowError(0, QString::fromUtf8(error.what()));
    }
}

} // namespace

bool RunFind(int index, FindState& state, RecordGrid& grid) {
    try {
        document::RecordSet& records = document::Data1().recordset();
        std::ptrdiff_t from = 0;
        if (index == 0) {
            const QString answer =
                platform::InputBox(platform::ResText(170), platform::ResText(171), state.FindText);
            if (answer.isEmpty()) {
                return false;
            }
            state.FindText = answer;
            const QString upper = answer.toUpper();
            state.FindCriteria = document::FindCriteriaText(upper);
            state.terms.emplace(upper);
        } else {
            if (!state.terms) {
                return false; // Find next waits for a successful Find
            }
            from = records.absolutePosition() + 1;
        }
        const std::int64_t remembered = records.bookmark();
        std::optional<std::ptrdiff_t> found;
        {
            const platform::FeedbackGuard hidesTheProgressBar;
            const platform::WaitCursor hourglass;
            platform::SetProgress(0);
            platform::ShowProgress(true);
            found = document::FindRecord(records, *state.terms, from);
        }
        if (!found) {
            records.setBookmark(remembered);
            platform::BeepUnlessSilent();
            platform::MsgBox(state.FindText + QStringLiteral(" introuvable!"),
                             platform::Buttons::Ok, platform::Icon::Exclamation);
            return false;
        }
        records.setAbsolutePosition(*found);
        grid.selectOnly(records.bookmark());
        return true;
    } catch (const std::exception& error) {
        platform::ResetCursor();
        platform::BeepUnlessSilent();
        ShowFailure(error);
        return false;
    }
}

void RunDuplicate(RecordGrid& grid) {
    const std::int64_t bookmark = grid.currentBookmark();
    if (bookmark == 0) {
        throw common::AppError(common::kNoCurrentRecord, "No current record.");
    }
    document::DuplicateRecord(bookmark);
    grid.showRecords();
}

void RunEraseColumns(RecordGrid& grid) {
    if (grid.selStartCol() == -1) {
        grid.selectColumns(grid.currentColumn(), grid.currentColumn());
    }
    const int first = grid.selStartCol();
    const int last = grid.selEndCol();
    if (first < 0) {
        return; // no current cell either: nothing to erase
    }
    if (platform::MsgBox(platform::ResText(515), platform::Buttons::YesNo, platform::Icon::Question,
                         2) != platform::Answer::Yes) {
        return;
    }
    try {
        const platform::WaitCursor hourglass;
        document::EraseColumns(first, last);
    } catch (const std::exception& error) {
        platform::BeepUnlessSilent();
        const auto* known = dynamic_cast<const common::AppError*>(&error);
        platform::MsgBox(known != nullptr ? QString::fromStdString(known->description())
                                          : QString::fromUtf8(error.what()));
        // Data1 stays as it was; the grid reads the rows written so far.
        grid.showRecords();
        return;
    }
    grid.showRecords();
}

void RunDelete(RecordGrid& grid) {
    const std::vector<std::int64_t> marks = grid.selectedBookmarks();
    if (marks.empty()) {
        platform::MsgBox(platform::ResText(765), platform::Buttons::Ok, platform::Icon::Critical);
        return;
    }
    try {
        platform::BeepUnlessSilent();
        if (platform::MsgBox(platform::ResText(508), platform::Buttons::YesNo,
                             platform::Icon::Exclamation, 1) != platform::Answer::Yes) {
            return;
        }
        std::optional<std::int64_t> current;
        {
            const platform::FeedbackGuard closesTheWaitWindow;
            platform::AfficheMessage(platform::ResText(722));
            const platform::WaitCursor hourglass;
            current = document::DeleteRecords(marks);
        }
        grid.showRecords();
        if (current) {
            grid.addSelected(*current);
        }
        platform::BeepUnlessSilent();
    } catch (const std::exception& error) {
        if (document::Data1().bound()) {
            grid.showRecords();
        }
        ShowFailure(error);
    }
}

} // namespace app

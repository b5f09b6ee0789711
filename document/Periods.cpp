#include "document/Periods.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DocumentState.h"
#include "document/WorkTableOps.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <cmath>

namespace document {

namespace {

// Messages of the dialog: beep first unless Silence, no title of their own.
platform::Answer Warn(const QString& text, platform::Buttons buttons) {
    platform::BeepUnlessSilent();
    return platform::MsgBox(text, buttons, platform::Icon::Exclamation);
}

// A pivot year box as the dialog reads it; a message and nothing when it is out of range.
std::optional<std::int16_t> PivotYearOf(const QString& text) {
    const std::optional<std::int16_t> year = YearFromText(text);
    if (!year) {
        Warn(platform::ResText(524), platform::Buttons::Ok);
    }
    return year;
}

PeriodOkResult Stay(PeriodFocus focus, int reselect = -1) {
    PeriodOkResult result;
    result.focus = focus;
    result.reselectOption = reselect;
    return result;
}

PeriodOkResult Accept(int chosen) {
    Document().PeriodOption = static_cast<std::int16_t>(chosen);
    PeriodOkResult result;
    result.accepted = true;
    return result;
}

// Asks before lowering the number of periods outside New; true when the rewrite may go on.
bool ConfirmLowering(int messageId) {
    const QString text = platform::ResText(messageId) + platform::ResText(526);
    return Warn(text, platform::Buttons::OkCancel) == platform::Answer::Ok;
}

} // namespace

PeriodScheme CurrentPeriodScheme() {
    const DocumentState& state = Document();
    return PeriodScheme{state.PeriodOption, state.PivotYear1, state.PivotYear2};
}

void InstallPeriodScheme(const PeriodScheme& scheme) {
    DocumentState& state = Document();
    state.PeriodOption = scheme.PeriodOption;
    state.PivotYear1 = scheme.PivotYear1;
    state.PivotYear2 = scheme.PivotYear2;
}

std::optional<std::int16_t> PeriodFromYear(double year, const PeriodScheme& scheme) {
    switch (scheme.PeriodOption) {
    case 0:
        return 1;
    case 1:
        return static_cast<std::int16_t>(year < scheme.PivotYear1 ? 1 : 2);
    case 2:
        if (year < scheme.PivotYear1) {
            return 1;
        }
        return static_cast<std::int16_t>(year < scheme.PivotYear2 ? 2 : 3);
    default:
        return std::nullopt;
    }
}

std::optional<std::int16_t> PeriodFromYear(double year) {
    return PeriodFromYear(year, CurrentPeriodScheme());
}

std::optional<std::int16_t> YearFromText(const QString& text) {
    try {
        return common::ToInt16(common::NumericValue(text.toStdString()));
    } catch (const common::AppError&) {
        return std::nullopt;
    }
}

PeriodDialogBoxes PeriodDialogFill() {
    const PeriodScheme scheme = CurrentPeriodScheme();
    PeriodDialogBoxes boxes;
    boxes.option = scheme.PeriodOption;
    if (scheme.PeriodOption == 1) {
        boxes.TxtPivot1 = QString::number(scheme.PivotYear1);
    } else if (scheme.PeriodOption == 2) {
        boxes.TxtPivot21 = QString::number(scheme.PivotYear1);
        boxes.TxtPivot22 = QString::number(scheme.PivotYear2);
    }
    return boxes;
}

PeriodOkResult PeriodDialogOk(int chosen, const PeriodDialogBoxes& boxes) {
    const DocumentState& state = Document();
    const bool lowering = state.NewDocument == 0;
    switch (chosen) {
    case 0:
        if (state.PeriodOption > 0 && lowering) {
            if (!ConfirmLowering(525)) {
                return Stay(PeriodFocus::OptionPivot, state.PeriodOption);
            }
            SetFieldAll(u"PERIOD", QStringLiteral("1"));
        }
        return Accept(0);
    case 1: {
        if (boxes.TxtPivot1.isEmpty()) {
            Warn(platform::ResText(520), platform::Buttons::Ok);
            return Stay(PeriodFocus::None);
        }
        // The year is checked before anything is rewritten, so that a refused year leaves the
        // records as they were.
        const std::optional<std::int16_t> pivot = PivotYearOf(boxes.TxtPivot1);
        if (!pivot) {
            return Stay(PeriodFocus::TxtPivot1);
        }
        if (state.PeriodOption == 2 && lowering) {
            if (!ConfirmLowering(527)) {
                return Stay(PeriodFocus::OptionPivot, state.PeriodOption);
            }
            ReplaceFieldValue(u"PERIOD", QStringLiteral("3"), QStringLiteral("2"));
        }
        Document().PivotYear1 = *pivot;
        return Accept(1);
    }
    case 2: {
        if (boxes.TxtPivot21.isEmpty()) {
            Warn(platform::ResText(521), platform::Buttons::Ok);
            return Stay(PeriodFocus::TxtPivot21);
        }
        if (boxes.TxtPivot22.isEmpty()) {
            Warn(platform::ResText(522), platform::Buttons::Ok);
            return Stay(PeriodFocus::TxtPivot22);
        }
        const std::optional<std::int16_t> first = PivotYearOf(boxes.TxtPivot21);
        if (!first) {
            return Stay(PeriodFocus::TxtPivot21);
        }
        const std::optional<std::int16_t> second = PivotYearOf(boxes.TxtPivot22);
        if (!second) {
            return Stay(PeriodFocus::TxtPivot22);
        }
        Document().PivotYear1 = *first;
        Document().PivotYear2 = *second;
        return Accept(2);
    }
    default:
        return Stay(PeriodFocus::None);
    }
}

} // namespace document

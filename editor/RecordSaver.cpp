#include "editor/RecordSaver.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DocumentState.h"
#include "document/FreeFields.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "editor/EditorTexts.h"
#include "editor/EntryConversion.h"
#include "editor/FieldEvents.h"
#include "geodesy/CoordinateText.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <optional>

namespace editor {

namespace {

using platform::Icon;

// The numeric value of a date part; "_" is no digit.
double DatePart(const QString& dateBox, qsizetype from) {
    return common::NumericValue(dateBox.mid(from, 2).toStdString());
}

// The value rounded to the nearest whole number, halves to the even one; nothing when the text's
// number is beyond any range.
std::optional<double> NearestWhole(double (*read)(const QString&), const QString& text) {
    try {
        return std::nearbyint(read(text));
    } catch (const common::AppError&) {
        return std::nullopt;
    }
}

bool InRange(const std::optional<double>& value, double low, double high) {
    return value && *value >= low && *value <= high;
}

// A refusal: beep unless silent, the message, and the focus on the refused field.
int Refuse(EditorState& state, const QString& message, Icon icon, Control field) {
    platform::BeepUnlessSilent();
    platform::MsgBox(message, platform::Buttons::Ok, icon);
    state.focusRequest = field;
    return kSaveRefused;
}

// A count must fit the 32-bit field it goes to.
bool CountFits(const QString& text) {
    return InRange(NearestWhole(PlainValue, text), std::numeric_limits<std::int32_t>::min(),
                   std::numeric_limits<std::int32_t>::max());
}

QString CountMessage(const QString& caption) {
    return caption + QStringLiteral(" -2147483648 ... 2147483647");
}

// The first free-field value that holds the separator; -1 when none does. Such a value would
// shift every later field when the comment is split again.
qsizetype ValueHoldingSeparator(const EditorState& state, const QString& separator) {
    if (separator.isEmpty()) {
        return -1;
    }
    for (qsizetype i = 0; i < state.freeFieldValues.size(); ++i) {
        if (state.freeFieldValues[i].contains(separator)) {
            return i;
        }
    }
    return -1;
}

// The row the fields give, over the row as stored.
document::Record RecordFromFields(const EditorState& state, document::Record row) {
    row.PERIOD = common::ToInt16(PlainValue(state.text(Control::ChampPeriode)));
    row.LATITUDE = static_cast<float>(CommaValue(state.text(Control::ChampLatitude)));
    row.LONGITUDE = static_cast<float>(CommaValue(state.text(Control::ChampLongitude)));
    row.N1 = common::ToInt32(PlainValue(state.text(Control::ChampCh1)));
    row.N2 = common::ToInt32(PlainValue(state.text(Control::ChampCh2)));
    row.SEX = state.text(Control::ChampSex);
    row.DATE = DateToStore(state.text(Control::ChampAnnee));
    const QString freeText = QString(state.text(Control::ChampLibre)).remove(QLatin1Char('\r'));
    const document::DocumentState& document = document::Document();
    row.COMMENT =
        document.FreeFieldCount > 0
            ? document::JoinComment(state.freeFieldValues, freeText, document.FreeFieldSeparator)
            : freeText;
    if (!state.text(Control::EditBox2).trimmed().isEmpty()) {
        row.DATUM = state.lblDatum;
        row.ORIGINAL = OriginalFromBoxes(state);
    }
    return row;
}

} // namespace

bool DateIsValid(const QString& dateBox) {
    const double month = DatePart(dateBox, 5);
    const double day = DatePart(dateBox, 8);
    return month >= 0 && month <= 12 && day <= 31;
}

QString DateToStore(const QString& dateBox) {
    return dateBox == EmptyDate() ? QString() : dateBox;
}

QString OriginalFromBoxes(const EditorState& state) {
    const QString blank = QStringLiteral(" ");
    switch (static_cast<geodesy::CoordSystem>(platform::Settings().InputMode)) {
    case geodesy::CoordSystem::Utm:
    case geodesy::CoordSystem::Mgr:
        return state.SystemCode + blank + state.text(Control::EditBox0) + blank +
               state.text(Control::EditBox1) + blank + state.text(Control::EditBox2);
    case geodesy::CoordSystem::Ifb:
        return state.SystemCode + blank + state.text(Control::EditBox2);
    default:
        return state.SystemCode + blank + state.text(Control::EditBox1) + blank +
               state.text(Control::EditBox2);
    }
}

int SauveEcran(EditorState& state, EditorHost& host) {
    if (!state.changed) {
        return 0;
    }
    DerivePeriod(state);

    if (!DateIsValid(state.text(Control::ChampAnnee))) {
        return Refuse(state, platform::ResText(710), Icon::Exclamation, Control::ChampAnnee);
    }
    const int periods = document::Document().PeriodOption + 1;
    if (!InRange(NearestWhole(PlainValue, state.text(Control::ChampPeriode)), 1, periods)) {
        return Refuse(state, platform::ResText(530) + QString::number(periods), Icon::Exclamation,
                      Control::ChampPeriode);
    }
    if (!InRange(NearestWhole(CommaValue, state.text(Control::ChampLatitude)), -90, 90)) {
        return Refuse(state, platform::ResText(531), Icon::Exclamation, Control::ChampLatitude);
    }
    if (!InRange(NearestWhole(CommaValue, state.text(Control::ChampLongitude)), -180, 180)) {
        return Refuse(state, platform::ResText(532), Icon::None, Control::ChampLongitude);
    }
    if (!CountFits(state.text(Control::ChampCh1))) {
        return Refuse(state, CountMessage(state.Label4), Icon::Exclamation, Control::ChampCh1);
    }
    if (!CountFits(state.text(Control::ChampCh2))) {
        return Refuse(state, CountMessage(state.Label5), Icon::Exclamation, Control::ChampCh2);
    }
    const QString separator = document::Document().FreeFieldSeparator;
    if (const qsizetype field = ValueHoldingSeparator(state, separator); field >= 0) {
        return Refuse(state,
                      state.freeFieldLabels.value(field) + QStringLiteral(": \"") + separator +
                          QStringLiteral("\" separates the free fields and cannot be part of a "
                                         "value."),
                      Icon::Exclamation, Control::None);
    }

    // A typed reference that names no square would be written into ORIGINAL beside a position it
    // does not give. The leave of box 2 that ran just before may have told why already.
    if (const QString problem = EntryProblem(state); !problem.isEmpty()) {
        if (state.focusRequest != Control::EditBox2) {
            return Refuse(state, problem, Icon::Exclamation, Control::EditBox2);
        }
        return kSaveRefused;
    }

    try {
        document::RecordSet* records = host.records();
        if (records == nullptr) {
            platform::MsgBox(QStringLiteral("Erreur! [recordset is nothing]"));
            throw common::AppError(common::kObjectNotSet);
        }
        if (records->bof() || records->eof()) {
            platform::MsgBox(QStringLiteral("Erreur! [recordset BOF or EOF]"));
            throw common::AppError(common::kNoCurrentRecord, "No current record.");
        }
        records->update(RecordFromFields(state, records->current()));
        // A row deleted behind the record set's back takes no update: say so rather than report
        // a save that wrote nothing.
        if (records->database().getChanges() == 0) {
            throw common::AppError(common::kRecordDeleted);
        }
        document::Document().FileModified = -1; // File > Save now writes something else
        host.rowWritten();
    } catch (const std::exception& error) {
        platform::ResetCursor();
        const auto* appError = dynamic_cast<const common::AppError*>(&error);
        const int number = appError != nullptr ? appError->number() : common::kDatabaseError;
        platform::ShowError(number, QStringLiteral("Erreur pendant la sauvegarde.\r\n") +
                                        QString::fromUtf8(error.what()));
        return number;
    }
    state.changed = false;
    return 0;
}

} // namespace editor

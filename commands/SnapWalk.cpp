#include "commands/SnapWalk.h"

#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "geodesy/DatumTables.h"
#include "platform/Feedback.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <QStringList>
#include <array>
#include <utility>

namespace commands {

std::int16_t RequireGridDatum(int which) {
    static const std::array<const char*, 7> kNames{"",    "EUR-M", "NTF", "OGB-M",
                                                   "IRL", "BEL72", "MER"};
    const geodesy::DatumState& datums = geodesy::Datums();
    const std::int16_t index = datums.GridDatums.at(static_cast<std::size_t>(which));
    if (index <= 0 || index > datums.datumCount()) {
        throw common::AppError(common::kSubscript,
                               std::string("The datum table holds no datum \"") +
                                   kNames.at(static_cast<std::size_t>(which)) +
                                   "\", which this grid needs.");
    }
    return index;
}

SnapRule OnePointRule(std::function<std::optional<LatLon>(const RowPosition&)> one) {
    SnapRule rule;
    rule.one = std::move(one);
    rule.block = [](document::PositionBlock& block) {
        for (document::RowOutcome& outcome : block.outcome) {
            if (outcome == document::RowOutcome::Moved) {
                outcome = document::RowOutcome::Redo;
            }
        }
    };
    return rule;
}

WalkResult SnapRows(const document::RecordSet& rows, const SnapRule& rule, bool cancellable) {
    return document::WalkPositions(rows, rule, cancellable);
}

QString UnknownDatumMessage(std::ptrdiff_t count) {
    if (platform::Langue() == platform::kFrench) {
        return QStringLiteral("%1 enregistrement(s) dont le datum est inconnu n'ont pas été "
                              "modifiés.")
            .arg(count);
    }
    return QStringLiteral("%1 record(s) whose datum is unknown were left unchanged.").arg(count);
}

QString UnsnappedMessage(std::ptrdiff_t count) {
    if (platform::Langue() == platform::kFrench) {
        return QStringLiteral("%1 enregistrement(s) sans position ou hors de la grille n'ont pas "
                              "été ajustés.")
            .arg(count);
    }
    return QStringLiteral("%1 record(s) without a position or outside the grid were left "
                          "unsnapped.")
        .arg(count);
}

WalkResult RunSnapCommand(const SnapRule& rule, const QString& waitText) {
    document::DataControl& data = document::Data1();
    if (!data.bound() || data.recordset().recordCount() == 0) {
        platform::ResetCursor();
        return {};
    }
    const document::RecordSet rows = data.recordset().clone();
    WalkResult result;
    {
        const platform::FeedbackGuard feedback;
        platform::ShowProgress(true);
        if (!waitText.isEmpty()) {
            platform::ShowCancellableMessage(waitText);
        }
        const platform::WaitCursor busy;
        result = SnapRows(rows, rule, !waitText.isEmpty());
        if (!result.cancelled) {
            platform::SetProgress(100);
        }
    }
    if (result.cancelled) {
        return result;
    }
    platform::BeepUnlessSilent();
    if (result.written > 0) {
        document::Document().FileModified = -1;
    }
    data.refresh();
    QStringList lines;
    if (result.unknownDatums > 0) {
        lines << UnknownDatumMessage(result.unknownDatums);
    }
    if (const std::ptrdiff_t left = result.noPosition + result.unsnapped; left > 0) {
        lines << UnsnappedMessage(left);
    }
    if (!lines.isEmpty()) {
        platform::MsgBox(lines.join(QChar(13)), platform::Buttons::Ok, platform::Icon::Exclamation);
    }
    return result;
}

} // namespace commands

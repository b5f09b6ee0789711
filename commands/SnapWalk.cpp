#include "commands/SnapWalk.h"

#include "commands/WalkTransaction.h"
#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/DatumIndexes.h"
#include "document/Recompute.h"
#include "document/RowStream.h"
#include "document/TextRules.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "platform/Feedback.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <QElapsedTimer>
#include <QHash>
#include <SQLiteCpp/SQLiteCpp.h>
#include <array>

namespace commands {

namespace {

constexpr std::int64_t kCancelPollMs = 100;

// Calls SetProgress only at each new multiple of 10 %.
class TenPercentSteps {
public:
    explicit TenPercentSteps(std::ptrdiff_t total) : total_(total) {}
    void count(std::ptrdiff_t done) {
        const std::ptrdiff_t percent = done * 100 / total_;
        if (percent % 10 == 0 && percent != last_) {
            last_ = percent;
            platform::SetProgress(static_cast<double>(percent));
        }
    }

private:
    std::ptrdiff_t total_;
    std::ptrdiff_t last_ = -1;
};

} // namespace

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

WalkResult SnapRows(const document::RecordSet& rows, const SnapRule& rule, bool cancellable) {
    WalkResult result;
    const auto n = static_cast<std::ptrdiff_t>(rows.bookmarkList()->size());
    if (n == 0) {
        return result;
    }
    geodesy::DatumState& datums = geodesy::Datums();
    datums.datum(datums.DestIndex); // error 9 before anything changes when it names no datum

    SQLite::Database& db = rows.database();
    WalkTransaction transaction(db);
    SQLite::Statement update(db,
                             "UPDATE DOVAZOV SET LATITUDE = ?, LONGITUDE = ? WHERE Counter = ?");
    document::RowStream stream(rows, document::RowFields{"DATUM", "ORIGINAL"});
    document::DatumIndexes indexes;
    TenPercentSteps progress(n);
    QElapsedTimer sinceAsked;
    sinceAsked.start();
    document::Record row;
    RowPosition position;
    while (stream.next(row)) {
        ++result.rows;
        const QString code = row.DATUM ? document::TrimBlanks(*row.DATUM).toUpper() : QString();
        const std::int16_t datum = indexes.of(code.isEmpty() ? QStringLiteral("WGS84") : code);
        if (datum == 0) {
            ++result.unknownDatums;
        } else {
            datums.InputDatum = datum;
            position.datum = datum;
            position.text = row.ORIGINAL
                                ? document::TrimBlanks(*row.ORIGINAL).toUpper().toStdString()
                                : std::string("   ");
            position.lat = geodesy::InvalidCoord;
            position.lon = geodesy::InvalidCoord;
            position.system.clear();
            geodesy::ParseCoordinates(position.text, datum, position.lat, position.lon,
                                      position.system);
            // A position with an unknown axis is no position at all.
            if (position.lat != geodesy::InvalidCoord && position.lon != geodesy::InvalidCoord) {
                if (const std::optional<LatLon> snapped = rule(position)) {
                    update.reset();
                    update.bind(1, static_cast<double>(document::FiveDecimals(snapped->lat)));
                    update.bind(2, static_cast<double>(document::FiveDecimals(snapped->lon)));
                    update.bind(3, static_cast<std::int64_t>(row.Counter));
                    update.exec();
                    ++result.written;
                }
            }
        }
        progress.count(result.rows);
        if (cancellable && (result.rows == 1 || sinceAsked.elapsed() >= kCancelPollMs)) {
            sinceAsked.restart();
            if (platform::CancelRequested()) {
                result.cancelled = true;
                return result; // the transaction rolls back
            }
        }
    }
    transaction.commit();
    return result;
}

QString UnknownDatumMessage(std::ptrdiff_t count) {
    if (platform::Langue() == platform::kFrench) {
        return QStringLiteral("%1 enregistrement(s) dont le datum est inconnu n'ont pas été "
                              "modifiés.")
            .arg(count);
    }
    return QStringLiteral("%1 record(s) whose datum is unknown were left unchanged.").arg(count);
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
    data.refresh();
    if (result.unknownDatums > 0) {
        platform::MsgBox(UnknownDatumMessage(result.unknownDatums), platform::Buttons::Ok,
                         platform::Icon::Exclamation);
    }
    return result;
}

} // namespace commands

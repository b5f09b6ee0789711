#include "maps/MapRecords.h"

#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "maps/MapFormats.h"
#include "maps/RegionSymbols.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <algorithm>

namespace maps {

document::Record ClickedRecord(float lat, float lon, int period, const QString& date) {
    const QString latText = LatitudeText(lat);
    const QString lonText = LongitudeText(lon);
    document::Record record;
    record.PERIOD = static_cast<std::int16_t>(period);
    record.LATITUDE = static_cast<float>(LeadingNumber(latText));
    record.LONGITUDE = static_cast<float>(LeadingNumber(lonText));
    record.N1 = 1;
    record.N2 = 1;
    if (!date.isEmpty()) {
        record.DATE = date;
    }
    record.DATUM = QStringLiteral("EUR-M");
    record.ORIGINAL = QStringLiteral("deg ") + latText + QLatin1Char(' ') + lonText;
    return record;
}

void MapRecords::load() {
    initialCount_ = document::Data1().recordset().recordCount();
    selectedRows_ = host_.selectedRows ? host_.selectedRows() : std::vector<std::int64_t>{};
    added_.clear();
}

std::int64_t MapRecords::add(const document::Record& record) {
    document::RecordSet& records = document::Data1().recordset();
    const std::int64_t bookmark = records.addNew(record);
    records.moveLast();
    selectedRows_.push_back(bookmark);
    added_.push_back(bookmark);
    if (host_.addSelected) {
        host_.addSelected(bookmark);
    }
    Maps().PointsAdded = true;
    document::Document().FileModified = -1;
    return bookmark;
}

std::optional<MapRecords::Removed> MapRecords::removeLast() {
    document::RecordSet clone = document::Data1().recordset().clone();
    if (clone.recordCount() < 1 || added_.empty()) {
        platform::CurrentPrompter().beep();
        return std::nullopt;
    }
    const std::int64_t bookmark = added_.back();
    clone.setBookmark(bookmark);
    const document::Record record = clone.current();
    if (!record.LATITUDE || !record.LONGITUDE) {
        return std::nullopt;
    }
    if (*record.LATITUDE == 0.0F && *record.LONGITUDE == 0.0F) {
        return std::nullopt;
    }
    added_.pop_back();
    selectedRows_.erase(std::remove(selectedRows_.begin(), selectedRows_.end(), bookmark),
                        selectedRows_.end());
    if (host_.removeSelected) {
        host_.removeSelected(bookmark);
    }
    clone.remove();
    document::Document().FileModified = -1;
    return Removed{*record.LATITUDE, *record.LONGITUDE};
}

void MapRecords::close() {
    if (!Maps().PointsAdded) {
        return;
    }
    try {
        document::RecordSet& records = document::Data1().recordset();
        if (records.recordCount() > initialCount_) {
            platform::BeepUnlessSilent();
            const platform::Answer answer = platform::MsgBox(
                platform::ResText(550), platform::Buttons::YesNo, platform::Icon::Question);
            if (answer == platform::Answer::No) {
                document::RecordSet clone = records.clone();
                for (const std::int64_t bookmark : added_) {
                    clone.setBookmark(bookmark);
                    clone.remove();
                    if (host_.removeSelected) {
                        host_.removeSelected(bookmark);
                    }
                }
                added_.clear();
            }
        }
        if (host_.refreshData) {
            host_.refreshData();
        }
    } catch (const std::exception& e) {
        platform::BeepUnlessSilent();
        platform::MsgBox(QString::fromUtf8(e.what()), platform::Buttons::Ok, platform::Icon::None);
    }
}

} // namespace maps

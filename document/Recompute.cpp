#include "document/Recompute.h"

#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/DatumIndexes.h"
#include "document/DistributionFormat.h"
#include "document/RowStream.h"
#include "document/TextRules.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Molodensky.h"
#include "platform/Feedback.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"

#include <QHash>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace document {

namespace {

// A savepoint: a transaction of its own when none is open, a nested one inside the reader's.
// Rolled back unless released.
class Savepoint {
public:
    explicit Savepoint(SQLite::Database& db) : db_(db) { db_.exec("SAVEPOINT recompute"); }
    ~Savepoint() {
        if (!released_) {
            try {
                db_.exec("ROLLBACK TO recompute");
                db_.exec("RELEASE recompute");
            } catch (const SQLite::Exception&) {
                // Nothing more can be undone here.
            }
        }
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void release() {
        db_.exec("RELEASE recompute");
        released_ = true;
    }

private:
    SQLite::Database& db_;
    bool released_ = false;
};

} // namespace

double SnapToCell(double value, float mesh) {
    const double m = static_cast<double>(mesh);
    return std::floor(common::Divide(value, m)) * m + m / 2.0;
}

float FiveDecimals(double degrees) {
    const double rounded = static_cast<double>(deg::ScaledHalfAway(degrees, 5)) / 1e5;
    if (std::fabs(rounded) > static_cast<double>(std::numeric_limits<float>::max())) {
        throw common::AppError(common::kOverflow);
    }
    const float value = static_cast<float>(rounded);
    return value == 0.0F ? 0.0F : value; // no negative zero
}

void AjusteDegresOn(const RecordSet& rows, float ajustLat, float ajustLon) {
    const platform::WaitCursor busy;
    const std::vector<std::int64_t>& marks = rows.bookmarks();
    const auto n = static_cast<std::ptrdiff_t>(marks.size());
    if (n == 0) {
        return;
    }
    geodesy::DatumState& datums = geodesy::Datums();
    const int destIndex = datums.DestIndex;
    datums.datum(destIndex); // error 9 before anything changes when it names no datum

    platform::ShowProgress(true);
    SQLite::Database& db = rows.database();
    Savepoint savepoint(db);
    SQLite::Statement update(db,
                             "UPDATE DOVAZOV SET LATITUDE = ?, LONGITUDE = ? WHERE Counter = ?");
    RowStream rowStream(rows, RowFields{"DATUM", "ORIGINAL"});
    DatumIndexes indexes;
    const QString wgs84 = QStringLiteral("WGS84");
    std::ptrdiff_t i = 0;
    std::ptrdiff_t lastPercent = -1;
    Record row;
    while (rowStream.next(row)) {
        ++i;
        const QString code = row.DATUM ? TrimBlanks(*row.DATUM).toUpper() : wgs84;
        const std::int16_t input = indexes.of(code);
        datums.InputDatum = input;
        if (input != 0) {
            const std::string text =
                row.ORIGINAL ? TrimBlanks(*row.ORIGINAL).toUpper().toStdString() : "   ";
            double lat = 0.0;
            double lon = 0.0;
            std::string system;
            geodesy::ParseCoordinates(text, input, lat, lon, system);
            if (!geodesy::IsInvalidCoord(lat, lon)) {
                double latOut = lat;
                double lonOut = lon;
                geodesy::ShiftDatum(lat, lon, 0.0, latOut, lonOut, input, destIndex);
                // A mesh of 999 leaves its axis unsnapped, also when the other is snapped.
                if (ajustLat != kNoMesh) {
                    latOut = SnapToCell(latOut, ajustLat);
                }
                if (ajustLon != kNoMesh) {
                    lonOut = SnapToCell(lonOut, ajustLon);
                }
                update.reset();
                update.bind(1, static_cast<double>(FiveDecimals(latOut)));
                update.bind(2, static_cast<double>(FiveDecimals(lonOut)));
                update.bind(3, static_cast<std::int64_t>(row.Counter));
                update.exec();
            }
        }
        // Shown at each new multiple of 10: the bar would show a repeated value no differently.
        const std::ptrdiff_t percent = i * 100 / n;
        if (percent % 10 == 0 && percent != lastPercent) {
            lastPercent = percent;
            platform::SetProgress(static_cast<double>(percent));
        }
    }
    savepoint.release();
    platform::SetProgress(100);
    platform::ShowProgress(false);
    platform::BeepUnlessSilent();
}

void AjusteDegres(float ajustLat, float ajustLon) {
    DataControl& data = Data1();
    if (!data.bound() || data.recordset().recordCount() == 0) {
        platform::ResetCursor();
        return;
    }
    try {
        AjusteDegresOn(data.recordset().clone(), ajustLat, ajustLon);
    } catch (...) {
        platform::ShowProgress(false);
        throw;
    }
    data.refresh();
}

} // namespace document

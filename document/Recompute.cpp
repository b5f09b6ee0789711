#include "document/Recompute.h"

#include "common/AppError.h"
#include "document/ColumnStream.h"
#include "document/DataControl.h"
#include "document/DatumIndexes.h"
#include "document/DistributionFormat.h"
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
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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

double CellIndex(double value, double cell, double scale) {
    const double quotient = common::Divide(value, cell);
    const double units = value * scale;
    const double cellUnits = std::round(cell * scale);
    if (!(std::fabs(units) < 1e15) || !(cellUnits >= 1.0 && cellUnits < 1e15) ||
        std::fabs(cell * scale - cellUnits) > 1e-6 * cellUnits) {
        return std::floor(quotient);
    }
    const auto v = static_cast<long long>(std::llround(units));
    const auto c = static_cast<long long>(cellUnits);
    long long k = v / c;
    if (v % c != 0 && v < 0) {
        --k; // toward minus infinity
    }
    return static_cast<double>(k);
}

double SnapToCell(double value, float mesh) {
    // The mesh as written: its shortest decimal of seven significant digits.
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(mesh));
    const double m = std::strtod(text, nullptr);
    constexpr double kGridPerDegree = 1e7; // about a centimetre
    return CellIndex(value, m, kGridPerDegree) * m + m / 2.0;
}

float FiveDecimals(double degrees) {
    const double rounded = static_cast<double>(deg::ScaledHalfAway(degrees, 5)) / 1e5;
    if (std::fabs(rounded) > static_cast<double>(std::numeric_limits<float>::max())) {
        throw common::AppError(common::kOverflow);
    }
    const float value = static_cast<float>(rounded);
    return value == 0.0F ? 0.0F : value; // no negative zero
}

namespace {

// Positions computed but not yet stored, written together once the read has let go of the table.
constexpr std::size_t kPendingUpdates = 4096;

struct NewPosition {
    std::int64_t counter;
    double latitude;
    double longitude;
};

enum WalkColumn { kDatum = 1, kOriginal, kLatitude, kLongitude };

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// TrimBlanks(text).toUpper() as UTF-8; ASCII texts, nearly all of them, without a QString.
void TrimmedUpper(std::string_view text, std::string& out) {
    if (!IsAscii(text)) {
        const QString utf16 = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        out = TrimBlanks(utf16).toUpper().toStdString();
        return;
    }
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    out.assign(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
}

// Whether the stored position already is `value`, bit for bit: a row that keeps its values is
// not written.
bool Holds(sqlite3_stmt* row, int column, double value) {
    sqlite3_value* stored = sqlite3_column_value(row, column);
    return sqlite3_value_type(stored) == SQLITE_FLOAT &&
           std::bit_cast<std::uint64_t>(sqlite3_value_double(stored)) ==
               std::bit_cast<std::uint64_t>(value);
}

// The DatumIndex of a row's DATUM column; consecutive rows nearly always share their code, so
// the last one is remembered by its stored bytes.
class RowDatum {
public:
    std::int16_t of(std::optional<std::string_view> datum) {
        if (known_ && datum.has_value() == lastPresent_ && (!datum || *datum == lastText_)) {
            return lastIndex_;
        }
        const QString code =
            datum ? TrimBlanks(
                        QString::fromUtf8(datum->data(), static_cast<qsizetype>(datum->size())))
                        .toUpper()
                  : QStringLiteral("WGS84");
        lastIndex_ = indexes_.of(code);
        lastPresent_ = datum.has_value();
        lastText_.assign(datum.value_or(std::string_view()));
        known_ = true;
        return lastIndex_;
    }

private:
    DatumIndexes indexes_;
    bool known_ = false;
    bool lastPresent_ = false;
    std::string lastText_;
    std::int16_t lastIndex_ = 0;
};

// Writes new positions, many rows a statement: one UPDATE per row would cost more than the whole
// walk around it.
class PositionWriter {
public:
    explicit PositionWriter(SQLite::Database& db)
        : batch_(db, BatchSql(kBatchRows)), single_(db, BatchSql(1)) {
        pending_.reserve(kPendingUpdates);
    }
    // Takes a row's new position; true when enough are waiting to be written.
    bool add(std::int64_t counter, double latitude, double longitude) {
        pending_.push_back({counter, latitude, longitude});
        return pending_.size() >= kPendingUpdates;
    }
    void flush() {
        std::size_t i = 0;
        for (; i + kBatchRows <= pending_.size(); i += kBatchRows) {
            write(batch_, i, kBatchRows);
        }
        for (; i < pending_.size(); ++i) {
            write(single_, i, 1);
        }
        pending_.clear();
    }

private:
    static constexpr std::size_t kBatchRows = 64;

    static std::string BatchSql(std::size_t rows) {
        std::string sql = "UPDATE DOVAZOV SET LATITUDE = v.column2, LONGITUDE = v.column3 "
                          "FROM (VALUES ";
        for (std::size_t i = 0; i < rows; ++i) {
            sql += i == 0 ? "(?, ?, ?)" : ", (?, ?, ?)";
        }
        sql += ") AS v WHERE DOVAZOV.Counter = v.column1";
        return sql;
    }
    void write(SQLite::Statement& update, std::size_t first, std::size_t rows) {
        update.reset();
        for (std::size_t k = 0; k < rows; ++k) {
            const NewPosition& p = pending_[first + k];
            const int base = static_cast<int>(3 * k);
            update.bind(base + 1, p.counter);
            update.bind(base + 2, p.latitude);
            update.bind(base + 3, p.longitude);
        }
        update.exec();
    }

    SQLite::Statement batch_;
    SQLite::Statement single_;
    std::vector<NewPosition> pending_;
};

} // namespace

void AjusteDegresOn(const RecordSet& rows, float ajustLat, float ajustLon) {
    const platform::WaitCursor busy;
    // Read a block at a time: a list kept implicit in the table's order stays so.
    const std::shared_ptr<const BookmarkList> list = rows.bookmarkList();
    const std::ptrdiff_t n = list->size();
    if (n == 0) {
        return;
    }
    geodesy::DatumState& datums = geodesy::Datums();
    const int destIndex = datums.DestIndex;
    datums.datum(destIndex); // error 9 before anything changes when it names no datum

    platform::ShowProgress(true);
    SQLite::Database& db = rows.database();
    Savepoint savepoint(db);
    PositionWriter positions(db);
    {
        ColumnStream stream(
            db, n,
            [&list](std::ptrdiff_t first, std::ptrdiff_t count, std::vector<std::int64_t>& out) {
                list->copy(first, count, out);
            },
            "DATUM, ORIGINAL, LATITUDE, LONGITUDE");
        RowDatum rowDatum;
        std::string text;
        std::ptrdiff_t i = 0;
        std::ptrdiff_t lastPercent = -1;
        while (stream.next()) {
            ++i;
            sqlite3_stmt* row = stream.row();
            const std::int16_t input = rowDatum.of(ColumnText(row, kDatum));
            datums.InputDatum = input;
            if (input != 0) {
                const std::optional<std::string_view> original = ColumnText(row, kOriginal);
                if (original) {
                    TrimmedUpper(*original, text);
                } else {
                    text = "   ";
                }
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
                    const auto newLat = static_cast<double>(FiveDecimals(latOut));
                    const auto newLon = static_cast<double>(FiveDecimals(lonOut));
                    if (!Holds(row, kLatitude, newLat) || !Holds(row, kLongitude, newLon)) {
                        if (positions.add(stream.counter(), newLat, newLon)) {
                            stream.pause(); // the table is let go of before it is written
                            positions.flush();
                        }
                    }
                }
            }
            // Shown at each new multiple of 10: the bar would show a repeated value no
            // differently.
            const std::ptrdiff_t percent = i * 100 / n;
            if (percent % 10 == 0 && percent != lastPercent) {
                lastPercent = percent;
                platform::SetProgress(static_cast<double>(percent));
            }
        }
    }
    positions.flush();
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

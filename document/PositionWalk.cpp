#include "document/PositionWalk.h"

#include "document/BatchUpdate.h"
#include "document/ColumnStream.h"
#include "document/DatumIndexes.h"
#include "document/Recompute.h"
#include "document/TextRules.h"
#include "document/WalkSavepoint.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Molodensky.h"
#include "platform/Feedback.h"

#include <QElapsedTimer>
#include <QString>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace document {

namespace {

constexpr std::int64_t kCancelPollMs = 100;

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

// A stored position as SQLite holds it: a NaN for anything but a REAL, which no position equals.
double StoredValue(sqlite3_stmt* row, int column) {
    sqlite3_value* stored = sqlite3_column_value(row, column);
    return sqlite3_value_type(stored) == SQLITE_FLOAT ? sqlite3_value_double(stored)
                                                      : std::numeric_limits<double>::quiet_NaN();
}

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The rows of a block beside what the rule sees: their bookmarks and stored positions.
struct BlockRows {
    std::vector<std::int64_t> counter;
    std::vector<double> storedLat;
    std::vector<double> storedLon;
    PositionBlock block;

    void clear(PositionTexts& texts) {
        counter.clear();
        storedLat.clear();
        storedLon.clear();
        texts.recycle(block);
    }
};

// Appends the stream's current row.
void Read(const ColumnStream& stream, PositionTexts& texts, BlockRows& rows) {
    sqlite3_stmt* row = stream.row();
    rows.counter.push_back(stream.counter());
    rows.storedLat.push_back(StoredValue(row, kLatitude));
    rows.storedLon.push_back(StoredValue(row, kLongitude));
    texts.append(rows.block, ColumnText(row, kDatum), ColumnText(row, kOriginal));
}

// The one-point path of row i: what the walk stored before it ran in blocks.
void RedoOnePoint(PositionBlock& block, std::size_t i, const PositionRule& rule) {
    geodesy::Datums().InputDatum = block.datum[i];
    RowPosition position;
    position.datum = block.datum[i];
    position.text = block.text[i];
    position.lat = geodesy::InvalidCoord;
    position.lon = geodesy::InvalidCoord;
    geodesy::ParseCoordinates(position.text, position.datum, position.lat, position.lon,
                              position.system);
    const bool none = rule.eitherAxisUnknown ? (position.lat == geodesy::InvalidCoord ||
                                                position.lon == geodesy::InvalidCoord)
                                             : geodesy::IsInvalidCoord(position.lat, position.lon);
    if (none) {
        block.outcome[i] = RowOutcome::NoPosition;
        return;
    }
    if (const std::optional<LatLon> placed = rule.one(position)) {
        block.newLat[i] = static_cast<double>(FiveDecimals(placed->lat));
        block.newLon[i] = static_cast<double>(FiveDecimals(placed->lon));
        block.outcome[i] = RowOutcome::Moved;
    } else {
        block.outcome[i] = RowOutcome::Unsnapped;
    }
}

} // namespace

void ConvertPositions(PositionBlock& block, const PositionRule& rule, std::int16_t dest) {
    const std::size_t n = block.size();
    block.lat.resize(n);
    block.lon.resize(n);
    block.newLat.resize(n);
    block.newLon.resize(n);
    block.outcome.assign(n, RowOutcome::Moved);
    // Rows of an unknown datum are parsed as blanks in the destination datum: no position.
    std::vector<std::int16_t> parseDatums(block.datum);
    std::replace(parseDatums.begin(), parseDatums.end(), std::int16_t{0}, dest);
    geodesy::batch::ParseCoordinates(block.text, parseDatums, block.lat, block.lon);
    for (std::size_t i = 0; i < n; ++i) {
        const double lat = block.lat[i];
        const double lon = block.lon[i];
        if (block.datum[i] == 0) {
            block.outcome[i] = RowOutcome::UnknownDatum;
        } else if (rule.eitherAxisUnknown
                       ? (lat == geodesy::InvalidCoord || lon == geodesy::InvalidCoord)
                       : geodesy::IsInvalidCoord(lat, lon)) {
            block.outcome[i] = RowOutcome::NoPosition;
        }
    }
    rule.block(block);
    for (std::size_t i = 0; i < n; ++i) {
        if (block.outcome[i] == RowOutcome::Moved) {
            const double lat = block.newLat[i];
            const double lon = block.newLon[i];
            if (std::isfinite(lat) && std::isfinite(lon) &&
                SteadyWithin(lat, kHairDegrees, FiveDecimals) &&
                SteadyWithin(lon, kHairDegrees, FiveDecimals)) {
                block.newLat[i] = static_cast<double>(FiveDecimals(lat));
                block.newLon[i] = static_cast<double>(FiveDecimals(lon));
                continue;
            }
            block.outcome[i] = RowOutcome::Redo;
        }
        if (block.outcome[i] == RowOutcome::Redo) {
            RedoOnePoint(block, i, rule);
        }
    }
    if (n > 0) {
        geodesy::Datums().InputDatum = block.datum[n - 1];
    }
}

namespace {

// Calls SetProgress only at each new multiple of 10 % of the rows done.
class TenPercentSteps {
public:
    explicit TenPercentSteps(std::ptrdiff_t total) : total_(total) {}
    void count(std::ptrdiff_t from, std::ptrdiff_t to) {
        for (std::ptrdiff_t done = from + 1; done <= to; ++done) {
            const std::ptrdiff_t percent = done * 100 / total_;
            if (percent % 10 == 0 && percent != last_) {
                last_ = percent;
                platform::SetProgress(static_cast<double>(percent));
            }
        }
    }

private:
    std::ptrdiff_t total_;
    std::ptrdiff_t last_ = -1;
};

} // namespace

std::int16_t PositionTexts::datumOf(std::optional<std::string_view> datum) {
    if (known_ && datum.has_value() == lastPresent_ && (!datum || *datum == lastText_)) {
        return lastIndex_;
    }
    QString code =
        datum ? TrimBlanks(QString::fromUtf8(datum->data(), static_cast<qsizetype>(datum->size())))
                    .toUpper()
              : QString();
    if (!datum || (code.isEmpty() && blankIsWgs84_)) {
        code = QStringLiteral("WGS84");
    }
    lastIndex_ = indexes_.of(code);
    lastPresent_ = datum.has_value();
    lastText_.assign(datum.value_or(std::string_view()));
    known_ = true;
    return lastIndex_;
}

void PositionTexts::append(PositionBlock& block, std::optional<std::string_view> datum,
                           std::optional<std::string_view> original) {
    block.datum.push_back(datumOf(datum));
    if (spare_.empty()) {
        block.text.emplace_back();
    } else {
        block.text.push_back(std::move(spare_.back()));
        spare_.pop_back();
    }
    std::string& text = block.text.back();
    if (block.datum.back() == 0) {
        // Never read: the row keeps its values whatever its text says.
        text = "   ";
    } else if (original) {
        TrimmedUpper(*original, text);
    } else {
        text = "   ";
    }
}

void PositionTexts::recycle(PositionBlock& block) {
    for (std::string& text : block.text) {
        spare_.push_back(std::move(text));
    }
    block.text.clear();
    block.datum.clear();
}

void ShiftMovedRows(PositionBlock& block, int to) {
    std::vector<double> lat;
    std::vector<double> lon;
    std::vector<double> latOut;
    std::vector<double> lonOut;
    std::vector<std::size_t> index;
    const std::size_t n = block.size();
    std::size_t i = 0;
    while (i < n) {
        if (block.outcome[i] != RowOutcome::Moved) {
            ++i;
            continue;
        }
        const std::int16_t from = block.datum[i];
        lat.clear();
        lon.clear();
        index.clear();
        for (; i < n && (block.outcome[i] != RowOutcome::Moved || block.datum[i] == from); ++i) {
            if (block.outcome[i] == RowOutcome::Moved) {
                index.push_back(i);
                lat.push_back(block.lat[i]);
                lon.push_back(block.lon[i]);
            }
        }
        latOut.resize(lat.size());
        lonOut.resize(lat.size());
        geodesy::batch::ShiftDatum(lat, lon, latOut, lonOut, from, to);
        for (std::size_t k = 0; k < index.size(); ++k) {
            block.newLat[index[k]] = latOut[k];
            block.newLon[index[k]] = lonOut[k];
        }
    }
}

PositionWalkResult WalkPositions(const RecordSet& rows, const PositionRule& rule,
                                 bool cancellable) {
    PositionWalkResult result;
    // Read a block at a time: a list kept implicit in the table's order stays so.
    const std::shared_ptr<const BookmarkList> list = rows.bookmarkList();
    const std::ptrdiff_t n = list->size();
    if (n == 0) {
        return result;
    }
    geodesy::DatumState& datums = geodesy::Datums();
    const auto dest = static_cast<std::int16_t>(datums.DestIndex);
    datums.datum(dest); // error 9 before anything changes when it names no datum

    SQLite::Database& db = rows.database();
    WalkSavepoint savepoint(db);
    BatchUpdate positions(db, {"LATITUDE", "LONGITUDE"});
    ColumnStream stream(
        db, n,
        [&list](std::ptrdiff_t first, std::ptrdiff_t count, std::vector<std::int64_t>& out) {
            list->copy(first, count, out);
        },
        "DATUM, ORIGINAL, LATITUDE, LONGITUDE");
    PositionTexts texts(rule.blankDatumIsWgs84);
    BlockRows block;
    TenPercentSteps progress(n);
    QElapsedTimer sinceAsked;
    sinceAsked.start();
    for (;;) {
        block.clear(texts);
        while (block.counter.size() < kPositionBlockRows && stream.next()) {
            Read(stream, texts, block);
        }
        if (block.counter.empty()) {
            break;
        }
        stream.pause(); // the table is let go of before it is written
        ConvertPositions(block.block, rule, dest);
        const PositionBlock& converted = block.block;
        for (std::size_t i = 0; i < converted.size(); ++i) {
            switch (converted.outcome[i]) {
            case RowOutcome::Moved:
                if (!SameBits(block.storedLat[i], converted.newLat[i]) ||
                    !SameBits(block.storedLon[i], converted.newLon[i])) {
                    positions.add(block.counter[i], {converted.newLat[i], converted.newLon[i]});
                    ++result.written;
                }
                break;
            case RowOutcome::UnknownDatum:
                ++result.unknownDatums;
                break;
            case RowOutcome::NoPosition:
                ++result.noPosition;
                break;
            case RowOutcome::Unsnapped:
            case RowOutcome::Redo:
                ++result.unsnapped;
                break;
            }
        }
        positions.flush();
        const std::ptrdiff_t before = result.rows;
        result.rows += static_cast<std::ptrdiff_t>(converted.size());
        progress.count(before, result.rows);
        if (cancellable && (before == 0 || sinceAsked.elapsed() >= kCancelPollMs)) {
            sinceAsked.restart();
            if (platform::CancelRequested()) {
                result.cancelled = true;
                return result; // the savepoint rolls back
            }
        }
    }
    savepoint.release();
    return result;
}

} // namespace document

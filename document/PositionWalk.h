#pragma once

// The walk that gives rows new positions from their entered coordinates: the recompute and every
// snapping command. Rows are read a block at a time, their texts converted together by the batch
// parser, the block handed to the command's rule, which converts it with the batch conversions,
// and only the rows whose stored position changes are written, many a statement, inside one
// savepoint.
//
// The positions stored are exactly those of the one-point path (ParseCoordinates, then the rule's
// one-point form, then FiveDecimals): the batch conversions agree with the one-point ones to a few
// micrometres, so a row whose batch result lies within kHairDegrees of a rounding boundary (or of
// a square's or cell's edge, as the rule judges) is redone with the one-point path.

#include "document/DatumIndexes.h"
#include "document/RecordSet.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace document {

// Rows converted together: enough for the batch loops, few enough to stay in the caches.
inline constexpr std::size_t kPositionBlockRows = 4096;

// Far more than the batch conversions ever differ from the one-point ones (micrometres), far less
// than anything a user enters: about 0.1 mm on the ground, in degrees and in metres.
inline constexpr double kHairDegrees = 1e-9;
inline constexpr double kHairMetres = 1e-4;

// Whether a length in metres lies within a hair of a half metre, where rounding to the metre
// turns: a batch result there is redone one point at a time, so that both paths round alike.
inline bool NearHalfMetre(double metres) {
    return std::fabs(metres - std::floor(metres) - 0.5) < kHairMetres;
}

struct LatLon {
    double lat = 0.0;
    double lon = 0.0;
};

// A row's entered position, as the one-point path hands it to a rule.
struct RowPosition {
    std::int16_t datum = 0; // index of the row's datum
    std::string text;       // ORIGINAL trimmed and upper-cased
    std::string system;     // the three-letter system code of the text ("MGR")
    double lat = 0.0;       // in the row's datum, degrees
    double lon = 0.0;
};

// What became of a row of a block.
enum class RowOutcome : std::uint8_t {
    NoPosition,   // no position from its text: unchanged (set by the walk)
    UnknownDatum, // DATUM names no loaded datum: unchanged (set by the walk)
    Moved,        // newLat and newLon hold its position in the destination datum
    Unsnapped,    // the rule cannot place it: unchanged
    Redo,         // near a boundary: the one-point path decides
};

// A block of rows. The walk fills text, datum, lat and lon, and sets outcome to Moved for every
// row with a position (lat and lon then in the row's datum); the rule replaces those rows'
// newLat and newLon, or changes their outcome.
struct PositionBlock {
    std::vector<std::string> text;   // ORIGINAL trimmed and upper-cased, "   " for Null
    std::vector<std::int16_t> datum; // DatumIndex of DATUM (Null read as WGS84), 0 for none
    std::vector<double> lat;         // the text's position in the row's datum (batch parser)
    std::vector<double> lon;
    std::vector<double> newLat; // the rule's result, degrees of the destination datum
    std::vector<double> newLon;
    std::vector<RowOutcome> outcome;
    std::size_t size() const { return text.size(); }
};

struct PositionRule {
    // The batch form over a block.
    std::function<void(PositionBlock&)> block;
    // The one-point form over a row parsed by ParseCoordinates; none leaves the row unchanged.
    std::function<std::optional<LatLon>(const RowPosition&)> one;
    // Whether 999 on one axis already means no position (the snapping commands), or only on both
    // (the recompute).
    bool eitherAxisUnknown = true;
    // Whether a blank DATUM is read as WGS84 like a Null one (the snapping commands), or names no
    // datum (the recompute).
    bool blankDatumIsWgs84 = true;
};

struct PositionWalkResult {
    std::ptrdiff_t rows = 0;          // rows visited
    std::ptrdiff_t written = 0;       // rows whose stored position changed
    std::ptrdiff_t unknownDatums = 0; // rows whose DATUM names no loaded datum
    std::ptrdiff_t noPosition = 0;    // rows whose text gives no position (999 on either axis)
    std::ptrdiff_t unsnapped = 0;     // rows with a position the rule cannot place
    bool cancelled = false;           // the user stopped the walk: nothing was kept
};

// Adds rows to a block as the walk reads them from the table: DATUM and ORIGINAL as stored
// (UTF-8), either of them Null. Consecutive rows nearly always share their DATUM, so the last code
// is remembered by its bytes and every code is looked up once.
class PositionTexts {
public:
    explicit PositionTexts(bool blankDatumIsWgs84) : blankIsWgs84_(blankDatumIsWgs84) {}
    void append(PositionBlock& block, std::optional<std::string_view> datum,
                std::optional<std::string_view> original);
    // Empties `block` for the next rows, keeping its texts' buffers for them.
    void recycle(PositionBlock& block);

private:
    std::int16_t datumOf(std::optional<std::string_view> datum);

    DatumIndexes indexes_;
    bool blankIsWgs84_;
    bool known_ = false;
    bool lastPresent_ = false;
    std::string lastText_;
    std::int16_t lastIndex_ = 0;
    std::vector<std::string> spare_; // texts of an earlier block, their buffers kept
};

// Parses, converts and rounds a block whose text and datum are filled, into `dest`: every row
// gets its outcome, and the Moved rows hold in newLat and newLon the values to store, those near a
// boundary redone one point at a time. The arithmetic errors of the conversions go through.
void ConvertPositions(PositionBlock& block, const PositionRule& rule, std::int16_t dest);

// Walks `rows` under `rule`: positions rounded by FiveDecimals, rows that keep their stored
// values bit for bit not written. Progress moves at each new multiple of 10 %. With
// `cancellable` the wait window's Cancel is polled and stops the walk with the table left as it
// was, as any error does. Error 9 before anything changes when DestIndex names no datum.
PositionWalkResult WalkPositions(const RecordSet& rows, const PositionRule& rule,
                                 bool cancellable = false);

// The position of every Moved row of `block` shifted from its datum to datum `to`, into newLat
// and newLon (ShiftDatum's batch form, one call per run of rows of one datum).
void ShiftMovedRows(PositionBlock& block, int to);

// Whether a monotone rule `f` of one value gives the same result anywhere within `hair` of
// `value`: the batch value may then stand for the one-point value.
template <typename F> bool SteadyWithin(double value, double hair, F f) {
    return f(value - hair) == f(value + hair);
}

} // namespace document

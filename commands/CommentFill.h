#pragma once

// The commands that add text at the end of the records' comments: grid references, a typed text
// and the stored position in another coordinate system. Each works on the selected rows, or on
// every row the grid shows when none is selected, in one transaction, and marks the document as
// changed.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace commands {

// What a fill reads of a row.
struct FillRow {
    std::optional<float> LATITUDE;
    std::optional<float> LONGITUDE;
    bool hasDatum = false; // DATUM is not Null
};

// The text to add to a row's comment; none leaves the row unchanged.
using CommentText = std::function<std::optional<QString>(const FillRow&)>;
// The texts to add to a block of rows' comments, as UTF-8, one per row into `texts` (resized to
// the rows' number): a fill that converts its rows together.
using CommentBlockText = std::function<void(std::span<const FillRow> rows,
                                            std::vector<std::optional<std::string>>& texts)>;

struct FillResult {
    std::ptrdiff_t rows = 0;    // rows visited
    std::ptrdiff_t changed = 0; // rows whose comment was written
};

// Appends `text` of each visited row to its COMMENT, after `joint` when the comment is not empty.
// `selected` are the grid's selected bookmarks (empty: every row of Data1). FileModified is set
// at the end when a comment was written; an error leaves the table and FileModified as they were.
FillResult FillComments(std::span<const std::int64_t> selected, const CommentBlockText& text,
                        const QString& joint);
// The block form of a text given one row at a time.
CommentBlockText EachRow(CommentText text);

// Grid references of item `index` (0 MGRS, 1 British, 2 Irish); item 0 asks first and may be
// cancelled (then none). British and Irish references are those of the grid's own datum.
std::optional<FillResult> MnuRemplirCoo(int index, std::span<const std::int64_t> selected);

// The typed text joined with Separator; none when the answer was empty or cancelled.
std::optional<FillResult> MnuRemplirTexte(std::span<const std::int64_t> selected);

// The stored position as text of item `index` (0 DMS, 1 Paris grades, 2 Lambert 72, 3 IFBL 1 km
// square, 4 and 5 Lambert North and South Morocco).
FillResult MnuRemplirXY(int index, std::span<const std::int64_t> selected);

// The reference or text a single row receives (none: left unchanged).
std::optional<QString> GridReferenceText(int index, double lat, double lon);
// `mark` is the decimal mark of the seconds of item 0.
std::optional<QString> PositionText(int index, double lat, double lon, QChar mark = '.');
// Seconds of arc as "00.0''" with the decimal mark `mark`.
QString SecondsText(float seconds, QChar mark);

} // namespace commands

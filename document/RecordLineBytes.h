#pragma once

// The columns of a record line written straight into Windows-1252 bytes from the values as the
// working table holds them (numbers, UTF-8 texts), for the save of a whole document. Each piece
// gives exactly the bytes of the QString column of DistributionFormat.h, encoded; they differ only
// in cost.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace document::deg {

// Columns 3-11 and 12-21, as LatitudeColumn and LongitudeColumn.
void AppendLatitude(std::string& out, std::optional<float> latitude);
void AppendLongitude(std::string& out, std::optional<float> longitude);

// Columns 22-26 or 27-31, as CountColumn. False, with nothing appended, for a count the columns
// cannot hold (CountColumn raises its error for it).
bool AppendCount(std::string& out, std::optional<std::int64_t> count);

// A text column of `width` characters (DateColumn, SexColumn, DatumColumn, OriginalColumn) from
// the UTF-8 text of the table; Null is all blanks.
void AppendFixedText(std::string& out, std::optional<std::string_view> utf8, int width);

// The comment from column 72 on, as CommentColumn.
void AppendComment(std::string& out, std::optional<std::string_view> utf8);

} // namespace document::deg

#pragma once

#include "document/Periods.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <string>

// The distribution file (".deg"): the lines of its header and the fixed columns of its record
// lines, for the writer and the reader. Files are Windows-1252, so a character is a byte and the
// columns can be cut from the raw bytes of a line.
namespace document::deg {

inline constexpr const char* kMagicLine = "<DOVAZOV 2.0>";
inline constexpr const char* kEndLine = "<END>";
inline constexpr const char* kStatisticsLine =
    "NIND1=000001 OCC1=000001 CAR1=000001 NIND2=000001 OCC2=000001 CAR2=000001 NIND3=000001 "
    "OCC3=000001 CAR3=000001";
// What an empty title is written as.
inline constexpr const char* kEmptyTitle = "   ";

// Columns of a record line, 1-based, and the widths of the written fields.
inline constexpr int kLatitudeWidth = 9;   // columns 3-11
inline constexpr int kLongitudeWidth = 10; // columns 12-21
inline constexpr int kCountWidth = 5;      // columns 22-26 and 27-31
inline constexpr int kDateWidth = 10;      // columns 32-41
inline constexpr int kDatumWidth = 5;      // columns 43-47
inline constexpr int kOriginalWidth = 24;  // columns 48-71
// A line of at most this many characters carries only period, position and counts.
inline constexpr int kShortLineLength = 31;

// The current layout: the first line begins with "<DOVAZOV", in any case; the version that
// follows is not looked at. Any other first line is the older layout, without header block.
bool IsCurrentLayout(QByteArrayView firstLine);

// One comma-delimited field of a line: leading blanks and tabs skipped, then the text up to the
// first comma or the end of the line; a text in double quotes is taken without its quotes.
QString DelimitedField(QStringView line);

// ---- Period line ----

// The period line for a scheme, Y being the year of writing: " 0000 - " and then the year
// ranges of the periods, "0 - 0" for each period not used.
QString PeriodLine(const PeriodScheme& scheme, int year);
// The scheme a period line gives, found by the first "0 - 0": at column 16 one period, at 30 two
// (pivot from columns 16-19), nowhere three (pivots from columns 16-19 and 30-33). Nothing at any
// other column: the scheme stays as it was. `current` supplies the pivot years the line does not
// give. Error 6 for a pivot outside the 16-bit range.
std::optional<PeriodScheme> PeriodSchemeFromLine(QStringView line, const PeriodScheme& current);

// ---- Number formats of the writer (halves away from zero) ----

// value x 10^decimals rounded to the nearest integer, halves away from zero, decided on the exact
// binary value (no error of the multiplication). Error 6 when it does not fit 64 bits.
std::int64_t ScaledHalfAway(double value, int decimals);

// The zeros between the sign and the first significant digit (a single zero before the point
// excepted) become blanks in front of the sign; the first "," turns into "." first.
void FormateCoord(QString& text);
// From position `start` (1-based) on, each "0" becomes a blank until the first other character;
// nothing changes when `start` is not below the length of the text.
void ZerosEnBlancs(QString& text, int start);

// ---- Record line columns as the writer fills them ----
// Every piece keeps to its columns; a value the columns cannot hold raises error 6 (the writer
// asks whether to go on), except positions, which are written as no position.

// Column 1: one digit; a blank for Null. Error 6 outside 0..9.
QString PeriodColumn(std::optional<std::int16_t> period);
// Columns 3-11 and 12-21. A Null value, or one whose written form would not fit its columns
// (the invalid marker 999 among them for the latitude), is written as 999 right-aligned in the
// column width, which reads back as no position.
QString LatitudeColumn(std::optional<float> latitude);
QString LongitudeColumn(std::optional<float> longitude);
// Columns 22-26 or 27-31: "00000" with leading zeros turned into blanks, "    0" for zero and for
// Null. Negative counts down to -9999 are written right-aligned. Error 6 beyond.
QString CountColumn(std::optional<std::int64_t> count);
// Texts left-aligned and blank-filled to their width (all blanks for Null or empty). Longer
// texts, which the table does not hold, are cut to the width.
QString DateColumn(const std::optional<QString>& date);
QString SexColumn(const std::optional<QString>& sex);
QString DatumColumn(const std::optional<QString>& datum);
QString OriginalColumn(const std::optional<QString>& original);
// Column 72 to the end: the text; a line break inside it would end the record line early, so
// each one is written as a blank.
QString CommentColumn(const std::optional<QString>& comment);
// The same rule for the title and comment lines of the header.
QString SingleLine(const QString& text);

// ---- Record line columns as the reader takes them ----

// The texts of a record line (raw Windows-1252 bytes). A field whose columns the line does not
// reach is empty (absent for the text fields).
struct RecordLineColumns {
    QByteArrayView period;                  // column 1
    QByteArrayView latitude;                // columns 3-11, leading blanks dropped
    QByteArrayView longitude;               // columns 12-21, leading blanks dropped
    QByteArrayView n1;                      // columns 22-26, leading blanks dropped
    QByteArrayView n2;                      // columns 27-31, leading blanks dropped
    std::optional<QByteArrayView> date;     // columns 32-41 unchanged
    std::optional<QByteArrayView> sex;      // column 42, absent when blank
    std::optional<QByteArrayView> datum;    // columns 43-47 unchanged
    std::optional<QByteArrayView> original; // columns 48-71 unchanged
    std::optional<QByteArrayView> comment;  // column 72 to the end
};
RecordLineColumns SplitRecordLine(QByteArrayView line);

// A line of at most 31 characters holding "FIN DU" in any case: the data end there.
bool IsEndMarker(QByteArrayView line);

// The number a column gives by common::NumericValue (blanks skipped, sign, digits, one point, no
// number gives 0); `commaIsPoint` turns every "," into "." first (positions).
double ColumnNumber(QByteArrayView text, bool commaIsPoint);

// The datum code an old ellipsoid name of the datum column stands for ("HAYFO" -> "EUR-M"),
// compared exactly with the text less its trailing blanks; nothing when it is no old name.
std::optional<QByteArrayView> DatumOfOldName(QByteArrayView datum);
// The datum a coordinate text's system imposes, by its first three characters in upper case:
// GRP NTF, BNG OGB-M, ITM IRL, LMB and IFB BEL72, and in a file of the older layout also UTM and
// MGR EUR-M. Nothing for other systems, which keep their datum column.
std::optional<QByteArrayView> DatumOfSystem(QByteArrayView original, bool olderLayout);

} // namespace document::deg

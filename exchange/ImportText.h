#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>
#include <string>
#include <string_view>

// Small text rules the import readers share: fixed columns, the number forms written into
// ORIGINAL, two-digit years and the refusal of lines that cannot be text.
namespace exchange {

// Characters `start` (1-based) to `start + length - 1` of `text`; a range beyond the end of the
// text reads as empty or shorter, as a fixed-column reader expects.
QString Columns(QStringView text, int start, int length);
// The same characters as a view into `text`.
QStringView ColumnsView(QStringView text, int start, int length);
// A text as UTF-8; an ASCII one, as short as a number, without an allocation.
std::string Utf8Of(QStringView text);

// "+00.00000;-00.00000" and "+000.00000;-000.00000": the sign always written, at least two or
// three integer digits, five decimals rounded half away from zero, always a point. Error 6 for a
// value that is not finite.
QString LatitudeForm(double value);
QString LongitudeForm(double value);
// "<code> <latitude form> <longitude form>", the ORIGINAL of a position in degrees or grades.
QString LatLonText(std::string_view code, double lat, double lon);
// The same form with at least `intDigits` integer digits, appended as bytes: 2 for the latitude
// form, 3 for the longitude form.
void AppendFixedFive(QByteArray& out, double value, int intDigits);
// "+##.#####;-##.#####": the sign, the integer digits without leading zeros (none below 1), a
// point, then at most five decimals rounded half away from zero without trailing zeros: 50.5 ->
// "+50.5", 50 -> "+50.", -0.25 -> "-.25".
QString ShortDegreeForm(double value);

// The full year of a two-digit GPS year: 80-99 -> 19yy, 00-79 -> 20yy (no GPS data predates
// 1980). Nothing for a value outside 0..99.
std::optional<int> GpsYear(int twoDigits);

// The month number of "JAN" to "DEC", compared exactly (capitals); 0 for any other text.
int MonthNumber(QStringView name);

// "17-APR-02" -> "2002/04/17": day from characters 1-2, month from 4-6 (00 when not one of the
// twelve), year from 8-9 through GpsYear. Numbers are read as the number at the start of their
// characters; a year outside 0..99 is written as read.
QString GpsDate(QStringView text);

// True when `line` holds a control character other than a tab: a binary file, not text.
bool HoldsBinary(QStringView line);
// The same over a line's Windows-1252 bytes, whose control characters are ASCII's.
bool HoldsBinary(QByteArrayView line);

// The line number added to an error's description, so that the message names the line:
// "Line 12: Overflow".
QString AtLine(qint64 line, const QString& description);

} // namespace exchange

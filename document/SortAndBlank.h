#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace document {

// The sort query of item `item` of the sort list (0 "None", 1 period, 2 latitude, 3 longitude,
// 4 and 5 the counts, 6 datum, 7 original coordinates, 8 date, 9 sex) with the direction of the
// option buttons; "None" always sorts by Counter ascending. Nothing for any other item.
std::optional<QString> SortQuery(int item, bool ascending);

// The sort controls' change: SqlTri becomes the query of the selected item (it keeps its value
// when no item is selected, item -1), and Data1 shows the whole table in that order; a selection
// condition in force before no longer applies. While no document has bound Data1 (the sort list
// is filled at start), only the query and the record source are set.
void ChangeTri(int item, bool ascending);

// Edit > Add lines, without its window: asks for the number of lines (string 600, default "1"),
// takes the number the answer begins with to the nearest whole number (halves to even), and
// appends that many blank records through a clone of Data1's record set in one transaction. The
// new rows join the end of Data1's record set, whose current row becomes the last one added, and
// FileModified is set. Cancel, an empty answer, 0, a negative number or one above 32767 add nothing
// and leave the document as it was. Returns the Counter of the last row added (the grid's new
// current row), or nothing when no row was added.
std::optional<std::int64_t> AjoutLignes();

} // namespace document

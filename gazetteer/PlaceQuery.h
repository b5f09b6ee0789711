#pragma once

#include "gazetteer/PlaceRows.h"

#include <QString>
#include <vector>

namespace platform {
struct ProgramSettings;
}

namespace gazetteer {

class GazetteerSource;

// The search text as the database compares it: blanks and hyphens removed when the table is
// exactly "bgntable", then upper case, trimmed.
QString SearchKey(const QString& typed, const QString& table);

// The records of the mapped table whose search field equals `key` (`exact`) or begins with it,
// ordered by the search field (Sort 0) or the FIPS field, compared without regard to ASCII case.
// The key is bound as a value and every table and field name is checked against the source's
// own names and quoted, so no text of the user's becomes SQL. Error 3265 for a name the source
// lacks.
std::vector<PlaceRecord> FindPlaces(GazetteerSource& source,
                                    const platform::ProgramSettings& mapping, const QString& key,
                                    bool exact);

// The row format the mapping gives, with the decimal separator of the user's locale.
RowFormat FormatOf(const platform::ProgramSettings& mapping);

} // namespace gazetteer

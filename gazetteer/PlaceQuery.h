#pragma once

#include "gazetteer/PlaceRows.h"

#include <QString>
#include <SQLiteCpp/Statement.h>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {
struct ProgramSettings;
}

namespace gazetteer {

class GazetteerSource;

// The search text as the database compares it: blanks and hyphens removed when the table is
// exactly "bgntable", then upper case, trimmed.
QString SearchKey(const QString& typed, const QString& table);

// A value of the gazetteer as the rows read it: null, a whole number, a real number or a text.
QVariant ColumnValue(const SQLite::Column& column);

// The row format the mapping gives, with the decimal separator of the user's locale.
RowFormat FormatOf(const platform::ProgramSettings& mapping);

// What a search reads of the gazetteer: the table and the field of each role, as SQL. Every
// name is the source's own, quoted, so that no text of the user's becomes SQL; a role the mapping
// leaves empty reads NULL.
struct PlaceColumns {
    QString table;
    QString research;
    QString name;
    QString latitude;
    QString longitude;
    QString fips;
    QString province;
    QString feature;
    QString countryName;
    QString provinceName;
    bool byFips = false; // the hits are listed in the order of the FIPS field
    // Every record's latitude and longitude are numbers, as the table's declaration guarantees.
    bool numericCoordinates = false;

    bool operator==(const PlaceColumns&) const = default;
};

// The columns of the mapping in `source`, whose table gets its working copy and index when it
// needs them. Error 3265 for a table or field the source lacks, and for a FIPS order without a
// FIPS field.
PlaceColumns ResolveColumns(GazetteerSource& source, const platform::ProgramSettings& mapping);

// Reads listed rows of a gazetteer one record at a time, by record id. It keeps its source open
// as long as it lives, so that a list can show its rows after the search has moved on to
// another database.
class PlaceReader {
public:
    PlaceReader(std::shared_ptr<GazetteerSource> source, const PlaceColumns& columns,
                const RowFormat& format);

    // The row of record `id`. Error 94 or 13 for a coordinate that is null or no number, 3021
    // for an id the table does not hold.
    PlaceRow row(std::int64_t id);

    // The text of column `column` of record `id`, or of each of the records `ids` in their
    // order; a record that cannot be read gives an empty text.
    QString columnText(std::int64_t id, int column);
    std::vector<QString> columnTexts(const std::vector<std::int64_t>& ids, int column);

    bool reads(const GazetteerSource* source, const PlaceColumns& columns,
               const RowFormat& format) const;

private:
    PlaceRecord read(std::int64_t id);

    std::shared_ptr<GazetteerSource> source_;
    PlaceColumns columns_;
    RowFormat format_;
    SQLite::Statement statement_;
};

} // namespace gazetteer

#pragma once

#include "document/DocumentState.h"
#include "document/Record.h"
#include "exchange/GarminImportSettings.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace exchange {

// The ORIGINAL text of a waypoint's position in grid format `grid` (the index of GpsGridNames).
// Errors: 9 when the text lacks a part the format needs, 5 for an MGRS reference shorter than
// 13 characters, 13 for a UTM position that is not "zone[band] [band] easting northing".
QString WaypointOriginal(int grid, const QString& position);

// The altitude of a cell cut from character `begin` for `length` characters: upper case, every
// "M" and blank removed, kept only when it reads as a number (optional sign, digits, at most one
// point); empty otherwise.
QString AltitudeFromCell(const QString& cell, int begin, int length);

// What the import takes from the window and the document.
struct WaypointImportInput {
    std::optional<int> grid; // none: no grid chosen
    QString datum;           // the datum label
    QStringList columns;     // the list's column titles
    objGraminImport settings;
    std::vector<document::FreeFieldDef> freeFields;
    QString separator = QStringLiteral("/");
};

// Builds the rows of checked waypoints. Construction finds the date column, the altitude slot
// and the altitude column; `record` builds one row from a waypoint's cells (cell 0 the item's
// text, cell j its sub-item j). Errors are AppErrors: a column that is needed and not found or
// is the first one, a begin position below 1, and the position errors of WaypointOriginal.
class WaypointRecordBuilder {
public:
    explicit WaypointRecordBuilder(WaypointImportInput input);

    // An altitude was asked for but no free field holds it: it is left out, and the user told.
    bool altitudeSlotMissing() const { return altitudeSlotMissing_; }

    // The row of a waypoint; nothing for one whose position cell is empty.
    std::optional<document::Record> record(const QStringList& cells) const;

private:
    QString cell(const QStringList& cells, std::optional<int> column, const char* what) const;

    WaypointImportInput input_;
    std::optional<int> dateColumn_;     // 1-based
    std::optional<int> altitudeColumn_; // 1-based
    int altitudeSlot_ = -1;
    bool altitudeSlotMissing_ = false;
};

} // namespace exchange

#pragma once

// Records added and removed by mouse on the region map, and the question on closing: the rows go
// through the main window's record set, and each added row joins the grid's selected rows so that
// it stays drawn.

#include "document/Record.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace maps {

// What the map windows use of the main window.
struct MapHost {
    // The bookmarks of the grid's selected rows.
    std::function<std::vector<std::int64_t>()> selectedRows;
    std::function<void(std::int64_t)> addSelected;
    std::function<void(std::int64_t)> removeSelected;
    // The grid's current row (0 for none), and putting it back.
    std::function<std::int64_t()> currentRow;
    std::function<void(std::int64_t)> setCurrentRow;
    // Runs Data1's record source again, moves to its last record and shows it in the grid.
    std::function<void()> refreshData;
    // The program folder (the region pictures) and the command line.
    QString programFolder;
    QString commandLine;
};

// The record a left click at (lat, lon) degrees adds: PERIOD `period`, the position as its texts
// read back (five decimals), N1 = N2 = 1, DATUM "EUR-M", ORIGINAL "deg <lat> <lon>", DATE `date`
// when not empty.
document::Record ClickedRecord(float lat, float lon, int period, const QString& date);

class MapRecords {
public:
    explicit MapRecords(MapHost& host) : host_(host) {}

    // The load step: the record count and the grid's selected rows as they are now.
    void load();

    // Adds the record of a left click; returns its bookmark. Sets the document's changed flag.
    std::int64_t add(const document::Record& record);

    // Right click: removes the last record added in this opening that is still there, and gives
    // its position in degrees to paint over. Rows selected before the window opened are never
    // removed this way. Beeps (whatever Silence says) when there is nothing to remove; nothing
    // when the record has no position or lies at 0/0.
    struct Removed {
        float lat = 0.0F;
        float lon = 0.0F;
    };
    std::optional<Removed> removeLast();

    // The closing step: when records were added and the table grew, asks whether the new points
    // stay; No deletes the records added in this opening. Then Data1 is read again.
    void close();

    int initialCount() const { return initialCount_; }
    const std::vector<std::int64_t>& selectedRows() const { return selectedRows_; }
    const std::vector<std::int64_t>& added() const { return added_; }

private:
    MapHost& host_;
    int initialCount_ = 0;
    std::vector<std::int64_t> selectedRows_;
    std::vector<std::int64_t> added_; // added in this opening and not removed, oldest first
};

} // namespace maps

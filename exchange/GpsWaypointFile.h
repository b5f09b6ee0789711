#pragma once

#include "common/AppError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <vector>

namespace exchange {

// The seven grid formats of a MapSource waypoint file, in the order the grid list shows them.
inline constexpr int kGpsGridCount = 7;
const std::array<QString, kGpsGridCount>& GpsGridNames();
// The index of the grid whose name equals `name` in upper case; none for any other name.
std::optional<int> GpsGridIndex(const QString& name);

// The waypoint lines of a file, kept as the file's bytes: a million waypoints held as QStringLists
// would take ten times the room. A waypoint's cells are made when asked for.
class GpsWaypointList {
public:
    // A line's Windows-1252 bytes, up to its last tab.
    void append(QByteArrayView line);
    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // The cells of waypoint i: its fields, the last one of its line left out.
    QStringList operator[](std::size_t i) const;

    class const_iterator {
    public:
        const_iterator(const GpsWaypointList& list, std::size_t i) : list_(&list), i_(i) {}
        QStringList operator*() const { return (*list_)[i_]; }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const const_iterator&) const = default;

    private:
        const GpsWaypointList* list_;
        std::size_t i_;
    };
    const_iterator begin() const { return {*this, 0}; }
    const_iterator end() const { return {*this, size()}; }

private:
    QByteArray bytes_;
    std::vector<qsizetype> ends_;
};

// A MapSource waypoint file as the import window shows it.
struct GpsWaypointFile {
    QString header;            // the path and lines 1 to 3, joined by CR LF
    std::optional<int> grid;   // the grid format line 1 names
    QString datum;             // the datum code of the GPS datum line 2 names
    QStringList columns;       // the titles of the Header line, its last field left out
    GpsWaypointList waypoints; // per Waypoint line: its fields, the last one left out
};

// The file is not a MapSource waypoint file: the type word of line 1, 2 or 4 is wrong. `partial`
// holds what was read before.
class GpsWrongFileType : public std::runtime_error {
public:
    explicit GpsWrongFileType(GpsWaypointFile partial)
        : std::runtime_error("Wrong file type!"), partial(std::move(partial)) {}
    GpsWaypointFile partial;
};

// Any other error while reading (fewer than four lines, a line without its tab, ...): the error's
// number and description, and in `partial` what was read before it.
class GpsReadError : public common::AppError {
public:
    GpsReadError(const common::AppError& error, GpsWaypointFile partial)
        : common::AppError(error), partial(std::move(partial)) {}
    GpsWaypointFile partial;
};

// Reads a MapSource waypoint file (tab-separated, Windows-1252, lines ending at CR LF, LF or CR).
// Lines 1, 2 and 4 must begin with "GRID", "DATUM" and the field "HEADER" (any case); every later
// line whose first field is "WAYPOINT" (any case) and that holds a tab is a waypoint; other lines
// are skipped. GpsWrongFileType for a wrong type word; GpsReadErrors naming the line for fewer
// than four lines, a Grid or Datum line without a tab, a Waypoint line with more fields than the
// Header line, binary data and lines beyond the line cap; an AppError when it cannot be opened.
GpsWaypointFile ReadGpsWaypointFile(const QString& path);

} // namespace exchange

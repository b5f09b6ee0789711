#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <memory>
#include <vector>

namespace exchange {

// The waypoint lines of a MapSource file, known by where they begin in it: their cells are read
// again from the file when asked for, so that a file of a million waypoints is not held in memory
// (as QStringLists it would take ten times its size). The file must stay as it was: a file found
// changed (its size or time) is error 75 when read again, and so is one that cannot be opened.
class GpsWaypointList {
public:
    GpsWaypointList() = default;
    explicit GpsWaypointList(const QString& path);

    // A waypoint line that begins at byte `offset` of the file.
    void append(qint64 offset) { offsets_.push_back(offset); }
    std::size_t size() const { return offsets_.size(); }
    bool empty() const { return offsets_.empty(); }
    // The cells of waypoint i: the fields of its line (Windows-1252, split at tabs), the last one
    // left out. Reading them in order reads the file once.
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
    class Source;
    std::vector<qint64> offsets_;
    std::shared_ptr<Source> source_; // shared by copies; reads only forward in the common case
};

} // namespace exchange

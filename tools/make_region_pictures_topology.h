#pragma once

// A reader of the TopoJSON topologies of Natural Earth: the shared arcs (quantised and
// delta-encoded), and the rings of a geometry collection built from them, in degrees.

#include <QJsonObject>
#include <QPointF>
#include <QString>
#include <vector>

namespace tools {

using Ring = std::vector<QPointF>; // x longitude, y latitude, degrees

struct Topology {
    std::vector<Ring> arcs; // decoded to degrees
    QJsonObject objects;
};

// Reads a TopoJSON file; std::runtime_error naming the file when it cannot.
Topology ReadTopology(const QString& path);

// The rings of every polygon of the collection `name`, outer rings and holes alike.
std::vector<Ring> CollectionRings(const Topology& topology, const QString& name);

// The arcs that two polygons of the collection share: the borders between countries.
std::vector<Ring> SharedArcs(const Topology& topology, const QString& name);

// A path whose longitudes jump by about 360 degrees where it crosses the 180th meridian, made
// continuous: each point is moved by a whole turn to lie within half a turn of its predecessor. A
// closed ring that goes once round the pole (Antarctica) is closed along the pole's parallel.
Ring Unwrapped(const Ring& ring, bool closed);

} // namespace tools

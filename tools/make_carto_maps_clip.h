#pragma once

// The visible pieces of Natural Earth paths on one map of the cartography window, in the map's
// projected plane (kilometres), through the program's own projection. On the orthographic maps a
// path is cut where it passes to the hidden side of the earth; a ring cut so is closed again along
// the horizon, the way that keeps its inside on the same side.

#include "cartography/core/MapDescription.h"
#include "cartography/core/Projection.h"
#include "make_region_pictures_topology.h"

#include <QPointF>
#include <vector>

namespace tools {

using KmPath = std::vector<QPointF>; // projected x, y in kilometres

class MapPlane {
public:
    // Sets the projection up as the program does when it loads `map`, and computes its extent.
    explicit MapPlane(const cartography::MapDescription& map);

    const cartography::ProjectionState& state() const { return state_; }
    const cartography::MapExtent& extent() const { return extent_; }
    // Whether the map shows one side of the earth only (the orthographic codes).
    bool hasHorizon() const;
    // The horizon's radius in kilometres, centred on the plane's origin.
    static double horizonKm();

    // Whether a point (degrees) lies on the side of the earth the map shows.
    bool visible(const QPointF& degrees) const;
    // The projected point of a visible point (degrees, x longitude).
    QPointF project(const QPointF& degrees) const;

    // The visible runs of an open path (degrees), each ending on the horizon where it was cut.
    std::vector<KmPath> lines(const Ring& path) const;
    // The visible part of the area a closed ring (degrees, first point = last) encloses, as
    // closed paths (the closing point not repeated).
    std::vector<KmPath> areas(const Ring& ring) const;

private:
    QPointF horizonCrossing(const QPointF& shown, const QPointF& hidden) const;

    cartography::ProjectionState state_;
    cartography::MapExtent extent_;
};

// The whole turns (degrees: -360, 0, 360) by which a continuous path must be moved to show on a
// map covering longitudes west..east, widened by `margin` degrees.
std::vector<double> TurnsOnMap(const Ring& path, double west, double east, double margin);

// A path of raw Natural Earth longitudes cut where it crosses the 180th meridian, with the
// crossing point added at both ends of the cut; a closed ring cut so is joined again at its start.
std::vector<Ring> CutAtAntimeridian(const Ring& path, bool closed);

} // namespace tools

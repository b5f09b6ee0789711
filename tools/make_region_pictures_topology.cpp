#include "make_region_pictures_topology.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace tools {
namespace {

std::runtime_error Failure(const QString& path, const QString& what) {
    return std::runtime_error((path + ": " + what).toStdString());
}

// Appends arc `index` (negative: ~index reversed) to a ring, without repeating the shared point.
void AppendArc(const Topology& topology, int index, Ring& ring) {
    const bool reversed = index < 0;
    const std::size_t arc = static_cast<std::size_t>(reversed ? ~index : index);
    if (arc >= topology.arcs.size()) {
        throw std::runtime_error("arc index " + std::to_string(index) + " outside the topology");
    }
    const Ring& points = topology.arcs[arc];
    Ring arcPoints(points.begin(), points.end());
    if (reversed) {
        std::reverse(arcPoints.begin(), arcPoints.end());
    }
    ring.insert(ring.end(), arcPoints.begin() + (ring.empty() ? 0 : 1), arcPoints.end());
}

// Calls `visit` with the arc list of every ring of every polygon of a collection.
template <typename Visit> void ForEachRing(const QJsonObject& collection, Visit visit) {
    for (const QJsonValue& geometry : collection.value("geometries").toArray()) {
        const QJsonObject g = geometry.toObject();
        const QString type = g.value("type").toString();
        const QJsonArray arcs = g.value("arcs").toArray();
        if (type == "Polygon") {
            for (const QJsonValue& ring : arcs) {
                visit(ring.toArray());
            }
        } else if (type == "MultiPolygon") {
            for (const QJsonValue& polygon : arcs) {
                for (const QJsonValue& ring : polygon.toArray()) {
                    visit(ring.toArray());
                }
            }
        }
    }
}

} // namespace

Topology ReadTopology(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(path, file.errorString());
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (document.isNull()) {
        throw Failure(path, error.errorString());
    }
    const QJsonObject root = document.object();
    if (root.value("type").toString() != "Topology") {
        throw Failure(path, "not a TopoJSON topology");
    }
    // Quantised files store each point as a delta from the previous one, in units of `scale`.
    const QJsonObject transform = root.value("transform").toObject();
    const bool quantised = !transform.isEmpty();
    const QJsonArray scale = transform.value("scale").toArray();
    const QJsonArray translate = transform.value("translate").toArray();
    const double sx = quantised ? scale.at(0).toDouble() : 1.0;
    const double sy = quantised ? scale.at(1).toDouble() : 1.0;
    const double tx = quantised ? translate.at(0).toDouble() : 0.0;
    const double ty = quantised ? translate.at(1).toDouble() : 0.0;

    Topology topology;
    topology.objects = root.value("objects").toObject();
    for (const QJsonValue& arcValue : root.value("arcs").toArray()) {
        Ring arc;
        double x = 0.0;
        double y = 0.0;
        for (const QJsonValue& pointValue : arcValue.toArray()) {
            const QJsonArray point = pointValue.toArray();
            if (quantised) {
                x += point.at(0).toDouble();
                y += point.at(1).toDouble();
                arc.emplace_back(x * sx + tx, y * sy + ty);
            } else {
                arc.emplace_back(point.at(0).toDouble(), point.at(1).toDouble());
            }
        }
        topology.arcs.push_back(std::move(arc));
    }
    return topology;
}

std::vector<Ring> CollectionRings(const Topology& topology, const QString& name) {
    std::vector<Ring> rings;
    ForEachRing(topology.objects.value(name).toObject(), [&](const QJsonArray& arcs) {
        Ring ring;
        for (const QJsonValue& index : arcs) {
            AppendArc(topology, index.toInt(), ring);
        }
        rings.push_back(std::move(ring));
    });
    return rings;
}

std::vector<Ring> SharedArcs(const Topology& topology, const QString& name) {
    std::map<int, int> uses;
    ForEachRing(topology.objects.value(name).toObject(), [&](const QJsonArray& arcs) {
        for (const QJsonValue& index : arcs) {
            const int i = index.toInt();
            ++uses[i < 0 ? ~i : i];
        }
    });
    std::vector<Ring> shared;
    for (const auto& [arc, count] : uses) {
        if (count >= 2 && arc < static_cast<int>(topology.arcs.size())) {
            shared.push_back(topology.arcs[static_cast<std::size_t>(arc)]);
        }
    }
    return shared;
}

Ring Unwrapped(const Ring& ring, bool closed) {
    Ring out;
    out.reserve(ring.size() + 2);
    for (const QPointF& p : ring) {
        QPointF q = p;
        if (!out.empty()) {
            const double previous = out.back().x();
            q.setX(q.x() + 360.0 * std::round((previous - q.x()) / 360.0));
        }
        out.push_back(q);
    }
    if (closed && out.size() > 1) {
        const double turn = out.back().x() - out.front().x();
        if (std::abs(turn) > 180.0) {
            // Round the pole: down to it, along it, and back up to the start.
            const double pole = out.front().y() < 0 ? -90.0 : 90.0;
            out.emplace_back(out.back().x(), pole);
            out.emplace_back(out.front().x(), pole);
        }
    }
    return out;
}

} // namespace tools

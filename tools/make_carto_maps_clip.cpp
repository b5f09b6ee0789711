#include "make_carto_maps_clip.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tools {
namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;
// The horizon arcs that close a cut ring: one point at least every two degrees.
constexpr double kArcStep = 2.0 * std::numbers::pi / 180.0;
// Halvings of a segment to find where it meets the horizon: far below a metre on the ground.
constexpr int kCrossingHalvings = 40;

double Angle(const QPointF& km) {
    return std::atan2(km.y(), km.x());
}

// Twice the signed area of a ring in the longitude-latitude plane; negative when clockwise.
double SignedArea(const std::vector<QPointF>& points) {
    double sum = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPointF& a = points[i];
        const QPointF& b = points[(i + 1) % points.size()];
        sum += a.x() * b.y() - b.x() * a.y();
    }
    return sum;
}

} // namespace

MapPlane::MapPlane(const cartography::MapDescription& map) {
    // As the window does: the cylindrical factors at its opening, then the map's own set-up.
    cartography::SetCylindricalFactors(state_);
    cartography::SetUpProjection(map, state_);
    extent_ = cartography::ComputeExtent(map, state_);
}

bool MapPlane::hasHorizon() const {
    return state_.ProjCode >= 10 && state_.ProjCode <= 13;
}

double MapPlane::horizonKm() {
    return 6378388.0 / 1000.0;
}

bool MapPlane::visible(const QPointF& degrees) const {
    if (!std::isfinite(degrees.x()) || !std::isfinite(degrees.y())) {
        return false;
    }
    switch (state_.ProjCode) {
    case 10:
    case 13: {
        // The near side only: the projection itself still shows points a little beyond it.
        const double phi = cartography::radian(static_cast<float>(degrees.y()));
        const double dLambda =
            cartography::radian(static_cast<float>(degrees.x())) - state_.CentralMeridian;
        return state_.OrthoSinPhi1 * std::sin(phi) +
                   state_.OrthoCosPhi1 * std::cos(phi) * std::cos(dLambda) >=
               0.0;
    }
    case 11:
        return degrees.y() >= 0.0;
    case 12:
        return degrees.y() <= 0.0;
    default:
        return true;
    }
}

QPointF MapPlane::project(const QPointF& degrees) const {
    float x = 0;
    float y = 0;
    cartography::Project(state_, cartography::radian(static_cast<float>(degrees.y())),
                         cartography::radian(static_cast<float>(degrees.x())), x, y);
    if (cartography::IsHiddenPoint(x)) {
        throw std::runtime_error("a point taken as visible is hidden by the projection");
    }
    return {x, y};
}

QPointF MapPlane::horizonCrossing(const QPointF& shown, const QPointF& hidden) const {
    double low = 0.0; // visible
    double high = 1.0;
    for (int i = 0; i < kCrossingHalvings; ++i) {
        const double middle = (low + high) / 2.0;
        (visible(shown + (hidden - shown) * middle) ? low : high) = middle;
    }
    const QPointF km = project(shown + (hidden - shown) * low);
    const double radius = std::hypot(km.x(), km.y());
    return radius > 0.0 ? km * (horizonKm() / radius) : km;
}

std::vector<KmPath> MapPlane::lines(const Ring& path) const {
    std::vector<KmPath> out;
    KmPath run;
    bool previousVisible = false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const bool shown = visible(path[i]);
        if (i > 0 && shown != previousVisible) {
            if (previousVisible) {
                run.push_back(horizonCrossing(path[i - 1], path[i]));
                if (run.size() >= 2) {
                    out.push_back(std::move(run));
                }
                run.clear();
            } else {
                run.push_back(horizonCrossing(path[i], path[i - 1]));
            }
        }
        if (shown) {
            run.push_back(project(path[i]));
        }
        previousVisible = shown;
    }
    if (run.size() >= 2) {
        out.push_back(std::move(run));
    }
    return out;
}

std::vector<KmPath> MapPlane::areas(const Ring& ring) const {
    std::vector<QPointF> points(ring.begin(), ring.end());
    if (points.size() > 1 && points.front() == points.back()) {
        points.pop_back();
    }
    const std::size_t n = points.size();
    if (n < 3) {
        return {};
    }
    std::vector<bool> shown(n);
    std::size_t firstHidden = n;
    for (std::size_t i = 0; i < n; ++i) {
        shown[i] = visible(points[i]);
        if (!shown[i] && firstHidden == n) {
            firstHidden = i;
        }
    }
    if (firstHidden == n) {
        KmPath whole;
        whole.reserve(n);
        for (const QPointF& p : points) {
            whole.push_back(project(p));
        }
        return {whole};
    }

    // The visible runs, walking once round from a hidden point: each enters and leaves through
    // the horizon.
    struct Run {
        KmPath km;
        double entry = 0.0;
        double exit = 0.0;
    };
    std::vector<Run> runs;
    Run current;
    for (std::size_t k = 1; k <= n; ++k) {
        const std::size_t previous = (firstHidden + k - 1) % n;
        const std::size_t i = (firstHidden + k) % n;
        if (shown[i] && !shown[previous]) {
            current = Run{};
            current.km.push_back(horizonCrossing(points[i], points[previous]));
            current.entry = Angle(current.km.back());
        }
        if (shown[i]) {
            current.km.push_back(project(points[i]));
        }
        if (!shown[i] && shown[previous]) {
            current.km.push_back(horizonCrossing(points[previous], points[i]));
            current.exit = Angle(current.km.back());
            runs.push_back(std::move(current));
        }
    }
    if (runs.empty()) {
        return {};
    }

    // Along the horizon the inside must stay on the same side as along the ring: clockwise for a
    // clockwise ring (inside on the right). Orthographic views keep the orientation of the
    // longitude-latitude plane.
    const double direction = SignedArea(points) < 0.0 ? -1.0 : 1.0;
    const auto travel = [direction](double from, double to) {
        double d = std::fmod(direction * (to - from), kTurn);
        return d < 0.0 ? d + kTurn : d;
    };
    const auto next = [&](std::size_t i) {
        std::size_t best = i;
        double bestTravel = kTurn + 1.0;
        for (std::size_t j = 0; j < runs.size(); ++j) {
            const double t = travel(runs[i].exit, runs[j].entry);
            if (t < bestTravel) {
                bestTravel = t;
                best = j;
            }
        }
        return best;
    };

    std::vector<KmPath> out;
    std::vector<bool> used(runs.size(), false);
    for (std::size_t start = 0; start < runs.size(); ++start) {
        if (used[start]) {
            continue;
        }
        KmPath piece;
        std::size_t i = start;
        // Each run is taken once: the walk ends after as many steps as there are runs.
        for (std::size_t step = 0; step < runs.size() && !used[i]; ++step) {
            used[i] = true;
            piece.insert(piece.end(), runs[i].km.begin(), runs[i].km.end());
            const std::size_t j = next(i);
            const double arc = travel(runs[i].exit, runs[j].entry);
            const int steps = static_cast<int>(std::ceil(arc / kArcStep));
            for (int s = 1; s < steps; ++s) {
                const double a = runs[i].exit + direction * arc * s / steps;
                piece.emplace_back(horizonKm() * std::cos(a), horizonKm() * std::sin(a));
            }
            i = j;
        }
        if (piece.size() >= 3) {
            out.push_back(std::move(piece));
        }
    }
    return out;
}

std::vector<double> TurnsOnMap(const Ring& path, double west, double east, double margin) {
    if (path.empty()) {
        return {};
    }
    double low = path.front().x();
    double high = low;
    for (const QPointF& p : path) {
        low = std::min(low, p.x());
        high = std::max(high, p.x());
    }
    std::vector<double> turns;
    for (const double turn : {-360.0, 0.0, 360.0}) {
        if (high + turn >= west - margin && low + turn <= east + margin) {
            turns.push_back(turn);
        }
    }
    return turns;
}

std::vector<Ring> CutAtAntimeridian(const Ring& path, bool closed) {
    std::vector<Ring> pieces;
    Ring current;
    const auto add = [&current](const QPointF& p) {
        if (current.empty() || current.back() != p) {
            current.push_back(p);
        }
    };
    bool cut = false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i > 0 && std::abs(path[i].x() - path[i - 1].x()) > 180.0) {
            const QPointF& a = path[i - 1];
            const QPointF& b = path[i];
            // The edge a lies on; b's longitude moved by a whole turn to a's side of it.
            const double edge = a.x() > 0.0 ? 180.0 : -180.0;
            const double bx = b.x() + 2.0 * edge;
            const double t = bx == a.x() ? 0.0 : (edge - a.x()) / (bx - a.x());
            const double lat = a.y() + t * (b.y() - a.y());
            add({edge, lat});
            pieces.push_back(std::move(current));
            current.clear();
            add({-edge, lat});
            cut = true;
        }
        add(path[i]);
    }
    if (!current.empty()) {
        pieces.push_back(std::move(current));
    }
    // A cut ring's first piece continues its last one.
    if (closed && cut && pieces.size() >= 2 && path.front() == path.back()) {
        Ring joined = std::move(pieces.back());
        pieces.pop_back();
        joined.insert(joined.end(), pieces.front().begin() + 1, pieces.front().end());
        pieces.front() = std::move(joined);
    }
    std::vector<Ring> out;
    for (Ring& piece : pieces) {
        if (piece.size() >= 2) {
            out.push_back(std::move(piece));
        }
    }
    return out;
}

} // namespace tools

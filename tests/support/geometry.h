// Distances of points from the true geometry of a drawing, for tests that check where traced
// or imported points lie.
#pragma once

#include <QPointF>
#include <algorithm>
#include <cmath>
#include <vector>

namespace testing_support {

inline double SegmentDistance(QPointF p, QPointF a, QPointF b) {
    const QPointF d = b - a;
    const double l2 = QPointF::dotProduct(d, d);
    const double t = l2 > 0 ? std::clamp(QPointF::dotProduct(p - a, d) / l2, 0.0, 1.0) : 0.0;
    const QPointF q = a + t * d - p;
    return std::hypot(q.x(), q.y());
}

// To the nearest point of the line through the points in turn (a single point included).
inline double PolylineDistance(QPointF p, const std::vector<QPointF>& line) {
    double best = line.empty() ? 1e300 : SegmentDistance(p, line[0], line[0]);
    for (std::size_t i = 1; i < line.size(); ++i) {
        best = std::min(best, SegmentDistance(p, line[i - 1], line[i]));
    }
    return best;
}

// To the nearest of several lines.
inline double PolylineDistance(QPointF p, const std::vector<std::vector<QPointF>>& lines) {
    double best = 1e300;
    for (const auto& line : lines) {
        best = std::min(best, PolylineDistance(p, line));
    }
    return best;
}

}  // namespace testing_support

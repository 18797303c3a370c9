#include "model/path_join.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace model {

namespace {

// A turn sharper than this (between the directions of two neighbouring segments) is a corner
// that resampling keeps.
const double kCornerCos = std::cos(40.0 * 3.14159265358979323846 / 180.0);

// The square root of the sum, not std::hypot: the values are far from overflowing, and
// resampling measures every segment many times.
double Distance(const PathPoint& a, const PathPoint& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

double DistanceSquared(const PathPoint& a, const PathPoint& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    return dx * dx + dy * dy;
}

// The turn at each vertex, measured between the points about `reach` before and after it
// along the path, so that the small steps of a traced outline do not count as turns.
std::vector<double> TurnCosines(const std::vector<PathPoint>& pts, double reach) {
    const std::size_t n = pts.size();
    std::vector<double> along(n, 0);
    for (std::size_t i = 1; i < n; ++i) {
        along[i] = along[i - 1] + Distance(pts[i - 1], pts[i]);
    }
    std::vector<double> cosines(n, 1);
    std::size_t back = 0;
    std::size_t ahead = 0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        while (back + 1 < i && along[i] - along[back + 1] >= reach) {
            ++back;
        }
        ahead = std::max(ahead, i + 1);
        while (ahead + 1 < n && along[ahead] - along[i] < reach) {
            ++ahead;
        }
        const double ax = pts[i].x - pts[back].x;
        const double ay = pts[i].y - pts[back].y;
        const double bx = pts[ahead].x - pts[i].x;
        const double by = pts[ahead].y - pts[i].y;
        const double l = std::sqrt((ax * ax + ay * ay) * (bx * bx + by * by));
        cosines[i] = l > 0 ? (ax * bx + ay * by) / l : 1;
    }
    return cosines;
}

// Appends the points of run[0..] after run[0] itself, spread evenly along the run so that
// neighbours are at most `spacing` apart; the run's last point is the last one appended.
void SpreadRun(const std::vector<PathPoint>& pts, std::size_t from, std::size_t to, double spacing,
               std::vector<PathPoint>& out) {
    double length = 0;
    for (std::size_t i = from; i < to; ++i) {
        length += Distance(pts[i], pts[i + 1]);
    }
    const auto pieces = std::max<std::size_t>(1, std::size_t(std::ceil(length / spacing - 1e-9)));
    const double step = length / double(pieces);
    std::size_t seg = from;
    double segStart = 0;  // distance along the run where segment seg begins
    for (std::size_t i = 1; i < pieces; ++i) {
        const double at = step * double(i);
        while (seg + 1 < to && segStart + Distance(pts[seg], pts[seg + 1]) < at) {
            segStart += Distance(pts[seg], pts[seg + 1]);
            ++seg;
        }
        const double segLength = Distance(pts[seg], pts[seg + 1]);
        const double t = segLength > 0 ? std::clamp((at - segStart) / segLength, 0.0, 1.0) : 0.0;
        out.push_back({pts[seg].x + (pts[seg + 1].x - pts[seg].x) * t,
                       pts[seg].y + (pts[seg + 1].y - pts[seg].y) * t});
    }
    out.push_back(pts[to]);
}

ContourPoint Rounded(const PathPoint& p) {
    const auto clampRound = [](double v) {
        if (!(v >= kMinUnit)) {  // also NaN
            return kMinUnit;
        }
        if (v >= kMaxUnit) {
            return kMaxUnit;
        }
        return int32_t(std::llround(v));
    };
    return {clampRound(p.x), clampRound(p.y)};
}

// The pen's fill points between the stored point `last` and the point `next`: k points in
// k + 1 equal steps, k the larger whole number of spacings on either axis.
template <typename Emit>
void FillJump(ContourPoint last, ContourPoint next, int64_t step, Emit&& emit) {
    const int64_t dx = int64_t(next.x) - last.x;
    const int64_t dy = int64_t(next.y) - last.y;
    const int64_t k = std::max(std::llabs(dx / step), std::llabs(dy / step));
    const int64_t ix = dx / (k + 1);
    const int64_t iy = dy / (k + 1);
    int64_t fx = last.x;
    int64_t fy = last.y;
    for (int64_t i = 0; i < k; ++i) {
        fx += ix;
        fy += iy;
        emit(ContourPoint{int32_t(fx), int32_t(fy)});
    }
}

struct Resampled {
    std::vector<PathPoint> points;  // a closed path's last point repeats its first
    bool closed = false;
    PointStyle style;
};

// Where the paths not joined yet can be entered (an open path at either end, a closed one at
// any point), on a grid, so that the nearest entry is found among a few cells rather than
// among all. Of entries equally near, the first path's and its first point's is taken, as a
// walk over all of them in order would take it.
class Entries {
  public:
    explicit Entries(const std::vector<Resampled>& paths) : taken_(paths.size(), false) {
        std::vector<Entry> all;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            const std::vector<PathPoint>& pts = paths[i].points;
            const auto add = [&](std::size_t j) { all.push_back({i, j, pts[j]}); };
            if (paths[i].closed) {
                for (std::size_t j = 0; j + 1 < pts.size(); ++j) {
                    add(j);
                }
            } else {
                add(0);
                add(pts.size() - 1);
            }
        }
        if (all.empty()) {
            return;
        }
        x0_ = x1_ = all[0].at.x;
        y0_ = y1_ = all[0].at.y;
        for (const Entry& e : all) {
            x0_ = std::min(x0_, e.at.x);
            x1_ = std::max(x1_, e.at.x);
            y0_ = std::min(y0_, e.at.y);
            y1_ = std::max(y1_, e.at.y);
        }
        side_ = std::clamp(int(std::sqrt(double(all.size()) / 2)), 1, 256);
        cellW_ = x1_ > x0_ ? (x1_ - x0_) / side_ : 1.0;
        cellH_ = y1_ > y0_ ? (y1_ - y0_) / side_ : 1.0;
        cells_.resize(std::size_t(side_) * std::size_t(side_));
        for (const Entry& e : all) {
            cells_[std::size_t(Row(e.at.y) * side_ + Column(e.at.x))].push_back(e);
        }
    }

    void Take(std::size_t path) { taken_[path] = true; }

    // The path and point of the entry nearest to `p`.
    std::pair<std::size_t, std::size_t> Nearest(const PathPoint& p) const {
        const int cx = Column(p.x);
        const int cy = Row(p.y);
        double best = std::numeric_limits<double>::infinity();
        std::size_t bestPath = 0;
        std::size_t bestPoint = 0;
        const auto look = [&](int x, int y) {
            for (const Entry& e : cells_[std::size_t(y * side_ + x)]) {
                if (taken_[e.path]) {
                    continue;
                }
                const double d = DistanceSquared(p, e.at);
                if (d < best || (d == best && (e.path < bestPath ||
                                               (e.path == bestPath && e.point < bestPoint)))) {
                    best = d;
                    bestPath = e.path;
                    bestPoint = e.point;
                }
            }
        };
        for (int r = 0; r < side_; ++r) {
            // The cells r away from the point's, in rows and columns.
            for (int y = std::max(0, cy - r); y <= std::min(side_ - 1, cy + r); ++y) {
                if (y == cy - r || y == cy + r) {
                    for (int x = std::max(0, cx - r); x <= std::min(side_ - 1, cx + r); ++x) {
                        look(x, y);
                    }
                    continue;
                }
                if (cx - r >= 0) {
                    look(cx - r, y);
                }
                if (cx + r < side_) {
                    look(cx + r, y);
                }
            }
            // Every entry farther out is at least r cells away.
            const double reach = r * std::min(cellW_, cellH_);
            if (best < reach * reach) {
                break;
            }
        }
        return {bestPath, bestPoint};
    }

  private:
    struct Entry {
        std::size_t path;
        std::size_t point;
        PathPoint at;
    };

    int Column(double x) const { return int(std::clamp((x - x0_) / cellW_, 0.0, side_ - 1.0)); }
    int Row(double y) const { return int(std::clamp((y - y0_) / cellH_, 0.0, side_ - 1.0)); }

    std::vector<bool> taken_;
    std::vector<std::vector<Entry>> cells_;
    int side_ = 1;
    double x0_ = 0, x1_ = 0, y0_ = 0, y1_ = 0;
    double cellW_ = 1, cellH_ = 1;
};

}  // namespace

std::vector<PathPoint> ResamplePath(const Path& path, double spacing) {
    std::vector<PathPoint> pts;
    pts.reserve(path.points.size() + 1);
    for (const PathPoint& p : path.points) {
        if (pts.empty() || DistanceSquared(pts.back(), p) > 0) {
            pts.push_back(p);
        }
    }
    if (pts.size() > 1 && path.closed && DistanceSquared(pts.back(), pts.front()) == 0) {
        pts.pop_back();
    }
    if (pts.size() <= 1 || !(spacing > 0)) {
        return pts;
    }
    if (path.closed) {
        pts.push_back(pts.front());
    }
    // Corners split the path into runs; each run is spread on its own. A corner is a vertex
    // that turns sharply over half a spacing each way, and turns most among its neighbours
    // within that reach.
    const double reach = spacing / 2;
    const std::vector<double> turn = TurnCosines(pts, reach);
    std::vector<PathPoint> out{pts.front()};
    std::size_t runStart = 0;
    for (std::size_t i = 1; i + 1 < pts.size(); ++i) {
        if (turn[i] >= kCornerCos) {
            continue;
        }
        bool sharpest = true;
        for (std::size_t j = i + 1; j + 1 < pts.size() && Distance(pts[i], pts[j]) < reach; ++j) {
            sharpest = sharpest && turn[j] >= turn[i];
        }
        for (std::size_t j = i - 1; j > runStart && Distance(pts[i], pts[j]) < reach; --j) {
            sharpest = sharpest && turn[j] > turn[i];
        }
        if (sharpest) {
            SpreadRun(pts, runStart, i, spacing, out);
            runStart = i;
        }
    }
    SpreadRun(pts, runStart, pts.size() - 1, spacing, out);
    return out;
}

namespace {

// Builds a join: the paths resampled, then taken one by one as `pick` chooses (the index of
// one not taken yet, with its entry point, given the end so far), each jump filled as the pen
// fills it. `before` are points already in the contour, kept as they are. Without `countAll`
// it stops as soon as more than `limit` points are needed.
template <typename Pick>
JoinedContour Join(const std::vector<Path>& paths, int spacingPixels, std::size_t limit,
                   const std::vector<ContourPoint>& before,
                   const std::vector<PointStyle>& beforeStyles, bool countAll, Pick&& pick) {
    JoinedContour result;
    const int64_t step = int64_t(std::max(1, spacingPixels)) * kUnitsPerPixel;
    std::vector<Resampled> rest;
    for (const Path& p : paths) {
        Resampled r{ResamplePath(p, double(step)), p.closed, p.style};
        r.closed = r.closed && r.points.size() > 2;
        if (!r.points.empty()) {
            rest.push_back(std::move(r));
        }
    }
    result.paths = int(rest.size());

    ContourPoint firstPoint;  // the first and the last point, built or only counted
    ContourPoint lastPoint;
    const auto emit = [&](ContourPoint p, PointStyle style) {
        if (result.needed == 0) {
            firstPoint = p;
        }
        lastPoint = p;
        if (++result.needed <= limit) {
            result.points.push_back(p);
            result.styles.push_back(style);
        }
    };
    for (std::size_t i = 0; i < before.size(); ++i) {
        emit(before[i], i < beforeStyles.size() ? beforeStyles[i] : PointStyle{});
    }
    PathPoint end{double(kMinUnit), double(kMinUnit)};
    if (!before.empty()) {
        end = {double(before.back().x), double(before.back().y)};
    }
    bool first = before.empty();
    for (std::size_t joined = 0; joined < rest.size() && (countAll || result.needed <= limit);
         ++joined) {
        const auto [bestPath, bestPoint] = pick(rest, end);
        Resampled chosen = std::move(rest[bestPath]);
        std::vector<PathPoint>& pts = chosen.points;
        if (chosen.closed) {
            // Enter at the chosen point and go round in the direction whose first step
            // turns least from the jump.
            pts.pop_back();
            const std::size_t n = pts.size();
            const PathPoint& entry = pts[bestPoint];
            const PathPoint& ahead = pts[(bestPoint + 1) % n];
            const PathPoint& behind = pts[(bestPoint + n - 1) % n];
            const double jx = entry.x - end.x;
            const double jy = entry.y - end.y;
            const auto turnCos = [&](const PathPoint& to) {
                const double sx = to.x - entry.x;
                const double sy = to.y - entry.y;
                const double l = std::hypot(jx, jy) * std::hypot(sx, sy);
                return l > 0 ? (jx * sx + jy * sy) / l : 0.0;
            };
            const bool backwards = !first && turnCos(behind) > turnCos(ahead);
            std::vector<PathPoint> ring;
            ring.reserve(n + 1);
            for (std::size_t k = 0; k <= n; ++k) {
                ring.push_back(pts[backwards ? (bestPoint + n - k % n) % n : (bestPoint + k) % n]);
            }
            pts = std::move(ring);
        } else if (bestPoint != 0) {
            std::reverse(pts.begin(), pts.end());
        }

        ContourPoint next = Rounded(pts.front());
        std::size_t lit = 0;  // the path's points from here on are drawn in its style
        if (!first) {
            const ContourPoint last = Rounded(end);
            result.jumpPixels +=
                std::hypot(double(next.x) - last.x, double(next.y) - last.y) / kUnitsPerPixel;
            FillJump(last, next, step, [&](ContourPoint p) { emit(p, PointStyle::Dark()); });
            emit(next, PointStyle::Dark());
            emit(next, PointStyle::Dark());
            lit = 1;
        }
        for (std::size_t i = lit; i < pts.size(); ++i) {
            emit(Rounded(pts[i]), chosen.style);
        }
        end = pts.back();
        first = false;
    }
    // The projector goes back from the last point to the first at the end of every frame: when
    // the contour does not end where it starts, that way back is a jump too, reached dark, and
    // the first point is repeated, dark, as every jump's end is.
    if (before.empty() && result.needed >= 2 && !(firstPoint == lastPoint)) {
        ++result.needed;
        if (result.needed <= limit) {
            result.points.insert(result.points.begin(), result.points.front());
            result.styles.insert(result.styles.begin(), PointStyle::Dark());
            result.styles[1] = PointStyle::Dark();
        }
    }
    if (result.needed > limit) {
        result.points.clear();
        result.styles.clear();
    }
    return result;
}

// The entry of a path nearest `end`: an open path at either end, a closed one at any point.
std::pair<std::size_t, double> NearestEntry(const Resampled& r, const PathPoint& end) {
    const auto& pts = r.points;
    std::size_t bestPoint = 0;
    double best = std::numeric_limits<double>::infinity();
    const auto consider = [&](std::size_t j) {
        const double d = DistanceSquared(end, pts[j]);
        if (d < best) {
            best = d;
            bestPoint = j;
        }
    };
    if (r.closed) {
        for (std::size_t j = 0; j + 1 < pts.size(); ++j) {
            consider(j);
        }
    } else {
        consider(0);
        consider(pts.size() - 1);
    }
    return {bestPoint, best};
}

// The join of the paths each nearest the end so far (JoinPaths).
JoinedContour JoinNearest(const std::vector<Path>& paths, int spacingPixels, std::size_t limit,
                          bool countAll) {
    std::optional<Entries> entries;
    return Join(paths, spacingPixels, limit, {}, {}, countAll,
                [&entries](const std::vector<Resampled>& rest, const PathPoint& end) {
                    if (!entries) {
                        entries.emplace(rest);
                    }
                    const std::pair<std::size_t, std::size_t> chosen = entries->Nearest(end);
                    entries->Take(chosen.first);
                    return chosen;
                });
}

}  // namespace

JoinedContour JoinPaths(const std::vector<Path>& paths, int spacingPixels, std::size_t limit) {
    return JoinNearest(paths, spacingPixels, limit, true);
}

JoinedContour JoinPathsInOrder(const std::vector<Path>& paths, int spacingPixels,
                               const std::vector<ContourPoint>& before,
                               const std::vector<PointStyle>& beforeStyles, std::size_t limit) {
    // Always the next path in order, at its entry nearest the end so far.
    return Join(
        paths, spacingPixels, limit, before, beforeStyles, true,
        [next = std::size_t(0)](const std::vector<Resampled>& rest, const PathPoint& end) mutable {
            const std::size_t i = next++;
            return std::pair<std::size_t, std::size_t>{i, NearestEntry(rest[i], end).first};
        });
}

int SmallestFittingSpacing(const std::vector<Path>& paths, int from) {
    // A join needs at least a point per path and one per spacing of its length; a spacing at
    // which that alone is too many is passed over without one, and each join is left as soon
    // as it needs too many.
    double length = 0;
    for (const Path& p : paths) {
        for (std::size_t i = 1; i < p.points.size(); ++i) {
            length += Distance(p.points[i - 1], p.points[i]);
        }
        if (p.closed && p.points.size() > 2) {
            length += Distance(p.points.back(), p.points.front());
        }
    }
    return SmallestFittingSpacing(
        [&](int spacing) {
            const double atLeast =
                double(paths.size()) + length / (double(spacing) * kUnitsPerPixel) - 1e-6;
            return atLeast <= double(kMaxContourPoints) &&
                   JoinNearest(paths, spacing, kMaxContourPoints, false).fits();
        },
        from);
}

int SmallestFittingSpacing(const std::function<bool(int)>& fitsAt, int from) {
    // The points needed do not always fall as the spacing grows: a wider spacing looks for
    // corners farther along a path, so a gentle bend can become a corner that splits a run,
    // and the resampled points move the entries and so the order of the paths. So every
    // spacing is tried, the smallest first.
    for (int spacing = std::max(1, from); spacing <= kMaxOfferedSpacing; ++spacing) {
        if (fitsAt(spacing)) {
            return spacing;
        }
    }
    return 0;
}

}  // namespace model

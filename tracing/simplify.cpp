#include "tracing/simplify.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace tracing {

namespace {

// How far the points may be from the line fitted to their run, in tolerances. A run along a
// curve bulges from its line by at most this at its ends and half of it in its middle, so the
// simplified path stays within half the tolerance of a curve and its mean distance is under a
// fifth of the tolerance; the rest is left for the corners, which the lines meeting there put
// back, and for the half pixel that a hard edge leaves open.
constexpr double kRunTolerances = 0.45;
// Runs of up to this many steps are checked for ends that belong to the runs beside them.
constexpr int kShortRun = 6;
// How far a point may step back along its run, in pixels.
constexpr double kBackStep = 0.25;
// How far a corner put where two fitted lines meet may be from the traced one, beyond the
// tolerance, in pixels: interpolation rounds a square corner off by about half a pixel and the
// tip of a sharp one by more.
constexpr double kCornerReach = 1.5;

struct FittedLine {
    cv::Point2d at;   // a point on it
    cv::Point2d dir;  // unit length
};

double Cross(cv::Point2d a, cv::Point2d b) {
    return a.x * b.y - a.y * b.x;
}

cv::Point2d Project(const FittedLine& l, cv::Point2d p) {
    return l.at + l.dir * (p - l.at).dot(l.dir);
}

// Sums of the coordinates and their products from the first point on (taken as 0), so that
// the line of any run is found at once: the search fits many runs over the same points. In
// double precision, so that a straight side comes out exactly.
struct Sums {
    double x = 0, y = 0, xx = 0, xy = 0, yy = 0;
};

// The points of a traced line as the runs are fitted to them: as many times round as the
// search may go (twice for a closed path), each also a little smoothed with its neighbours
// for the distances, so that the small wobble of the traced line does not count.
class RunFitter {
  public:
    // `near`: how far a point may be from its run's line, in pixels.
    RunFitter(const TracedLine& traced, bool closed, double near) : near_(near) {
        const std::vector<cv::Point2f>& pts = traced.points;
        const int n = int(pts.size());
        const int count = closed ? 2 * n : n;
        at_.resize(std::size_t(count));
        smooth_.resize(std::size_t(count));
        loose_.resize(std::size_t(count));
        for (int k = 0; k < count; ++k) {
            at_[std::size_t(k)] = pts[std::size_t(k % n)];
            loose_[std::size_t(k)] = traced.loose[std::size_t(k % n)];
        }
        for (int k = 0; k < count; ++k) {
            const int before = closed ? (k + n - 1) % n : std::max(k - 1, 0);
            const int after = closed ? (k + 1) % n : std::min(k + 1, n - 1);
            smooth_[std::size_t(k)] =
                (cv::Point2d(pts[std::size_t(before)]) + 2 * at_[std::size_t(k)] +
                 cv::Point2d(pts[std::size_t(after)])) *
                0.25;
        }
        sums_.resize(std::size_t(count) + 1);
        origin_ = point(0);
        for (int k = 0; k < count; ++k) {
            const cv::Point2d p = point(k) - origin_;
            const Sums& s = sums_[std::size_t(k)];
            sums_[std::size_t(k) + 1] = {s.x + p.x, s.y + p.y, s.xx + p.x * p.x, s.xy + p.x * p.y,
                                         s.yy + p.y * p.y};
        }
    }

    cv::Point2d point(int k) const { return at_[std::size_t(k)]; }
    double near() const { return near_; }

    // The least-squares line through the points first..last, pointing from `from` to `to`.
    FittedLine lineOf(int first, int last, int from, int to) const {
        const Sums& s0 = sums_[std::size_t(first)];
        const Sums& s1 = sums_[std::size_t(last + 1)];
        const double c = last - first + 1;
        const double mx = (s1.x - s0.x) / c;
        const double my = (s1.y - s0.y) / c;
        const double vxx = (s1.xx - s0.xx) / c - mx * mx;
        const double vxy = (s1.xy - s0.xy) / c - mx * my;
        const double vyy = (s1.yy - s0.yy) / c - my * my;
        // The direction of most spread: half the angle of (vxx - vyy, 2 vxy).
        const double spread = std::hypot(vxx - vyy, 2 * vxy);
        cv::Point2d dir = point(to) - point(from);
        if (spread > 0) {
            const double cos2 = (vxx - vyy) / spread;
            dir = {std::sqrt(std::max(0.0, (1 + cos2) / 2)),
                   std::copysign(std::sqrt(std::max(0.0, (1 - cos2) / 2)), vxy)};
        } else {
            dir *= 1 / std::max(cv::norm(dir), 1e-12);
        }
        if (dir.dot(point(to) - point(from)) < 0) {
            dir = -dir;  // along the run
        }
        return FittedLine{origin_ + cv::Point2d(mx, my), dir};
    }

    // The line fitted to the points from..to (counted on past the end of a closed path), or
    // nothing when one of them is too far from it. The ends of a run of five or more are left
    // out: they may be on the rounding of a corner.
    std::optional<FittedLine> fit(int from, int to) const {
        const int skip = to - from >= 4 ? 1 : 0;
        const FittedLine line = lineOf(from + skip, to - skip, from, to);
        const double nx = std::abs(line.dir.y);
        const double ny = std::abs(line.dir.x);
        double along = -1e300;
        for (int k = from + skip; k <= to - skip; ++k) {
            // A point that goes back along the line, as round the end of a sliver, ends the
            // run.
            const cv::Point2d q = smooth_[std::size_t(k)];
            const double ahead = line.dir.dot(q - line.at);
            if (ahead < along - kBackStep) {
                return std::nullopt;
            }
            along = std::max(along, ahead);
            double allowed = near_;
            switch (loose_[std::size_t(k)]) {
                case Loose::None:
                    break;
                case Loose::AcrossX:
                    allowed += 0.5 * nx;
                    break;
                case Loose::AcrossY:
                    allowed += 0.5 * ny;
                    break;
                case Loose::Around:
                    allowed += 0.5;
                    break;
            }
            if (std::abs(Cross(line.dir, q - line.at)) > allowed) {
                return std::nullopt;
            }
        }
        return line;
    }

  private:
    std::vector<cv::Point2d> at_;
    std::vector<cv::Point2d> smooth_;
    std::vector<Loose> loose_;
    std::vector<Sums> sums_;
    cv::Point2d origin_;
    double near_;
};

// The runs of a path, in order: where each starts and the line fitted to it.
struct Runs {
    std::vector<int> starts;
    std::vector<FittedLine> lines;
};

// Each run from `begin` to `end` as long as it fits: doubling its length until it does not,
// then halving the difference.
Runs Greedy(const RunFitter& f, int begin, int end) {
    Runs runs;
    for (int from = begin; from < end;) {
        int good = from + 1;
        std::optional<FittedLine> line = f.lineOf(from, good, from, good);
        int bad = -1;
        for (int step = 2; good < end; step *= 2) {
            const int to = std::min(from + step, end);
            if (auto l = f.fit(from, to)) {
                good = to;
                line = l;
            } else {
                bad = to;
                break;
            }
        }
        while (bad - good > 1) {
            const int mid = (good + bad) / 2;
            if (auto l = f.fit(from, mid)) {
                good = mid;
                line = l;
            } else {
                bad = mid;
            }
        }
        runs.starts.push_back(from);
        runs.lines.push_back(*line);
        from = good;
    }
    return runs;
}

// The runs of a closed path of n points again from the sharpest corner, so that the run that
// closes the path does not end short of it.
void StartAtSharpestCorner(const RunFitter& f, int n, Runs& runs) {
    if (runs.lines.size() <= 2) {
        return;
    }
    std::size_t sharpest = 0;
    double turn = -2;
    for (std::size_t k = 0; k < runs.lines.size(); ++k) {
        const double t =
            -runs.lines[k].dir.dot(runs.lines[(k + runs.lines.size() - 1) % runs.lines.size()].dir);
        if (t > turn) {
            turn = t;
            sharpest = k;
        }
    }
    const int begin = runs.starts[sharpest];
    if (sharpest != 0) {
        runs = Greedy(f, begin, begin + n);
    }
    // A run of two or three points left at the end is the rounding of that corner, which
    // the lines on either side put back.
    if (runs.lines.size() > 3 && begin + n - runs.starts.back() <= 2) {
        runs.starts.pop_back();
        runs.lines.pop_back();
    }
}

// The points a run's line was fitted from and to.
using Span = std::pair<int, int>;

// A short run's ends that lie on the lines beside it are the rounding of its corners, as at
// the end of a sliver two pixels wide: its line is fitted again without them.
void RefitShortRuns(const RunFitter& f, bool closed, std::vector<FittedLine>& lines,
                    std::vector<Span>& fitted) {
    const std::size_t m = lines.size();
    const double near = f.near();
    for (std::size_t k = closed ? 0 : 1; k + (closed ? 0 : 1) < m; ++k) {
        const auto [from, to] = fitted[k];
        if (to - from > kShortRun) {
            continue;
        }
        const FittedLine& before = lines[(k + m - 1) % m];
        const FittedLine& after = lines[(k + 1) % m];
        int first = from;
        int end = to;
        while (end - first >= 2 &&
               std::abs(Cross(before.dir, f.point(first) - before.at)) <= near) {
            ++first;
        }
        while (end - first >= 2 && std::abs(Cross(after.dir, f.point(end) - after.at)) <= near) {
            --end;
        }
        if (first != from || end != to) {
            lines[k] = f.lineOf(first, end, from, to);
            fitted[k] = {first, end};
        }
    }
}

// A single step between two sides that meet at a corner is the corner's rounding: it goes,
// as long as three sides are left.
void DropRoundings(bool closed, std::vector<FittedLine>& lines, std::vector<Span>& fitted) {
    const std::size_t m = lines.size();
    std::vector<bool> rounding(m, false);
    for (std::size_t k = closed ? 0 : 1; k + (closed ? 0 : 1) < m; ++k) {
        rounding[k] = fitted[k].second - fitted[k].first == 1 && !rounding[(k + m - 1) % m] &&
                      std::abs(Cross(lines[(k + m - 1) % m].dir, lines[(k + 1) % m].dir)) > 0.3;
    }
    if (m - std::size_t(std::count(rounding.begin(), rounding.end(), true)) < 3) {
        return;
    }
    std::size_t kept = 0;
    for (std::size_t k = 0; k < m; ++k) {
        if (!rounding[k]) {
            lines[kept] = lines[k];
            fitted[kept] = fitted[k];
            ++kept;
        }
    }
    lines.resize(kept);
    fitted.resize(kept);
}

// The corner between lines a and b, near the traced point `at`: where they meet when that
// is within `reach` of it, else a square end or a point half-way between them.
void PutCorner(const FittedLine& a, const FittedLine& b, cv::Point2d at, double reach,
               std::vector<cv::Point2d>& out) {
    const double cross = Cross(a.dir, b.dir);
    if (std::abs(cross) > 1e-3) {
        const cv::Point2d meet = a.at + a.dir * (Cross(b.at - a.at, b.dir) / cross);
        if (cv::norm(meet - at) <= reach) {
            out.push_back(meet);
            return;
        }
    }
    if (a.dir.dot(b.dir) < -0.5) {
        // Turning back, as round the end of a sliver: a square end across it.
        out.push_back(Project(a, at));
        out.push_back(Project(b, at));
    } else {
        // Nearly in line, or meeting far off: half-way between the two lines.
        out.push_back((Project(a, at) + Project(b, at)) * 0.5);
    }
}

// The simplified path of n points from its sides' lines: their corners, and on an open path
// its ends on the first and the last line. A closed path of fewer than three sides keeps the
// points where its runs start.
std::vector<cv::Point2d> Corners(const RunFitter& f, const std::vector<FittedLine>& lines,
                                 const std::vector<Span>& fitted, bool closed, int n,
                                 double reach) {
    const std::size_t sides = lines.size();
    std::vector<cv::Point2d> out;
    if (closed && (sides < 2 || (sides == 2 && lines[0].dir.dot(lines[1].dir) > -0.5))) {
        for (const auto& s : fitted) {
            out.push_back(f.point(s.first));
        }
        return out;
    }
    out.reserve(sides + 2);
    if (!closed) {
        out.push_back(Project(lines.front(), f.point(0)));
    }
    for (std::size_t k = closed ? 0 : 1; k < sides; ++k) {
        // Between where the two lines were fitted.
        const std::size_t before = (k + sides - 1) % sides;
        PutCorner(lines[before], lines[k],
                  (f.point(fitted[before].second) + f.point(fitted[k].first)) * 0.5, reach, out);
    }
    if (!closed) {
        out.push_back(Project(lines.back(), f.point(n - 1)));
    }
    return out;
}

}  // namespace

std::vector<cv::Point2d> Simplify(const TracedLine& traced, bool closed, double tolerance) {
    const std::vector<cv::Point2f>& pts = traced.points;
    const int n = int(pts.size());
    if (tolerance <= 0 || n < 4) {
        return {pts.begin(), pts.end()};
    }
    const RunFitter f(traced, closed, tolerance * kRunTolerances);
    Runs runs = Greedy(f, 0, closed ? n : n - 1);
    if (closed) {
        StartAtSharpestCorner(f, n, runs);
    }
    std::vector<FittedLine>& lines = runs.lines;
    const std::size_t m = lines.size();
    std::vector<Span> fitted;
    for (std::size_t k = 0; k < m; ++k) {
        fitted.emplace_back(runs.starts[k], k + 1 < m ? runs.starts[k + 1]
                                            : closed  ? runs.starts[0] + n
                                                      : n - 1);
    }
    if (m > 2) {
        RefitShortRuns(f, closed, lines, fitted);
        DropRoundings(closed, lines, fitted);
    }
    return Corners(f, lines, fitted, closed, n, tolerance + kCornerReach);
}

}  // namespace tracing

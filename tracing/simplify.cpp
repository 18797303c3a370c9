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

}  // namespace

std::vector<cv::Point2d> Simplify(const TracedLine& traced, bool closed, double tolerance) {
    const std::vector<cv::Point2f>& pts = traced.points;
    const int n = int(pts.size());
    if (tolerance <= 0 || n < 4) {
        return {pts.begin(), pts.end()};
    }
    // The points as many times round as the search may go (twice for a closed path), each
    // also a little smoothed with its neighbours for the distances, so that the small wobble
    // of the traced line does not count.
    const int count = closed ? 2 * n : n;
    std::vector<cv::Point2d> at(static_cast<std::size_t>(count));
    std::vector<cv::Point2d> smooth(static_cast<std::size_t>(count));
    std::vector<Loose> loose(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        at[std::size_t(k)] = pts[std::size_t(k % n)];
        loose[std::size_t(k)] = traced.loose[std::size_t(k % n)];
    }
    for (int k = 0; k < count; ++k) {
        const int before = closed ? (k + n - 1) % n : std::max(k - 1, 0);
        const int after = closed ? (k + 1) % n : std::min(k + 1, n - 1);
        smooth[std::size_t(k)] = (cv::Point2d(pts[std::size_t(before)]) + 2 * at[std::size_t(k)] +
                                  cv::Point2d(pts[std::size_t(after)])) *
                                 0.25;
    }
    const auto point = [&](int k) { return at[std::size_t(k)]; };
    const double near = tolerance * kRunTolerances;
    // Sums of the coordinates and their products from the first point on (taken as 0), so
    // that the line of any run is found at once: the search below fits many runs over the
    // same points. In double precision, so that a straight side comes out exactly.
    struct Sums {
        double x = 0, y = 0, xx = 0, xy = 0, yy = 0;
    };
    std::vector<Sums> sums(std::size_t(count) + 1);
    const cv::Point2d origin = point(0);
    for (int k = 0; k < count; ++k) {
        const cv::Point2d p = point(k) - origin;
        const Sums& s = sums[std::size_t(k)];
        sums[std::size_t(k) + 1] = {s.x + p.x, s.y + p.y, s.xx + p.x * p.x, s.xy + p.x * p.y,
                                    s.yy + p.y * p.y};
    }
    // The least-squares line through the points first..last, pointing from `from` to `to`.
    const auto lineOf = [&](int first, int last, int from, int to) {
        const Sums& s0 = sums[std::size_t(first)];
        const Sums& s1 = sums[std::size_t(last + 1)];
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
        return FittedLine{origin + cv::Point2d(mx, my), dir};
    };
    // The line fitted to the points from..to (counted on past the end of a closed path), or
    // nothing when one of them is too far from it. The ends of a run of five or more are left
    // out: they may be on the rounding of a corner.
    const auto fit = [&](int from, int to) -> std::optional<FittedLine> {
        const int skip = to - from >= 4 ? 1 : 0;
        const FittedLine line = lineOf(from + skip, to - skip, from, to);
        const double nx = std::abs(line.dir.y);
        const double ny = std::abs(line.dir.x);
        double along = -1e300;
        for (int k = from + skip; k <= to - skip; ++k) {
            // A point that goes back along the line, as round the end of a sliver, ends the
            // run.
            const cv::Point2d q = smooth[std::size_t(k)];
            const double ahead = line.dir.dot(q - line.at);
            if (ahead < along - kBackStep) {
                return std::nullopt;
            }
            along = std::max(along, ahead);
            double allowed = near;
            switch (loose[std::size_t(k)]) {
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
    };

    // Each run as long as it fits: doubling its length until it does not, then halving the
    // difference.
    std::vector<int> starts;
    std::vector<FittedLine> lines;
    const auto greedy = [&](int begin, int end) {
        starts.clear();
        lines.clear();
        for (int from = begin; from < end;) {
            int good = from + 1;
            std::optional<FittedLine> line = lineOf(from, good, from, good);
            int bad = -1;
            for (int step = 2; good < end; step *= 2) {
                const int to = std::min(from + step, end);
                if (auto l = fit(from, to)) {
                    good = to;
                    line = l;
                } else {
                    bad = to;
                    break;
                }
            }
            while (bad - good > 1) {
                const int mid = (good + bad) / 2;
                if (auto l = fit(from, mid)) {
                    good = mid;
                    line = l;
                } else {
                    bad = mid;
                }
            }
            starts.push_back(from);
            lines.push_back(*line);
            from = good;
        }
    };
    greedy(0, closed ? n : n - 1);
    if (closed && lines.size() > 2) {
        // Again from the sharpest corner, so that the run that closes the path does not end
        // short of it.
        std::size_t sharpest = 0;
        double turn = -2;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const double t = -lines[k].dir.dot(lines[(k + lines.size() - 1) % lines.size()].dir);
            if (t > turn) {
                turn = t;
                sharpest = k;
            }
        }
        const int begin = starts[sharpest];
        if (sharpest != 0) {
            greedy(begin, begin + n);
        }
        // A run of two or three points left at the end is the rounding of that corner, which
        // the lines on either side put back.
        if (lines.size() > 3 && begin + n - starts.back() <= 2) {
            starts.pop_back();
            lines.pop_back();
        }
    }

    const std::size_t m = lines.size();
    // A short run's ends that lie on the lines beside it are the rounding of its corners, as
    // at the end of a sliver two pixels wide: its line is fitted without them.
    // Where each run's line was fitted from and to.
    std::vector<std::pair<int, int>> fitted;
    for (std::size_t k = 0; k < m; ++k) {
        fitted.emplace_back(starts[k], k + 1 < m ? starts[k + 1] : closed ? starts[0] + n : n - 1);
    }
    if (m > 2) {
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
                   std::abs(Cross(before.dir, point(first) - before.at)) <= near) {
                ++first;
            }
            while (end - first >= 2 && std::abs(Cross(after.dir, point(end) - after.at)) <= near) {
                --end;
            }
            if (first != from || end != to) {
                lines[k] = lineOf(first, end, from, to);
                fitted[k] = {first, end};
            }
        }
        // A single step between two sides that meet at a corner is the corner's rounding.
        std::vector<bool> rounding(m, false);
        for (std::size_t k = closed ? 0 : 1; k + (closed ? 0 : 1) < m; ++k) {
            rounding[k] = fitted[k].second - fitted[k].first == 1 && !rounding[(k + m - 1) % m] &&
                          std::abs(Cross(lines[(k + m - 1) % m].dir, lines[(k + 1) % m].dir)) > 0.3;
        }
        if (m - std::size_t(std::count(rounding.begin(), rounding.end(), true)) >= 3) {
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
    }

    const std::size_t sides = lines.size();
    std::vector<cv::Point2d> out;
    if (closed && (sides < 2 || (sides == 2 && lines[0].dir.dot(lines[1].dir) > -0.5))) {
        for (const auto& f : fitted) {
            out.push_back(point(f.first));
        }
        return out;
    }
    out.reserve(sides + 2);
    const double reach = tolerance + kCornerReach;
    const auto corner = [&](const FittedLine& a, const FittedLine& b, cv::Point2d at) {
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
    };
    if (!closed) {
        out.push_back(Project(lines.front(), point(0)));
    }
    for (std::size_t k = closed ? 0 : 1; k < sides; ++k) {
        // Between where the two lines were fitted.
        const std::size_t before = (k + sides - 1) % sides;
        corner(lines[before], lines[k],
               (point(fitted[before].second) + point(fitted[k].first)) * 0.5);
    }
    if (!closed) {
        out.push_back(Project(lines.back(), point(n - 1)));
    }
    return out;
}

}  // namespace tracing

#include "tracing/tracer.h"

#include <QSysInfo>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <opencv2/imgproc.hpp>
#include <optional>

namespace tracing {

namespace {

// A 0/1 image with a background border of one pixel all round, so that every pixel looked at
// has eight neighbours inside the buffer.
struct Grid {
    int width = 0;  // with the border
    int height = 0;
    std::vector<uint8_t> on;

    Grid(const cv::Mat& binary) : width(binary.cols + 2), height(binary.rows + 2) {
        on.assign(std::size_t(width) * std::size_t(height), 0);
        for (int y = 0; y < binary.rows; ++y) {
            const uint8_t* row = binary.ptr<uint8_t>(y);
            uint8_t* out = &on[std::size_t(y + 1) * std::size_t(width) + 1];
            for (int x = 0; x < binary.cols; ++x) {
                out[x] = row[x] != 0 ? 1 : 0;
            }
        }
    }
    // Neighbour offsets clockwise from north: N, NE, E, SE, S, SW, W, NW.
    std::array<int, 8> ring() const {
        return {-width, -width + 1, 1, width + 1, width, width - 1, -1, -width - 1};
    }
    std::vector<int> foreground() const {
        std::vector<int> all;
        for (int i = 0; i < int(on.size()); ++i) {
            if (on[std::size_t(i)] != 0) {
                all.push_back(i);
            }
        }
        return all;
    }
};

// Zhang and Suen's thinning: peels the strokes from both sides, one layer per pass, down to
// lines one pixel wide along their middle.
void Thin(Grid& g) {
    const auto n = g.ring();
    // A pixel is looked at again only when it may have become removable: when a neighbour
    // has gone, or when it failed only the test of the pass, which the other pass tests
    // differently. The result is that of looking at every pixel in every pass.
    std::vector<int> active;
    for (int i : g.foreground()) {
        for (int d : n) {
            if (g.on[std::size_t(i + d)] == 0) {
                active.push_back(i);
                break;
            }
        }
    }
    std::vector<uint32_t> stamp(g.on.size(), 0);
    uint32_t round = 0;
    std::vector<int> remove;
    std::vector<int> next;
    int idle = 0;
    for (int pass = 0; !active.empty() && idle < 2; pass ^= 1) {
        ++round;
        remove.clear();
        next.clear();
        const auto retry = [&](int i) {
            if (stamp[std::size_t(i)] != round) {
                stamp[std::size_t(i)] = round;
                next.push_back(i);
            }
        };
        for (int i : active) {
            std::array<uint8_t, 8> p;
            int count = 0;
            for (int k = 0; k < 8; ++k) {
                p[std::size_t(k)] = g.on[std::size_t(i + n[std::size_t(k)])];
                count += p[std::size_t(k)];
            }
            if (count < 2 || count > 6) {
                continue;
            }
            int rises = 0;
            for (int k = 0; k < 8; ++k) {
                rises += p[std::size_t(k)] == 0 && p[std::size_t((k + 1) % 8)] == 1;
            }
            if (rises != 1) {
                continue;
            }
            // p[0] N, p[2] E, p[4] S, p[6] W.
            const bool keep = pass == 0 ? (p[0] && p[2] && p[4]) || (p[2] && p[4] && p[6])
                                        : (p[0] && p[2] && p[6]) || (p[0] && p[4] && p[6]);
            if (keep) {
                retry(i);
            } else {
                remove.push_back(i);
            }
        }
        for (int i : remove) {
            g.on[std::size_t(i)] = 0;
        }
        for (int i : remove) {
            for (int d : n) {
                if (g.on[std::size_t(i + d)] != 0) {
                    retry(i + d);
                }
            }
        }
        idle = remove.empty() ? idle + 1 : 0;
        active.swap(next);
    }
}

// Removes the corner pixels of staircases, which would look like junctions: a pixel goes when
// it is not an end, touches the background on a side, and its neighbours stay connected
// without it.
void MakeEightThin(Grid& g) {
    const auto n = g.ring();
    for (int i : g.foreground()) {
        std::array<uint8_t, 8> p;
        int count = 0;
        for (int k = 0; k < 8; ++k) {
            p[std::size_t(k)] = g.on[std::size_t(i + n[std::size_t(k)])];
            count += p[std::size_t(k)];
        }
        if (count < 2 || (p[0] && p[2] && p[4] && p[6])) {
            continue;
        }
        // The neighbours' groups under 8-connection: runs around the ring, where two runs
        // still touch across an empty corner between two side neighbours. (With all four
        // sides set the runs would close a loop; such a pixel is kept above.)
        int groups = 0;
        for (int k = 0; k < 8; ++k) {
            groups += p[std::size_t(k)] && !p[std::size_t((k + 7) % 8)];
        }
        for (int k = 0; k < 8; k += 2) {
            groups -= p[std::size_t(k)] && !p[std::size_t(k + 1)] && p[std::size_t((k + 2) % 8)];
        }
        if (groups == 1 && count < 8) {
            g.on[std::size_t(i)] = 0;
        }
    }
}

struct Chain {
    std::vector<int> pixels;
    bool closed = false;
};

// The lines of a thin image as chains of pixels between ends and junctions; rings that have
// neither become closed chains.
std::vector<Chain> FollowLines(Grid& g) {
    const auto n = g.ring();
    const auto neighbours = [&](int i) {
        int c = 0;
        for (int d : n) {
            c += g.on[std::size_t(i + d)];
        }
        return c;
    };
    std::vector<uint8_t> node(g.on.size(), 0);
    std::vector<uint8_t> seen(g.on.size(), 0);
    const std::vector<int> pixels = g.foreground();
    for (int i : pixels) {
        node[std::size_t(i)] = neighbours(i) != 2;
    }
    std::vector<Chain> chains;
    // Walks from `from` through `next` until a node or a pixel already taken.
    const auto walk = [&](int from, int next, Chain& chain) {
        int prev = from;
        int cur = next;
        chain.pixels.push_back(from);
        while (true) {
            chain.pixels.push_back(cur);
            if (node[std::size_t(cur)] || (seen[std::size_t(cur)] && cur != next)) {
                return;
            }
            seen[std::size_t(cur)] = 1;
            int step = -1;
            for (int d : n) {
                const int q = cur + d;
                if (q != prev && g.on[std::size_t(q)] && (!seen[std::size_t(q)] || q == from)) {
                    step = q;
                    if (std::abs(d) == 1 || std::abs(d) == g.width) {
                        break;  // a side neighbour before a corner one
                    }
                }
            }
            if (step < 0) {
                return;
            }
            prev = cur;
            cur = step;
            if (cur == from) {
                chain.pixels.push_back(cur);
                chain.closed = true;
                return;
            }
        }
    };
    for (int i : pixels) {
        if (!node[std::size_t(i)]) {
            continue;
        }
        if (neighbours(i) == 0) {
            chains.push_back({{i}, false});
            continue;
        }
        for (int d : n) {
            const int q = i + d;
            if (!g.on[std::size_t(q)]) {
                continue;
            }
            if (node[std::size_t(q)]) {
                if (i < q) {
                    chains.push_back({{i, q}, false});
                }
                continue;
            }
            if (seen[std::size_t(q)]) {
                continue;
            }
            Chain c;
            walk(i, q, c);
            chains.push_back(std::move(c));
        }
    }
    for (int i : pixels) {
        if (!node[std::size_t(i)] && !seen[std::size_t(i)]) {
            seen[std::size_t(i)] = 1;
            int next = -1;
            for (int d : n) {
                if (g.on[std::size_t(i + d)]) {
                    next = i + d;
                    break;
                }
            }
            Chain c;
            walk(i, next, c);
            c.closed = c.closed || (c.pixels.size() > 2 && c.pixels.back() == c.pixels.front());
            if (c.closed && c.pixels.size() > 1 && c.pixels.back() == c.pixels.front()) {
                c.pixels.pop_back();
            }
            chains.push_back(std::move(c));
        }
    }
    return chains;
}

// ---- Where the brightness crosses the threshold ----

// The corners of a cell of four pixel centres, clockwise from the top left: 0 top left,
// 1 top right, 2 bottom right, 3 bottom left. Side k runs from corner k to corner k + 1.
constexpr std::array<int, 4> kCornerX{0, 1, 1, 0};
constexpr std::array<int, 4> kCornerY{0, 0, 1, 1};

// The side a line leaves a cell by, for the cell's drawn corners (bit k for corner k) and the
// side it came in by: a line always comes in across a side whose first corner is drawn and
// whose second is not, keeps the drawn corners on the same hand, and so leaves by the first
// side, counter-clockwise from where it came in, whose first corner is not drawn and whose
// second is. In the two cells whose drawn corners are diagonal this keeps them apart; -1
// where no line comes in.
constexpr std::array<std::array<int, 4>, 16> kExits = [] {
    std::array<std::array<int, 4>, 16> exits{};
    for (int mask = 0; mask < 16; ++mask) {
        const auto drawn = [mask](int k) { return (mask >> ((k + 8) % 4)) & 1; };
        for (int side = 0; side < 4; ++side) {
            exits[std::size_t(mask)][std::size_t(side)] = -1;
            if (!drawn(side) || drawn(side + 1)) {
                continue;
            }
            for (int k = side; k > side - 4; --k) {
                if (drawn(k) && !drawn(k - 1)) {
                    exits[std::size_t(mask)][std::size_t(side)] = (k + 7) % 4;
                    break;
                }
            }
        }
    }
    return exits;
}();

// How much the brightness may change between neighbours of one flat colour.
constexpr int kFlat = 6;

// Where the pixels leave a traced point's place open by half a pixel: between two pixels of
// flat colours (a hard step, nothing partly covered), anywhere between their centres; on a
// line of pixels (edges, centre lines), anywhere within its pixel.
enum class Loose : uint8_t { None, AcrossX, AcrossY, Around };

// A traced line: its points and how loose each is.
struct TracedLine {
    std::vector<cv::Point2f> points;
    std::vector<Loose> loose;
};

// The lines where the brightness, interpolated linearly between pixel centres, crosses
// `level`: the borders of the drawn regions with sub-pixel precision, as marching squares
// finds them. `grey` has a border of one background pixel all round, so every line closes;
// `drawn` is non-zero where a pixel is on the drawn side (darker than the level, or lighter
// with `lighter`). Where two drawn pixels touch only at a corner, they are joined when the
// cell's mean brightness is on the drawn side. Points are in pixel positions of the picture
// without its border (pixel u's centre at u).
std::vector<TracedLine> IsoLines(const cv::Mat& grey, const cv::Mat& drawn, double level,
                                 bool lighter) {
    std::vector<TracedLine> lines;
    const int w = grey.cols;
    const int h = grey.rows;
    CV_Assert(grey.isContinuous() && drawn.isContinuous());
    const uint8_t* g = grey.ptr<uint8_t>();
    const uint8_t* in = drawn.ptr<uint8_t>();
    const std::array<int, 4> corner{0, 1, w + 1, w};
    const std::array<int, 4> step{-w, 1, w, -1};  // to the cell across each side
    const float lv = float(level);
    // Horizontal pixel pairs already crossed, by the left pixel: every line crosses some.
    std::vector<uint8_t> crossed(std::size_t(w) * std::size_t(h), 0);
    const auto follow = [&](int cx, int cy, int side) {
        TracedLine line;
        const int start = cy * w + cx;
        const int startSide = side;
        int c = start;
        do {
            const int k1 = (side + 1) & 3;
            const int a = c + corner[std::size_t(side)];  // drawn
            const int b = c + corner[std::size_t(k1)];
            const float ga = g[a];
            const float gb = g[b];
            const int ax = cx + kCornerX[std::size_t(side)];
            const int ay = cy + kCornerY[std::size_t(side)];
            const int dx = kCornerX[std::size_t(k1)] - kCornerX[std::size_t(side)];
            const int dy = kCornerY[std::size_t(k1)] - kCornerY[std::size_t(side)];
            float edge = lv;
            Loose loose = Loose::None;
            // A sharp step between two flat colours, seen through the pixels beyond the pair:
            // its border is half-way between the two colours, wherever the threshold is
            // between them. (With the threshold near one colour, the crossing of the
            // threshold would move the border by up to half a pixel into the other.)
            const int bx = ax + 2 * dx;
            const int by = ay + 2 * dy;
            if (bx >= 0 && bx < w && by >= 0 && by < h) {
                const int before = a - (b - a);
                const int after = b + (b - a);
                const int gBefore = g[before];
                const int gAfter = g[after];
                const bool flatBefore = std::abs(gBefore - int(ga)) <= kFlat;
                const bool flatAfter = std::abs(gAfter - int(gb)) <= kFlat;
                if (in[before] != 0 && in[after] == 0 && (flatBefore || flatAfter)) {
                    edge = float(gBefore + gAfter) * 0.5f;
                    if (flatBefore && flatAfter) {
                        loose = dx != 0 ? Loose::AcrossX : Loose::AcrossY;
                    }
                }
            }
            const float t = std::clamp((ga - edge) / (ga - gb), 0.0f, 1.0f);
            line.points.emplace_back(float(ax - 1) + t * float(dx), float(ay - 1) + t * float(dy));
            line.loose.push_back(loose);
            if (side == 0) {
                crossed[std::size_t(c)] = 1;
            } else if (side == 2) {
                crossed[std::size_t(c + w)] = 1;
            }
            const int mask = (in[c] & 1) | (in[c + 1] & 1) << 1 | (in[c + w + 1] & 1) << 2 |
                             (in[c + w] & 1) << 3;
            int exit = kExits[std::size_t(mask)][std::size_t(side)];
            if (mask == 5 || mask == 10) {
                const int sum = g[c] + g[c + 1] + g[c + w] + g[c + w + 1];
                if (lighter ? sum > 4 * lv : sum < 4 * lv) {
                    exit = k1;  // around the undrawn corner after the entry
                }
            }
            c += step[std::size_t(exit)];
            cx += exit == 1 ? 1 : exit == 3 ? -1 : 0;
            cy += exit == 2 ? 1 : exit == 0 ? -1 : 0;
            side = (exit + 2) & 3;
        } while (c != start || side != startSide);
        lines.push_back(std::move(line));
    };
    for (int y = 1; y + 1 < h; ++y) {
        const uint8_t* row = in + std::size_t(y) * std::size_t(w);
        for (int x = 0; x + 1 < w;) {
            if (x + 9 <= w) {
                // Eight pairs at a time through the runs where nothing changes.
                uint64_t a = 0;
                uint64_t b = 0;
                std::memcpy(&a, row + x, 8);
                std::memcpy(&b, row + x + 1, 8);
                if (a == b) {
                    x += 8;
                    continue;
                }
            }
            if (row[x] != row[x + 1] &&
                !crossed[std::size_t(y) * std::size_t(w) + std::size_t(x)]) {
                if (row[x] != 0) {
                    follow(x, y, 0);  // into the cell below, across its top
                } else {
                    follow(x, y - 1, 2);  // into the cell above, across its bottom
                }
            }
            ++x;
        }
    }
    return lines;
}

// ---- Simplification ----

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

// A path simplified to straight runs, each as long as the points along it stay near the
// line fitted to them (least squares), its corners where neighbouring lines meet. The fitted
// lines cross the traced path rather than cut inside its curves, as chords would, so the
// simplified outline keeps the shape's size; where two sides meet at a corner that the
// tracing rounded, the corner is put back. A loose point may be off its line by the half pixel
// that the pixels leave open, so that the steps of a hard edge are not followed.
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

// Where the change of brightness peaks across an edge pixel: the top of the parabola through
// the strength at the pixel and at its two neighbours across the edge, whichever of the four
// directions that is. A step between two pixels is marked on one of them, and its peak lies
// half-way between them.
cv::Point2f EdgePeak(const cv::Mat& strength, int x, int y) {
    const float m = strength.at<float>(y, x);
    float best = -1;
    int sx = 0;
    int sy = 0;
    float before = 0;
    float after = 0;
    for (const auto& [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}, {1, -1}}) {
        if (x - dx < 0 || x + dx >= strength.cols || y - std::abs(dy) < 0 ||
            y + std::abs(dy) >= strength.rows) {
            continue;
        }
        const float b = strength.at<float>(y - dy, x - dx);
        const float a = strength.at<float>(y + dy, x + dx);
        // Across the edge the strength falls off most steeply on the lower side.
        const float fall = 2 * m - a - b;
        if (fall > best) {
            best = fall;
            sx = dx;
            sy = dy;
            before = b;
            after = a;
        }
    }
    if (best <= 0) {
        return {float(x), float(y)};
    }
    const float offset =
        std::clamp(0.5f * (before - after) / (before - 2 * m + after), -0.5f, 0.5f);
    return {float(x) + offset * float(sx), float(y) + offset * float(sy)};
}

}  // namespace

struct Picture::Data {
    // The brightness, 0..255, with a border of one background pixel all round, and the
    // background where the picture shows nothing: [0] for tracing the dark side (white
    // background), [1] for the light side (black).
    std::array<cv::Mat, 2> grey;
    int threshold = 128;  // Otsu's, of the opaque pixels
    QRect area;
    double sx = 1;  // surface pixels per working pixel
    double sy = 1;

    cv::Rect inner() const { return {1, 1, grey[0].cols - 2, grey[0].rows - 2}; }
    model::PathPoint Unit(double u, double v) const {
        // Working pixel u covers [u - 0.5, u + 0.5); surface pixel p shows what lies at
        // p + 0.5.
        const double x = area.x() + (u + 0.5) * sx - 0.5;
        const double y = area.y() + (v + 0.5) * sy - 0.5;
        return {(x - model::kCentrePixel) * model::kUnitsPerPixel,
                (y - model::kCentrePixel) * model::kUnitsPerPixel};
    }
    double scale() const { return std::sqrt(sx * sy); }
};

namespace {

// Otsu's method: the split of the histogram with the largest variance between the two
// classes. Where a gap in the histogram makes several splits equally good, the middle one, so
// that a picture of two colours is cut half-way between them, where a blurred edge really is.
int Otsu(const cv::Mat& histogram) {
    double total = 0;
    double sumAll = 0;
    for (int i = 0; i < 256; ++i) {
        total += histogram.at<float>(i);
        sumAll += i * double(histogram.at<float>(i));
    }
    double best = 0;
    int first = -1;
    int last = -1;
    double weight = 0;
    double sum = 0;
    for (int t = 0; t < 255; ++t) {
        weight += histogram.at<float>(t);
        sum += t * double(histogram.at<float>(t));
        if (weight == 0 || weight == total) {
            continue;
        }
        const double m0 = sum / weight;
        const double m1 = (sumAll - sum) / (total - weight);
        const double between = weight * (total - weight) * (m0 - m1) * (m0 - m1);
        if (between > best * (1 + 1e-9)) {
            best = between;
            first = last = t;
        } else if (between >= best * (1 - 1e-9)) {
            last = t;
        }
    }
    if (first < 0) {
        return 128;
    }
    // Values up to the split are the dark class; ours draws what is below the threshold.
    return std::clamp((first + last) / 2 + 1, 0, 255);
}

}  // namespace

Picture::Picture(const QImage& image, const QRect& area) : d_(std::make_unique<Data>()) {
    d_->area = area;
    if (image.isNull() || area.isEmpty()) {
        return;
    }
    QSize work = image.size();
    if (work.width() < area.width() || work.height() < area.height()) {
        work = area.size();
    }
    d_->sx = double(area.width()) / work.width();
    d_->sy = double(area.height()) / work.height();
    cv::Mat grey;
    cv::Mat transparent;
    bool anyTransparent = false;
    if (image.format() == QImage::Format_Grayscale8 && image.size() == work) {
        grey = cv::Mat(work.height(), work.width(), CV_8U, const_cast<uchar*>(image.constBits()),
                       std::size_t(image.bytesPerLine()));
    } else {
        // 32-bit pixels as they are where their bytes are blue, green, red, alpha; else
        // converted to red, green, blue, alpha.
        const bool bgra =
            QSysInfo::ByteOrder == QSysInfo::LittleEndian &&
            (image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32);
        QImage rgba =
            bgra ? image
                 : image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_RGBA8888
                                                                 : QImage::Format_RGBX8888);
        if (rgba.size() != work) {
            rgba = rgba.scaled(work, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        const cv::Mat pixels(work.height(), work.width(), CV_8UC4,
                             const_cast<uchar*>(rgba.constBits()),
                             std::size_t(rgba.bytesPerLine()));
        cv::cvtColor(pixels, grey, bgra ? cv::COLOR_BGRA2GRAY : cv::COLOR_RGBA2GRAY);
        if (rgba.hasAlphaChannel()) {
            cv::Mat alpha;
            cv::extractChannel(pixels, alpha, 3);
            transparent = alpha < 128;
            anyTransparent = cv::countNonZero(transparent) > 0;
        }
    }
    cv::Mat histogram;
    const int channel = 0;
    const int bins = 256;
    const float range[] = {0, 256};
    const float* ranges[] = {range};
    cv::calcHist(&grey, 1, &channel, anyTransparent ? cv::Mat(~transparent) : cv::Mat(), histogram,
                 1, &bins, ranges);
    d_->threshold = Otsu(histogram);
    for (int lighter = 0; lighter < 2; ++lighter) {
        const cv::Scalar background(lighter ? 0 : 255);
        cv::copyMakeBorder(grey, d_->grey[std::size_t(lighter)], 1, 1, 1, 1, cv::BORDER_CONSTANT,
                           background);
        if (anyTransparent) {
            d_->grey[std::size_t(lighter)](d_->inner()).setTo(background, transparent);
        }
    }
}

Picture::~Picture() = default;

QSize Picture::workingSize() const {
    return d_->grey[0].empty() ? QSize(0, 0) : QSize(d_->inner().width, d_->inner().height);
}

int Picture::AutoThreshold() const {
    return d_->threshold;
}

std::vector<model::Path> Picture::Trace(const Options& o) const {
    std::vector<model::Path> paths;
    const Data& d = *d_;
    if (d.grey[0].empty()) {
        return paths;
    }
    const double scale = d.scale();
    cv::Mat grey = d.grey[o.invert ? 1 : 0];
    const double sigma = o.smoothing / scale;
    if (sigma >= 0.1) {
        const cv::Mat prepared = grey;
        grey = prepared.clone();
        cv::Mat inner = grey(d.inner());
        cv::GaussianBlur(prepared(d.inner()), inner, cv::Size(0, 0), sigma, sigma,
                         cv::BORDER_REFLECT_101 | cv::BORDER_ISOLATED);
    }
    const double tolerance = std::max(0.0, o.tolerance) / scale;
    // Specks are measured in the pixels the picture is traced at (see Options::minLength).
    const double minLength = std::max(0.0, o.minLength);
    const int t = std::clamp(o.threshold, 0, 255);

    const auto add = [&](const TracedLine& line, bool closed) {
        if (line.points.empty() || cv::arcLength(line.points, closed) < minLength) {
            return;
        }
        model::Path path;
        path.closed = closed;
        for (const cv::Point2d& p : Simplify(line, closed, tolerance)) {
            path.points.push_back(d.Unit(p.x, p.y));
        }
        paths.push_back(std::move(path));
    };

    if (o.mode == Mode::Outline) {
        cv::Mat drawn;
        cv::compare(grey, t, drawn, o.invert ? cv::CMP_GT : cv::CMP_LT);
        for (const auto& line : IsoLines(grey, drawn, o.invert ? t + 0.5 : t - 0.5, o.invert)) {
            add(line, true);
        }
        return paths;
    }

    const cv::Mat inner = grey(d.inner()).clone();
    cv::Mat binary;
    cv::Mat strength;  // of the change of brightness, for the edges
    if (o.mode == Mode::Edges) {
        cv::Canny(inner, binary, t * 0.5, t, 3, true);
        cv::Mat gx;
        cv::Mat gy;
        cv::Sobel(inner, gx, CV_32F, 1, 0, 3);
        cv::Sobel(inner, gy, CV_32F, 0, 1, 3);
        cv::magnitude(gx, gy, strength);
    } else {
        cv::compare(inner, t, binary, o.invert ? cv::CMP_GT : cv::CMP_LT);
    }
    Grid grid(binary);
    if (o.mode == Mode::CentreLine) {
        Thin(grid);
    }
    MakeEightThin(grid);
    for (const Chain& c : FollowLines(grid)) {
        TracedLine line;
        line.points.reserve(c.pixels.size());
        for (int i : c.pixels) {
            const int x = i % grid.width - 1;
            const int y = i / grid.width - 1;
            if (strength.empty()) {
                line.points.emplace_back(float(x), float(y));
                line.loose.push_back(Loose::Around);
            } else {
                line.points.push_back(EdgePeak(strength, x, y));
                line.loose.push_back(Loose::None);
            }
        }
        add(line, c.closed);
    }
    return paths;
}

}  // namespace tracing

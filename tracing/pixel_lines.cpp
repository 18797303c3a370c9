#include "tracing/pixel_lines.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <opencv2/imgproc.hpp>
#include <utility>

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
    // The neighbours of pixel i in ring order, and how many of them are set.
    int around(int i, const std::array<int, 8>& n, std::array<uint8_t, 8>& p) const {
        int count = 0;
        for (int k = 0; k < 8; ++k) {
            p[std::size_t(k)] = on[std::size_t(i + n[std::size_t(k)])];
            count += p[std::size_t(k)];
        }
        return count;
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
            const int count = g.around(i, n, p);
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
        const int count = g.around(i, n, p);
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

// Follows the lines of a thin image, taking each pixel once.
struct Follower {
    const Grid& g;
    std::array<int, 8> n;
    std::vector<uint8_t> node;  // an end or a junction: not two neighbours
    std::vector<uint8_t> seen;
    std::vector<Chain> chains;

    explicit Follower(const Grid& grid)
        : g(grid), n(grid.ring()), node(grid.on.size(), 0), seen(grid.on.size(), 0) {}

    int neighbours(int i) const {
        int c = 0;
        for (int d : n) {
            c += g.on[std::size_t(i + d)];
        }
        return c;
    }

    // Walks from `from` through `next` until a node or a pixel already taken.
    void Walk(int from, int next, Chain& chain) {
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
    }

    // The chains from node i: a lone dot, the step to each neighbouring node, and the walk
    // along each line that leaves it.
    void FromNode(int i) {
        if (neighbours(i) == 0) {
            chains.push_back({{i}, false});
            return;
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
            Walk(i, q, c);
            chains.push_back(std::move(c));
        }
    }

    // The ring through pixel i, which no walk from a node reached.
    void Ring(int i) {
        seen[std::size_t(i)] = 1;
        int next = -1;
        for (int d : n) {
            if (g.on[std::size_t(i + d)]) {
                next = i + d;
                break;
            }
        }
        Chain c;
        Walk(i, next, c);
        c.closed = c.closed || (c.pixels.size() > 2 && c.pixels.back() == c.pixels.front());
        if (c.closed && c.pixels.size() > 1 && c.pixels.back() == c.pixels.front()) {
            c.pixels.pop_back();
        }
        chains.push_back(std::move(c));
    }
};

// The lines of a thin image as chains of pixels between ends and junctions; rings that have
// neither become closed chains.
std::vector<Chain> FollowLines(const Grid& g) {
    Follower f(g);
    const std::vector<int> pixels = g.foreground();
    for (int i : pixels) {
        f.node[std::size_t(i)] = f.neighbours(i) != 2;
    }
    for (int i : pixels) {
        if (f.node[std::size_t(i)]) {
            f.FromNode(i);
        }
    }
    for (int i : pixels) {
        if (!f.node[std::size_t(i)] && !f.seen[std::size_t(i)]) {
            f.Ring(i);
        }
    }
    return std::move(f.chains);
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

// The chains of pixels of a 0/1 image, thinned first to the middle of its strokes with
// `thin`; with `strength`, each point where the change peaks across its edge.
std::vector<PixelLine> ChainLines(const cv::Mat& binary, bool thin, const cv::Mat& strength) {
    Grid grid(binary);
    if (thin) {
        Thin(grid);
    }
    MakeEightThin(grid);
    std::vector<PixelLine> lines;
    for (const Chain& c : FollowLines(grid)) {
        PixelLine& l = lines.emplace_back();
        l.closed = c.closed;
        l.line.points.reserve(c.pixels.size());
        for (int i : c.pixels) {
            const int x = i % grid.width - 1;
            const int y = i / grid.width - 1;
            if (strength.empty()) {
                l.line.points.emplace_back(float(x), float(y));
                l.line.loose.push_back(Loose::Around);
            } else {
                l.line.points.push_back(EdgePeak(strength, x, y));
                l.line.loose.push_back(Loose::None);
            }
        }
    }
    return lines;
}

}  // namespace

std::vector<PixelLine> EdgeLines(const cv::Mat& grey, int threshold) {
    cv::Mat binary;
    cv::Canny(grey, binary, threshold * 0.5, threshold, 3, true);
    cv::Mat gx;
    cv::Mat gy;
    cv::Mat strength;  // of the change of brightness
    cv::Sobel(grey, gx, CV_32F, 1, 0, 3);
    cv::Sobel(grey, gy, CV_32F, 0, 1, 3);
    cv::magnitude(gx, gy, strength);
    return ChainLines(binary, false, strength);
}

std::vector<PixelLine> CentreLines(const cv::Mat& drawn) {
    return ChainLines(drawn, true, cv::Mat());
}

}  // namespace tracing

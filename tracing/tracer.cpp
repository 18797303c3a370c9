#include "tracing/tracer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <opencv2/imgproc.hpp>

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

}  // namespace

struct Picture::Data {
    cv::Mat gray;         // brightness, 0..255
    cv::Mat transparent;  // 255 where the picture shows nothing
    QRect area;
    double sx = 1;  // surface pixels per working pixel
    double sy = 1;

    model::PathPoint Unit(double u, double v) const {
        // Working pixel u covers [u, u + 1); surface pixel p shows what lies at p + 0.5.
        const double x = area.x() + (u + 0.5) * sx - 0.5;
        const double y = area.y() + (v + 0.5) * sy - 0.5;
        return {(x - model::kCentrePixel) * model::kUnitsPerPixel,
                (y - model::kCentrePixel) * model::kUnitsPerPixel};
    }
    double scale() const { return std::sqrt(sx * sy); }
};

Picture::Picture(const QImage& image, const QRect& area) : d_(std::make_unique<Data>()) {
    d_->area = area;
    if (image.isNull() || area.isEmpty()) {
        return;
    }
    QSize work = image.size();
    if (work.width() < area.width() || work.height() < area.height()) {
        work = area.size();
    }
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.size() != work) {
        argb = argb.scaled(work, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    d_->sx = double(area.width()) / work.width();
    d_->sy = double(area.height()) / work.height();
    d_->gray.create(work.height(), work.width(), CV_8U);
    d_->transparent.create(work.height(), work.width(), CV_8U);
    for (int y = 0; y < work.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uint8_t* g = d_->gray.ptr<uint8_t>(y);
        uint8_t* t = d_->transparent.ptr<uint8_t>(y);
        for (int x = 0; x < work.width(); ++x) {
            const QRgb c = in[x];
            g[x] = uint8_t((qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114 + 500) / 1000);
            t[x] = qAlpha(c) < 128 ? 255 : 0;
        }
    }
}

Picture::~Picture() = default;

QSize Picture::workingSize() const {
    return QSize(d_->gray.cols, d_->gray.rows);
}

int Picture::AutoThreshold() const {
    std::array<double, 256> histogram{};
    double total = 0;
    for (int y = 0; y < d_->gray.rows; ++y) {
        const uint8_t* g = d_->gray.ptr<uint8_t>(y);
        const uint8_t* t = d_->transparent.ptr<uint8_t>(y);
        for (int x = 0; x < d_->gray.cols; ++x) {
            if (t[x] == 0) {
                histogram[g[x]] += 1;
                total += 1;
            }
        }
    }
    if (total == 0) {
        return 128;
    }
    // Otsu: the split with the largest variance between the two classes. Where a gap in the
    // histogram makes several splits equally good, the middle one, so that a picture of two
    // colours is cut half-way between them, where a blurred edge really is.
    double sumAll = 0;
    for (int i = 0; i < 256; ++i) {
        sumAll += i * histogram[std::size_t(i)];
    }
    std::array<double, 256> between{};
    double best = -1;
    double weight = 0;
    double sum = 0;
    for (int t = 0; t < 255; ++t) {
        weight += histogram[std::size_t(t)];
        sum += t * histogram[std::size_t(t)];
        if (weight == 0 || weight == total) {
            continue;
        }
        const double m0 = sum / weight;
        const double m1 = (sumAll - sum) / (total - weight);
        between[std::size_t(t)] = weight * (total - weight) * (m0 - m1) * (m0 - m1);
        best = std::max(best, between[std::size_t(t)]);
    }
    if (best <= 0) {
        return 128;
    }
    int first = -1;
    int last = -1;
    for (int t = 0; t < 255; ++t) {
        if (between[std::size_t(t)] >= best * (1 - 1e-9)) {
            first = first < 0 ? t : first;
            last = t;
        }
    }
    // Values up to the split are the dark class; ours draws what is below the threshold.
    return std::clamp((first + last) / 2 + 1, 0, 255);
}

std::vector<model::Path> Picture::Trace(const Options& o) const {
    std::vector<model::Path> paths;
    const Data& d = *d_;
    if (d.gray.empty()) {
        return paths;
    }
    const double scale = d.scale();
    cv::Mat gray = d.gray.clone();
    gray.setTo(o.invert ? 0 : 255, d.transparent);  // nothing drawn is background
    const double sigma = o.smoothing / scale;
    if (sigma >= 0.1) {
        cv::GaussianBlur(gray, gray, cv::Size(0, 0), sigma);
    }
    const double epsilon = std::max(0.0, o.tolerance) / scale;
    const double minLength = std::max(0.0, o.minLength);
    const int t = std::clamp(o.threshold, 0, 255);

    const auto add = [&](const std::vector<cv::Point>& pts, bool closed) {
        if (pts.empty() || cv::arcLength(pts, closed) * scale < minLength) {
            return;
        }
        std::vector<cv::Point> simple;
        if (epsilon > 0 && pts.size() > 2) {
            cv::approxPolyDP(pts, simple, epsilon, closed);
        } else {
            simple = pts;
        }
        model::Path path;
        path.closed = closed;
        path.points.reserve(simple.size());
        for (const cv::Point& p : simple) {
            path.points.push_back(d.Unit(p.x, p.y));
        }
        paths.push_back(std::move(path));
    };

    cv::Mat binary;
    if (o.mode == Mode::Edges) {
        cv::Canny(gray, binary, t * 0.5, t, 3, true);
    } else if (o.invert) {
        cv::threshold(gray, binary, t, 255, cv::THRESH_BINARY);
    } else {
        cv::threshold(gray, binary, t - 1, 255, cv::THRESH_BINARY_INV);
        if (t == 0) {
            binary.setTo(0);
        }
    }

    if (o.mode == Mode::Outline) {
        std::vector<std::vector<cv::Point>> contours;
        cv::findContours(binary, contours, cv::RETR_LIST, cv::CHAIN_APPROX_NONE);
        for (const auto& c : contours) {
            add(c, true);
        }
        return paths;
    }

    Grid grid(binary);
    if (o.mode == Mode::CentreLine) {
        Thin(grid);
    }
    MakeEightThin(grid);
    for (const Chain& c : FollowLines(grid)) {
        std::vector<cv::Point> pts;
        pts.reserve(c.pixels.size());
        for (int i : c.pixels) {
            pts.emplace_back(i % grid.width - 1, i / grid.width - 1);
        }
        add(pts, c.closed);
    }
    return paths;
}

}  // namespace tracing

#include "tracing/iso_lines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace tracing {

namespace {

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

// One picture's cells of four pixel centres, as the lines are followed through them.
struct Cells {
    const uint8_t* g;   // the brightness
    const uint8_t* in;  // non-zero on the drawn side
    int w;
    int h;
    float lv;
    bool lighter;
    std::array<int, 4> corner;
    std::array<int, 4> step;  // to the cell across each side
    // Horizontal pixel pairs already crossed, by the left pixel: every line crosses some.
    std::vector<uint8_t> crossed;

    Cells(const cv::Mat& grey, const cv::Mat& drawn, double level, bool lighter_)
        : g(grey.ptr<uint8_t>()),
          in(drawn.ptr<uint8_t>()),
          w(grey.cols),
          h(grey.rows),
          lv(float(level)),
          lighter(lighter_),
          corner{0, 1, w + 1, w},
          step{-w, 1, w, -1},
          crossed(std::size_t(w) * std::size_t(h), 0) {}

    // Where the line crosses side `side` of cell c, whose top-left pixel is at (cx, cy).
    void AddCrossing(int c, int cx, int cy, int side, TracedLine& line) const {
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
    }

    // The side a line that came into cell c by `side` leaves it by.
    int Exit(int c, int side) const {
        const int mask =
            (in[c] & 1) | (in[c + 1] & 1) << 1 | (in[c + w + 1] & 1) << 2 | (in[c + w] & 1) << 3;
        int exit = kExits[std::size_t(mask)][std::size_t(side)];
        if (mask == 5 || mask == 10) {
            const int sum = g[c] + g[c + 1] + g[c + w] + g[c + w + 1];
            if (lighter ? sum > 4 * lv : sum < 4 * lv) {
                exit = (side + 1) & 3;  // around the undrawn corner after the entry
            }
        }
        return exit;
    }

    // The line that comes into the cell at (cx, cy) by `side`, followed until it closes.
    TracedLine Follow(int cx, int cy, int side) {
        TracedLine line;
        const int start = cy * w + cx;
        const int startSide = side;
        int c = start;
        do {
            AddCrossing(c, cx, cy, side, line);
            if (side == 0) {
                crossed[std::size_t(c)] = 1;
            } else if (side == 2) {
                crossed[std::size_t(c + w)] = 1;
            }
            const int exit = Exit(c, side);
            c += step[std::size_t(exit)];
            cx += exit == 1 ? 1 : exit == 3 ? -1 : 0;
            cy += exit == 2 ? 1 : exit == 0 ? -1 : 0;
            side = (exit + 2) & 3;
        } while (c != start || side != startSide);
        return line;
    }
};

}  // namespace

std::vector<TracedLine> IsoLines(const cv::Mat& grey, const cv::Mat& drawn, double level,
                                 bool lighter) {
    CV_Assert(grey.isContinuous() && drawn.isContinuous());
    std::vector<TracedLine> lines;
    Cells cells(grey, drawn, level, lighter);
    const int w = cells.w;
    const int h = cells.h;
    const uint8_t* in = cells.in;
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
                !cells.crossed[std::size_t(y) * std::size_t(w) + std::size_t(x)]) {
                // Into the cell below across its top, or the cell above across its bottom.
                lines.push_back(row[x] != 0 ? cells.Follow(x, y, 0) : cells.Follow(x, y - 1, 2));
            }
            ++x;
        }
    }
    return lines;
}

}  // namespace tracing
